#!/usr/bin/env bash
# A left double-click on the icon brings up the composer with the list position of the last hide
# selected; while the window is already up it stays where it is and no second window appears.
. "$(dirname "$0")/lib.sh"
e2e_setup
message_file "Bread" "20/12/2026" "Wholemeal loaf"
message_file "Eggs" "21/12/2026" "Half a dozen, free range"
message_file "Milk" "22/12/2026" "Semi-skimmed, two litres"
settings Startup=True Top=1500 Left=3000 ComboItem=1
start_tavrel "2026-12-07 10:00:00"
wait_tray_icon >/dev/null
sync_with_menu
[ "$(window_count Tavrel)" = 0 ] || fail "composer shown although messages exist"
shot hidden

# Hidden: shown at its saved place, with "Eggs" (list position 1) loaded.
tray_click double
id=$(wait_window Tavrel)
read -r x y w h < <(geometry "$id")
[ "$x $y" = "200 100" ] || fail "composer at $x,$y instead of the saved 200,100"
shot shown-eggs

# Visible: stays, no second window.
xdotool mousemove 600 600
tray_click double
sync_with_menu
[ "$(window_count Tavrel)" = 1 ] || fail "a second composer appeared"
[ "$(geometry "$id")" = "$x $y $w $h" ] || fail "the visible composer moved"
shot visible-again

# "&Hide" saves the list position; the next double-click shows the window again.
keys "$id" alt+h
wait_gone Tavrel
tray_click double
id=$(wait_window Tavrel)
[ "$(window_count Tavrel)" = 1 ] || fail "more than one composer"
shot shown-again
running || fail "program ended"
echo PASS
