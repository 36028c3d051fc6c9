#!/usr/bin/env bash
# A timed message falls due while the save's overwrite question is open: the timer reads every
# message file meanwhile, yet after OK the file holds exactly the text the user saved.
. "$(dirname "$0")/lib.sh"
e2e_setup
message_file "Keep" "20/12/2026" "Old text"
message_file "Soon" "07/12/2026" "Soon text" 0 "07/12/2026" "10:01:00 am" "10:30:00 am"
settings "Startup=True" "Top=1500" "Left=1500" "ComboItem=0"
# The clock is moved to just before the window once the question is open: the steps before it
# take their time on a busy machine, and the window must not open before they are done.
start_tavrel_jumpable "2026-12-07 09:50:00"
wait_for 10 test -e "$FOLDER/Timerfile" || fail "the timed message was not registered"
wait_tray_icon >/dev/null
sleep 0.5
tray_click activate
# A double-click that lands while the tray is still settling is lost; a person clicks again.
composer_shown() { [ -n "$(window_id Tavrel)" ]; }
wait_for 5 composer_shown || tray_click activate
composer=$(wait_window Tavrel)
wait_for 30 atspi pos Tavrel text 2 || fail "the composer cannot be read"
read -r x y < <(atspi pos Tavrel text 2)
xdotool mousemove "$x" "$y" click 1
xdotool key ctrl+a
xdotool type --delay 20 "New text"
keys "$composer" alt+s
question=$(wait_window "Be careful...")
jump_clock "2026-12-07 10:00:58"
# The timed box comes at the first tick at or after 10:01, beside the open question.
timed_box() { xdotool search --onlyvisible --name '^Tavrel$' | grep -vx "$composer" | head -n1; }
timed_open() { [ -n "$(timed_box)" ]; }
wait_for 45 timed_open || fail "the timed message did not come"
timed=$(timed_box)
shot both-open
reminder_keys "$timed" Return
wait_for 10 eval '! timed_open' || fail "the timed box did not close"
keys "$question" Return
wait_gone "Be careful..."
expected=$(printf '"20/12/2026","New text","0","20/12/2026","12:00:00 am","12:00:00 am"\r\n' | od -An -c)
saved() { [ "$(od -An -c "$FOLDER/Keep.tvr")" = "$expected" ]; }
wait_for 5 saved ||
    fail "Keep.tvr holds: $(cat -A "$FOLDER/Keep.tvr")"
echo PASS
