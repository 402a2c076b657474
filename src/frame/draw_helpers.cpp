// draw_helpers.cpp -- the drawing conventions every screen follows, and the per-frame sprite budget
#include "frame/draw_helpers.h"

#include "frame/frame_routine.h"
#include "platform/render.h"
#include "shell/display_setup.h"
#include "shell/setup_file.h"

// ---- Budget --------------------------------------------------------------------
int DrawLimits[DrawKindCount];
int DrawCounts[DrawKindCount];

namespace {

constexpr int ResetCountKinds = 10;   // kinds 1..10 restart each frame; no higher kind is used

// On a slow system every second frame is never presented, so counted draws skip it entirely.
bool SkippedFrame()
{
    return EngineSettings[7] == 1 && FramePhase == 1;
}

bool ValidKind(int kind)
{
    return kind >= 0 && kind < DrawKindCount;
}

}  // namespace

void BeginFrame(int clear)
{
    if (clear == 1) {
        GfxSetClsColor(0, 0, 0);
        GfxCls();
    }
    for (int kind = 1; kind <= ResetCountKinds; kind++) {
        DrawCounts[kind] = 0;
    }
}

void ResetDrawState()
{
    GfxSetRotation(0);
    GfxSetScale(1, 1);
    GfxSetColor(255, 255, 255);
    GfxSetAlpha(1);
    SetBlendCode(1);
}

void SetBlendCode(int code)
{
    switch (code) {
    case 0: GfxSetBlend(BlendSolid); break;
    case 1: GfxSetBlend(BlendAlpha); break;
    case 2: GfxSetBlend(BlendMultiply); break;
    case 3: GfxSetBlend(BlendAdditive); break;
    default: break;
    }
}

void SetDrawColour(float r, float g, float b, float a)
{
    GfxSetColor(static_cast<int>(ClampReal(r, 0, 255)), static_cast<int>(ClampReal(g, 0, 255)),
                static_cast<int>(ClampReal(b, 0, 255)));
    if (a != AlphaUnchanged) {
        GfxSetAlpha(ClampReal(a, 0, 1));
    }
}

void SetDrawScale(float sx, float sy)
{
    if (sy == ScaleSameAsX) {
        sy = sx;
    }
    GfxSetScale(sx, sy);
}

void SetDrawRotation(float degrees)
{
    GfxSetRotation(degrees);
}

void DrawTextAligned(int x, int y, const std::string& text, int alignX, int alignY)
{
    int w = GfxTextWidth(text);
    int h = GfxTextHeight(text);
    if (alignX == 1) {
        x -= w / 2;
    } else if (alignX == 2) {
        x -= w;
    }
    if (alignY == 1) {
        y -= h / 2;
    } else if (alignY == 2) {
        y -= h;
    }
    GfxDrawText(text, static_cast<float>(x), static_cast<float>(y));
}

void DrawCountedImage(int image, int x, int y, int frame, int kind)
{
    if (SkippedFrame() || !ValidKind(kind)) {
        return;
    }
    if (DrawCounts[kind] < DrawLimits[kind]) {
        DrawCounts[kind]++;
        float sx, sy;
        GfxGetScale(sx, sy);
        // Images hang from their centre; the caller gives the top-left corner.
        float px = static_cast<float>(x) + static_cast<float>(GfxImageWidth(image)) * sx / 2;
        float py = static_cast<float>(y) + static_cast<float>(GfxImageHeight(image)) * sy / 2;
        GfxDrawImage(image, px, py, frame);
    }
}

void DrawGlowImage(int image, int x, int y, int frame, int glowImage, float glowScale, float glowAlpha)
{
    if (SkippedFrame()) {
        return;
    }
    float sx, sy;
    GfxGetScale(sx, sy);
    float alpha = GfxGetAlpha();
    int blend = GfxGetBlend();
    // The glow is centred on the main image, whatever the size of the glow picture.
    float px = static_cast<float>(x) + static_cast<float>(GfxImageWidth(image)) * sx / 2;
    float py = static_cast<float>(y) + static_cast<float>(GfxImageHeight(image)) * sy / 2;

    if (DrawCounts[1] < DrawLimits[1]) {
        DrawCounts[1]++;
        GfxDrawImage(image, px, py, frame);
    }

    GfxSetScale(sx * glowScale, sy * glowScale);
    GfxSetAlpha(alpha * glowAlpha);
    SetBlendCode(3);
    if (DrawCounts[2] < DrawLimits[2]) {
        DrawCounts[2]++;
        GfxDrawImage(glowImage != 0 ? glowImage : image, px, py, frame);
    }

    GfxSetScale(sx, sy);
    GfxSetAlpha(alpha);
    GfxSetBlend(blend);
}

float ClampReal(float v, float lo, float hi)
{
    float result = v > hi ? hi : v;
    if (!(result >= lo)) {   // also catches NaN, which must never reach an integer conversion
        result = lo;
    }
    return result;
}

int MouseOver(int x, int y, int w, int h)
{
    return (x < MouseX && MouseX < x + w && y < MouseY && MouseY < y + h) ? 1 : 0;
}

// Diagonal blue bands growing lighter down the screen, behind the loading splash and the engine test.
void DrawLoadingBands()
{
    float shade = 50;
    SetDrawRotation(-45);
    for (int y = 0; y <= VirtualHeight; y += 10) {
        shade += 0.5f;
        SetDrawColour(0, 0, shade);
        GfxDrawRect(-100, static_cast<float>(3 * y), static_cast<float>(VirtualWidth + 1800), 30);
    }
}
