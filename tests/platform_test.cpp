// platform_test.cpp -- the window, input, clock, random source and file services on the headless platform
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cfloat>
#include <csignal>
#include <climits>
#include <clocale>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "platform/display.h"
#include "platform/input.h"
#include "platform/render.h"
#include "platform/system.h"
#include "platform/test_platform.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseHeadlessPlatform();
        TestSetInputScript(nullptr);
        TestReleaseAll();
        InFlushKeys();
        while (InGetChar() != 0) {
        }
        for (int b = 1; b <= 3; b++)
            InMouseHit(b);
        VidCloseRequested();
        for (int slot = 0; slot < EngineSlotCount; slot++)
            TestFailEngine(slot, false);
    }
    void TearDown() override
    {
        TestSetInputScript(nullptr);
        VidClose();
    }
};

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// ---- Display -----------------------------------------------------------------------------------

TEST_F(PlatformTest, DefaultModeListOffersTheCommonShapes)
{
    ASSERT_GT(VidModeCount(), 10);
    EXPECT_TRUE(VidModeExists(1366, 768, 32));
    EXPECT_TRUE(VidModeExists(1680, 1050, 32));
    EXPECT_TRUE(VidModeExists(640, 480, 16));
    EXPECT_FALSE(VidModeExists(1920, 1080, 16));
    EXPECT_FALSE(VidModeExists(1360, 768, 32));
    for (int i = 0; i < VidModeCount(); i++)
        EXPECT_EQ(VidModeAt(i).refresh, 60);
}

TEST_F(PlatformTest, ModeListCanBeReplacedAndIsReadInOrder)
{
    std::vector<VidMode> defaults;
    for (int i = 0; i < VidModeCount(); i++)
        defaults.push_back(VidModeAt(i));
    TestSetDisplayModes({{1024, 768, 16, 60}, {800, 600, 32, 75}});
    ASSERT_EQ(VidModeCount(), 2);
    EXPECT_EQ(VidModeAt(0).width, 1024);
    EXPECT_EQ(VidModeAt(1).refresh, 75);
    EXPECT_TRUE(VidModeExists(1024, 768, 16));
    EXPECT_FALSE(VidModeExists(1024, 768, 32));
    EXPECT_EQ(VidModeAt(2).width, 0);   // out of range reads as an empty mode
    EXPECT_EQ(VidModeAt(-1).width, 0);
    TestSetDisplayModes(defaults);
}

TEST_F(PlatformTest, OpenReportsSizeSlotAndDrawsIntoMemory)
{
    VidSelectEngine(EngineSdl);
    ASSERT_TRUE(VidOpen(64, 48, 0, 60));
    EXPECT_TRUE(VidIsOpen());
    EXPECT_EQ(VidEngine(), EngineSdl);
    EXPECT_STREQ(VidEngineName(VidEngine()), "SDL Renderer");
    EXPECT_EQ(VidWidth(), 64);
    EXPECT_EQ(VidHeight(), 48);
    EXPECT_EQ(VidVirtualWidth(), 64);  // a new display draws in its own pixels
    EXPECT_EQ(VidVirtualHeight(), 48);

    GfxSetClsColor(10, 200, 30);
    GfxCls();
    int presents = TestPresentCount();
    VidPresent(false);
    EXPECT_EQ(TestPresentCount(), presents + 1);
    Pixmap grab = GfxGrabPixmap(0, 0, 64, 48);
    ASSERT_EQ(grab.pixels.size(), size_t(64 * 48));
    EXPECT_EQ(grab.pixels[5 * 64 + 7] & 0xFFFFFF, 0x0AC81Eu);

    VidClose();
    EXPECT_FALSE(VidIsOpen());
    VidSelectEngine(EngineOpenGL);
}

TEST_F(PlatformTest, FailingEngineLeavesNoDisplayAndOthersStillOpen)
{
    TestFailEngine(EngineOpenGL, true);
    VidSelectEngine(EngineOpenGL);
    EXPECT_FALSE(VidOpen(800, 600, 0, 60));
    EXPECT_FALSE(VidIsOpen());

    VidSelectEngine(EngineSdl);
    EXPECT_TRUE(VidOpen(800, 600, 0, 60));
    EXPECT_EQ(VidEngine(), EngineSdl);

    // Reopening with the failing slot closes the running display first and leaves none.
    VidSelectEngine(EngineOpenGL);
    EXPECT_FALSE(VidOpen(800, 600, 0, 60));
    EXPECT_FALSE(VidIsOpen());
    EXPECT_EQ(VidEngine(), EngineOpenGL);
}

TEST_F(PlatformTest, EngineNames)
{
    EXPECT_STREQ(VidEngineName(EngineOpenGL), "OpenGL");
    EXPECT_STREQ(VidEngineName(EngineSdl), "SDL Renderer");
    EXPECT_STREQ(VidEngineName(EngineSoftware), "Software");
    EXPECT_STREQ(VidEngineName(7), "");
}

TEST_F(PlatformTest, OpeningAndClosingForgetHeldKeysAndButtons)
{
    TestKeyDown(27);
    TestMouseButton(1, true);
    ASSERT_TRUE(VidOpen(640, 480, 0, 60));
    EXPECT_FALSE(InKeyDown(27));
    EXPECT_FALSE(InMouseDown(1));

    TestKeyDown(115);
    TestKeyDown(164);
    VidClose();
    EXPECT_FALSE(InKeyDown(115));
    EXPECT_FALSE(InKeyDown(164));
    EXPECT_FALSE(InKeyDown(18));
}

TEST_F(PlatformTest, CloseRequestIsReportedOnce)
{
    EXPECT_FALSE(VidCloseRequested());
    TestRequestClose();
    EXPECT_TRUE(VidCloseRequested());
    EXPECT_FALSE(VidCloseRequested());
}

// ---- Keyboard ----------------------------------------------------------------------------------

TEST_F(PlatformTest, KeyHitsCountPressesAndClearWhenRead)
{
    TestKeyDown(65);
    EXPECT_TRUE(InKeyDown(65));
    TestKeyDown(65);  // still held: not a new press
    EXPECT_EQ(InKeyHit(65), 1);
    EXPECT_EQ(InKeyHit(65), 0);
    EXPECT_TRUE(InKeyDown(65));

    TestKeyUp(65);
    TestKeyDown(65);
    TestKeyUp(65);
    TestKeyDown(65);
    TestKeyUp(65);
    EXPECT_FALSE(InKeyDown(65));
    EXPECT_EQ(InKeyHit(65), 2);  // released presses still count

    EXPECT_FALSE(InKeyDown(-1));
    EXPECT_FALSE(InKeyDown(256));
    EXPECT_EQ(InKeyHit(999), 0);
}

TEST_F(PlatformTest, EitherSideHoldsTheGenericModifier)
{
    struct Case {
        int left, right, generic;
    };
    for (Case c : {Case{160, 161, 16}, Case{162, 163, 17}, Case{164, 165, 18}}) {
        SCOPED_TRACE(c.generic);
        EXPECT_FALSE(InKeyDown(c.generic));
        TestKeyDown(c.left);
        EXPECT_TRUE(InKeyDown(c.generic));
        TestKeyDown(c.right);
        TestKeyUp(c.left);
        EXPECT_TRUE(InKeyDown(c.generic));  // the right one still holds it
        TestKeyUp(c.right);
        EXPECT_FALSE(InKeyDown(c.generic));
        EXPECT_EQ(InKeyHit(c.generic), 1);  // pressing the second side was not a new press
    }
}

TEST_F(PlatformTest, FlushForgetsHeldKeysHitsAndTypedCharacters)
{
    TestKeyDown(13);
    TestTypeChar('a');
    InFlushKeys();
    EXPECT_FALSE(InKeyDown(13));
    EXPECT_EQ(InKeyHit(13), 0);
    EXPECT_EQ(InGetChar(), 0);
}

TEST_F(PlatformTest, TypedCharactersComeOutInOrderAndStayLatin1)
{
    for (int ch : {int('H'), int('i'), 0xE9, 13, 8})
        TestTypeChar(ch);
    TestTypeChar(0x263A);  // not Latin-1: dropped
    TestTypeChar(0);
    EXPECT_EQ(InGetChar(), 'H');
    EXPECT_EQ(InGetChar(), 'i');
    EXPECT_EQ(InGetChar(), 0xE9);
    EXPECT_EQ(InGetChar(), 13);
    EXPECT_EQ(InGetChar(), 8);
    EXPECT_EQ(InGetChar(), 0);
}

TEST_F(PlatformTest, TypingFasterThanReadingLosesNothingUpToTheQueueSize)
{
    for (int i = 0; i < 200; i++)
        TestTypeChar('a' + i % 26);
    for (int i = 0; i < 200; i++)
        ASSERT_EQ(InGetChar(), 'a' + i % 26) << i;
    EXPECT_EQ(InGetChar(), 0);
}

// ---- Mouse -------------------------------------------------------------------------------------

TEST_F(PlatformTest, MouseIsReportedInVirtualUnits)
{
    ASSERT_TRUE(VidOpen(800, 600, 0, 60));
    VidSetVirtualResolution(1600, 900);
    TestMouseMove(400, 450);
    EXPECT_FLOAT_EQ(InMouseX(), 400);
    EXPECT_FLOAT_EQ(InMouseY(), 450);

    // The pointer stays where it is on the display when the drawing area changes.
    VidSetVirtualResolution(800, 600);
    EXPECT_FLOAT_EQ(InMouseX(), 200);
    EXPECT_FLOAT_EQ(InMouseY(), 300);

    InMoveMouse(10, 20);
    EXPECT_FLOAT_EQ(InMouseX(), 10);
    EXPECT_FLOAT_EQ(InMouseY(), 20);
}

TEST_F(PlatformTest, MouseClicksCountPressesPerButton)
{
    TestMouseButton(1, true);
    TestMouseButton(1, true);  // still held
    TestMouseButton(1, false);
    TestMouseButton(1, true);
    TestMouseButton(2, true);
    EXPECT_TRUE(InMouseDown(1));
    EXPECT_TRUE(InMouseDown(2));
    EXPECT_FALSE(InMouseDown(3));
    EXPECT_EQ(InMouseHit(1), 2);
    EXPECT_EQ(InMouseHit(1), 0);
    EXPECT_EQ(InMouseHit(2), 1);
    EXPECT_EQ(InMouseHit(3), 0);
    EXPECT_FALSE(InMouseDown(0));
    EXPECT_EQ(InMouseHit(9), 0);
}

// ---- Joysticks ---------------------------------------------------------------------------------

TEST_F(PlatformTest, ScriptedJoystickReadings)
{
    int before = JoyCount();
    int port = TestAddJoystick("Pad", 0x0F, false);
    ASSERT_EQ(port, before);
    EXPECT_EQ(JoyCount(), before + 1);
    EXPECT_EQ(JoyName(port), "Pad");
    EXPECT_EQ(JoyButtonMask(port), 0x0F);

    TestJoyAxis(port, JoyAxisV, 2.5f);
    TestJoyAxis(port, JoyAxisX, -0.4f);
    EXPECT_FLOAT_EQ(JoyAxis(port, JoyAxisV), 1.0f);  // clamped
    EXPECT_FLOAT_EQ(JoyAxis(port, JoyAxisX), -0.4f);
    EXPECT_FLOAT_EQ(JoyAxis(port, 6), 0.0f);

    TestJoyHat(port, 0.25f);
    EXPECT_FLOAT_EQ(JoyHat(port), -1.0f);  // it has no hat

    TestJoyButton(port, 2, true);
    TestJoyButton(port, 5, true);  // outside its mask
    EXPECT_TRUE(JoyButton(port, 2));
    EXPECT_FALSE(JoyButton(port, 5));
    TestJoyButton(port, 2, false);
    EXPECT_FALSE(JoyButton(port, 2));

    int withHat = TestAddJoystick("Stick", 1, true);
    EXPECT_FLOAT_EQ(JoyHat(withHat), -1.0f);  // centred
    TestJoyHat(withHat, 0.75f);
    EXPECT_FLOAT_EQ(JoyHat(withHat), 0.75f);

    EXPECT_EQ(JoyName(99), "");
    EXPECT_FLOAT_EQ(JoyHat(-1), -1.0f);
    EXPECT_FALSE(JoyButton(99, 0));
}

// ---- Clock and input script --------------------------------------------------------------------

TEST_F(PlatformTest, VirtualClockMovesOnlyBySleepAndTheTest)
{
    TestSetClock(1000);
    EXPECT_EQ(SysClock(), 1000);
    SysSleep(1);
    SysSleep(15);
    EXPECT_EQ(SysClock(), 1016);
    SysSleep(-5);
    EXPECT_EQ(SysClock(), 1016);
    TestAdvanceClock(84);
    EXPECT_EQ(SysClock(), 1100);
}

TEST_F(PlatformTest, InputScriptDrivesAPollingLoop)
{
    TestSetClock(0);
    TestSetInputScript([](int clockMs) {
        if (clockMs >= 100)
            TestKeyDown(32);
    });
    // A wait like the game's: sleep a millisecond, poll, repeat.
    int guard = 0;
    while (!InKeyDown(32) && guard++ < 10000)
        SysSleep(1);
    EXPECT_EQ(SysClock(), 100);
    EXPECT_EQ(InKeyHit(32), 1);

    // A tight loop that never sleeps still sees the script, since every query pumps.
    int calls = 0;
    TestSetInputScript([&calls](int) {
        if (++calls == 50)
            TestKeyUp(32);
    });
    guard = 0;
    while (InKeyDown(32) && guard++ < 10000) {
    }
    EXPECT_EQ(calls, 50);

    // Presenting pumps too.
    calls = 0;
    VidPresent(false);
    EXPECT_EQ(calls, 1);
}

// ---- Random source -----------------------------------------------------------------------------

TEST_F(PlatformTest, SameSeedSameSequence)
{
    auto draw = [](int seed) {
        SysSeedRandom(seed);
        std::vector<int> values;
        for (int i = 0; i < 20; i++)
            values.push_back(SysRandInt(0, 1000000));
        values.push_back(int(SysRandReal(0, 1) * 1e6f));
        return values;
    };
    EXPECT_EQ(draw(42), draw(42));
    EXPECT_NE(draw(42), draw(43));
    EXPECT_NE(draw(0), draw(1));
}

TEST_F(PlatformTest, RandomDrawsStayInTheirRanges)
{
    SysSeedRandom(7);
    std::set<int> seen;
    for (int i = 0; i < 2000; i++) {
        int v = SysRandInt(5, 1);  // swapped bounds
        ASSERT_GE(v, 1);
        ASSERT_LE(v, 5);
        seen.insert(v);
    }
    EXPECT_EQ(seen.size(), 5u);  // every value turns up, both ends included
    EXPECT_EQ(SysRandInt(3, 3), 3);

    bool low = false, high = false;
    for (int i = 0; i < 2000; i++) {
        int v = SysRandInt(INT_MIN, INT_MAX);
        low |= v < -1000000000;
        high |= v > 1000000000;
    }
    EXPECT_TRUE(low && high);

    // A range so narrow that rounding could land on its end, which is excluded.
    float a = 1.0f, b = std::nextafter(1.0f, 2.0f);
    for (int i = 0; i < 1000; i++) {
        float r = SysRandReal(a, b);
        ASSERT_GE(r, a);
        ASSERT_LT(r, b);
        float s = SysRandReal(-3.5f, 2.0f);
        ASSERT_GE(s, -3.5f);
        ASSERT_LT(s, 2.0f);
    }
}

// ---- Text files --------------------------------------------------------------------------------

TEST_F(PlatformTest, ReadingLinesEndsAtLfAndDropsCr)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"crlf", "one\r\ntwo\r\n", {"one", "two"}},
        {"lf", "one\ntwo\n", {"one", "two"}},
        {"no final lf", "one\r\ntwo", {"one", "two"}},
        {"empty lines kept", "a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"one empty line", "\r\n", {""}},
        {"empty file", "", {}},
        {"high bytes stay bytes", "caf\xE9|\xFF\r\n", {"caf\xE9|\xFF"}},
    };
    std::string dir = MakeScratchDir("platform_read_lines");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = dir + "/f.txt";
        WriteBytes(path, c.bytes);
        std::vector<std::string> lines = {"stale"};
        ASSERT_TRUE(SysReadLines(path, lines));
        EXPECT_EQ(lines, c.lines);
    }
    std::vector<std::string> lines = {"stale"};
    EXPECT_FALSE(SysReadLines(dir + "/missing.txt", lines));
    EXPECT_TRUE(lines.empty());
    EXPECT_FALSE(SysReadLines(dir, lines));  // a folder is not a text file
}

TEST_F(PlatformTest, SafeWriteReplacesTheFileWithCrLfLines)
{
    std::string dir = MakeScratchDir("platform_safe_write");
    std::string path = dir + "/scores.dat";
    WriteBytes(path, "old contents that are longer than the new ones\r\n");
    ASSERT_TRUE(SysWriteLinesSafely(path, {"first", "", "third"}));
    EXPECT_EQ(ReadBytes(path), "first\r\n\r\nthird\r\n");
    ASSERT_TRUE(SysWriteLinesSafely(path, {}));
    EXPECT_EQ(ReadBytes(path), "");
    // Only the file itself is left in the folder: no temporary file lingers.
    int entries = 0;
    for (auto& e : fs::directory_iterator(dir)) {
        (void)e;
        entries++;
    }
    EXPECT_EQ(entries, 1);
}

TEST_F(PlatformTest, FailedSafeWriteKeepsTheOldFile)
{
    std::string dir = MakeScratchDir("platform_safe_write_fail");

    // The target name is taken by a folder: the rename fails, the folder and its content stay.
    fs::create_directories(dir + "/taken/inner");
    WriteBytes(dir + "/taken/inner/keep.txt", "keep");
    EXPECT_FALSE(SysWriteLinesSafely(dir + "/taken", {"x"}));
    EXPECT_EQ(ReadBytes(dir + "/taken/inner/keep.txt"), "keep");
    int entries = 0;
    for (auto& e : fs::directory_iterator(dir)) {
        (void)e;
        entries++;
    }
    EXPECT_EQ(entries, 1);  // the temporary file was removed again

    // A folder that does not exist.
    EXPECT_FALSE(SysWriteLinesSafely(dir + "/nowhere/file.txt", {"x"}));
    EXPECT_FALSE(fs::exists(dir + "/nowhere"));

    // The disk fills up in the middle of writing: the old file stays whole.
    {
        std::string path = dir + "/scores.dat";
        std::string old(5000, 'o');
        WriteBytes(path, old);
        struct rlimit saved;
        getrlimit(RLIMIT_FSIZE, &saved);
        struct rlimit small = saved;
        small.rlim_cur = 1000;
        auto oldHandler = signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        bool written = SysWriteLinesSafely(path, {std::string(3000, 'n')});
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, oldHandler);
        EXPECT_FALSE(written);
        EXPECT_EQ(ReadBytes(path), old);
        for (auto& e : fs::directory_iterator(dir))
            EXPECT_TRUE(e.path().filename() == "taken" || e.path().filename() == "scores.dat") << e.path();
    }

    // A read-only folder (root may write anywhere, so this part needs an ordinary user).
    if (geteuid() != 0) {
        std::string locked = dir + "/locked";
        fs::create_directories(locked);
        WriteBytes(locked + "/Setup.ini", "Old=1\r\n");
        chmod(locked.c_str(), 0555);
        EXPECT_FALSE(SysWriteLinesSafely(locked + "/Setup.ini", {"New=2"}));
        chmod(locked.c_str(), 0755);
        EXPECT_EQ(ReadBytes(locked + "/Setup.ini"), "Old=1\r\n");
    }
}

TEST_F(PlatformTest, LogLinesReachTheFileAtOnce)
{
    std::string dir = MakeScratchDir("platform_log");
    std::string path = dir + "/Debug.txt";
    WriteBytes(path, "from the last run\r\n");
    int log = SysOpenLog(path);
    ASSERT_GT(log, 0);
    EXPECT_EQ(ReadBytes(path), "");  // emptied
    SysLogLine(log, "Start");
    SysLogLine(log, "\tstep");
    EXPECT_EQ(ReadBytes(path), "Start\r\n\tstep\r\n");  // before closing
    SysCloseLog(log);
    SysLogLine(log, "after close");  // ignored
    SysLogLine(0, "no file");
    EXPECT_EQ(ReadBytes(path), "Start\r\n\tstep\r\n");
    EXPECT_EQ(SysOpenLog(dir + "/nowhere/Debug.txt"), 0);
}

TEST_F(PlatformTest, FilesAndFolders)
{
    std::string dir = MakeScratchDir("platform_files");
    std::string before = SysCurrentDir();
    SysChangeDir(dir);
    EXPECT_EQ(SysCurrentDir(), dir);
    EXPECT_TRUE(SysCreateDir("sub"));
    EXPECT_TRUE(SysCreateDir("sub"));  // already there
    EXPECT_TRUE(SysFileExists("sub"));
    EXPECT_TRUE(SysCreateFile("sub/crash.dat"));
    EXPECT_TRUE(SysFileExists("sub/crash.dat"));
    EXPECT_EQ(fs::file_size(dir + "/sub/crash.dat"), 0u);
    EXPECT_TRUE(SysDeleteFile("sub/crash.dat"));
    EXPECT_FALSE(SysFileExists("sub/crash.dat"));
    EXPECT_FALSE(SysDeleteFile("sub/crash.dat"));
    EXPECT_FALSE(SysCreateFile("missing/crash.dat"));
    SysChangeDir("missing");  // leaves the folder
    EXPECT_EQ(SysCurrentDir(), dir);
    SysChangeDir(before);
}

TEST_F(PlatformTest, ProgramFolderIsWhereTheExecutableLies)
{
    std::string before = SysCurrentDir();
    SysEnterProgramFolder();
    EXPECT_EQ(fs::path(SysCurrentDir()), fs::canonical("/proc/self/exe").parent_path());
    SysChangeDir(before);
}

// ---- Dates, memory, exit -----------------------------------------------------------------------

TEST_F(PlatformTest, DateAndTimeTextsKeepTheirFormInAnyLocale)
{
    std::string saved = setlocale(LC_TIME, nullptr);
    const char* locales[] = {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "fr_FR", "C"};
    for (const char* name : locales)
        if (setlocale(LC_TIME, name))
            break;
    std::string date = SysDateText(), time = SysTimeText();
    setlocale(LC_TIME, saved.c_str());

    EXPECT_TRUE(std::regex_match(date, std::regex("[0-3][0-9] (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
                                                  "[0-9]{4}")))
        << date;
    EXPECT_TRUE(std::regex_match(time, std::regex("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]"))) << time;
}

TEST_F(PlatformTest, MemoryFigureGrowsWithAllocation)
{
    int64_t before = SysMemoryAllocated();
    std::vector<char>* block = new std::vector<char>(8 << 20, 1);
    EXPECT_GE(SysMemoryAllocated(), before + (8 << 20) - 4096);
    delete block;
    EXPECT_GE(SysCollectMemory(), 0);
}

TEST_F(PlatformTest, ExitCallsTheHook)
{
    try {
        SysExit(3);
        FAIL() << "SysExit returned";
    } catch (const ProgramExit& e) {
        EXPECT_EQ(e.code, 3);
    }
}

}  // namespace
