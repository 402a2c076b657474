// backdrop.cpp -- the backdrop gradient, drifting stars, falling rocks and the ring of sound-effect channels
#include "game/backdrop.h"

#include <cmath>

#include "frame/draw_helpers.h"
#include "game/game_assets.h"
#include "game/game_loop.h"
#include "platform/audio.h"
#include "platform/render.h"
#include "platform/system.h"
#include "shell/common_assets.h"
#include "shell/display_setup.h"
#include "shell/setup_file.h"

// ---- Backdrop state ---------------------------------------------------------------
std::vector<rs> StarList;
std::list<ck> RockList;
int EffectsRingPosition = 20;

namespace {

constexpr int StarCount = 50;
constexpr int ScatterSteps = 12800;
constexpr int EffectsRingFirst = 20;
constexpr int EffectsRingEnd = 256;    // one past the last ring entry
constexpr int RockHalfSize = 128;      // the rock picture is 256 pixels square
constexpr float RockHitScale = 0.9f;

bool HeroOffTower() { return Run.column < -10 || Run.column > 265; }

// Steps 1 to 3 of a drift step: move, perhaps change speed, turn.
void MoveStar(rs& star, float dx, float dy)
{
    star.x = star.x + star.xs + dx;
    star.y = star.y + star.ys + dy;
    if (SysRandInt(0, 1000) == 1) star.xs = SysRandReal(0.5f, 2.0f);
    if (SysRandInt(0, 1000) == 1) star.ys = SysRandReal(0.5f, 2.0f);
    star.rot = std::fmod(star.rot + star.rotgo, 360.0f);
}

// The last step: wrap sideways and upward; a star sinking off the bottom comes back at the top as a new one.
void WrapStar(rs& star)
{
    int w = VirtualWidth, h = VirtualHeight;
    if (star.x > w + 128) star.x -= w + 256;
    if (star.x < -128) star.x += w + 256;
    if (star.y < -128) star.y += h + 200;
    if (star.y > h + 128) {
        star.y = -128;
        star.x = SysRandInt(-64, w + 64);
        star.size = SysRandReal(0.15f, 0.5f);
        star.dark = SysRandInt(0, 5) * 50;
    }
}

}  // namespace

void CreateStars()
{
    int w = VirtualWidth, h = VirtualHeight;
    for (int i = 0; i < StarCount; i++) {
        rs star;
        star.x = SysRandInt(-64, w + 64);
        star.y = SysRandInt(-64, h + 64);
        star.dark = SysRandInt(0, 5) * 50;
        star.rot = SysRandInt(1, 360);
        star.xs = SysRandReal(0.5f, 2.0f);
        star.ys = SysRandReal(0.5f, 2.0f);
        star.rotgo = SysRandReal(-0.75f, 0.75f);
        star.size = SysRandReal(0.15f, 0.5f);
        StarList.push_back(star);
    }
}

void DriftStar(rs& star, float dx, float dy)
{
    MoveStar(star, dx, dy);
    WrapStar(star);
}

void ScatterStars()
{
    for (rs& star : StarList)
        for (int i = 0; i < ScatterSteps; i++) DriftStar(star, 0, 0);
}

void DrawBackdropGradient()
{
    int shade = 100;
    for (int y = 0; y <= VirtualHeight; y += 10) {
        if (shade < 255) shade++;
        SetDrawColour(0, int(shade * 0.5f), shade, 0.4f);
        GfxDrawRect(0, y, VirtualWidth, 10);
    }
}

void UpdateStars()
{
    // When the camera rises the stars sink by a third of its movement.
    float dx = (Run.previousCameraX - Run.cameraX) / 3;
    float dy = (Run.previousCameraY - Run.cameraY) / 3;
    for (rs& star : StarList) {
        MoveStar(star, dx, dy);
        SetDrawColour(star.dark, star.dark, star.dark, 0.2f);
        SetDrawRotation(star.rot);
        SetDrawScale(star.size, star.size);
        DrawCountedImage(StarImage, int(star.x), int(star.y), 0, 3);
        WrapStar(star);
    }
}

void SpawnRock()
{
    bool offTower = HeroOffTower();
    int n = offTower ? 10 : 50;
    if (SysRandInt(0, n) != 1) return;

    int base = 64 * Run.column + Run.offsetX + 32;
    ck rock;
    rock.x = base + SysRandInt(-200, 200);
    if (SysRandInt(0, 5) < 3) rock.x = base + SysRandInt(-800, 800);
    if (SysRandInt(0, 8) < 3) rock.x = base + SysRandInt(-2400, 2400);
    rock.y = 64 * Run.row + Run.offsetY - 2 * VirtualHeight;
    rock.rot = SysRandInt(1, 360);
    rock.rotgo = SysRandReal(-3.0f, 3.0f);
    rock.r = SysRandInt(20, 25) * 10;
    rock.g = SysRandInt(20, 25) * 10;
    rock.b = SysRandInt(20, 25) * 10;
    // Off the tower the rocks come faster, so nobody climbs around it.
    rock.yspd = SysRandReal(3.0f, 6.0f) * (offTower ? 8 : 2);
    RockList.push_front(rock);
}

bool UpdateRocks()
{
    bool hit = false;
    int heroFrame = Run.animation / 3;
    float heroX = 64 * Run.column + Run.offsetX + 32 - Run.cameraX;
    float heroY = 64 * Run.row + Run.offsetY - Run.cameraY;
    for (auto it = RockList.begin(); it != RockList.end();) {
        ck& rock = *it;
        rock.rot = rock.rot + rock.rotgo;
        rock.y = rock.y + rock.yspd;

        SetDrawRotation(rock.rot);
        SetDrawColour(rock.r, rock.g, rock.b, 1.0f);
        DrawCountedImage(RockImage, int(rock.x - RockHalfSize - Run.cameraX), int(rock.y - RockHalfSize - Run.cameraY),
                         0, 1);

        // The rock hits with 90 % of its drawn size; the hero is tested unmirrored.
        if (GfxImagesCollide(RockImage, int(rock.x - Run.cameraX), int(rock.y - Run.cameraY), 0, rock.rot,
                             RockHitScale, RockHitScale, HeroImage, int(heroX), int(heroY), heroFrame, 0, 1, 1)) {
            hit = true;
            PlaySoundEffect(4, 1, 1, 0);
        }

        if (rock.y - RockHalfSize - Run.cameraY > 2 * VirtualHeight)
            it = RockList.erase(it);
        else
            ++it;
    }
    return hit;
}

void PlaySoundEffect(int n, float rate, float volume, float pan)
{
    if (EngineSettings[12] <= 0) return;
    if (n < 1 || n >= SoundEffectTableSize || SoundEffects[n] == 0) return;

    EffectsRingPosition++;
    if (EffectsRingPosition >= EffectsRingEnd || EffectsRingPosition < EffectsRingFirst)
        EffectsRingPosition = EffectsRingFirst;

    // Written so that NaN fails every "at least" test and takes the lower bound.
    if (!(volume >= 0.0f)) volume = 0.0f;
    if (volume > 1.0f) volume = 1.0f;
    if (!(rate >= 0.25f)) rate = 0.25f;
    if (rate > 4.0f) rate = 4.0f;
    if (!(pan >= -1.0f)) pan = -1.0f;
    if (pan > 1.0f) pan = 1.0f;

    int& channel = ChannelTable[EffectsRingPosition];
    if (channel != 0 && SndPlaying(channel)) {
        SndStop(channel);
        channel = 0;
    }
    if (channel == 0) channel = SndAllocChannel();   // a finished channel is simply reused
    SndCue(SoundEffects[n], channel);
    if (channel != 0) {
        float level = float(int64_t(EngineSettings[12]) * EngineSettings[11]) / 100.0f / 100.0f * volume;
        SndSetVolume(channel, level);
        SndSetPan(channel, pan);
        SndSetRate(channel, rate);
        SndResume(channel);
    }
}
