#!/usr/bin/env bash
# Builds every fuzz target with clang's libFuzzer and runs each for SECONDS (default 30).
# Usage: fuzz/run.sh [SECONDS] [TARGET...]
# The seed corpus is written fresh from the program's own writers; what the fuzzer adds is kept
# in build-fuzz/corpus/<target>/ between runs. A crash leaves its input in
# build-fuzz/artifacts/<target>/ and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
dir=${FUZZ_BUILD_DIR:-build-fuzz}

cmake -S . -B "$dir" -G Ninja -DTAVREL_FUZZ=ON -DTAVREL_WERROR=ON \
    -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if ! cmake --build "$dir" -j"$(nproc)" >"$dir/build.log" 2>&1; then
    cat "$dir/build.log"
    exit 1
fi

rm -rf "$dir/seeds"
"$dir/make_corpus" "$dir/seeds"

targets=("$@")
[ ${#targets[@]} -gt 0 ] || mapfile -t targets <"$dir/fuzzers.txt"

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for t in "${targets[@]}"; do
    [ -n "$t" ] || continue
    mkdir -p "$dir/corpus/$t" "$dir/artifacts/$t" "$dir/seeds/$t"
    echo "== $t: ${seconds}s"
    if "$dir/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$dir/artifacts/$t/" \
        "$dir/corpus/$t" "$dir/seeds/$t" >"$dir/$t.log" 2>&1; then
        grep -E '^(Done|stat::number_of_executed_units)' "$dir/$t.log" || true
    else
        echo "!! $t failed:"
        tail -n 60 "$dir/$t.log"
        failed+=("$t")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing found faults in: ${failed[*]}"
    exit 1
fi
echo "fuzzing: ${#targets[@]} targets, no findings"
