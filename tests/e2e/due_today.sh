#!/usr/bin/env bash
# A message due today is shown before anything else; afterwards the program sits in the tray,
# and a double-click on the icon brings up the composer.
. "$(dirname "$0")/lib.sh"
e2e_setup
message_file "Buy milk" "07/12/2026" "Semi-skimmed, two litres"
start_tavrel "2026-12-07 10:00:00"
id=$(wait_window "Tavrel has a message for you:")
[ -z "$(window_id Tavrel)" ] || fail "composer shown before the message"
shot message
reminder_keys "$id" Return
wait_gone "Tavrel has a message for you:"
wait_tray_icon >/dev/null
sleep 0.5
[ -z "$(window_id Tavrel)" ] || fail "composer shown although a message exists"
running || fail "program ended"
shot tray
tray_click double
wait_window "Tavrel" >/dev/null
shot composer-from-tray
echo PASS
