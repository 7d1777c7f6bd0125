# Plays the real program in an SDL window under its own Xvfb, as a player would: X events at
# window coordinates (xdotool), so the window's scaling and mouse mapping are part of the play,
# and frames taken from the X server (xwd). Sourced by run_kelo.sh; play_in_window is the entry.
#
# Places are given in the 800x480 picture's own pixels and mapped to the window through the
# window's real geometry. Each screen is known by a few of its colours (xwd_look.py probe), so the
# script waits for the program however slowly it runs (a sanitizer build, a busy machine) and
# fails on the first screen that is not the one a player would see. A tap waits until the picture
# under it stands still (x_still.py): a screen or dialog drops input while it fades in, and its
# colours match before the fade ends.

play_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
play_python=$(command -v /usr/bin/python3 || command -v python3)
play_pids=()

play_cleanup() {
    local pid i
    for pid in "${play_pids[@]}"; do
        kill "$pid" 2>/dev/null
        # SDL turns the signal into a quit event, which a program held by its message box never takes.
        for i in $(seq 1 20); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.25
        done
        kill -9 "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    play_pids=()
}

# On the full screen the picture is fitted as large as its shape allows (look_fill=--fill).
look_fill=
look() { "$play_python" "$play_here/xwd_look.py" $look_fill "$@"; }

# The screens, each by four of its colours at 800x480 (x,y,RRGGBB).
SCREEN_NAME_ENTRY="134,70,73cfad 665,70,73cfad 134,410,5ac394 300,420,a59273"
SCREEN_NAME_TYPED="$SCREEN_NAME_ENTRY 507,138,217552 637,138,319e73"
SCREEN_MENU="200,93,291c42 300,420,426531 400,395,f7b263 648,428,101010"
SCREEN_MENU_EDGES="770,2,826d52 400,477,6b5651 2,240,843b4a 797,10,74654a"
SCREEN_MAP="200,93,4a7db5 400,40,396dad 648,428,ded75a 150,428,e7a242"
SCREEN_HELP="200,93,103029 100,100,103029 582,130,103429 582,395,a57521"
SCREEN_BOARD="20,458,fff7ce 120,250,948e6b 640,250,9c966b 700,240,7b795a"
SCREEN_READY="300,300,2f2618 500,220,292018 120,250,464430 640,250,4a4831"
SCREEN_PAUSE="400,270,292418 170,240,736142 700,240,393c29 20,458,735d29"
SCREEN_CONTINUE="400,247,ad864a 250,180,312819 700,240,100f10 150,428,201e14"

# Starts Xvfb on a display it picks itself (no race with other servers started side by side).
start_x() {  # work [screen, default 1700x1000x24]
    local work=$1 screen=${2:-1700x1000x24} fifo=$1/display
    rm -f "$fifo"
    mkfifo "$fifo"
    Xvfb -displayfd 9 -screen 0 "$screen" -nolisten tcp 9>"$fifo" >"$work/xvfb.txt" 2>&1 &
    play_pids+=($!)
    local number
    read -r -t 30 number <"$fifo" || { echo "Xvfb did not start"; cat "$work/xvfb.txt"; return 1; }
    export DISPLAY=":$number"
}

# Starts the program and waits for its window; sets window, window_x/y/w/h.
start_kelo() {  # kelo work run
    local kelo=$1 work=$2 run=$3
    # The desktop's own libraries keep memory to the end, as in the window smoke test.
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" SDL_AUDIODRIVER=dummy KELO_SAVE_DIR="$work/save" \
        "$kelo" >"$work/kelo_$run.txt" 2>&1 &
    kelo_pid=$!
    play_pids+=("$kelo_pid")
    window=$(timeout 120 xdotool search --sync --onlyvisible --name '^Kelo$' | head -n 1)
    [ -n "$window" ] || { echo "no window came up"; cat "$work/kelo_$run.txt"; return 1; }
    read_geometry
}

read_geometry() {
    local X Y WIDTH HEIGHT WINDOW SCREEN
    eval "$(xdotool getwindowgeometry --shell "$window")"
    window_x=$X window_y=$Y window_w=$WIDTH window_h=$HEIGHT
    echo "window ${window_w}x${window_h} at $window_x,$window_y"
}

snap() {  # file
    xwd -root -silent >"$1"
}

# Waits until the window shows the screen; on failure leaves its last frame in the look folder.
# With quiet set, running out of time only ends it with 2.
wait_for() {  # name seconds probes...
    local name=$1 seconds=$2
    shift 2
    local end=$((SECONDS + seconds)) said
    while :; do
        snap "$work/now.xwd"
        said=$(look probe "$work/now.xwd" "$window_x" "$window_y" "$window_w" "$window_h" 800 480 "$@") && return 0
        kill -0 "$kelo_pid" 2>/dev/null || { echo "kelo ended before the $name showed"; cat "$work"/kelo_*.txt; return 1; }
        if [ $SECONDS -ge $end ]; then
            [ -z "${quiet:-}" ] || return 2
            echo "the $name did not show within ${seconds}s: $said"
            look png "$work/now.xwd" "$look_dir/window_failed_$name.png" "$window_x" "$window_y" "$window_w" "$window_h"
            return 1
        fi
        sleep 0.25
    done
}

# Keeps the window's part of the last frame as a picture to look at; fails when it is blank.
keep() {  # name
    look png "$work/now.xwd" "$look_dir/window_$1.png" "$window_x" "$window_y" "$window_w" "$window_h" ||
        { echo "the $1 frame is blank"; return 1; }
}

# A stylus tap at a point of the 800x480 picture, through the window's fit.
click_at() {  # x y
    local point
    point=$(look point "$window_w" "$window_h" 800 480 "$1" "$2") || return 1
    # shellcheck disable=SC2086
    xdotool mousemove --window "$window" $point click 1
}

# Waits until the picture around a point of the 800x480 picture stands still; still_sum is a
# checksum of it then.
still_at() {  # x y
    still_sum=$("$play_python" "$play_here/x_still.py" $look_fill "$window_x" "$window_y" "$window_w" "$window_h" \
        800 480 30 "$(($1 - 4)),$(($2 - 4)),9,9") || { echo "the picture at $1,$2 did not stand still: $still_sum"; return 1; }
}

# A tap once the screen takes input there.
tap() {  # x y
    still_at "$1" "$2" && click_at "$1" "$2"
}

keys() {
    xdotool windowfocus --sync "$window"
    xdotool "$@"
}

# A tap the program did not take leaves the picture where it was tapped as it was; the next screen
# is given this many seconds to come before the tap is made again.
RETAP_AFTER=4

# A tap, then the screen it leads to. While the picture where it was tapped stays as it was, the
# tap is made again, twice at most; anything else there (another screen) is waited out and fails.
step() {  # x y name seconds probes...
    local x=$1 y=$2 name=$3 seconds=$4 _
    shift 4
    tap "$x" "$y" || return 1
    local tapped=$still_sum
    for _ in 1 2; do
        quiet=1 wait_for "$name" "$RETAP_AFTER" "$@"
        case $? in 0) return 0 ;; 2) ;; *) return 1 ;; esac
        still_at "$x" "$y" || return 1
        [ "$still_sum" = "$tapped" ] || break
        echo "the $name did not come within ${RETAP_AFTER}s: $x,$y tapped again"
        click_at "$x" "$y" || return 1
    done
    wait_for "$name" "$seconds" "$@"
}

# From the board through its pause dialog's Menu button back to the start menu; the pause frame
# is kept under the name given, if any.
leave_through_pause() {  # [name]
    step 20 458 pause 60 $SCREEN_PAUSE || return 1
    [ -z "${1:-}" ] || keep "$1" || return 1
    step 496 395 menu 60 $SCREEN_MENU
}

# Waits for the program to end by itself, within the seconds given (60 by default), and checks its
# exit status (0 by default).
wait_exit() {  # run [status] [seconds]
    local run=$1 status=${2:-0} seconds=${3:-60} i
    for i in $(seq 1 $((seconds * 4))); do
        kill -0 "$kelo_pid" 2>/dev/null || break
        sleep 0.25
    done
    kill -0 "$kelo_pid" 2>/dev/null && { echo "kelo did not end within ${seconds}s ($run)"; return 1; }
    wait "$kelo_pid"
    local code=$?
    local pid left=()
    for pid in "${play_pids[@]}"; do
        [ "$pid" = "$kelo_pid" ] || left+=("$pid")
    done
    play_pids=("${left[@]}")
    [ $code -eq "$status" ] || { echo "kelo ended with $code, not $status ($run)"; cat "$work/kelo_$run.txt"; return 1; }
}

# F11: the window covers the whole display (no window manager needed) with the picture as large as
# its shape allows, centred on black; F11 again gives the window back as it was.
full_screen() {  # on|off
    local want_w want_h want_x want_y i
    if [ "$1" = on ]; then
        windowed_place="$window_x $window_y $window_w $window_h"
        read -r want_w want_h < <(xdotool getdisplaygeometry)
        want_x=0 want_y=0
    else
        read -r want_x want_y want_w want_h <<<"$windowed_place"
    fi
    keys key F11
    for i in $(seq 1 40); do
        read_geometry >/dev/null
        [ "$window_x $window_y $window_w $window_h" = "$want_x $want_y $want_w $want_h" ] && break
        sleep 0.25
    done
    read_geometry
    [ "$window_x $window_y $window_w $window_h" = "$want_x $want_y $want_w $want_h" ] ||
        { echo "F11 ($1) left the window at $window_x,$window_y ${window_w}x$window_h"; return 1; }
    if [ "$1" = off ]; then
        look_fill=
        return 0
    fi
    # The picture as large as its shape allows: the menu's colours at its very edges show where
    # a whole multiple would have left black, and black shows beside the side it does not fill.
    look_fill=--fill
    wait_for full_screen 30 $SCREEN_MENU $SCREEN_MENU_EDGES || return 1
    local picture_w=$(((800 * window_h * 2 + 480) / 960)) picture_h=$(((480 * window_w * 2 + 800) / 1600))
    local black=()
    [ "$picture_w" -lt "$window_w" ] && black+=("$(((window_w - picture_w) / 4)),$((window_h / 2)),000000")
    [ "$picture_h" -lt "$window_h" ] && black+=("$((window_w / 2)),$(((window_h - picture_h) / 4)),000000")
    [ ${#black[@]} -gt 0 ] || return 0
    look_fill=
    look probe "$work/now.xwd" 0 0 "$window_w" "$window_h" "$window_w" "$window_h" "${black[@]}" ||
        { look_fill=--fill; echo "the picture is not centred on black"; return 1; }
    look_fill=--fill
}

play_in_window() {  # kelo work lookdir
    local kelo=$1
    work=$2 look_dir=$3
    mkdir -p "$look_dir"
    rm -f "$look_dir"/window_*.png
    trap 'play_cleanup; rm -rf "$work"' EXIT
    start_x "$work" || return 1

    # A first start, in a window twice the picture's size: the name typed, its last letter tapped
    # on the screen's keys, digits typed (not taken as keypad keys), then OK. A slip is mended
    # with the keyboard's Backspace. Links planted at the saves' temporaries are never written
    # through.
    plant_links "$work/save" "$work/outside" global.opt.tmp saveresume.dat2
    start_kelo "$kelo" "$work" first || return 1
    [ "$window_w" -ge 1600 ] && [ "$window_h" -ge 960 ] || { echo "the window was not scaled up"; return 1; }
    wait_for name_entry 180 $SCREEN_NAME_ENTRY || return 1
    keys type --delay 60 "Ai Wix"
    keys key BackSpace
    tap 478 308 || return 1
    keys type --delay 60 "85"
    wait_for typed_name 30 $SCREEN_NAME_TYPED || return 1
    keep name || return 1
    step 572 138 menu 60 $SCREEN_MENU || return 1
    keep menu || return 1

    # Adventure, door 1, the help before play, stage 1 and a few shots.
    step 582 130 map 60 $SCREEN_MAP || return 1
    step 648 428 help 60 $SCREEN_HELP || return 1
    step 412 446 board 60 $SCREEN_BOARD || return 1
    # The shots land among moving balls: they are not waited for, nor is what they hit checked.
    local shot
    for shot in "150 60" "300 40" "640 420" "90 300"; do
        # shellcheck disable=SC2086
        click_at $shot
        sleep 0.7
    done
    wait_for board 30 $SCREEN_BOARD || return 1
    keep board || return 1

    # Paused from the board's menu button, back to the menu, and F3 ends the program.
    leave_through_pause pause || return 1
    keys key F3
    wait_exit first || return 1
    [ -s "$work/save/global.opt" ] || { echo "no global.opt written"; return 1; }
    [ -s "$work/save/saveresume.dat" ] || { echo "no saveresume.dat written"; return 1; }
    check_links "$work/save" "$work/outside" global.opt saveresume.dat || return 1
    grep -q "AI WIN85" "$work/save/global.opt" || { echo "the name typed and tapped was not kept"; return 1; }

    # Started again and the window shrunk below the picture: the level left is offered to
    # continue and comes back, and from the menu again its Quit ends the program.
    start_kelo "$kelo" "$work" second || return 1
    xdotool windowsize --sync "$window" 700 600
    read_geometry
    wait_for menu 180 $SCREEN_MENU || return 1
    keep menu_small || return 1
    # Full screen, where the stylus still lands, and back.
    full_screen on || return 1
    keep full_screen || return 1
    step 582 130 continue 60 $SCREEN_CONTINUE || return 1
    keep continue || return 1
    full_screen off || return 1
    wait_for continue 30 $SCREEN_CONTINUE || return 1
    step 400 247 ready 60 $SCREEN_READY || return 1
    keep ready || return 1
    step 400 266 board 60 $SCREEN_BOARD || return 1
    leave_through_pause || return 1
    tap 582 395 || return 1
    wait_exit second || return 1

    # The saved game damaged, met in play: it is set aside and said over the window in a message
    # box that holds the game until it is answered, then the adventure goes on.
    printf 'not a store of saved games\n%.0s' 1 2 3 4 >"$work/save/saveresume.dat"
    start_kelo "$kelo" "$work" third || return 1
    wait_for menu 180 $SCREEN_MENU || return 1
    tap 582 130 || return 1
    local box
    box=$(wait_for_box 60) || { echo "no message box over the window"; cat "$work/kelo_third.txt"; return 1; }
    snap "$work/now.xwd"
    keep message_box || return 1
    box_on_the_screen "$box" message_box || return 1
    answer_box "$box" || return 1
    wait_for map 60 $SCREEN_MAP || return 1
    keys key F3
    wait_exit third || return 1
    [ "$(grep -c 'saveresume.dat.bad' "$work/kelo_third.txt")" = 1 ] ||
        { echo "the damaged store was not said once on stderr"; cat "$work/kelo_third.txt"; return 1; }
    [ -s "$work/save/saveresume.dat.bad" ] || { echo "the damaged store was not kept aside"; return 1; }
    play_cleanup
    boxes_on_a_small_screen "$kelo" || return 1
    play_cleanup
}

# The smallest desktop the game's boxes are laid out for: the box, and so each line it holds (SDL
# sizes the box to its widest line), fits within it.
SMALLEST_DESKTOP="640 480"
# SDL's box, by two of its colours: its background at a corner, and the OK button (beside its text)
# at its foot.
BOX_BACKGROUND=383635
BOX_BUTTON=696663

# The box as the X server has it: on the screen whole, no larger than the smallest desktop, and
# over every window (its own colours show where it lies). The whole screen is kept as a picture.
box_on_the_screen() {  # box name
    local X Y WIDTH HEIGHT SCREEN WINDOW screen_w screen_h smallest_w smallest_h
    eval "$(xdotool getwindowgeometry --shell "$1")"
    read -r screen_w screen_h < <(xdotool getdisplaygeometry)
    read -r smallest_w smallest_h <<<"$SMALLEST_DESKTOP"
    echo "box ${WIDTH}x${HEIGHT} at $X,$Y on ${screen_w}x$screen_h"
    look png "$work/now.xwd" "$look_dir/window_$2.png" 0 0 "$screen_w" "$screen_h" >/dev/null
    [ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ $((X + WIDTH)) -le "$screen_w" ] && [ $((Y + HEIGHT)) -le "$screen_h" ] ||
        { echo "the $2 box lies partly off the ${screen_w}x$screen_h screen"; return 1; }
    [ "$WIDTH" -le "$smallest_w" ] && [ "$HEIGHT" -le "$smallest_h" ] ||
        { echo "the $2 box is wider or taller than a ${smallest_w}x$smallest_h desktop"; return 1; }
    look probe "$work/now.xwd" 0 0 "$screen_w" "$screen_h" "$screen_w" "$screen_h" \
        "$((X + 4)),$((Y + 4)),$BOX_BACKGROUND" "$((X + WIDTH / 2 - 25)),$((Y + HEIGHT - 27)),$BOX_BUTTON" >/dev/null ||
        { echo "the $2 box is not over the game's window"; return 1; }
}

# On a 1280x800 screen, a damaged global.opt said at the start, over the loader: at 800x480 and at
# 240x240 in a window, and at 800x480 on the full screen. Answered, the game goes on to the name
# entry and F3 ends it.
boxes_on_a_small_screen() {  # kelo
    local kelo=$1 size full run box
    start_x "$work" 1280x800x24 || return 1
    for run in 800x480 240x240 800x480:full; do
        size=${run%%:*}
        full=
        [ "$run" = "$size" ] || full=1
        rm -rf "$work/save"
        mkdir -p "$work/save"
        printf 'not the players and options\n' >"$work/save/global.opt"
        KELO_SCREEN=$size KELO_FULLSCREEN=$full start_kelo "$kelo" "$work" "box_${run/:/_}" || return 1
        box=$(wait_for_box 120) || { echo "no box at $run"; cat "$work/kelo_box_${run/:/_}.txt"; return 1; }
        sleep 0.5
        snap "$work/now.xwd"
        box_on_the_screen "$box" "box_${run/:/_}" || return 1
        answer_box "$box" || return 1
        keys key F3
        wait_exit "box_${run/:/_}" || return 1
        [ "$(grep -c 'global.opt.bad' "$work/kelo_box_${run/:/_}.txt")" = 1 ] ||
            { echo "the damaged global.opt was not said once at $run"; cat "$work/kelo_box_${run/:/_}.txt"; return 1; }
    done
}

# Waits for a second window of the program's, the message box, and prints its id. The box is a
# window of its own that xdotool's search passes over: the X server's tree lists it.
wait_for_box() {  # seconds
    local end=$((SECONDS + $1)) hex id
    while [ $SECONDS -lt "$end" ]; do
        for hex in $(xwininfo -root -tree | awk '/"Kelo":/ {print $1}'); do
            id=$(printf '%d' "$hex")
            [ "$id" = "$window" ] || { echo "$id"; return 0; }
        done
        sleep 0.25
    done
    return 1
}

# Presses the box's one button, OK, in the middle of its lower edge, and waits for it to close.
answer_box() {  # box
    local X Y WIDTH HEIGHT SCREEN WINDOW i
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 27)) click 1
    for i in $(seq 1 40); do
        xwininfo -id "$1" >/dev/null 2>&1 || return 0
        sleep 0.25
    done
    echo "the message box did not close"
    return 1
}
