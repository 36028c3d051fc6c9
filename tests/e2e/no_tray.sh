#!/usr/bin/env bash
# Without a notification area the composer is shown even though messages exist, "&Hide" leaves it
# reachable, and "E&xit" quits.
E2E_TRAY=0
. "$(dirname "$0")/lib.sh"
e2e_setup
message_file "Later" "20/12/2026" "Not today"
start_tavrel "2026-12-07 10:00:00"
id=$(wait_window Tavrel)
shot composer
keys "$id" alt+h
keys "$id" alt+x
q=$(wait_window Terminate)
shot terminate
[ "$(window_count Tavrel)" = 1 ] || fail "the composer went out of reach"
keys "$q" alt+y
wait_exit
[ ! -e "$FOLDER/Temp" ] && [ ! -e "$FOLDER/Timerfile" ] || fail "scratch files left behind"
[ -e "$FOLDER/Later.tvr" ] || fail "message file lost"
echo PASS
