// farewell.cpp -- saves everything, shows the thank-you window until any input, and ends the program
#include "shell/farewell.h"

#include "frame/draw_helpers.h"
#include "input/controls.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/render.h"
#include "platform/system.h"
#include "scores/score_file.h"
#include "shell/common_assets.h"
#include "shell/debug_log.h"
#include "shell/setup_file.h"

namespace {

constexpr int FarewellWidth = 640, FarewellHeight = 480;
constexpr int KeyF4 = 115, KeyLeftAlt = 164, KeyRightAlt = 165;

struct FarewellText {
    int font;              // FontTable entry
    int r, g, b;
    float alpha;
    int x, y;
    const char* text;
};

// Drawn in this order: the two shadows first, then the texts over them.
constexpr FarewellText FarewellTexts[] = {
    {6, 0, 0, 0, 0.8f, 2, 222, "Thanks for Playing"},
    {7, 0, 0, 0, 0.8f, 52, 276, "Send Feedback!"},
    {6, 255, 255, 255, 1.0f, 0, 220, "Thanks for Playing"},
    {7, 255, 255, 255, 1.0f, 50, 274, "Send Feedback!"},
    {8, 180, 255, 255, 1.0f, 320, 4, "This Game is Free"},
    {9, 180, 255, 255, 1.0f, 270, 44, "I do not ask for money."},
    {9, 180, 255, 255, 1.0f, 270, 64, "I create these games for fun."},
    {9, 180, 255, 255, 1.0f, 270, 84, "All I ask is that players send some feedback."},
    {9, 180, 255, 255, 1.0f, 270, 104, "A comment, an email, a vote."},
    {9, 180, 255, 255, 1.0f, 270, 134, "Do the right thing."},
    {9, 180, 255, 255, 1.0f, 270, 164, "Support Homebrew games by"},
    {9, 180, 255, 255, 1.0f, 270, 184, "saying thanks to their developers."},
};

// Closing the game's display took its fonts with it; the thank-you fonts are loaded again from the
// common folder at the sizes the game's display used.
void ReloadFarewellFonts()
{
    FontTable[6] = GfxLoadFont("Blue Highway.ttf", ScaledFontSize(72, FontScaleA));
    FontTable[7] = GfxLoadFont("Blue Highway.ttf", ScaledFontSize(32, FontScaleA));
    FontTable[8] = GfxLoadFont("SVBasicManual.ttf", ScaledFontSize(32, FontScaleA));
    FontTable[9] = GfxLoadFont("SVBasicManual.ttf", ScaledFontSize(14, FontScaleA));
}

void DrawFarewellScreen()
{
    GfxSetClsColor(0, 0, 0);
    GfxCls();
    SetDrawColour(0, 0, 80, 1.0f);
    GfxDrawRect(0, 0, FarewellWidth, FarewellHeight);

    SysChangeDir("..");
    SysChangeDir("Common/");
    SetBlendCode(1);
    SetDrawColour(255, 255, 255, 1.0f);

    // Placed by their top-left corners, unlike every other image of the game.
    GfxAutoMidHandle(false);
    MakerLogoImage = GfxLoadImage("logo.png", ImageMasked | ImageFiltered);
    SiteLogoImage = GfxLoadImage("Velmont.png", ImageMasked | ImageFiltered);
    GfxSetImageHandle(MakerLogoImage, 0, 0);
    GfxSetImageHandle(SiteLogoImage, 0, 0);
    ReloadFarewellFonts();

    SetDrawScale(0.5f, 0.5f);
    GfxDrawImage(MakerLogoImage, 0, 0, 0);
    GfxDrawImage(SiteLogoImage, 384, 224, 0);
    SetDrawScale(1.0f, 1.0f);

    for (const FarewellText& line : FarewellTexts) {
        GfxSetFont(FontTable[line.font]);
        SetDrawColour(static_cast<float>(line.r), static_cast<float>(line.g), static_cast<float>(line.b), line.alpha);
        DrawTextAligned(line.x, line.y, line.text, 0, 0);
    }
    VidPresent(true);
}

bool FarewellInputArrived()
{
    if (CaptureInput() > 0)
        return true;
    if (InMouseDown(1) || InMouseDown(2))
        return true;
    if (InKeyDown(KeyF4) && (InKeyDown(KeyLeftAlt) || InKeyDown(KeyRightAlt)))
        return true;
    return VidCloseRequested();
}

}  // namespace

void Farewell()
{
    InShowPointer();
    // Saved before anything is drawn, so they are kept even if the window below cannot open.
    SaveSetup();
    SaveScores();
    LogLine("Closing Up");
    LogLine("");
    LogLine("Bye!");
    LogLine("");
    LogLine("Play again, soon!!");

    VidClose();
    if (VidOpen(FarewellWidth, FarewellHeight, 0, 60)) {
        VidSetVirtualResolution(FarewellWidth, FarewellHeight);
        DrawFarewellScreen();
        // Opening the window forgot the keys held until now, so the press that led here does not
        // end the wait at once. A short sleep per poll keeps the wait from burning a core.
        while (!FarewellInputArrived())
            SysSleep(1);
        VidClose();
    }
    CloseDebugLog();
    SysExit(0);
}
