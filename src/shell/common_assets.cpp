// common_assets.cpp -- fonts, icons, logos, badges and sound effects every screen shares, and the splash
#include "shell/common_assets.h"

#include <string>

#include "frame/draw_helpers.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/render.h"
#include "platform/system.h"
#include "scores/score_file.h"
#include "shell/debug_log.h"
#include "shell/display_setup.h"
#include "shell/setup_file.h"
#include "shell/startup.h"

// ---- Asset handles ---------------------------------------------------------------
int FontTable[FontTableSize];
int SizedFontTable[SizedFontTableSize];
int IconsImage = 0, IconsImageSharp = 0;
int MakerLogoImage = 0, SiteLogoImage = 0;
int BadgesImage = 0;
int BadgeSound = 0;
int SoundEffects[SoundEffectTableSize];
int ChannelTable[ChannelTableSize];
int CommonLoaded = 0;
float FontScaleA = 1, FontScaleB = 1;

namespace {

const std::string BodyFontFile = "SVBasicManual.ttf";
const std::string HeadlineFontFile = "Blue Highway.ttf";
const std::string DisplayFontFile = "Acknowledge TT QYV.ttf";

constexpr int BadgeJingleChannel = 256;
constexpr int SoundEffectSlots = 200;
constexpr int SizedFontSteps = 9;
constexpr int SizedFontBases[SizedFontSteps] = {8, 12, 18, 24, 32, 40, 52, 64, 96};

int LoadFontScaled(const std::string& file, int baseSize, float scale)
{
    return GfxLoadFont(file, ScaledFontSize(baseSize, scale), true);
}

void LoadFonts()
{
    ChooseFontScales(DisplayWidth);
    FontTable[1] = LoadFontScaled(BodyFontFile, 24, FontScaleA);
    FontTable[2] = LoadFontScaled(BodyFontFile, 16, FontScaleB);
    FontTable[3] = LoadFontScaled(BodyFontFile, 16, FontScaleB);
    FontTable[4] = LoadFontScaled(BodyFontFile, 20, FontScaleA);
    FontTable[5] = LoadFontScaled(HeadlineFontFile, 96, FontScaleA);
    FontTable[6] = LoadFontScaled(HeadlineFontFile, 72, FontScaleA);
    FontTable[7] = LoadFontScaled(HeadlineFontFile, 32, FontScaleA);
    FontTable[8] = LoadFontScaled(BodyFontFile, 32, FontScaleA);
    FontTable[9] = LoadFontScaled(BodyFontFile, 14, FontScaleA);
    FontTable[10] = GfxLoadFont(DisplayFontFile, 112, true);
    FontTable[11] = GfxLoadFont(DisplayFontFile, 96, true);
    FontTable[12] = GfxLoadFont(DisplayFontFile, 32, true);
    FontTable[13] = GfxLoadFont(DisplayFontFile, 20, true);

    const std::string* families[] = {&BodyFontFile, &HeadlineFontFile, &DisplayFontFile};
    for (int family = 0; family < 3; family++) {
        for (int step = 0; step < SizedFontSteps; step++) {
            SizedFontTable[family * 10 + step] = LoadFontScaled(*families[family], SizedFontBases[step], FontScaleA);
        }
    }
}

// The first display of a run shows blue bands and both logos while the badge jingle plays.
void ShowSplash()
{
    BeginFrame(1);
    ResetDrawState();
    DrawLoadingBands();
    ResetDrawState();
    SetDrawScale(1.5f, 1.5f);
    GfxDrawImage(MakerLogoImage, 0.4f * VirtualHeight, 0.3f * VirtualHeight);
    GfxDrawImage(SiteLogoImage, VirtualWidth - 0.4f * VirtualHeight, 0.7f * VirtualHeight);
    SetDrawScale(1, 1);

    int channel = SndAllocChannel();
    ChannelTable[BadgeJingleChannel] = channel;
    if (channel != 0) {
        SndCue(BadgeSound, channel);
        // The product is taken in 64 bits: Setup.ini may hold any size of number.
        long long product = static_cast<long long>(EngineSettings[12]) * EngineSettings[11];
        SndSetVolume(channel, static_cast<float>(product) / 100 / 100);
        SndResume(channel);
    }
    VidPresent(true);
    CommonLoaded = 1;
}

}  // namespace

void ChooseFontScales(int displayWidth)
{
    if (displayWidth >= 900) {
        FontScaleA = 1;
        FontScaleB = 1;
    } else if (displayWidth >= 600) {
        FontScaleA = 1.2f;
        FontScaleB = 1.4f;
    } else {
        FontScaleA = 1.5f;
        FontScaleB = 2;
    }
}

int ScaledFontSize(int baseSize, float scale)
{
    return static_cast<int>(static_cast<float>(baseSize) * scale);
}

std::string SoundEffectFileName(int n)
{
    std::string digits = "000" + std::to_string(n);
    return digits.substr(digits.size() - 3) + ".wav";
}

void LoadCommonAssets()
{
    GfxAutoMidHandle(true);
    LogLine("");
    LogLine("Loading : Common Objects");
    LogLine("");
    LogLine("Switching to Default Folder");
    LogLine("");
    SysChangeDir("../");
    SysChangeDir("Common/");

    LogLine("\tDefault Fonts");
    LoadFonts();

    LogLine("\tDefault Icons");
    IconsImage = GfxLoadAnimImage("icons.png", 16, 16, 0, 64, ImageMasked | ImageFiltered);
    IconsImageSharp = GfxLoadAnimImage("icons.png", 16, 16, 0, 64, ImageMasked);

    LogLine("\tLogos");
    MakerLogoImage = GfxLoadImage("logo.png", ImageMasked | ImageFiltered);
    SiteLogoImage = GfxLoadImage("Velmont.png", ImageMasked | ImageFiltered);

    LogLine("\tBadgeGet");
    BadgeSound = SndLoad("badgeget.wav");

    if (CommonLoaded == 0) {
        ShowSplash();
    }

    LogLine("");
    LogLine("Switching to Game Folder");
    SysChangeDir("../");
    EnterGameFolder();

    BadgesImage = GfxLoadAnimImage("badges.png", 64, 64, 0, 16, ImageMasked | ImageFiltered);

    LogLine("");
    LogLine("Loading Sound effects");
    for (int n = 1; n <= SoundEffectSlots; n++) {
        std::string file = SoundEffectFileName(n);
        if (SysFileExists(file)) {
            LogLine("\tSFX(" + std::to_string(n) + ")");
            SoundEffects[n] = SndLoad(file);
        }
    }
    LogLine("Sounds loaded");
    LogLine("");

    LoadScores();
}
