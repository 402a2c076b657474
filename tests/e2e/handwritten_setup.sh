#!/usr/bin/env bash
# A Setup.ini written by hand with odd lines is read by the game's rules and written back cleanly.
source "$(dirname "$0")/common.bash"
make_game_copy setup
printf '%s\r\n' '[Graphics]' 'fullscreen = yes' '  GFX Engine = dx7  ' 'Width = -1024' 'Height=768' 'ess=0' \
  '' '[Audio]' 'Master = 250' 'sound=abc' 'this line has no equals sign' '[Controls]' 'Key=0,87' 'Key=100,5' \
  'Key=3' >"$WORK/Files/Setup.ini"
start_game
wait_for_window
wait_for_log "Finished Loading" 60
log=$(log_text)
for line in $'\tReading Setup File' $'\tDirectX 7 Mode' $'\tAssuming Emergency Slow System values.' \
            $'\tRequested Resolution : 1024x768' $'\tUsing DirectX 7 Driver'; do
  grep -qxF -- "$line" <<<"$log" || fail "log lacks '$line'"
done
grep -qxF $'\tSetting to Fullscreen' <<<"$log" && fail "'yes' turned full screen on"
sleep 3
key Escape
sleep 1
key space
wait_exit 10
[ "$GAME_RC" = "0" ] || fail "exit code $GAME_RC"
s=$(setup_text)
for line in 'Fullscreen = False' 'GFX Engine = DX7' 'Master = 250' 'Sound = 0' 'Key=0,87' 'Key=3,3'; do
  grep -qxF -- "$line" <<<"$s" || fail "Setup.ini lacks '$line': $s"
done
grep -q '^ESS=1 ; This is a slow system' <<<"$s" || fail "slow-system line missing"
grep -qxF 'Key=100,5' <<<"$s" && fail "entry 100 was stored"
finish
