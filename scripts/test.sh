#!/usr/bin/env bash
# Builds Tavrel and runs the whole test suite: unit, widget and end-to-end tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
scripts/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)"
