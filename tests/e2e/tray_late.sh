#!/usr/bin/env bash
# At login the program may start before the panel. Until a notification area comes the composer
# stands in for the icon; a tray started 8 s after the program takes the icon within 10 s, and
# "&Hide" then hides the composer to it (not minimised); the icon brings it back. First trayer
# (XEmbed; the session has no StatusNotifierWatcher then), then xfce4-panel (both protocols).
E2E_DESKTOP=sni E2E_PANEL=later
. "$(dirname "$0")/lib.sh"
e2e_setup
message_file "Later" "20/12/2026" "Not today"

# $1: the notification area that comes late, as the tray helpers of lib.sh name it.
late_tray_case() {
    E2E_DESKTOP=$1
    start_tavrel "2026-12-07 10:00:00"
    local late=$((SECONDS + 8)) id
    id=$(wait_window Tavrel 12)
    while [ $SECONDS -lt $late ]; do sleep 0.2; done
    case $1 in
    xembed) start_trayer ;;
    sni) start_xfce_panel ;;
    esac
    wait_tray_icon 10 >/dev/null
    shot "late-icon-$1"
    keys "$id" alt+h
    wait_gone Tavrel
    xprop -id "$id" WM_STATE 2>/dev/null | grep -q Iconic &&
        fail "the composer was minimised, not hidden ($1)"
    tray_click double
    wait_window Tavrel >/dev/null
}

late_tray_case xembed
id=$(wait_window Tavrel)
keys "$id" alt+x
keys "$(wait_window Terminate)" alt+y
wait_exit
kill "$TRAYER_PID"
wait "$TRAYER_PID" 2>/dev/null || true
wait_for 10 eval '! xdotool search --class trayer' || fail "trayer did not end"

late_tray_case sni
echo PASS
