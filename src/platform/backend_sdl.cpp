// backend_sdl.cpp -- the renderer back end on SDL's own renderer (its GL, GLES or software drawing)
//
// Independent of our OpenGL code: this is what the game falls back to when our OpenGL start fails.
#include <SDL.h>

#include <cstdio>
#include <vector>

#include "render.h"
#include "render_backend.h"

// ---- SDL renderer back-end state ---------------------------------------------------------------
static SDL_Window* SdlWindow;
static SDL_Renderer* SdlRenderer;
static SDL_Texture* SdlWhiteTexture;
static std::vector<SDL_Texture*> SdlTextures;  // by back-end texture id; entry 0 unused, null marks a free id
static SDL_BlendMode SdlBlendModes[4];         // by BlendMode
static std::vector<int> SdlIndices;            // 6 per quad, relative to the batch's first vertex
static std::vector<float> SdlPlainTexCoords;    // u, v of the corners of plain quads, 8 per quad
static std::vector<SDL_Color> SdlColours;      // the batch's vertex colours in SDL's byte order
static int SdlVsync = -1;
static int SdlDrawCalls, SdlDrawCallsLast;

// Blend modes with the same arithmetic as our OpenGL back end. SDL's software renderer knows only
// its fixed modes; for our four their colour arithmetic is the same, so they serve where custom
// modes are refused.
static void ChooseBlendModes()
{
    SDL_BlendMode custom[4] = {
        SDL_BLENDMODE_NONE,
        SDL_ComposeCustomBlendMode(SDL_BLENDFACTOR_SRC_ALPHA, SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA,
                                   SDL_BLENDOPERATION_ADD, SDL_BLENDFACTOR_SRC_ALPHA,
                                   SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA, SDL_BLENDOPERATION_ADD),
        SDL_ComposeCustomBlendMode(SDL_BLENDFACTOR_DST_COLOR, SDL_BLENDFACTOR_ZERO, SDL_BLENDOPERATION_ADD,
                                   SDL_BLENDFACTOR_DST_ALPHA, SDL_BLENDFACTOR_ZERO, SDL_BLENDOPERATION_ADD),
        SDL_ComposeCustomBlendMode(SDL_BLENDFACTOR_SRC_ALPHA, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD,
                                   SDL_BLENDFACTOR_SRC_ALPHA, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD),
    };
    const SDL_BlendMode fixed[4] = {SDL_BLENDMODE_NONE, SDL_BLENDMODE_BLEND, SDL_BLENDMODE_MOD, SDL_BLENDMODE_ADD};
    for (int mode = 0; mode < 4; mode++)
        SdlBlendModes[mode] = SDL_SetTextureBlendMode(SdlWhiteTexture, custom[mode]) == 0 ? custom[mode] : fixed[mode];
}

static SDL_Texture* MakeTexture(int width, int height, const uint32_t* pixels, bool filtered)
{
    SDL_Texture* tex = SDL_CreateTexture(SdlRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, width, height);
    if (!tex)
        return nullptr;
    SDL_UpdateTexture(tex, nullptr, pixels, width * 4);
    SDL_SetTextureScaleMode(tex, filtered ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    return tex;
}

static void SdlShutdown();

static bool SdlInit(SDL_Window* window, int width, int height)
{
    if (!window)
        return false;
    SdlRenderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    if (!SdlRenderer)
        SdlRenderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!SdlRenderer) {
        fprintf(stderr, "SDL renderer failed: %s\n", SDL_GetError());
        return false;
    }
    SdlWindow = window;
    const uint32_t white = 0xFFFFFFFF;
    SdlWhiteTexture = MakeTexture(1, 1, &white, false);
    if (!SdlWhiteTexture) {
        SdlShutdown();
        return false;
    }
    ChooseBlendModes();
    SdlTextures.assign(1, nullptr);
    SdlVsync = -1;
    SdlDrawCalls = SdlDrawCallsLast = 0;
    return true;
}

static void SdlShutdown()
{
    for (SDL_Texture* tex : SdlTextures)
        if (tex)
            SDL_DestroyTexture(tex);
    SdlTextures.clear();
    if (SdlWhiteTexture)
        SDL_DestroyTexture(SdlWhiteTexture);
    SdlWhiteTexture = nullptr;
    if (SdlRenderer)
        SDL_DestroyRenderer(SdlRenderer);
    SdlRenderer = nullptr;
    SdlWindow = nullptr;
}

static int SdlCreateTexture(int width, int height, const uint32_t* pixels, bool filtered)
{
    if (!SdlRenderer || width <= 0 || height <= 0)
        return 0;
    SDL_Texture* tex = MakeTexture(width, height, pixels, filtered);
    if (!tex)
        return 0;
    for (size_t id = 1; id < SdlTextures.size(); id++) {
        if (!SdlTextures[id]) {
            SdlTextures[id] = tex;
            return int(id);
        }
    }
    SdlTextures.push_back(tex);
    return int(SdlTextures.size() - 1);
}

static void SdlUpdateTexture(int texture, int x, int y, int width, int height, const uint32_t* pixels)
{
    if (texture <= 0 || texture >= int(SdlTextures.size()) || !SdlTextures[texture] || width <= 0 || height <= 0)
        return;
    SDL_Rect rect = {x, y, width, height};
    SDL_UpdateTexture(SdlTextures[texture], &rect, pixels, width * 4);
}

static void SdlDeleteTexture(int texture)
{
    if (texture <= 0 || texture >= int(SdlTextures.size()) || !SdlTextures[texture])
        return;
    SDL_DestroyTexture(SdlTextures[texture]);
    SdlTextures[texture] = nullptr;
}

static void SdlClear(uint32_t colour)
{
    if (!SdlRenderer)
        return;
    SDL_SetRenderDrawBlendMode(SdlRenderer, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(SdlRenderer, Uint8(colour >> 16), Uint8(colour >> 8), Uint8(colour), Uint8(colour >> 24));
    SDL_RenderClear(SdlRenderer);
}

static void SdlSubmit(const QuadVertex* vertices, int quadCount, const QuadBatch* batches, int batchCount)
{
    if (!SdlRenderer || quadCount <= 0)
        return;
    for (int b = 0; b < batchCount; b++) {
        const QuadBatch& batch = batches[b];
        if (batch.quadCount <= 0 || batch.firstQuad < 0 || batch.firstQuad + batch.quadCount > quadCount)
            continue;
        SDL_Texture* tex = SdlWhiteTexture;
        if (batch.texture != 0) {
            if (batch.texture < 0 || batch.texture >= int(SdlTextures.size()) || !SdlTextures[batch.texture])
                continue;  // a deleted texture draws nothing
            tex = SdlTextures[batch.texture];
        }
        SDL_SetTextureBlendMode(tex, SdlBlendModes[batch.blend >= 0 && batch.blend < 4 ? batch.blend : 0]);
        int vertexCount = batch.quadCount * 4;
        size_t indexCount = size_t(batch.quadCount) * 6;
        while (SdlIndices.size() < indexCount) {
            int v = int(SdlIndices.size() / 6) * 4;
            SdlIndices.insert(SdlIndices.end(), {v, v + 1, v + 2, v, v + 2, v + 3});
            SdlPlainTexCoords.insert(SdlPlainTexCoords.end(), {0, 0, 1, 0, 1, 1, 0, 1});
        }
        // Our colours are 0xAARRGGBB words; SDL_Color is the bytes R, G, B, A.
        const QuadVertex* first = vertices + size_t(batch.firstQuad) * 4;
        SdlColours.resize(size_t(vertexCount));
        for (int i = 0; i < vertexCount; i++) {
            uint32_t c = first[i].colour;
            SdlColours[size_t(i)] = SDL_Color{Uint8(c >> 16), Uint8(c >> 8), Uint8(c), Uint8(c >> 24)};
        }
        // Plain quads spread the white texel over the whole quad: SDL's software renderer takes
        // quads whose texture coordinates all coincide for plain fills and then ignores the blend mode.
        bool plain = batch.texture == 0;
        SDL_RenderGeometryRaw(SdlRenderer, tex, &first->x, sizeof(QuadVertex), SdlColours.data(), sizeof(SDL_Color),
                              plain ? SdlPlainTexCoords.data() : &first->u,
                              plain ? int(2 * sizeof(float)) : int(sizeof(QuadVertex)), vertexCount,
                              SdlIndices.data(), int(indexCount), 4);
        SdlDrawCalls++;
    }
}

static void SdlPresent(bool vsync)
{
    if (!SdlRenderer)
        return;
    if (int(vsync) != SdlVsync) {
        SDL_RenderSetVSync(SdlRenderer, vsync ? 1 : 0);
        SdlVsync = vsync;
    }
    SDL_RenderPresent(SdlRenderer);
    SdlDrawCallsLast = SdlDrawCalls;
    SdlDrawCalls = 0;
}

static void SdlGrabPixels(int x, int y, int width, int height, uint32_t* out)
{
    if (width <= 0 || height <= 0)
        return;
    for (size_t i = 0; i < size_t(width) * size_t(height); i++)
        out[i] = 0xFF000000;
    if (!SdlRenderer)
        return;
    int outputW = 0, outputH = 0;
    SDL_GetRendererOutputSize(SdlRenderer, &outputW, &outputH);
    int x0 = x < 0 ? 0 : x, y0 = y < 0 ? 0 : y;
    int x1 = x + width > outputW ? outputW : x + width;
    int y1 = y + height > outputH ? outputH : y + height;
    if (x0 >= x1 || y0 >= y1)
        return;
    SDL_Rect rect = {x0, y0, x1 - x0, y1 - y0};
    uint32_t* dst = out + size_t(y0 - y) * size_t(width) + size_t(x0 - x);
    SDL_RenderReadPixels(SdlRenderer, &rect, SDL_PIXELFORMAT_ARGB8888, dst, width * 4);
    for (int r = 0; r < rect.h; r++)
        for (int c = 0; c < rect.w; c++)
            dst[size_t(r) * size_t(width) + size_t(c)] |= 0xFF000000;  // the screen is opaque
}

static int SdlDrawCallsLastFrame()
{
    return SdlDrawCallsLast;
}

// SDL's OpenGL renderers only queue GL commands when flushed; a software GL then rasterizes at the
// swap. Asking GL to finish makes that cost land where the frame routine expects the drawing.
static void SdlFinish()
{
    if (!SdlRenderer)
        return;
    SDL_RenderFlush(SdlRenderer);
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(SdlRenderer, &info) != 0 || !info.name || SDL_strncmp(info.name, "opengl", 6) != 0 ||
        !SDL_GL_GetCurrentContext())
        return;
    static void (*glFinishOfRenderer)() = reinterpret_cast<void (*)()>(SDL_GL_GetProcAddress("glFinish"));
    if (glFinishOfRenderer)
        glFinishOfRenderer();
}

const RenderBackend SdlRendererBackend = {
    "SDL Renderer",   0,        SdlInit,   SdlShutdown,   SdlCreateTexture,     SdlUpdateTexture,
    SdlDeleteTexture, SdlClear, SdlSubmit, SdlPresent,    SdlGrabPixels,        SdlDrawCallsLastFrame, SdlFinish,
};
