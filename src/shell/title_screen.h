// title_screen.h -- the home screen between runs
#pragma once

// ---- Title state -------------------------------------------------------------------
extern int CurrentLevel, CurrentGameMode, CurrentGameFlags;   // which score table; 0 in this game

[[noreturn]] void TitleScreen();
