// renderer_agreement_test.cpp -- the OpenGL and SDL renderer back ends draw what the software one draws
//
// Needs an X display with GL (Xvfb with Mesa will do); without DISPLAY the tests are skipped.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/render.h"
#include "platform/system.h"
#include "test_support.h"

namespace {

constexpr int SceneWidth = 320, SceneHeight = 240;

bool HaveDisplay()
{
    const char* display = getenv("DISPLAY");
    return display && *display;
}

void StartRealPlatformOnce()
{
    static bool started = false;
    if (!started) {
        started = true;
        PlatformStart();
        VidSetTitle("renderer agreement");
    }
}

// A 16 x 16 picture with hard colour steps, a soft alpha edge and pure black corners (masked away
// when loaded masked): filtering, blending and masking all leave traces in it.
Pixmap TestPicture()
{
    Pixmap p;
    p.width = p.height = 16;
    p.pixels.resize(256);
    for (int y = 0; y < 16; y++) {
        for (int x = 0; x < 16; x++) {
            float dx = x + 0.5f - 8, dy = y + 0.5f - 8;
            float d = std::sqrt(dx * dx + dy * dy);
            uint32_t a = uint32_t(std::clamp((9.0f - d) / 3.0f, 0.0f, 1.0f) * 255.0f);
            uint32_t r = x < 8 ? 240 : 30, g = y < 8 ? 200 : 60, b = uint32_t(x * 16);
            p.pixels[size_t(y * 16 + x)] = a << 24 | r << 16 | g << 8 | b;
            if ((x < 2 || x > 13) && (y < 2 || y > 13))
                p.pixels[size_t(y * 16 + x)] = 0xFF000000;
        }
    }
    return p;
}

// The scene: shapes, lines, images rotated and scaled under each blend mode, and text.
Pixmap DrawScene(int slot, const std::string& picturePath, const std::string& fontPath)
{
    VidSelectEngine(slot);
    if (!VidOpen(SceneWidth, SceneHeight, 0, 60))
        return {};
    VidSetVirtualResolution(SceneWidth * 2, SceneHeight * 2);  // drawn in virtual units at half size

    GfxAutoMidHandle(true);
    int smooth = GfxLoadImage(picturePath, ImageFiltered);
    int sharp = GfxLoadImage(picturePath, ImageMasked);
    int font = fontPath.empty() ? 0 : GfxLoadFont(fontPath, 24, true);

    GfxSetClsColor(20, 30, 90);
    GfxCls();
    GfxSetBlend(BlendSolid);
    GfxSetColor(200, 60, 40);
    GfxDrawRect(20, 20, 200, 120);
    GfxSetColor(90, 220, 90);
    GfxSetRotation(30);
    GfxDrawRect(300, 40, 160, 80);
    GfxSetRotation(0);

    GfxSetBlend(BlendAlpha);
    GfxSetAlpha(0.5f);
    GfxSetColor(255, 255, 255);
    GfxDrawRect(120, 80, 300, 140);
    GfxSetAlpha(1);
    GfxSetColor(255, 255, 0);
    GfxDrawLine(10, 300, 630, 340);
    GfxDrawLine(600, 20, 560, 460);

    GfxSetColor(255, 255, 255);
    GfxSetScale(6, 6);
    GfxSetRotation(25);
    GfxDrawImage(smooth, 160, 330);
    GfxSetScale(5, 3);
    GfxSetRotation(-60);
    GfxDrawImage(sharp, 470, 170);
    GfxSetScale(-4, 4);  // mirrored
    GfxSetRotation(0);
    GfxDrawImage(sharp, 560, 400);

    GfxSetBlend(BlendAdditive);
    GfxSetAlpha(0.7f);
    GfxSetScale(8, 8);
    GfxSetRotation(45);
    GfxDrawImage(smooth, 330, 300);

    GfxSetBlend(BlendMultiply);
    GfxSetAlpha(1);
    GfxSetScale(1, 1);
    GfxSetRotation(0);
    GfxSetColor(128, 255, 200);
    GfxDrawRect(0, 380, 640, 100);

    GfxSetBlend(BlendAlpha);
    GfxSetColor(255, 255, 255);
    GfxSetFont(0);
    GfxSetScale(2, 2);
    GfxDrawText("Vodod 0123", 20, 160);
    if (font) {
        GfxSetFont(font);
        GfxSetScale(1, 1);
        GfxDrawText("Height 42 m", 240, 420);
    }
    GfxSetScale(1, 1);

    Pixmap grab = GfxGrabPixmap(0, 0, SceneWidth, SceneHeight);
    VidPresent(false);
    VidClose();
    return grab;
}

int ChannelDifference(uint32_t a, uint32_t b)
{
    int d = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        d = std::max(d, std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)));
    return d;
}

struct Comparison {
    double meanDifference = 0;   // mean of the largest channel difference per pixel
    double farShare = 0;         // share of pixels differing by more than the tolerance
};

Comparison Compare(const Pixmap& a, const Pixmap& b, int tolerance)
{
    Comparison c;
    size_t far = 0;
    double sum = 0;
    for (size_t i = 0; i < a.pixels.size(); i++) {
        int d = ChannelDifference(a.pixels[i], b.pixels[i]);
        sum += d;
        if (d > tolerance)
            far++;
    }
    c.meanDifference = sum / double(a.pixels.size());
    c.farShare = double(far) / double(a.pixels.size());
    return c;
}

class RendererAgreementTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        if (!HaveDisplay())
            GTEST_SKIP() << "no DISPLAY: the back ends need a real window";
        StartRealPlatformOnce();
        dir = MakeScratchDir(std::string("renderer_agreement_") +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                             std::to_string(GetParam()));
        picture = dir + "/picture.png";
        ASSERT_TRUE(SavePixmapPNG(TestPicture(), picture, 6));
        std::string ttf = std::string(SOURCE_DIR) + "/data/Files/Common/Blue Highway.ttf";
        if (SysFileExists(ttf))
            fontPath = ttf;
    }
    std::string dir, picture, fontPath;
};

TEST_P(RendererAgreementTest, SceneMatchesTheSoftwareRenderer)
{
    Pixmap reference = DrawScene(EngineSoftware, picture, fontPath);
    ASSERT_EQ(reference.pixels.size(), size_t(SceneWidth * SceneHeight)) << "the software back end must open";
    SavePixmapPNG(reference, dir + "/software.png", 1);

    // The scene really draws something: far from a plain clear.
    Pixmap blank = reference;
    std::fill(blank.pixels.begin(), blank.pixels.end(), 0xFF141E5A);
    ASSERT_GT(Compare(reference, blank, 24).farShare, 0.2);

    Pixmap other = DrawScene(GetParam(), picture, fontPath);
    if (other.pixels.empty())
        GTEST_SKIP() << VidEngineName(GetParam()) << " could not start on this display";
    ASSERT_EQ(other.pixels.size(), reference.pixels.size());
    SavePixmapPNG(other, dir + "/" + std::to_string(GetParam()) + ".png", 1);

    // Edges fall on slightly different pixels and filtering rounds differently; everything else
    // must be the same picture.
    Comparison c = Compare(other, reference, 40);
    printf("%s: mean difference %.2f, %.2f%% of pixels beyond the tolerance\n", VidEngineName(GetParam()),
           c.meanDifference, c.farShare * 100);
    EXPECT_LT(c.meanDifference, 3.0) << VidEngineName(GetParam());
    EXPECT_LT(c.farShare, 0.03) << VidEngineName(GetParam());
}

TEST_P(RendererAgreementTest, GrabReadsTheRightRectangle)
{
    VidSelectEngine(GetParam());
    if (!VidOpen(SceneWidth, SceneHeight, 0, 60))
        GTEST_SKIP() << VidEngineName(GetParam()) << " could not start on this display";
    GfxSetClsColor(0, 0, 0);
    GfxCls();
    GfxSetBlend(BlendSolid);
    GfxSetColor(255, 0, 0);
    GfxDrawRect(10, 20, 30, 40);  // virtual units equal pixels here
    Pixmap grab = GfxGrabPixmap(5, 15, 50, 50);
    VidClose();
    ASSERT_EQ(grab.pixels.size(), size_t(2500));
    // Rows run top-down: the rectangle starts 5 pixels in and 5 pixels down.
    EXPECT_EQ(grab.pixels[size_t(4 * 50 + 4)], 0xFF000000u);
    EXPECT_EQ(grab.pixels[size_t(5 * 50 + 5)], 0xFFFF0000u);
    EXPECT_EQ(grab.pixels[size_t(44 * 50 + 34)], 0xFFFF0000u);
    EXPECT_EQ(grab.pixels[size_t(45 * 50 + 35)], 0xFF000000u);
}

INSTANTIATE_TEST_SUITE_P(Engines, RendererAgreementTest, ::testing::Values(EngineOpenGL, EngineSdl),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == EngineOpenGL ? std::string("OpenGL") : std::string("SdlRenderer");
                         });

}  // namespace
