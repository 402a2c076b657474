// render_backend.h -- the narrow table every renderer back end fills
//
// The front end (render.cpp) keeps the draw state, transforms every draw into display-pixel quads
// in one buffer and cuts it into batches wherever the texture or the blend mode changes. A back end
// only uploads textures and replays batches; it never sees virtual coordinates or draw state.
#pragma once
#include <cstdint>

struct SDL_Window;

struct QuadVertex {
    float x, y;        // display pixels, origin top-left
    float u, v;        // texture coordinates 0..1 (ignored for texture 0)
    uint32_t colour;   // 0xAARRGGBB tint, multiplied with the texel
};

struct QuadBatch {
    int texture;       // back-end texture id; 0 draws untextured (plain colour)
    int blend;         // BlendMode
    int firstQuad;     // index into the quad array
    int quadCount;
};

struct RenderBackend {
    const char* name;
    uint32_t windowFlags;  // extra SDL window flags the back end needs (SDL_WINDOW_OPENGL ...)
    // Called after the window is created. window is null on the headless platform: the back end then
    // draws into memory of width x height.
    bool (*Init)(SDL_Window* window, int width, int height);
    void (*Shutdown)();
    int (*CreateTexture)(int width, int height, const uint32_t* pixels, bool filtered);  // > 0, or 0 on failure
    void (*UpdateTexture)(int texture, int x, int y, int width, int height, const uint32_t* pixels);
    void (*DeleteTexture)(int texture);
    void (*Clear)(uint32_t colour);
    // Four vertices per quad: top-left, top-right, bottom-right, bottom-left as placed on screen.
    void (*Submit)(const QuadVertex* vertices, int quadCount, const QuadBatch* batches, int batchCount);
    void (*Present)(bool vsync);
    void (*GrabPixels)(int x, int y, int width, int height, uint32_t* out);  // back buffer, 0xAARRGGBB
    int (*DrawCallsLastFrame)();
    // Completes the drawing submitted so far without showing it, so a frame that is not presented still
    // costs its drawing in its own frame time. Null when Submit already draws at once.
    void (*Finish)();
};

extern const RenderBackend OpenGLBackend;    // slot 0
extern const RenderBackend SdlRendererBackend;  // slot 1
extern const RenderBackend SoftwareBackend;  // slot 2, and the headless platform's renderer
extern const RenderBackend NullBackend;      // headless only: accepts everything and draws nothing
