#!/usr/bin/env bash
# A display without OpenGL: the OpenGL start fails, the game comes up on slot 1 all the same, and the
# next start is on slot 1 straight away. A crash marker left by a dead start does the same.
source "$(dirname "$0")/common.bash"
make_game_copy fallback

note "a marker left by a start that died"
: >"$WORK/Files/252/crash.dat"
start_game
wait_for_window
wait_for_log "Finished Loading" 60
log_text | grep -qxF $'\tUsing DirectX 9 Driver' || fail "the crash marker did not move OpenGL to slot 1"
[ -e "$WORK/Files/252/crash.dat" ] && fail "crash.dat left after loading"
stop_game
rm -f "$WORK/Files/Setup.ini" "$WORK/Files/Debug.txt"

# A private X server without the GLX extension.
for n in $(seq 130 160); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then break; fi
done
Xvfb ":$n" -screen 0 1024x768x24 -extension GLX -nolisten tcp >/dev/null 2>&1 &
XPID=$!
trap 'kill $XPID 2>/dev/null' EXIT
export DISPLAY=":$n"
for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

start_game
wait_for_window
wait_for_log "Finished Loading" 60
log_text | grep -qxF $'\tUsing OpenGL Driver' || fail "OpenGL was not tried first"
log_text | grep -qxF $'\tUsing DirectX 9 Driver' || fail "no fallback to slot 1"
[ -e "$WORK/Files/252/crash.dat" ] && fail "crash.dat left after loading"
sleep 3
key Escape; sleep 1; key space
wait_exit 10
[ "$GAME_RC" = "0" ] || fail "exit code $GAME_RC"
setup_text | grep -qxF 'GFX Engine = DX9' || fail "the fallback was not kept: $(setup_text)"

note "second start"
start_game
wait_for_window
wait_for_log "Finished Loading" 60
log_text | grep -qxF $'\tUsing OpenGL Driver' && fail "the second start tried OpenGL again"
log_text | grep -qxF $'\tUsing DirectX 9 Driver' || fail "second start not on slot 1"
stop_game

finish
