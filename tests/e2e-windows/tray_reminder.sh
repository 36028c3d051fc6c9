#!/usr/bin/env bash
# tavrel.exe from its program folder under wine, with the tray in trayer: a message due today
# comes up first and its text is read back; a second copy is turned away; the icon comes back
# after Explorer restarted, and its own menu quits. Afterwards the scratch files are gone and the
# four settings are REG_SZ values under HKCU\Software\Kestrane\Tavrel. Runs in a wine prefix and
# an X display of its own.
E2E_WINE=1
. "$(dirname "$0")/../e2e/lib.sh"
[ -f "$E2E_BIN/tavrel.exe" ] || { echo "FAIL: no $E2E_BIN/tavrel.exe" >&2; exit 1; }
LIMIT=15
# What a box holds, as its Ctrl+C puts it on the clipboard (wine hands it to the X clipboard).
box_text() {
    keys "$1" ctrl+c
    sleep 0.5
    xclip -o -selection clipboard 2>/dev/null | tr -d '\r'
}
stopped() { ! running "$1"; }
gone() { [ -z "$(window_id "$1")" ]; }

e2e_setup
wait_for "$LIMIT" xdotool search --class trayer || fail "trayer did not start"
# A message due today (read back in ISO form on any locale), and the scratch files of a run that
# ended without its close sequence: the start removes them.
printf '"%s","%s","0","%s","12:00:00 am","12:00:00 am"\r\n' "$(date +%F)" \
    "Caf$(printf '\xe9') at ten, then the dentist" "$(date +%F)" >"$FOLDER/Dentist.tvr"
printf '"-Message dated 1-1-2001 description: Old"\r\n' >"$FOLDER/Temp"
printf 'stale\r\n' >"$FOLDER/Timerfile"

export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=$E2E_TMP/wine
unset WINEPATH
mkdir -p "$WINEPREFIX"
wineserver -p
wineboot -i >/dev/null 2>&1 || fail "wineboot failed"

start_tavrel() {
    (cd "$FOLDER" && exec wine tavrel.exe) >>"$E2E_TMP/tavrel.log" 2>&1 &
    TAVREL_PID=$!
    E2E_PIDS+=("$TAVREL_PID")
}

start_tavrel
first=$TAVREL_PID
id=$(wait_window "Tavrel has a message for you:" "$LIMIT")
# The box takes no key for its first second.
sleep 1.2
shot message
text=$(box_text "$id")
echo "$text" | grep -qF "Café at ten, then the dentist" ||
    fail "the box does not show the message (read back: '$text')"
[ ! -e "$FOLDER/Temp" ] && [ ! -e "$FOLDER/Timerfile" ] || fail "scratch files of the last run kept"
keys "$id" Return
wait_for "$LIMIT" gone "Tavrel has a message for you:" || fail "the message box stays"

# The icon docks in trayer: wine's notification area embeds a window of its own in the panel
# (named "panel"; trayer's other windows hold only 1x1 helpers of their own).
icon_in_tray() {
    local panel
    panel=$(xdotool search --name '^panel$' | head -n1)
    [ -n "$panel" ] && xwininfo -tree -id "$panel" | grep -q '("explorer.exe" "explorer.exe")'
}
wait_for "$LIMIT" icon_in_tray || fail "no icon in the tray"
shot tray

start_tavrel
second=$TAVREL_PID
id=$(wait_window "Tavrel - Information" "$LIMIT")
shot second-copy
text=$(box_text "$id")
echo "$text" | grep -qF "Tavrel is already running." || fail "information box reads '$text'"
keys "$id" Return
wait_for "$LIMIT" stopped "$second" || fail "the second copy keeps running"
running "$first" || fail "the first copy ended"

# Explorer restarted: its notification area has lost the icon, and the new taskbar's
# announcement brings it back.
icon_gone() { ! icon_in_tray; }
wine "$TASKBAR_RESTART" forget >/dev/null 2>&1 || fail "the icon's tray window was not found"
wait_for "$LIMIT" icon_gone || fail "the icon stays after the notification area dropped it"
wine "$TASKBAR_RESTART" announce >/dev/null 2>&1 || fail "TaskbarCreated was not sent"
wait_for "$LIMIT" icon_in_tray || fail "the icon did not come back after TaskbarCreated"
shot taskbar-created

# Right-click on the icon: the program's own popup menu, then E&xit (its last item) and Yes.
tray=$(xdotool search --onlyvisible --class trayer | head -n1)
eval "$(xdotool getwindowgeometry --shell "$tray")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 3
# The menu: a visible window the size of four items and three separators.
menu_window() {
    local w
    for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null)" || continue
        if [ "${HEIGHT:-0}" -gt 50 ] && [ "${HEIGHT:-0}" -lt 250 ] && [ "${WIDTH:-0}" -gt 50 ] &&
            [ "${WIDTH:-0}" -lt 400 ]; then
            echo "$w"
            return 0
        fi
    done
    return 1
}
wait_for "$LIMIT" menu_window || fail "no popup menu on the right-click"
shot menu
eval "$(xdotool getwindowgeometry --shell "$(menu_window)")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 12)) click 1
id=$(wait_window "Terminate" "$LIMIT")
shot terminate
keys "$id" y
wait_for "$LIMIT" stopped "$first" || fail "the program did not end"

[ ! -e "$FOLDER/Temp" ] || fail "Temp left behind"
[ ! -e "$FOLDER/Timerfile" ] || fail "Timerfile left behind"
settings=$(wine reg query 'HKCU\Software\Kestrane\Tavrel' 2>/dev/null | tr -d '\r')
echo "$settings"
for value in Startup Top Left ComboItem; do
    echo "$settings" | grep -qE "^ +$value +REG_SZ +" || fail "no REG_SZ value $value"
done
echo "$settings" | grep -qE '^ +Startup +REG_SZ +True$' || fail "Startup is not True"
echo PASS
