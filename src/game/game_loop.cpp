// game_loop.cpp -- one run: the hero, the camera, the score, the end banner and the record of the run
#include "game/game_loop.h"

#include <string>

#include "frame/draw_helpers.h"
#include "frame/frame_routine.h"
#include "game/backdrop.h"
#include "game/game_assets.h"
#include "game/tower.h"
#include "input/controls.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/render.h"
#include "platform/system.h"
#include "scores/name_entry.h"
#include "scores/score_file.h"
#include "scores/timestamp.h"
#include "shell/common_assets.h"
#include "shell/display_setup.h"
#include "shell/setup_file.h"
#include "shell/startup.h"
#include "shell/title_screen.h"
#include "util/engine_test.h"

// ---- Run state shared with other screens --------------------------------------------
int RunScore = 0;
int RunBadges = 0;
int RunBest[RunBestCount];
int MusicChannel = 0;
RunState Run;

namespace {

constexpr int TowerHeight = 163200;        // 2550 rows of 64 pixels: height 0 stands on the base row
constexpr int TopScore = 163072;           // 2548 rows: the top of the tower
constexpr int ViewRange = 50;              // rows and columns drawn around the hero
constexpr float Gravity = 0.15f;
constexpr float FallLimit = 7.0f;
constexpr float JumpSpeed = -6.0f;
constexpr int MaxWalkSpeed = 6;
constexpr int GroundFrames = 4;            // a jump is still allowed for a few frames after leaving a ledge
constexpr int LandingWindow = -14;         // one frame of the fastest fall, so no ledge is ever passed
constexpr int BannerFont = 5;

int CameraTargetY() { return 64 * Run.row + Run.offsetY - int(0.75f * VirtualHeight); }

void RestartMusicIfEnded()
{
    if (MusicChannel == 0 || !SndPlaying(MusicChannel)) {
        MusicChannel = 0;
        StartMusicTrack(GameMusic);
    }
}

void EaseCamera()
{
    float targetX = 64 * Run.column + Run.offsetX - VirtualWidth / 2;
    float targetY = CameraTargetY();
    Run.cameraX = Run.cameraX - (Run.cameraX - targetX) / 12;
    Run.cameraY = Run.cameraY - (Run.cameraY - targetY) / 12;
}

void DrawTower()
{
    int w = VirtualWidth, h = VirtualHeight;
    int firstColumn = Run.column - ViewRange < 0 ? 0 : Run.column - ViewRange;
    int lastColumn = Run.column + ViewRange > TowerColumns - 1 ? TowerColumns - 1 : Run.column + ViewRange;
    int firstRow = Run.row - ViewRange < 0 ? 0 : Run.row - ViewRange;
    int lastRow = Run.row + ViewRange > TowerFloorRow ? TowerFloorRow : Run.row + ViewRange;
    for (int c = firstColumn; c <= lastColumn; c++) {
        for (int r = firstRow; r <= lastRow; r++) {
            int sx = int(64 * c - Run.cameraX);
            int sy = int(64 * r - Run.cameraY);
            if (sx <= -64 || sx >= w + 64 || sy <= -64 || sy >= h + 64) continue;
            if (r < TowerFloorRow) {
                int value = CellAt(r, c);
                if (value > 0) DrawCountedImage(BlockImage, sx, sy, value - 1, 1);
            } else {
                DrawCountedImage(FloorImage, sx, sy, 0, 1);
            }
        }
    }
}

void DrawHero()
{
    // The mirrored frame is drawn 128 pixels further right so it covers the same square.
    int mirror = Run.facing == -1 ? 128 : 0;
    SetDrawScale(Run.facing == -1 ? -1.0f : 1.0f, 1.0f);
    int x = int(64 * Run.column + Run.offsetX - 32 + mirror - Run.cameraX);
    int y = int(64 * Run.row + Run.offsetY - 64 - Run.cameraY);
    DrawCountedImage(HeroImage, x, y, Run.animation / 3, 1);
}

void ApplyControls(bool left, bool right)
{
    if (left) {
        Run.speedX--;
        Run.animation++;
    }
    if (right) {
        Run.speedX++;
        Run.animation++;
    }
    if (!left && Run.speedX < 0) Run.speedX++;
    if (!right && Run.speedX > 0) Run.speedX--;
    if (Run.speedX < -MaxWalkSpeed) Run.speedX = -MaxWalkSpeed;
    if (Run.speedX > MaxWalkSpeed) Run.speedX = MaxWalkSpeed;
    if (Run.speedX < 0) Run.facing = -1;
    if (Run.speedX > 0) Run.facing = 1;
    if (Run.speedX == 0) Run.animation = 0;
    if (Run.animation > 20) Run.animation = 0;
    if (Run.speedY < 0) Run.animation = 33;   // the rising picture
    if (Run.speedY > 0) Run.animation = 36;   // the falling picture
}

void Land()
{
    Run.offsetY = 0;
    Run.speedY = 0;
    Run.groundTimer = GroundFrames;
}

void MoveHero()
{
    Run.offsetX = Run.offsetX + 2 * Run.speedX;
    // The sum is taken exactly before truncating: rounding it to single precision first can turn
    // -46.9999981 into -47 and add a pixel to a jump.
    Run.offsetY = int(double(Run.offsetY) + 2.0 * double(Run.speedY));
    if (Run.offsetX < -32) {
        Run.offsetX += 64;
        Run.column--;
    }
    if (Run.offsetX > 32) {
        Run.offsetX -= 64;
        Run.column++;
    }
    Run.speedY = Run.speedY + Gravity;
    if (Run.speedY > FallLimit) Run.speedY = FallLimit;
    if (Run.groundTimer > 0) Run.groundTimer--;

    if (Run.row == TowerBaseRow && Run.offsetY > LandingWindow && Run.speedY > -1) Land();

    if (Run.offsetY < -64) {
        Run.offsetY += 64;
        Run.row--;
    }
    if (Run.offsetY > 0) {
        Run.offsetY -= 64;
        Run.row++;
    }

    // Ledges only catch a hero coming down; walls never stop him.
    int below = Run.row + 1;
    if (Run.column >= 0 && Run.column < TowerColumns && below >= 0 && below < TowerBaseRow &&
        IsLedge(CellAt(below, Run.column)) && Run.speedY > -1 && Run.offsetY > LandingWindow)
        Land();
}

int HeroHeight() { return TowerHeight - (64 * Run.row + Run.offsetY); }

void DrawScores(int height)
{
    SelectFont(2, 5);
    SetDrawColour(100, 255, 100, 0.7f);
    DrawTextAligned(int(0.3f * VirtualWidth), VirtualHeight - 2, "Highest : " + std::to_string(RunScore), 1, 2);
    DrawTextAligned(int(0.7f * VirtualWidth), VirtualHeight - 2, "Current : " + std::to_string(height), 1, 2);
}

void DrawBannerText(const std::string& text, int x, int y, int r, int g, int b)
{
    ResetDrawState();
    SetDrawColour(r, g, b, 1.0f);
    DrawTextAligned(x, y, text, 1, 1);
}

// The end banner over the last frame of play: a thick white outline, a dark rim and the yellow words.
void ShowEndBanner(int endCode)
{
    int cx = VirtualWidth / 2, cy = VirtualHeight / 2;
    GfxSetFont(FontTable[BannerFont]);
    for (int dx = -3; dx <= 3; dx++)
        for (int dy = -3; dy <= 3; dy++) DrawBannerText("Game Over", cx + dx, cy + dy, 255, 255, 255);
    for (int dx = -2; dx <= 2; dx++)
        for (int dy = -2; dy <= 2; dy++) DrawBannerText("Game Over", cx + dx, cy + dy, 8, 8, 8);
    DrawBannerText("Game Over", cx, cy, 255, 255, 0);
    if (endCode == 2) DrawBannerText("Reached the Top!", cx, cy + 100, 0, 255, 0);
    if (endCode == 1) DrawBannerText("Pilko Hit a Rock!", cx, cy + 100, 255, 0, 0);
}

}  // namespace

void ShowRunEnd(int endCode)
{
    PlaySoundEffect(5, 1, 1, 0);
    if (MusicChannel != 0 && SndPlaying(MusicChannel)) {
        SndStop(MusicChannel);
        MusicChannel = 0;
    }
    VidPresent(true);
    ShowEndBanner(endCode);
    VidPresent(true);
}

void RecordRun(int endCode)
{
    SysSleep(1500);
    PlayState = 0;
    EnterName();

    Scores record;
    record.Score = int64_t(RunScore);
    record.Timestamp = MakeTimestamp("");
    record.Badges = RunBadges;
    record.Name = PlayerName;
    for (int i = 1; i < RunBestCount && i < ScoreBestCount; i++) record.Best[i] = RunBest[i];
    record.Level = CurrentLevel;
    record.GameMode = CurrentGameMode;
    record.GameFlags = CurrentGameFlags;
    record.Quit = endCode == 99 ? 1 : 0;
    AddScoreRecord(record);
}

void StartRun()
{
    RunScore = 0;
    RunBadges = 0;
    for (int i = 1; i < RunBestCount; i++) RunBest[i] = 0;

    RockList.clear();
    StarList.clear();
    CreateStars();

    SysSeedRandom(Clock());
    StartTower();

    Run = RunState{};
    Run.cameraX = 64 * 128 - VirtualWidth / 2;
    Run.cameraY = int(TowerHeight - 0.75f * VirtualHeight);
    Run.previousCameraX = int(Run.cameraX);
    Run.previousCameraY = int(Run.cameraY);

    ScatterStars();
    if (MusicChannel == 0) StartMusicTrack(GameMusic);
}

int PlayRunFrame()
{
    BeginFrame(1);
    RestartMusicIfEnded();

    ResetDrawState();
    DrawBackdropGradient();
    ResetDrawState();
    UpdateStars();
    Run.previousCameraX = int(Run.cameraX);
    Run.previousCameraY = int(Run.cameraY);

    AdvanceTower();

    ResetDrawState();
    EaseCamera();
    DrawTower();

    SpawnRock();
    if (UpdateRocks()) Run.endCode = 1;

    ResetDrawState();
    DrawHero();

    bool left = ControlDown(SlotLeft, 1) != 0;
    bool right = ControlDown(SlotRight, 1) != 0;
    bool jump = ControlDown(SlotUp, 1) != 0;
    ApplyControls(left, right);
    MoveHero();

    ResetDrawState();
    int height = HeroHeight();
    if (height > RunScore) RunScore = height;
    DrawScores(height);

    if (RunScore >= TopScore) Run.endCode = 2;

    if (jump && Run.groundTimer > 0) {
        Run.speedY = JumpSpeed;
        Run.groundTimer = 0;
        int sound = SysRandInt(2, 3);
        float rate = SysRandReal(0.8f, 1.2f);
        PlaySoundEffect(sound, rate, 1, 0);
    }

    if (FinishFrame(TargetFrameRate, 0, PointerMode) == 99) Run.endCode = 99;
    return Run.endCode;
}

void PlayRun()
{
    StartRun();
    int endCode = 0;
    while (endCode == 0) endCode = PlayRunFrame();
    ShowRunEnd(endCode);
    RecordRun(endCode);
}

void StartMusicTrack(int sound)
{
    if (EngineSettings[13] <= 0) return;
    if (MusicChannel != 0) {
        SndStop(MusicChannel);
        MusicChannel = 0;
    }
    MusicChannel = SndAllocChannel();
    SndCue(sound, MusicChannel);
    SndSetVolume(MusicChannel, float(int64_t(EngineSettings[11]) * EngineSettings[13]) / 100.0f / 100.0f);
    SndResume(MusicChannel);
}

void SelectFont(int family, int step)
{
    if (family < 1 || family > 3) family = 1;
    if (step < 0 || step > 8) step = 0;
    GfxSetFont(SizedFontTable[(family - 1) * 10 + step]);
}
