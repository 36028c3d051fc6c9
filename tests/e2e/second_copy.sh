#!/usr/bin/env bash
# A second start shows "Tavrel - Information" and ends; the first copy keeps running.
. "$(dirname "$0")/lib.sh"
e2e_setup
start_tavrel "2026-12-07 10:00:00"
wait_window "Tavrel" >/dev/null
first=$TAVREL_PID
start_tavrel "2026-12-07 10:00:00"
id=$(wait_window "Tavrel - Information")
shot information
keys "$id" Return
wait_exit "$TAVREL_PID"
running "$first" || fail "first copy ended"
# A copy killed outright leaves no lock that blocks the next start.
kill -9 "$first"
wait_exit "$first"
start_tavrel "2026-12-07 10:00:00"
wait_window "Tavrel" >/dev/null
[ -z "$(window_id 'Tavrel - Information')" ] || fail "stale lock blocked the start"
echo PASS
