// game_loop_test.cpp -- a run driven frame by frame: hero physics, drawing, camera, music, the end and the record
#include <algorithm>
#include <set>
#include <vector>

#include "frame/frame_routine.h"
#include "game/tower.h"
#include "game_fixture.h"
#include "platform/input.h"
#include "platform/system.h"
#include "scores/score_file.h"
#include "shell/title_screen.h"

using namespace game_fixture;

namespace {

constexpr int KeyLeft = 37, KeyUp = 38, KeyRight = 39;

// The hero's frames in distinct colours, solid in the right half only, so a sampled pixel tells which
// frame was drawn and which way it faced.
constexpr Pixel HeroColour(int frame) { return 0xFF000000u | Pixel(40 + 8 * frame) << 16 | 200u << 8 | 90u; }
constexpr Pixel BlockColour(int frame) { return 0xFF000000u | Pixel(30 + 12 * frame) << 16 | 20u << 8 | 250u; }
constexpr Pixel FloorColour = 0xFF10F010;

struct Keys {
    bool left = false, right = false, up = false;
};

void Hold(Keys k)
{
    k.left ? TestKeyDown(KeyLeft) : TestKeyUp(KeyLeft);
    k.right ? TestKeyDown(KeyRight) : TestKeyUp(KeyRight);
    k.up ? TestKeyDown(KeyUp) : TestKeyUp(KeyUp);
}

int Step(Keys k = {})
{
    Hold(k);
    return PlayRunFrame();
}

int Height() { return 163200 - (64 * ::Run.row + ::Run.offsetY); }
int WorldX() { return 64 * ::Run.column + ::Run.offsetX; }

void SetCell(int r, int c, int value) { TowerGrid[r * TowerStride + c] = value; }

// Sets the virtual clock, and the frame routine's idea of when the last frame ended with it, so the
// pacing does not first wait for a clock that an earlier test left further on.
void SetClock(int ms)
{
    TestSetClock(ms);
    FrameStartTime = ms;
}

class GameLoop : public ::testing::Test {
protected:
    void SetUp() override { Open(320, 240); }
    void Open(int w, int h)
    {
        OpenGameDisplay(w, h);
        EngineSettings[11] = 100;
        EngineSettings[12] = 100;
        EngineSettings[13] = 0;   // music off unless a test wants it
        OverlayOn = 0;
        MusicChannel = 0;
        PlayState = 1;
        TestReleaseAll();
        SysChangeDir(MakeScratchDir("game_loop"));
    }
    void TearDown() override
    {
        TestSetInputScript(nullptr);
        TestReleaseAll();
        VidClose();
    }

    // A run on an empty tower: only the floor, and whatever cells the test sets.
    void StartOnEmptyTower(int clock = 5000)
    {
        SetClock(clock);
        StartRun();
        ClearTower();
    }
};

// The pixel tests draw at one virtual unit per pixel.
class GameLoopPixels : public GameLoop {
protected:
    void SetUp() override
    {
        Open(1280, 960);
        GfxSetClsColor(0, 0, 0);
        HeroImage = MakeStrip("hero_colours", 128, 128, 13,
                              [](int f, int x, int) { return x >= 64 ? HeroColour(f) : Pixel(0); });
        BlockImage = MakeStrip("blocks", 64, 64, 16, [](int f, int, int) { return BlockColour(f); });
        FloorImage = MakeStrip("floor", 64, 64, 1, [](int, int, int) { return FloorColour; });
    }
    static Pixel At(int x, int y) { return GfxGrabPixmap(x, y, 1, 1).pixels[0]; }
    // The hero frame whose colour is at (x, y), or -1
    static int HeroFrameAt(int x, int y)
    {
        for (int f = 0; f < 13; f++)
            if (At(x, y) == HeroColour(f)) return f;
        return -1;
    }
};

}  // namespace

// The run starts with a tiny fall that the floor cancels: frame 0, the falling picture once, then standing.
TEST_F(GameLoopPixels, FirstFramesAndMirroredHero)
{
    SetClock(5000);
    StartRun();
    EXPECT_FLOAT_EQ(::Run.cameraX, 8192 - 640);
    EXPECT_FLOAT_EQ(::Run.cameraY, 163200 - 720);
    // At rest the hero's picture covers x 608..735, y 656..783; his solid half is the right one.
    std::vector<int> shown;
    for (int i = 0; i < 4; i++) {
        ASSERT_EQ(Step(), 0);
        shown.push_back(HeroFrameAt(700, 720));
        EXPECT_EQ(HeroFrameAt(640, 720), -1);
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 12, 0, 0}));
    EXPECT_EQ(Height(), 0);

    // Walking left turns him round: the same square, the solid half now on the left.
    Step({true, false, false});
    Step({true, false, false});
    EXPECT_EQ(::Run.facing, -1);
    EXPECT_GE(HeroFrameAt(640, 720), 0);
    EXPECT_EQ(HeroFrameAt(720, 720), -1);
}

TEST_F(GameLoopPixels, TowerCellsAndFloorAreDrawnAroundTheHero)
{
    StartOnEmptyTower();
    SetCell(2549, 125, 3);    // a ledge of type 2: frame 2
    SetCell(2549, 126, 12);   // a wall of type 3: frame 11
    SetCell(2550, 120, 16);
    Step();
    // Cell (r, c) is drawn at (64c - 7552, 64r - 162480).
    EXPECT_EQ(At(448 + 30, 656 + 30), BlockColour(2));
    EXPECT_EQ(At(512 + 30, 656 + 30), BlockColour(11));
    EXPECT_EQ(At(128 + 30, 720 + 30), BlockColour(15));
    EXPECT_NE(At(384 + 30, 656 + 30) & 0x00FF0000, BlockColour(0) & 0x00FF0000) << "an empty cell";
    EXPECT_EQ(At(10, 784 + 30), FloorColour);
    EXPECT_EQ(At(1270, 784 + 30), FloorColour);
}

TEST_F(GameLoopPixels, EndBannerNamesHowTheRunEnded)
{
    struct Case {
        int endCode;
        bool red, green;
    };
    auto count = [](const Pixmap& p, auto test) {
        int n = 0;
        for (Pixel px : p.pixels) n += test((px >> 16) & 255, (px >> 8) & 255, px & 255) ? 1 : 0;
        return n;
    };
    for (Case c : {Case{1, true, false}, Case{2, false, true}, Case{99, false, false}}) {
        SCOPED_TRACE(c.endCode);
        StartOnEmptyTower();
        Step();
        int presents = TestPresentCount();
        ShowRunEnd(c.endCode);
        EXPECT_EQ(TestPresentCount(), presents + 2);
        Pixmap banner = GfxGrabPixmap(340, 420, 600, 120);
        Pixmap below = GfxGrabPixmap(340, 545, 600, 70);
        EXPECT_GT(count(banner, [](int r, int g, int b) { return r > 200 && g > 200 && b < 60; }), 20) << "yellow words";
        EXPECT_GT(count(banner, [](int r, int g, int b) { return r < 20 && g < 20 && b < 20; }), 20) << "dark rim";
        int red = count(below, [](int r, int g, int b) { return r > 200 && g < 60 && b < 60; });
        int green = count(below, [](int r, int g, int b) { return r < 60 && g > 200 && b < 60; });
        EXPECT_EQ(red > 20, c.red);
        EXPECT_EQ(green > 20, c.green);
    }
}

TEST_F(GameLoop, StandingJumpRises225PixelsWithItsTop37FramesLater)
{
    LoadEffects();
    StartOnEmptyTower();
    for (int i = 0; i < 3; i++) Step();
    ASSERT_EQ(::Run.groundTimer, 4);
    TestClearSoundLog();
    Step({false, false, true});
    ASSERT_FLOAT_EQ(::Run.speedY, -6);
    std::vector<int> heights;
    for (int i = 0; i < 120; i++) {
        Step();
        heights.push_back(Height());
    }
    auto top = std::max_element(heights.begin(), heights.end());
    EXPECT_EQ(*top, 225);
    EXPECT_EQ(top - heights.begin() + 1, 37) << "frames after the jump";
    EXPECT_EQ(RunScore, 225);
    EXPECT_EQ(heights.back(), 0);
    EXPECT_EQ(::Run.groundTimer, 4);

    // One jump sound: effect 2 or 3 at a rate of 0.8 to 1.2
    int cues = 0;
    for (const TestSoundCall& call : TestSoundLog()) {
        if (call.op == "cue") {
            cues++;
            EXPECT_TRUE(call.sound == SoundEffects[2] || call.sound == SoundEffects[3]);
        }
        if (call.op == "rate") {
            EXPECT_TRUE(call.value >= 0.8f && call.value < 1.2f) << call.value;
        }
    }
    EXPECT_EQ(cues, 1);
}

TEST_F(GameLoop, HoldingJumpJumpsAgainOnLanding)
{
    LoadEffects();
    StartOnEmptyTower();
    TestClearSoundLog();
    std::vector<int> jumps;
    for (int frame = 1; frame <= 300; frame++) {
        Step({false, false, true});
        if (::Run.speedY == -6.0f) jumps.push_back(frame);
        ASSERT_FALSE(::Run.speedY == 0 && Height() == 0) << "stood still at frame " << frame;
    }
    ASSERT_GE(jumps.size(), 3u);
    EXPECT_EQ(jumps[0], 1);
    for (size_t i = 2; i < jumps.size(); i++) EXPECT_EQ(jumps[i] - jumps[i - 1], jumps[1] - jumps[0]);
    std::set<int> sounds;
    for (const TestSoundCall& call : TestSoundLog())
        if (call.op == "cue") sounds.insert(call.sound);
    EXPECT_EQ(sounds, (std::set<int>{SoundEffects[2], SoundEffects[3]}));
}

TEST_F(GameLoop, WalkingSpeedsUpToSixAndSlowsDown)
{
    StartOnEmptyTower();
    Step();
    Step();
    // The walk cycle: the counter runs 1, 2 ... 20, 0, 1 ..., showing frames 0 to 6.
    for (int frame = 1; frame <= 45; frame++) {
        Step({false, true, false});
        ASSERT_EQ(::Run.animation, frame % 21) << frame;
    }
    for (int i = 0; i < 6; i++) Step();
    ASSERT_EQ(::Run.speedX, 0);
    struct Case {
        Keys keys;
        int speed;
    };
    const Keys right{false, true, false}, left{true, false, false}, both{true, true, false}, none{};
    std::vector<Case> script = {{right, 1}, {right, 2}, {right, 3}, {right, 4}, {right, 5}, {right, 6}, {right, 6},
                                {both, 6},  {both, 6},  {none, 5},  {none, 4},  {left, 2},  {left, 0},  {left, -1},
                                {left, -2}, {none, -1}, {none, 0},  {none, 0}};
    for (size_t i = 0; i < script.size(); i++) {
        SCOPED_TRACE(i);
        int x = WorldX();
        int animation = ::Run.animation;
        Step(script[i].keys);
        EXPECT_EQ(::Run.speedX, script[i].speed);
        EXPECT_EQ(WorldX() - x, 2 * script[i].speed);
        if (script[i].keys.left && script[i].keys.right) {
            EXPECT_EQ(::Run.animation, (animation + 2) % 21);
        }
        if (script[i].speed == 0) {
            EXPECT_EQ(::Run.animation, 0);
        }
    }
    EXPECT_EQ(::Run.facing, -1) << "standing still keeps the last direction";
    EXPECT_EQ(Height(), 0);
}

// The hero stands on a lone ledge and walks off it to the right.
TEST_F(GameLoop, JumpStillPossibleForThreeFramesAfterWalkingOffALedge)
{
    auto standOnLedge = [this] {
        StartOnEmptyTower();
        SetCell(2541, 128, 5);
        ::Run.row = 2540;
        ::Run.offsetY = 0;
        ::Run.speedY = 0;
        Step();
        ASSERT_EQ(::Run.groundTimer, 4);
        ASSERT_EQ(::Run.row, 2540);
    };
    standOnLedge();
    int framesToEdge = 0;
    while (::Run.column == 128) {
        Step({false, true, false});
        framesToEdge++;
        ASSERT_LT(framesToEdge, 20);
    }
    for (int late = 0; late <= 3; late++) {
        SCOPED_TRACE(late);
        standOnLedge();
        for (int i = 1; i < framesToEdge + late; i++) Step({false, true, false});
        ASSERT_EQ(::Run.column, late == 0 ? 128 : 129);
        Step({false, true, true});
        EXPECT_EQ(::Run.speedY == -6.0f, late < 3);
    }
}

// Dropped at the greatest speed from every offset within a row, the hero always lands.
TEST_F(GameLoop, FallingAtTopSpeedNeverPassesALedgeOrTheFloor)
{
    StartOnEmptyTower();
    SetCell(2530, 128, 1);
    struct Case {
        int startRow, restRow;
    };
    for (Case c : {Case{2520, 2529}, Case{2540, 2550}}) {
        for (int offset = 0; offset > -64; offset--) {
            SCOPED_TRACE(offset);
            ::Run.column = 128;
            ::Run.offsetX = 0;
            ::Run.row = c.startRow;
            ::Run.offsetY = offset;
            ::Run.speedY = 7;
            int frames = 0;
            while (::Run.speedY != 0 && frames < 100) {
                Step();
                frames++;
                ASSERT_LE(::Run.row, c.restRow);
            }
            EXPECT_EQ(::Run.row, c.restRow);
            EXPECT_EQ(::Run.offsetY, 0);
            EXPECT_EQ(::Run.groundTimer, 4);
        }
    }
}

// Ledges only catch a falling hero and walls never stop him: he jumps up through a wall and a ledge and
// lands on the ledge.
TEST_F(GameLoop, JumpsThroughAWallAndALedgeOntoTheLedge)
{
    StartOnEmptyTower();
    SetCell(2549, 128, 9);
    SetCell(2548, 128, 1);
    for (int i = 0; i < 3; i++) Step();
    Step({false, false, true});
    for (int i = 0; i < 100; i++) Step();
    EXPECT_EQ(::Run.row, 2547);
    EXPECT_EQ(::Run.offsetY, 0);
    EXPECT_EQ(Height(), 192);
    EXPECT_EQ(RunScore, 225) << "the score is the greatest height";
}

TEST_F(GameLoop, CameraEasesATwelfthOfTheWay)
{
    StartOnEmptyTower();
    Step();
    float targetX = ::Run.cameraX, targetY = ::Run.cameraY;
    ::Run.cameraX = targetX + 120;
    ::Run.cameraY = targetY - 240;
    Step();
    EXPECT_FLOAT_EQ(::Run.cameraX, targetX + 110);
    EXPECT_FLOAT_EQ(::Run.cameraY, targetY - 220);
    EXPECT_EQ(::Run.previousCameraX, int(targetX + 120));
}

TEST_F(GameLoop, TopOfTheTowerWinsOverARockInTheSameFrame)
{
    MakeHeroAndRock();
    struct Case {
        int row;
        int endCode;
    };
    for (Case c : {Case{1500, 1}, Case{2, 2}}) {
        SCOPED_TRACE(c.row);
        StartOnEmptyTower();
        ::Run.row = c.row;
        ::Run.offsetY = -1;
        ::Run.speedY = -6;   // rising: 12 pixels higher after this frame
        ck rock;
        rock.x = 64 * 128 + 32 + 64;   // on the hero's solid half
        rock.y = 64 * c.row;
        RockList.push_front(rock);
        EXPECT_EQ(Step(), c.endCode);
    }
}

TEST_F(GameLoop, SilentRunWithMusicOff)
{
    LoadEffects();
    GameMusic = SoundEffects[2];
    TestClearSoundLog();
    StartOnEmptyTower();
    for (int i = 0; i < 20; i++) Step();
    EXPECT_EQ(MusicChannel, 0);
    EXPECT_EQ(CountOps("alloc"), 0);
    EXPECT_EQ(CountOps("cue", GameMusic), 0);
}

TEST_F(GameLoop, MusicStartsRestartsAndStopsAtTheEnd)
{
    LoadEffects();
    GameMusic = SoundEffects[3];
    EngineSettings[11] = 80;
    EngineSettings[13] = 50;
    TestClearSoundLog();
    StartOnEmptyTower();
    ASSERT_NE(MusicChannel, 0);
    EXPECT_EQ(CountOps("cue", GameMusic), 1);
    for (const TestSoundCall& call : TestSoundLog())
        if (call.op == "volume") {
            EXPECT_FLOAT_EQ(call.value, 0.4f);
        }
    for (int i = 0; i < 5; i++) Step();
    EXPECT_EQ(CountOps("cue", GameMusic), 1) << "a playing track is left alone";

    int first = MusicChannel;
    TestFinishSound(first);
    Step();
    EXPECT_EQ(CountOps("cue", GameMusic), 2);
    EXPECT_NE(MusicChannel, 0);
    EXPECT_TRUE(SndPlaying(MusicChannel));

    int playing = MusicChannel;
    TestClearSoundLog();
    ShowRunEnd(1);
    EXPECT_EQ(MusicChannel, 0);
    EXPECT_FALSE(SndPlaying(playing));
    EXPECT_EQ(CountOps("cue", SoundEffects[5]), 1);
}

// Same seed, same input: the same hero path and the same score, frame by frame.
TEST_F(GameLoop, ReplayGivesTheSameRun)
{
    MakeHeroAndRock();
    // The stars are made before the run seeds the random source, so the test seeds it first too.
    auto play = [] {
        SysSeedRandom(99);
        SetClock(424242);
        StartRun();
        std::vector<int> path;
        int endCode = 0;
        for (int frame = 0; frame < 900 && endCode == 0; frame++) {
            Keys k;
            k.right = (frame / 40) % 3 != 2;
            k.left = (frame / 40) % 3 == 2;
            k.up = frame % 7 < 2;
            endCode = Step(k);
            path.insert(path.end(), {::Run.column, ::Run.offsetX, ::Run.row, ::Run.offsetY});
        }
        path.push_back(RunScore);
        path.push_back(endCode);
        return path;
    };
    std::vector<int> first = play();
    std::vector<int> second = play();
    EXPECT_GT(first[first.size() - 2], 0) << "he got off the ground";
    EXPECT_EQ(first, second);
}

// A whole run: a jump, then standing until a rock falls on him, the name entry and the record.
TEST_F(GameLoop, WholeRunEndsWithARecord)
{
    MakeHeroAndRock();
    LoadEffects();
    PlayerName.clear();
    ScoreList.clear();
    CurrentLevel = CurrentGameMode = CurrentGameFlags = 0;
    SetClock(777);
    int runStartClock = 777;
    int named = 0;
    TestSetInputScript([&](int ms) {
        if (PlayState == 1 && ms < runStartClock + 100) {
            TestKeyDown(KeyUp);   // one jump at the start
        } else if (PlayState == 1) {
            TestKeyUp(KeyUp);
            // Should no rock have come down within a minute, drop one on him.
            if (ms > runStartClock + 60000 && RockList.empty()) {
                ck rock;
                rock.x = 64 * ::Run.column + ::Run.offsetX + 32 + 64;
                rock.y = 64 * ::Run.row + ::Run.offsetY;
                RockList.push_front(rock);
            }
        } else if (named == 0) {
            named = ms;
        } else if (ms > named + 200 && ms < named + 400) {
            if (PlayerName.empty()) TestTypeChar('Q');
            TestKeyDown(13);
        } else if (ms >= named + 400) {
            TestKeyUp(13);
        }
    });
    TestClearSoundLog();
    PlayRun();
    TestSetInputScript(nullptr);

    EXPECT_EQ(PlayState, 0);
    EXPECT_EQ(MusicChannel, 0);
    EXPECT_EQ(CountOps("cue", SoundEffects[4]), 1) << "the hit";
    EXPECT_EQ(CountOps("cue", SoundEffects[5]), 1) << "the end";
    ASSERT_EQ(ScoreList.size(), 1u);
    const Scores& record = ScoreList.front();
    EXPECT_EQ(record.Score, 225);
    EXPECT_EQ(record.Name, "Q");
    EXPECT_EQ(record.Quit, 0);
    EXPECT_GT(record.Timestamp, 0);
    EXPECT_TRUE(SysFileExists("scores.dat"));
}

TEST_F(GameLoop, QuitIsRecorded)
{
    PlayerName = "Ada";
    ScoreList.clear();
    RunScore = 640;
    RunBest[3] = 7;
    CurrentLevel = 2;
    int first = 0;
    TestSetInputScript([&](int ms) {
        if (first == 0) first = ms;
        if (ms > first + 100 && ms < first + 200) TestKeyDown(13);
        if (ms >= first + 200) TestKeyUp(13);
    });
    RecordRun(99);
    TestSetInputScript(nullptr);
    ASSERT_EQ(ScoreList.size(), 1u);
    EXPECT_EQ(ScoreList.front().Quit, 1);
    EXPECT_EQ(ScoreList.front().Score, 640);
    EXPECT_EQ(ScoreList.front().Best[3], 7);
    EXPECT_EQ(ScoreList.front().Level, 2);
    EXPECT_EQ(ScoreList.front().Name, "Ada");
}
