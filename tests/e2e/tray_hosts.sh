#!/usr/bin/env bash
# The tray on a real desktop (E2E_DESKTOP: sni for xfce4-panel, xembed for trayer), under
# openbox. While the start-up pass's due box is open the icon still answers: the way a person
# opens the program re-selects and reloads, but cannot show the composer beside the box, and the
# menu opens. Once the box is closed the same gesture shows the composer with the last saved
# list position loaded.
. "$(dirname "$0")/lib.sh"
e2e_setup
message_file "Alpha" "20/12/2026" "First in the list"
message_file "Rent" "07/12/2026" "Pay the rent today"
message_file "Zulu" "24/12/2026" "Wrap the presents"
settings "Startup=True" "Top=1500" "Left=1500" "ComboItem=2"
start_tavrel "2026-12-07 10:00:00"
box=$(wait_window "Tavrel has a message for you:")
wait_for 10 atspi frame "Tavrel has a message for you:" || fail "the due box cannot be read"
atspi frame "Tavrel has a message for you:" |
    grep -qxF 'label|Pay the rent today\n\n[ Final message: 07/12/2026 ]|' ||
    fail "due box text: $(atspi frame "Tavrel has a message for you:")"
wait_tray_icon >/dev/null

tray_click activate
sleep 1.5
[ "$(window_count Tavrel)" = 0 ] || fail "the composer came up beside the due box"
tray_click right
wait_for 10 menu_open || fail "the menu did not open while the due box is open"
shot menu-during-box
# The host draws the program's own items; the toolkit keeps its own popup away from the
# accessibility bus, so under XEmbed the menu's size stands for its four items and three lines.
if [ "$E2E_DESKTOP" = sni ]; then
    items=$(atspi sni-menu | tr '\n' ' ')
    [ "$items" = "_Show Settings - S_tatus - _About - E_xit " ] || fail "menu items: '$items'"
fi
xdotool key Escape
wait_for 10 menu_closed || fail "the menu did not close"
running || fail "the program ended"

# The box is closed by a person; the tray still works.
reminder_keys "$box" Return
wait_gone "Tavrel has a message for you:"
tray_click activate
wait_window Tavrel >/dev/null
wait_for 10 atspi frame Tavrel || fail "the composer cannot be read"
frame=$(atspi frame Tavrel)
grep -qxF "combo box|Zulu|" <<<"$frame" || fail "list position not restored: $frame"
grep -qxF "text|Enter message text:|Wrap the presents" <<<"$frame" || fail "message not loaded: $frame"
shot composer
echo PASS
