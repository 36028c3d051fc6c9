#!/usr/bin/env bash
# Cross-builds Tavrel for 64-bit Windows with mingw-w64 against the Qt of
# scripts/build-qt-windows.sh (built first when missing), and lays out the portable program
# folder build-windows/Tavrel/ (tavrel.exe, the Qt and mingw DLLs, the platform and style
# plugins, the two cues and the icon), stripped, and build-windows/Tavrel-windows-x64.zip.
# Usage: scripts/build-windows.sh [cmake options...]   (TAVREL_TESTS=ON builds the tests too)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
qt=${TAVREL_QT_WINDOWS:-$HOME/.cache/tavrel/qt-6.4.2-mingw64}
out=build-windows

scripts/build-qt-windows.sh

scripts/install-deps.sh windows

. scripts/lib/wine-env.sh
wine_env "$repo/$out/wine-build"
# The build's server ends with the build.
trap 'wineserver -k 2>/dev/null || true' EXIT

cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVREL_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" -DCMAKE_PREFIX_PATH="$qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/bin/wine -DTAVREL_TESTS="${TAVREL_TESTS:-OFF}" \
    "$@" >/dev/null
cmake --build "$out" -j"$(nproc)"

folder=$out/Tavrel
rm -rf "$folder" "$out/Tavrel-windows-x64.zip"
mkdir -p "$folder/platforms" "$folder/styles"
cp "$out/bin/tavrel.exe" "$out/bin/Tavrel.wav" "$out/bin/Saved.wav" resources/tavrel.ico "$folder/"
cp "$qt"/bin/Qt6Core.dll "$qt"/bin/Qt6Gui.dll "$qt"/bin/Qt6Widgets.dll "$folder/"
cp "$qt/plugins/platforms/qwindows.dll" "$folder/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$folder/styles/"
cp /usr/lib/gcc/x86_64-w64-mingw32/12-posix/libstdc++-6.dll \
    /usr/lib/gcc/x86_64-w64-mingw32/12-posix/libgcc_s_seh-1.dll \
    /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$folder/"
find "$folder" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
(cd "$out" && zip -qr9 Tavrel-windows-x64.zip Tavrel)
echo "$out/Tavrel-windows-x64.zip: $(du -k "$out/Tavrel-windows-x64.zip" | cut -f1) KiB" \
    "($(du -sk "$folder" | cut -f1) KiB unpacked)"
