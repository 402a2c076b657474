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
// The picture is drawn into BackPixels: the window's own pixels when their layout is ours (then
// presenting is only telling the window system), otherwise BackBuffer, copied over at each present.
uint32_t* BackPixels = nullptr;
int BackWidth = 0, BackHeight = 0, BackStride = 0;  // stride: pixels from one row to the next
std::vector<uint32_t> BackBuffer;
SDL_Window* Window = nullptr;
SDL_Surface* WindowTarget = nullptr;   // the window surface drawn into directly, or null
SDL_Surface* BackSurface = nullptr;    // BackBuffer seen by SDL, for presenting into the window
// A clear waits for the next drawing, so each band clears its own rows just before drawing into
// them, on its own thread; whatever reads the picture first clears it outright.
bool ClearPending = false;
uint32_t ClearColour = 0;
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

void ClearRows(int top, int bottom)
{
    for (int row = top; row < bottom; row++) {
        uint32_t* line = BackPixels + (size_t)row * BackStride;
        std::fill(line, line + BackWidth, ClearColour);
    }
}

void ApplyPendingClear()
{
    if (ClearPending && BackPixels) ClearRows(0, BackHeight);
    ClearPending = false;
}

void DrawBand(const QuadVertex* vertices, const QuadBatch* batches, int batchCount, int top, int bottom)
{
    if (ClearPending) ClearRows(top, bottom);
    RasterTarget target{BackPixels, BackWidth, BackStride};
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

// Whether the picture can be drawn straight into a window surface: same size, and 32-bit pixels that
// read as 0xAARRGGBB (XRGB shows the same picture, the window system ignores the top byte).
bool CanDrawInto(SDL_Surface* surface, int width, int height)
{
    return surface && surface->pixels && !SDL_MUSTLOCK(surface) && surface->w == width && surface->h == height &&
           surface->pitch % 4 == 0 && surface->pitch / 4 >= width &&
           (surface->format->format == SDL_PIXELFORMAT_ARGB8888 || surface->format->format == SDL_PIXELFORMAT_RGB888);
}

// Draws into a buffer of our own from now on, starting from the given picture (rows of stride pixels)
// or black.
bool UseOwnBuffer(const uint32_t* picture, int stride)
{
    WindowTarget = nullptr;
    BackStride = BackWidth;
    BackBuffer.assign((size_t)BackStride * BackHeight, 0xFF000000);
    if (picture)
        for (int row = 0; row < BackHeight; row++)
            std::memcpy(&BackBuffer[(size_t)row * BackStride], picture + (size_t)row * stride,
                        sizeof(uint32_t) * BackWidth);
    BackPixels = BackBuffer.data();
    if (BackSurface) SDL_FreeSurface(BackSurface);
    BackSurface = nullptr;
    if (!Window) return true;
    BackSurface = SDL_CreateRGBSurfaceWithFormatFrom(BackPixels, BackWidth, BackHeight, 32, BackStride * 4,
                                                     SDL_PIXELFORMAT_ARGB8888);
    if (!BackSurface) return false;
    SDL_SetSurfaceBlendMode(BackSurface, SDL_BLENDMODE_NONE);
    return true;
}

void UseWindowSurface(SDL_Surface* surface)
{
    WindowTarget = surface;
    BackPixels = (uint32_t*)surface->pixels;
    BackStride = surface->pitch / 4;
    BackBuffer.clear();
    BackBuffer.shrink_to_fit();
    if (BackSurface) SDL_FreeSurface(BackSurface);
    BackSurface = nullptr;
}

bool SoftInit(SDL_Window* window, int width, int height)
{
    if (width <= 0 || height <= 0 || width > MaxTextureSide || height > MaxTextureSide) return false;
    WideRaster = SoftwareRasterWideAvailable();
    Window = window;
    BackWidth = width;
    BackHeight = height;
    Textures.clear();
    DrawCalls = LastDrawCalls = 0;
    ClearPending = false;
    bool ready = true;
    if (window) {
        // Present through the window's own pixels (shared memory on X11), not through a GL texture:
        // with a software GL that would cost a second full-screen pass every frame.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        SDL_Surface* surface = SDL_GetWindowSurface(window);
        if (!surface) {
            ready = false;
        } else if (CanDrawInto(surface, width, height)) {
            UseWindowSurface(surface);
            ClearColour = 0xFF000000;
            ClearRows(0, BackHeight);
        } else {
            ready = UseOwnBuffer(nullptr, 0);
        }
    } else {
        ready = UseOwnBuffer(nullptr, 0);
    }
    if (!ready) {
        if (BackSurface) SDL_FreeSurface(BackSurface);
        BackSurface = nullptr;
        WindowTarget = nullptr;
        Window = nullptr;
        BackPixels = nullptr;
        BackBuffer.clear();
        return false;
    }
    StartWorkers();
    return true;
}

void SoftShutdown()
{
    StopWorkers();
    if (BackSurface) SDL_FreeSurface(BackSurface);
    BackSurface = nullptr;
    WindowTarget = nullptr;
    Window = nullptr;
    BackPixels = nullptr;
    ClearPending = false;
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
    ClearPending = true;
    ClearColour = colour | 0xFF000000;
}

void SoftSubmit(const QuadVertex* vertices, int quadCount, const QuadBatch* batches, int batchCount)
{
    if (!BackPixels || quadCount <= 0 || !vertices || !batches || batchCount <= 0) return;
    // A batch reaching past the quads handed over is cut back to them.
    std::vector<QuadBatch> fitted;
    for (int b = 0; b < batchCount; b++) {
        const QuadBatch& batch = batches[b];
        if (batch.firstQuad >= 0 && batch.quadCount >= 0 && batch.firstQuad <= quadCount &&
            batch.quadCount <= quadCount - batch.firstQuad)
            continue;
        if (fitted.empty()) fitted.assign(batches, batches + batchCount);
        QuadBatch& fix = fitted[b];
        fix.firstQuad = std::clamp(fix.firstQuad, 0, quadCount);
        fix.quadCount = std::clamp(fix.quadCount, 0, quadCount - fix.firstQuad);
    }
    if (!fitted.empty()) batches = fitted.data();
    DrawCalls += batchCount;
    if (Pool.threads.empty() || quadCount < ThreadedQuadMinimum) {
        DrawBand(vertices, batches, batchCount, 0, BackHeight);
        ClearPending = false;
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
    ClearPending = false;
}

void SoftPresent(bool vsync)
{
    LastDrawCalls = DrawCalls;
    DrawCalls = 0;
    ApplyPendingClear();
    if (!Window || !BackPixels) return;
    if (WindowTarget) {
        // Asking for the window surface again replaces it (and frees the pixels drawn into) once the
        // window has changed size, so in that case the picture moves into a buffer of our own first.
        int w = 0, h = 0;
        SDL_GetWindowSize(Window, &w, &h);
        if (w == WindowTarget->w && h == WindowTarget->h) {
            SDL_Surface* now = SDL_GetWindowSurface(Window);
            if (now == WindowTarget && now->pixels == BackPixels) {
                SDL_UpdateWindowSurface(Window);
                return;
            }
            // Replaced all the same (the old pixels are gone with this frame): from here on we draw
            // into our own buffer.
            if (!UseOwnBuffer(nullptr, 0)) return;
        } else if (!UseOwnBuffer(BackPixels, BackStride)) {
            return;
        }
    }
    SDL_Surface* surface = SDL_GetWindowSurface(Window);
    if (!surface || !BackSurface) return;
    if (surface->w == BackWidth && surface->h == BackHeight)
        SDL_BlitSurface(BackSurface, nullptr, surface, nullptr);
    else
        SDL_BlitScaled(BackSurface, nullptr, surface, nullptr);
    SDL_UpdateWindowSurface(Window);
}

void SoftGrabPixels(int x, int y, int width, int height, uint32_t* out)
{
    if (!out || width <= 0 || height <= 0) return;
    ApplyPendingClear();
    for (int row = 0; row < height; row++) {
        uint32_t* dst = out + (size_t)row * width;
        int sy = y + row;
        for (int col = 0; col < width; col++) {
            int sx = x + col;
            bool inside = sx >= 0 && sy >= 0 && sx < BackWidth && sy < BackHeight;
            dst[col] = inside && BackPixels ? BackPixels[(size_t)sy * BackStride + sx] : 0;
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
    SoftClear, SoftSubmit, SoftPresent, SoftGrabPixels, SoftDrawCallsLastFrame, nullptr,
};
