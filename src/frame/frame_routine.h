// frame_routine.h -- the common end of every frame: hot keys, overlay, notices, pacing, presenting
#pragma once
#include <string>
#include <vector>

struct ment {        // a notice
    int tick = 0;
    std::string txt;
    int c = 0;
};

// ---- Frame state -------------------------------------------------------------------
extern int FramePhase;
extern int FrameStartTime;
extern int SmoothedFps;
extern int CollectedCount;
extern int OverlayOn;
extern int SettingsOpen;
extern int PlayState;        // 0 title or other, 1 in a run, 2 pause menu
extern int MouseX, MouseY;
extern int MouseClicked1, MouseClicked2;
extern std::vector<ment> NoticeList;

int FinishFrame(int rate, int reserved, int showPointer);   // 99 when the pause menu chose Quit
void PostNotice(const std::string& text, int kind);
int Clock();
