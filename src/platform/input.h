// input.h -- polled keyboard, mouse and joysticks
//
// Keys are numbered by Windows virtual-key codes (65 'A', 38 Up, 112 F1, 160 LShift, 164 LAlt ...).
// Every query reads pending window events first (at most once per millisecond), so a loop that only
// polls still sees fresh input.
#pragma once
#include <string>

void InPump();                       // reads pending window events now
bool InKeyDown(int key);             // held now
int InKeyHit(int key);               // presses since the last InKeyHit of that key; clears them
int InGetChar();                     // next typed character (Latin-1 code), 0 when none
void InFlushKeys();                  // forgets held keys, hits and typed characters
float InMouseX();                    // pointer position in virtual units
float InMouseY();
bool InMouseDown(int button);        // 1 left, 2 right, 3 middle
int InMouseHit(int button);          // clicks since the last query of that button; clears them
void InMoveMouse(float x, float y);  // virtual units
void InShowPointer();                // the system pointer
void InHidePointer();

// Joysticks, addressed by port 0..JoyCount()-1
constexpr int JoyAxisX = 0, JoyAxisY = 1, JoyAxisZ = 2, JoyAxisR = 3, JoyAxisU = 4, JoyAxisV = 5;
int JoyCount();
std::string JoyName(int port);       // product name
int JoyButtonMask(int port);         // bit b set when button b exists
float JoyAxis(int port, int axis);   // -1..1, 0 for an axis the joystick lacks
float JoyHat(int port);              // fraction of a clockwise turn from up (0, 0.25 ...), -1 centred or absent
bool JoyButton(int port, int button);
