#!/usr/bin/env bash
# Installs the Debian 12 packages Tavrel needs to build, run and test.
# Usage: scripts/install-deps.sh [build|run|test|bench|windows]   (default: test; bench adds the
# benchmark library and the profiler to the test set)
set -euo pipefail

what=${1:-test}
build_pkgs=(cmake ninja-build g++ qt6-base-dev qt6-multimedia-dev fonts-dejavu-core libgl-dev
    libxcb1-dev libxcb-xinput-dev)
# The toolkit's Wayland plugin: without it the program would run through XWayland or not at all,
# depending on what happens to be installed.
run_pkgs=(xvfb xauth qt6-wayland)
# The end-to-end tests run the program on real desktops: openbox as the window manager, the
# notification area of xfce4-panel (a StatusNotifierItem host) or trayer (XEmbed), each in its
# own D-Bus session, read through the accessibility bus.
test_pkgs=(xvfb xauth xdotool trayer x11-utils imagemagick faketime libfaketime clang-format clang-14
    libclang-rt-14-dev openbox xfce4-panel xfconf dbus-x11 at-spi2-core python3-pyatspi
    desktop-file-utils libglib2.0-bin qt6-wayland
    # Wayland sessions as people run them: GNOME Shell with its AppIndicator extension, KDE Plasma
    # (kwin_wayland, kded5, plasmashell), and a real sound server whose output is recorded;
    # PipeWire for GNOME's remote-desktop clicks (scripts/readme-shots-wayland.sh).
    gnome-shell gnome-shell-extension-appindicator kwin-wayland plasma-workspace plasma-desktop
    qtwayland5 kded5 kactivitymanagerd pulseaudio pulseaudio-utils pipewire-bin)
bench_pkgs=(libbenchmark-dev valgrind)
# The Windows build runs its cue generator and its tests under wine, the end-to-end case on
# Xvfb with trayer, and packs the program folder with zip.
windows_pkgs=(wine wine64 zip xvfb xauth trayer xdotool x11-utils imagemagick xclip)

pkgs=("${build_pkgs[@]}")
case "$what" in
build) ;;
run) pkgs+=("${run_pkgs[@]}") ;;
test) pkgs+=("${test_pkgs[@]}") ;;
bench) pkgs+=("${test_pkgs[@]}" "${bench_pkgs[@]}") ;;
windows) pkgs+=("${windows_pkgs[@]}") ;;
*) echo "usage: $0 [build|run|test|bench|windows]" >&2; exit 2 ;;
esac

missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
