#!/usr/bin/env bash
# Only a left double-click and the right button act. A single left click and mouse moves over
# the icon do nothing, also while the menu is open; two quick right clicks open the menu once, and
# after it closes the next right click opens it again.
. "$(dirname "$0")/lib.sh"
e2e_setup
message_file "Later" "20/12/2026" "Not today"
start_tavrel "2026-12-07 10:00:00"
read -r ix iy < <(wait_tray_icon)

# A single left click and moves over the icon.
tray_click left
for dx in -6 -3 0 3 6; do xdotool mousemove $((ix + dx)) "$iy"; done
sync_with_menu
[ "$(window_count Tavrel)" = 0 ] || fail "a single click or a move showed the composer"
shot after-left-click

# The open menu holds the pointer: moves over the icon reach nothing, and the click that closes
# the menu does nothing else. The menu opens at the pointer and covers the icon's lower half, so
# these stay in its upper rows.
tray_click right
wait_for 10 menu_open || fail "popup menu did not open"
shot menu
top=$((iy - 6))
for dx in -6 -3 0 3 6; do xdotool mousemove $((ix + dx)) "$top"; done
menu_open || fail "moving over the icon closed the menu"
xdotool click 1
wait_for 10 menu_closed || fail "a click outside did not close the menu"
sync_with_menu
[ "$(window_count Tavrel)" = 0 ] || fail "the click that closed the menu showed the composer"

# Two quick right clicks: one menu, nothing else.
xdotool mousemove "$ix" "$iy" click --repeat 2 --delay 60 3
wait_for 10 menu_open || fail "popup menu did not open on a right double-click"
shot right-double
n=$(for w in $(xdotool search --onlyvisible --classname '^tavrel$'); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    if [ "$HEIGHT" -gt 60 ] && [ "$HEIGHT" -lt 200 ]; then echo "$w"; fi
done | wc -l)
[ "$n" -le 1 ] || fail "$n menus open"
xdotool key Escape
wait_for 10 menu_closed || fail "popup menu did not close"
[ "$(window_count Tavrel)" = 0 ] || fail "a right double-click showed the composer"

# After the menu closed the next right click opens it again.
sync_with_menu
running || fail "program ended"
echo PASS
