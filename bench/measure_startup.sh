#!/usr/bin/env bash
# Start-up figures of the real program on one core:
#   - the first picture: wall time of a headless run that ends after 1 and after 2 frames;
#   - the CPU from start to the menu shown (Init, every loader item, the music, the menu's set-up)
#     and the frames that takes, from the benchmark BM_StartToMenu;
#   - the same frames run by the real program headless (as fast as it can) and in a window under
#     Xvfb, where the frame timer sets the pace (four loader items a frame, the fades).
# Usage: bench/measure_startup.sh [build folder, default build/release] [core, default 3] [runs, default 5]
set -uo pipefail
build=${1:-build/release}
core=${2:-3}
runs=${3:-5}
kelo=$build/kelo
bench=$build/bench/kelo_bench
[ -x "$kelo" ] && [ -x "$bench" ] || { echo "build kelo and kelo_bench in $build first" >&2; exit 1; }
work=$(mktemp -d /tmp/kelo_startup_XXXXXX)
xvfb=
trap '[ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT

echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores; core $core; load average $(cut -d' ' -f1-3 /proc/loadavg)"

# Median of the wall seconds of $runs runs of the command, each on a fresh save folder.
median_wall() {
    local times=() i start end
    for ((i = 0; i < runs; i++)); do
        rm -rf "$work/save"
        start=$(date +%s%N)
        KELO_SAVE_DIR="$work/save" "$@" >/dev/null 2>&1 || { echo "failed"; return 1; }
        end=$(date +%s%N)
        times+=("$(( (end - start) / 1000 ))")
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.3f s (of %d runs, %.3f..%.3f)", a[int((NR+1)/2)]/1e6, NR, a[1]/1e6, a[NR]/1e6}'
}

# User and system seconds of one run: what the wall time would be on an idle core.
cpu_of() {
    rm -rf "$work/save"
    KELO_SAVE_DIR="$work/save" /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" "$@" >/dev/null 2>&1
    read -r wall user sys rss <"$work/time.txt"
    echo "CPU $(awk -v u="$user" -v s="$sys" 'BEGIN {print u + s}') s, wall $wall s, peak resident $rss KB"
}

for frames in 1 2; do
    echo "first picture, headless, KELO_FRAMES=$frames: $(median_wall env KELO_HEADLESS=1 KELO_FRAMES=$frames taskset -c "$core" "$kelo");" \
        "one run: $(cpu_of env KELO_HEADLESS=1 KELO_FRAMES=$frames taskset -c "$core" "$kelo")"
done

line=$(taskset -c "$core" "$bench" --benchmark_filter='BM_StartToMenu' 2>/dev/null | grep '^BM_StartToMenu')
[ -n "$line" ] || { echo "BM_StartToMenu did not run"; exit 1; }
cpu_ms=$(awk '{print $2}' <<<"$line")
menu_frames=$(grep -o 'frames=[0-9.k]*' <<<"$line" | cut -d= -f2)
paced=$(grep -o 'paced_ms=[0-9.k]*' <<<"$line" | cut -d= -f2)
first=$(grep -o 'first_picture_cpu_ms=[0-9.]*' <<<"$line" | cut -d= -f2)
echo "CPU from start to the menu shown: $cpu_ms ms (first picture after $first ms), $menu_frames frames"
echo "the menu at the frame timer's pace: $menu_frames frames x 30 ms = $paced ms"

echo "real kelo headless to the menu ($menu_frames frames, process start and exit included):" \
    "$(cpu_of env KELO_HEADLESS=1 KELO_FRAMES="$menu_frames" taskset -c "$core" "$kelo")"

if command -v Xvfb >/dev/null; then
    display=:$((90 + core))
    Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
    xvfb=$!
    sleep 1
    echo "real kelo in a window under Xvfb to the menu ($menu_frames frames): $(median_wall env DISPLAY="$display" \
        SDL_AUDIODRIVER=dummy KELO_FRAMES="$menu_frames" taskset -c "$core" "$kelo")"
    echo "real kelo in a window, first picture (KELO_FRAMES=1): $(median_wall env DISPLAY="$display" \
        SDL_AUDIODRIVER=dummy KELO_FRAMES=1 taskset -c "$core" "$kelo")"
else
    echo "no Xvfb: the paced window run is skipped"
fi
