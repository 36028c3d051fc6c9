#!/usr/bin/env bash
# Right click opens the menu; E&xit then Yes ends the process and removes Temp and Timerfile.
. "$(dirname "$0")/lib.sh"
e2e_setup
message_file "Later" "08/12/2026" "Tomorrow's note"
message_file "Garage" "07/12/2026" "Call the garage" 0 "07/12/2026" "02:30:00 pm" "03:00:00 pm"
start_tavrel "2026-12-07 10:00:00"
wait_tray_icon >/dev/null
wait_for 10 test -e "$FOLDER/Timerfile" || fail "timed message not registered"
tray_click right
wait_for 10 menu_open || fail "popup menu did not open"
shot menu
xdotool key x
id=$(wait_window "Terminate")
shot terminate
keys "$id" alt+y
wait_exit
[ ! -e "$FOLDER/Temp" ] || fail "Temp left behind"
[ ! -e "$FOLDER/Timerfile" ] || fail "Timerfile left behind"
[ -e "$FOLDER/Later.tvr" ] || fail "message file lost"
echo PASS
