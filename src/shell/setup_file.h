// setup_file.h -- Setup.ini: the settings and control bindings kept between starts
#pragma once

// ---- Settings ------------------------------------------------------------------
constexpr int EngineSettingCount = 100;
// 1 full screen, 2 widescreen, 3 engine, 4 resolution choice, 5 width, 6 height, 7 slow system,
// 11 master, 12 sound, 13 music volume (percent), 14 audio back end
extern int EngineSettings[EngineSettingCount];

int LoadSetup();    // reads Setup.ini in the current (data) folder; 1 when it had an AudioDriver line
void SaveSetup();   // writes Files/Setup.ini from the game folder; the game folder stays current
