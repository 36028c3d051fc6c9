#!/usr/bin/env bash
# The machine sleeps from 23:40 to 07:40 the next morning: the wall clock jumps while the steady
# clock runs on. The evening's window that passed during the sleep is offered by the
# missed-message question, and the message due on the new day comes up within 90 seconds of
# waking, not at the 31st tick of the new-day timer (up to 34 minutes later).
# Then the machine sleeps through a whole day and wakes at 23:50: that day's message comes up,
# its box stays open past midnight, and the next day's message follows once it is closed.
. "$(dirname "$0")/lib.sh"
e2e_setup
start_session_bus
start_accessibility
message_file "Call Anna" "07/12/2026" "Call Anna back" 0 "07/12/2026" "11:45:00 pm" "11:50:00 pm"
message_file "Rent" "08/12/2026" "Pay the rent today"
message_file "Bread" "09/12/2026" "Buy bread"
message_file "Milk" "10/12/2026" "Buy milk"
start_tavrel_jumpable "2026-12-07 23:40:00"
wait_tray_icon >/dev/null
wait_for 5 test -e "$FOLDER/Timerfile" || fail "the evening's window was not registered"
[ "$(window_count "Tavrel has a message for you:")" = 0 ] || fail "a message shown before the sleep"

jump_clock "2026-12-08 07:40:00"
jumped=$SECONDS
# A Yes/No question: Yes brings up the message itself (a timed box would not).
id=$(wait_window Tavrel 20)
shot question
reminder_keys "$id" y
id=$(wait_window "Tavrel has a message for you:" 10)
reminder_keys "$id" Return
wait_gone "Tavrel has a message for you:"
[ ! -e "$FOLDER/Timerfile" ] || fail "the previous day's timer file outlived the night"

id=$(wait_window "Tavrel has a message for you:" $((90 - (SECONDS - jumped))))
echo "question and new day's message within $((SECONDS - jumped)) s of the jump"
shot new-day
reminder_keys "$id" Return
wait_gone "Tavrel has a message for you:"
[ "$(window_count Tavrel)" = 0 ] || fail "another box or the composer came up"

# Asleep from the morning of the 8th to 23:50 on the 9th.
jump_clock "2026-12-09 23:50:00"
jumped=$SECONDS
id=$(wait_window "Tavrel has a message for you:" 90)
atspi frame "Tavrel has a message for you:" | grep -q "Buy bread" || fail "the 9th's box is not Bread's"
jump_clock "2026-12-10 00:05:00"
# Ticks of both timers come while the box is open past midnight.
sleep 70
shot past-midnight
reminder_keys "$id" Return
wait_gone "Tavrel has a message for you:"
id=$(wait_window "Tavrel has a message for you:" 90)
atspi frame "Tavrel has a message for you:" | grep -q "Buy milk" ||
    fail "the box after midnight is not the 10th's"
echo "the next day's message within $((SECONDS - jumped)) s of waking"
reminder_keys "$id" Return
wait_gone "Tavrel has a message for you:"
[ "$(window_count Tavrel)" = 0 ] || fail "another box came up"
running || fail "program ended"
echo PASS
