#!/usr/bin/env bash
# Renders the dialogs to PNG files for a look at their layout, at 96, 144 and 192 dpi, with Qt's
# scaling on (the pixels grow) and off (the font setting reaches the program as dots per inch):
# build/shots/<dialog>-<dpi>dpi-scaling<1|0>@<ratio>x.png (the build folder is not committed).
set -euo pipefail
cd "$(dirname "$0")/.."
: "${BUILD_DIR:=build}"
cmake --build "$BUILD_DIR" --target render_dialogs -j2 >/dev/null
out="$BUILD_DIR/shots"
for dpi in 96 144 192; do
    screen="$BUILD_DIR/tests/ui/screen-${dpi}dpi.json"
    for scaling in 1 0; do
        QT_QPA_PLATFORM="offscreen:configfile=$PWD/$screen" QT_ENABLE_HIGHDPI_SCALING=$scaling \
            LC_ALL=C.UTF-8 TAVREL_RENDER_TAG="-${dpi}dpi-scaling$scaling" \
            "$BUILD_DIR/tests/render_dialogs" "$out"
    done
done
ls "$out"
