#!/usr/bin/env bash
# The real binary from start to end: its window and title, the log header, the crash marker gone after
# loading, the title screen, Tab writing Setup.ini, Escape to the farewell window and a key to exit 0.
source "$(dirname "$0")/common.bash"
make_game_copy startup
start_game
wait_for_window
[ "$(xdotool getwindowname "$WIN")" = "$TITLE" ] || fail "window title"
wait_for_log "Finished Loading" 60
[ -e "$WORK/Files/252/crash.dat" ] && fail "crash.dat left after loading"
[ "$(window_size)" = "800x600" ] || fail "window is $(window_size), not 800x600"

expected_header=$'Tobrisk\'s Quorndale Engine\n----------------------------\nWeek #252\n----------------------------\n#252 : Vodod Pilko devuze the Vornspires\n----------------------------\n\nLoading'
[ "$(log_text | head -8)" = "$expected_header" ] || fail "log header: $(log_text | head -8)"
head -c 200 "$WORK/Files/Debug.txt" | grep -q $'\r$' || fail "log lines do not end in CR LF"

sleep 3   # the splash lasts 2.5 s from the display set-up
screenshot "$WORK/title.png"
b=$(brightness "$WORK/title.png")
note "title screen brightness $b"
awk -v b="$b" 'BEGIN { exit !(b > 0.05) }' || fail "title screen looks black"

[ -e "$WORK/Files/Setup.ini" ] && fail "Setup.ini written before Tab"
key Tab
sleep 1
[ -f "$WORK/Files/Setup.ini" ] || fail "Tab did not write Setup.ini"
setup_text | head -5 | tr '\n' '|' | grep -qxF '[Graphics]|Fullscreen = False|GFX Engine = OpenGL|Width=800|Height=600|' \
  || fail "Setup.ini: $(setup_text)"
key Tab
sleep 0.5

key Escape
for _ in $(seq 1 50); do [ "$(window_size)" = "640x480" ] && break; sleep 0.1; done
[ "$(window_size)" = "640x480" ] || fail "no 640x480 farewell window (size $(window_size))"
sleep 0.5
screenshot "$WORK/farewell.png"
[ -n "${KEEP_SHOTS:-}" ] && cp "$WORK"/*.png "$KEEP_SHOTS"/
key space
wait_exit 10
[ "$GAME_RC" = "0" ] || fail "exit code $GAME_RC"
[ "$(log_text | tail -1)" = "Play again, soon!!" ] || fail "log does not end with the goodbye"
log_text | grep -qxF "Closing Up" || fail "no 'Closing Up' in the log"
setup_text | grep -qxF "[Controls]" || fail "Setup.ini lacks its controls"
setup_text | grep -qxF "Key=10,90" || fail "Setup.ini lacks the default Z binding"
finish
