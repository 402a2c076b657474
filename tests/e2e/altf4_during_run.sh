#!/usr/bin/env bash
# Alt+F4 in the middle of a run leads to the farewell window; the unfinished run leaves no record.
source "$(dirname "$0")/common.bash"
make_game_copy altf4
start_game
wait_for_window
wait_for_log "Finished Loading" 60
sleep 3
key Right          # any start control starts a run
sleep 1
keydown Right
sleep 1.5
keyup Right
screenshot "$WORK/run.png"
key alt+F4
for _ in $(seq 1 50); do [ "$(window_size)" = "640x480" ] && break; sleep 0.1; done
[ "$(window_size)" = "640x480" ] || fail "no farewell window after Alt+F4"
sleep 0.5
key x
wait_exit 10
[ "$GAME_RC" = "0" ] || fail "exit code $GAME_RC"
[ -f "$WORK/Files/Setup.ini" ] || fail "settings not saved"
if [ -f "$WORK/Files/252/scores.dat" ]; then
  [ -s "$WORK/Files/252/scores.dat" ] && fail "an unfinished run was recorded"
fi
finish
