// render_front.h -- what the renderer front end's files share: images, fonts, atlases and the quad queue
// (included only by render.cpp, font.cpp, builtin_font.cpp, collision.cpp and image_png.cpp)
#pragma once
#include <string>
#include <vector>

#include "render.h"
#include "render_backend.h"

constexpr int QuadQueueSize = 16384;   // quads queued before the front end hands them to the back end
constexpr int AtlasPageSize = 1024;    // width and height of one atlas texture
constexpr int AtlasMaxCell = 256;      // frames wider or taller than this get a texture of their own
constexpr int AtlasGutter = 1;         // edge texels repeated around each cell, so filtering never bleeds
constexpr int AtlasPageLimit = 64;     // atlas textures per display
constexpr int GlyphCount = 256;        // Latin-1
constexpr int MaxImageSide = 16384;    // larger pictures are refused as damaged or hostile

// Where a frame or glyph lives on the back end.
struct TexturePlace {
    int texture = 0;              // back-end texture, 0 when the frame could not be placed
    int x = 0, y = 0;             // texel position of the cell inside the texture (inside its gutter)
    int width = 0, height = 0;
    float u0 = 0, v0 = 0, u1 = 0, v1 = 0;
};

struct ImageRecord {
    bool alive = false;
    int width = 0, height = 0;    // frame size in pixels
    int frames = 0;
    int flags = 0;                // ImageFlags
    float handleX = 0, handleY = 0;
    std::vector<Pixel> pixels;    // frame after frame, each row by row, after masking
    std::vector<TexturePlace> places;  // one per frame
};

struct GlyphRecord {
    bool loaded = false;          // rendered (TrueType glyphs are rendered on first use)
    bool present = false;
    int advance = 0;              // pen advance in font pixels
    int left = 0, top = 0;        // cell offset from the pen position and the line's top
    TexturePlace place;           // cell size is place.width x place.height
};

struct FontRecord {
    bool alive = false;
    int lineHeight = 0;
    int ascent = 0;
    bool smooth = true;
    void* face = nullptr;         // FreeType face and size of a TrueType font; null for the built-in font
    void* size = nullptr;
    GlyphRecord glyphs[GlyphCount];
};

struct AtlasPage {
    int texture = 0;
    bool filtered = false;
    int shelfX = 0, shelfY = 0, shelfHeight = 0;   // next free spot on the open shelf
};

// Current affine placement from local units to display pixels: p = (m00 x + m01 y + tx, m10 x + m11 y + ty).
struct Placement {
    float m00, m01, m10, m11, tx, ty;
};

// ---- Renderer front end state (defined in render.cpp) ----
extern const RenderBackend* RenderBack;      // null while no display is open
extern int RenderDisplayWidth, RenderDisplayHeight;
extern int RenderVirtualWidth, RenderVirtualHeight;
extern int RenderGeneration;                 // counts displays; the built-in font rebuilds for each
extern int RenderFirstImage;                 // handle of Images[0]: handles never repeat across displays
extern std::vector<ImageRecord> Images;
extern int RenderFirstFont;                  // handle of Fonts[0]; font handle 0 is the built-in font
extern std::vector<FontRecord> Fonts;
extern std::vector<AtlasPage> AtlasPages;
extern int RenderCurrentFont;
// ---- end of renderer front end state ----

// render.cpp
void FlushQuads();                                            // submits queued quads now
Placement CurrentPlacement(float x, float y);                 // state rotation and scale about virtual (x, y)
void EmitQuad(const Placement& p, float x0, float y0, float x1, float y1, const TexturePlace& place);
bool PlaceInTextures(int width, int height, bool filtered, const Pixel* pixels, TexturePlace& place);
void UpdatePlacedPixels(const TexturePlace& place, const Pixel* pixels);
ImageRecord* FindImage(int image);                            // null for 0, stale or freed handles

// font.cpp / builtin_font.cpp
FontRecord* FindFont(int font);                               // the built-in font for 0, null when stale
FontRecord* BuiltinFontRecord();                              // built-in glyphs, placed anew for each display

// image_png.cpp
bool ReadPngFile(const std::string& path, int& width, int& height, std::vector<Pixel>& pixels);
