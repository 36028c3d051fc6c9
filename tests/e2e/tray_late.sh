#!/usr/bin/env bash
# At login the program may start before the panel. Until a notification area comes the composer
# stands in for the icon; xfce4-panel started 8 s after the program takes the icon, and "&Hide"
# then hides the composer to it (not minimised); the icon brings it back.
E2E_DESKTOP=sni E2E_PANEL=later
. "$(dirname "$0")/lib.sh"
e2e_setup
message_file "Later" "20/12/2026" "Not today"
start_tavrel "2026-12-07 10:00:00"
late=$((SECONDS + 8))
id=$(wait_window Tavrel 12)
while [ $SECONDS -lt $late ]; do sleep 0.2; done
start_xfce_panel
wait_tray_icon >/dev/null
shot late-icon
keys "$id" alt+h
wait_gone Tavrel
xprop -id "$id" WM_STATE 2>/dev/null | grep -q Iconic && fail "the composer was minimised, not hidden"
tray_click double
wait_window Tavrel >/dev/null
echo PASS
