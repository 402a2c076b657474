// game_assets.h -- the game's own pictures and music tracks
#pragma once

// ---- Game asset handles -----------------------------------------------------------
extern int HeroImage, BlockImage, FloorImage, RockImage, GameLogoImage, StarImage;
extern int TitleMusic, GameMusic;

void LoadGameAssets();
