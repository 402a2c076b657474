// font.cpp -- TrueType fonts rendered by FreeType into glyph atlases; measuring and drawing text
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

#include "render_front.h"

constexpr int MaxFontPixels = 1024;  // larger sizes are refused rather than filling every atlas

static FT_Library FreeType = nullptr;
static bool FreeTypeTried = false;

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

int GfxLoadFont(const std::string& path, int pixelSize, bool smooth)
{
    if (!RenderBack || pixelSize <= 0 || pixelSize > MaxFontPixels) return 0;
    if (!FreeTypeTried) {
        FreeTypeTried = true;
        if (FT_Init_FreeType(&FreeType) != 0) FreeType = nullptr;
    }
    if (!FreeType) return 0;
    FT_Face face = nullptr;
    if (FT_New_Face(FreeType, path.c_str(), 0, &face) != 0) return 0;
    if (!FT_IS_SCALABLE(face) || FT_Set_Pixel_Sizes(face, 0, (FT_UInt)pixelSize) != 0) {
        FT_Done_Face(face);
        return 0;
    }
    FontRecord font;
    font.alive = true;
    int ascent = (int)((face->size->metrics.ascender + 63) >> 6);
    font.lineHeight = (int)((face->size->metrics.height + 63) >> 6);
    if (font.lineHeight <= 0) font.lineHeight = pixelSize;

    FT_Int32 loadFlags = FT_LOAD_RENDER | (smooth ? FT_LOAD_TARGET_NORMAL : (FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME));
    for (int c = 32; c < GlyphCount; c++) {
        if (c >= 127 && c < 160) continue;  // Latin-1 control codes have no glyphs
        FT_UInt index = FT_Get_Char_Index(face, (FT_ULong)c);
        if (FT_Load_Glyph(face, index, loadFlags) != 0) continue;
        FT_GlyphSlot slot = face->glyph;
        GlyphRecord& g = font.glyphs[c];
        g.present = true;
        g.advance = (int)((slot->advance.x + 32) >> 6);
        g.left = slot->bitmap_left - 1;
        g.top = ascent - slot->bitmap_top - 1;
        if (slot->bitmap.width > 0 && slot->bitmap.rows > 0 && slot->bitmap.buffer) PlaceGlyph(slot->bitmap, smooth, g.place);
    }
    FT_Done_Face(face);
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
    for (unsigned char c : text)
        if (font->glyphs[c].present) width += font->glyphs[c].advance;
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
        const GlyphRecord& g = font->glyphs[c];
        if (!g.present) continue;
        if (g.place.texture != 0) {
            float left = (float)(pen + g.left), top = (float)g.top;
            EmitQuad(p, left, top, left + g.place.width, top + g.place.height, g.place);
        }
        pen += g.advance;
    }
}
