#!/usr/bin/env bash
# Peak resident set (VmHWM, KB) at the six screen sizes:
#   - the real program headless from start to its menu shown (the frames BM_StartToMenu counts);
#   - the busy-board benchmark (the busy frame restored and played);
#   - the adventure flow, from the figures the flow tests append to <build>/flow-figures.txt
#     ("flow WxH vmhwm_kb frames wall_seconds"); "-" where no run has written one. Every other
#     flow found there is listed after the table.
# Usage: bench/measure_memory.sh [build folder, default build/release]
set -uo pipefail
build=${1:-build/release}
kelo=$build/kelo
bench=$build/bench/kelo_bench
figures=$build/flow-figures.txt
[ -x "$kelo" ] && [ -x "$bench" ] || { echo "build kelo and kelo_bench in $build first" >&2; exit 1; }
work=$(mktemp -d /tmp/kelo_memory_XXXXXX)
trap 'rm -rf "$work"' EXIT

# The peak resident KB of a command, from the kernel's own count (ru_maxrss is VmHWM).
peak_kb() {
    rm -rf "$work/save"
    KELO_SAVE_DIR="$work/save" /usr/bin/time -f '%M' -o "$work/rss.txt" "$@" >"$work/out.txt" 2>&1 || { echo "failed"; return; }
    cat "$work/rss.txt"
}

echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-9s %8s %16s %16s %16s\n' size frames "menu VmHWM KB" "busy VmHWM KB" "adventure KB"
for size in 800x480 640x480 320x320 400x240 320x240 240x240; do
    frames=$(KELO_SCREEN=$size "$bench" --benchmark_filter='BM_StartToMenu' 2>/dev/null | grep -o 'frames=[0-9]*' | cut -d= -f2)
    menu=-
    [ -n "$frames" ] && menu=$(peak_kb env KELO_HEADLESS=1 KELO_SCREEN="$size" KELO_FRAMES="$frames" "$kelo")
    busy=$(peak_kb env KELO_SCREEN="$size" "$bench" --benchmark_filter='BM_BusyRestoredFrame')
    grep -q 'balls=' "$work/out.txt" || busy="$busy (no board)"
    adventure=-
    if [ -f "$figures" ]; then
        adventure=$(awk -v s="$size" '$1 ~ /adventure/ && $2 == s {kb = $3} END {print kb == "" ? "-" : kb}' "$figures")
    fi
    printf '%-9s %8s %16s %16s %16s\n' "$size" "${frames:--}" "$menu" "$busy" "$adventure"
done
echo "goal: at most 65536 KB (64 MB) at 800x480"
if [ -f "$figures" ]; then
    echo "every flow in $figures (its last run at each size): flow size VmHWM_KB frames wall_s"
    awk '{last[$1 " " $2] = $0} END {for (k in last) print last[k]}' "$figures" | sort
fi
