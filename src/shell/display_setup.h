// display_setup.h -- opening the display by the settings, the virtual area and the crash marker
#pragma once

// ---- Display state -----------------------------------------------------------
constexpr int DisplayModeTableSize = 2500;
extern int DisplayModeWidths[DisplayModeTableSize];   // from 1
extern int DisplayModeHeights[DisplayModeTableSize];
extern int DisplayModeCount;
extern int DisplayWidth, DisplayHeight;               // pixels
extern int VirtualWidth, VirtualHeight;               // the drawing area every screen uses

void ApplyGraphics();   // opens (or reopens) the display and reloads every asset

// The steps of ApplyGraphics, also run on their own by the tests
extern const char* const CrashMarkerFile;   // "crash.dat" in the game folder while the display is set up
bool IsUsableDisplaySize(int w, int h);     // 16:10, 16:9 or 4:3 by integer division
void BuildDisplayModeList();                // the usable sizes; settles DisplayWidth/Height and entries 4-6
void OpenConfiguredDisplay();               // engine, depth, crash marker, VidOpen, virtual area
void ChooseVirtualArea();                   // VirtualWidth/Height and entry 2 by the display's shape
