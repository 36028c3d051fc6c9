#!/usr/bin/env bash
# Cross-builds Tavrel for Windows (scripts/build-windows.sh, which builds the toolkit first when
# it is not cached) and runs its unit, widget and end-to-end tests under wine on a virtual X
# display, in a wine prefix made afresh for the run (the registry tests use its registry).
# Usage: scripts/test-windows.sh [ctest options...]
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
qt=${TAVREL_QT_WINDOWS:-$HOME/.cache/tavrel/qt-6.4.2-mingw64}

scripts/install-deps.sh windows

TAVREL_TESTS=ON scripts/build-windows.sh

n=500
while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
export DISPLAY=:$n
# The screen of the toolkit's offscreen platform, which the widget tests are written for.
Xvfb "$DISPLAY" -screen 0 800x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
stop() {
    kill "$xvfb" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
}
trap stop EXIT
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break || sleep 0.1; done
# Made once the display is up: the prefix's desktop process takes the display it starts on.
. scripts/lib/wine-env.sh
wine_env "$repo/build-windows/wine-test" fresh
# The 24-hour clock of the C locale the tests are written in (wine starts with en-US).
wine reg add 'HKCU\Control Panel\International' /v sTimeFormat /t REG_SZ /d HH:mm:ss /f \
    >/dev/null 2>&1

# Every test has a limit: a window program that cannot reach its display would wait forever.
ctest --test-dir build-windows --output-on-failure -j"$(nproc)" --timeout 300 "$@"
