#!/usr/bin/env bash
# A message due today whose time window closed before the start: the question titled "Tavrel";
# Yes shows the message box.
. "$(dirname "$0")/lib.sh"
e2e_setup
message_file "Dentist" "07/12/2026" "Ring the dentist" 0 "07/12/2026" "09:00:00 am" "10:00:00 am"
start_tavrel "2026-12-07 11:30:00"
id=$(wait_window Tavrel)
shot question
reminder_keys "$id" y
id=$(wait_window "Tavrel has a message for you:")
shot message
reminder_keys "$id" Return
wait_gone "Tavrel has a message for you:"
wait_tray_icon >/dev/null
[ "$(window_count Tavrel)" = 0 ] || fail "composer shown although a message exists"
running || fail "program ended"
echo PASS
