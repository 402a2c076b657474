# common.bash -- shared steps of the end-to-end tests: a private copy of the game folder, starting the real
# binary under X, driving it with xdotool and reading its files.
# Sourced by the tests; $1 of each test is build/game, $2 the source tree.

set -u
GAME_SRC="$1"
TITLE='#252 : Vodod Pilko devuze the Vornspires'
WORK=""
GAME_PID=""
GAME_RC=""

fail() { echo "FAIL: $*"; [ -n "$WORK" ] && [ -f "$WORK/Files/Debug.txt" ] && { echo "--- Debug.txt"; cat "$WORK/Files/Debug.txt"; }; stop_game; exit 1; }
note() { echo "-- $*"; }

# A private copy of the game folder, so tests never share Setup.ini or scores.dat.
make_game_copy() {
  WORK=$(mktemp -d "/tmp/vodod-e2e-$1.XXXX")
  cp -r "$GAME_SRC/vodod-pilko" "$GAME_SRC/Files" "$WORK/"
  rm -f "$WORK/Files/Setup.ini" "$WORK/Files/252/scores.dat" "$WORK/Files/Debug.txt" "$WORK/Files/252/crash.dat"
}

# Starts the game from another folder (it must find its own folder itself).
start_game() {
  GAME_RC=""
  rm -f "$WORK/Files/Debug.txt"
  (cd / && exec "$WORK/vodod-pilko") >"$WORK/stdout.txt" 2>&1 &
  GAME_PID=$!
}

stop_game() {
  if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then kill -9 "$GAME_PID" 2>/dev/null; wait "$GAME_PID" 2>/dev/null; fi
  GAME_PID=""
}

# wait_for_log "text" seconds: waits until Debug.txt holds a line equal to text.
wait_for_log() {
  local text="$1" secs="${2:-30}" i
  for i in $(seq 1 $((secs * 10))); do
    if [ -f "$WORK/Files/Debug.txt" ] && tr -d '\r' <"$WORK/Files/Debug.txt" | grep -qxF -- "$text"; then return 0; fi
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended while waiting for '$text'"
    sleep 0.1
  done
  game_stacks
  fail "no log line '$text' after ${secs}s"
}

# The id of the game's window (title matched exactly), read from the X server's window tree.
window_id() {
  local hex
  hex=$(xwininfo -root -tree 2>/dev/null | awk -v t="\"$TITLE\":" 'index($0, t) { print $1; exit }')
  [ -n "$hex" ] || return 1
  printf '%d\n' "$hex"
}

# Where the game is, when it is stuck: every thread's stack.
game_stacks() {
  [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null && command -v gdb >/dev/null &&
    { ps --ppid "$GAME_PID" -o pid,etime,args 2>/dev/null;
      timeout 30 gdb -p "$GAME_PID" -batch -ex 'thread apply all bt 12' 2>/dev/null | grep -E '^(#|Thread)'; }
}

wait_for_window() {
  local i
  local deadline=$((SECONDS + 60))
  while [ $SECONDS -lt $deadline ]; do
    WIN=$(window_id) && return 0
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before its window appeared"
    sleep 0.1
  done
  game_stacks
  fail "no window titled '$TITLE'"
}

# window_size: prints "WIDTHxHEIGHT" of the game's window
# The farewell screen opens a window of its own, so every step looks the window up again.
refresh_window() { local id; id=$(window_id) && WIN=$id; return 0; }

window_size() {
  refresh_window
  xdotool getwindowgeometry "$WIN" 2>/dev/null | awk '/Geometry/ {print $2}'
}

focus() { refresh_window; xdotool windowfocus --sync "$WIN" 2>/dev/null || xdotool windowfocus "$WIN" 2>/dev/null; }
key() { focus; xdotool key --delay 80 "$@"; }
keydown() { focus; xdotool keydown "$@"; }
keyup() { xdotool keyup "$@"; }
type_text() { focus; xdotool type --delay 120 "$1"; }

screenshot() { refresh_window; import -window "$WIN" "$1" 2>/dev/null || import -window root "$1"; }

# Mean brightness (0..1) of a picture, to tell a drawn screen from a black one.
brightness() { convert "$1" -colorspace Gray -format '%[fx:mean]' info:; }

# wait_exit seconds: waits for the game to end and sets GAME_RC.
wait_exit() {
  local secs="${1:-20}" i
  for i in $(seq 1 $((secs * 10))); do
    if ! kill -0 "$GAME_PID" 2>/dev/null; then wait "$GAME_PID"; GAME_RC=$?; GAME_PID=""; return 0; fi
    sleep 0.1
  done
  fail "the game did not end within ${secs}s"
}

log_text() { tr -d '\r' <"$WORK/Files/Debug.txt"; }
setup_text() { tr -d '\r' <"$WORK/Files/Setup.ini"; }

finish() { stop_game; rm -rf "$WORK"; echo "PASS"; exit 0; }
