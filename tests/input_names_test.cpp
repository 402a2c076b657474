// input_names_test.cpp -- the names shown for keys and joystick inputs
#include <gtest/gtest.h>

#include "input/input_names.h"

namespace {

TEST(InputName, KeysAndJoystickInputs)
{
    const std::pair<int, std::string> cases[] = {
        {1, "Left Mousebutton"}, {3, "Middle Mousebutton"}, {8, "Backspace"}, {13, "Return"},
        {19, "Pause"}, {27, "Escape"}, {32, "Vodod"}, {33, "Page Up"}, {47, "Help"},
        {37, "Left"}, {38, "Up"}, {39, "Right"}, {40, "Down"},
        {48, "0"}, {57, "9"}, {96, "0"}, {105, "9"},            // keypad digits share the main names
        {65, "A"}, {90, "Z"}, {112, "F1"}, {121, "F10"}, {123, "F12"},
        {91, "Sys Left"}, {106, "*"}, {107, "+"}, {109, "-"}, {189, "-"}, {110, "."}, {190, "."},
        {111, "/"}, {191, "/"}, {144, "NumLock"}, {145, "ScrollLock"}, {160, "LShift"}, {165, "RAlt"},
        {174, "Volume Down"}, {186, ";"}, {192, "'"}, {219, "["}, {220, "\\"}, {226, "\\"},
        {222, "#"}, {223, "`"},
        // joystick inputs: axis directions, hat directions and buttons, without the joystick number
        {300, "Y-"}, {301, "Y+"}, {303, "X+"}, {311, "R+"}, {361, "R+"},
        {320, "Up"}, {323, "Left"}, {325, "Right"}, {328, "Down"}, {470, "Up"},
        {330, "0"}, {349, "19"}, {380, "0"}, {383, "3"},
        {312, "-18"},                                            // no input there: named by d - 30
        // key codes the table leaves out fall through to the joystick names
        {10, "R-"}, {93, "13"},
    };
    for (const auto& [code, name] : cases)
        EXPECT_EQ(InputName(code), name) << "code " << code;
}

}  // namespace
