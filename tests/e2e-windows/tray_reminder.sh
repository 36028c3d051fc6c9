#!/usr/bin/env bash
# tavrel.exe from its program folder under wine, with the tray in trayer: a message due today
# comes up first and its text is read back; a second copy is turned away; the icon's own menu
# quits. Afterwards the scratch files are gone and the four settings are REG_SZ values under
# HKCU\Software\Kestrane\Tavrel. Runs in a wine prefix and an X display of its own.
set -euo pipefail
E2E_FOLDER=${E2E_FOLDER:?E2E_FOLDER must name the laid-out program folder}
E2E_SHOTS=${E2E_SHOTS:?E2E_SHOTS must name a folder for screenshots}
[ -f "$E2E_FOLDER/tavrel.exe" ] || { echo "FAIL: no $E2E_FOLDER/tavrel.exe" >&2; exit 1; }
# Wine's start-up is slow on a busy machine: every wait has this many seconds.
LIMIT=${E2E_LIMIT:-60}
PIDS=()
TMP=$(mktemp -d)
cleanup() {
    local pid
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
    for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$TMP"
}
trap cleanup EXIT
shot() { import -window root "$E2E_SHOTS/windows-$1.png" 2>/dev/null || true; }
fail() {
    echo "FAIL: $*" >&2
    [ -s "$TMP/tavrel.log" ] && sed 's/^/tavrel: /' "$TMP/tavrel.log" >&2
    shot failure
    exit 1
}
# Polls `cmd...` every 0.2 s until it succeeds or $LIMIT seconds pass.
wait_for() {
    local end=$((SECONDS + LIMIT))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.2
    done
}
window_id() { { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; } | head -n1; }
wait_window() {
    local end=$((SECONDS + LIMIT)) id=""
    until id=$(window_id "$1") && [ -n "$id" ]; do
        [ $SECONDS -lt $end ] || fail "no window titled '$1' within ${LIMIT}s"
        sleep 0.2
    done
    echo "$id"
}
has_window() { [ -n "$(window_id "$1")" ]; }
gone() { ! has_window "$1"; }
running() { kill -0 "$1" 2>/dev/null; }
stopped() { ! running "$1"; }
# Keys to a window; there is no window manager, so it is focused directly.
keys() {
    local id=$1
    shift
    xdotool windowfocus --sync "$id" 2>/dev/null || true
    xdotool key --clearmodifiers "$@"
}
# What a box holds, as its Ctrl+C puts it on the clipboard (wine hands it to the X clipboard).
box_text() {
    keys "$1" ctrl+c
    sleep 0.5
    xclip -o -selection clipboard 2>/dev/null | tr -d '\r'
}

mkdir -p "$E2E_SHOTS"
mkdir -p "$TMP/folder"
cp -r "$E2E_FOLDER"/. "$TMP/folder/"
FOLDER=$TMP/folder
# A message due today (read back in ISO form on any locale), and the scratch files of a run that
# ended without its close sequence: the start removes them.
printf '"%s","%s","0","%s","12:00:00 am","12:00:00 am"\r\n' "$(date +%F)" \
    "Caf$(printf '\xe9') at ten, then the dentist" "$(date +%F)" >"$FOLDER/Dentist.tvr"
printf '"-Message dated 1-1-2001 description: Old"\r\n' >"$FOLDER/Temp"
printf 'stale\r\n' >"$FOLDER/Timerfile"

n=$((600 + $$ % 200))
while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
export DISPLAY=:$n
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
PIDS+=($!)
wait_for xdpyinfo || fail "Xvfb did not start"
trayer --edge top --align right --widthtype request --height 32 >/dev/null 2>&1 &
PIDS+=($!)
wait_for xdotool search --class trayer || fail "trayer did not start"

export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=$TMP/wine
unset WINEPATH
# wine's default locale (en-US) has the ANSI code page Windows-1252.
export LC_ALL=C.UTF-8 TZ=UTC
mkdir -p "$WINEPREFIX"
wineserver -p
wineboot -i >/dev/null 2>&1 || fail "wineboot failed"

start_tavrel() {
    (cd "$FOLDER" && exec wine tavrel.exe) >>"$TMP/tavrel.log" 2>&1 &
    TAVREL_PID=$!
    PIDS+=("$TAVREL_PID")
}

start_tavrel
first=$TAVREL_PID
id=$(wait_window "Tavrel has a message for you:")
# The box takes no key for its first second.
sleep 1.2
shot message
text=$(box_text "$id")
echo "$text" | grep -qF "Café at ten, then the dentist" ||
    fail "the box does not show the message (read back: '$text')"
[ ! -e "$FOLDER/Temp" ] && [ ! -e "$FOLDER/Timerfile" ] || fail "scratch files of the last run kept"
keys "$id" Return
wait_for gone "Tavrel has a message for you:" || fail "the message box stays"

# The icon docks in trayer: wine embeds a window of its own there.
icon_in_tray() {
    local tray
    tray=$(xdotool search --class trayer | head -n1)
    [ "$(xwininfo -children -id "$tray" | grep -c 'child')" -gt 0 ] &&
        xwininfo -tree -id "$tray" | grep -q '[0-9]x[0-9]'
}
wait_for icon_in_tray || fail "no icon in the tray"
shot tray

start_tavrel
second=$TAVREL_PID
id=$(wait_window "Tavrel - Information")
shot second-copy
text=$(box_text "$id")
echo "$text" | grep -qF "Tavrel is already running." || fail "information box reads '$text'"
keys "$id" Return
wait_for stopped "$second" || fail "the second copy keeps running"
running "$first" || fail "the first copy ended"

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
wait_for menu_window || fail "no popup menu on the right-click"
shot menu
eval "$(xdotool getwindowgeometry --shell "$(menu_window)")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 12)) click 1
id=$(wait_window "Terminate")
shot terminate
keys "$id" y
wait_for stopped "$first" || fail "the program did not end"

[ ! -e "$FOLDER/Temp" ] || fail "Temp left behind"
[ ! -e "$FOLDER/Timerfile" ] || fail "Timerfile left behind"
settings=$(wine reg query 'HKCU\Software\Kestrane\Tavrel' 2>/dev/null | tr -d '\r')
echo "$settings"
for value in Startup Top Left ComboItem; do
    echo "$settings" | grep -qE "^ +$value +REG_SZ +" || fail "no REG_SZ value $value"
done
echo "$settings" | grep -qE '^ +Startup +REG_SZ +True$' || fail "Startup is not True"
echo PASS
