// render_test.cpp -- the renderer front end and the software back end on the headless display
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>

#include "platform/display.h"
#include "platform/render.h"
#include "platform/render_backend.h"
#include "platform/software_raster.h"
#include "test_support.h"

namespace {

int Red(Pixel p) { return (int)(p >> 16) & 255; }
int Green(Pixel p) { return (int)(p >> 8) & 255; }
int Blue(Pixel p) { return (int)p & 255; }

void ResetState()
{
    GfxSetColor(255, 255, 255);
    GfxSetAlpha(1);
    GfxSetBlend(BlendAlpha);
    GfxSetRotation(0);
    GfxSetScale(1, 1);
    GfxSetClsColor(0, 0, 0);
    GfxSetFont(0);
    GfxAutoMidHandle(false);
}

// A headless display of the given size, cleared to black, drawing in its own pixels.
class RenderTest : public ::testing::Test {
protected:
    void Open(int width, int height)
    {
        UseHeadlessPlatform();
        VidSelectEngine(EngineSoftware);
        ASSERT_TRUE(VidOpen(width, height, 0, 0));
        ResetState();
        GfxCls();
    }
    void SetUp() override { Open(16, 16); }
    void TearDown() override
    {
        ResetState();
        VidClose();
    }
    Pixel At(int x, int y) { return GfxGrabPixmap(x, y, 1, 1).pixels.at(0); }
    // Which pixels of the display are not black, as a set of (x, y).
    std::set<std::pair<int, int>> Lit()
    {
        Pixmap all = GfxGrabPixmap(0, 0, VidWidth(), VidHeight());
        std::set<std::pair<int, int>> lit;
        for (int y = 0; y < all.height; y++)
            for (int x = 0; x < all.width; x++)
                if ((all.pixels[(size_t)y * all.width + x] & 0xFFFFFF) != 0) lit.insert({x, y});
        return lit;
    }
    std::string Scratch(const std::string& name) { return MakeScratchDir("render_" + name); }
    // Saves a picture as PNG and returns its path.
    std::string WritePicture(const std::string& dir, const std::string& name, int w, int h,
                             const std::vector<Pixel>& pixels)
    {
        Pixmap p;
        p.width = w;
        p.height = h;
        p.pixels = pixels;
        std::string path = dir + "/" + name;
        EXPECT_TRUE(SavePixmapPNG(p, path, 6));
        return path;
    }
};

std::set<std::pair<int, int>> Rect(int x0, int y0, int x1, int y1)
{
    std::set<std::pair<int, int>> s;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) s.insert({x, y});
    return s;
}

TEST_F(RenderTest, BlendModesFollowTheOpenGLFunctions)
{
    struct Case {
        const char* name;
        int blend;
        int r, g, b;
        float alpha;
        int background;
        int er, eg, eb;
    } cases[] = {
        {"solid ignores alpha", BlendSolid, 200, 50, 0, 0.5f, 100, 200, 50, 0},
        {"alpha mixes by alpha", BlendAlpha, 200, 50, 0, 0.5f, 100, 150, 75, 50},
        {"alpha 0 leaves no mark", BlendAlpha, 200, 50, 0, 0.0f, 100, 100, 100, 100},
        {"multiply shades", BlendMultiply, 200, 50, 0, 0.5f, 100, 78, 20, 0},
        {"additive adds colour times alpha", BlendAdditive, 200, 50, 0, 0.5f, 100, 200, 125, 100},
        {"additive saturates", BlendAdditive, 255, 255, 255, 1.0f, 200, 255, 255, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetState();
        GfxSetClsColor(c.background, c.background, c.background);
        GfxCls();
        GfxSetBlend(c.blend);
        GfxSetColor(c.r, c.g, c.b);
        GfxSetAlpha(c.alpha);
        GfxDrawRect(0, 0, 16, 16);
        Pixel p = At(7, 9);
        EXPECT_NEAR(Red(p), c.er, 1);
        EXPECT_NEAR(Green(p), c.eg, 1);
        EXPECT_NEAR(Blue(p), c.eb, 1);
        EXPECT_EQ(p >> 24, 0xFFu);
    }
}

TEST_F(RenderTest, ClearFillsWithTheClsColour)
{
    GfxSetClsColor(10, 20, 300);
    GfxCls();
    Pixmap all = GfxGrabPixmap(0, 0, 16, 16);
    for (Pixel p : all.pixels) ASSERT_EQ(p, 0xFF0A14FFu);
}

TEST_F(RenderTest, RectanglesCoverPixelsWhoseCentresLieInside)
{
    GfxDrawRect(2, 3, 3, 2);
    EXPECT_EQ(Lit(), Rect(2, 3, 5, 5));

    // Rotation is clockwise on screen about the corner: a bar along x turns to point down, and its
    // thickness ends up left of the corner.
    GfxCls();
    GfxSetRotation(90);
    GfxDrawRect(8, 4, 4, 1);
    EXPECT_EQ(Lit(), Rect(7, 4, 8, 8));

    // Negative scale mirrors about the corner.
    GfxCls();
    GfxSetRotation(0);
    GfxSetScale(-2, 1);
    GfxDrawRect(8, 4, 2, 1);
    EXPECT_EQ(Lit(), Rect(4, 4, 8, 5));
}

TEST_F(RenderTest, TouchingRectanglesNeitherOverlapNorLeaveGaps)
{
    // Additive halves: a pixel drawn twice would come out brighter, a gap black.
    GfxSetBlend(BlendAdditive);
    GfxSetColor(100, 100, 100);
    GfxDrawRect(0.25f, 1.5f, 5.5f, 10.3f);
    GfxDrawRect(5.75f, 1.5f, 7.0f, 10.3f);
    GfxDrawRect(0.25f, 11.8f, 12.5f, 3.0f);
    Pixmap all = GfxGrabPixmap(0, 0, 16, 16);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            bool inside = x >= 0 && x < 13 && y >= 1 && y < 15;
            ASSERT_EQ(Red(all.pixels[(size_t)y * 16 + x]), inside ? 100 : 0) << x << "," << y;
        }
}

TEST_F(RenderTest, VirtualUnitsMapOntoTheWholeDisplay)
{
    VidSetVirtualResolution(8, 4);  // each virtual unit is 2 x 4 display pixels
    GfxDrawRect(1, 1, 1, 2);
    EXPECT_EQ(Lit(), Rect(2, 4, 4, 12));
}

TEST_F(RenderTest, LinesLightBothEndPixels)
{
    GfxDrawLine(3, 5, 9, 5);
    EXPECT_EQ(Lit(), Rect(3, 5, 10, 6));
    GfxCls();
    GfxDrawLine(4, 2, 4, 2);  // a point is one pixel
    EXPECT_EQ(Lit(), Rect(4, 2, 5, 3));
}

TEST_F(RenderTest, ImagesDrawAroundTheirHandleWithScaleMirrorAndTint)
{
    std::string dir = Scratch("draw");
    const Pixel a = 0xFFFF0000, b = 0xFF00FF00, c = 0xFF0000FF, d = 0xFFFFFFFF;
    std::string path = WritePicture(dir, "quad.png", 2, 2, {a, b, c, d});
    int image = GfxLoadImage(path, 0);
    ASSERT_NE(image, 0);
    EXPECT_EQ(GfxImageWidth(image), 2);
    EXPECT_EQ(GfxImageHeight(image), 2);

    GfxSetImageHandle(image, 1, 1);
    GfxSetScale(2, 2);
    GfxDrawImage(image, 6, 6);
    // Top-left texel lands 2 x 2 at (4, 4); the handle sits at the draw point.
    EXPECT_EQ(At(4, 4), a);
    EXPECT_EQ(At(5, 5), a);
    EXPECT_EQ(At(6, 4), b);
    EXPECT_EQ(At(4, 6), c);
    EXPECT_EQ(At(7, 7), d);
    EXPECT_EQ(Lit(), Rect(4, 4, 8, 8));

    GfxCls();
    GfxSetScale(-1, 1);  // mirrored: the right column comes first
    GfxDrawImage(image, 6, 6);
    EXPECT_EQ(At(5, 5), b);
    EXPECT_EQ(At(6, 5), a);

    GfxCls();
    GfxSetScale(1, 1);
    GfxSetColor(255, 128, 0);  // tint multiplies the texel
    GfxDrawImage(image, 6, 6);
    EXPECT_EQ(At(6, 6), 0xFFFF8000u);
}

TEST_F(RenderTest, FilteredImagesBlendNeighbouringTexels)
{
    std::string dir = Scratch("filter");
    std::string path = WritePicture(dir, "pair.png", 2, 1, {0xFF000000 | 10, 0xFF000000 | 250});
    int sharp = GfxLoadImage(path, 0);
    int smooth = GfxLoadImage(path, ImageFiltered);
    ASSERT_NE(sharp, 0);
    ASSERT_NE(smooth, 0);
    GfxSetScale(8, 8);
    GfxDrawImage(sharp, 0, 0);
    GfxDrawImage(smooth, 0, 8);
    std::set<int> sharpValues, smoothValues;
    for (int x = 0; x < 16; x++) {
        sharpValues.insert(Blue(At(x, 3)));
        smoothValues.insert(Blue(At(x, 11)));
    }
    EXPECT_EQ(sharpValues, (std::set<int>{10, 250}));
    EXPECT_GT(smoothValues.size(), 6u);
    EXPECT_EQ(*smoothValues.begin(), 10);  // clamped at the edges, never darker or brighter
    EXPECT_EQ(*smoothValues.rbegin(), 250);
}

TEST_F(RenderTest, MaskedLoadingTurnsPureBlackTransparent)
{
    std::string dir = Scratch("mask");
    std::string path = WritePicture(dir, "mask.png", 3, 1, {0xFF000000, 0xFF010000, 0xFFFFFFFF});
    int masked = GfxLoadImage(path, ImageMasked);
    int plain = GfxLoadImage(path, 0);
    Pixmap m, p;
    ASSERT_TRUE(GfxImagePixels(masked, 0, m));
    ASSERT_TRUE(GfxImagePixels(plain, 0, p));
    EXPECT_EQ(m.pixels, (std::vector<Pixel>{0x00000000, 0xFF010000, 0xFFFFFFFF}));
    EXPECT_EQ(p.pixels, (std::vector<Pixel>{0xFF000000, 0xFF010000, 0xFFFFFFFF}));

    // Drawn over grey, the masked pixel shows the background.
    GfxSetClsColor(50, 50, 50);
    GfxCls();
    GfxDrawImage(masked, 0, 0);
    EXPECT_EQ(At(0, 0), 0xFF323232u);
    EXPECT_EQ(At(2, 0), 0xFFFFFFFFu);
}

TEST_F(RenderTest, AnimationStripsRunAlongRowsThenDown)
{
    // Three 2 x 2 cells to a row, two rows; each cell a different colour.
    const int cellsPerRow = 3, rows = 2;
    std::vector<Pixel> pixels(6 * 4);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 6; x++) pixels[(size_t)y * 6 + x] = 0xFF000000 | (Pixel)(1 + (y / 2) * cellsPerRow + x / 2);
    std::string path = WritePicture(Scratch("strip"), "strip.png", 6, 2 * rows, pixels);
    int strip = GfxLoadAnimImage(path, 2, 2, 1, 4, 0);
    ASSERT_NE(strip, 0);
    EXPECT_EQ(GfxImageFrames(strip), 4);
    for (int f = 0; f < 4; f++) {
        Pixmap frame;
        ASSERT_TRUE(GfxImagePixels(strip, f, frame));
        EXPECT_EQ(frame.pixels, std::vector<Pixel>(4, 0xFF000000 | (Pixel)(2 + f))) << "frame " << f;
    }
    Pixmap beyond;
    EXPECT_FALSE(GfxImagePixels(strip, 4, beyond));
    EXPECT_EQ(GfxLoadAnimImage(path, 7, 2, 0, 1, 0), 0);  // a cell wider than the picture
}

TEST_F(RenderTest, PngRoundTripKeepsEveryPixel)
{
    std::string dir = Scratch("png");
    Pixmap opaque, translucent;
    opaque.width = translucent.width = 5;
    opaque.height = translucent.height = 3;
    for (int i = 0; i < 15; i++) {
        opaque.pixels.push_back(0xFF000000 | (Pixel)(i * 0x10305));
        translucent.pixels.push_back((Pixel)(i * 17) << 24 | (Pixel)(i * 0x20406));
    }
    for (const Pixmap* p : {&opaque, &translucent}) {
        std::string path = dir + "/round.png";
        ASSERT_TRUE(SavePixmapPNG(*p, path, 9));
        Pixmap back;
        ASSERT_TRUE(LoadPixmapPNG(path, back));
        EXPECT_EQ(back.width, 5);
        EXPECT_EQ(back.height, 3);
        EXPECT_EQ(back.pixels, p->pixels);
    }
    Pixmap broken;
    broken.width = 4;
    broken.height = 4;  // no pixels
    EXPECT_FALSE(SavePixmapPNG(broken, dir + "/broken.png", 9));
    EXPECT_FALSE(SavePixmapPNG(opaque, dir + "/no/such/folder/x.png", 9));
}

TEST_F(RenderTest, DamagedOrMissingFilesGiveHandleZero)
{
    std::string dir = Scratch("damaged");
    std::string good = WritePicture(dir, "good.png", 8, 8, std::vector<Pixel>(64, 0xFF808080));
    std::ifstream in(good, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(dir + "/cut.png", std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    std::ofstream(dir + "/text.png") << "not a picture at all";
    std::ofstream(dir + "/font.ttf") << "not a font either";

    for (const char* name : {"cut.png", "text.png", "missing.png"}) {
        SCOPED_TRACE(name);
        Pixmap p;
        EXPECT_FALSE(LoadPixmapPNG(dir + "/" + name, p));
        EXPECT_EQ(GfxLoadImage(dir + "/" + name), 0);
        EXPECT_EQ(GfxLoadAnimImage(dir + "/" + name, 2, 2, 0, 2), 0);
    }
    EXPECT_EQ(GfxLoadFont(dir + "/font.ttf", 16), 0);
    EXPECT_EQ(GfxLoadFont(dir + "/missing.ttf", 16), 0);
}

TEST_F(RenderTest, HandleZeroAndStaleHandlesAreHarmless)
{
    std::string path = WritePicture(Scratch("stale"), "dot.png", 1, 1, {0xFFFFFFFF});
    int image = GfxLoadImage(path);
    ASSERT_NE(image, 0);
    for (int handle : {0, -5, image + 1000}) {
        GfxDrawImage(handle, 4, 4);
        GfxSetImageHandle(handle, 1, 1);
        GfxGrabImage(handle, 0, 0);
        EXPECT_EQ(GfxImageWidth(handle), 0);
        EXPECT_EQ(GfxImageFrames(handle), 0);
        EXPECT_FALSE(GfxImagesCollide(handle, 4, 4, 0, 0, 1, 1, image, 4, 4, 0, 0, 1, 1));
    }
    EXPECT_TRUE(Lit().empty());

    // A new display never hands out an old handle again; the old one is dead.
    VidClose();
    Open(16, 16);
    EXPECT_EQ(GfxImageWidth(image), 0);
    GfxDrawImage(image, 4, 4);
    EXPECT_TRUE(Lit().empty());
    int again = GfxLoadImage(path);
    EXPECT_NE(again, 0);
    EXPECT_NE(again, image);

    GfxFreeImage(again);
    EXPECT_EQ(GfxImageWidth(again), 0);
}

TEST_F(RenderTest, AutoMidHandleCentresImagesLoadedAfterIt)
{
    std::string path = WritePicture(Scratch("mid"), "sq.png", 4, 2, std::vector<Pixel>(8, 0xFFFFFFFF));
    int corner = GfxLoadImage(path);
    GfxAutoMidHandle(true);
    int centred = GfxLoadImage(path);
    GfxDrawImage(corner, 1, 1);
    EXPECT_EQ(Lit(), Rect(1, 1, 5, 3));
    GfxCls();
    GfxDrawImage(centred, 8, 8);
    EXPECT_EQ(Lit(), Rect(6, 7, 10, 9));
}

TEST_F(RenderTest, GrabbedPixelsComeFromTheBackBuffer)
{
    GfxSetColor(255, 0, 0);
    GfxDrawRect(2, 2, 2, 2);
    Pixmap edge = GfxGrabPixmap(-1, 14, 3, 4);  // reaches past the top-left and the bottom
    ASSERT_EQ(edge.pixels.size(), 12u);
    EXPECT_EQ(edge.pixels[0], 0u);             // outside the display
    EXPECT_EQ(edge.pixels[1], 0xFF000000u);    // inside: cleared black
    EXPECT_EQ(edge.pixels[3 * 2 + 1], 0u);     // below the bottom row

    int image = GfxCreateImage(3, 3, 2, ImageMasked);
    ASSERT_NE(image, 0);
    GfxGrabImage(image, 1, 1, 1);
    Pixmap frame;
    ASSERT_TRUE(GfxImagePixels(image, 1, frame));
    EXPECT_EQ(frame.pixels[0], 0u);  // black grabbed into a masked image is see-through
    EXPECT_EQ(frame.pixels[4], 0xFFFF0000u);
    EXPECT_EQ(frame.pixels[8], 0xFFFF0000u);

    // The grabbed frame draws what was grabbed.
    GfxCls();
    GfxSetColor(255, 255, 255);
    GfxDrawImage(image, 10, 10, 1);
    EXPECT_EQ(Lit(), Rect(11, 11, 13, 13));
}

TEST_F(RenderTest, OneImageMakesOneBatchAndBigImagesSplitThem)
{
    std::string dir = Scratch("batch");
    int small = GfxLoadAnimImage(WritePicture(dir, "s.png", 32, 16, std::vector<Pixel>(512, 0xFFFFFFFF)), 16, 16,
                                 0, 2, 0);
    int bigA = GfxLoadImage(WritePicture(dir, "a.png", 300, 300, std::vector<Pixel>(90000, 0xFFFFFFFF)), 0);
    int bigB = GfxLoadImage(WritePicture(dir, "b.png", 300, 300, std::vector<Pixel>(90000, 0xFFFFFFFF)), 0);
    ASSERT_TRUE(small && bigA && bigB);
    GfxTextWidth("x");  // the built-in font places its glyphs on first use
    VidPresent(false);

    for (int i = 0; i < 100; i++) GfxDrawImage(small, i % 16, i / 16, i % 2);
    GfxSetColor(100, 100, 100);
    GfxDrawText("glyphs share the atlas too", 0, 0);
    VidPresent(false);
    EXPECT_EQ(GfxLastDrawCalls(), 1);
    EXPECT_EQ(GfxLastQuadCount(), 100 + 26);

    for (int i = 0; i < 10; i++) GfxDrawImage(i % 2 ? bigA : bigB, 0, 0);
    VidPresent(false);
    EXPECT_EQ(GfxLastDrawCalls(), 10);

    // Invisible sprites are still drawn, never culled.
    GfxSetAlpha(0);
    for (int i = 0; i < 50; i++) GfxDrawImage(small, 0, 0);
    VidPresent(false);
    EXPECT_EQ(GfxLastQuadCount(), 50);
    EXPECT_EQ(GfxLastDrawCalls(), 1);
}

TEST_F(RenderTest, BuiltinFontMeasuresAndDraws)
{
    GfxSetFont(0);
    EXPECT_EQ(GfxTextWidth("abc"), 18);
    EXPECT_EQ(GfxTextWidth(""), 0);
    EXPECT_EQ(GfxTextHeight("abc"), 10);
    EXPECT_EQ(GfxTextWidth("\xE9t\xE9"), 18);  // Latin-1 letters beyond ASCII still take a place
    GfxDrawText("I", 3, 2);
    auto lit = Lit();
    ASSERT_FALSE(lit.empty());
    for (auto [x, y] : lit) {
        EXPECT_GE(x, 3);
        EXPECT_LT(x, 3 + 6);
        EXPECT_GE(y, 2);
        EXPECT_LT(y, 2 + 10);
    }
    // A stale font draws and measures nothing.
    GfxSetFont(12345);
    EXPECT_EQ(GfxTextWidth("abc"), 0);
}

TEST_F(RenderTest, TrueTypeFontsMeasureTheirGlyphs)
{
    std::string path = std::string(SOURCE_DIR) + "/data/Files/Common/SVBasicManual.ttf";
    if (!std::ifstream(path)) GTEST_SKIP() << "no font in data/Files/Common yet";
    int font = GfxLoadFont(path, 24);
    ASSERT_NE(font, 0);
    GfxSetFont(font);
    EXPECT_EQ(GfxTextWidth("ab"), GfxTextWidth("a") + GfxTextWidth("b"));
    EXPECT_LT(GfxTextWidth("ii"), GfxTextWidth("WW"));
    EXPECT_GE(GfxTextHeight("x"), 20);
    EXPECT_LE(GfxTextHeight("x"), 40);
    int bigger = GfxLoadFont(path, 48);
    GfxSetFont(bigger);
    EXPECT_GT(GfxTextWidth("Hello"), GfxTextWidth("Hi"));
    GfxDrawText("W", 0, -10);  // the glyph sits well below the line's top at this size
    EXPECT_FALSE(Lit().empty());
}

// Collision fixtures: a 4 x 4 solid square, a 6 x 6 ring with a 2 x 2 hole, a 10 x 2 bar, and a 4 x 4
// picture solid only in its left column.
class CollisionTest : public RenderTest {
protected:
    int square = 0, ring = 0, bar = 0, leftColumn = 0, dot = 0;
    void SetUp() override
    {
        RenderTest::SetUp();
        std::string dir = Scratch("collide");
        const Pixel on = 0xFFFFFFFF, off = 0x00000000;
        square = GfxLoadImage(WritePicture(dir, "square.png", 4, 4, std::vector<Pixel>(16, on)), 0);
        std::vector<Pixel> ringPixels(36, on);
        for (int y = 2; y < 4; y++)
            for (int x = 2; x < 4; x++) ringPixels[(size_t)y * 6 + x] = off;
        ring = GfxLoadImage(WritePicture(dir, "ring.png", 6, 6, ringPixels), 0);
        bar = GfxLoadImage(WritePicture(dir, "bar.png", 10, 2, std::vector<Pixel>(20, on)), 0);
        std::vector<Pixel> left(16, off);
        for (int y = 0; y < 4; y++) left[(size_t)y * 4] = on;
        leftColumn = GfxLoadImage(WritePicture(dir, "left.png", 4, 4, left), 0);
        dot = GfxLoadImage(WritePicture(dir, "dot.png", 2, 2, std::vector<Pixel>(4, on)), 0);
        ASSERT_TRUE(square && ring && bar && leftColumn && dot);
    }
};

TEST_F(CollisionTest, OverlapIsDecidedByPixels)
{
    GfxMidHandleImage(bar);
    struct Case {
        const char* name;
        int a;
        float ax, ay, rotA, sxA, syA;
        int b;
        float bx, by, rotB, sxB, syB;
        bool expected;
    } cases[] = {
        {"same place", square, 0, 0, 0, 1, 1, square, 0, 0, 0, 1, 1, true},
        {"edges touching", square, 0, 0, 0, 1, 1, square, 4, 0, 0, 1, 1, false},
        {"one pixel over", square, 0, 0, 0, 1, 1, square, 3, 3, 0, 1, 1, true},
        {"far apart", square, 0, 0, 0, 1, 1, square, 100, -50, 0, 1, 1, false},
        {"inside the ring's hole", ring, 0, 0, 0, 1, 1, dot, 2, 2, 0, 1, 1, false},
        {"half into the ring", ring, 0, 0, 0, 1, 1, dot, 1, 2, 0, 1, 1, true},
        {"scaled up to reach", square, 0, 0, 0, 2, 2, square, 7, 7, 0, 1, 1, true},
        {"unscaled falls short", square, 0, 0, 0, 1, 1, square, 7, 7, 0, 1, 1, false},
        {"squeezed in x only", square, 0, 0, 0, 0.5f, 1, square, 2.5f, 0, 0, 1, 1, false},
        // The bar, centred at (20, 20): level it spans x 15..25; turned 90 degrees it stands upright.
        {"level bar hits at its end", bar, 20, 20, 0, 1, 1, dot, 24, 20, 0, 1, 1, true},
        {"upright bar misses that point", bar, 20, 20, 90, 1, 1, dot, 24, 20, 0, 1, 1, false},
        {"upright bar hits below", bar, 20, 20, 90, 1, 1, dot, 20, 23, 0, 1, 1, true},
        // Diagonal bar: its bounding box covers (23, 16) but the bar itself does not.
        {"diagonal bar, corner of its box", bar, 20, 20, 45, 1, 1, dot, 23, 16, 0, 1, 1, false},
        {"diagonal bar, on the bar", bar, 20, 20, 45, 1, 1, dot, 22, 21, 0, 1, 1, true},
        // Only the left column is solid; mirrored about its corner it lies just left of x = 10.
        {"column, unmirrored", leftColumn, 10, 0, 0, 1, 1, dot, 8, 1, 0, 1, 1, false},
        {"column, mirrored", leftColumn, 10, 0, 0, -1, 1, dot, 8, 1, 0, 1, 1, true},
        {"zero scale", square, 0, 0, 0, 0, 1, square, 0, 0, 0, 1, 1, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GfxImagesCollide(c.a, c.ax, c.ay, 0, c.rotA, c.sxA, c.syA, c.b, c.bx, c.by, 0, c.rotB, c.sxB, c.syB),
                  c.expected)
            << c.name;
        // The answer does not depend on the order of the two.
        EXPECT_EQ(GfxImagesCollide(c.b, c.bx, c.by, 0, c.rotB, c.sxB, c.syB, c.a, c.ax, c.ay, 0, c.rotA, c.sxA, c.syA),
                  c.expected)
            << c.name << " (swapped)";
    }
}

TEST_F(CollisionTest, BadFramesNeverCollide)
{
    EXPECT_FALSE(GfxImagesCollide(square, 0, 0, 1, 0, 1, 1, square, 0, 0, 0, 0, 1, 1));
    EXPECT_FALSE(GfxImagesCollide(square, 0, 0, -1, 0, 1, 1, square, 0, 0, 0, 0, 1, 1));
    EXPECT_FALSE(GfxImagesCollide(0, 0, 0, 0, 0, 1, 1, square, 0, 0, 0, 0, 1, 1));
}

// The back end on its own, with quads made by hand.
class SoftwareBackendTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseHeadlessPlatform();
        VidClose();
        ASSERT_TRUE(SoftwareBackend.Init(nullptr, W, H));
        SoftwareBackend.Clear(0);
    }
    void TearDown() override { SoftwareBackend.Shutdown(); }
    static constexpr int W = 40, H = 40;
    std::vector<Pixel> Grab()
    {
        std::vector<Pixel> out(W * H);
        SoftwareBackend.GrabPixels(0, 0, W, H, out.data());
        return out;
    }
};

TEST_F(SoftwareBackendTest, RotatedNeighboursShareTheirEdgeExactly)
{
    // A rotated square cut along a slanted line and along its diagonal into four pieces, some as
    // general quads (drawn as two triangles), all drawn additively: every pixel is hit once at most,
    // and together they cover exactly what the whole square covers.
    // Corners on a 1/128 grid, so the cut points are exact and lie on the square's edges.
    const float cx[4] = {20.0f, 35.25f, 20.5f, 4.75f}, cy[4] = {3.75f, 19.125f, 35.25f, 19.875f};
    auto quad = [&](float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3) {
        const Pixel c = 0xFF404040;
        return std::vector<QuadVertex>{{x0, y0, 0, 0, c}, {x1, y1, 0, 0, c}, {x2, y2, 0, 0, c}, {x3, y3, 0, 0, c}};
    };
    float mx0 = (cx[0] + cx[1]) / 2, my0 = (cy[0] + cy[1]) / 2;
    float mx1 = (cx[2] + cx[3]) / 2, my1 = (cy[2] + cy[3]) / 2;
    std::vector<QuadVertex> pieces;
    for (auto part : {quad(cx[0], cy[0], mx0, my0, mx1, my1, cx[3], cy[3]),
                      quad(mx0, my0, cx[1], cy[1], cx[2], cy[2], mx1, my1)})
        pieces.insert(pieces.end(), part.begin(), part.end());
    QuadBatch additive{0, BlendAdditive, 0, 2};
    SoftwareBackend.Submit(pieces.data(), 2, &additive, 1);
    std::vector<Pixel> split = Grab();

    SoftwareBackend.Clear(0);
    std::vector<QuadVertex> whole = quad(cx[0], cy[0], cx[1], cy[1], cx[2], cy[2], cx[3], cy[3]);
    QuadBatch additiveOne{0, BlendAdditive, 0, 1};
    SoftwareBackend.Submit(whole.data(), 1, &additiveOne, 1);
    std::vector<Pixel> one = Grab();

    int covered = 0;
    for (int i = 0; i < W * H; i++) {
        ASSERT_EQ(split[i], one[i]) << "pixel " << i % W << "," << i / W;
        ASSERT_TRUE(Red(one[i]) == 0 || Red(one[i]) == 0x40);
        covered += Red(one[i]) != 0;
    }
    double area = 0;
    for (int i = 0; i < 4; i++) area += cx[i] * cy[(i + 1) % 4] - cx[(i + 1) % 4] * cy[i];
    EXPECT_NEAR(covered, area / 2, 30);
}

// Many overlapping rotated quads, textured (filtered and not) and plain, in every blend mode, some
// spilling over the screen's edges.
struct Scene {
    std::vector<QuadVertex> vertices;
    std::vector<QuadBatch> batches;
    int quads = 0;
};

Scene MakeScene(int smooth, int sharp)
{
    Scene scene;
    std::srand(7);
    const int textures[3] = {0, smooth, sharp};
    for (int q = 0; q < 300; q++) {
        float x = (float)(std::rand() % 50 - 5), y = (float)(std::rand() % 50 - 5);
        float a = (float)(std::rand() % 360) * 0.0174533f, size = (float)(2 + std::rand() % 14);
        float c = std::cos(a) * size, s = std::sin(a) * size;
        Pixel tint = ((Pixel)(std::rand() % 256) << 24) | ((Pixel)std::rand() & 0xFFFFFFu);
        if (q % 4 == 3) tint = 0xFFFFFFFF;  // untinted quads take a shorter path
        // Every third quad shows only the middle of its texture, as atlas cells do, so its samples
        // never come near the texture's edges.
        float t0 = q % 3 == 1 ? 0.25f : 0.0f, t1 = q % 3 == 1 ? 0.75f : 1.0f;
        scene.vertices.push_back({x, y, t0, t0, tint});
        scene.vertices.push_back({x + c, y + s, t1, t0, tint});
        scene.vertices.push_back({x + c - s, y + s + c, t1, t1, tint});
        scene.vertices.push_back({x - s, y + c, t0, t1, tint});
        if (q % 10 == 0) scene.batches.push_back({textures[(q / 10) % 3], (q / 30) % 4, q, 0});
        scene.batches.back().quadCount++;
    }
    scene.quads = 300;
    return scene;
}

TEST_F(SoftwareBackendTest, BandsThreadsAndBothBuildsDrawTheSamePicture)
{
    std::vector<Pixel> texels(16 * 16);
    for (int i = 0; i < 256; i++) texels[i] = (Pixel)(i * 0x01030507u) ^ ((Pixel)(i % 7) << 29);
    int smooth = SoftwareBackend.CreateTexture(16, 16, texels.data(), true);
    int sharp = SoftwareBackend.CreateTexture(16, 16, texels.data(), false);
    ASSERT_GT(smooth, 0);
    ASSERT_GT(sharp, 0);
    Scene scene = MakeScene(smooth, sharp);

    // One submission, split over the threads' bands.
    SoftwareBackend.Submit(scene.vertices.data(), scene.quads, scene.batches.data(), (int)scene.batches.size());
    std::vector<Pixel> together = Grab();
    // One quad at a time, each too small to share out.
    SoftwareBackend.Clear(0);
    for (const QuadBatch& batch : scene.batches)
        for (int q = batch.firstQuad; q < batch.firstQuad + batch.quadCount; q++) {
            QuadBatch one{batch.texture, batch.blend, 0, 1};
            SoftwareBackend.Submit(scene.vertices.data() + q * 4, 1, &one, 1);
        }
    EXPECT_EQ(Grab(), together);
    SoftwareBackend.Present(false);
    EXPECT_EQ(SoftwareBackend.DrawCallsLastFrame(), (int)scene.batches.size() + scene.quads);

    // The four-pixel build draws exactly what the eight-pixel one does.
    if (SoftwareRasterWideAvailable()) {
        for (bool wide : {false, true}) {
            SoftwareRasterUseWide(wide);
            SoftwareBackend.Clear(0);
            SoftwareBackend.Submit(scene.vertices.data(), scene.quads, scene.batches.data(),
                                   (int)scene.batches.size());
            EXPECT_EQ(Grab(), together) << (wide ? "wide" : "narrow");
        }
    }
}

}  // namespace
