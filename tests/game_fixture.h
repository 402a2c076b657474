// game_fixture.h -- a display, test pictures and sounds for the game's tests
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "frame/draw_helpers.h"
#include "game/backdrop.h"
#include "game/game_assets.h"
#include "game/game_loop.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/render.h"
#include "platform/test_platform.h"
#include "shell/common_assets.h"
#include "shell/display_setup.h"
#include "shell/setup_file.h"
#include "test_support.h"

namespace game_fixture {

constexpr Pixel Solid = 0xFFC0C0C0;

// A 1280 x 960 software display with one virtual unit per pixel, as the game runs on a 4:3 screen.
// A smaller display keeps the same virtual area and only draws fewer pixels.
inline void OpenGameDisplay(int width = 1280, int height = 960)
{
    UseHeadlessPlatform();
    VidSelectEngine(EngineSoftware);
    ASSERT_TRUE(VidOpen(width, height, 0, 60));
    VidSetVirtualResolution(1280, 960);
    VirtualWidth = 1280;
    VirtualHeight = 960;
    GfxAutoMidHandle(true);
    DrawLimits[1] = 1000;   // what the engine test leaves on any machine
    DrawLimits[3] = 250;
}

// Saves a strip of frames (each w x h) and loads it with centred handles; fill(frame, x, y) gives each
// pixel, 0 for a clear one (a bool true paints it grey).
template <typename Fill>
int MakeStrip(const std::string& name, int w, int h, int frames, Fill fill)
{
    Pixmap picture;
    picture.width = w * frames;
    picture.height = h;
    picture.pixels.assign(picture.width * h, 0);
    for (int f = 0; f < frames; f++)
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                if (Pixel p = Pixel(fill(f, x, y))) picture.pixels[y * picture.width + f * w + x] = p == 1 ? Solid : p;
    std::string path = MakeScratchDir("game_fixture_" + name) + "/" + name + ".png";
    EXPECT_TRUE(SavePixmapPNG(picture, path, 1));
    int image = GfxLoadAnimImage(path, w, h, 0, frames);
    EXPECT_NE(image, 0);
    return image;
}

// The hero: 13 frames of 128 x 128, solid in the right half of each frame except the falling picture
// (frame 12), which is empty. The rock: a solid 256-pixel square.
inline void MakeHeroAndRock()
{
    HeroImage = MakeStrip("hero", 128, 128, 13, [](int f, int x, int) { return f != 12 && x >= 64; });
    RockImage = MakeStrip("rock", 256, 256, 1, [](int, int, int) { return true; });
}

// The sound effects the game plays, loaded from the game's data folder.
inline void LoadEffects()
{
    const std::string folder = std::string(SOURCE_DIR) + "/data/Files/252/";
    for (int n : {2, 3, 4}) {
        char file[16];
        std::snprintf(file, sizeof file, "%03d.wav", n);
        SoundEffects[n] = SndLoad(folder + file);
        ASSERT_NE(SoundEffects[n], 0) << file;
    }
    SoundEffects[5] = SndLoad(folder + "004.wav");   // a handle of its own
}

inline int CountOps(const std::string& op, int sound = -1)
{
    int count = 0;
    for (const TestSoundCall& call : TestSoundLog())
        if (call.op == op && (sound < 0 || call.sound == sound)) count++;
    return count;
}

}  // namespace game_fixture
