// game_assets.cpp -- the game's own pictures and music tracks, loaded after the engine test
#include "game/game_assets.h"

#include "platform/audio.h"
#include "platform/render.h"
#include "util/engine_test.h"

// ---- Game asset handles -----------------------------------------------------------
int HeroImage = 0, BlockImage = 0, FloorImage = 0, RockImage = 0, GameLogoImage = 0, StarImage = 0;
int TitleMusic = 0, GameMusic = 0;

void LoadGameAssets()
{
    RunEngineTest(60, 2);
    LoadGamePicturesAndMusic();
}

void LoadGamePicturesAndMusic()
{
    HeroImage = GfxLoadAnimImage("pilko.png", 128, 128, 0, 64, ImageMasked | ImageFiltered);
    BlockImage = GfxLoadAnimImage("build.png", 64, 64, 0, 16, ImageMasked | ImageFiltered);
    FloorImage = GfxLoadImage("bottom.png", ImageMasked | ImageFiltered);
    RockImage = GfxLoadImage("arock.png", ImageMasked | ImageFiltered);
    GameLogoImage = GfxLoadImage("logo.png", ImageMasked | ImageFiltered);
    StarImage = GfxLoadImage("star.png", ImageMasked | ImageFiltered);

    TitleMusic = SndLoad("Theme.ogg");
    GameMusic = SndLoad("Ingame.ogg");
}
