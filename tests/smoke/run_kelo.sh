#!/usr/bin/env bash
# Runs the real program as a user would and checks that it starts, shows frames and ends cleanly.
#   run_kelo.sh <kelo> headless   on the null back end, with a second instance that must end at once
#   run_kelo.sh <kelo> window     in an SDL window under Xvfb (skipped, code 77, without xvfb-run)
#   run_kelo.sh <kelo> nodisplay  with SDL on a driver that shows nothing, which must fail loudly
#   run_kelo.sh <kelo> damaged    headless copies beside damaged packs, which must fail saying why
#   run_kelo.sh <kelo> play       played in a scaled window under Xvfb by X events (xdotool), its
#                                 frames taken from the X server (skipped, code 77, without them)
#   run_kelo.sh <kelo> links      headless, with links planted at every name a save writes and at
#                                 the picture's
set -uo pipefail
kelo=$(realpath -s "$1")  # absolute: some runs start in folders of their own
mode=$2
work=$(mktemp -d /tmp/kelo_smoke_XXXXXX)
trap 'rm -rf "$work"' EXIT

# The 8-byte PNG signature and the IHDR size: width and height as 4-byte big-endian words.
check_png() {
    local file=$1 width=$2 height=$3
    [ -s "$file" ] || { echo "no picture written"; return 1; }
    local head
    head=$(od -A n -t x1 -N 24 "$file" | tr -d ' \n')
    [ "${head:0:16}" = "89504e470d0a1a0a" ] || { echo "not a PNG: $head"; return 1; }
    [ $((16#${head:32:8})) -eq "$width" ] && [ $((16#${head:40:8})) -eq "$height" ] ||
        { echo "picture is not ${width}x${height}: $head"; return 1; }
}

# Links at names in the save folder, each to a file of its own outside it.
plant_links() {  # save outside names...
    local save=$1 outside=$2 name
    shift 2
    mkdir -p "$save" "$outside"
    for name in "$@"; do
        printf 'kept as %s\n' "$name" >"$outside/$name"
        ln -s "$outside/$name" "$save/$name"
    done
}

# No save wrote through a planted link, and the files named were put in place as plain files.
check_links() {  # save outside saved...
    local save=$1 outside=$2 target name
    shift 2
    for target in "$outside"/*; do
        printf 'kept as %s\n' "${target##*/}" | cmp -s - "$target" ||
            { echo "a save wrote through the link at ${target##*/}"; return 1; }
    done
    for name in "$@"; do
        [ -f "$save/$name" ] && [ ! -L "$save/$name" ] || { echo "$name is not a plain file after the save"; return 1; }
    done
}

# Runs the command and writes its peak resident size in KiB (its own or any of its children's) to
# the file.
peak_rss() {  # file command...
    python3 -c 'import resource, subprocess, sys
code = subprocess.call(sys.argv[2:])
open(sys.argv[1], "w").write(f"{resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss}\n")
sys.exit(code)' "$@"
}

# The program and its packs in a folder of their own.
copy_program() {  # folder
    local source file
    source=$(dirname "$kelo")
    mkdir -p "$1"
    for file in "$kelo" "$source"/_game_*.pak; do
        ln "$file" "$1/" 2>/dev/null || cp "$file" "$1/"
    done
}

# A copy of the program and its packs in a folder of its own, with one pack damaged: the run must
# end with 1, say on stderr what it could not load and why, and write no picture. With
# KELO_PEAK_RSS_KB set (not under the sanitizers, which keep memory of their own) it must also stay
# within that much memory.
run_damaged() {  # case pack said [junk | drop NAME | garble NAME | bomb NAME...]
    local case=$1 pack=$2 said=$3 source dir
    shift 3
    source=$(dirname "$kelo")
    dir="$work/$case"
    copy_program "$dir"
    rm -f "$dir/$pack"
    if [ "${1:-}" = junk ]; then
        printf 'not a pack at all\n' >"$dir/$pack"
    elif [ $# -gt 0 ]; then
        python3 "$(dirname "$0")/damage_pack.py" "$source/$pack" "$dir/$pack" "$@" || return 1
    fi
    KELO_HEADLESS=1 KELO_FRAMES=1000 KELO_SHOT="$dir/shot.png" KELO_SAVE_DIR="$dir/save" \
        peak_rss "$dir/rss.txt" timeout 120 "$dir/kelo" 2>"$dir/said.txt"
    local code=$?
    [ $code -eq 1 ] || { echo "$case: kelo ended with $code"; cat "$dir/said.txt"; return 1; }
    grep -qF -- "$said" "$dir/said.txt" || { echo "$case: stderr did not say: $said"; cat "$dir/said.txt"; return 1; }
    [ ! -e "$dir/shot.png" ] || { echo "$case: a picture was written"; return 1; }
    local rss
    rss=$(cat "$dir/rss.txt")
    echo "$case: peak RSS $rss KiB"
    [ -z "${KELO_PEAK_RSS_KB:-}" ] || [ "$rss" -le "$KELO_PEAK_RSS_KB" ] ||
        { echo "$case: above $KELO_PEAK_RSS_KB KiB"; return 1; }
    rm -rf "$dir"
}

case "$mode" in
damaged)
    run_damaged layout _game_common.pak 'cannot build the start menu: ui\ui_800x480\keloui.txt: not in the packs' \
        drop ui/ui_800x480/keloui.txt || exit 1
    run_damaged sprite _game_800x480.pak 'i_800x480\board\ball1.png: not in the packs' \
        drop i_800x480/board/ball1.png || exit 1
    run_damaged scripts _game_common.pak 'cannot load the sprite scripts: ui\sprites.txt: not in the packs' \
        drop ui/sprites.txt || exit 1
    run_damaged effect _game_common.pak \
        'cannot load the sound effect button1.ogg: Sounds\button1.ogg: a page header is damaged' \
        garble Sounds/button1.ogg || exit 1
    # Pages in an order no encoder writes, which crashed the system's decoder.
    run_damaged hostile_effect _game_common.pak 'cannot load the sound effect coingrab.ogg: Sounds\coingrab.ogg: ' \
        "file=$(dirname "$0")/../fuzz/corpus/fuzz_ogg_sample/chained_pages.ogg" Sounds/coingrab.ogg || exit 1
    run_damaged music _game_common.pak 'cannot load the music: Sounds\Music\kelo.s3m: not in the packs' \
        drop Sounds/Music/kelo.s3m || exit 1
    # The first of two entries of one name is the one read: junk there leaves the menu wordless.
    run_damaged texts_ahead _game_common.pak 'Languages\kelo.csv: damaged: it gives no text for the start menu' \
        ahead Languages/kelo.csv || exit 1
    # A gigabyte of zeros deflated to a megabyte, where a start-up file and the layout should be.
    run_damaged bomb_texts _game_common.pak \
        'cannot load the texts and fonts: Languages\kelo.csv: damaged in its pack, or too large' \
        bomb Languages/kelo.csv || exit 1
    run_damaged bomb_layout _game_common.pak 'ui\ui_800x480\keloui.txt: damaged in its pack, or too large' \
        bomb ui/ui_800x480/keloui.txt || exit 1
    run_damaged no_pack _game_800x480.pak '_game_800x480.pak: No such file or directory' || exit 1
    run_damaged junk_pack _game_common.pak '_game_common.pak: not a pack' junk || exit 1
    ;;
headless)
    KELO_HEADLESS=1 KELO_FRAMES=30 KELO_SHOT="$work/shot.png" KELO_SAVE_DIR="$work/save" timeout 60 "$kelo"
    code=$?
    [ $code -eq 0 ] || { echo "kelo ended with $code"; exit 1; }
    check_png "$work/shot.png" 800 480 || exit 1
    # Every screen size starts on the packs and leaves its options behind for the next run.
    for size in 800x480 640x480 320x320 400x240 320x240 240x240; do
        KELO_HEADLESS=1 KELO_SCREEN=$size KELO_FRAMES=3 KELO_SAVE_DIR="$work/sizes" timeout 60 "$kelo" ||
            { echo "kelo at $size ended with $?"; exit 1; }
        [ "$(stat -c %s "$work/sizes/global.opt" 2>/dev/null)" = 5749 ] ||
            { echo "kelo at $size left no whole global.opt"; exit 1; }
    done
    # A screen larger than a handheld's is refused, said, and the default one used.
    KELO_HEADLESS=1 KELO_SCREEN=2049x2048 KELO_FRAMES=3 KELO_SHOT="$work/large.png" KELO_SAVE_DIR="$work/sizes" \
        timeout 60 "$kelo" 2>"$work/said.txt" || { echo "kelo at 2049x2048 ended with $?"; exit 1; }
    grep -qF 'KELO_SCREEN=2049x2048 is not' "$work/said.txt" || { echo "2049x2048 was not refused"; exit 1; }
    check_png "$work/large.png" 800 480 || exit 1
    # A second instance, while the first holds the save folder's lock, ends with 0 at once.
    python3 -c 'import fcntl, sys, time
with open(sys.argv[1], "a") as lock:
    fcntl.lockf(lock, fcntl.LOCK_EX)
    time.sleep(5)' "$work/save/Kelo_Window.lock" &
    holder=$!
    sleep 0.5
    KELO_HEADLESS=1 KELO_SAVE_DIR="$work/save" KELO_SHOT="$work/second.png" timeout 20 "$kelo" 2>"$work/second.txt"
    code=$?
    kill $holder 2>/dev/null
    wait $holder 2>/dev/null
    [ $code -eq 0 ] || { echo "the second instance ended with $code"; exit 1; }
    [ ! -e "$work/second.png" ] || { echo "the second instance ran"; exit 1; }
    grep -q "already running" "$work/second.txt" || { echo "the second instance said nothing"; exit 1; }
    # A headless run that could never end refuses to start, says why, and fails.
    for frames in 10abc -5 0; do
        KELO_HEADLESS=1 KELO_FRAMES=$frames KELO_SAVE_DIR="$work/save_bad" timeout 20 "$kelo" 2>"$work/bad.txt"
        code=$?
        [ $code -ne 0 ] && [ $code -ne 124 ] || { echo "KELO_FRAMES=$frames ended with $code"; exit 1; }
        grep -q "KELO_FRAMES=$frames" "$work/bad.txt" || { echo "KELO_FRAMES=$frames was not named"; exit 1; }
    done
    # A relative save folder lies in the folder the program started in, and nothing else is made
    # there; a value that cannot be a folder is said once and the default folder is used.
    mkdir -p "$work/here"
    : >"$work/here/file"
    (cd "$work/here" && KELO_HEADLESS=1 KELO_FRAMES=3 KELO_SAVE_DIR=save timeout 60 "$kelo") ||
        { echo "kelo on a relative save folder ended with $?"; exit 1; }
    [ -f "$work/here/save/global.opt" ] || { echo "a relative save folder was not used"; exit 1; }
    for value in 'back\slash' "$work/here/file" "$work/here/$(printf '%0300d' 0)" /; do
        (cd "$work/here" && HOME="$work/home" XDG_DATA_HOME='' KELO_HEADLESS=1 KELO_FRAMES=3 KELO_SAVE_DIR="$value" \
            timeout 60 "$kelo" 2>"$work/said.txt") || { echo "kelo on KELO_SAVE_DIR=$value ended with $?"; exit 1; }
        [ "$(grep -c 'cannot be the save folder' "$work/said.txt")" = 1 ] ||
            { echo "KELO_SAVE_DIR=$value was not said once"; cat "$work/said.txt"; exit 1; }
        [ -f "$work/home/.local/share/kelo/global.opt" ] || { echo "KELO_SAVE_DIR=$value: the default was not used"; exit 1; }
        rm -rf "$work/home"
    done
    [ "$(ls "$work/here" | tr '\n' ' ')" = "file save " ] || { echo "stray files beside the save folder: $(ls "$work/here")"; exit 1; }
    # With no folder to take the default from, the saves go beside the program, and that is said.
    copy_program "$work/alone"
    (cd "$work/here" && env -u XDG_DATA_HOME -u KELO_SAVE_DIR HOME='' KELO_HEADLESS=1 KELO_FRAMES=3 \
        timeout 60 "$work/alone/kelo" 2>"$work/said.txt") || { echo "kelo with an empty HOME ended with $?"; exit 1; }
    grep -qF "the saves go to the program's folder, $work/alone" "$work/said.txt" ||
        { echo "saves beside the program were not said"; cat "$work/said.txt"; exit 1; }
    [ -f "$work/alone/global.opt" ] && [ -f "$work/alone/Kelo_Window.lock" ] ||
        { echo "with an empty HOME the saves and their lock did not go beside the program"; exit 1; }
    # A screen without the raw frame buffer runs through GAPI at half resolution; its picture
    # replaces the first run's.
    KELO_HEADLESS=1 KELO_SCREEN=640x480 KELO_RAW_FRAMEBUFFER=0 KELO_FRAMES=10 KELO_SHOT="$work/shot.png" \
        KELO_SAVE_DIR="$work/save_gapi" timeout 60 "$kelo"
    code=$?
    [ $code -eq 0 ] || { echo "kelo on GAPI ended with $code"; exit 1; }
    check_png "$work/shot.png" 640 480 || exit 1
    ;;
links)
    # A first run writes global.opt; the saves' temporaries are made afresh, never written through.
    plant_links "$work/save" "$work/outside" global.opt global.opt.tmp saveresume.dat saveresume.dat2 saveresume.dat.bad
    KELO_HEADLESS=1 KELO_FRAMES=30 KELO_SAVE_DIR="$work/save" timeout 60 "$kelo"
    code=$?
    [ $code -eq 0 ] || { echo "kelo ended with $code"; exit 1; }
    check_links "$work/save" "$work/outside" global.opt || exit 1
    # A picture that cannot be put at a link to a device fails naming it, and the link stays.
    mkdir "$work/shots"
    ln -s /dev/full "$work/shots/full.png"
    KELO_HEADLESS=1 KELO_FRAMES=30 KELO_SHOT="$work/shots/full.png" KELO_SAVE_DIR="$work/save" timeout 60 "$kelo" \
        2>"$work/said.txt"
    code=$?
    [ $code -eq 1 ] || { echo "a picture at a link to /dev/full ended with $code"; exit 1; }
    [ "$(readlink "$work/shots/full.png")" = /dev/full ] && [ "$(ls "$work/shots")" = full.png ] ||
        { echo "the link was not left alone: $(ls -l "$work/shots")"; exit 1; }
    grep -qF "$work/shots/full.png: " "$work/said.txt" || { echo "the picture's file was not named"; cat "$work/said.txt"; exit 1; }
    ;;
window)
    command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed"; exit 77; }
    # The desktop's own libraries (D-Bus, GL drivers) keep memory to the end; leaks of ours show in
    # the headless run.
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" SDL_AUDIODRIVER=dummy KELO_FRAMES=30 KELO_SHOT="$work/shot.png" KELO_SAVE_DIR="$work/save" \
        timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" "$kelo"
    code=$?
    [ $code -eq 0 ] || { echo "kelo in a window ended with $code"; exit 1; }
    check_png "$work/shot.png" 800 480 || exit 1
    ;;
play)
    for tool in Xvfb xdotool xwd xwininfo; do
        command -v $tool >/dev/null || { echo "$tool is not installed"; exit 77; }
    done
    # shellcheck source=tests/smoke/play_window.sh
    source "$(dirname "$0")/play_window.sh"
    play_in_window "$kelo" "$work" "${KELO_LOOK_DIR:-$(dirname "$kelo")/look}" || exit 1
    ;;
nodisplay)
    # SDL would draw into memory nobody sees: the program says so, names the headless switch and
    # fails instead of running silently.
    for driver in offscreen dummy; do
        SDL_VIDEODRIVER=$driver SDL_AUDIODRIVER=dummy KELO_FRAMES=30 KELO_SAVE_DIR="$work/save" \
            timeout 20 "$kelo" 2>"$work/said.txt"
        code=$?
        [ $code -ne 0 ] && [ $code -ne 124 ] || { echo "kelo on the $driver driver ended with $code"; exit 1; }
        grep -q "KELO_HEADLESS=1" "$work/said.txt" || { echo "the $driver run did not name KELO_HEADLESS=1"; exit 1; }
    done
    ;;
*)
    echo "usage: $0 <kelo> headless|window|nodisplay|play|damaged|links" >&2
    exit 2
    ;;
esac
echo "kelo $mode run ended cleanly"
