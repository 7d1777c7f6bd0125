#!/usr/bin/env bash
# The session ends under the real program in a window: the terminal hangs up on the board
# (SIGHUP), the X server goes away on the board, and again with a message box up, and the program
# alone is told to end (SIGTERM) with a box up. Each time the
# program must end within seconds with the status the README gives, having saved as a window close
# saves where it still could run, leaving no process of its own behind, and the next start must not
# be locked out.
#   session_end.sh <kelo> [look folder]
set -uo pipefail
kelo=$(realpath -s "$1")
for tool in Xvfb xdotool xwd xwininfo; do
    command -v $tool >/dev/null || { echo "$tool is not installed"; exit 77; }
done
work=$(mktemp -d /tmp/kelo_session_XXXXXX)
# shellcheck source=tests/smoke/play_window.sh
source "$(dirname "$0")/play_window.sh"
look_dir=${2:-$(dirname "$kelo")/look}
mkdir -p "$look_dir"
trap 'play_cleanup; rm -rf "$work"' EXIT
save=$work/save
ENDS_WITHIN=10  # seconds for the program to end

# The game's options file is this long when whole.
OPTIONS_BYTES=5749

# After the program ended: nothing holds the single-instance lock (as a start takes it), none of
# the processes it forked lives on, and the options file is whole.
left_clean() {  # run forked-pids...
    local run=$1 pid
    shift
    for pid in "$@"; do
        kill -0 "$pid" 2>/dev/null && { echo "a process kelo forked lives on ($run): $(ps -o args= -p "$pid")"; return 1; }
    done
    "$play_python" -c 'import fcntl, sys
with open(sys.argv[1], "a") as lock:
    fcntl.lockf(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)' "$save/Kelo_Window.lock" 2>/dev/null ||
        { echo "the single-instance lock is still held ($run)"; return 1; }
    [ "$(stat -c %s "$save/global.opt")" = $OPTIONS_BYTES ] || { echo "global.opt is not whole ($run)"; return 1; }
}

# The program said on stderr why it ended.
said_lost() {  # run
    grep -q "the display was lost" "$work/kelo_$1.txt" || { echo "the lost display was not said ($1)"; return 1; }
}

# The board saved: the store was written again since the copy was taken.
board_saved() {  # run copy
    [ -s "$save/saveresume.dat" ] && ! cmp -s "$save/saveresume.dat" "$2" ||
        { echo "the board was not saved ($1)"; return 1; }
}

# A few shots among the moving balls (where they land is not checked), and the board still there.
shots() {
    local shot
    for shot in "150 60" "300 40" "640 420"; do
        # shellcheck disable=SC2086
        click_at $shot
        sleep 0.5
    done
    wait_for board 30 $SCREEN_BOARD
}

start_x "$work" || exit 1
x_pid=${play_pids[-1]}

# A first start: a name, the adventure's first board, and the terminal hangs up.
start_kelo "$kelo" "$work" hangup || exit 1
wait_for name_entry 180 $SCREEN_NAME_ENTRY || exit 1
keys type --delay 60 "Ai Win85"
wait_for typed_name 30 $SCREEN_NAME_TYPED || exit 1
step 572 138 menu 60 $SCREEN_MENU || exit 1
step 582 130 map 60 $SCREEN_MAP || exit 1
step 648 428 help 60 $SCREEN_HELP || exit 1
step 412 446 board 60 $SCREEN_BOARD || exit 1
shots || exit 1
cp "$save/saveresume.dat" "$work/before_hangup" 2>/dev/null || : >"$work/before_hangup"
kill -HUP "$kelo_pid"
wait_exit hangup 0 $ENDS_WITHIN || exit 1
left_clean hangup || exit 1
board_saved hangup "$work/before_hangup" || exit 1

# Started again: the board comes back, and the X server goes away under it.
start_kelo "$kelo" "$work" board_lost || exit 1
wait_for menu 180 $SCREEN_MENU || exit 1
step 582 130 continue 60 $SCREEN_CONTINUE || exit 1
step 400 247 ready 60 $SCREEN_READY || exit 1
step 400 266 board 60 $SCREEN_BOARD || exit 1
shots || exit 1
snap "$work/now.xwd"
keep session_board || exit 1
cp "$save/saveresume.dat" "$work/before_board_lost"
kill "$x_pid"
wait_exit board_lost 1 $ENDS_WITHIN || exit 1
left_clean board_lost || exit 1
board_saved board_lost "$work/before_board_lost" || exit 1
said_lost board_lost || exit 1

# On a new server the store is cut by a byte before Adventure reads it, and the X server goes away
# under the message box that says so.
start_x "$work" || exit 1
x_pid=${play_pids[-1]}
start_kelo "$kelo" "$work" box_lost || exit 1
wait_for menu 180 $SCREEN_MENU || exit 1
cp "$save/saveresume.dat" "$work/whole"
head -c -1 "$work/whole" >"$save/saveresume.dat"
tap 582 130 || exit 1
box=$(wait_for_box 60) || { echo "no message box over the window"; cat "$work/kelo_box_lost.txt"; exit 1; }
snap "$work/now.xwd"
keep session_box || exit 1
forked=$(ps -o pid= --ppid "$kelo_pid" | tr -d ' ')
[ -n "$forked" ] || { echo "the box is not a process of its own"; exit 1; }
kill "$x_pid"
wait_exit box_lost 1 $ENDS_WITHIN || exit 1
# shellcheck disable=SC2086
left_clean box_lost $forked || exit 1
said_lost box_lost || exit 1

# The next start is let in, and the board saved as the display went comes back.
cp "$work/whole" "$save/saveresume.dat"
start_x "$work" || exit 1
start_kelo "$kelo" "$work" after || exit 1
wait_for menu 180 $SCREEN_MENU || exit 1
step 582 130 continue 60 $SCREEN_CONTINUE || exit 1
keys key F3
wait_exit after 0 $ENDS_WITHIN || exit 1

# Told to end with a box up, the program alone (not its group): the box goes and the close follows.
start_kelo "$kelo" "$work" box_term || exit 1
wait_for menu 180 $SCREEN_MENU || exit 1
head -c -1 "$work/whole" >"$save/saveresume.dat"
tap 582 130 || exit 1
wait_for_box 60 >/dev/null || { echo "no message box over the window"; cat "$work/kelo_box_term.txt"; exit 1; }
forked=$(ps -o pid= --ppid "$kelo_pid" | tr -d ' ')
kill -TERM "$kelo_pid"
wait_exit box_term 0 $ENDS_WITHIN || exit 1
# shellcheck disable=SC2086
left_clean box_term $forked || exit 1
echo "kelo ended with the session each time"
