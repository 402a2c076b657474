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
