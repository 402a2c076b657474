// sequencer.h -- sample sets and the step sequencer for generated music
#pragma once

void LoadMusicSamples();   // with the game's assets
void UpdateMusic();        // once per FinishFrame
