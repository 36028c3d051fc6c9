#!/usr/bin/env bash
# The composer under a window manager, read as a screen reader reads it: a position saved far
# off this screen is centred; every field is named after its label; a click into the
# placeholder replaces it; after the "Snorry!" refusal the window manager hands the focus back
# and the description stays selected.
. "$(dirname "$0")/lib.sh"
e2e_setup
# Saved on a larger screen, or at another scale: wholly outside this 1024x768 one.
settings "Startup=True" "Top=90000" "Left=120000"
start_tavrel "2026-12-07 10:00:00"
win=$(wait_window Tavrel)
read -r x y w h < <(geometry "$win")
[ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1024 ] && [ $((y + h)) -le 768 ] ||
    fail "composer at $x,$y (${w}x$h), not on the screen"
[ $(((x + w / 2 - 512) ** 2 + (y + h / 2 - 384) ** 2)) -le 400 ] ||
    fail "composer at $x,$y (${w}x$h), not centred"

wait_for 10 atspi frame Tavrel || fail "the composer cannot be read"
fields=$(atspi fields Tavrel)
for line in 'combo box|Previously saved messages:|Previously saved messages:|' \
    'text|Enter a short message description:|Enter a short message description:|editable' \
    'text|Enter message text:|Enter message text:|editable' 'text|Days prior||read-only' \
    'spin button|Days prior||' 'push button|Pick a date||'; do
    grep -qxF "$line" <<<"$fields" || fail "no field '$line' in: $fields"
done
! grep -q '^[^|]*||' <<<"$fields" || fail "nameless controls in: $fields"

# A click into each box holding the placeholder selects it: typing replaces it.
xdotool mousemove $((x + 100)) $((y + 113)) click 1
xdotool type --delay 30 'Den/tist'
xdotool mousemove $((x + 100)) $((y + 170)) click 1
xdotool type --delay 30 'Drill'
wait_for 5 bash -c "atspi() { /usr/bin/python3 $(dirname "$0")/atspi.py \"\$@\"; }
    atspi frame Tavrel | grep -qxF 'text|Enter message text:|Drill'" ||
    fail "message text: $(atspi frame Tavrel)"
frame=$(atspi frame Tavrel)
grep -qxF 'text|Enter a short message description:|Den/tist' <<<"$frame" ||
    fail "description: $frame"

keys "$win" alt+s
box=$(wait_window "Snorry!")
shot refusal
keys "$box" Return
wait_gone "Snorry!"
wait_for 10 test "$(atspi selection Tavrel 'Enter a short message description:')" = "0 8 Den/tist" ||
    fail "selection after the refusal: $(atspi selection Tavrel 'Enter a short message description:')"
shot selected
echo PASS
