#!/usr/bin/env bash
# A reminder cannot be closed unseen: Alt+F4 (the window manager's close) and "a b" typed into it
# the moment it appears (meant for another program) leave it open. The "Terminate" question from
# the tray menu then comes up above it, with the focus; No leaves the reminder open beneath, and
# a second later Return closes it as usual. (E2E_DESKTOP: sni or xembed, under openbox.)
. "$(dirname "$0")/lib.sh"
e2e_setup
message_file "Rent" "07/12/2026" "Pay the rent today"
start_tavrel "2026-12-07 10:00:00"
id=$(wait_window "Tavrel has a message for you:")
xdotool key alt+F4
xdotool type --delay 30 "a b"
xdotool key Return
sleep 1.2
[ "$(window_count "Tavrel has a message for you:")" = 1 ] || fail "Alt+F4 or the typing closed it"
atspi frame "Tavrel has a message for you:" |
    grep -qxF 'label|Pay the rent today\n\n[ Final message: 07/12/2026 ]|' ||
    fail "the reminder's text changed"

tray_click right
wait_for 10 menu_open || fail "the menu did not open while the reminder is open"
xdotool key x
question=$(wait_window Terminate)
atspi frame Terminate | grep -qxF "label|Are you sure you want to quit?|" || fail "Terminate text"
# Stacked above the reminder (later in the window manager's bottom-to-top list), and focused.
stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',' | cut -d'#' -f2)
below=$(printf '0x%x' "$id") above=$(printf '0x%x' "$question")
order=$(for w in $stacking; do printf '%d\n' "$w"; done | grep -nxE "$id|$question" | cut -d: -f2)
[ "$(echo $order)" = "$id $question" ] || fail "Terminate ($above) is not above the reminder ($below): $stacking"
wait_for 5 sh -c "[ \"\$(xdotool getactivewindow)\" = $question ]" ||
    fail "Terminate does not have the focus"
shot terminate-above
keys "$question" alt+n
wait_gone Terminate 5
[ "$(window_count "Tavrel has a message for you:")" = 1 ] || fail "No closed the reminder"
keys "$id" Return
wait_gone "Tavrel has a message for you:" 5
running || fail "the program ended"
echo PASS
