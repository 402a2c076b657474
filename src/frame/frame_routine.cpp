// frame_routine.cpp -- the common end of every frame: hot keys, overlay, pointer, pacing, notices, presenting
#include "frame/frame_routine.h"

#include "frame/draw_helpers.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/render.h"
#include "platform/system.h"
#include "shell/common_assets.h"
#include "shell/display_setup.h"
#include "shell/farewell.h"
#include "shell/setup_file.h"

// ---- Frame state -------------------------------------------------------------------
int FramePhase = 0;
int FrameStartTime = 0;
int SmoothedFps = 0;
int CollectedCount = 0;
int OverlayOn = 1;
int SettingsOpen = 0;
int PlayState = 0;
int MouseX = 0, MouseY = 0;
int MouseClicked1 = 0, MouseClicked2 = 0;
std::vector<ment> NoticeList;

namespace {

constexpr int KeyTab = 9;
constexpr int KeyF4 = 115;
constexpr int KeyF12 = 123;
constexpr int KeyLeftAlt = 164;
constexpr int KeyRightAlt = 165;

constexpr int PointerIconFrame = 63;
constexpr int NoticeHighlightTicks = 60;
constexpr int NoticeLifeTicks = 180;
constexpr int NoticeSpacing = 14;

// The sleep granularity is coarse, so a frame is let go 2 ms before the ideal 1/60 s mark.
constexpr double FrameSlack = 2.0;
constexpr double FrameMilliseconds = 1000.0 / 60.0;

void DrawOverlay()
{
    GfxSetFont(FontTable[1]);
    DrawTextAligned(2, 2, std::to_string(SmoothedFps), 0, 0);
    GfxSetFont(FontTable[2]);
    DrawTextAligned(2, 40, "Collection : " + std::to_string(CollectedCount), 0, 0);
    DrawTextAligned(2, 60, "Used Memory : " + std::to_string(SysMemoryAllocated()), 0, 0);
    DrawTextAligned(2, 80, "Drawn Images : " + std::to_string(DrawCounts[1]) + "/" + std::to_string(DrawLimits[1]), 0, 0);
    DrawTextAligned(2, 100, "Drawn Glow : " + std::to_string(DrawCounts[2]) + "/" + std::to_string(DrawLimits[2]), 0, 0);
    DrawTextAligned(2, 120, "Drawn Particles : " + std::to_string(DrawCounts[3]) + "/" + std::to_string(DrawLimits[3]), 0, 0);
    DrawTextAligned(2, 150, "Hit F12 to remove this", 0, 0);
}

// Oldest at the bottom, newer ones stacked above; each shows black on yellow while it is fresh.
void DrawNotices()
{
    int y = VirtualHeight - 16;
    SetDrawScale(1, 1);
    GfxSetFont(FontTable[3]);
    for (auto it = NoticeList.begin(); it != NoticeList.end();) {
        ment& notice = *it;
        notice.tick++;
        bool fresh = notice.tick < NoticeHighlightTicks;
        if (fresh) {
            SetDrawColour(255, 255, 0, 0.7f);
        } else {
            SetDrawColour(0, 0, 0, 0.7f);
        }
        GfxDrawRect(0, static_cast<float>(y), static_cast<float>(GfxTextWidth(notice.txt)),
                    static_cast<float>(GfxTextHeight(notice.txt)));
        if (fresh) {
            SetDrawColour(0, 0, 0, 1);
        } else {
            SetDrawColour(255, 255, 255, 1);
        }
        GfxDrawText(notice.txt, 0, static_cast<float>(y));
        y -= NoticeSpacing;
        if (notice.tick >= NoticeLifeTicks) {
            it = NoticeList.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace

int Clock()
{
    return SysClock();
}

void PostNotice(const std::string& text, int kind)
{
    ment notice;
    notice.tick = 0;
    notice.txt = text;
    notice.c = kind;
    NoticeList.push_back(notice);
}

int FinishFrame(int rate, int reserved, int showPointer)
{
    if (InKeyHit(KeyTab) > 0) {
        SettingsOpen = 1 - SettingsOpen;
        SaveSetup();
    }

    if (FramePhase == 1) {
        CollectedCount = SysCollectMemory();
    }

    ResetDrawState();
    SetDrawScale(1.5f);
    GfxSetFont(FontTable[1]);

    if (InKeyHit(KeyF12) > 0) {
        OverlayOn = 1 - OverlayOn;
    }
    if (OverlayOn == 1) {
        DrawOverlay();
    }

    if (showPointer == 1 || SettingsOpen == 1) {
        // The 16 x 16 icon hangs from its centre: at scale 1.5 its top-left corner lies on the mouse.
        SetDrawScale(1.5f);
        GfxDrawImage(IconsImage, InMouseX() + 12, InMouseY() + 12, PointerIconFrame);
    }

    MouseX = static_cast<int>(InMouseX());
    MouseY = static_cast<int>(InMouseY());
    MouseClicked1 = InMouseHit(1);
    MouseClicked2 = InMouseHit(2);

    // The frame's drawing is done now, before the wait, so a renderer that draws while presenting (as
    // software OpenGL does) spends that time inside the frame's budget rather than after it.
    VidFinishDrawing();

    int now;
    do {
        SysSleep(1);
        now = Clock();
    } while (static_cast<double>(now) < static_cast<double>(FrameStartTime) - FrameSlack + FrameMilliseconds);

    DrawNotices();

    if (EngineSettings[7] == 0 || FramePhase == 0) {
        VidPresent(false);
    } else {
        // A dropped frame is still drawn in its own time, so the frame rate measured below (and the
        // engine test that reads it) sees the real cost of every frame.
        VidFinishDrawing();
    }

    now = Clock();
    int elapsed = now - FrameStartTime;
    if (elapsed < 1) {
        elapsed = 1;   // a frame inside one clock tick counts as 1 ms
    }
    SmoothedFps = (1000 / elapsed + 2 * SmoothedFps) / 3;
    FrameStartTime = now;

    FramePhase = 1 - FramePhase;

    bool altF4 = InKeyDown(KeyF4) && (InKeyDown(KeyLeftAlt) || InKeyDown(KeyRightAlt));
    if (altF4 || VidCloseRequested()) {
        Farewell();
    }
    return 0;
}
