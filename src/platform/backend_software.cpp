// backend_software.cpp -- the software rasterizer back end: textured, tinted, rotated quads into memory
//
// The rasterizer itself is in software_raster_impl.h. Worker threads split the back buffer into
// horizontal bands; each band replays every quad clipped to itself, so the order of drawing at any one
// pixel is the order of submission, and the picture does not depend on the number of threads.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "render.h"
#include "render_backend.h"
#include "software_raster.h"
#include "software_raster_impl.h"

void DrawBandPortable(const RasterTarget& target, const std::vector<SoftTexture>& textures,
                      const QuadVertex* vertices, const QuadBatch* batches, int batchCount, int top, int bottom)
{
    DrawBandWith(target, textures, vertices, batches, batchCount, top, bottom);
}

namespace {

constexpr int MaxTextureSide = 16384;
constexpr int MaxWorkers = 7;           // besides the calling thread
constexpr int BandsPerThread = 4;       // more bands than threads, so an uneven picture still shares out
constexpr int ThreadedQuadMinimum = 64; // fewer quads are drawn on the calling thread alone

// ---- Software back end state ----
std::vector<SoftTexture> Textures;     // texture id n is entry n - 1
std::vector<uint32_t> BackBuffer;     // rows of BackStride pixels, the last RasterRowPadding of them unseen
int BackWidth = 0, BackHeight = 0, BackStride = 0;
SDL_Window* Window = nullptr;
SDL_Surface* BackSurface = nullptr;    // BackBuffer seen by SDL, for presenting into the window
int DrawCalls = 0, LastDrawCalls = 0;
bool WideRaster = false;               // drawing with the AVX2 build

// Band workers. Kept on the heap and never destroyed: the program may end with the display still
// open, and then the workers must simply vanish with the process instead of being torn down under it.
struct BandWorkers {
    std::vector<std::thread> threads;
    std::mutex mutex;
    std::condition_variable start, done;
    int serial = 0;                    // raised for every job; workers wake when it changes
    int busy = 0;
    bool quit = false;
    std::atomic<int> nextBand{0};
    int bandCount = 1, bandHeight = 1;
    const QuadVertex* vertices = nullptr;
    const QuadBatch* batches = nullptr;
    int batchCount = 0;
};
BandWorkers& Pool = *new BandWorkers;
// ---- end of software back end state ----

SoftTexture* FindTexture(int texture)
{
    if (texture <= 0 || texture > (int)Textures.size() || !Textures[texture - 1].used) return nullptr;
    return &Textures[texture - 1];
}

void DrawBand(const QuadVertex* vertices, const QuadBatch* batches, int batchCount, int top, int bottom)
{
    RasterTarget target{BackBuffer.data(), BackWidth, BackStride};
    if (WideRaster)
        DrawBandAvx2(target, Textures, vertices, batches, batchCount, top, bottom);
    else
        DrawBandPortable(target, Textures, vertices, batches, batchCount, top, bottom);
}

void RunBands()
{
    for (;;) {
        int band = Pool.nextBand.fetch_add(1);
        if (band >= Pool.bandCount) return;
        int top = band * Pool.bandHeight;
        DrawBand(Pool.vertices, Pool.batches, Pool.batchCount, top, std::min(top + Pool.bandHeight, BackHeight));
    }
}

void WorkerLoop(int seen)
{
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(Pool.mutex);
            Pool.start.wait(lock, [&] { return Pool.quit || Pool.serial != seen; });
            if (Pool.quit) return;
            seen = Pool.serial;
        }
        RunBands();
        {
            std::lock_guard<std::mutex> lock(Pool.mutex);
            if (--Pool.busy == 0) Pool.done.notify_one();
        }
    }
}

void StartWorkers()
{
    unsigned cores = std::thread::hardware_concurrency();
    int wanted = std::clamp((int)cores - 1, 0, MaxWorkers);
    Pool.quit = false;
    for (int i = 0; i < wanted; i++) {
        try {
            Pool.threads.emplace_back(WorkerLoop, Pool.serial);
        } catch (...) {
            break;  // fewer threads simply means slower drawing
        }
    }
}

void StopWorkers()
{
    {
        std::lock_guard<std::mutex> lock(Pool.mutex);
        Pool.quit = true;
    }
    Pool.start.notify_all();
    for (std::thread& t : Pool.threads) t.join();
    Pool.threads.clear();
}

// The back end's table

bool SoftInit(SDL_Window* window, int width, int height)
{
    if (width <= 0 || height <= 0 || width > MaxTextureSide || height > MaxTextureSide) return false;
    WideRaster = SoftwareRasterWideAvailable();
    Window = window;
    BackWidth = width;
    BackHeight = height;
    BackStride = width + RasterRowPadding;
    BackBuffer.assign((size_t)BackStride * height, 0xFF000000);
    Textures.clear();
    DrawCalls = LastDrawCalls = 0;
    if (window) {
        // Present straight into the window's own pixels (shared memory on X11), not through a GL
        // texture: with a software GL that would cost a second full-screen pass every frame.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        BackSurface = SDL_CreateRGBSurfaceWithFormatFrom(BackBuffer.data(), width, height, 32, BackStride * 4,
                                                         SDL_PIXELFORMAT_ARGB8888);
        if (!BackSurface || !SDL_GetWindowSurface(window)) {
            if (BackSurface) SDL_FreeSurface(BackSurface);
            BackSurface = nullptr;
            Window = nullptr;
            BackBuffer.clear();
            return false;
        }
        SDL_SetSurfaceBlendMode(BackSurface, SDL_BLENDMODE_NONE);
    }
    StartWorkers();
    return true;
}

void SoftShutdown()
{
    StopWorkers();
    if (BackSurface) SDL_FreeSurface(BackSurface);
    BackSurface = nullptr;
    Window = nullptr;
    Textures.clear();
    BackBuffer.clear();
    BackBuffer.shrink_to_fit();
    BackWidth = BackHeight = BackStride = 0;
}

int SoftCreateTexture(int width, int height, const uint32_t* pixels, bool filtered)
{
    if (width <= 0 || height <= 0 || width > MaxTextureSide || height > MaxTextureSide) return 0;
    size_t slot = 0;
    while (slot < Textures.size() && Textures[slot].used) slot++;
    if (slot == Textures.size()) Textures.emplace_back();
    SoftTexture& t = Textures[slot];
    t.used = true;
    t.filtered = filtered;
    t.width = width;
    t.height = height;
    if (pixels)
        t.texels.assign(pixels, pixels + (size_t)width * height);
    else
        t.texels.assign((size_t)width * height, 0);
    return (int)slot + 1;
}

void SoftUpdateTexture(int texture, int x, int y, int width, int height, const uint32_t* pixels)
{
    SoftTexture* t = FindTexture(texture);
    if (!t || !pixels) return;
    int left = std::max(x, 0), top = std::max(y, 0);
    int right = std::min(x + width, t->width), bottom = std::min(y + height, t->height);
    for (int row = top; row < bottom; row++)
        std::memcpy(&t->texels[(size_t)row * t->width + left], pixels + (size_t)(row - y) * width + (left - x),
                    sizeof(uint32_t) * std::max(right - left, 0));
}

void SoftDeleteTexture(int texture)
{
    if (SoftTexture* t = FindTexture(texture)) *t = SoftTexture{};
}

void SoftClear(uint32_t colour)
{
    std::fill(BackBuffer.begin(), BackBuffer.end(), colour | 0xFF000000);
}

void SoftSubmit(const QuadVertex* vertices, int quadCount, const QuadBatch* batches, int batchCount)
{
    if (BackBuffer.empty() || quadCount <= 0) return;
    DrawCalls += batchCount;
    if (Pool.threads.empty() || quadCount < ThreadedQuadMinimum) {
        DrawBand(vertices, batches, batchCount, 0, BackHeight);
        return;
    }
    int threads = (int)Pool.threads.size() + 1;
    int bands = std::min(threads * BandsPerThread, BackHeight);
    Pool.bandHeight = (BackHeight + bands - 1) / bands;
    Pool.bandCount = (BackHeight + Pool.bandHeight - 1) / Pool.bandHeight;
    Pool.vertices = vertices;
    Pool.batches = batches;
    Pool.batchCount = batchCount;
    Pool.nextBand.store(0);
    {
        std::lock_guard<std::mutex> lock(Pool.mutex);
        Pool.busy = (int)Pool.threads.size();
        Pool.serial++;
    }
    Pool.start.notify_all();
    RunBands();
    std::unique_lock<std::mutex> lock(Pool.mutex);
    Pool.done.wait(lock, [] { return Pool.busy == 0; });
}

void SoftPresent(bool vsync)
{
    LastDrawCalls = DrawCalls;
    DrawCalls = 0;
    if (!Window || !BackSurface) return;
    SDL_Surface* surface = SDL_GetWindowSurface(Window);
    if (!surface) return;
    if (surface->w == BackWidth && surface->h == BackHeight)
        SDL_BlitSurface(BackSurface, nullptr, surface, nullptr);
    else
        SDL_BlitScaled(BackSurface, nullptr, surface, nullptr);
    SDL_UpdateWindowSurface(Window);
}

void SoftGrabPixels(int x, int y, int width, int height, uint32_t* out)
{
    if (!out || width <= 0 || height <= 0) return;
    for (int row = 0; row < height; row++) {
        uint32_t* dst = out + (size_t)row * width;
        int sy = y + row;
        for (int col = 0; col < width; col++) {
            int sx = x + col;
            bool inside = sx >= 0 && sy >= 0 && sx < BackWidth && sy < BackHeight;
            dst[col] = inside ? BackBuffer[(size_t)sy * BackStride + sx] : 0;
        }
    }
}

int SoftDrawCallsLastFrame() { return LastDrawCalls; }

}  // namespace

bool SoftwareRasterWideAvailable()
{
#if defined(__x86_64__) || defined(__i386__)
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

void SoftwareRasterUseWide(bool on)
{
    WideRaster = on && SoftwareRasterWideAvailable();
}

extern const RenderBackend SoftwareBackend = {
    "Software", 0, SoftInit, SoftShutdown, SoftCreateTexture, SoftUpdateTexture, SoftDeleteTexture,
    SoftClear, SoftSubmit, SoftPresent, SoftGrabPixels, SoftDrawCallsLastFrame,
};
