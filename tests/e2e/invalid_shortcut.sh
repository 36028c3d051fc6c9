#!/usr/bin/env bash
# Started from another current folder: the invalid-shortcut warning.
. "$(dirname "$0")/lib.sh"
e2e_setup
message_file "Later" "08/12/2026" "Tomorrow's note"
mkdir -p "$E2E_TMP/elsewhere"
start_tavrel "2026-12-07 10:00:00" "$E2E_TMP/elsewhere"
id=$(wait_window "Snorry!")
shot invalid-shortcut
keys "$id" Return
# Without a timer file of a previous run the window was never loaded, so the program ends.
wait_exit
echo PASS
