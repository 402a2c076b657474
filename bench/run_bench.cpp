// run_bench.cpp -- frames per second of a run in a real 800x600 window, on one renderer slot
//
//   run_bench [--engine 0|1|2] [--seconds S] [--warmup N] [--data FILES_DIR]
//
// Opens the display as the game does (with its fall-back to the next slot), loads the real assets
// from a copy of the data tree, sets the sprite budgets directly instead of running the engine
// test, skips the splash wait, and plays runs for S seconds with a scripted climber whose keys go
// through the platform's own event queue. Measures the real time between successive returns from
// the frame routine, which paces the game at 60 frames per second.
//
// Prints: RESULT bench=run peer=<slot> frames=<n> fps_mean=<..> ms_med=<..> ms_p90=<..> late_frames=<n>
#include <SDL2/SDL.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/display.h"
#include "run_setup.h"

namespace {

constexpr double LateFrameMs = 20.0;

struct Options {
    int engine = EngineOpenGL;
    double seconds = 10;
    int warmup = 30;
    std::string data;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--engine" && hasValue) options.engine = std::clamp(atoi(argv[++i]), 0, EngineSlotCount - 1);
        else if (arg == "--seconds" && hasValue) options.seconds = std::max(0.5, atof(argv[++i]));
        else if (arg == "--warmup" && hasValue) options.warmup = std::max(0, atoi(argv[++i]));
        else if (arg == "--data" && hasValue) options.data = argv[++i];
        else {
            fprintf(stderr, "usage: run_bench [--engine 0|1|2] [--seconds S] [--warmup N] [--data FILES_DIR]\n");
            return false;
        }
    }
    return true;
}

// A key goes down or up through SDL's event queue, as the keyboard would send it, so the game
// reads it through its usual key mapping on the next pump.
struct ScriptedKey {
    SDL_Keycode sym;
    SDL_Scancode scancode;
    bool held = false;

    void Set(bool down)
    {
        if (down == held) return;
        held = down;
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = sym;
        event.key.keysym.scancode = scancode;
        SDL_PushEvent(&event);
    }
};

double Percentile(const std::vector<double>& sorted, double p)
{
    if (sorted.empty()) return 0;
    size_t index = std::min(sorted.size() - 1, size_t(p * double(sorted.size() - 1) + 0.5));
    return sorted[index];
}

double ProcessorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) return 2;
    if (!getenv("DISPLAY") && !getenv("WAYLAND_DISPLAY")) {
        fprintf(stderr, "run_bench: needs a display (DISPLAY is not set)\n");
        return 1;
    }

    std::string files = run_setup::FindDataTree(options.data);
    if (files.empty()) {
        fprintf(stderr, "run_bench: no data tree found (give --data path/to/Files)\n");
        return 1;
    }
    std::string root = run_setup::CopyDataTree(files);
    if (root.empty()) return 1;

    PlatformStart();
    CreateTables();
    VidSetTitle(GameTitleText);
    if (!run_setup::OpenDisplayAndLoadAssets(root, options.engine)) {
        fprintf(stderr, "run_bench: the display or the game's pictures could not be set up\n");
        run_setup::RemoveDataCopy(root);
        return 1;
    }
    int slot = VidEngine();
    if (slot != options.engine)
        printf("# slot %d (%s) could not start; the game fell back to slot %d\n", options.engine,
               VidEngineName(options.engine), slot);

    ScriptedKey left{SDLK_LEFT, SDL_SCANCODE_LEFT}, right{SDLK_RIGHT, SDL_SCANCODE_RIGHT}, up{SDLK_UP, SDL_SCANCODE_UP};
    run_setup::Climber climber;
    PlayState = 1;
    StartRun();

    using Clock = std::chrono::steady_clock;
    std::vector<double> intervals;
    int frames = 0, runs = 1, bestHeight = 0;
    bool havePrevious = false;
    Clock::time_point previous, measureStart;
    double cpuStart = 0;
    while (true) {
        run_setup::Climber::Keys keys = climber.Next();
        left.Set(keys.left);
        right.Set(keys.right);
        up.Set(keys.jump);

        int endCode = PlayRunFrame();
        Clock::time_point now = Clock::now();
        frames++;
        if (frames == options.warmup) {
            measureStart = now;
            cpuStart = ProcessorSeconds();
        }
        if (frames > options.warmup && havePrevious)
            intervals.push_back(std::chrono::duration<double, std::milli>(now - previous).count());
        previous = now;
        havePrevious = true;
        bestHeight = std::max(bestHeight, RunScore);

        if (endCode == 99) break;
        if (endCode != 0) {
            // The end banner, the pause and the name entry are not frames of play: straight into the
            // next run, and the gap is not counted as a frame.
            StartRun();
            climber = run_setup::Climber{};
            runs++;
            havePrevious = false;
        }
        if (frames > options.warmup &&
            std::chrono::duration<double>(now - measureStart).count() >= options.seconds)
            break;
    }
    double wall = std::chrono::duration<double>(previous - measureStart).count();
    double cpu = ProcessorSeconds() - cpuStart;

    std::vector<double> sorted = intervals;
    std::sort(sorted.begin(), sorted.end());
    double total = 0;
    int late = 0;
    for (double ms : intervals) {
        total += ms;
        if (ms > LateFrameMs) late++;
    }
    double fpsMean = total > 0 ? 1000.0 * double(intervals.size()) / total : 0;

    printf("# run_bench: %s, 800x600 window, %d run(s), greatest height %d, draw limits %d/%d/%d, "
           "%d warm-up frames left out\n",
           VidEngineName(slot), runs, bestHeight, DrawLimits[1], DrawLimits[2], DrawLimits[3], options.warmup);
    printf("# ms_max=%.2f, processor time %.0f%% of one core over %.1f s\n", sorted.empty() ? 0.0 : sorted.back(),
           wall > 0 ? 100.0 * cpu / wall : 0.0, wall);
    printf("RESULT bench=run peer=%s frames=%d fps_mean=%.2f ms_med=%.2f ms_p90=%.2f late_frames=%d\n",
           VidEngineName(slot), int(intervals.size()), fpsMean, Percentile(sorted, 0.5), Percentile(sorted, 0.9),
           late);

    VidClose();
    run_setup::RemoveDataCopy(root);
    return 0;
}
