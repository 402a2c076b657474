// sprite_bench.cpp -- sprite throughput of the renderer back ends: N rotating alpha sprites at 800x600
//
//   sprite_bench [--engine 0|1|2|sdlgl] [--n N] [--frames F] [--search] [--still] [--seconds S]
//
// Every run prints one line: RESULT peer=<back end> n=<N> ms_med=<..> ms_p90=<..> fps=<..> ns_per_sprite=<..>
// "sdlgl" is the reference: SDL's own OpenGL renderer driven directly through SDL_RenderCopyEx.
// --search finds the largest N that still holds 58 frames per second. --still runs the game's paced
// frame loop over a still screen and reports the processor time it takes.
#include <SDL2/SDL.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/render.h"
#include "platform/system.h"

namespace {

constexpr int BenchWidth = 800, BenchHeight = 600;
constexpr int SpriteSide = 16;         // texture size
constexpr float SpriteScale = 2.0f;    // drawn at 32 x 32
constexpr int WarmUpFrames = 10;
constexpr float TargetFps = 58.0f;

struct Sprite {
    float x, y, angle, spin;
};

struct Options {
    std::string engine = "0";
    int n = 1000;
    int frames = 30;
    bool search = false;
    bool still = false;
    float seconds = 5;
};

struct RunResult {
    double msMedian = 0, msP90 = 0;
    double presentMedian = 0;  // the part spent presenting: the back end's submit, drawing and swap
};

// A round blob with a soft alpha edge, coloured by position so filtering shows.
std::vector<uint32_t> SpritePixels()
{
    std::vector<uint32_t> pixels(SpriteSide * SpriteSide);
    for (int y = 0; y < SpriteSide; y++) {
        for (int x = 0; x < SpriteSide; x++) {
            float dx = x + 0.5f - SpriteSide / 2.0f, dy = y + 0.5f - SpriteSide / 2.0f;
            float d = std::sqrt(dx * dx + dy * dy);
            float a = std::clamp((SpriteSide / 2.0f - d) / 3.0f, 0.0f, 1.0f);
            uint32_t alpha = uint32_t(a * 255.0f + 0.5f);
            uint32_t r = 255, g = uint32_t(80 + x * 10), b = uint32_t(40 + y * 12);
            pixels[size_t(y * SpriteSide + x)] = alpha << 24 | r << 16 | g << 8 | b;
        }
    }
    return pixels;
}

void Spin(std::vector<Sprite>& sprites)
{
    for (Sprite& s : sprites) {
        s.angle += s.spin;
        if (s.angle >= 360.0f)
            s.angle -= 360.0f;
        else if (s.angle < 0.0f)
            s.angle += 360.0f;
    }
}

std::vector<Sprite> MakeSprites(int n)
{
    SysSeedRandom(12345);
    std::vector<Sprite> sprites(size_t(std::max(n, 0)));
    for (Sprite& s : sprites)
        s = {SysRandReal(0, BenchWidth), SysRandReal(0, BenchHeight), SysRandReal(0, 360), SysRandReal(-4, 4)};
    return sprites;
}

double Milliseconds(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

RunResult Summarise(std::vector<double> times, std::vector<double> presents = {})
{
    std::sort(times.begin(), times.end());
    std::sort(presents.begin(), presents.end());
    RunResult r;
    if (!presents.empty())
        r.presentMedian = presents[presents.size() / 2];
    r.msMedian = times[times.size() / 2];
    r.msP90 = times[std::min(times.size() - 1, size_t(std::ceil(times.size() * 0.9)) - 1)];
    return r;
}

// ns_per_sprite is the whole frame's time per sprite; queue_ns_per_sprite only the time before the
// present, which is what the drawing calls cost in the front end. While N fits the front end's quad
// queue (16384), the back end receives everything at the present, so with GALLIUM_NOOP=1
// present_ms_med is the back end's own submit cost.
void PrintResult(const std::string& peer, int n, const RunResult& r)
{
    printf("RESULT peer=%s n=%d ms_med=%.3f ms_p90=%.3f fps=%.1f ns_per_sprite=%.1f present_ms_med=%.3f "
           "queue_ns_per_sprite=%.1f\n",
           peer.c_str(), n, r.msMedian, r.msP90, 1000.0 / r.msMedian, n > 0 ? r.msMedian * 1e6 / n : 0.0,
           r.presentMedian, n > 0 ? (r.msMedian - r.presentMedian) * 1e6 / n : 0.0);
    fflush(stdout);
}

// ---- Our own back ends, through the game's drawing interface -----------------------------------

struct PlatformPeer {
    int slot = 0;
    int image = 0;
    double presentMs = 0;

    bool Open(int engineSlot)
    {
        slot = engineSlot;
        VidSelectEngine(slot);
        VidSetTitle("sprite_bench");
        if (!VidOpen(BenchWidth, BenchHeight, 0, 60)) {
            fprintf(stderr, "could not open the %s back end\n", VidEngineName(slot));
            return false;
        }
        VidSetVirtualResolution(BenchWidth, BenchHeight);
        // The texture goes through a PNG file: the drawing interface loads images from files only.
        Pixmap pixmap;
        pixmap.width = pixmap.height = SpriteSide;
        pixmap.pixels = SpritePixels();
        std::string path = "/tmp/sprite_bench_" + std::to_string(getpid()) + ".png";
        if (!SavePixmapPNG(pixmap, path, 1))
            return false;
        GfxAutoMidHandle(true);
        image = GfxLoadImage(path, ImageFiltered);
        SysDeleteFile(path);
        return image != 0;
    }

    void Frame(std::vector<Sprite>& sprites, bool move)
    {
        if (move)
            Spin(sprites);
        GfxSetClsColor(128, 128, 128);
        GfxCls();
        GfxSetBlend(BlendAlpha);
        GfxSetColor(255, 255, 255);
        GfxSetAlpha(1);
        GfxSetScale(SpriteScale, SpriteScale);
        for (const Sprite& s : sprites) {
            GfxSetRotation(s.angle);
            GfxDrawImage(image, s.x, s.y);
        }
        GfxSetRotation(0);
        GfxSetScale(1, 1);
        auto present = std::chrono::steady_clock::now();
        VidPresent(false);
        presentMs = Milliseconds(present, std::chrono::steady_clock::now());
    }

    std::string Name() const { return VidEngineName(slot); }
};

// ---- The reference: SDL's OpenGL renderer used directly ----------------------------------------

struct SdlGlPeer {
    double presentMs = 0;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;

    bool Open()
    {
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
        if (SDL_Init(SDL_INIT_VIDEO) != 0)
            return false;
        window = SDL_CreateWindow("sprite_bench", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, BenchWidth,
                                  BenchHeight, 0);
        if (!window)
            return false;
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
        if (!renderer)
            return false;
        SDL_RendererInfo info;
        SDL_GetRendererInfo(renderer, &info);
        if (strcmp(info.name, "opengl") != 0) {
            fprintf(stderr, "SDL chose the %s renderer, not opengl\n", info.name);
            return false;
        }
        SDL_RenderSetVSync(renderer, 0);
        texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, SpriteSide,
                                    SpriteSide);
        if (!texture)
            return false;
        std::vector<uint32_t> pixels = SpritePixels();
        SDL_UpdateTexture(texture, nullptr, pixels.data(), SpriteSide * 4);
        SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
        SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear);
        return true;
    }

    void Frame(std::vector<Sprite>& sprites, bool move)
    {
        if (move)
            Spin(sprites);
        SDL_SetRenderDrawColor(renderer, 128, 128, 128, 255);
        SDL_RenderClear(renderer);
        const float side = SpriteSide * SpriteScale;
        for (const Sprite& s : sprites) {
            SDL_FRect dst = {s.x - side / 2, s.y - side / 2, side, side};
            SDL_RenderCopyExF(renderer, texture, nullptr, &dst, s.angle, nullptr, SDL_FLIP_NONE);
        }
        auto present = std::chrono::steady_clock::now();
        SDL_RenderPresent(renderer);
        presentMs = Milliseconds(present, std::chrono::steady_clock::now());
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
        }
    }

    std::string Name() const { return "sdlgl"; }
};

template <typename Peer>
RunResult TimedRun(Peer& peer, int n, int frames)
{
    std::vector<Sprite> sprites = MakeSprites(n);
    std::vector<double> times, presents;
    for (int f = 0; f < WarmUpFrames + frames; f++) {
        auto start = std::chrono::steady_clock::now();
        peer.Frame(sprites, true);
        auto end = std::chrono::steady_clock::now();
        if (f >= WarmUpFrames) {
            times.push_back(Milliseconds(start, end));
            presents.push_back(peer.presentMs);
        }
    }
    RunResult r = Summarise(times, presents);
    PrintResult(peer.Name(), n, r);
    return r;
}

// Largest N whose median frame still fits 58 frames per second: doubling, then bisection.
template <typename Peer>
void Search(Peer& peer, int frames)
{
    const double budget = 1000.0 / TargetFps;
    int good = 0, bad = 0;
    for (int n = 500; !bad; n *= 2) {
        if (TimedRun(peer, n, frames).msMedian <= budget)
            good = n;
        else
            bad = n;
        if (n > 4000000)
            break;
    }
    if (!bad) {
        printf("SEARCH peer=%s n_max>=%d\n", peer.Name().c_str(), good);
        return;
    }
    while (bad - good > std::max(50, good / 50)) {
        int mid = (good + bad) / 2;
        if (TimedRun(peer, mid, frames).msMedian <= budget)
            good = mid;
        else
            bad = mid;
    }
    printf("SEARCH peer=%s n_max=%d fps_target=%.0f\n", peer.Name().c_str(), good, TargetFps);
}

double CpuSeconds()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The game's frame loop over a still screen: draw, present, then sleep a millisecond at a time
// until about 14.67 ms have passed since the end of the last frame.
template <typename Peer>
void Still(Peer& peer, int n, float seconds)
{
    std::vector<Sprite> sprites = MakeSprites(n);
    int frames = 0;
    double cpuStart = CpuSeconds();
    auto wallStart = std::chrono::steady_clock::now();
    int frameStart = SysClock();
    std::vector<double> times;
    while (Milliseconds(wallStart, std::chrono::steady_clock::now()) < seconds * 1000.0) {
        auto start = std::chrono::steady_clock::now();
        peer.Frame(sprites, false);
        times.push_back(Milliseconds(start, std::chrono::steady_clock::now()));
        do {
            SysSleep(1);
        } while (float(SysClock()) < float(frameStart) - 2.0f + 1000.0f / 60.0f);
        frameStart = SysClock();
        frames++;
    }
    double wall = Milliseconds(wallStart, std::chrono::steady_clock::now()) / 1000.0;
    double cpu = CpuSeconds() - cpuStart;
    RunResult r = Summarise(times);
    printf("RESULT peer=%s n=%d mode=still ms_med=%.3f ms_p90=%.3f fps=%.1f cpu_pct=%.1f\n", peer.Name().c_str(),
           n, r.msMedian, r.msP90, frames / wall, 100.0 * cpu / wall);
    fflush(stdout);
}

template <typename Peer>
int RunPeer(Peer& peer, const Options& o)
{
    if (o.still)
        Still(peer, o.n, o.seconds);
    else if (o.search)
        Search(peer, o.frames);
    else
        TimedRun(peer, o.n, o.frames);
    return 0;
}

void Usage()
{
    fprintf(stderr,
            "usage: sprite_bench [--engine 0|1|2|sdlgl] [--n N] [--frames F] [--search] [--still] [--seconds S]\n");
}

}  // namespace

int main(int argc, char** argv)
{
    Options o;
    bool nGiven = false;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a == "--engine" && hasValue)
            o.engine = argv[++i];
        else if (a == "--n" && hasValue) {
            o.n = atoi(argv[++i]);
            nGiven = true;
        } else if (a == "--frames" && hasValue)
            o.frames = std::max(10, atoi(argv[++i]));
        else if (a == "--seconds" && hasValue)
            o.seconds = float(atof(argv[++i]));
        else if (a == "--search")
            o.search = true;
        else if (a == "--still")
            o.still = true;
        else {
            Usage();
            return 2;
        }
    }
    if (o.still && !nGiven)
        o.n = 0;

    if (o.engine == "sdlgl") {
        SdlGlPeer peer;
        if (!peer.Open()) {
            fprintf(stderr, "sdlgl: %s\n", SDL_GetError());
            return 1;
        }
        return RunPeer(peer, o);
    }
    int slot = atoi(o.engine.c_str());
    if (o.engine.size() != 1 || slot < 0 || slot >= EngineSlotCount) {
        Usage();
        return 2;
    }
    PlatformStart();
    PlatformPeer peer;
    if (!peer.Open(slot))
        return 1;
    int code = RunPeer(peer, o);
    VidClose();
    return code;
}
