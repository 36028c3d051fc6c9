#!/usr/bin/env bash
# Makes the README's Wayland pictures from the real program, natively on Wayland, on KDE Plasma
# and on GNOME Shell run headless (as the end-to-end tests run them): the tray menu, drawn by each
# desktop's notification area, and a due-message box at start-up, into docs/. Run as root it
# runs the desktops as the tests' unprivileged user. Needs a built program folder (BUILD_DIR,
# default build) and the end-to-end test tools.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
: "${BUILD_DIR:=$root/build}"

if [ -z "${E2E_DESKTOP:-}" ]; then
    shots=$(mktemp -d)
    chmod 777 "$shots"
    for desktop in kde gnome; do
        E2E_BIN=$BUILD_DIR/bin E2E_SHOTS=$shots E2E_DESKTOP=$desktop bash "$0"
    done
    # Cropped to the menu with the icon under or above it, and to the box.
    convert "$shots/readme-shots-wayland-kde-menu.png" -crop 340x150+930+874 +repage -strip "$root/docs/tray-menu-kde.png"
    convert "$shots/readme-shots-wayland-gnome-menu.png" -crop 270x250+990+0 +repage -strip "$root/docs/tray-menu-gnome.png"
    convert "$shots/readme-shots-wayland-kde-due.png" -crop 480x170+400+405 +repage -strip "$root/docs/due-message-kde.png"
    convert "$shots/readme-shots-wayland-gnome-due.png" -crop 660x200+0+0 +repage -strip "$root/docs/due-message-gnome.png"
    rm -rf "$shots"
    exit 0
fi

# One desktop, as the tests' user (e2e_setup starts this script again as that user). On KDE the
# panel is started below; GNOME's comes with the shell.
[ "${E2E_DESKTOP:-}" = kde ] && E2E_PANEL=later
. "$root/tests/e2e/lib.sh"
e2e_setup
message_file "Rent" "07/12/2026" "Pay the rent today"
settings Startup=True ComboItem=0
if [ "$E2E_DESKTOP" = kde ]; then
    start_plasma_watcher
    # plasmashell through XWayland, where a synthetic click reaches its panel.
    on_desktop env QT_QPA_PLATFORM=xcb plasmashell --no-respawn >"$E2E_TMP/panel.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for 40 eval 'dbus-send --session --print-reply --dest=org.freedesktop.DBus \
        /org/freedesktop/DBus org.freedesktop.DBus.ListNames | grep -q org.kde.StatusNotifierHost-' ||
        fail "plasmashell's notification area did not start"
else
    # GNOME's remote-desktop service, which clicks for us, needs PipeWire.
    pipewire >/dev/null 2>&1 &
    E2E_PIDS+=($!)
fi
use_platform wayland
start_tavrel "2026-12-07 10:00:00"
due="Tavrel has a message for you:"
wait_shown "$due"
sleep 1
shot due
atspi press "$due" OK
wait_hidden "$due"
wait_for 15 atspi sni-menu || fail "no icon registered"
sleep 2
# Where each panel shows the icon (the first of the notification area's icons here).
if [ "$E2E_DESKTOP" = kde ]; then
    xdotool mousemove 977 1004 click 3
else
    # The remote-desktop session is now and then refused while PipeWire settles.
    wait_for 10 atspi gnome-tray-click || fail "GNOME Shell took no click"
fi
sleep 1.5
shot menu
