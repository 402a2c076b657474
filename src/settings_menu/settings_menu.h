// settings_menu.h -- the sliding settings panel
#pragma once

// ---- Settings menu state ---------------------------------------------------------
extern int SettingsPanelOffset;   // -300 closed

void SettingsMenu();              // once per FinishFrame
