#!/usr/bin/env bash
# A reminder cannot be closed unseen: "a b" typed into it the moment it appears (meant for
# another program) leaves it open; a second later Return closes it as usual.
. "$(dirname "$0")/lib.sh"
e2e_setup
message_file "Rent" "07/12/2026" "Pay the rent today"
start_tavrel "2026-12-07 10:00:00"
id=$(wait_window "Tavrel has a message for you:")
xdotool type --delay 30 "a b"
xdotool key Return
sleep 1.2
[ "$(window_count "Tavrel has a message for you:")" = 1 ] || fail "the typing closed the reminder"
atspi frame "Tavrel has a message for you:" |
    grep -qxF 'label|Pay the rent today\n\n[ Final message: 07/12/2026 ]|' ||
    fail "the reminder's text changed"
keys "$id" Return
wait_gone "Tavrel has a message for you:" 5
running || fail "the program ended"
echo PASS
