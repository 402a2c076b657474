// frame_routine_test.cpp -- FinishFrame on the headless platform: pacing, notices, hot keys, pointer, quitting
#include <gtest/gtest.h>

#include <filesystem>

#include "frame/draw_helpers.h"
#include "frame/frame_routine.h"
#include "platform/display.h"
#include "platform/render.h"
#include "platform/system.h"
#include "platform/test_platform.h"
#include "shell/common_assets.h"
#include "shell/display_setup.h"
#include "shell/setup_file.h"
#include "test_support.h"

namespace {

// The tests move between folders; every scratch folder is made from where the program started.
const std::string StartFolder = std::filesystem::current_path().string();

constexpr int ScreenW = 320, ScreenH = 240;
constexpr Pixel Red = 0xFFFF0000;

class FrameRoutine : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseHeadlessPlatform();
        SysChangeDir(StartFolder);
        TestReleaseAll();
        TestSetInputScript(nullptr);
        VidSelectEngine(EngineSoftware);
        ASSERT_TRUE(VidOpen(ScreenW, ScreenH, 0, 60));
        VidSetVirtualResolution(ScreenW, ScreenH);
        VirtualWidth = ScreenW;
        VirtualHeight = ScreenH;
        OverlayOn = 0;
        TestSetClock(1000);
        FrameStartTime = 1000;
    }
    void TearDown() override
    {
        TestSetInputScript(nullptr);
        TestReleaseAll();
        VidClose();
    }

    void Frame(int showPointer = 0)
    {
        BeginFrame(1);
        ResetDrawState();
        FinishFrame(60, 0, showPointer);
    }

    static Pixel At(const Pixmap& p, int x, int y) { return p.pixels[y * p.width + x]; }
    static bool Yellowish(Pixel c) { return ((c >> 16) & 0xFF) > 150 && ((c >> 8) & 0xFF) > 150 && (c & 0xFF) < 40; }
    static void Press(int key)
    {
        TestKeyDown(key);
        TestKeyUp(key);
    }
};

TEST_F(FrameRoutine, PacesToSixtyPassesAndSmoothsTheFrameRate)
{
    SmoothedFps = 0;
    Frame();
    // The frame is let go at the first whole millisecond past 1000 - 2 + 16.67.
    EXPECT_EQ(Clock(), 1015);
    EXPECT_EQ(FrameStartTime, 1015);
    EXPECT_EQ(SmoothedFps, (1000 / 15) / 3);

    // A frame that drew for 40 ms still sleeps once, then returns at once.
    TestAdvanceClock(40);
    int before = SmoothedFps;
    Frame();
    EXPECT_EQ(Clock(), 1015 + 41);
    EXPECT_EQ(SmoothedFps, (1000 / 41 + 2 * before) / 3);

    for (int i = 0; i < 40; i++) {
        int start = Clock();
        Frame();
        EXPECT_EQ(Clock() - start, 15);
    }
    EXPECT_EQ(SmoothedFps, 64);   // the integer smoothing settles just under 1000 / 15
}

TEST_F(FrameRoutine, FramePhaseFlipsAndSlowSystemPresentsEveryOtherFrame)
{
    FramePhase = 0;
    int presents = TestPresentCount();
    Frame();
    EXPECT_EQ(FramePhase, 1);
    Frame();
    EXPECT_EQ(FramePhase, 0);
    EXPECT_EQ(TestPresentCount() - presents, 2);

    EngineSettings[7] = 1;
    presents = TestPresentCount();
    for (int i = 0; i < 6; i++) {
        Frame();
    }
    EXPECT_EQ(TestPresentCount() - presents, 3);
}

TEST_F(FrameRoutine, NoticesStackUpwardTurnDarkAtSixtyAndLeaveAtOneEighty)
{
    // Blank texts: the boxes alone show where each notice sits.
    const std::string blank = "      ";
    int boxH = GfxTextHeight(blank);
    ASSERT_GT(GfxTextWidth(blank), 2);
    ASSERT_GT(boxH, 0);
    PostNotice(blank, 1);
    PostNotice(blank, 1);
    PostNotice(blank, 1);
    ASSERT_EQ(NoticeList.size(), 3u);

    VirtualHeight = ScreenH - 40;   // notices sit by the virtual height: room below them shows the bottom edge
    Frame();
    Pixmap p = GfxGrabPixmap(0, 0, ScreenW, ScreenH);
    int oldest = VirtualHeight - 16, newest = VirtualHeight - 16 - 28;
    EXPECT_TRUE(Yellowish(At(p, 1, oldest + boxH - 1)));   // the oldest at the bottom
    EXPECT_FALSE(Yellowish(At(p, 1, oldest + boxH)));
    EXPECT_TRUE(Yellowish(At(p, 1, oldest - 14)));         // the next one 14 units higher
    EXPECT_TRUE(Yellowish(At(p, 1, newest)));              // the newest 28 units higher
    EXPECT_FALSE(Yellowish(At(p, 1, newest - 1)));
    for (const ment& notice : NoticeList) {
        EXPECT_EQ(notice.tick, 1);
        EXPECT_EQ(notice.c, 1);
    }

    for (int frame = 2; frame <= 59; frame++) {
        Frame();
    }
    p = GfxGrabPixmap(0, 0, ScreenW, ScreenH);
    EXPECT_TRUE(Yellowish(At(p, 1, newest)));   // tick 59: still highlighted
    Frame();
    p = GfxGrabPixmap(0, 0, ScreenW, ScreenH);
    EXPECT_FALSE(Yellowish(At(p, 1, newest)));  // tick 60: all three dark together
    EXPECT_FALSE(Yellowish(At(p, 1, oldest + boxH - 1)));

    for (int frame = 61; frame <= 179; frame++) {
        Frame();
    }
    EXPECT_EQ(NoticeList.size(), 3u);
    Frame();
    EXPECT_TRUE(NoticeList.empty());
}

TEST_F(FrameRoutine, NoticeTextIsBlackOnYellowThenWhiteOnBlack)
{
    PostNotice("WWWW", 1);
    int w = GfxTextWidth("WWWW"), h = GfxTextHeight("WWWW");
    auto countColours = [&](int& yellow, int& black, int& white) {
        Pixmap p = GfxGrabPixmap(0, 0, ScreenW, ScreenH);
        yellow = black = white = 0;
        for (int y = ScreenH - 16; y < std::min(ScreenH, ScreenH - 16 + h); y++) {
            for (int x = 0; x < w; x++) {
                Pixel c = At(p, x, y) & 0xFFFFFF;
                if (Yellowish(c)) yellow++;
                if (c == 0) black++;
                if (c == 0xFFFFFF) white++;
            }
        }
    };
    int yellow, black, white;
    Frame();
    countColours(yellow, black, white);
    EXPECT_GT(yellow, 0);
    EXPECT_GT(black, 0);
    EXPECT_EQ(white, 0);
    for (int frame = 2; frame <= 60; frame++) {
        Frame();
    }
    countColours(yellow, black, white);
    EXPECT_EQ(yellow, 0);
    EXPECT_GT(white, 0);
}

TEST_F(FrameRoutine, MouseIsSampledOncePerFrame)
{
    TestMouseMove(10.7f, 20.2f);
    TestMouseButton(1, true);
    TestMouseButton(1, false);
    TestMouseButton(1, true);
    TestMouseButton(1, false);
    TestMouseButton(2, true);
    TestMouseButton(2, false);
    Frame();
    EXPECT_EQ(MouseX, 10);
    EXPECT_EQ(MouseY, 20);
    EXPECT_EQ(MouseClicked1, 2);
    EXPECT_EQ(MouseClicked2, 1);
    Frame();
    EXPECT_EQ(MouseClicked1, 0);
    EXPECT_EQ(MouseClicked2, 0);
}

TEST_F(FrameRoutine, PointerIconHasItsTopLeftCornerOnTheMouse)
{
    // An icon strip whose every frame is solid red, 16 x 16.
    Pixmap strip;
    strip.width = 16 * 64;
    strip.height = 16;
    strip.pixels.assign(strip.width * strip.height, Red);
    std::string path = MakeScratchDir("frame_routine_pointer") + "/icons.png";
    ASSERT_TRUE(SavePixmapPNG(strip, path, 1));
    GfxAutoMidHandle(true);
    IconsImage = GfxLoadAnimImage(path, 16, 16, 0, 64, ImageMasked);
    ASSERT_NE(IconsImage, 0);

    TestMouseMove(50, 60);
    Frame(0);
    Pixmap p = GfxGrabPixmap(0, 0, ScreenW, ScreenH);
    EXPECT_NE(At(p, 55, 65), Red);   // not asked for, not shown

    Frame(1);
    p = GfxGrabPixmap(0, 0, ScreenW, ScreenH);
    EXPECT_EQ(At(p, 50, 60), Red);
    EXPECT_EQ(At(p, 73, 83), Red);    // 16 x 1.5 = 24 pixels square
    EXPECT_NE(At(p, 49, 60), Red);
    EXPECT_NE(At(p, 74, 83), Red);
    EXPECT_NE(At(p, 50, 84), Red);

    SettingsOpen = 1;   // the open settings menu always shows the pointer
    Frame(0);
    p = GfxGrabPixmap(0, 0, ScreenW, ScreenH);
    EXPECT_EQ(At(p, 60, 70), Red);
}

TEST_F(FrameRoutine, TabTogglesTheSettingsMenuAndSavesTheSetupEachTime)
{
    std::string root = MakeGameTree("frame_routine_tab");
    std::string setup = root + "/Files/Setup.ini";

    Press(9);
    Frame();
    EXPECT_EQ(SettingsOpen, 1);
    EXPECT_TRUE(SysFileExists(setup));
    EXPECT_NE(SysCurrentDir().find("Files/252"), std::string::npos);   // back in the game folder

    SysDeleteFile(setup);
    Press(9);
    Frame();
    EXPECT_EQ(SettingsOpen, 0);
    EXPECT_TRUE(SysFileExists(setup));

    Frame();   // no new hit: nothing changes
    EXPECT_EQ(SettingsOpen, 0);
}

TEST_F(FrameRoutine, F12TogglesTheOverlay)
{
    OverlayOn = 1;
    Press(123);
    Frame();
    EXPECT_EQ(OverlayOn, 0);
    Frame();
    EXPECT_EQ(OverlayOn, 0);
    Press(123);
    Frame();
    EXPECT_EQ(OverlayOn, 1);
}

TEST_F(FrameRoutine, AltOrF4AloneDoNotQuit)
{
    for (int key : {115, 164, 165}) {
        TestReleaseAll();
        TestKeyDown(key);
        EXPECT_NO_THROW(Frame()) << key;
    }
}

// Alt+F4 (either Alt) and the window's close button end the program through the farewell window,
// which waits for a fresh key press.
TEST_F(FrameRoutine, AltF4AndTheCloseButtonEndInTheFarewell)
{
    struct Case {
        std::vector<int> keys;
        bool closeButton;
    } cases[] = {{{164, 115}, false}, {{165, 115}, false}, {{}, true}};
    for (const Case& c : cases) {
        SysChangeDir(StartFolder);
        MakeGameTree("frame_routine_quit");
        VidClose();
        ASSERT_TRUE(VidOpen(ScreenW, ScreenH, 0, 60));
        TestReleaseAll();
        for (int key : c.keys) {
            TestKeyDown(key);
        }
        if (c.closeButton) {
            TestRequestClose();
        }
        int pressAt = Clock() + 200;
        TestSetInputScript([pressAt](int clock) {
            if (clock >= pressAt) {
                TestKeyDown(32);
            }
        });
        int code = -1;
        try {
            Frame();
        } catch (const ProgramExit& exit) {
            code = exit.code;
        }
        TestSetInputScript(nullptr);
        EXPECT_EQ(code, 0);
    }
}

}  // namespace
