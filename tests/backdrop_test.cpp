// backdrop_test.cpp -- stars, falling rocks and their hit test, the gradient and the sound-effect ring
#include <cmath>
#include <limits>
#include <set>

#include "game_fixture.h"
#include "platform/system.h"

using namespace game_fixture;

namespace {

class Backdrop : public ::testing::Test {
protected:
    void SetUp() override
    {
        OpenGameDisplay();
        ::Run = RunState{};
        ::Run.cameraX = 64 * 128 - 640;
        ::Run.cameraY = 163200 - 720;
        ::Run.previousCameraX = int(::Run.cameraX);
        ::Run.previousCameraY = int(::Run.cameraY);
        RockList.clear();
        StarList.clear();
        ResetDrawState();
        BeginFrame(1);
    }
    void TearDown() override { VidClose(); }
};

struct RockStats {
    int spawned = 0;
    float slowest = 1e9f, fastest = 0;
    int near = 0, far = 0;   // within 200 of the hero, beyond 800
};

RockStats SpawnFor(int column, int frames)
{
    RockStats stats;
    ::Run.column = column;
    int base = 64 * column + 32;
    for (int i = 0; i < frames; i++) {
        SpawnRock();
        if (RockList.empty()) continue;
        const ck& rock = RockList.front();
        stats.spawned++;
        stats.slowest = std::min(stats.slowest, rock.yspd);
        stats.fastest = std::max(stats.fastest, rock.yspd);
        float spread = std::fabs(rock.x - base);
        EXPECT_LE(spread, 2400);
        if (spread <= 200) stats.near++;
        if (spread > 800) stats.far++;
        EXPECT_EQ(rock.y, 64 * 2550 - 2 * 960);
        EXPECT_TRUE(rock.r >= 200 && rock.r <= 250 && rock.r % 10 == 0);
        EXPECT_TRUE(rock.b >= 200 && rock.b <= 250 && rock.b % 10 == 0);
        EXPECT_TRUE(rock.rotgo >= -3 && rock.rotgo < 3);
        RockList.clear();
    }
    return stats;
}

}  // namespace

TEST_F(Backdrop, RocksComeMoreOftenAndFasterOffTheTower)
{
    struct Case {
        int column;
        bool off;
    };
    const int frames = 22000;
    for (Case c : {Case{128, false}, Case{-10, false}, Case{265, false}, Case{-11, true}, Case{266, true}}) {
        SCOPED_TRACE(c.column);
        SysSeedRandom(1234 + c.column);
        RockStats s = SpawnFor(c.column, frames);
        if (c.off) {
            // 1 in 11: about 2000 rocks falling 24 to 48 pixels a frame
            EXPECT_GT(s.spawned, 1750);
            EXPECT_LT(s.spawned, 2250);
            EXPECT_GE(s.slowest, 24);
            EXPECT_LT(s.fastest, 48);
            EXPECT_GT(s.fastest, 40);
        } else {
            // 1 in 51: about 430 rocks falling 6 to 12 pixels a frame
            EXPECT_GT(s.spawned, 340);
            EXPECT_LT(s.spawned, 530);
            EXPECT_GE(s.slowest, 6);
            EXPECT_LT(s.fastest, 12);
            EXPECT_LT(s.slowest, 7);
        }
        // Spreads of 200, 800 and 2400 a third each: about 44 % land within 200, 22 % beyond 800
        EXPECT_GT(s.near, s.spawned / 4);
        EXPECT_GT(s.far, s.spawned / 8);
    }
}

TEST_F(Backdrop, RockFallsAndLeavesTwoScreensBelow)
{
    ck rock;
    rock.x = 0;
    rock.y = ::Run.cameraY + 128 + 2 * 960 - 10;   // 10 pixels above the line
    rock.yspd = 6;
    RockList.push_front(rock);
    EXPECT_FALSE(UpdateRocks());
    ASSERT_EQ(RockList.size(), 1u);
    EXPECT_FLOAT_EQ(RockList.front().y, rock.y + 6);
    UpdateRocks();   // 2 pixels past the line
    EXPECT_TRUE(RockList.empty());
}

// The rock hits with 90 % of its size, against the hero's current frame as if he faced right.
TEST_F(Backdrop, HitTestUsesHeroFrameUnmirroredAndNinetyPercentRock)
{
    MakeHeroAndRock();
    LoadEffects();
    EngineSettings[11] = EngineSettings[12] = 100;
    // The hero's centre on screen; his solid half is the 64 pixels right of it.
    float heroX = 64 * ::Run.column + 32, heroY = 64 * ::Run.row;
    struct Case {
        const char* what;
        float dx, dy;
        int animation, facing;
        bool hit;
    };
    for (Case c : {Case{"on the hero", 64, 0, 0, 1, true},
                   Case{"touching at 90 %", 64 + 110, 0, 0, 1, true},
                   Case{"clear at 90 %, touching at full size", 64 + 120, 0, 0, 1, false},
                   Case{"his empty left half", -64 - 100, 0, 0, 1, false},
                   Case{"facing left is still tested facing right", -64 - 100, 0, 3, -1, false},
                   Case{"facing left, right half", 64 + 100, 0, 3, -1, true},
                   Case{"the falling picture is empty here", 64, 0, 36, 1, false},
                   Case{"above his head", 64, -64 - 130, 0, 1, false}}) {
        SCOPED_TRACE(c.what);
        RockList.clear();
        ::Run.animation = c.animation;
        ::Run.facing = c.facing;
        ck rock;
        rock.x = heroX + c.dx;
        rock.y = heroY + c.dy;   // yspd 0 keeps it there
        RockList.push_front(rock);
        TestClearSoundLog();
        EXPECT_EQ(UpdateRocks(), c.hit);
        EXPECT_EQ(CountOps("cue", SoundEffects[4]), c.hit ? 1 : 0);
        EXPECT_EQ(RockList.size(), 1u) << "a rock that hits stays";
    }

    // Two rocks on the hero play the sound twice.
    RockList.clear();
    ::Run.animation = 0;
    for (int i = 0; i < 2; i++) {
        ck rock;
        rock.x = heroX + 64;
        rock.y = heroY;
        RockList.push_front(rock);
    }
    TestClearSoundLog();
    EXPECT_TRUE(UpdateRocks());
    EXPECT_EQ(CountOps("cue", SoundEffects[4]), 2);
}

TEST_F(Backdrop, StarsAreMadeInRangeAndWrap)
{
    SysSeedRandom(7);
    CreateStars();
    ASSERT_EQ(StarList.size(), 50u);
    std::set<int> greys;
    for (const rs& s : StarList) {
        EXPECT_TRUE(s.x >= -64 && s.x <= 1280 + 64 && s.y >= -64 && s.y <= 960 + 64);
        EXPECT_TRUE(s.xs >= 0.5f && s.xs < 2 && s.ys >= 0.5f && s.ys < 2);
        EXPECT_TRUE(s.size >= 0.15f && s.size < 0.5f);
        EXPECT_TRUE(s.rotgo >= -0.75f && s.rotgo < 0.75f);
        EXPECT_TRUE(s.rot >= 1 && s.rot <= 360);
        EXPECT_EQ(s.dark % 50, 0);
        greys.insert(s.dark);
    }
    EXPECT_GE(greys.size(), 4u);

    ScatterStars();
    for (const rs& s : StarList) EXPECT_TRUE(s.x >= -128 && s.x <= 1280 + 128 && s.y >= -128 && s.y <= 960 + 128);

    // Off the right edge: back 128 off the left at the same height.
    rs right{1280 + 128, 300, 1, 1, 0.2f, 10, 1, 100};
    DriftStar(right, 0, 0);
    EXPECT_FLOAT_EQ(right.x, -127);
    EXPECT_FLOAT_EQ(right.y, 301);
    EXPECT_FLOAT_EQ(right.rot, 11);

    // Sinking below the bottom: a new star at the top, keeping its speeds and its turn.
    rs low{500, 960 + 128, 1.5f, 1, 0.2f, 359.5f, 0.75f, 100};
    DriftStar(low, 0, 0);
    EXPECT_FLOAT_EQ(low.y, -128);
    EXPECT_TRUE(low.x >= -64 && low.x <= 1280 + 64);
    EXPECT_TRUE(low.size >= 0.15f && low.size < 0.5f);
    EXPECT_EQ(low.dark % 50, 0);
    EXPECT_FLOAT_EQ(low.xs, 1.5f);
    EXPECT_FLOAT_EQ(low.rot, 0.25f);

    // Pushed up through the top by the parallax: back 72 below the bottom edge.
    rs high{500, -120, 1, 1, 0.2f, -10, -1, 100};
    DriftStar(high, 0, -10);
    EXPECT_FLOAT_EQ(high.y, -129 + 960 + 200);
    EXPECT_FLOAT_EQ(high.rot, -11) << "the turn keeps its sign";

    rs left{-128, 300, 0.5f, 1, 0.2f, 0, 0, 0};
    DriftStar(left, -1, 0);
    EXPECT_FLOAT_EQ(left.x, -128.5f + 1280 + 256);
}

TEST_F(Backdrop, StarsDriftRightAndDownWithTheCameraAtRest)
{
    SysSeedRandom(99);
    CreateStars();
    for (int frame = 0; frame < 300; frame++) {
        std::vector<rs> before = StarList;
        BeginFrame(1);
        UpdateStars();
        for (size_t i = 0; i < StarList.size(); i++) {
            float dx = StarList[i].x - before[i].x, dy = StarList[i].y - before[i].y;
            if (std::fabs(dx) > 100 || std::fabs(dy) > 100) continue;   // wrapped
            ASSERT_TRUE(dx >= 0.5f && dx < 2) << dx;
            ASSERT_TRUE(dy >= 0.5f && dy < 2) << dy;
        }
    }
    EXPECT_EQ(DrawCounts[3], 50) << "every star is a particle";

    // The camera rising 30 pixels sinks the stars by 10 more.
    std::vector<rs> before = StarList;
    ::Run.cameraY = ::Run.previousCameraY - 30;
    UpdateStars();
    for (size_t i = 0; i < StarList.size(); i++) {
        float dy = StarList[i].y - before[i].y;
        if (std::fabs(dy) > 100) continue;
        EXPECT_TRUE(dy >= 10.5f && dy < 12) << dy;
    }
}

TEST_F(Backdrop, GradientBandsGrowBrighterDownward)
{
    GfxSetClsColor(0, 0, 0);
    BeginFrame(1);
    ResetDrawState();
    DrawBackdropGradient();
    Pixmap screen = GfxGrabPixmap(0, 0, 1280, 960);
    auto at = [&](int x, int y) { return screen.pixels[y * 1280 + x]; };
    // Alpha 0.4 over black: (0, 50, 101) at the top, (0, 98, 196) in the last visible band.
    struct Case {
        int y, g, b;
    };
    for (Case c : {Case{0, 20, 40}, Case{15, 20, 41}, Case{955, 39, 78}}) {
        Pixel p = at(640, c.y);
        EXPECT_EQ((p >> 16) & 0xFF, 0u) << c.y;
        EXPECT_NEAR(int((p >> 8) & 0xFF), c.g, 1) << c.y;
        EXPECT_NEAR(int(p & 0xFF), c.b, 1) << c.y;
    }
    EXPECT_EQ(at(0, 500), at(1279, 500));
}

TEST_F(Backdrop, EffectsGoRoundTheRing)
{
    LoadEffects();
    EngineSettings[11] = EngineSettings[12] = 100;
    EffectsRingPosition = 20;   // as at program start
    for (int i = 20; i < ChannelTableSize; i++) ChannelTable[i] = 0;
    TestClearSoundLog();
    for (int i = 1; i <= 238; i++) {
        int expected = i <= 235 ? 20 + i : 20 + i - 236;   // 21 .. 255, then 20, 21, 22
        PlaySoundEffect(2, 1, 1, 0);
        ASSERT_EQ(EffectsRingPosition, expected) << i;
        ASSERT_NE(ChannelTable[expected], 0);
        const TestSoundCall& last = TestSoundLog().back();
        ASSERT_EQ(last.op, "resume");
        ASSERT_EQ(last.channel, ChannelTable[expected]);
    }
    // Entries 21 and 22 were still playing, so they were stopped and replaced by new channels.
    EXPECT_EQ(CountOps("stop"), 2);
    EXPECT_EQ(CountOps("alloc"), 238);

    // A finished channel is cued again rather than replaced.
    int finished = ChannelTable[23];
    TestFinishSound(finished);
    TestClearSoundLog();
    PlaySoundEffect(3, 1, 1, 0);
    EXPECT_EQ(ChannelTable[23], finished);
    EXPECT_EQ(CountOps("alloc"), 0);
    EXPECT_EQ(CountOps("stop"), 0);
    EXPECT_EQ(CountOps("cue", SoundEffects[3]), 1);
}

TEST_F(Backdrop, EffectArgumentsAreClampedAndSilentAtVolumeZero)
{
    LoadEffects();
    EngineSettings[11] = 50;   // master
    EngineSettings[12] = 80;   // sound
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float rate, volume, pan;
        float wantRate, wantVolume, wantPan;
    };
    for (Case c : {Case{1, 1, 0, 1, 0.4f, 0}, Case{10, 0.5f, 0.25f, 4, 0.2f, 0.25f}, Case{0.1f, -1, -3, 0.25f, 0, -1},
                   Case{nan, nan, nan, 0.25f, 0, -1}, Case{1.2f, 2, 5, 1.2f, 0.4f, 1}}) {
        SCOPED_TRACE(c.rate);
        TestClearSoundLog();
        PlaySoundEffect(2, c.rate, c.volume, c.pan);
        ASSERT_EQ(CountOps("resume"), 1);
        for (const TestSoundCall& call : TestSoundLog()) {
            float want = call.op == "rate" ? c.wantRate : call.op == "volume" ? c.wantVolume : c.wantPan;
            if (call.op == "rate" || call.op == "volume" || call.op == "pan") {
                EXPECT_FLOAT_EQ(call.value, want) << call.op;
            }
        }
    }

    int position = EffectsRingPosition;
    TestClearSoundLog();
    EngineSettings[12] = 0;
    PlaySoundEffect(2, 1, 1, 0);
    EngineSettings[12] = 100;
    PlaySoundEffect(99, 1, 1, 0);   // no such sound was loaded
    EXPECT_TRUE(TestSoundLog().empty());
    EXPECT_EQ(EffectsRingPosition, position);
}
