#!/usr/bin/env bash
# What the idle program costs on a real X display with a tray host, beside the toolkit's floor
# (bench/qtfloor: a tray icon, two timers and Qt Multimedia, nothing else). Subjects: the floor,
# and build/bin/tavrel with 0, 100 and 10,000 message files, none of them due (with 0 files the
# composer is shown). Each subject is measured ROUNDS times:
#   tray  time from process start to its icon being embedded in the tray host's panel
#   rss   resident memory (VmRSS) after 10 s idle
#   cpu   utime+stime (clock ticks of 10 ms) over the following IDLE seconds
#   ctx   voluntary+nonvoluntary context switches of all its threads over those seconds
# Each subject has its own Xvfb and tray host; a subject idles while the next one starts, so a
# round takes about IDLE+15 seconds. Prints min and median of each and their ratios to the floor.
# Usage: bench/footprint.sh [build-dir]     (env: ROUNDS=5 IDLE=60 SETTLE=10)
# Needs: a build with -DTAVREL_BENCH=ON, Xvfb, trayer, xdotool, x11-utils.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath "${1:-build}")
ROUNDS=${ROUNDS:-5}
IDLE=${IDLE:-60}
SETTLE=${SETTLE:-10}
TAVREL=$BUILD/bin/tavrel
FLOOR=$BUILD/bench/qtfloor
[ -x "$TAVREL" ] || { echo "no $TAVREL" >&2; exit 1; }
[ -x "$FLOOR" ] || { echo "no $FLOOR: configure with -DTAVREL_BENCH=ON" >&2; exit 1; }

TMP=$(mktemp -d)
PIDS=()
cleanup() {
    local pid
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$TMP"
}
trap cleanup EXIT

SUBJECTS=(floor t0 t100 t10000)
HZ=$(getconf CLK_TCK)
# The program reads the message files below with day/month/year dates.
export LC_ALL=C.UTF-8 TZ=UTC QT_QPA_PLATFORM=xcb
LOCALE=en_GB.UTF-8
unset WAYLAND_DISPLAY

# A program folder with `count` message files, none due: the final date lies a year ahead.
make_folder() {
    local dir=$1 count=$2 i
    mkdir -p "$dir"
    cp "$TAVREL" "$BUILD"/bin/Tavrel.wav "$BUILD"/bin/Saved.wav "$dir/"
    local final
    final=$(date -d '+400 days' +%d/%m/%Y)
    for ((i = 0; i < count; i++)); do
        printf '"%s","%s","0","%s","12:00:00 am","12:00:00 am"\r\n' "$final" \
            "Reminder number $i: renew the parking permit" "$final" >"$dir/message $i.tvr"
    done
}

# A display with a tray host for each subject.
n=600
for s in "${SUBJECTS[@]}"; do
    while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
    Xvfb :$n -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    PIDS+=($!)
    eval "DISPLAY_$s=:$n"
    for _ in $(seq 100); do DISPLAY=:$n xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    DISPLAY=:$n trayer --edge top --align right --widthtype request --height 32 >/dev/null 2>&1 &
    PIDS+=($!)
    n=$((n + 1))
done
sleep 2
for s in "${SUBJECTS[@]}"; do
    mkdir -p "$TMP/$s/config" "$TMP/$s/runtime"
    chmod 700 "$TMP/$s/runtime"
    case $s in
    t*) make_folder "$TMP/$s/folder" "${s#t}" ;;
    floor) mkdir -p "$TMP/$s/folder" && cp "$FLOOR" "$TMP/$s/folder/" ;;
    esac
done

# Prints "x" once a window of class `class` sits embedded in the panel (top right), else fails.
embedded() {
    local class=$1 w X Y WIDTH HEIGHT SCREEN
    for w in $(xdotool search --classname "^$class\$" 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null)" || continue
        if [ "${Y:-99}" -lt 32 ] && [ "${X:-0}" -gt 512 ] && [ "${WIDTH:-0}" -le 40 ] &&
            [ "${WIDTH:-0}" -gt 4 ]; then
            return 0
        fi
    done
    return 1
}

now_ns() { date +%s%N; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
ctx_switches() {
    cat /proc/"$1"/task/*/status 2>/dev/null |
        awk '/^(non)?voluntary_ctxt_switches/ { n += $2 } END { print n + 0 }'
}

# Idles the started subject and writes "rss cpu ctx" into `out`, then ends it.
idle_measure() {
    local pid=$1 out=$2 rss c0 x0 c1 x1
    sleep "$SETTLE"
    rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status")
    c0=$(cpu_ticks "$pid")
    x0=$(ctx_switches "$pid")
    sleep "$IDLE"
    c1=$(cpu_ticks "$pid")
    x1=$(ctx_switches "$pid")
    kill "$pid" 2>/dev/null || true
    echo "$rss $((c1 - c0)) $((x1 - x0))" >"$out"
}

echo "footprint: $ROUNDS rounds, ${SETTLE}s settle, ${IDLE}s idle, clock ticks of $((1000 / HZ)) ms" >&2
for ((r = 1; r <= ROUNDS; r++)); do
    waiters=()
    for s in "${SUBJECTS[@]}"; do
        dvar=DISPLAY_$s
        # A runtime folder of its own per round, as each login has: the subject is killed at the
        # end of a round, and the single-instance lock it leaves behind would be found stale,
        # and taken over, at the next start (about 14 ms that no normal start pays).
        mkdir -p "$TMP/$s/runtime.$r"
        chmod 700 "$TMP/$s/runtime.$r"
        export DISPLAY=${!dvar} XDG_CONFIG_HOME=$TMP/$s/config XDG_RUNTIME_DIR=$TMP/$s/runtime.$r
        if [ "$s" = floor ]; then
            prog=$TMP/$s/folder/qtfloor class=qtfloor
        else
            prog=$TMP/$s/folder/tavrel class=tavrel
        fi
        t0=$(now_ns)
        (cd "$TMP/$s/folder" && LC_ALL=$LOCALE exec "$prog") >"$TMP/$s/log" 2>&1 &
        pid=$!
        PIDS+=("$pid")
        until embedded "$class"; do
            kill -0 "$pid" 2>/dev/null || { echo "$s ended early" >&2; cat "$TMP/$s/log" >&2; exit 1; }
            [ $(($(now_ns) - t0)) -lt 60000000000 ] || { echo "$s: no tray icon" >&2; exit 1; }
            sleep 0.005
        done
        t1=$(now_ns)
        echo "$(((t1 - t0) / 1000000))" >"$TMP/$s/tray.$r"
        idle_measure "$pid" "$TMP/$s/idle.$r" &
        waiters+=($!)
    done
    wait "${waiters[@]}"
    echo "round $r done" >&2
done

# min and median of a column of numbers
stats() { sort -n | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; print v[1], m }'; }
declare -A MIN MED
for s in "${SUBJECTS[@]}"; do
    read -r MIN[$s,tray] MED[$s,tray] < <(cat "$TMP/$s"/tray.* | stats)
    read -r MIN[$s,rss] MED[$s,rss] < <(cat "$TMP/$s"/idle.* | awk '{ print $1 }' | stats)
    read -r MIN[$s,cpu] MED[$s,cpu] < <(cat "$TMP/$s"/idle.* | awk '{ print $2 }' | stats)
    read -r MIN[$s,ctx] MED[$s,ctx] < <(cat "$TMP/$s"/idle.* | awk '{ print $3 }' | stats)
done

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) print (a == 0 ? "1.00" : "inf"); else printf "%.2f", a / b }'; }
printf '\n| subject | start to tray ms (min / median) | x floor | VmRSS KiB (min / median) | x floor | CPU ticks in %ss (min / median) | context switches in %ss (min / median) |\n' "$IDLE" "$IDLE"
printf '|---|---|---|---|---|---|---|\n'
for s in "${SUBJECTS[@]}"; do
    case $s in floor) name="Qt floor (qtfloor)" ;; *) name="tavrel, ${s#t} messages" ;; esac
    printf '| %s | %s / %s | %s | %s / %s | %s | %s / %s | %s / %s |\n' "$name" \
        "${MIN[$s,tray]}" "${MED[$s,tray]}" "$(ratio "${MED[$s,tray]}" "${MED[floor,tray]}")" \
        "${MIN[$s,rss]}" "${MED[$s,rss]}" "$(ratio "${MED[$s,rss]}" "${MED[floor,rss]}")" \
        "${MIN[$s,cpu]}" "${MED[$s,cpu]}" "${MIN[$s,ctx]}" "${MED[$s,ctx]}"
done
echo
echo "Ratios are of the medians. Raw (ms | KiB ticks switches) per round:"
for s in "${SUBJECTS[@]}"; do
    echo "  $s: tray $(cat "$TMP/$s"/tray.* | tr '\n' ' ')| idle $(cat "$TMP/$s"/idle.* | tr '\n' ';')"
done
