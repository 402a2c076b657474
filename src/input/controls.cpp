// controls.cpp -- reading keys and joysticks through input codes, and the players' bindings
#include "input/controls.h"

#include "platform/input.h"

// ---- Controls state ---------------------------------------------------------------
int ControlBindings[ControlBindingCount];
int JoystickCount = 0;
JoystickInfo JoystickTable[JoystickTableSize];

namespace {

constexpr float AxisThreshold = 0.3f;
constexpr int CaptureButtonLimit = 19;   // capture offers buttons 0..18 only

// Axis d (0..11) of a joystick: the reading and its rest value. Pairs of d share one axis,
// even d the negative direction, odd d the positive one.
void AxisOf(int port, const JoystickInfo& joy, int d, float& reading, float& rest)
{
    switch (d / 2) {
    case 0: reading = JoyAxis(port, JoyAxisY); rest = joy.RestY; break;
    case 1: reading = JoyAxis(port, JoyAxisX); rest = joy.RestX; break;
    case 2: reading = JoyAxis(port, JoyAxisZ); rest = joy.RestZ; break;
    case 3: reading = JoyAxis(port, JoyAxisU); rest = joy.RestU; break;
    case 4: reading = JoyAxis(port, JoyAxisV); rest = joy.RestV; break;
    default: reading = JoyAxis(port, JoyAxisR); rest = joy.RestR; break;
    }
}

bool AxisHeld(int port, const JoystickInfo& joy, int d)
{
    float reading = 0, rest = 0;
    AxisOf(port, joy, d, reading, rest);
    if (d % 2 == 0) return reading < rest - AxisThreshold;
    return reading > rest + AxisThreshold;
}

// The hat directions overlap, so a diagonal holds two of them.
bool HatHeld(float h, int d)
{
    switch (d) {
    case 20: return h >= 0.0f && (h < 0.2f || h > 0.8f);
    case 23: return h > 0.6f && h < 0.9f;
    case 25: return h > 0.1f && h < 0.4f;
    case 28: return h > 0.3f && h < 0.7f;
    default: return false;
    }
}

}  // namespace

int InputDown(int code)
{
    if (code >= 10 && code <= 254 && InKeyDown(code)) return 1;
    if (code <= 299) return 0;
    int j = code / 50 - 5;
    int d = code % 50;
    if (j > 4 || JoystickTable[j].Enabled == 0) return 0;
    const JoystickInfo& joy = JoystickTable[j];
    int port = j - 1;
    if (d <= 11) return AxisHeld(port, joy, d) ? 1 : 0;
    if (d == 20 || d == 23 || d == 25 || d == 28) {
        bool held = HatHeld(JoyHat(port), d);
        return (held && joy.HasHat == 1) ? 1 : 0;
    }
    if (d >= 30) return JoyButton(port, d - 30) ? 1 : 0;
    return 0;
}

int ControlDown(int slot, int player)
{
    int entry = (player - 1) * 20 + slot;
    if (entry < 0 || entry >= ControlBindingCount) return 0;
    return InputDown(ControlBindings[entry]);
}

int CaptureInput()
{
    // F11 and F12 belong to the screenshot and the overlay; they are never bound.
    if (InKeyDown(122) || InKeyDown(123)) return 0;
    for (int k = 1; k <= 255; k++)
        if (InKeyDown(k)) return k;

    for (int j = 1; j <= JoystickCount && j <= 4; j++) {
        const JoystickInfo& joy = JoystickTable[j];
        if (joy.Enabled == 0) continue;
        int port = j - 1;
        int base = 250 + 50 * j;
        for (int d = 0; d <= 11; d++)
            if (AxisHeld(port, joy, d)) return base + d;
        if (joy.HasHat == 1) {
            float h = JoyHat(port);
            if (h == 0.0f) return base + 20;
            if (h == 0.25f) return base + 25;
            if (h == 0.5f) return base + 28;
            if (h == 0.75f) return base + 23;
        }
        // Buttons are offered while b is below the button mask value; only 0..18 can be captured,
        // so the scan never needs to look past 18.
        for (int b = 0; b < joy.ButtonMask && b < CaptureButtonLimit; b++)
            if (JoyButton(port, b)) return base + 30 + b;
    }
    return 0;
}

void DiscoverJoysticks()
{
    for (int j = 1; j < JoystickTableSize; j++) JoystickTable[j] = JoystickInfo{};
    JoystickCount = JoyCount();
    if (JoystickCount > 4) JoystickCount = 4;
    if (JoystickCount < 0) JoystickCount = 0;
    for (int j = 1; j <= JoystickCount; j++) {
        int port = j - 1;
        JoystickInfo& joy = JoystickTable[j];
        joy.ButtonMask = JoyButtonMask(port);
        joy.Name = JoyName(port);
        joy.RestX = JoyAxis(port, JoyAxisX);
        joy.RestY = JoyAxis(port, JoyAxisY);
        joy.RestZ = JoyAxis(port, JoyAxisZ);
        joy.RestU = JoyAxis(port, JoyAxisU);
        joy.RestV = JoyAxis(port, JoyAxisV);
        joy.RestR = JoyAxis(port, JoyAxisR);
        joy.Enabled = 1;
        // A hat that is not centred now could be stuck; it is ignored for the whole session.
        if (JoyHat(port) == -1.0f) joy.HasHat = 1;
    }
}

void SetDefaultBindings()
{
    for (int& code : ControlBindings) code = 0;
    ControlBindings[SlotUp] = 38;
    ControlBindings[SlotLeft] = 37;
    ControlBindings[SlotRight] = 39;
    ControlBindings[SlotDown] = 40;
    ControlBindings[SlotAction1] = 90;
    ControlBindings[SlotAction2] = 88;
    ControlBindings[SlotAction3] = 67;
    ControlBindings[SlotAction4] = 86;
}
