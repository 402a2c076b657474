// settings_menu.cpp -- the sliding settings panel
#include "settings_menu/settings_menu.h"

int SettingsPanelOffset = -300;
