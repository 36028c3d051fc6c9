#!/usr/bin/env bash
# A tray that never takes the icon in (its host hangs): the composer comes up within seconds,
# as without any tray, so the program can still be reached and quit.
. "$(dirname "$0")/lib.sh"
e2e_setup
message_file "Later" "20/12/2026" "Not today"
kill -STOP "$TRAYER_PID"
start_tavrel "2026-12-07 10:00:00"
sleep 2
[ "$(window_count Tavrel)" = 0 ] || fail "the composer came up at once"
wait_window Tavrel 10 >/dev/null
shot composer
kill -CONT "$TRAYER_PID"
echo PASS
