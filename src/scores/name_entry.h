// name_entry.h -- entering the player's name after a run
#pragma once

// What the entry carries from frame to frame: the backdrop's eased colour and its ring offset.
struct NameEntryState {
    int r = 0, g = 0, b = 0;
    int ring = 0;
};

void EnterName();                                // edits PlayerName
bool NameEntryFrame(NameEntryState& state);      // draws one frame and edits; true once confirmed (no FinishFrame)
