// display_setup_test.cpp -- the size list, the virtual area by shape, full-screen depth and the crash marker
#include <gtest/gtest.h>

#include <filesystem>

#include <algorithm>
#include <utility>

#include "frame/frame_routine.h"
#include "platform/display.h"
#include "platform/system.h"
#include "platform/test_platform.h"
#include "shell/common_assets.h"
#include "shell/debug_log.h"
#include "shell/display_setup.h"
#include "shell/setup_file.h"
#include "shell/startup.h"
#include "test_support.h"

namespace {

// The tests move between folders; every scratch folder is made from where the program started.
const std::string StartFolder = std::filesystem::current_path().string();

class DisplaySetup : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseHeadlessPlatform();
        SysChangeDir(StartFolder);
        for (int slot = 0; slot < EngineSlotCount; slot++) {
            TestFailEngine(slot, false);
        }
        TestSetDisplayModes(StandardModes());
        folder = MakeScratchDir(std::string("display_setup_") +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        SysChangeDir(folder);
        OpenDebugLog();
    }
    void TearDown() override
    {
        CloseDebugLog();
        VidClose();
        for (int slot = 0; slot < EngineSlotCount; slot++) {
            TestFailEngine(slot, false);
        }
    }

    static std::vector<VidMode> StandardModes()
    {
        return {{640, 480, 32, 60}, {800, 600, 32, 60}, {1024, 768, 32, 60}, {1280, 720, 32, 60}};
    }

    std::vector<std::string> Log()
    {
        std::vector<std::string> lines;
        SysReadLines(folder + "/Debug.txt", lines);
        return lines;
    }
    bool Logged(const std::string& line)
    {
        std::vector<std::string> lines = Log();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    int LogIndex(const std::string& line)
    {
        std::vector<std::string> lines = Log();
        return static_cast<int>(std::find(lines.begin(), lines.end(), line) - lines.begin());
    }

    std::string folder;
};

TEST_F(DisplaySetup, SizeListAndVirtualAreaFollowTheDisplayShape)
{
    using Size = std::pair<int, int>;
    const std::vector<VidMode> mixed = {{800, 600, 32, 60},   {1366, 768, 32, 60}, {1280, 1024, 32, 60},
                                        {1360, 768, 32, 60},  {1680, 1050, 32, 60}, {1600, 900, 32, 60}};
    struct Case {
        const char* what;
        std::vector<VidMode> modes;
        int requestW, requestH;
        int width, height, choice;
        int virtualW, virtualH, wide;
        std::vector<Size> list;
    } cases[] = {
        {"1366x768 counts as 16:9", mixed, 1366, 768, 1366, 768, 2, 1600, 900, 1,
         {{800, 600}, {1366, 768}, {1680, 1050}, {1600, 900}}},
        {"1280x1024 is never usable", mixed, 1280, 1024, 800, 600, 0, 1280, 960, 0,
         {{800, 600}, {1366, 768}, {1680, 1050}, {1600, 900}}},
        {"1360x768 is never usable", mixed, 1360, 768, 800, 600, 0, 1280, 960, 0,
         {{800, 600}, {1366, 768}, {1680, 1050}, {1600, 900}}},
        {"1680x1050 is 16:10", mixed, 1680, 1050, 1680, 1050, 3, 1440, 900, 1,
         {{800, 600}, {1366, 768}, {1680, 1050}, {1600, 900}}},
        {"a size at several depths and rates is listed once, where it first appears",
         {{1024, 768, 32, 60}, {800, 600, 32, 60}, {1024, 768, 16, 60}, {1024, 768, 24, 75}, {800, 600, 16, 60}},
         800, 600, 800, 600, 2, 1280, 960, 0, {{1024, 768}, {800, 600}}},
        {"no modes at all keeps the start size", {}, 1024, 768, 800, 600, 0, 1280, 960, 0, {}},
    };
    for (const Case& c : cases) {
        CreateTables();
        TestSetDisplayModes(c.modes);
        EngineSettings[5] = c.requestW;
        EngineSettings[6] = c.requestH;
        BuildDisplayModeList();
        ChooseVirtualArea();

        EXPECT_EQ(DisplayWidth, c.width) << c.what;
        EXPECT_EQ(DisplayHeight, c.height) << c.what;
        EXPECT_EQ(EngineSettings[5], c.width) << c.what;   // the request is replaced by the size in use
        EXPECT_EQ(EngineSettings[6], c.height) << c.what;
        EXPECT_EQ(EngineSettings[4], c.choice) << c.what;
        EXPECT_EQ(VirtualWidth, c.virtualW) << c.what;
        EXPECT_EQ(VirtualHeight, c.virtualH) << c.what;
        EXPECT_EQ(EngineSettings[2], c.wide) << c.what;
        ASSERT_EQ(DisplayModeCount, static_cast<int>(c.list.size())) << c.what;
        for (int i = 1; i <= DisplayModeCount; i++) {
            EXPECT_EQ(Size(DisplayModeWidths[i], DisplayModeHeights[i]), c.list[i - 1]) << c.what;
        }
    }
    EXPECT_TRUE(Logged("\tWidescreen mode!"));
    EXPECT_TRUE(Logged("\tWidescreen mode B (10:16)!"));
}

TEST_F(DisplaySetup, UsableShapesRoundDown)
{
    struct Case {
        int w, h;
        bool usable;
    } cases[] = {{1366, 768, true}, {1280, 800, true}, {1024, 768, true}, {1280, 1024, false},
                 {1360, 768, false}, {1366, 769, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(IsUsableDisplaySize(c.w, c.h), c.usable) << c.w << "x" << c.h;
    }
}

TEST_F(DisplaySetup, AVeryLongModeListStopsAtTheTable)
{
    std::vector<VidMode> modes;
    for (int w = 16; w < 16 + 4 * 3000; w += 4) {
        modes.push_back({w, w * 3 / 4, 32, 60});
    }
    TestSetDisplayModes(modes);
    BuildDisplayModeList();
    EXPECT_EQ(DisplayModeCount, DisplayModeTableSize - 1);
    EXPECT_EQ(DisplayModeWidths[DisplayModeCount], 16 + 4 * (DisplayModeTableSize - 2));
}

TEST_F(DisplaySetup, FullScreenTakesTheDeepestDepthOffered)
{
    struct Case {
        std::vector<VidMode> modes;
        const char* line;
        bool notice;
    } cases[] = {
        {{{1024, 768, 16, 60}, {1024, 768, 24, 60}, {1024, 768, 32, 60}}, "\tResolution : 1024x768,32", false},
        {{{1024, 768, 16, 60}, {1024, 768, 24, 60}}, "\tResolution : 1024x768,24", false},
        {{{1024, 768, 16, 60}}, "\tResolution : 1024x768,16", false},
        {{{1024, 768, 8, 60}}, "\tResolution : 1024x768,0", true},
    };
    for (const Case& c : cases) {
        CreateTables();
        TestSetDisplayModes(c.modes);
        EngineSettings[1] = 1;
        EngineSettings[5] = 1024;
        EngineSettings[6] = 768;
        BuildDisplayModeList();
        OpenConfiguredDisplay();
        EXPECT_TRUE(VidIsOpen());
        EXPECT_TRUE(Logged(c.line)) << c.line;
        bool posted = std::any_of(NoticeList.begin(), NoticeList.end(), [](const ment& m) {
            return m.txt == "Can't set to fullscreen in this resolution." && m.c == 1;
        });
        EXPECT_EQ(posted, c.notice) << c.line;
    }
    // A window always reports depth 0.
    CreateTables();
    TestSetDisplayModes(StandardModes());
    BuildDisplayModeList();
    OpenConfiguredDisplay();
    EXPECT_TRUE(Logged("\tResolution : 800x600,0"));
}

TEST_F(DisplaySetup, CrashMarkerMovesAwayFromTheEngineThatDied)
{
    struct Case {
        bool marker;
        int engine, engineAfter, slot;
        const char* line;
    } cases[] = {
        {false, 0, 0, EngineOpenGL, "\tUsing OpenGL Driver"},
        {true, 0, 1, EngineSdl, "\tUsing DirectX 9 Driver"},
        {false, 1, 1, EngineSdl, "\tUsing DirectX 9 Driver"},
        {true, 1, 2, EngineSoftware, "\tUsing DirectX 7 Driver"},
        {true, 2, 2, EngineSoftware, "\tUsing DirectX 7 Driver"},
    };
    for (const Case& c : cases) {
        CreateTables();
        OpenDebugLog();   // a fresh log for each case
        SysDeleteFile(CrashMarkerFile);
        if (c.marker) {
            SysCreateFile(CrashMarkerFile);
        }
        EngineSettings[3] = c.engine;
        BuildDisplayModeList();
        OpenConfiguredDisplay();
        EXPECT_EQ(EngineSettings[3], c.engineAfter) << c.line;
        EXPECT_EQ(VidEngine(), c.slot) << c.line;
        EXPECT_TRUE(Logged(c.line)) << c.line;
        EXPECT_TRUE(SysFileExists(CrashMarkerFile));   // stays until everything has loaded
    }
}

TEST_F(DisplaySetup, AnEngineThatCannotStartHandsOverInTheSamePass)
{
    SysDeleteFile(CrashMarkerFile);
    TestFailEngine(EngineOpenGL, true);
    EngineSettings[3] = 0;
    BuildDisplayModeList();
    OpenConfiguredDisplay();
    EXPECT_TRUE(VidIsOpen());
    EXPECT_EQ(EngineSettings[3], 1);
    EXPECT_EQ(VidEngine(), EngineSdl);
    int tried = LogIndex("\tUsing OpenGL Driver");
    int failed = LogIndex(std::string("\t") + VidEngineName(EngineOpenGL) + " Driver could not be started");
    int fallback = LogIndex("\tUsing DirectX 9 Driver");
    EXPECT_LT(tried, failed);
    EXPECT_LT(failed, fallback);
    EXPECT_LT(fallback, static_cast<int>(Log().size()));
    EXPECT_TRUE(SysFileExists(CrashMarkerFile));

    // Both hardware slots dead: the software renderer takes over.
    CreateTables();
    TestFailEngine(EngineSdl, true);
    BuildDisplayModeList();
    OpenConfiguredDisplay();
    EXPECT_TRUE(VidIsOpen());
    EXPECT_EQ(EngineSettings[3], 2);
    EXPECT_EQ(VidEngine(), EngineSoftware);
}

TEST_F(DisplaySetup, NoEngineAtAllEndsTheProgramWithAnError)
{
    for (int slot = 0; slot < EngineSlotCount; slot++) {
        TestFailEngine(slot, true);
    }
    BuildDisplayModeList();
    int code = 0;
    try {
        OpenConfiguredDisplay();
    } catch (const ProgramExit& exit) {
        code = exit.code;
    }
    EXPECT_NE(code, 0);
    std::vector<std::string> lines;
    SysReadLines(folder + "/Debug.txt", lines);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "\tNo graphics driver could be started"), lines.end());
}

TEST_F(DisplaySetup, AReopenClosesTheRunningDisplayFirst)
{
    BuildDisplayModeList();
    OpenConfiguredDisplay();
    EXPECT_FALSE(Logged("\tChanged Graphics Mode ingame."));
    CommonLoaded = 1;
    EngineSettings[5] = 1024;
    EngineSettings[6] = 768;
    BuildDisplayModeList();
    OpenConfiguredDisplay();
    EXPECT_TRUE(Logged("\tChanged Graphics Mode ingame."));
    EXPECT_EQ(VidWidth(), 1024);
    EXPECT_EQ(VidHeight(), 768);
}

}  // namespace
