// farewell_test.cpp -- the thank-you window: what it saves, logs and waits for before the program ends
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "input/controls.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/render.h"
#include "platform/system.h"
#include "platform/test_platform.h"
#include "scores/score_file.h"
#include "shell/common_assets.h"
#include "shell/debug_log.h"
#include "shell/farewell.h"
#include "shell/setup_file.h"
#include "shell/startup.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

constexpr int KeySpace = 32, KeyEscape = 27, KeyF4 = 115, KeyF11 = 122, KeyF12 = 123, KeyLeftAlt = 164;

// A started game: data folder with its log, game folder current, the game's display open.
class FarewellTest : public ::testing::Test {
protected:
    std::string files;
    int exitCode = -1;
    int pressAt = 0;          // clock of the scripted input that should end the wait
    int windowWidth = 0, windowHeight = 0, virtualWidth = 0;
    Pixel background = 0;

    void SetUp() override
    {
        UseHeadlessPlatform();
        files = MakeGameTree(std::string("farewell_") +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name()) + "/Files";
        TestReleaseAll();
        SysChangeDir(files);
        OpenDebugLog();
        EnterGameFolder();
        AudioDriverList = {"Silent"};
        ChooseFontScales(800);
        VidClose();
        ASSERT_TRUE(VidOpen(800, 600, 0, 60));
        VidSetVirtualResolution(1280, 960);
        ScoreList.clear();
        Scores run;
        run.Score = 1234;
        run.Name = "Tester";
        ScoreList.push_back(run);
        pressAt = SysClock() + 500;
    }

    void TearDown() override
    {
        TestSetInputScript(nullptr);
        TestReleaseAll();
        CloseDebugLog();
    }

    // Runs Farewell with an input script; `input` is called on every poll with the clock.
    void RunFarewell(std::function<void(int)> input)
    {
        TestSetInputScript([this, input](int now) {
            if (windowWidth == 0 && VidIsOpen()) {
                windowWidth = VidWidth();
                windowHeight = VidHeight();
                virtualWidth = VidVirtualWidth();
                background = GfxGrabPixmap(10, 470, 1, 1).pixels.at(0);
            }
            input(now);
        });
        try {
            Farewell();
        } catch (const ProgramExit& exit) {
            exitCode = exit.code;
        }
        TestSetInputScript(nullptr);
        TestReleaseAll();
    }

    std::vector<std::string> Lines(const std::string& path)
    {
        std::vector<std::string> lines;
        SysReadLines(path, lines);
        return lines;
    }
};

TEST_F(FarewellTest, SavesLogsShowsTheWindowAndEndsOnAKey)
{
    TestKeyDown(KeyEscape);   // the Escape that led here must not end the wait by itself
    int presents = TestPresentCount();
    RunFarewell([this](int now) {
        if (now >= pressAt)
            TestKeyDown(KeySpace);
    });

    EXPECT_EQ(exitCode, 0);
    EXPECT_GE(SysClock(), pressAt);
    EXPECT_EQ(TestPresentCount(), presents + 1);   // drawn once, then only waits
    EXPECT_FALSE(VidIsOpen());
    EXPECT_EQ(windowWidth, 640);
    EXPECT_EQ(windowHeight, 480);
    EXPECT_EQ(virtualWidth, 640);
    EXPECT_EQ(background & 0xFFFFFF, 0x000050u);
    for (int entry = 6; entry <= 9; ++entry)   // the thank-you fonts came from the common folder
        EXPECT_NE(FontTable[entry], 0) << "font " << entry;

    std::vector<std::string> setup = Lines(files + "/Setup.ini");
    ASSERT_FALSE(setup.empty());
    EXPECT_EQ(setup.front(), "[Graphics]");
    EXPECT_NE(std::find(setup.begin(), setup.end(), "Key=10,90"), setup.end());

    std::vector<std::string> scores = Lines(files + "/252/scores.dat");
    EXPECT_FALSE(scores.empty());

    std::vector<std::string> log = Lines(files + "/Debug.txt");
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(log.end() - 5, log.end()),
              (std::vector<std::string>{"Closing Up", "", "Bye!", "", "Play again, soon!!"}));
}

TEST_F(FarewellTest, EveryKindOfInputEndsTheWait)
{
    struct Case {
        const char* name;
        std::function<void()> press;
    };
    const Case cases[] = {
        {"left mouse button", [] { TestMouseButton(1, true); }},
        {"right mouse button", [] { TestMouseButton(2, true); }},
        {"alt f4", [] { TestKeyDown(KeyLeftAlt); TestKeyDown(KeyF4); }},
        {"window closed", [] { TestRequestClose(); }},
        {"joystick button", [] { TestJoyButton(0, 2, true); }},
    };
    int port = TestAddJoystick("Test Pad", 0xFF, true);
    ASSERT_EQ(port, 0);
    DiscoverJoysticks();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        exitCode = -1;
        pressAt = SysClock() + 300;
        VidClose();
        ASSERT_TRUE(VidOpen(800, 600, 0, 60));
        SysChangeDir(files + "/252");
        bool pressed = false;
        RunFarewell([&](int now) {
            if (now >= pressAt && !pressed) {
                pressed = true;
                c.press();
            }
        });
        TestJoyButton(0, 2, false);
        EXPECT_EQ(exitCode, 0);
        EXPECT_GE(SysClock(), pressAt);
    }
}

TEST_F(FarewellTest, ScreenshotAndOverlayKeysDoNotEndTheWait)
{
    int realPress = pressAt + 700;
    RunFarewell([&](int now) {
        if (now >= pressAt) {
            TestKeyDown(KeyF11);
            TestKeyDown(KeyF12);
        }
        if (now >= realPress) {
            TestKeyUp(KeyF11);
            TestKeyUp(KeyF12);
            TestKeyDown(KeySpace);
        }
    });
    EXPECT_EQ(exitCode, 0);
    EXPECT_GE(SysClock(), realPress);
}

}  // namespace
