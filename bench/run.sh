#!/usr/bin/env bash
# Builds and runs the benchmarks, then prints the scans beside their floor (listing the folder
# and reading the same files whole, measured in the same run): the ratio to the floor and the
# time per file at each count. On a shared machine the least of the repetitions counts, and the
# repetitions of all benchmarks are interleaved at random so that a burst of load elsewhere does
# not fall on one of them alone.
# Usage: bench/run.sh [build-dir] [extra Google Benchmark flags...]   (env: REPS=7)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
shift || true
REPS=${REPS:-7}

cmake -S . -B "$BUILD" -G Ninja -DTAVREL_WERROR=ON -DTAVREL_BENCH=ON >/dev/null
ninja -C "$BUILD" -j2 tavrel_bench qtfloor >/dev/null

json=$(mktemp)
trap 'rm -f "$json"' EXIT
LC_ALL=C.UTF-8 TZ=UTC "$BUILD"/bench/tavrel_bench --benchmark_repetitions="$REPS" \
    --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true --benchmark_out="$json" \
    --benchmark_out_format=json "$@" >&2

python3 - "$json" <<'EOF'
import json, re, sys

runs = json.load(open(sys.argv[1]))["benchmarks"]
mins = {r["run_name"]: r for r in runs if r.get("aggregate_name") == "min"}

def ms(r):
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[r["time_unit"]]
    return r["real_time"] * scale

counts = sorted({int(m.group(1)) for n in mins if (m := re.search(r"/(\d+)$", n))})
floor = {n: ms(mins[f"BM_Floor_ListAndRead/{n}"]) for n in counts if f"BM_Floor_ListAndRead/{n}" in mins}
print("\n| what | N | time ms | per file us | x floor | per file vs N=%d |" % counts[0])
print("|---|---:|---:|---:|---:|---:|")
for name in ("BM_Floor_ListAndRead", "BM_Startup_Main", "BM_RebuildTimerFile",
             "BM_Save_cmdSaveMessage_Click"):
    first = None
    for n in counts:
        r = mins.get(f"{name}/{n}")
        if not r:
            continue
        t = ms(r)
        per = t * 1000 / n
        first = first or per
        print(f"| {name[3:]} | {n} | {t:.2f} | {per:.2f} | {t / floor[n]:.2f} | {per / first:.2f} |")
print("\n| what | time us (min of repetitions) |")
print("|---|---:|")
for name in ("BM_ReadMessageFile", "BM_Floor_ReadFile", "BM_WriteMessageFile",
             "BM_Floor_WriteFile", "BM_PaintPicMonth"):
    if name in mins:
        print(f"| {name[3:]} | {ms(mins[name]) * 1000:.1f} |")
EOF
