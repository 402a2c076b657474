// engine_test_test.cpp -- the sprite budgets from a best count, and whole engine tests on fast and slow machines
#include <gtest/gtest.h>

#include <filesystem>

#include <algorithm>
#include <memory>

#include "frame/draw_helpers.h"
#include "frame/frame_routine.h"
#include "platform/display.h"
#include "platform/render.h"
#include "platform/system.h"
#include "platform/test_platform.h"
#include "shell/common_assets.h"
#include "shell/debug_log.h"
#include "shell/display_setup.h"
#include "shell/setup_file.h"
#include "shell/startup.h"
#include "test_support.h"
#include "util/engine_test.h"

namespace {

// The tests move between folders; every scratch folder is made from where the program started.
const std::string StartFolder = std::filesystem::current_path().string();

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseHeadlessPlatform();
        SysChangeDir(StartFolder);
        TestSetInputScript(nullptr);
        folder = MakeScratchDir(std::string("engine_test_") +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        SysChangeDir(folder);
        OpenDebugLog();
    }
    void TearDown() override
    {
        TestSetInputScript(nullptr);
        CloseDebugLog();
        VidClose();
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

    // A small display keeps the many test sprites cheap; the test sprite is a real 16 x 16 picture.
    void OpenSmallDisplay()
    {
        VidSelectEngine(EngineSoftware);
        ASSERT_TRUE(VidOpen(160, 120, 0, 60));
        VirtualWidth = 1280;
        VirtualHeight = 960;
        VidSetVirtualResolution(VirtualWidth, VirtualHeight);
        Pixmap strip;
        strip.width = 16 * 64;
        strip.height = 16;
        strip.pixels.assign(strip.width * strip.height, 0xFF4080FF);
        ASSERT_TRUE(SavePixmapPNG(strip, folder + "/icons.png", 1));
        GfxAutoMidHandle(true);
        IconsImageSharp = GfxLoadAnimImage(folder + "/icons.png", 16, 16, 0, 64, ImageMasked);
        ASSERT_NE(IconsImageSharp, 0);
    }

    std::string folder;
};

TEST_F(EngineTest, LimitsFromTheBestCount)
{
    struct Case {
        int best;
        int slowBefore;
        int main, glow, particles;
        int slowAfter, rate;
    } cases[] = {
        {2500, 0, 1000, 1000, 500, 0, 60},
        {2000, 0, 1000, 800, 400, 1, 30},
        {1000, 0, 1000, 500, 250, 1, 30},
        {0, 0, 1000, 500, 250, 1, 30},
        {20000, 0, 8000, 8000, 4000, 0, 60},
        {20000, 1, 8000, 8000, 4000, 1, 30},
    };
    for (const Case& c : cases) {
        CreateTables();
        OpenDebugLog();
        EngineSettings[7] = c.slowBefore;
        int target = c.slowBefore ? 30 : 60;
        TargetFrameRate = target;
        ApplyEngineTestLimits(c.best, target);
        EXPECT_EQ(DrawLimits[1], c.main) << c.best;
        EXPECT_EQ(DrawLimits[2], c.glow) << c.best;
        EXPECT_EQ(DrawLimits[3], c.particles) << c.best;
        EXPECT_EQ(EngineSettings[7], c.slowAfter) << c.best;
        EXPECT_EQ(TargetFrameRate, c.rate) << c.best;
        EXPECT_EQ(Logged("Settings Overwritten, Set to Default Lower Limits at 30fps."), c.rate == 30) << c.best;
        EXPECT_TRUE(Logged("\tMaximum Sprites Allowed for " + std::to_string(target) + " Frames Per Second"));
    }
}

TEST_F(EngineTest, ReportShowsTheMeasuredLimitsBeforeTheLowerLimits)
{
    ApplyEngineTestLimits(2000, 60);
    std::vector<std::string> expected = {"",
                                         "Engine Test Results",
                                         "",
                                         "\tMaximum Sprites Allowed for 60 Frames Per Second",
                                         "\tMain sprites : 800",
                                         "\tGlowy Sprites : 800",
                                         "\tParticles : 400",
                                         "",
                                         "Settings Overwritten, Set to Default Lower Limits at 30fps."};
    std::vector<std::string> lines = Log();
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.end() - expected.size(), lines.end()), expected);
}

TEST_F(EngineTest, AFastMachineReachesTheTopCount)
{
    OpenSmallDisplay();
    OverlayOn = 1;
    int presents = TestPresentCount();
    RunEngineTest(60, 2);
    EXPECT_EQ(TestPresentCount() - presents, 40 * 8);   // every batch of 500 .. 20000 ran
    EXPECT_EQ(DrawLimits[1], 8000);
    EXPECT_EQ(DrawLimits[2], 8000);
    EXPECT_EQ(DrawLimits[3], 4000);
    EXPECT_EQ(TargetFrameRate, 60);
    EXPECT_EQ(EngineSettings[7], 0);
    EXPECT_EQ(OverlayOn, 0);

    std::vector<std::string> lines = Log();
    auto start = std::find(lines.begin(), lines.end(), "Starting Engine Test");
    ASSERT_NE(start, lines.end());
    ASSERT_NE(start + 1, lines.end());
    EXPECT_EQ(*(start + 1), "Aiming for 60,2");
    EXPECT_TRUE(Logged("Test Complete"));
    EXPECT_FALSE(Logged("Settings Overwritten, Set to Default Lower Limits at 30fps."));
}

TEST_F(EngineTest, AMachineAlreadyKnownSlowAimsAtThirty)
{
    OpenSmallDisplay();
    EngineSettings[7] = 1;
    RunEngineTest(60, 2);
    EXPECT_TRUE(Logged("Aiming for 30,2"));
    EXPECT_TRUE(Logged("\tMaximum Sprites Allowed for 30 Frames Per Second"));
    EXPECT_TRUE(Logged("Settings Overwritten, Set to Default Lower Limits at 30fps."));
    EXPECT_EQ(TargetFrameRate, 30);
    EXPECT_EQ(EngineSettings[7], 1);
}

// The machine slows down from a given frame on: every frame then takes 25 ms longer.
void SlowFromFrame(int firstSlowFrame)
{
    int base = TestPresentCount();
    auto seen = std::make_shared<int>(base);
    TestSetInputScript([base, seen, firstSlowFrame](int) {
        int presents = TestPresentCount();
        if (presents != *seen) {
            *seen = presents;
            if (presents - base >= firstSlowFrame) {
                TestAdvanceClock(25);
            }
        }
    });
}

TEST_F(EngineTest, TheFirstSlowBatchEndsTheTest)
{
    OpenSmallDisplay();
    // Batches of 500 .. 2500 sprites are the first 40 frames; the machine slows from the batch of 3000 on.
    SlowFromFrame(41);
    int presents = TestPresentCount();
    RunEngineTest(60, 2);
    EXPECT_EQ(TestPresentCount() - presents, 6 * 8);
    EXPECT_EQ(DrawLimits[1], 1000);   // best 2500
    EXPECT_EQ(DrawLimits[2], 1000);
    EXPECT_EQ(DrawLimits[3], 500);
    EXPECT_EQ(EngineSettings[7], 0);
    EXPECT_EQ(TargetFrameRate, 60);
}

TEST_F(EngineTest, AMachineTooSlowForAThousandSpritesBecomesASlowSystem)
{
    OpenSmallDisplay();
    SlowFromFrame(9);   // slow from the first measured batch on; the warm-up is never counted
    int presents = TestPresentCount();
    RunEngineTest(60, 2);
    EXPECT_EQ(TestPresentCount() - presents, 2 * 8);
    EXPECT_EQ(DrawLimits[1], 1000);
    EXPECT_EQ(DrawLimits[2], 500);
    EXPECT_EQ(DrawLimits[3], 250);
    EXPECT_EQ(EngineSettings[7], 1);
    EXPECT_EQ(TargetFrameRate, 30);
    EXPECT_TRUE(Logged("Settings Overwritten, Set to Default Lower Limits at 30fps."));
}

}  // namespace
