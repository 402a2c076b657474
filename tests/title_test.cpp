// title_test.cpp -- the title screen driven frame by frame on the headless platform
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include "frame/frame_routine.h"
#include "game/game_assets.h"
#include "game/game_loop.h"
#include "input/controls.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/render.h"
#include "platform/test_platform.h"
#include "scores/score_file.h"
#include "scores/score_table.h"
#include "settings_menu/settings_menu.h"
#include "shell/display_setup.h"
#include "shell/startup.h"
#include "shell/title_screen.h"
#include "test_support.h"

namespace {

constexpr int KeyZ = 90, KeyReturn = 13, KeyEscape = 27, KeyUp = 38;

// One second of 8-bit mono silence.
void WriteSilentWav(const std::string& path)
{
    const int rate = 8000;
    auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    std::string wav = "RIFF" + u32(36 + rate) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(rate) + u32(rate) +
                      u16(1) + u16(8) + "data" + u32(rate) + std::string(rate, char(128));
    std::ofstream(path, std::ios::binary) << wav;
}

TEST(StartPrompt, NamesTheFirstBoundStartControl)
{
    UseHeadlessPlatform();
    struct Case {
        const char* name;
        std::vector<std::pair<int, int>> bindings;   // entry, code; on top of the defaults
        bool clearPlayer1;
        std::string expected;
    };
    const Case cases[] = {
        {"defaults", {}, false, "Press Start (Z) To Begin"},
        {"rebound to a joystick button", {{10, 330}}, false, "Press Start (0) To Begin"},
        {"action 1 cleared", {{10, 0}}, false, "Press Start (X) To Begin"},
        {"only directions left", {{10, 0}, {11, 0}, {12, 0}, {13, 0}}, false, "Press Start (Up) To Begin"},
        {"only right left", {{10, 0}, {11, 0}, {12, 0}, {13, 0}, {0, 0}, {8, 0}, {3, 0}}, false,
         "Press Start (Right) To Begin"},
        {"player 1 unbound, player 3 has down", {{2 * 20 + 8, 40}, {3 * 20 + 10, 65}}, true,
         "Press Start (Down) To Begin"},
        {"player 1 unbound, player 2 action", {{1 * 20 + 13, 350 + 30}, {2 * 20 + 10, 65}}, true,
         "Press Start (0) To Begin"},
        {"unused slots do not count", {{1, 65}, {14, 66}, {20 + 19, 67}}, true, "Press Start To Begin"},
        {"nothing bound", {}, true, "Press Start To Begin"},
    };
    for (const Case& c : cases) {
        SetDefaultBindings();
        if (c.clearPlayer1)
            std::fill(std::begin(ControlBindings), std::end(ControlBindings), 0);
        for (const auto& [entry, code] : c.bindings)
            ControlBindings[entry] = code;
        EXPECT_EQ(StartPromptText(), c.expected) << c.name;
    }
    SetDefaultBindings();
}

// A game tree with a small headless window whose drawing area is the usual 1280 x 960. Runs started
// from the title end at once through the input script, as if a rock had hit, and their name entry
// is confirmed with Return, so a test can count them.
class TitleTest : public ::testing::Test {
protected:
    int runsStarted = 0;
    bool inRun = false;
    int runEndedAt = -1;
    std::function<void(int)> keys;   // the test's own input over time

    void SetUp() override
    {
        UseHeadlessPlatform();
        MakeGameTree(std::string("title_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        TestReleaseAll();
        VidClose();
        ASSERT_TRUE(VidOpen(800, 600, 0, 60));
        VidSetVirtualResolution(1280, 960);
        DisplayWidth = 800;
        DisplayHeight = 600;
        VirtualWidth = 1280;
        VirtualHeight = 960;
        ScoreList.clear();
        MusicChannel = 0;
        // Two short tracks, so the sound log tells the title music from the game's.
        WriteSilentWav("title.wav");
        TitleMusic = SndLoad("title.wav");
        GameMusic = SndLoad("title.wav");
        PlayState = 0;
        SettingsPanelOffset = -300;
        TitleSlide = TitleStartHeld = TitleStartLatch = TitleEscapeLatch = 0;
        TestClearSoundLog();
        TestSetInputScript([this](int now) {
            if (PlayState == 1 && !inRun) {
                inRun = true;
                ++runsStarted;
            }
            if (inRun && PlayState == 1 && ::Run.endCode == 0)
                ::Run.endCode = 1;
            if (inRun && PlayState == 0 && runEndedAt < 0)
                runEndedAt = now;   // in the end banner or the name entry
            if (runEndedAt >= 0 && now >= runEndedAt + 1600 && now < runEndedAt + 1700)
                TestKeyDown(KeyReturn);
            if (runEndedAt >= 0 && now >= runEndedAt + 1700) {
                TestKeyUp(KeyReturn);
                inRun = false;
                runEndedAt = -1;
            }
            if (keys)
                keys(now);
        });
    }

    void TearDown() override
    {
        TestSetInputScript(nullptr);
        TestReleaseAll();
    }

    // Runs title frames; returns how many asked to leave.
    int Frames(int count)
    {
        int leaves = 0;
        for (int i = 0; i < count; ++i)
            leaves += TitleScreenFrame();
        return leaves;
    }
};

// Colours worked out by hand from the phases 0, 85 and 170 on the 1280 x 960 area. Each frame
// eases the colour ring by ring toward fmod(phase + Y div 4, 256); the outer ring (Y = -3 on frame 3)
// has a negative Y, so it tells truncating division from flooring and fmod from a positive modulo.
TEST_F(TitleTest, TunnelColoursEaseFromRingToRing)
{
    BackdropPhases[0] = 0;
    BackdropPhases[1] = 85;
    BackdropPhases[2] = 170;
    TitleFrameCounter = 0;
    std::fill(std::begin(TitleBackdropColour), std::end(TitleBackdropColour), 0);

    Frames(1);
    EXPECT_EQ(std::vector<int>(std::begin(TitleBackdropColour), std::end(TitleBackdropColour)),
              (std::vector<int>{99, 180, 89}));
    Frames(2);
    EXPECT_EQ(TitleFrameCounter, 3);
    EXPECT_EQ(std::vector<int>(std::begin(TitleBackdropColour), std::end(TitleBackdropColour)),
              (std::vector<int>{105, 190, 96}));
    // The left edge, below the hint and above the credits panel, shows only the outer ring.
    Pixel edge = GfxGrabPixmap(10, 300, 1, 1).pixels.at(0);
    EXPECT_EQ(edge & 0xFFFFFF, 0x388D7Au);   // 56, 141, 122
}

TEST_F(TitleTest, PanelsSlideInOverThirtyTwoFrames)
{
    Frames(31);
    EXPECT_EQ(TitleSlide, 31);
    Frames(5);
    EXPECT_EQ(TitleSlide, 32);
    EXPECT_EQ(runsStarted, 0);
    EXPECT_EQ(PlayState, 0);
}

TEST_F(TitleTest, HeldStartControlStartsARunOnTheNextFrame)
{
    TestKeyDown(KeyUp);   // a direction counts as a start control too
    Frames(1);
    EXPECT_EQ(runsStarted, 0);   // seen held at the end of this frame
    TestKeyUp(KeyUp);
    Frames(1);
    EXPECT_EQ(runsStarted, 1);
    EXPECT_EQ(PlayState, 0);
    EXPECT_EQ(TitleSlide, 0);     // everything slides in again after a run
    EXPECT_EQ(ScoreList.size(), 1u);
    Frames(1);
    EXPECT_EQ(TitleSlide, 1);
}

TEST_F(TitleTest, AnyPlayersStartControlCounts)
{
    ControlBindings[3 * 20 + 5] = 75;   // player 4, right, on K
    TestKeyDown(75);
    Frames(2);
    EXPECT_EQ(runsStarted, 1);
}

TEST_F(TitleTest, SettingsPanelBlocksStartsUntilNearlyClosed)
{
    TestKeyDown(KeyZ);
    SettingsPanelOffset = -250;
    Frames(3);
    EXPECT_EQ(runsStarted, 0);
    SettingsPanelOffset = -251;
    Frames(1);
    EXPECT_EQ(runsStarted, 1);
}

TEST_F(TitleTest, ControlHeldFromTheRunMustBeReleasedFirst)
{
    keys = [](int) { TestKeyDown(KeyZ); };   // held through the whole run and after it
    Frames(2);
    EXPECT_EQ(runsStarted, 1);
    EXPECT_EQ(TitleStartLatch, 1);
    Frames(10);
    EXPECT_EQ(runsStarted, 1);

    keys = nullptr;
    TestKeyUp(KeyZ);
    Frames(1);
    EXPECT_EQ(TitleStartLatch, 0);
    TestKeyDown(KeyZ);
    Frames(2);
    EXPECT_EQ(runsStarted, 2);
}

TEST_F(TitleTest, EscapeHeldFromTheRunMustBeReleasedBeforeLeaving)
{
    // Escape goes down as soon as the run is recorded and stays down back on the title.
    keys = [](int) {
        if (ScoreList.size() == 1)
            TestKeyDown(KeyEscape);
    };
    TestKeyDown(KeyZ);
    Frames(2);
    ASSERT_EQ(runsStarted, 1);
    TestKeyUp(KeyZ);
    EXPECT_EQ(TitleEscapeLatch, 1);
    EXPECT_EQ(Frames(5), 0);

    keys = nullptr;
    TestKeyUp(KeyEscape);
    EXPECT_EQ(Frames(1), 0);
    TestKeyDown(KeyEscape);
    EXPECT_EQ(TitleScreenFrame(), 1);
}

TEST_F(TitleTest, EscapeLeavesAtOnceWithoutARun)
{
    Frames(3);
    TestKeyDown(KeyEscape);
    EXPECT_EQ(TitleScreenFrame(), 1);
}

TEST_F(TitleTest, TitleMusicPlaysOncePerVisit)
{
    auto cues = [] {
        return std::count_if(TestSoundLog().begin(), TestSoundLog().end(),
                             [](const TestSoundCall& call) { return call.op == "cue" && call.sound == TitleMusic; });
    };
    Frames(3);
    EXPECT_EQ(cues(), 1);
    int channel = MusicChannel;
    ASSERT_NE(channel, 0);
    TestFinishSound(channel);
    Frames(3);
    EXPECT_EQ(cues(), 1);   // silent until a run has been played
    EXPECT_EQ(MusicChannel, channel);

    TestKeyDown(KeyZ);
    Frames(2);
    TestKeyUp(KeyZ);
    ASSERT_EQ(runsStarted, 1);
    Frames(1);
    EXPECT_EQ(cues(), 2);
}

}  // namespace
