// platform_state.h -- the state the window, input, clock and headless parts of the platform share
// (included only by src/platform/*.cpp)
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "display.h"

struct SDL_Window;

constexpr int KeyCodeCount = 256;        // Windows virtual-key codes 0..255
constexpr int MouseButtonCount = 4;      // 1 left, 2 right, 3 middle (entry 0 unused)
constexpr int JoystickPortCount = 8;     // ports the platform opens at most
constexpr int JoyAxisCount = 6;          // X, Y, Z, R, U, V
constexpr int TypedCharQueueSize = 256;  // typed characters waiting to be read
constexpr int LogFileCount = 8;          // log files open at once

// ---- Platform state ----------------------------------------------------------------------------
// Headless (test) platform
extern bool PlatformIsHeadless;
extern int VirtualClockMs;                                   // the headless clock
extern std::vector<VidMode> TestDisplayModes;                // the headless mode list
extern bool TestEngineFails[EngineSlotCount];
extern bool TestNullRenderer;                                // headless VidOpen takes NullBackend
extern int PresentCount;                                     // VidPresent calls so far
extern std::function<void(int clockMs)> TestInputScript;
extern std::function<void(int code)> TestExitHook;

// Display
extern SDL_Window* DisplayWindow;                            // null when closed, and always when headless
extern bool DisplayOpen;
extern int DisplayPixelWidth, DisplayPixelHeight;
extern int DisplayVirtualWidth, DisplayVirtualHeight;

// Keyboard, mouse, close request
extern bool KeyHeld[KeyCodeCount];
extern int KeyHits[KeyCodeCount];
extern int TypedChars[TypedCharQueueSize];
extern int TypedCharHead, TypedCharCount;
extern float MousePixelX, MousePixelY;                       // pointer in display pixels
extern bool MouseHeld[MouseButtonCount];
extern int MouseHits[MouseButtonCount];
extern bool PointerVisible;
extern bool CloseRequest;
extern int LastPumpClock;

// Joysticks: opened SDL joysticks on the real platform, scripted values on the headless one
struct JoyPort {
    std::string name;
    int buttonMask = 0;
    bool hasHat = false;
    float axes[JoyAxisCount] = {};
    float hat = -1;
    unsigned buttons = 0;       // headless: held buttons, bit b for button b
    void* device = nullptr;     // SDL_Joystick* on the real platform
};
extern JoyPort JoyPorts[JoystickPortCount];
extern int JoyPortCount;

// ---- Calls between the platform parts ----------------------------------------------------------
void InPressKey(int key, bool repeat);      // a key went down (repeat: the keyboard's auto-repeat)
void InReleaseKey(int key);
void InQueueChar(int ch);                   // a typed Latin-1 character
void InPumpIfDue();                        // what every input query does first
void InClearHeld();                         // forgets held keys and mouse buttons (display opened or closed)
void InOpenJoysticks();                     // real platform: opens every joystick SDL finds
void SysResetClock();                       // the clock's zero is now
void SysCloseAllLogs();
