// common_assets.h -- fonts, icons, logos, badges and sound effects every screen shares
#pragma once
#include <string>

// ---- Asset handles ---------------------------------------------------------------
constexpr int FontTableSize = 20;
constexpr int SizedFontTableSize = 100;
constexpr int SoundEffectTableSize = 201;    // from 1
constexpr int ChannelTableSize = 260;        // 0..19 music, 20..255 effects ring, 256 badge jingle
extern int FontTable[FontTableSize];
extern int SizedFontTable[SizedFontTableSize];
extern int IconsImage, IconsImageSharp;
extern int MakerLogoImage, SiteLogoImage;
extern int BadgesImage;
extern int BadgeSound;
extern int SoundEffects[SoundEffectTableSize];
extern int ChannelTable[ChannelTableSize];
extern int CommonLoaded;
extern float FontScaleA, FontScaleB;

void ChooseFontScales(int displayWidth);   // sets FontScaleA and FontScaleB
int ScaledFontSize(int baseSize, float scale);
void LoadCommonAssets();
std::string SoundEffectFileName(int n);   // "001.wav" .. "200.wav"
