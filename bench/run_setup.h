// run_setup.h -- what the run benchmarks share: a scratch copy of the data tree, the game's assets
// loaded as the game loads them, and a scripted player that climbs
#pragma once
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "frame/draw_helpers.h"
#include "frame/frame_routine.h"
#include "game/backdrop.h"
#include "game/game_assets.h"
#include "game/game_loop.h"
#include "game/tower.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/render.h"
#include "platform/system.h"
#include "shell/common_assets.h"
#include "shell/display_setup.h"
#include "shell/setup_file.h"
#include "shell/startup.h"
#include "util/engine_test.h"

namespace run_setup {

namespace fs = std::filesystem;

// The budgets the engine test leaves on a machine that draws well: 20000 sprites at 60 fps.
constexpr int BenchImageLimit = 8000, BenchGlowLimit = 8000, BenchParticleLimit = 4000;

// The data tree (the folder holding Common/ and 252/): given on the command line, or found beside
// the build folder the benchmark was built in.
inline std::string FindDataTree(const std::string& given)
{
    if (!given.empty())
        return fs::exists(fs::path(given) / "252") ? given : "";
    std::error_code error;
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return "";
    fs::path dir = exe.parent_path();
    for (const fs::path& candidate : {dir / "game" / "Files", dir / ".." / "data" / "Files",
                                      dir / ".." / ".." / "data" / "Files"})
        if (fs::exists(candidate / "252") && fs::exists(candidate / "Common"))
            return fs::canonical(candidate).string();
    return "";
}

// Copies the data tree to a fresh folder under /tmp, so the crash marker and any scores written
// during the benchmark never touch the source tree. Returns the new root ("" on failure); the
// copy is Root/Files.
inline std::string CopyDataTree(const std::string& files)
{
    char pattern[] = "/tmp/vp_bench_XXXXXX";
    if (!mkdtemp(pattern))
        return "";
    std::string root = pattern;
    std::error_code error;
    fs::copy(files, fs::path(root) / "Files", fs::copy_options::recursive, error);
    if (error) {
        fprintf(stderr, "Copying %s failed: %s\n", files.c_str(), error.message().c_str());
        fs::remove_all(root, error);
        return "";
    }
    return root;
}

inline void RemoveDataCopy(const std::string& root)
{
    std::error_code error;
    if (!root.empty())
        fs::remove_all(root, error);
}

// The display and every asset as the game sets them up, from Files/252 of the copy, with the
// engine test left out: the sprite budgets are set directly. engine is the wanted slot; the game's
// own fall-back to the next slot still applies. Returns false when no display could be opened.
inline bool OpenDisplayAndLoadAssets(const std::string& root, int engine)
{
    SysChangeDir(root + "/Files/");
    EnterGameFolder();
    EngineSettings[1] = 0;   // a window
    EngineSettings[3] = engine;
    EngineSettings[5] = 800;
    EngineSettings[6] = 600;
    BuildDisplayModeList();
    DisplayWidth = 800;      // also where the machine offers no 800 x 600 mode: a window fits anyway
    DisplayHeight = 600;
    OpenConfiguredDisplay();
    if (!VidIsOpen())
        return false;
    LoadCommonAssets();

    LoadGamePicturesAndMusic();   // the game's loading without its engine test
    SysDeleteFile(CrashMarkerFile);

    DrawLimits[1] = BenchImageLimit;
    DrawLimits[2] = BenchGlowLimit;
    DrawLimits[3] = BenchParticleLimit;
    TargetFrameRate = 60;
    EngineSettings[7] = 0;
    return HeroImage != 0 && BlockImage != 0 && FloorImage != 0 && RockImage != 0 && StarImage != 0;
}

// A player who holds jump all the time, steps aside from falling rocks and otherwise walks towards
// the nearest ledge one to three rows above the one he stands on (or wanders when none is in
// reach), so runs climb as a person's would.
struct Climber {
    int target = 128;
    int wander = 1;
    int framesOnTarget = 0;
    int landedRow = -1;

    struct Keys {
        bool left = false, right = false, jump = true;
    };

    bool FindLedgeAbove()
    {
        constexpr int Reach = 16;
        for (int up = 3; up >= 1; up--) {
            int ledgeRow = Run.row + 1 - up;
            for (int d = 0; d <= Reach; d++) {
                for (int side : {-1, 1}) {
                    int c = Run.column + side * d;
                    if (IsLedge(CellAt(ledgeRow, c)) && !IsLedge(CellAt(ledgeRow - 1, c))) {
                        target = c;
                        return true;
                    }
                }
            }
        }
        return false;
    }

    Keys Next()
    {
        // Jump is held, so the hero takes off in the frame he lands: a frame that starts at the
        // full jump speed has just left the ground.
        bool standing = Run.groundTimer > 0 || Run.speedY <= -5.99f;
        if (standing && (Run.row != landedRow || Run.column == target || framesOnTarget > 180)) {
            landedRow = Run.row;
            framesOnTarget = 0;
            if (!FindLedgeAbove()) {
                if (Run.column < 20) wander = 1;
                if (Run.column > TowerColumns - 20) wander = -1;
                target = Run.column + wander * 5;
            }
        }
        framesOnTarget++;
        Keys keys;
        int flee = DodgeDirection();
        if (flee != 0) {
            keys.right = flee > 0;
            keys.left = flee < 0;
            return keys;
        }
        int dx = target - Run.column;
        keys.right = dx > 0 || (dx == 0 && Run.offsetX < -16);
        keys.left = dx < 0 || (dx == 0 && Run.offsetX > 16);
        return keys;
    }

    // Steps aside from a rock that will come down on the hero within a second: the rock is about 230
    // pixels across and the hero 128, so anything nearer than 200 pixels sideways is in the way.
    static int DodgeDirection()
    {
        constexpr float Danger = 200, LookAhead = 60;
        float heroX = 64.0f * Run.column + Run.offsetX + 32;
        float heroY = 64.0f * Run.row + Run.offsetY;
        for (const ck& rock : RockList) {
            float above = heroY - rock.y;
            float dx = heroX - rock.x;
            if (above > -150 && above < rock.yspd * LookAhead && dx > -Danger && dx < Danger)
                return dx >= 0 ? 1 : -1;
        }
        return 0;
    }
};

}  // namespace run_setup
