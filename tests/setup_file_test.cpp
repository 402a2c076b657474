// setup_file_test.cpp -- reading Setup.ini line by line, and writing it back exactly
#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <gtest/gtest.h>

#include "input/controls.h"
#include "platform/system.h"
#include "shell/debug_log.h"
#include "shell/setup_file.h"
#include "shell/startup.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> ThreeDrivers = {"OpenAL", "SDL Audio", "Silent"};

void WriteRaw(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string ReadRaw(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A data folder Files/ with its game folder 252/ and an open Debug.txt; the data folder is current.
class SetupFileTest : public ::testing::Test {
protected:
    std::string files;

    void SetUp() override
    {
        UseHeadlessPlatform();
        std::string root = MakeScratchDir(std::string("setup_") +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
        files = root + "/Files";
        fs::create_directories(files + "/252");
        SysChangeDir(files);
        OpenDebugLog();
        ResetSettings();
    }

    void TearDown() override { CloseDebugLog(); }

    // Defaults as start-up leaves them, but with no bindings, so every Key line shows.
    void ResetSettings()
    {
        CreateTables();
        AudioDriverList = ThreeDrivers;
        std::fill(std::begin(ControlBindings), std::end(ControlBindings), 0);
    }

    std::vector<std::string> LogLines()
    {
        std::vector<std::string> lines;
        SysReadLines(files + "/Debug.txt", lines);
        return lines;
    }
};

struct Change {
    bool binding;   // ControlBindings rather than EngineSettings
    int entry, value;
};

struct ReadCase {
    std::string name, file;
    int sawDriver;
    std::vector<Change> changes;
    std::vector<std::string> log;   // lines after "\tReading Setup File"
};

std::string Junk()
{
    std::string junk = "\x01\xff\x80=";
    junk += std::string(1, '\0');
    junk += "==\x7f\n";
    return junk;
}

TEST_F(SetupFileTest, ReadsEveryKeyRule)
{
    const ReadCase cases[] = {
        {"ess value ignored", "ESS=0\r\n", 0, {{false, 7, 1}}, {"\tAssuming Emergency Slow System values."}},
        {"fullscreen on", "FULLSCREEN = on\r\n", 0, {{false, 1, 1}}, {"\tSetting to Fullscreen"}},
        {"fullscreen any case", "fullscreen=True\nFullScreen = TRUE\n", 0, {{false, 1, 1}},
         {"\tSetting to Fullscreen", "\tSetting to Fullscreen"}},
        {"fullscreen yes", "Fullscreen = yes\n", 0, {}, {}},
        {"fullscreen never off", "Fullscreen = True\nFullscreen = False\n", 0, {{false, 1, 1}},
         {"\tSetting to Fullscreen"}},
        {"dx7", "GFX Engine = dx7\n", 0, {{false, 3, 2}}, {"\tDirectX 7 Mode"}},
        {"opengl after dx9", "GFX ENGINE=DX9\ngfxengine = OpenGL\n", 0, {{false, 3, 1}}, {"\tDirectX 9 Mode"}},
        {"sizes", "Width=-1024\nHeight = abc\n", 0, {{false, 5, 1024}, {false, 6, 0}}, {}},
        {"volumes unclamped", "Master = 250\nSound=0\nMUSIC=+75\n", 0,
         {{false, 11, 250}, {false, 12, 0}, {false, 13, 75}}, {}},
        {"key lines", "Key=0,38\nKEY = 100,5\nkey=5\n", 0, {{true, 0, 38}, {true, 5, 5}}, {}},
        {"key signs and blanks", "Key = 99 , 330\nKey=-3,-40\n", 0, {{true, 99, 330}, {true, 3, 40}}, {}},
        {"driver case differs", "AudioDriver = openal\n", 1, {}, {}},
        {"driver matches", "AudioDriver = Silent\n", 1, {{false, 14, 2}}, {}},
        {"driver value stops at second =", "AUDIODRIVER=OpenAL=junk\n", 1, {{false, 14, 0}}, {}},
        {"sections comments last wins", "[Graphics]\r\n; Width = 5\r\n\r\n  Width = 1024  \r\nWidth=640\r\n", 0,
         {{false, 5, 640}}, {}},
        {"hostile",
         "Width=99999999999999999999999\nHeight=-99999999999999999999\n" + Junk() + "Master=" +
             std::string(200000, '9') + "\nKey=99999999999999,7\nKey=,\n",
         0, {{false, 5, INT_MAX}, {false, 6, INT_MAX}, {false, 11, INT_MAX}, {true, 0, 0}}, {}},
        {"empty file", "", 0, {}, {}},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResetSettings();
        EngineSettings[14] = 1;   // a driver line that matches nothing must leave this alone
        std::vector<int> settings(std::begin(EngineSettings), std::end(EngineSettings));
        std::vector<int> bindings(std::begin(ControlBindings), std::end(ControlBindings));
        for (const Change& change : c.changes)
            (change.binding ? bindings : settings)[change.entry] = change.value;
        WriteRaw(files + "/Setup.ini", c.file);
        size_t logBefore = LogLines().size();

        EXPECT_EQ(LoadSetup(), c.sawDriver);

        EXPECT_EQ(std::vector<int>(std::begin(EngineSettings), std::end(EngineSettings)), settings);
        EXPECT_EQ(std::vector<int>(std::begin(ControlBindings), std::end(ControlBindings)), bindings);
        std::vector<std::string> log = LogLines();
        std::vector<std::string> expectedLog = {"\tReading Setup File"};
        expectedLog.insert(expectedLog.end(), c.log.begin(), c.log.end());
        ASSERT_GE(log.size(), logBefore);
        EXPECT_EQ(std::vector<std::string>(log.begin() + logBefore, log.end()), expectedLog);
    }
}

TEST_F(SetupFileTest, MissingFileKeepsDefaultsSilently)
{
    size_t logBefore = LogLines().size();
    std::vector<int> settings(std::begin(EngineSettings), std::end(EngineSettings));
    EXPECT_EQ(LoadSetup(), 0);
    EXPECT_EQ(std::vector<int>(std::begin(EngineSettings), std::end(EngineSettings)), settings);
    EXPECT_EQ(LogLines().size(), logBefore);
}

TEST_F(SetupFileTest, SavesDefaultsExactly)
{
    CreateTables();   // default bindings this time
    AudioDriverList = {"Silent"};
    SysChangeDir("252");
    std::string gameFolder = SysCurrentDir();

    SaveSetup();

    EXPECT_EQ(ReadRaw(files + "/Setup.ini"),
              "[Graphics]\r\nFullscreen = False\r\nGFX Engine = OpenGL\r\nWidth=800\r\nHeight=600\r\n\r\n"
              "[Audio]\r\nMaster = 50\r\nSound = 50\r\nMusic = 50\r\nAudioDriver = Silent\r\n"
              "; AudioDriver = Silent\r\n\r\n"
              "[Controls]\r\nKey=0,38\r\nKey=3,37\r\nKey=5,39\r\nKey=8,40\r\nKey=10,90\r\nKey=11,88\r\n"
              "Key=12,67\r\nKey=13,86\r\n");
    EXPECT_EQ(fs::path(SysCurrentDir()), fs::path(gameFolder));
    EXPECT_FALSE(fs::exists(files + "/252/Setup.ini"));
}

TEST_F(SetupFileTest, SlowSystemAndEveryDriverAreListed)
{
    EngineSettings[7] = 1;
    EngineSettings[14] = 1;
    SysChangeDir("252");
    SaveSetup();
    std::vector<std::string> lines;
    ASSERT_TRUE(SysReadLines(files + "/Setup.ini", lines));
    auto has = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
    EXPECT_TRUE(has("ESS=1 ; This is a slow system, and things must run a wee bit slower for it.  Awww.."));
    EXPECT_TRUE(has("AudioDriver = SDL Audio"));
    for (const std::string& name : ThreeDrivers)
        EXPECT_TRUE(has("; AudioDriver = " + name)) << name;
}

TEST_F(SetupFileTest, WrittenFileReadsBackTheSame)
{
    struct Settings {
        int fullscreen, engine, width, height, slow, master, sound, music, driver;
    };
    const Settings configurations[] = {
        {1, 2, 1366, 768, 1, 0, 100, 250, 2},
        {0, 1, 640, 480, 0, 7, 3, 99, 1},
    };
    for (const Settings& s : configurations) {
        SCOPED_TRACE(s.width);
        ResetSettings();
        int values[] = {s.fullscreen, s.engine, s.width, s.height, s.slow, s.master, s.sound, s.music, s.driver};
        const int entries[] = {1, 3, 5, 6, 7, 11, 12, 13, 14};
        for (int i = 0; i < 9; ++i)
            EngineSettings[entries[i]] = values[i];
        for (int i = 0; i < 100; ++i)
            ControlBindings[i] = i % 7 == 0 ? 0 : 9 + (i * 37) % 490;   // every kind of code, some unbound
        std::vector<int> bindings(std::begin(ControlBindings), std::end(ControlBindings));

        SysChangeDir("252");
        SaveSetup();
        ResetSettings();
        SysChangeDir("..");
        EXPECT_EQ(LoadSetup(), 1);

        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(EngineSettings[entries[i]], values[i]) << "entry " << entries[i];
        EXPECT_EQ(std::vector<int>(std::begin(ControlBindings), std::end(ControlBindings)), bindings);
    }
}

}  // namespace
