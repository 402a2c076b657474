// startup_test.cpp -- the tables start-up creates, the audio back-end choice, the debug log, and a whole
// start from the data tree to the farewell on the headless platform
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "frame/draw_helpers.h"
#include "frame/frame_routine.h"
#include "input/controls.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/system.h"
#include "platform/test_platform.h"
#include "shell/common_assets.h"
#include "shell/debug_log.h"
#include "shell/display_setup.h"
#include "shell/setup_file.h"
#include "shell/startup.h"
#include "game/game_assets.h"
#include "scores/score_table.h"
#include "test_support.h"
#include "util/engine_test.h"

namespace fs = std::filesystem;

namespace {

// The tests move between folders; every scratch folder is made from where the program started.
const std::string StartFolder = std::filesystem::current_path().string();

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    SysReadLines(path, lines);
    return lines;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

int IndexOf(const std::vector<std::string>& lines, const std::string& line)
{
    return static_cast<int>(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

const std::vector<std::string> LogHeader = {
    "Tobrisk's Quorndale Engine", "----------------------------", "Week #252", "----------------------------",
    "#252 : Vodod Pilko devuze the Vornspires", "----------------------------", "", "Loading"};

TEST(StartUp, CreateTablesSetsEveryStartValue)
{
    UseHeadlessPlatform();
    SysChangeDir(StartFolder);
    // Dirty a little of everything, as an earlier test or a run would.
    CreditCount = 40;
    EngineSettings[3] = 2;
    EngineSettings[50] = 9;
    DrawLimits[3] = 7;
    DrawCounts[1] = 5;
    NoticeList.push_back({});
    OverlayOn = 0;
    PlayState = 1;
    DisplayWidth = 1024;
    VirtualWidth = 1600;
    CommonLoaded = 1;
    SoundEffects[3] = 12;
    ControlBindings[40] = 77;
    TargetFrameRate = 30;
    CreateTables();

    EXPECT_EQ(GameTitleText, "#252 : Vodod Pilko devuze the Vornspires");
    EXPECT_EQ(GameFolder, "252/");
    EXPECT_EQ(CreditCount, 17);
    EXPECT_EQ(CreditLines[1], "A Game by Tobrisk");
    EXPECT_NE(CreditLines[2].find(" | "), std::string::npos);
    EXPECT_EQ(CreditLines[9].rfind("Font : SVBasicManual by ", 0), 0u);
    EXPECT_EQ(CreditLines[10].rfind("Font : Blue Highway by ", 0), 0u);
    EXPECT_EQ(CreditLines[11].rfind("Font : Acknowledge TT by ", 0), 0u);
    EXPECT_EQ(CreditLines[16], "Sound Effects by Tobrisk");
    EXPECT_EQ(CreditLines[17], "");
    EXPECT_FLOAT_EQ(BackdropPhases[1], 85);

    int expectedSettings[EngineSettingCount] = {};
    expectedSettings[5] = 800;
    expectedSettings[6] = 600;
    expectedSettings[11] = expectedSettings[12] = expectedSettings[13] = 50;
    EXPECT_TRUE(std::equal(std::begin(EngineSettings), std::end(EngineSettings), std::begin(expectedSettings)));

    EXPECT_EQ(DrawLimits[1], 50000);
    EXPECT_EQ(DrawLimits[2], 50000);
    EXPECT_EQ(DrawLimits[3], 0);
    EXPECT_EQ(DrawCounts[1], 0);
    EXPECT_TRUE(NoticeList.empty());
    EXPECT_EQ(OverlayOn, 1);
    EXPECT_EQ(PlayState, 0);
    EXPECT_EQ(DisplayWidth, 800);
    EXPECT_EQ(DisplayHeight, 600);
    EXPECT_EQ(VirtualWidth, 1280);
    EXPECT_EQ(VirtualHeight, 960);
    EXPECT_EQ(CommonLoaded, 0);
    EXPECT_EQ(SoundEffects[3], 0);
    EXPECT_EQ(ControlBindings[40], 0);
    EXPECT_EQ(ControlBindings[0], 38);   // the default bindings are back
    EXPECT_EQ(BadgeCount, 16);
    EXPECT_EQ(PointerMode, 0);
    EXPECT_EQ(ControlsPagePlayers, 4);
    EXPECT_EQ(FrameStartTime, Clock());
    EXPECT_FALSE(AudioDriverList.empty());
}

TEST(StartUp, AudioDriverChoicePrefersDirectThenTheFirstOpenALOrFree)
{
    UseHeadlessPlatform();
    SysChangeDir(StartFolder);
    std::string folder = MakeScratchDir("startup_audio");
    SysChangeDir(folder);
    OpenDebugLog();
    struct Case {
        std::vector<std::string> list;
        int chosen;
    } cases[] = {
        {{"FreeAudio", "OpenAL Soft", "DirectSound"}, 2},
        {{"directsound", "freebee", "openal"}, 0},
        {{"OpenAL", "Free"}, 0},
        {{"Free Sound", "openAL"}, 0},
        {{"SDL Audio", "OpenAL", "FREE"}, 1},
        {{"Direct A", "Something", "DIRECT B"}, 2},   // the last DIRECT wins
        {{"SDL Audio", "Silent"}, 0},
        {{"OpenA", "Fre", "Dire"}, 0},                 // too short for any prefix
        {{}, 0},
    };
    for (const Case& c : cases) {
        AudioDriverList = c.list;
        EngineSettings[14] = 0;
        ChooseAudioDriver(0);
        EXPECT_EQ(EngineSettings[14], c.chosen) << (c.list.empty() ? "empty" : c.list[0]);
    }

    // A driver line in Setup.ini settles the choice: the rule is skipped.
    AudioDriverList = {"FreeAudio", "OpenAL Soft", "DirectSound"};
    EngineSettings[14] = 1;
    ChooseAudioDriver(1);
    EXPECT_EQ(EngineSettings[14], 1);

    // The platform's own list: the chosen back end is made current.
    AudioDriverList = SndDriverNames();
    ASSERT_FALSE(AudioDriverList.empty());
    EngineSettings[14] = static_cast<int>(AudioDriverList.size()) - 1;
    ChooseAudioDriver(1);
    EXPECT_EQ(SndCurrentDriver(), AudioDriverList.back());

    CloseDebugLog();
    std::vector<std::string> lines = ReadLines(folder + "/Debug.txt");
    ASSERT_GE(lines.size(), LogHeader.size() + 3);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
              (std::vector<std::string>{"Setting Audio Driver", "Set Audio Driver", ""}));
}

TEST(StartUp, DebugLogStartsWithItsHeaderAndIsReadableWhileOpen)
{
    UseHeadlessPlatform();
    SysChangeDir(StartFolder);
    std::string folder = MakeScratchDir("startup_log");
    SysChangeDir(folder);
    OpenDebugLog();
    LogLine("\tOne step");
    EXPECT_EQ(ReadLines(folder + "/Debug.txt").size(), LogHeader.size() + 1);   // flushed line by line
    CloseDebugLog();
    LogLine("after closing: dropped");

    OpenDebugLog();   // a new start replaces the old record
    CloseDebugLog();
    EXPECT_EQ(ReadLines(folder + "/Debug.txt"), LogHeader);

    // Lines end in CR LF.
    std::vector<char> bytes;
    FILE* file = fopen((folder + "/Debug.txt").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    for (int ch; (ch = fgetc(file)) != EOF;) bytes.push_back(static_cast<char>(ch));
    fclose(file);
    std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.rfind("Tobrisk's Quorndale Engine\r\n----", 0), 0u);
}

// From the data tree to the farewell: the log of a whole normal start and quit, the crash marker gone,
// the settings written back.
TEST(StartUp, AWholeStartAndQuit)
{
    UseHeadlessPlatform();
    SysChangeDir(StartFolder);
    TestReleaseAll();
    std::string root = MakeGameTree("startup_whole");
    // A tiny display keeps the engine test cheap on the software renderer.
    TestSetDisplayModes({{160, 120, 32, 60}, {800, 600, 32, 60}});
    std::vector<std::string> setup = {"[Graphics]", "Width=160", "Height=120"};
    ASSERT_TRUE(SysWriteLinesSafely(root + "/Files/Setup.ini", setup));
    SysChangeDir(root);

    // Once the title screen has shown a few frames, Escape leaves; a fresh press ends the farewell.
    int start = TestPresentCount();
    TestSetInputScript([start](int) {
        if (TestPresentCount() - start > 1 + 320 + 5) {
            TestKeyDown(27);
        }
    });
    int code = -1;
    try {
        StartUpFromProgramFolder();
    } catch (const ProgramExit& exit) {
        code = exit.code;
    }
    TestSetInputScript(nullptr);
    TestReleaseAll();
    EXPECT_EQ(code, 0);

    std::vector<std::string> log = ReadLines(root + "/Files/Debug.txt");
    ASSERT_GE(log.size(), LogHeader.size());
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + LogHeader.size()), LogHeader);
    EXPECT_EQ(log.back(), "Play again, soon!!");
    std::vector<std::string> order = {"\tReading Setup File", "Setting Audio Driver", "Set Audio Driver",
                                      "\tRequested Resolution : 160x120", "\tSetup Loaded",
                                      "Grabbing Previous Scores", "Applying Graphical Settings",
                                      "\tUsing OpenGL Driver", "\tResolution : 160x120,0",
                                      "Loading : Common Objects", "\tSFX(2)", "Sounds loaded",
                                      "Starting Engine Test", "Aiming for 60,2", "Test Complete",
                                      "Engine Test Results", "Finished Loading", "Closing Up", "Bye!"};
    int previous = -1;
    for (const std::string& line : order) {
        int at = IndexOf(log, line);
        ASSERT_LT(at, static_cast<int>(log.size())) << "missing log line: " << line;
        EXPECT_GT(at, previous) << line;
        previous = at;
    }
    for (const std::string& line : log) {
        EXPECT_NE(line.rfind("\t\t", 0), 0u) << line;
    }

    EXPECT_FALSE(fs::exists(root + "/Files/252/crash.dat"));
    std::vector<std::string> saved = ReadLines(root + "/Files/Setup.ini");
    EXPECT_TRUE(Contains(saved, "Width=160"));
    EXPECT_NE(HeroImage, 0);
    EXPECT_NE(TitleMusic, 0);
    EXPECT_EQ(DrawLimits[1], 8000);   // the virtual clock makes every batch fast
}

}  // namespace
