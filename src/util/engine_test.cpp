// engine_test.cpp -- measuring how many sprites the machine draws at its frame rate, and the budgets from it
#include "util/engine_test.h"

#include <string>

#include "frame/draw_helpers.h"
#include "frame/frame_routine.h"
#include "platform/render.h"
#include "platform/system.h"
#include "shell/common_assets.h"
#include "shell/debug_log.h"
#include "shell/display_setup.h"
#include "shell/setup_file.h"

int TargetFrameRate = 60;

namespace {

constexpr int CountStep = 500;
constexpr int CountMax = 20000;
constexpr int FramesPerBatch = 8;
constexpr int SlowTarget = 30;

// One frame of the test: the loading bands and logos, then count + 1 invisible sprites.
void DrawTestFrame(int count, int scale)
{
    int w = VirtualWidth, h = VirtualHeight;
    BeginFrame(1);
    ResetDrawState();
    DrawLoadingBands();

    ResetDrawState();
    SetDrawScale(1.5f, 1.5f);
    GfxDrawImage(MakerLogoImage, 0.3f * w, 0.3f * h);
    GfxDrawImage(SiteLogoImage, 0.7f * w, 0.7f * h);
    SetDrawScale(1, 1);

    // Alpha 0 leaves no mark but costs the renderer the full work of each sprite.
    for (int i = 0; i <= count; i++) {
        SetDrawRotation(static_cast<float>(SysRandInt(1, 360)));
        SetDrawColour(0, 0, 0, 0);
        SetDrawScale(static_cast<float>(scale), static_cast<float>(scale));
        int x = SysRandInt(1, w);
        int y = SysRandInt(1, h);
        GfxDrawImage(IconsImageSharp, static_cast<float>(x), static_cast<float>(y), 0);
    }
    FinishFrame(250, 0, 0);
}

}  // namespace

void ApplyEngineTestLimits(int best, int target)
{
    DrawLimits[1] = static_cast<int>(best * 0.4);
    DrawLimits[2] = static_cast<int>(best * 0.4);
    DrawLimits[3] = static_cast<int>(best * 0.2);

    LogLine("");
    LogLine("Engine Test Results");
    LogLine("");
    LogLine("\tMaximum Sprites Allowed for " + std::to_string(target) + " Frames Per Second");
    LogLine("\tMain sprites : " + std::to_string(DrawLimits[1]));
    LogLine("\tGlowy Sprites : " + std::to_string(DrawLimits[2]));
    LogLine("\tParticles : " + std::to_string(DrawLimits[3]));
    LogLine("");

    if (DrawLimits[1] < 1000) {
        DrawLimits[1] = 1000;
        TargetFrameRate = SlowTarget;
        EngineSettings[7] = 1;
    }
    if (DrawLimits[2] < 500) {
        DrawLimits[2] = 500;
    }
    if (DrawLimits[3] < 250) {
        DrawLimits[3] = 250;
    }
    if (TargetFrameRate == SlowTarget) {
        LogLine("Settings Overwritten, Set to Default Lower Limits at 30fps.");
    }
}

void RunEngineTest(int target, int scale)
{
    OverlayOn = 0;
    if (EngineSettings[7] == 1) {
        target = SlowTarget;
    }
    TargetFrameRate = target;
    DrawLimits[1] = 500;
    DrawLimits[2] = 500;
    DrawLimits[3] = 250;
    int best = 0;

    LogLine("Starting Engine Test");
    LogLine("Aiming for " + std::to_string(target) + "," + std::to_string(scale));

    // The first batch warms the renderer up; its figure is never used.
    for (int count = CountStep; count <= CountMax; count += CountStep) {
        for (int frame = 0; frame < FramesPerBatch; frame++) {
            DrawTestFrame(count, scale);
        }
        int measured = SmoothedFps;
        if (count > CountStep && measured >= target - 2) {
            best = count;
        }
        if (count > CountStep && measured <= target - 2) {
            break;
        }
    }

    LogLine("Test Complete");
    ApplyEngineTestLimits(best, target);
    LogLine("");
    OverlayOn = 0;
}
