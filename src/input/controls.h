// controls.h -- input codes over keyboard and joysticks, and the players' control bindings
#pragma once
#include <string>

constexpr int SlotUp = 0, SlotLeft = 3, SlotRight = 5, SlotDown = 8;
constexpr int SlotAction1 = 10, SlotAction2 = 11, SlotAction3 = 12, SlotAction4 = 13;

struct JoystickInfo {
    int Enabled = 0;
    int HasHat = 0;
    int ButtonMask = 0;
    std::string Name;
    float RestX = 0, RestY = 0, RestZ = 0, RestR = 0, RestU = 0, RestV = 0;
};

// ---- Controls state ---------------------------------------------------------------
constexpr int ControlBindingCount = 101;
constexpr int JoystickTableSize = 5;                 // from 1
extern int ControlBindings[ControlBindingCount];     // (player - 1) * 20 + slot
extern int JoystickCount;
extern JoystickInfo JoystickTable[JoystickTableSize];

int InputDown(int code);                  // 1 while the input named by code is held
int ControlDown(int slot, int player);    // 1 while the input bound to the slot is held
int CaptureInput();                       // code of the first held input in scan order, 0 for none
void DiscoverJoysticks();
void SetDefaultBindings();
