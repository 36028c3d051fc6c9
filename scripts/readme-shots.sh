#!/usr/bin/env bash
# Makes the README's pictures from the real program on a desktop under Xvfb (openbox and
# xfce4-panel's notification area): a due-message box at start-up, the tray menu, and the composer
# with a saved message loaded, each cropped to its window with the window manager's frame, into
# docs/. Needs a built program folder (BUILD_DIR, default build) and the end-to-end test tools.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
: "${BUILD_DIR:=$root/build}"
export E2E_BIN=$BUILD_DIR/bin E2E_SHOTS=$BUILD_DIR/shots E2E_DESKTOP=sni
. "$root/tests/e2e/lib.sh"
e2e_setup

# Crops the latest full-screen shot `name` to window `id` and its frame into docs/`out`.
crop() {
    local id=$1 name=$2 out=$3 x y w h left right top bottom
    read -r x y w h < <(geometry "$id")
    IFS=', ' read -r left right top bottom < <(xprop -id "$id" _NET_FRAME_EXTENTS |
        sed 's/.*= //')
    x=$((x - left)) y=$((y - top)) w=$((w + left + right)) h=$((h + top + bottom))
    crop_area "$name" "$out" "$x" "$y" "$w" "$h"
}
crop_area() {
    local name=$1 out=$2 x=$3 y=$4 w=$5 h=$6
    convert "$E2E_SHOTS/$E2E_NAME-$name.png" -crop "${w}x${h}+${x}+${y}" +repage -strip \
        "$root/docs/$out"
    echo "docs/$out: ${w}x${h}"
}

mkdir -p "$root/docs"
message_file "Dentist" "07/12/2026" "Ring the dentist about the new appointment." 2 "05/12/2026"
message_file "Eggs" "21/12/2026" "Half a dozen, free range" 3 "18/12/2026" "09:30:00 am" "10:00:00 am"
message_file "Library books" "15/12/2026" "Return the three library books before closing time."
settings Startup=True Top=1500 Left=3000 ComboItem=1
start_tavrel "2026-12-07 10:00:00"

id=$(wait_window "Tavrel has a message for you:")
shot due-message
crop "$id" due-message due-message.png
reminder_keys "$id" Return
wait_gone "Tavrel has a message for you:"

tray_click right
wait_for 10 menu_open || fail "the menu did not open"
sleep 0.5
shot tray-menu
crop_area tray-menu tray-menu.png 0 0 240 160
xdotool key Escape
wait_for 10 menu_closed || fail "the menu did not close"

tray_click activate
id=$(wait_window Tavrel)
# Let the window finish painting before the shot.
wait_for 5 xwininfo -id "$id"
shot composer
crop "$id" composer composer.png
