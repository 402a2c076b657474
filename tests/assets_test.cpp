// assets_test.cpp -- common asset loading (font sizes, the sound effect scan, the splash jingle) and the
// real data tree checked file by file through the game's own loaders
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "frame/frame_routine.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/render.h"
#include "platform/system.h"
#include "platform/test_platform.h"
#include "shell/common_assets.h"
#include "shell/debug_log.h"
#include "shell/display_setup.h"
#include "shell/setup_file.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

// The tests move between folders; every scratch folder is made from where the program started.
const std::string StartFolder = std::filesystem::current_path().string();

// A short valid WAV: 8-bit mono, 8000 Hz, 200 samples.
void WriteTinyWav(const std::string& path)
{
    const uint32_t samples = 200;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.put(v & 0xFF).put((v >> 8) & 0xFF).put((v >> 16) & 0xFF).put(v >> 24); };
    auto u16 = [&](uint16_t v) { out.put(v & 0xFF).put(v >> 8); };
    out.write("RIFF", 4);
    u32(36 + samples);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);      // PCM
    u16(1);      // mono
    u32(8000);   // sample rate
    u32(8000);   // bytes per second
    u16(1);      // block size
    u16(8);      // bits
    out.write("data", 4);
    u32(samples);
    for (uint32_t i = 0; i < samples; i++) {
        out.put(static_cast<char>(128 + (i % 20) * 4));
    }
}

std::vector<std::string> ReadLog(const std::string& path)
{
    std::vector<std::string> lines;
    SysReadLines(path, lines);
    return lines;
}

class CommonAssets : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseHeadlessPlatform();
        SysChangeDir(StartFolder);
        VidSelectEngine(EngineSoftware);
        ASSERT_TRUE(VidOpen(320, 240, 0, 60));
        DisplayWidth = 320;
        DisplayHeight = 240;
    }
    void TearDown() override
    {
        CloseDebugLog();
        VidClose();
    }
};

TEST_F(CommonAssets, FontScalesFollowTheDisplayWidth)
{
    struct Case {
        int width;
        int entry1, entry2, entry5, entry9;
    } cases[] = {
        {800, 28, 22, 115, 16},
        {640, 28, 22, 115, 16},   // 640 is not below 600
        {512, 36, 32, 144, 21},
        {1024, 24, 16, 96, 14},
        {900, 24, 16, 96, 14},
        {599, 36, 32, 144, 21},
    };
    for (const Case& c : cases) {
        ChooseFontScales(c.width);
        EXPECT_EQ(ScaledFontSize(24, FontScaleA), c.entry1) << c.width;
        EXPECT_EQ(ScaledFontSize(16, FontScaleB), c.entry2) << c.width;
        EXPECT_EQ(ScaledFontSize(96, FontScaleA), c.entry5) << c.width;
        EXPECT_EQ(ScaledFontSize(14, FontScaleA), c.entry9) << c.width;
    }
}

TEST_F(CommonAssets, SoundEffectFileNamesHaveThreeDigits)
{
    EXPECT_EQ(SoundEffectFileName(1), "001.wav");
    EXPECT_EQ(SoundEffectFileName(10), "010.wav");
    EXPECT_EQ(SoundEffectFileName(200), "200.wav");
}

// A tree with only the jingle and three numbered effects: 001, 002 and 010.
TEST_F(CommonAssets, EffectScanLoadsWhatExistsAndTheSplashPlaysOnce)
{
    std::string root = MakeScratchDir("common_assets_scan");
    fs::create_directories(root + "/Files/Common");
    fs::create_directories(root + "/Files/252");
    WriteTinyWav(root + "/Files/Common/badgeget.wav");
    for (const char* name : {"001.wav", "002.wav", "010.wav"}) {
        WriteTinyWav(root + "/Files/252/" + name);
    }
    SysChangeDir(root + "/Files");
    OpenDebugLog();
    SysChangeDir("252/");

    EngineSettings[11] = 80;
    EngineSettings[12] = 50;
    SoundEffects[5] = 77;   // a handle from an earlier load stays when its file is gone
    TestClearSoundLog();
    int presents = TestPresentCount();
    LoadCommonAssets();

    EXPECT_NE(SysCurrentDir().find("Files/252"), std::string::npos);
    for (int n = 1; n <= 200; n++) {
        if (n == 1 || n == 2 || n == 10) {
            EXPECT_NE(SoundEffects[n], 0) << n;
        } else if (n == 5) {
            EXPECT_EQ(SoundEffects[n], 77);
        } else {
            EXPECT_EQ(SoundEffects[n], 0) << n;
        }
    }
    std::vector<std::string> sfxLines;
    for (const std::string& line : ReadLog(root + "/Files/Debug.txt")) {
        if (line.rfind("\tSFX(", 0) == 0) {
            sfxLines.push_back(line);
        }
    }
    EXPECT_EQ(sfxLines, (std::vector<std::string>{"\tSFX(1)", "\tSFX(2)", "\tSFX(10)"}));

    // The splash: one presented frame and the jingle at sound x master volume.
    ASSERT_NE(BadgeSound, 0);
    EXPECT_EQ(CommonLoaded, 1);
    EXPECT_EQ(TestPresentCount() - presents, 1);
    EXPECT_NE(ChannelTable[256], 0);
    const std::vector<TestSoundCall>& calls = TestSoundLog();
    auto find = [&](const std::string& op) {
        return std::find_if(calls.begin(), calls.end(), [&](const TestSoundCall& call) {
            return call.op == op && call.channel == ChannelTable[256];
        });
    };
    auto cue = find("cue"), volume = find("volume"), resume = find("resume");
    ASSERT_NE(cue, calls.end());
    ASSERT_NE(volume, calls.end());
    ASSERT_NE(resume, calls.end());
    EXPECT_EQ(cue->sound, BadgeSound);
    EXPECT_NEAR(volume->value, 0.4f, 1e-6);
    EXPECT_LT(cue - calls.begin(), resume - calls.begin());

    // A second load (a display change): no splash, no jingle.
    TestClearSoundLog();
    presents = TestPresentCount();
    LoadCommonAssets();
    EXPECT_EQ(TestPresentCount(), presents);
    EXPECT_TRUE(std::none_of(TestSoundLog().begin(), TestSoundLog().end(),
                             [](const TestSoundCall& call) { return call.op == "resume"; }));
    EXPECT_NE(SysCurrentDir().find("Files/252"), std::string::npos);

    // Setup.ini may hold volumes of any size: their product must not wrap round to silence.
    CommonLoaded = 0;
    EngineSettings[11] = 50000;
    EngineSettings[12] = 50000;
    TestClearSoundLog();
    LoadCommonAssets();
    volume = find("volume");
    ASSERT_NE(volume, calls.end());
    EXPECT_FLOAT_EQ(volume->value, 1);
}

TEST_F(CommonAssets, LogGroupsAppearInOrder)
{
    std::string root = MakeScratchDir("common_assets_log");
    fs::create_directories(root + "/Files/Common");
    fs::create_directories(root + "/Files/252");
    SysChangeDir(root + "/Files");
    OpenDebugLog();
    SysChangeDir("252/");
    CommonLoaded = 1;
    LoadCommonAssets();
    std::vector<std::string> lines = ReadLog(root + "/Files/Debug.txt");
    std::vector<std::string> expected = {"", "Loading : Common Objects", "", "Switching to Default Folder", "",
                                         "\tDefault Fonts", "\tDefault Icons", "\tLogos", "\tBadgeGet", "",
                                         "Switching to Game Folder", "", "Loading Sound effects", "Sounds loaded",
                                         ""};
    ASSERT_GE(lines.size(), 8 + expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 8, lines.begin() + 8 + expected.size()), expected);
}

// ---- The real data tree --------------------------------------------------------------------

class RealAssets : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseHeadlessPlatform();
        SysChangeDir(StartFolder);
        VidSelectEngine(EngineSoftware);
        ASSERT_TRUE(VidOpen(320, 240, 0, 60));
        GfxAutoMidHandle(true);
        files = fs::path(SOURCE_DIR) / "data" / "Files";
    }
    void TearDown() override { VidClose(); }
    fs::path files;
};

TEST_F(RealAssets, EveryPictureMatchesItsFrameTable)
{
    struct Case {
        const char* file;
        int cellW, cellH, frames;   // frames 0: a single picture, cellW/cellH its size (0: any)
    } cases[] = {
        {"Common/icons.png", 16, 16, 64},   {"Common/logo.png", 0, 0, 0},  {"Common/Velmont.png", 0, 0, 0},
        {"252/badges.png", 64, 64, 16},     {"252/pilko.png", 128, 128, 64}, {"252/build.png", 64, 64, 16},
        {"252/bottom.png", 64, 0, 0},       {"252/arock.png", 256, 256, 0},  {"252/logo.png", 0, 0, 0},
        {"252/star.png", 0, 0, 0},
    };
    for (const Case& c : cases) {
        std::string path = (files / c.file).string();
        ASSERT_TRUE(fs::exists(path)) << "missing asset " << c.file;
        Pixmap picture;
        ASSERT_TRUE(LoadPixmapPNG(path, picture)) << c.file;
        if (c.frames > 0) {
            // A strip or a grid: whole cells, exactly the frame count of them.
            EXPECT_EQ(picture.width % c.cellW, 0) << c.file;
            EXPECT_EQ(picture.height % c.cellH, 0) << c.file;
            EXPECT_EQ((picture.width / c.cellW) * (picture.height / c.cellH), c.frames) << c.file;
            int image = GfxLoadAnimImage(path, c.cellW, c.cellH, 0, c.frames, ImageMasked | ImageFiltered);
            ASSERT_NE(image, 0) << c.file;
            EXPECT_EQ(GfxImageFrames(image), c.frames) << c.file;
            EXPECT_EQ(GfxImageWidth(image), c.cellW) << c.file;
            EXPECT_EQ(GfxImageHeight(image), c.cellH) << c.file;
            // The last frame holds a picture too (a short sheet would leave it empty).
            Pixmap last;
            ASSERT_TRUE(GfxImagePixels(image, c.frames - 1, last)) << c.file;
            EXPECT_TRUE(std::any_of(last.pixels.begin(), last.pixels.end(), [](Pixel p) { return (p >> 24) != 0; }))
                << c.file;
        } else {
            int image = GfxLoadImage(path, ImageMasked | ImageFiltered);
            ASSERT_NE(image, 0) << c.file;
            if (c.cellW > 0) {
                EXPECT_EQ(GfxImageWidth(image), c.cellW) << c.file;
            }
            if (c.cellH > 0) {
                EXPECT_EQ(GfxImageHeight(image), c.cellH) << c.file;
            }
        }
    }
}

TEST_F(RealAssets, EverySoundDecodes)
{
    const char* required[] = {"Common/badgeget.wav", "252/002.wav", "252/003.wav", "252/004.wav",
                              "252/005.wav",         "252/Theme.ogg", "252/Ingame.ogg"};
    for (const char* file : required) {
        EXPECT_TRUE(fs::exists(files / file)) << "missing asset " << file;
    }
    int sounds = 0;
    for (const auto& entry : fs::recursive_directory_iterator(files)) {
        std::string ext = entry.path().extension().string();
        if (ext != ".wav" && ext != ".ogg") continue;
        sounds++;
        int sound = SndLoad(entry.path().string());
        ASSERT_NE(sound, 0) << entry.path();
        SoundInfo info = SndInfo(sound);
        EXPECT_TRUE(info.channels == 1 || info.channels == 2) << entry.path();
        EXPECT_GE(info.sampleRate, 8000) << entry.path();
        EXPECT_LE(info.sampleRate, 96000) << entry.path();
        EXPECT_GT(info.frames, 0) << entry.path();
    }
    EXPECT_GE(sounds, 7);
}

TEST_F(RealAssets, EveryFontLoads)
{
    for (const char* file : {"Common/SVBasicManual.ttf", "Common/Blue Highway.ttf", "Common/Acknowledge TT QYV.ttf"}) {
        ASSERT_TRUE(fs::exists(files / file)) << "missing asset " << file;
        int font = GfxLoadFont((files / file).string(), 24, true);
        ASSERT_NE(font, 0) << file;
        GfxSetFont(font);
        EXPECT_GT(GfxTextWidth("Vodod Pilko"), 0) << file;
        EXPECT_GT(GfxTextHeight("Vodod Pilko"), 0) << file;
    }
    GfxSetFont(0);
}

TEST_F(RealAssets, TheLoadersFillEveryHandle)
{
    MakeGameTree("real_assets_loaders");
    CommonLoaded = 1;   // no splash
    LoadCommonAssets();
    for (int entry = 1; entry <= 13; entry++) {
        EXPECT_NE(FontTable[entry], 0) << entry;
    }
    for (int family = 0; family < 3; family++) {
        for (int step = 0; step < 9; step++) {
            EXPECT_NE(SizedFontTable[family * 10 + step], 0) << family << "," << step;
        }
    }
    EXPECT_EQ(SizedFontTable[9], 0);
    EXPECT_EQ(FontTable[14], 0);
    EXPECT_NE(IconsImage, 0);
    EXPECT_NE(IconsImageSharp, 0);
    EXPECT_NE(MakerLogoImage, 0);
    EXPECT_NE(SiteLogoImage, 0);
    EXPECT_NE(BadgesImage, 0);
    EXPECT_NE(BadgeSound, 0);
    for (int n = 2; n <= 5; n++) {
        EXPECT_NE(SoundEffects[n], 0) << n;
    }
}

}  // namespace
