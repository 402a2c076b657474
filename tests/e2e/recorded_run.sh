#!/usr/bin/env bash
# A whole run through the real binary: walk off the tower until a rock hits, enter a name, see the run
# recorded, leave through the farewell window, start again and find the run still there.
source "$(dirname "$0")/common.bash"
make_game_copy run
SCORES="$WORK/Files/252/scores.dat"
start_game
wait_for_window
wait_for_log "Finished Loading" 60
sleep 3
screenshot "$WORK/title-before.png"

# Left starts the run and walks the hero off the tower, where rocks come thick and fast.
keydown Left
sleep 20
keyup Left
# The run ends with a hit; the name entry waits behind a 1.5 s pause. Give the rocks time, then type.
for attempt in 1 2 3 4 5 6; do
  sleep 5
  key BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
  type_text "Tester"
  key Return
  sleep 1
  [ -s "$SCORES" ] && break
  note "no record yet (attempt $attempt)"
done
[ -s "$SCORES" ] || fail "no scores.dat after the run"
line1=$(tr -d '\r' <"$SCORES" | head -1)
note "record: $line1"
grep -q '^[0-9]*|Tester|0|[0-9]*|0|0|0|0$' <<<"$line1" || fail "record line 1: $line1"
[ "$(tr -d '\r' <"$SCORES" | sed -n 2p | tr '|' '\n' | wc -l)" = "30" ] || fail "record line 2 has not 30 values"
sleep 2
screenshot "$WORK/title-after.png"

key Escape; sleep 1; key space
wait_exit 10
[ "$GAME_RC" = "0" ] || fail "exit code $GAME_RC"
[ "$(tr -d '\r' <"$SCORES" | wc -l)" = "2" ] || fail "scores.dat does not hold exactly one record"

note "second start"
start_game
wait_for_window
wait_for_log "Finished Loading" 60
sleep 3
screenshot "$WORK/title-again.png"
key Escape; sleep 1; key space
wait_exit 10
tr -d '\r' <"$SCORES" | head -1 | grep -q '|Tester|' || fail "the run was lost on the second start"
[ -n "${KEEP_SHOTS:-}" ] && cp "$WORK"/*.png "$KEEP_SHOTS"/ 2>/dev/null
finish
