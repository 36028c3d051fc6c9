#!/usr/bin/env bash
# The machine sleeps from 23:40 to 07:40 the next morning: the wall clock jumps while the steady
# clock runs on. The evening's window that passed during the sleep is offered by the
# missed-message question, and the message due on the new day comes up within 90 seconds of
# waking, not at the 31st tick of the new-day timer (up to 34 minutes later).
. "$(dirname "$0")/lib.sh"
e2e_setup
message_file "Call Anna" "07/12/2026" "Call Anna back" 0 "07/12/2026" "11:45:00 pm" "11:50:00 pm"
message_file "Rent" "08/12/2026" "Pay the rent today"
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
running || fail "program ended"
echo PASS
