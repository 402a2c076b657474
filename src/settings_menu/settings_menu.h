// settings_menu.h -- the sliding settings panel
#pragma once

// ---- Settings menu state ---------------------------------------------------------
extern int SettingsPanelOffset;   // vertical position of the panel; -300 when closed
