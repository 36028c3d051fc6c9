#!/usr/bin/env bash
# Renders the dialogs to PNG files at 96 and 192 dpi for a look at their layout:
# build/shots/<dialog>@1x.png and @2x.png (the build folder is not committed).
set -euo pipefail
cd "$(dirname "$0")/.."
: "${BUILD_DIR:=build}"
cmake --build "$BUILD_DIR" --target render_dialogs -j2 >/dev/null
out="$BUILD_DIR/shots"
for scale in 1 2; do
    QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=$scale LC_ALL=C.UTF-8 \
        "$BUILD_DIR/tests/render_dialogs" "$out"
done
ls "$out"
