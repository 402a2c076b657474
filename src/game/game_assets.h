// game_assets.h -- the game's own pictures and music tracks
#pragma once

// ---- Game asset handles -----------------------------------------------------------
extern int HeroImage, BlockImage, FloorImage, RockImage, GameLogoImage, StarImage;
extern int TitleMusic, GameMusic;

void LoadGameAssets();              // the engine test, then the pictures and music
void LoadGamePicturesAndMusic();    // the pictures and music alone, from the game folder
