#!/usr/bin/env bash
# Configures and builds Tavrel into build/ (program folder: build/bin/).
set -euo pipefail
cd "$(dirname "$0")/.."
: "${BUILD_DIR:=build}"
cmake -S . -B "$BUILD_DIR" -G Ninja -DTAVREL_WERROR=ON "$@" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
