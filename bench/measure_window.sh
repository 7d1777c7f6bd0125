#!/usr/bin/env bash
# The real program in an SDL window under Xvfb (no GPU there, sound on SDL's dummy driver), at the
# window's whole multiples of the 800x480 screen (Xvfb's screen sized so that 1x, 2x or 3x fits):
#   - peak resident memory playing the first stage (VmHWM once a few shots have rolled);
#   - the first picture: wall seconds of a run that ends after its first frame;
#   - the CPU from start to the menu shown, over the frames BM_StartToMenu counts;
#   - the CPU to present one changed frame in this process, a band of rows changed and every row
#     (BM_PresentWindowFrame/0 and /1), the whole frame against the window's bytes written alone
#     past the cache in the same run (its counter bytes_ms), and the whole frame through SDL's
#     OpenGL renderer on Mesa's software GL (KELO_GL=1), where Mesa is installed;
#   - the share of one core the start menu takes while it shows (it animates every frame).
# Each figure is the median of $runs runs, the spread after it.
# Usage: bench/measure_window.sh [build folder, default build/release] [runs, default 3]
set -uo pipefail
build=${1:-build/release}
runs=${2:-3}
kelo=$(realpath "$build/kelo")
bench=$(realpath "$build/bench/kelo_bench")
[ -x "$kelo" ] && [ -x "$bench" ] || { echo "build kelo and kelo_bench in $build first" >&2; exit 1; }
for tool in Xvfb xdotool xwd; do
    command -v $tool >/dev/null || { echo "$tool is not installed: no window to measure" >&2; exit 77; }
done
work=$(mktemp -d /tmp/kelo_window_XXXXXX)
# shellcheck source=tests/smoke/play_window.sh
source "$(dirname "$0")/../tests/smoke/play_window.sh"
look_dir=$work/look
mkdir -p "$look_dir"
trap 'play_cleanup; rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=dummy

echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg)"

# Median and spread of the numbers on standard input.
median() {
    sort -g | awk 'NF > 0 {a[++n] = $1}
        END {if (n == 0) {print "-"; exit} printf "%s (%s..%s)", a[int((n + 1) / 2)], a[1], a[n]}'
}

# The nanoseconds the process's threads have run so far (the scheduler's own count).
cpu_ns() {  # pid
    cat /proc/"$1"/task/*/schedstat | awk '{ns += $1} END {printf "%.0f", ns}'
}

stop_kelo() {
    kill "$kelo_pid" 2>/dev/null
    wait "$kelo_pid" 2>/dev/null
    play_cleanup
}

# A save folder with one player, so that later runs start on the menu.
make_player() {
    start_x "$work" || return 1
    start_kelo "$kelo" "$work" player || return 1
    wait_for name_entry 180 $SCREEN_NAME_ENTRY || return 1
    keys type --delay 60 "Bench"
    step 572 138 menu 60 $SCREEN_MENU || return 1
    keys key F3
    wait_exit player || return 1
    play_cleanup
    cp -r "$work/save" "$work/player"
}

# One window run on a screen of the given size, from a copy of the player's save folder: the
# start menu's share of a core over ten seconds, then the first stage played and its peak memory.
menu_and_stage() {  # screen
    start_x "$work" "$1" || return 1
    rm -rf "$work/save"
    cp -r "$work/player" "$work/save"
    start_kelo "$kelo" "$work" run || return 1
    wait_for menu 180 $SCREEN_MENU || return 1
    sleep 2
    local before after shot
    before=$(cpu_ns "$kelo_pid")
    sleep 10
    after=$(cpu_ns "$kelo_pid")
    menu+=("$(awk -v ns=$((after - before)) 'BEGIN {printf "%.1f", 100 * ns / 1e10}')")
    step 582 130 map 60 $SCREEN_MAP || return 1
    step 648 428 help 60 $SCREEN_HELP || return 1
    step 412 446 board 60 $SCREEN_BOARD || return 1
    local shot
    for shot in "150 60" "300 40" "640 420" "90 300" "400 100" "700 300"; do
        # shellcheck disable=SC2086
        tap $shot
        sleep 1
    done
    wait_for board 30 $SCREEN_BOARD || return 1
    rss+=("$(awk '/^VmHWM/ {printf "%.1f", $2 / 1024}' "/proc/$kelo_pid/status")")
    stop_kelo
}

# A run to a frame count on a fresh save folder: wall seconds, CPU seconds.
frames_run() {  # frames
    rm -rf "$work/fresh"
    local start end
    start=$(date +%s%N)
    KELO_SAVE_DIR="$work/fresh" KELO_FRAMES=$1 /usr/bin/time -f '%U %S' -o "$work/time.txt" "$kelo" >/dev/null 2>&1 ||
        return 1
    end=$(date +%s%N)
    awk -v ns=$((end - start)) '{printf "%.3f %.2f\n", ns / 1e9, $1 + $2}' "$work/time.txt"
}

menu_frames=$("$bench" --benchmark_filter='BM_StartToMenu' 2>/dev/null | grep -o 'frames=[0-9]*' | cut -d= -f2)
[ -n "$menu_frames" ] || { echo "BM_StartToMenu did not run"; exit 1; }
make_player || { echo "no player could be made"; exit 1; }

declare -A screens=([1]=1024x768x24 [2]=1700x1000x24 [3]=2500x1500x24)
# A column of a benchmark's CSV row, by the header's name.
csv_field() {  # file benchmark column
    awk -F, -v name="$2" -v column="$3" 'NR == 1 {for (i = 1; i <= NF; i++) {gsub(/"/, "", $i); at[$i] = i}}
        index($1, name) {print $(at[column])}' "$1"
}

printf '%-5s %-20s %-20s %-20s %-20s %-20s %-20s %-20s %-20s\n' scale "playing RSS MB" "first picture s" \
    "CPU to menu s" "present band ms" "present whole ms" "whole / its bytes" "GL whole ms" "menu % of a core"
for scale in 1 2 3; do
    rss=() menu=() first=() to_menu=() band=() whole=() ratio=() gl=()
    for ((i = 0; i < runs; i++)); do
        if [ "$scale" -le 2 ]; then
            menu_and_stage "${screens[$scale]}" >"$work/said.txt" || { cat "$work/said.txt"; exit 1; }
            start_x "$work" "${screens[$scale]}" || exit 1
            first+=("$(frames_run 1 | cut -d' ' -f1)")
            to_menu+=("$(frames_run "$menu_frames" | cut -d' ' -f2)")
        else
            start_x "$work" "${screens[$scale]}" || exit 1
        fi
        "$bench" --benchmark_filter='BM_PresentWindowFrame' --benchmark_format=csv >"$work/present.csv" 2>/dev/null
        band+=("$(csv_field "$work/present.csv" BM_PresentWindowFrame/0 cpu_time)")
        whole+=("$(csv_field "$work/present.csv" BM_PresentWindowFrame/1 cpu_time)")
        bytes=$(csv_field "$work/present.csv" BM_PresentWindowFrame/1 bytes_ms)
        ratio+=("$(awk -v ms="${whole[-1]}" -v bytes="$bytes" 'BEGIN {if (bytes > 0) printf "%.2f", ms / bytes}')")
        if ldconfig -p | grep -q 'libGLX_mesa\.so\.0'; then
            KELO_GL=1 "$bench" --benchmark_filter='BM_PresentWindowFrame/1' --benchmark_format=csv >"$work/gl.csv" \
                2>/dev/null
            gl+=("$(csv_field "$work/gl.csv" BM_PresentWindowFrame/1 cpu_time)")
        fi
        play_cleanup
    done
    printf '%-5s %-20s %-20s %-20s %-20s %-20s %-20s %-20s %-20s\n' "${scale}x" \
        "$(printf '%s\n' "${rss[@]}" | median)" "$(printf '%s\n' "${first[@]}" | median)" \
        "$(printf '%s\n' "${to_menu[@]}" | median)" "$(printf '%s\n' "${band[@]}" | median)" \
        "$(printf '%s\n' "${whole[@]}" | median)" "$(printf '%s\n' "${ratio[@]}" | median)" \
        "$(printf '%s\n' "${gl[@]}" | median)" "$(printf '%s\n' "${menu[@]}" | median)"
done
echo "start to the menu: $menu_frames frames; present: the process's CPU per changed frame"
echo "GL: the processor runs Mesa's GL here, so its figure is the route's cost without a GPU, not with one"
echo "goals: RSS <= 40 MB at 1x, <= 45 MB at 2x; first picture <= 0.4 s; CPU to the menu <= 0.35 s;" \
    "present <= 0.5 ms at 2x, <= 0.8 ms at 3x, a whole frame <= 1.5 times its bytes at 2x and 3x;" \
    "the menu <= 6 % of a core at 2x"
