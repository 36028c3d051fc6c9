#!/usr/bin/env bash
# Builds Tavrel and starts it from its program folder. Without a display it starts a virtual one.
# Run it as yourself: only the packages are installed through sudo. Started through sudo, it
# builds and runs as the user who asked, so that the build and the messages stay theirs; as root
# without sudo (a fresh machine, CI) it does everything as root.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
    exec sudo -u "$SUDO_USER" env DISPLAY="${DISPLAY:-}" XAUTHORITY="${XAUTHORITY:-}" \
        WAYLAND_DISPLAY="${WAYLAND_DISPLAY:-}" XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-}" \
        DBUS_SESSION_BUS_ADDRESS="${DBUS_SESSION_BUS_ADDRESS:-}" "$0"
fi
scripts/build.sh
cd build/bin
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting Tavrel on a virtual display (Xvfb :77)."
    echo "Without a system tray its window is shown; close it to quit."
    Xvfb :77 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    trap 'kill $xvfb 2>/dev/null' EXIT
    export DISPLAY=:77
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X77 ] && break; sleep 0.1; done
fi
./tavrel
