#!/usr/bin/env bash
# No message files: the composer comes up with the placeholder; quitting by its close box works.
. "$(dirname "$0")/lib.sh"
e2e_setup
start_tavrel "2026-12-07 10:00:00"
id=$(wait_window "Tavrel")
shot composer
wait_tray_icon >/dev/null
running || fail "program ended"
python3 "$(dirname "$0")/wm_delete.py" "$id"
wait_exit
[ ! -e "$FOLDER/Temp" ] && [ ! -e "$FOLDER/Timerfile" ] || fail "scratch files left behind"
echo PASS
