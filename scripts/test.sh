#!/usr/bin/env bash
# Builds Tavrel and runs the whole test suite (unit, widget and end-to-end tests) twice: once as
# built normally, once built with AddressSanitizer and UndefinedBehaviorSanitizer, where any
# sanitizer report fails the run. On CI (CI=true) or with --fuzz, every fuzz target then runs
# for 30 seconds. Last the Windows build (scripts/test-windows.sh): the toolkit for Windows built
# once into ~/.cache/tavrel, the program cross-built, and its tests run under wine.
# Usage: scripts/test.sh [--fuzz] [--no-sanitize] [--no-windows]
set -euo pipefail
cd "$(dirname "$0")/.."

fuzz=0
sanitize=1
windows=1
[ "${CI:-}" = true ] && fuzz=1
for arg in "$@"; do
    case "$arg" in
    --fuzz) fuzz=1 ;;
    --no-sanitize) sanitize=0 ;;
    --no-windows) windows=0 ;;
    *) echo "usage: $0 [--fuzz] [--no-sanitize] [--no-windows]" >&2; exit 2 ;;
    esac
done

scripts/install-deps.sh test
# The toolkit for Windows, when not cached, takes longest of all: it builds at the lowest priority
# beside the Linux suite, using the time the end-to-end tests spend waiting on windows. The suite
# runs on a busy machine that way, as it must anyway.
qt_windows=""
if [ "$windows" = 1 ]; then
    mkdir -p build-windows
    # A session of its own, so that a failing suite stops the whole build with it. The kernel
    # shares the processor between sessions first: the session's own priority is lowered too.
    setsid bash -c 'echo 19 >/proc/self/autogroup 2>/dev/null || true
        exec nice -n 19 scripts/build-qt-windows.sh' >build-windows/qt-build.log 2>&1 &
    qt_windows=$!
    trap 'kill -- -"$qt_windows" 2>/dev/null || true' EXIT
fi
scripts/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)"

if [ "$sanitize" = 1 ]; then
    echo "== the same suite under AddressSanitizer and UndefinedBehaviorSanitizer"
    BUILD_DIR=build-asan scripts/build.sh -DTAVREL_SANITIZE=ON
    # Reports go to files as well, so that one from a child process (the end-to-end tests run
    # the real program) fails the run even when its parent does not notice.
    reports=$PWD/build-asan/sanitizer-reports
    rm -rf "$reports"
    mkdir -p "$reports"
    # Full stacks on malloc: the leak suppressions match frames inside Qt, which has no frame
    # pointers. The end-to-end tests start the program under faketime, whose preloaded library
    # comes before the ASan runtime; that order is intended, so ASan is told not to refuse it.
    export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:fast_unwind_on_malloc=0:verify_asan_link_order=0:log_path=$reports/asan"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/ubsan"
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    status=0
    ctest --test-dir build-asan --output-on-failure -j"$(nproc)" || status=$?
    if [ -n "$(ls -A "$reports")" ]; then
        echo "!! sanitizer reports:"
        for f in "$reports"/*; do
            echo "--- $f"
            cat "$f"
        done
        status=1
    fi
    [ "$status" = 0 ] || exit "$status"
fi

if [ "$fuzz" = 1 ]; then
    echo "== every fuzz target for 30 seconds"
    fuzz/run.sh 30
fi

if [ "$windows" = 1 ]; then
    echo "== the Windows build and its tests under wine"
    if ! wait "$qt_windows"; then
        tail -n 40 build-windows/qt-build.log
        echo "!! the toolkit for Windows did not build (build-windows/qt-build.log)"
        exit 1
    fi
    scripts/test-windows.sh
fi
