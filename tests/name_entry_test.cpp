// name_entry_test.cpp -- editing the player's name by typed characters, confirming and waiting
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "frame/frame_routine.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/system.h"
#include "platform/test_platform.h"
#include "scores/name_entry.h"
#include "scores/score_file.h"
#include "shell/display_setup.h"
#include "test_support.h"

namespace {

constexpr int KeyBackspace = 8, KeyReturn = 13, KeyEscape = 27;

class NameEntryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseHeadlessPlatform();
        ASSERT_TRUE(VidOpen(1280, 960, 0, 60));
        VidSetVirtualResolution(1280, 960);
        VirtualWidth = 1280;
        VirtualHeight = 960;
        PlayState = 0;
        TestReleaseAll();
        InFlushKeys();
        PlayerName = "Player";
    }
    void TearDown() override
    {
        TestSetInputScript(nullptr);
        TestReleaseAll();
        InFlushKeys();
    }
};

// One frame's input: characters typed, Backspace pressed, and whether it ends with a confirmation.
struct FrameInput {
    std::vector<int> typed;
    bool backspace = false;
};

void Press(int key)
{
    TestKeyDown(key);
    TestKeyUp(key);
}

}  // namespace

TEST_F(NameEntryTest, EditingRulesFrameByFrame)
{
    struct Case {
        const char* what;
        std::string start;
        std::vector<FrameInput> frames;
        std::string expect;
    };
    const Case cases[] = {
        {"typing appends", "", {{{'A'}}, {{'b'}}, {{' '}}, {{'~'}}, {{0xE9}}}, "Ab ~\xe9"},
        {"control characters and the separator never enter",
         "x", {{{9}}, {{13}}, {{27}}, {{1}}, {{31}}, {{'|'}}, {{'y'}}}, "xy"},
        {"several characters in one frame come one per frame", "", {{{'a', 'b', 'c'}}, {}, {}, {}}, "abc"},
        {"backspace removes the last character", "Tom", {{{}, true}}, "To"},
        {"backspace on one character leaves an empty name", "T", {{{}, true}}, ""},
        {"backspace on an empty name does nothing", "", {{{}, true}, {{}, true}}, ""},
        {"typing and backspace in one frame", "ab", {{{'c'}, true}}, "ab"},
        {"no length limit", std::string(300, 'n'), {{{'m'}}}, std::string(300, 'n') + "m"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InFlushKeys();
        PlayerName = c.start;
        NameEntryState state;
        for (const FrameInput& input : c.frames) {
            for (int ch : input.typed)
                TestTypeChar(ch);
            if (input.backspace)
                Press(KeyBackspace);
            EXPECT_FALSE(NameEntryFrame(state));
        }
        EXPECT_EQ(PlayerName, c.expect);
    }
}

TEST_F(NameEntryTest, ReturnEscapeAndMouseConfirm)
{
    NameEntryState state;
    EXPECT_FALSE(NameEntryFrame(state));

    Press(KeyReturn);
    EXPECT_TRUE(NameEntryFrame(state));
    EXPECT_FALSE(NameEntryFrame(state));   // a hit counts once

    TestKeyDown(KeyEscape);
    EXPECT_TRUE(NameEntryFrame(state));
    EXPECT_TRUE(NameEntryFrame(state));    // held, not hit
    TestKeyUp(KeyEscape);

    TestMouseButton(1, true);
    EXPECT_TRUE(NameEntryFrame(state));
    TestMouseButton(1, false);
    EXPECT_FALSE(NameEntryFrame(state));
}

// The whole entry on the headless platform, input scripted against the virtual clock.
TEST_F(NameEntryTest, WaitsForTheEndingPressThenTakesTypingUntilConfirmed)
{
    struct Case {
        const char* what;
        std::function<void()> confirm, release;
    };
    const Case cases[] = {
        {"Return", [] { TestKeyDown(KeyReturn); }, [] { TestKeyUp(KeyReturn); }},
        {"Escape held", [] { TestKeyDown(KeyEscape); }, [] { TestKeyUp(KeyEscape); }},
        {"mouse held", [] { TestMouseButton(1, true); }, [] { TestMouseButton(1, false); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PlayerName = "Old";
        // The click that ended the run is still held, and a stray Return press is pending.
        TestMouseButton(1, true);
        Press(KeyReturn);
        const int start = SysClock();
        const int presentsAtStart = TestPresentCount();
        int step = 0, presentsWhileHeld = -1;
        TestSetInputScript([&](int now) {
            const int t = now - start;
            if (step == 0 && t >= 100) {
                TestTypeChar('H');   // typed while the entry still waits: kept in the queue
                TestTypeChar('i');
                step = 1;
            } else if (step == 1 && t >= 300) {
                presentsWhileHeld = TestPresentCount() - presentsAtStart;
                TestMouseButton(1, false);
                step = 2;
            } else if (step == 2 && t >= 600) {
                Press(KeyBackspace);
                Press(KeyBackspace);   // one removal per frame however many hits
                step = 3;
            } else if (step == 3 && t >= 800) {
                TestTypeChar('!');
                step = 4;
            } else if (step == 4 && t >= 1000) {
                c.confirm();
                step = 5;
            } else if (step == 5 && t >= 1500) {
                c.release();
                step = 6;
            } else if (t >= 30000) {
                TestReleaseAll();   // a fault must fail the test, not hang it
                Press(KeyReturn);
            }
        });
        EnterName();
        const int end = SysClock() - start;
        TestSetInputScript(nullptr);

        EXPECT_EQ(presentsWhileHeld, 0);   // nothing drawn while the ending press is held
        EXPECT_EQ(PlayerName, "Old" "H!");
        EXPECT_EQ(step, 6);
        EXPECT_GE(end, 1500);              // it waits until the confirming press is released
        EXPECT_LT(end, 30000);
    }
}

TEST_F(NameEntryTest, ConfirmingAtOnceKeepsTheName)
{
    const int start = SysClock();
    bool pressed = false;
    TestSetInputScript([&](int now) {
        if (!pressed && now - start >= 50) {
            Press(KeyReturn);
            pressed = true;
        }
    });
    EnterName();
    TestSetInputScript(nullptr);
    EXPECT_EQ(PlayerName, "Player");
}
