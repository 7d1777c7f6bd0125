#!/usr/bin/env bash
# The window's picture on both routes, read back from the X server (window_readback): the
# processor's, written into the window's memory, and SDL's GL renderers (opengl, opengles2), which
# take the 1x picture and scale it, run here on Mesa's software GL under Xvfb. At 1x, 2x and 3x in
# a window and on a full screen at a whole multiple every route must show the frame's pixels
# repeated exactly; on a full screen smoothed to a size that is no whole multiple the GL routes
# may differ from the processor's by one in a channel (the two filters round their weights apart).
# Skipped (code 77) without Xvfb or Mesa.
#   picture_routes.sh <window_readback>
set -uo pipefail
readback=$1
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 77; }
ldconfig -p | grep -q 'libGLX_mesa\.so\.0' && ls /usr/lib/*/dri/swrast_dri.so >/dev/null 2>&1 ||
    { echo "Mesa's software GL is not installed"; exit 77; }
work=$(mktemp -d /tmp/kelo_routes_XXXXXX)
# shellcheck source=tests/smoke/play_window.sh
source "$(dirname "$0")/play_window.sh"
trap 'play_cleanup; rm -rf "$work"' EXIT
# The desktop's own libraries (GL drivers) keep memory to the end, as in the window smoke test.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" SDL_AUDIODRIVER=dummy
unset KELO_GL SDL_RENDER_DRIVER SDL_FRAMEBUFFER_ACCELERATION LIBGL_ALWAYS_SOFTWARE

# case: Xvfb's screen, full screen (1 or 0), the most a channel may differ between the routes.
cases=("1x 1024x768x24 0 0" "2x 1700x1000x24 0 0" "3x 2500x1500x24 0 0" "full_2x 1600x1000x24 1 0"
       "full_smoothed 1280x800x24 1 1")
failed=0
for case in "${cases[@]}"; do
    read -r name screen full most <<<"$case"
    start_x "$work" "$screen" || exit 1
    said=$(KELO_FULLSCREEN=$full "$readback" "$work/$name.ppm")
    code=$?
    echo "$name, the processor's route: $said" | tr '\n' ' '
    echo
    grep -q '^route: window memory$' <<<"$said" || { echo "$name: not drawn into the window's memory"; failed=1; }
    [ $code -eq 0 ] || failed=1
    for driver in opengl opengles2; do
        said=$(KELO_FULLSCREEN=$full KELO_GL=1 SDL_RENDER_DRIVER=$driver "$readback" "$work/${name}_$driver.ppm" \
            "$work/$name.ppm" "$most")
        code=$?
        echo "$name, $driver: $said" | tr '\n' ' '
        echo
        grep -q "^route: $driver\$" <<<"$said" || { echo "$name: not drawn by SDL's $driver renderer"; failed=1; }
        [ $code -eq 0 ] || failed=1
    done
    play_cleanup
done
[ $failed -eq 0 ] || exit 1
echo "both routes show the same picture"
