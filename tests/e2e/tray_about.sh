#!/usr/bin/env bash
# "&About" with the composer hidden centres it and opens the about box; icon events while the box
# is open do nothing, so a second "&About" cannot open a second box.
. "$(dirname "$0")/lib.sh"
e2e_setup
message_file "Later" "20/12/2026" "Not today"
settings Startup=True Top=0 Left=0 ComboItem=0
start_tavrel "2026-12-07 10:00:00"
wait_tray_icon >/dev/null
tray_click right
wait_for 10 menu_open || fail "popup menu did not open"
xdotool key a
id=$(wait_window About)
shot about

# While the box is open the icon does not react: no menu, no second box.
tray_click right
menu_stays_closed 2 || fail "the menu opened while the about box was open"
[ "$(window_count About)" = 1 ] || fail "a second about box"
keys "$id" Escape
wait_gone About

# The composer was moved to the screen's centre while hidden: it comes up there.
tray_click double
main=$(wait_window Tavrel)
read -r x y w h < <(geometry "$main")
[ $((1024 - w - 2 * x)) -ge 0 ] && [ $((1024 - w - 2 * x)) -le 1 ] || fail "left edge $x not centred"
[ $((768 - h - 2 * y)) -ge 0 ] && [ $((768 - h - 2 * y)) -le 1 ] || fail "top edge $y not centred"
shot centred

# Once closed, "&About" opens the box again.
tray_click right
wait_for 10 menu_open || fail "popup menu did not open"
xdotool key a
wait_window About >/dev/null
[ "$(window_count About)" = 1 ] || fail "more than one about box"
running || fail "program ended"
echo PASS
