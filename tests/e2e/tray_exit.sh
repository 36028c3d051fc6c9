#!/usr/bin/env bash
# "E&xit" from the tray menu while the first of two due boxes of the start-up pass is open
# (E2E_DESKTOP: sni or xembed): Yes ends the process within a second, the close sequence has
# removed "Temp" and "Timerfile", the second box never comes, and a new start is not refused.
. "$(dirname "$0")/lib.sh"
e2e_setup
message_file "A old" "01/10/2026" "Long past"
message_file "B timed" "07/12/2026" "Later today" 0 "07/12/2026" "02:30:00 pm" "03:00:00 pm"
message_file "C first" "07/12/2026" "First due today"
message_file "D second" "07/12/2026" "Second due today"
start_tavrel "2026-12-07 10:00:00"
wait_window "Tavrel has a message for you:" >/dev/null
wait_for 10 atspi frame "Tavrel has a message for you:" || fail "the due box cannot be read"
atspi frame "Tavrel has a message for you:" |
    grep -qxF 'label|First due today\n\n[ Final message: 07/12/2026 ]|' ||
    fail "first box: $(atspi frame "Tavrel has a message for you:")"
[ -e "$FOLDER/Temp" ] && [ -e "$FOLDER/Timerfile" ] || fail "the pass wrote no Temp or Timerfile"

tray_click right
wait_for 10 menu_open || fail "the menu did not open while the due box is open"
xdotool key x
id=$(wait_window Terminate)
atspi frame Terminate | grep -qxF "label|Are you sure you want to quit?|" || fail "Terminate text"
keys "$id" alt+y
quit=$(now_ms)
while running; do
    [ $(($(now_ms) - quit)) -lt 1000 ] || fail "still running a second after Yes"
    sleep 0.05
done
[ ! -e "$FOLDER/Temp" ] || fail "Temp left behind"
[ ! -e "$FOLDER/Timerfile" ] || fail "Timerfile left behind"
[ -e "$FOLDER/D second.tvr" ] || fail "a message file was lost"

first=$TAVREL_PID
start_tavrel "2026-12-07 10:00:10"
wait_window "Tavrel has a message for you:" >/dev/null
[ "$(window_count "Tavrel - Information")" = 0 ] || fail "the new start was refused"
running || fail "the new start ended"
! running "$first" || fail "the first copy came back"
echo PASS
