#!/usr/bin/env bash
# Set-up, build, run and test on Debian 12.
#   ./build.sh run    install what is missing, build, and play the game
#   ./build.sh test   install what is missing, build, and run every test
#   ./build.sh setup | build | asan | fuzz | bench
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  build-essential cmake pkg-config git
  libsdl2-dev libjpeg62-turbo-dev libpng-dev zlib1g-dev libvorbisidec-dev
  libgtest-dev libbenchmark-dev libpixman-1-dev libxmp-dev
  clang libclang-rt-14-dev
  libfreetype-dev fonts-dejavu-core
  librsvg2-dev libcairo2-dev libzip-dev libvorbis-dev
  python3 vorbis-tools
  xvfb xauth xdotool x11-apps x11-utils xfonts-base
  libgl1-mesa-dri libglx-mesa0 libegl-mesa0
)
JOBS=$(nproc 2>/dev/null || echo 4)

setup() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

configure_and_build() {  # dir, cmake options... [-- targets...]
  local dir=$1 options=() targets=()
  shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do options+=("$1"); shift; done
  [ $# -gt 0 ] && { shift; targets=(--target "$@"); }
  cmake -S . -B "$dir" "${options[@]}" >/dev/null
  cmake --build "$dir" -j "$JOBS" "${targets[@]}"
}

build() { configure_and_build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"; }

run_tests() {  # dir
  ctest --test-dir "$1" -j "$JOBS" --output-on-failure --timeout 300
}

case "${1:-}" in
  setup) setup ;;
  build) setup; build ;;
  # Only the program and the packs it reads; the tests and benchmarks wait for `test` and `bench`.
  run) setup; build -- kelo kelo_data; ./build/release/kelo ;;
  test) setup; build; run_tests build/release ;;
  asan)
    setup
    configure_and_build build/asan -DCMAKE_BUILD_TYPE=Debug -DKELO_SANITIZE=ON
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_tests build/asan ;;
  fuzz)
    setup
    CC=clang CXX=clang++ configure_and_build build/fuzz -DCMAKE_BUILD_TYPE=Debug -DKELO_FUZZ=ON
    UBSAN_OPTIONS=print_stacktrace=1 tests/fuzz/run_all.sh build/fuzz "${2:-20}" ;;
  bench) setup; build; ./build/release/bench/kelo_bench; ./build/release/kelo_play_bench ;;
  *) echo "usage: $0 run|test|setup|build|asan|fuzz|bench" >&2; exit 2 ;;
esac
