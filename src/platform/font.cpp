// font.cpp -- TrueType fonts rendered by FreeType into glyph atlases; measuring and drawing text
//
// Each font file is opened once for the life of the program and every pixel size is a FreeType size
// object of that one face; glyphs are rendered into the atlas the first time a text needs them, so
// loading the game's forty-odd font sizes costs little.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H

#include <algorithm>
#include <map>

#include "render_front.h"

constexpr int MaxFontPixels = 1024;  // larger sizes are refused rather than filling every atlas

static FT_Library FreeType = nullptr;
static bool FreeTypeTried = false;
static std::map<std::string, FT_Face> OpenFaces;      // by path; null when the file is not a usable font
static std::vector<FT_Size> SizesOfDisplay;           // sizes of the fonts of the current display
static int SizesGeneration = -1;

FontRecord* FindFont(int font)
{
    if (font == 0) return BuiltinFontRecord();
    int index = font - RenderFirstFont;
    if (font < 0 || index < 0 || index >= (int)Fonts.size() || !Fonts[index].alive) return nullptr;
    return &Fonts[index];
}

// One rendered glyph as white pixels whose alpha is the coverage, with a clear border of one pixel so
// that filtering softens its edges when the text is scaled.
static bool PlaceGlyph(const FT_Bitmap& bitmap, bool smooth, TexturePlace& place)
{
    int w = (int)bitmap.width + 2, h = (int)bitmap.rows + 2;
    std::vector<Pixel> cell((size_t)w * h, 0x00FFFFFF);
    for (int y = 0; y < (int)bitmap.rows; y++) {
        const unsigned char* row = bitmap.buffer + (ptrdiff_t)y * bitmap.pitch;
        for (int x = 0; x < (int)bitmap.width; x++) {
            int coverage;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                coverage = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
            else
                coverage = row[x];
            cell[(size_t)(y + 1) * w + x + 1] = ((Pixel)coverage << 24) | 0x00FFFFFF;
        }
    }
    return PlaceInTextures(w, h, smooth, cell.data(), place);
}

// Renders glyph c of a TrueType font into the atlas the first time it is asked for.
static const GlyphRecord& Glyph(FontRecord& font, unsigned char c)
{
    GlyphRecord& g = font.glyphs[c];
    if (g.loaded || !font.face) return g;
    g.loaded = true;
    if (c < 32 || (c >= 127 && c < 160)) return g;   // Latin-1 control codes have no glyphs
    FT_Face face = (FT_Face)font.face;
    if (FT_Activate_Size((FT_Size)font.size) != 0) return g;
    FT_Int32 loadFlags =
        FT_LOAD_RENDER | (font.smooth ? FT_LOAD_TARGET_NORMAL : (FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME));
    if (FT_Load_Glyph(face, FT_Get_Char_Index(face, (FT_ULong)c), loadFlags) != 0) return g;
    FT_GlyphSlot slot = face->glyph;
    g.present = true;
    g.advance = (int)((slot->advance.x + 32) >> 6);
    g.left = slot->bitmap_left - 1;
    g.top = font.ascent - slot->bitmap_top - 1;
    if (slot->bitmap.width > 0 && slot->bitmap.rows > 0 && slot->bitmap.buffer) PlaceGlyph(slot->bitmap, font.smooth, g.place);
    return g;
}

static FT_Face FaceOf(const std::string& path)
{
    auto found = OpenFaces.find(path);
    if (found != OpenFaces.end()) return found->second;
    FT_Face face = nullptr;
    if (FT_New_Face(FreeType, path.c_str(), 0, &face) != 0) face = nullptr;
    if (face && !FT_IS_SCALABLE(face)) {
        FT_Done_Face(face);
        face = nullptr;
    }
    // A missing file is not remembered, so a font copied in later still loads.
    if (face) OpenFaces[path] = face;
    return face;
}

int GfxLoadFont(const std::string& path, int pixelSize, bool smooth)
{
    if (!RenderBack || pixelSize <= 0 || pixelSize > MaxFontPixels) return 0;
    if (!FreeTypeTried) {
        FreeTypeTried = true;
        if (FT_Init_FreeType(&FreeType) != 0) FreeType = nullptr;
    }
    if (!FreeType) return 0;
    if (SizesGeneration != RenderGeneration) {
        // The fonts of the previous display are gone: so are their sizes.
        for (FT_Size size : SizesOfDisplay) FT_Done_Size(size);
        SizesOfDisplay.clear();
        SizesGeneration = RenderGeneration;
    }
    FT_Face face = FaceOf(path);
    if (!face) return 0;
    FT_Size size = nullptr;
    if (FT_New_Size(face, &size) != 0) return 0;
    if (FT_Activate_Size(size) != 0 || FT_Set_Pixel_Sizes(face, 0, (FT_UInt)pixelSize) != 0) {
        FT_Done_Size(size);
        return 0;
    }
    SizesOfDisplay.push_back(size);
    FontRecord font;
    font.alive = true;
    font.face = face;
    font.size = size;
    font.smooth = smooth;
    font.ascent = (int)((size->metrics.ascender + 63) >> 6);
    font.lineHeight = (int)((size->metrics.height + 63) >> 6);
    if (font.lineHeight <= 0) font.lineHeight = pixelSize;
    Fonts.push_back(std::move(font));
    return RenderFirstFont + (int)Fonts.size() - 1;
}

void GfxSetFont(int font) { RenderCurrentFont = font; }

int GfxGetFont() { return RenderCurrentFont; }

int GfxTextWidth(const std::string& text)
{
    FontRecord* font = FindFont(RenderCurrentFont);
    if (!font) return 0;
    int width = 0;
    for (unsigned char c : text) {
        const GlyphRecord& g = Glyph(*font, c);
        if (g.present) width += g.advance;
    }
    return width;
}

int GfxTextHeight(const std::string& text)
{
    FontRecord* font = FindFont(RenderCurrentFont);
    return font ? font->lineHeight : 0;
}

void GfxDrawText(const std::string& text, float x, float y)
{
    if (!RenderBack) return;
    FontRecord* font = FindFont(RenderCurrentFont);
    if (!font) return;
    Placement p = CurrentPlacement(x, y);
    int pen = 0;
    for (unsigned char c : text) {
        const GlyphRecord& g = Glyph(*font, c);
        if (!g.present) continue;
        if (g.place.texture != 0) {
            float left = (float)(pen + g.left), top = (float)g.top;
            EmitQuad(p, left, top, left + g.place.width, top + g.place.height, g.place);
        }
        pen += g.advance;
    }
}
