// name_entry.h -- entering the player's name after a run
#pragma once

void EnterName();   // edits PlayerName
