// controls_test.cpp -- input codes over keys and scripted joysticks, capture order and bindings
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "input/controls.h"
#include "platform/input.h"
#include "platform/test_platform.h"
#include "test_support.h"

namespace {

// Five pads plugged in at start-up: pad 1 with its X axis resting at 0.1 and a centred hat, pad 2 with
// its hat pushed right while the game started, three more of which only two fit.
int PadPort[6];

void ToRest()
{
    TestReleaseAll();
    for (int j = 1; j <= 5; j++) {
        int port = PadPort[j];
        for (int axis = 0; axis < 6; axis++) TestJoyAxis(port, axis, 0);
        TestJoyHat(port, -1);
        for (int b = 0; b < 32; b++) TestJoyButton(port, b, false);
    }
    TestJoyAxis(PadPort[1], JoyAxisX, 0.1f);
}

void PlugPads()
{
    static bool plugged = false;
    if (!plugged) {
        plugged = true;
        PadPort[1] = TestAddJoystick("Pad One", 0xFFFFF, true);
        PadPort[2] = TestAddJoystick("Pad Two", 0xFFFFF, true);
        for (int j = 3; j <= 5; j++) PadPort[j] = TestAddJoystick("Pad " + std::to_string(j), 0x3, false);
        ASSERT_EQ(PadPort[1], 0) << "the pads must be the only joysticks";
    }
    ToRest();
    TestJoyHat(PadPort[2], 0.25f);
    DiscoverJoysticks();
    TestJoyHat(PadPort[2], -1);
    SetDefaultBindings();
}

class Controls : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseHeadlessPlatform();
        PlugPads();
    }
    void TearDown() override { ToRest(); }
};

struct Held {
    std::string what;
    std::function<void()> press;
    std::vector<int> down;     // codes that must read as held
    std::vector<int> up;       // codes that must not
};

}  // namespace

TEST_F(Controls, DiscoveryCutsToFourPadsAndNotesRestAndHat)
{
    EXPECT_EQ(JoystickCount, 4);
    EXPECT_EQ(JoystickTable[1].Name, "Pad One");
    EXPECT_EQ(JoystickTable[1].ButtonMask, 0xFFFFF);
    EXPECT_FLOAT_EQ(JoystickTable[1].RestX, 0.1f);
    EXPECT_EQ(JoystickTable[1].HasHat, 1);
    EXPECT_EQ(JoystickTable[2].HasHat, 0);   // its hat was not centred at start-up
    EXPECT_EQ(JoystickTable[3].HasHat, 1);   // no hat reads as centred
    for (int j = 1; j <= 4; j++) EXPECT_EQ(JoystickTable[j].Enabled, 1);
}

TEST_F(Controls, InputDownByCode)
{
    const int pad1 = PadPort[1], pad2 = PadPort[2];
    std::vector<Held> cases = {
        {"nothing held", [] {}, {}, {0, 38, 300, 301, 302, 303, 320, 323, 325, 328, 330, 383}},
        {"Up arrow", [] { TestKeyDown(38); }, {38}, {0, 37}},
        {"Return", [] { TestKeyDown(13); }, {13}, {}},
        {"keys below 10 and 255 never count", [] { TestKeyDown(9); TestKeyDown(5); TestKeyDown(255); }, {}, {9, 5, 255}},
        {"X rest 0.1, at 0.4", [=] { TestJoyAxis(pad1, JoyAxisX, 0.4f); }, {}, {303, 302}},
        {"X rest 0.1, at 0.41", [=] { TestJoyAxis(pad1, JoyAxisX, 0.41f); }, {303}, {302}},
        {"X rest 0.1, at -0.19", [=] { TestJoyAxis(pad1, JoyAxisX, -0.19f); }, {}, {302, 303}},
        {"X rest 0.1, at -0.21", [=] { TestJoyAxis(pad1, JoyAxisX, -0.21f); }, {302}, {303}},
        {"Y at exactly 0.3", [=] { TestJoyAxis(pad1, JoyAxisY, 0.3f); }, {}, {301, 300}},
        {"Y at exactly -0.3", [=] { TestJoyAxis(pad1, JoyAxisY, -0.3f); }, {}, {300, 301}},
        {"Y at 0.31", [=] { TestJoyAxis(pad1, JoyAxisY, 0.31f); }, {301}, {300}},
        {"Z, U, V, R negative", [=] {
             TestJoyAxis(pad1, JoyAxisZ, -0.5f); TestJoyAxis(pad1, JoyAxisU, -0.5f);
             TestJoyAxis(pad1, JoyAxisV, -0.5f); TestJoyAxis(pad1, JoyAxisR, -0.5f);
         }, {304, 306, 308, 310}, {305, 307, 309, 311}},
        {"R positive only", [=] { TestJoyAxis(pad1, JoyAxisR, 0.5f); }, {311}, {310, 305, 307, 309}},
        {"hat up-right", [=] { TestJoyHat(pad1, 0.125f); }, {320, 325}, {323, 328}},
        {"hat down-left", [=] { TestJoyHat(pad1, 0.625f); }, {323, 328}, {320, 325}},
        {"hat up", [=] { TestJoyHat(pad1, 0.0f); }, {320}, {323, 325, 328}},
        {"hat of a pad not centred at start", [=] { TestJoyHat(pad2, 0.25f); }, {}, {375, 370}},
        {"pad 2 button 3", [=] { TestJoyButton(pad2, 3, true); }, {383}, {382, 384, 333}},
        {"button 19 is the last", [=] { TestJoyButton(pad1, 19, true); }, {349}, {}},
        {"beyond the fourth pad", [=] { TestJoyButton(PadPort[5], 0, true); }, {}, {480, 530}},
        {"codes 256 to 299 and 12 to 19 of a pad", [=] { TestJoyAxis(pad1, JoyAxisY, 1); }, {301}, {256, 299, 312, 319}},
    };
    for (const Held& c : cases) {
        SCOPED_TRACE(c.what);
        ToRest();
        c.press();
        for (int code : c.down) EXPECT_EQ(InputDown(code), 1) << code;
        for (int code : c.up) EXPECT_EQ(InputDown(code), 0) << code;
    }
}

TEST_F(Controls, DisabledPadIsInvisible)
{
    TestJoyButton(PadPort[1], 0, true);
    EXPECT_EQ(InputDown(330), 1);
    EXPECT_EQ(CaptureInput(), 330);
    JoystickTable[1].Enabled = 0;
    EXPECT_EQ(InputDown(330), 0);
    EXPECT_EQ(CaptureInput(), 0);
    JoystickTable[1].Enabled = 1;
}

TEST_F(Controls, CaptureScanOrder)
{
    const int pad1 = PadPort[1], pad2 = PadPort[2];
    struct Case {
        std::string what;
        std::function<void()> press;
        int expected;
    };
    std::vector<Case> cases = {
        {"nothing", [] {}, 0},
        {"two keys give the lower", [] { TestKeyDown(65); TestKeyDown(40); }, 40},
        {"a key below 10 is still captured", [] { TestKeyDown(5); }, 5},
        {"F11 blocks", [] { TestKeyDown(122); TestKeyDown(65); }, 0},
        {"F12 blocks a pad too", [=] { TestKeyDown(123); TestJoyButton(pad1, 0, true); }, 0},
        {"keys before pads", [=] { TestKeyDown(90); TestJoyButton(pad1, 0, true); }, 90},
        {"axes before buttons", [=] { TestJoyButton(pad1, 0, true); TestJoyAxis(pad1, JoyAxisU, 0.9f); }, 307},
        {"Y before X", [=] { TestJoyAxis(pad1, JoyAxisX, 0.9f); TestJoyAxis(pad1, JoyAxisY, -0.9f); }, 300},
        {"hat before buttons", [=] { TestJoyButton(pad1, 1, true); TestJoyHat(pad1, 0.75f); }, 323},
        {"exact hat right", [=] { TestJoyHat(pad1, 0.25f); }, 325},
        {"exact hat down", [=] { TestJoyHat(pad1, 0.5f); }, 328},
        {"a diagonal hat is not captured", [=] { TestJoyHat(pad1, 0.125f); }, 0},
        {"hat of a pad not centred at start", [=] { TestJoyHat(pad2, 0.0f); }, 0},
        {"lower pad first", [=] { TestJoyButton(pad2, 0, true); TestJoyButton(pad1, 2, true); }, 332},
        {"pad 2 button 3", [=] { TestJoyButton(pad2, 3, true); }, 383},
        {"pad 2 button 18", [=] { TestJoyButton(pad2, 18, true); }, 398},
        {"button 19 is never captured", [=] { TestJoyButton(pad2, 19, true); }, 0},
        {"pad 3 counts, pad 5 does not", [=] { TestJoyButton(PadPort[5], 0, true); TestJoyButton(PadPort[3], 1, true); }, 431},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ToRest();
        c.press();
        EXPECT_EQ(CaptureInput(), c.expected);
    }
}

TEST_F(Controls, DefaultBindingsArePlayerOneOnly)
{
    struct Case {
        int key, slot;
    };
    for (Case c : {Case{38, SlotUp}, Case{37, SlotLeft}, Case{39, SlotRight}, Case{40, SlotDown}, Case{90, SlotAction1},
                   Case{88, SlotAction2}, Case{67, SlotAction3}, Case{86, SlotAction4}}) {
        ToRest();
        TestKeyDown(c.key);
        EXPECT_EQ(ControlDown(c.slot, 1), 1) << c.key;
        for (int player = 2; player <= 5; player++) EXPECT_EQ(ControlDown(c.slot, player), 0) << c.key;
        EXPECT_EQ(ControlDown(1, 1), 0) << "an unbound slot";
    }
    ToRest();
    ControlBindings[20 + SlotUp] = 383;   // player 2 jumps with pad 2 button 3
    TestJoyButton(PadPort[2], 3, true);
    EXPECT_EQ(ControlDown(SlotUp, 2), 1);
    EXPECT_EQ(ControlDown(SlotUp, 1), 0);
    ControlBindings[20 + SlotUp] = 0;
}
