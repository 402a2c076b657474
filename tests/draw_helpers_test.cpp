// draw_helpers_test.cpp -- draw state conventions, text alignment, counted and glowing images, MouseOver
#include <gtest/gtest.h>

#include <filesystem>

#include <cmath>

#include "frame/draw_helpers.h"
#include "frame/frame_routine.h"
#include "platform/display.h"
#include "platform/render.h"
#include "platform/system.h"
#include "shell/display_setup.h"
#include "shell/setup_file.h"
#include "test_support.h"

namespace {

// The tests move between folders; every scratch folder is made from where the program started.
const std::string StartFolder = std::filesystem::current_path().string();

constexpr Pixel Red = 0xFFFF0000;
constexpr int ScreenW = 160, ScreenH = 120;

class DrawHelpers : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseHeadlessPlatform();
        SysChangeDir(StartFolder);
        VidSelectEngine(EngineSoftware);
        ASSERT_TRUE(VidOpen(ScreenW, ScreenH, 0, 60));
        VidSetVirtualResolution(ScreenW, ScreenH);   // one virtual unit per pixel
        VirtualWidth = ScreenW;
        VirtualHeight = ScreenH;
        ResetDrawState();
        BeginFrame(1);
    }
    void TearDown() override { VidClose(); }

    // A solid red picture of w x h pixels, hanging from its centre as every asset does.
    int RedImage(int w, int h)
    {
        Pixmap picture;
        picture.width = w;
        picture.height = h;
        picture.pixels.assign(w * h, Red);
        std::string path = MakeScratchDir(std::string("draw_helpers_") +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                           "/red.png";
        EXPECT_TRUE(SavePixmapPNG(picture, path, 1));
        GfxAutoMidHandle(true);
        int image = GfxLoadImage(path, ImageMasked);
        EXPECT_NE(image, 0);
        return image;
    }

    Pixmap Screen() { return GfxGrabPixmap(0, 0, ScreenW, ScreenH); }
    static Pixel At(const Pixmap& p, int x, int y) { return p.pixels[y * p.width + x]; }
    static bool Lit(const Pixmap& p, int x, int y) { return (At(p, x, y) & 0x00FFFFFF) != 0; }

    // The box around every lit pixel: left, top, right, bottom (inclusive); left = -1 when nothing is lit.
    static void LitBox(const Pixmap& p, int box[4])
    {
        box[0] = box[1] = -1;
        box[2] = box[3] = -1;
        for (int y = 0; y < p.height; y++) {
            for (int x = 0; x < p.width; x++) {
                if (!Lit(p, x, y)) continue;
                if (box[0] < 0 || x < box[0]) box[0] = x;
                if (box[1] < 0 || y < box[1]) box[1] = y;
                if (x > box[2]) box[2] = x;
                if (y > box[3]) box[3] = y;
            }
        }
    }
};

TEST_F(DrawHelpers, SetDrawColourClampsTruncatesAndKeepsAlphaUnlessGiven)
{
    struct Case {
        float r, g, b, a;
        int red, green, blue;
        float alpha;
    } cases[] = {
        {300, -5, 127.9f, AlphaUnchanged, 255, 0, 127, 0.5f},
        {0, 0, 0, 2, 0, 0, 0, 1},
        {10, 20, 30, -0.5f, 10, 20, 30, 0},
        {255.99f, 0.99f, 1, 0.25f, 255, 0, 1, 0.25f},
        {NAN, 5, 5, AlphaUnchanged, 0, 5, 5, 0.5f},
    };
    for (const Case& c : cases) {
        GfxSetAlpha(0.5f);
        SetDrawColour(c.r, c.g, c.b, c.a);
        int r, g, b;
        GfxGetColor(r, g, b);
        EXPECT_EQ(r, c.red) << c.r;
        EXPECT_EQ(g, c.green) << c.g;
        EXPECT_EQ(b, c.blue) << c.b;
        EXPECT_FLOAT_EQ(GfxGetAlpha(), c.alpha) << c.a;
    }
}

TEST_F(DrawHelpers, ScaleBlendAndReset)
{
    float sx, sy;
    SetDrawScale(1.5f);
    GfxGetScale(sx, sy);
    EXPECT_FLOAT_EQ(sx, 1.5f);
    EXPECT_FLOAT_EQ(sy, 1.5f);
    SetDrawScale(2, 1);
    GfxGetScale(sx, sy);
    EXPECT_FLOAT_EQ(sx, 2);
    EXPECT_FLOAT_EQ(sy, 1);

    SetBlendCode(3);
    EXPECT_EQ(GfxGetBlend(), BlendAdditive);
    SetBlendCode(5);
    EXPECT_EQ(GfxGetBlend(), BlendAdditive);
    SetBlendCode(-1);
    EXPECT_EQ(GfxGetBlend(), BlendAdditive);

    SetDrawRotation(30);
    SetDrawColour(1, 2, 3, 0.1f);
    ResetDrawState();
    int r, g, b;
    GfxGetColor(r, g, b);
    GfxGetScale(sx, sy);
    EXPECT_EQ(GfxGetBlend(), BlendAlpha);
    EXPECT_EQ(r + g + b, 3 * 255);
    EXPECT_FLOAT_EQ(GfxGetAlpha(), 1);
    EXPECT_FLOAT_EQ(GfxGetRotation(), 0);
    EXPECT_FLOAT_EQ(sx, 1);
    EXPECT_FLOAT_EQ(sy, 1);
}

TEST_F(DrawHelpers, ClampRealLetsTheLowerBoundWin)
{
    EXPECT_FLOAT_EQ(ClampReal(5, 0, 1), 1);
    EXPECT_FLOAT_EQ(ClampReal(-5, 0, 1), 0);
    EXPECT_FLOAT_EQ(ClampReal(0.5f, 0, 1), 0.5f);
    EXPECT_FLOAT_EQ(ClampReal(5, 10, 0), 10);   // lo > hi: lo wins
}

TEST_F(DrawHelpers, TextAlignmentUsesIntegerHalvesOfTheMeasuredSize)
{
    int font = GfxLoadFont(std::string(SOURCE_DIR) + "/data/Files/Common/SVBasicManual.ttf", 17, true);
    ASSERT_NE(font, 0);
    GfxSetFont(font);
    // An odd width, so a rounded half would show.
    std::string text;
    for (const char* candidate : {"Wj", "W", "Hij", "Ag", "MMi", "x", "Tq1", "Ww", "il", "i", "l"}) {
        if (GfxTextWidth(candidate) % 2 == 1) {
            text = candidate;
            break;
        }
    }
    ASSERT_FALSE(text.empty()) << "no odd-width text found";
    int w = GfxTextWidth(text), h = GfxTextHeight(text);

    int plain[4];
    BeginFrame(1);
    DrawTextAligned(60, 50, text, 0, 0);
    LitBox(Screen(), plain);
    ASSERT_GE(plain[0], 0);

    struct Case {
        int alignX, alignY, shiftX, shiftY;
    } cases[] = {
        {1, 0, (w - 1) / 2, 0},
        {2, 0, w, 0},
        {0, 1, 0, h / 2},
        {0, 2, 0, h},
        {7, -3, 0, 0},
    };
    for (const Case& c : cases) {
        BeginFrame(1);
        DrawTextAligned(60, 50, text, c.alignX, c.alignY);
        int box[4];
        LitBox(Screen(), box);
        EXPECT_EQ(plain[0] - box[0], c.shiftX) << c.alignX << "," << c.alignY;
        EXPECT_EQ(plain[1] - box[1], c.shiftY) << c.alignX << "," << c.alignY;
    }
}

TEST_F(DrawHelpers, CountedImageIsPlacedByItsTopLeftCornerAtAnyScale)
{
    int image = RedImage(4, 2);
    DrawLimits[1] = 10;

    DrawCountedImage(image, 10, 20, 0, 1);
    Pixmap p = Screen();
    EXPECT_EQ(At(p, 10, 20), Red);
    EXPECT_EQ(At(p, 13, 21), Red);
    EXPECT_FALSE(Lit(p, 9, 20));
    EXPECT_FALSE(Lit(p, 14, 21));
    EXPECT_FALSE(Lit(p, 10, 22));

    BeginFrame(1);
    SetDrawScale(2);
    DrawCountedImage(image, 30, 40, 0, 1);
    p = Screen();
    EXPECT_EQ(At(p, 30, 40), Red);
    EXPECT_EQ(At(p, 37, 43), Red);
    EXPECT_FALSE(Lit(p, 29, 40));
    EXPECT_FALSE(Lit(p, 38, 43));
    EXPECT_FALSE(Lit(p, 30, 44));
    EXPECT_EQ(DrawCounts[1], 1);
}

TEST_F(DrawHelpers, CountedImageRespectsTheBudgetAndTheSkippedFrame)
{
    int image = RedImage(4, 2);
    DrawLimits[1] = 2;
    DrawCountedImage(image, 0, 0, 0, 1);
    DrawCountedImage(image, 10, 0, 0, 1);
    DrawCountedImage(image, 20, 0, 0, 1);   // over the budget
    Pixmap p = Screen();
    EXPECT_EQ(DrawCounts[1], 2);
    EXPECT_TRUE(Lit(p, 10, 0));
    EXPECT_FALSE(Lit(p, 20, 0));

    // A kind outside the tables is refused rather than indexing past them.
    DrawCountedImage(image, 30, 0, 0, 25);
    DrawCountedImage(image, 30, 0, 0, -1);
    EXPECT_FALSE(Lit(Screen(), 30, 0));

    // BeginFrame without clearing keeps the picture but starts a new budget.
    BeginFrame(0);
    EXPECT_EQ(DrawCounts[1], 0);
    EXPECT_TRUE(Lit(Screen(), 10, 0));

    // Slow system: the frame that will not be shown neither draws nor counts.
    EngineSettings[7] = 1;
    FramePhase = 1;
    DrawCountedImage(image, 40, 0, 0, 1);
    EXPECT_EQ(DrawCounts[1], 0);
    EXPECT_FALSE(Lit(Screen(), 40, 0));
    FramePhase = 0;
    DrawCountedImage(image, 40, 0, 0, 1);
    EXPECT_EQ(DrawCounts[1], 1);
    EXPECT_TRUE(Lit(Screen(), 40, 0));
}

TEST_F(DrawHelpers, GlowPassIsBudgetedApartAndCentredOnTheImage)
{
    int image = RedImage(4, 2);
    // Image at (10, 20): centre (12, 21). Glow at twice the size spans x 8..15, y 19..22.
    auto drawGlow = [&](int mainLimit, int glowLimit) {
        BeginFrame(1);
        ResetDrawState();
        DrawLimits[1] = mainLimit;
        DrawLimits[2] = glowLimit;
        DrawGlowImage(image, 10, 20, 0, 0, 2, 1);
        return Screen();
    };

    Pixmap p = drawGlow(10, 10);
    EXPECT_EQ(DrawCounts[1], 1);
    EXPECT_EQ(DrawCounts[2], 1);
    EXPECT_TRUE(Lit(p, 8, 19));
    EXPECT_TRUE(Lit(p, 15, 22));
    EXPECT_FALSE(Lit(p, 7, 19));
    EXPECT_FALSE(Lit(p, 16, 22));

    p = drawGlow(0, 10);   // main budget spent: the glow still shows
    EXPECT_EQ(DrawCounts[1], 0);
    EXPECT_EQ(DrawCounts[2], 1);
    EXPECT_TRUE(Lit(p, 8, 19));

    p = drawGlow(10, 0);   // glow budget spent: only the image itself
    EXPECT_EQ(DrawCounts[1], 1);
    EXPECT_EQ(DrawCounts[2], 0);
    EXPECT_TRUE(Lit(p, 10, 20));
    EXPECT_FALSE(Lit(p, 8, 19));

    // The caller's scale, alpha and blend come back unchanged.
    SetDrawScale(1.25f, 0.75f);
    GfxSetAlpha(0.6f);
    SetBlendCode(2);
    DrawGlowImage(image, 10, 20, 0, 0, 3, 0.5f);
    float sx, sy;
    GfxGetScale(sx, sy);
    EXPECT_FLOAT_EQ(sx, 1.25f);
    EXPECT_FLOAT_EQ(sy, 0.75f);
    EXPECT_FLOAT_EQ(GfxGetAlpha(), 0.6f);
    EXPECT_EQ(GfxGetBlend(), BlendMultiply);
}

TEST_F(DrawHelpers, MouseOverIsStrictOnEveryEdge)
{
    struct Case {
        int mx, my, over;
    } cases[] = {
        {15, 25, 1}, {11, 21, 1}, {19, 29, 1},     // inside
        {10, 25, 0}, {20, 25, 0},                  // left and right edges
        {15, 20, 0}, {15, 30, 0},                  // top and bottom edges
        {5, 25, 0}, {15, 40, 0},
    };
    for (const Case& c : cases) {
        MouseX = c.mx;
        MouseY = c.my;
        EXPECT_EQ(MouseOver(10, 20, 10, 10), c.over) << c.mx << "," << c.my;
    }
}

}  // namespace
