// game_loop.h -- one run of the game
#pragma once

constexpr int RunBestCount = 31;

// ---- Run state shared with other screens --------------------------------------------
extern int RunScore;
extern int RunBadges;
extern int RunBest[RunBestCount];
extern int MusicChannel;

// The hero and camera of the run being played, kept here so the rocks, the stars and the tests see them.
struct RunState {
    int column = 128, offsetX = 0, row = 2550, offsetY = 0;
    int speedX = 0;
    float speedY = 0.00048828125f;
    int animation = 0, facing = 1, groundTimer = 0, endCode = 0;
    float cameraX = 0, cameraY = 0;
    int previousCameraX = 0, previousCameraY = 0;
};
extern RunState Run;

void PlayRun();
void StartRun();        // the run-start steps
int PlayRunFrame();     // one frame of play; returns the end code (0 while playing)
void ShowRunEnd(int endCode);    // the end sound, the music stopped and the end banner over the last frame
void RecordRun(int endCode);     // the pause, the name entry and the run's record in ScoreList and scores.dat
void StartMusicTrack(int sound);
void SelectFont(int family, int step);
