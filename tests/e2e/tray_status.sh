#!/usr/bin/env bash
# "S&tatus" without timed messages ahead: one box "Status " plus today's date.
. "$(dirname "$0")/lib.sh"
e2e_setup
message_file "Later" "20/12/2026" "Not today"
start_tavrel "2026-12-07 10:00:00"
wait_tray_icon >/dev/null
tray_click right
wait_for 10 menu_open || fail "popup menu did not open"
xdotool key t
id=$(wait_window "Status 07/12/2026")
shot status
keys "$id" Return
wait_gone "Status 07/12/2026"
[ -z "$(window_id 'Status for 07/12/2026')" ] || fail "an entry box without timed messages"
running || fail "program ended"
echo PASS
