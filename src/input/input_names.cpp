// input_names.cpp -- the short text shown for an input code: UK key legends and joystick directions
#include "input/input_names.h"

namespace {

struct KeyName {
    int code;
    const char* name;
};

// Keys whose names are not simply a digit, a letter or a function key number.
constexpr KeyName KeyNames[] = {
    {1, "Left Mousebutton"}, {2, "Right Mousebutton"}, {3, "Middle Mousebutton"},
    {8, "Backspace"}, {9, "Tab"}, {12, "Clear"}, {13, "Return"}, {19, "Pause"}, {20, "CapsLock"},
    {27, "Escape"}, {32, "Vodod"}, {33, "Page Up"}, {34, "Page Down"}, {35, "End"}, {36, "Home"},
    {37, "Left"}, {38, "Up"}, {39, "Right"}, {40, "Down"}, {41, "Select"}, {42, "Print"},
    {43, "Execute"}, {44, "Screen"}, {45, "Insert"}, {46, "Delete"}, {47, "Help"},
    {91, "Sys Left"}, {92, "Sys Right"},
    {106, "*"}, {107, "+"}, {109, "-"}, {110, "."}, {111, "/"},
    {144, "NumLock"}, {145, "ScrollLock"},
    {160, "LShift"}, {161, "RShift"}, {162, "LControl"}, {163, "RControl"}, {164, "LAlt"}, {165, "RAlt"},
    {173, "Mute"}, {174, "Volume Down"}, {175, "Volume Up"},
    {186, ";"}, {187, "="}, {188, ","}, {189, "-"}, {190, "."}, {191, "/"}, {192, "'"},
    {219, "["}, {220, "\\"}, {221, "]"}, {222, "#"}, {223, "`"}, {226, "\\"},
};

// Inputs within one joystick, by offset 0..11: the six axes, each negative then positive.
constexpr const char* AxisNames[12] = {"Y-", "Y+", "X-", "X+", "Z-", "Z+", "U-", "U+", "V-", "V+", "R-", "R+"};

}  // namespace

std::string InputName(int code)
{
    for (const KeyName& key : KeyNames)
        if (key.code == code)
            return key.name;
    if (code >= 48 && code <= 57)
        return std::string(1, static_cast<char>('0' + code - 48));
    if (code >= 65 && code <= 90)
        return std::string(1, static_cast<char>('A' + code - 65));
    if (code >= 96 && code <= 105)   // keypad digits read like the main ones
        return std::string(1, static_cast<char>('0' + code - 96));
    if (code >= 112 && code <= 123)
        return "F" + std::to_string(code - 111);

    // Anything else is read as a joystick input, without the joystick's number.
    int d = code % 50;
    if (d >= 0 && d < 12)
        return AxisNames[d];
    switch (d) {
    case 20: return "Up";
    case 23: return "Left";
    case 25: return "Right";
    case 28: return "Down";
    default: return std::to_string(d - 30);   // buttons 0..19 for d = 30..49
    }
}
