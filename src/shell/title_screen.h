// title_screen.h -- the home screen between runs
#pragma once
#include <string>

// ---- Title state -------------------------------------------------------------------
extern int CurrentLevel, CurrentGameMode, CurrentGameFlags;   // which score table; 0 in this game
extern int TitleFrameCounter;       // 0..47, moves the tunnel rings outward
extern int TitleBackdropColour[3];  // red, green, blue carried from ring to ring and frame to frame
extern int TitleSlide;              // 0..32, drives every slide-in; 0 again after each run
extern int TitleStartHeld;          // a start control of any player was held at the end of the last frame
extern int TitleStartLatch;         // after a run: blocks a start until every start control is released
extern int TitleEscapeLatch;        // after a run: blocks leaving until Escape is released

std::string StartPromptText();      // "Press Start (<input>) To Begin" for the first bound start control
int TitleScreenFrame();             // one frame of the title screen (may play a whole run); 1 to leave
[[noreturn]] void TitleScreen();    // the loop around TitleScreenFrame; leaves through Farewell
