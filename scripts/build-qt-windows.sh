#!/usr/bin/env bash
# Builds the toolkit for 64-bit Windows: qtbase 6.4.2 from Debian's own source package,
# cross-compiled with mingw-w64 (Core, Gui, Widgets, Test and the windows platform plugin),
# using the installed Linux Qt 6.4.2 as host tools. Installs into a cache folder outside the
# clone and does nothing when that folder is complete.
# Usage: scripts/build-qt-windows.sh      (prefix: $TAVREL_QT_WINDOWS, default below)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
prefix=${TAVREL_QT_WINDOWS:-$HOME/.cache/tavrel/qt-6.4.2-mingw64}
version=6.4.2+dfsg-10
patches=("$repo"/cmake/qt-patches/*.patch)

# The cache is complete when its stamp names this very recipe (script, toolchain and patches).
stamp=$(cat "$0" "$repo/cmake/mingw-w64-x86_64.cmake" "${patches[@]}" | sha256sum | cut -c1-16)
if [ -f "$prefix/.tavrel-complete" ] && [ "$(cat "$prefix/.tavrel-complete")" = "$stamp" ]; then
    exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
pkgs=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev cmake
    ninja-build dpkg-dev qt6-base-dev qt6-base-dev-tools)
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# apt-get source needs the source lists; Debian's images come with binary lists only.
if ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm' \
        'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
        $sudo tee /etc/apt/sources.list.d/tavrel-deb-src.sources >/dev/null
    missing+=(update-only)
fi
if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get update -qq
    pkgs_to_install=()
    for p in "${missing[@]}"; do [ "$p" = update-only ] || pkgs_to_install+=("$p"); done
    if [ ${#pkgs_to_install[@]} -gt 0 ]; then
        echo "Installing: ${pkgs_to_install[*]}"
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
            "${pkgs_to_install[@]}" >/dev/null
    fi
fi

work=$(dirname "$prefix")/qt-6.4.2-mingw64-work
rm -rf "$work" "$prefix"
mkdir -p "$work"
cd "$work"
apt-get source --download-only -qq "qt6-base=$version" >/dev/null
dpkg-source -q -x "qt6-base_$version.dsc" qtbase >/dev/null
for p in "${patches[@]}"; do
    patch -d qtbase -p1 -s <"$p"
done

# Only what the program and its tests use; every other module and optional library is off,
# which also keeps the build within CI's time.
off=(network sql xml dbus concurrent printsupport opengl vulkan direct2d jpeg gif freetype
    fontconfig zstd icu system_zlib system_pcre2 system_harfbuzz system_png system_jpeg
    tabletevent sql_sqlite
    # Gui and Widgets parts no window of the program uses.
    pdf movie textodfwriter textmarkdownreader textmarkdownwriter style_stylesheet
    graphicsview graphicseffect mdiarea dockwidget toolbox wizard calendarwidget colordialog
    fontdialog filedialog fscompleter progressdialog errormessage dial lcdnumber
    splashscreen undoview keysequenceedit columnview tablewidget treewidget sqlmodel
    imageformat_ppm imageformat_xbm)
flags=()
for f in "${off[@]}"; do flags+=("-DFEATURE_$f=OFF"); done
cmake -S qtbase -B build -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DINPUT_opengl=no \
    -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF \
    "${flags[@]}" >configure.log
cmake --build build -j"$(nproc)"
cmake --install build >/dev/null
echo "$stamp" >"$prefix/.tavrel-complete"
cd /
rm -rf "$work"
