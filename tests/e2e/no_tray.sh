#!/usr/bin/env bash
# Without a notification area the composer is shown even though messages exist, and "E&xit" quits.
E2E_TRAY=0
. "$(dirname "$0")/lib.sh"
e2e_setup
message_file "Later" "20/12/2026" "Not today"
start_tavrel "2026-12-07 10:00:00"
id=$(wait_window Tavrel)
shot composer
keys "$id" alt+x
q=$(wait_window Terminate)
shot terminate
keys "$q" alt+y
wait_exit
[ ! -e "$FOLDER/Temp" ] && [ ! -e "$FOLDER/Timerfile" ] || fail "scratch files left behind"
[ -e "$FOLDER/Later.tvr" ] || fail "message file lost"
echo PASS
