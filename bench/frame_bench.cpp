// frame_bench.cpp -- the game's own work in one frame of a run, with a renderer that draws nothing
//
//   frame_bench [--frames N] [--warmup N] [--seed S] [--no-overlay] [--data FILES_DIR]
//
// Runs headless: the real data tree (copied to /tmp), the assets loaded as the game loads them, and
// runs played by a scripted climber, restarted whenever one ends. Each PlayRunFrame is timed in real
// time: the game's logic, the tower, rocks, stars, text and the renderer's front end, but no
// rasterizing and no presenting. The pacing sleep inside the frame costs nothing here, because the
// headless SysSleep only moves the virtual clock on.
//
// Prints: RESULT bench=frame_work frames=<n> us_med=<..> us_p90=<..> us_max=<..>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "input/controls.h"
#include "platform/display.h"
#include "platform/test_platform.h"
#include "run_setup.h"

namespace {

constexpr int KeyLeft = 37, KeyUp = 38, KeyRight = 39;

struct Options {
    int frames = 3000;
    int warmup = 60;
    int seed = 12345;
    bool overlay = true;
    std::string data;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--frames" && hasValue) options.frames = std::max(1, atoi(argv[++i]));
        else if (arg == "--warmup" && hasValue) options.warmup = std::max(0, atoi(argv[++i]));
        else if (arg == "--seed" && hasValue) options.seed = atoi(argv[++i]);
        else if (arg == "--data" && hasValue) options.data = argv[++i];
        else if (arg == "--no-overlay") options.overlay = false;
        else {
            fprintf(stderr, "usage: frame_bench [--frames N] [--warmup N] [--seed S] [--no-overlay] [--data FILES_DIR]\n");
            return false;
        }
    }
    return true;
}

void HoldKey(int key, bool held)
{
    if (held) TestKeyDown(key);
    else TestKeyUp(key);
}

double Percentile(std::vector<double> sorted, double p)
{
    if (sorted.empty()) return 0;
    size_t index = std::min(sorted.size() - 1, size_t(p * double(sorted.size() - 1) + 0.5));
    return sorted[index];
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) return 2;

    std::string files = run_setup::FindDataTree(options.data);
    if (files.empty()) {
        fprintf(stderr, "frame_bench: no data tree found (give --data path/to/Files)\n");
        return 1;
    }
    std::string root = run_setup::CopyDataTree(files);
    if (root.empty()) return 1;

    TestPlatformStart();
    TestUseNullRenderer(true);
    CreateTables();
    VidSetTitle(GameTitleText);
    if (!run_setup::OpenDisplayAndLoadAssets(root, EngineOpenGL)) {
        fprintf(stderr, "frame_bench: the display or the game's pictures could not be set up\n");
        run_setup::RemoveDataCopy(root);
        return 1;
    }
    OverlayOn = options.overlay ? 1 : 0;

    // The run seeds its tower and rocks from the clock: a fixed clock gives the same runs every time.
    TestSetClock(options.seed);
    PlayState = 1;
    StartRun();
    run_setup::Climber climber;

    std::vector<double> times;
    times.reserve(options.frames);
    int runs = 1, bestHeight = 0, rocksMost = 0;
    double imagesDrawn = 0, drawCalls = 0;
    int total = options.warmup + options.frames;
    for (int frame = 0; frame < total; frame++) {
        run_setup::Climber::Keys keys = climber.Next();
        HoldKey(KeyLeft, keys.left);
        HoldKey(KeyRight, keys.right);
        HoldKey(KeyUp, keys.jump);

        auto start = std::chrono::steady_clock::now();
        int endCode = PlayRunFrame();
        auto end = std::chrono::steady_clock::now();
        if (frame >= options.warmup)
            times.push_back(std::chrono::duration<double, std::micro>(end - start).count());

        imagesDrawn += DrawCounts[1];
        drawCalls += GfxLastDrawCalls();
        bestHeight = std::max(bestHeight, RunScore);
        rocksMost = std::max(rocksMost, int(RockList.size()));
        if (endCode != 0) {
            // The end banner and the name entry are not frames of play: straight into the next run.
            TestReleaseAll();
            StartRun();
            climber = run_setup::Climber{};
            runs++;
        }
    }

    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    double mean = 0;
    for (double t : times) mean += t;
    mean /= double(times.size());

    printf("# frame_bench: %d frames of play after %d warm-up frames, %d run(s), greatest height %d, "
           "at most %zu rocks at once, overlay %s, draw limits %d/%d/%d\n",
           options.frames, options.warmup, runs, bestHeight, size_t(rocksMost), options.overlay ? "on" : "off",
           DrawLimits[1], DrawLimits[2], DrawLimits[3]);
    printf("# the renderer draws nothing; the frame's pacing sleep is not in these times: on the headless "
           "platform SysSleep only advances the virtual clock, so it costs no real time\n");
    printf("# us_mean=%.1f us_p99=%.1f, per frame %.0f counted images and %.1f batches handed to the back end\n",
           mean, Percentile(sorted, 0.99), imagesDrawn / total, drawCalls / total);
    printf("RESULT bench=frame_work frames=%d us_med=%.1f us_p90=%.1f us_max=%.1f\n", int(times.size()),
           Percentile(sorted, 0.5), Percentile(sorted, 0.9), sorted.back());

    VidClose();
    run_setup::RemoveDataCopy(root);
    return 0;
}
