#!/usr/bin/env bash
# A corrupted message file shows "Snorry!" and the program ends after OK.
. "$(dirname "$0")/lib.sh"
e2e_setup
printf '"07/12/2026","cut off' >"$FOLDER/Broken.tvr"
start_tavrel "2026-12-07 10:00:00"
id=$(wait_window "Snorry!")
shot corrupted
keys "$id" Return
wait_exit
[ -e "$FOLDER/Broken.tvr" ] || fail "the corrupted file must stay for the user to inspect"
echo PASS
