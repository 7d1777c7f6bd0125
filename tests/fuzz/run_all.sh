#!/usr/bin/env bash
# Runs every fuzz target of a build for a bounded time each: run_all.sh <builddir> <seconds>.
# Seeds come from corpus/<name>/ when it exists; new inputs go to a scratch folder, so the
# committed corpus stays as it is. A crash fails the run and leaves its input in
# <builddir>/fuzz-artifacts/ to become a regression test.
set -euo pipefail
build=$(cd "${1:?usage: run_all.sh <builddir> <seconds>}" && pwd)
seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
failed=()
for source in "$here"/*.cpp; do
  name=$(basename "$source" .cpp)
  target="$build/tests/fuzz/$name"
  if [ ! -x "$target" ]; then
    echo "fuzz: $name was not built" >&2
    failed+=("$name")
    continue
  fi
  scratch=$(mktemp -d)
  seeds=()
  [ -d "$here/corpus/$name" ] && seeds=("$here/corpus/$name")
  limits=(-rss_limit_mb=2048)
  case $name in
    # The Vorbis decoder leaks a few bytes on some broken headers (suppressed in the target). Short
    # lived workers under a tighter limit keep that from adding up over a long run; out of memory
    # and timeouts still fail it.
    fuzz_ogg_sample) limits=(-fork=1 -ignore_ooms=0 -ignore_timeouts=0 -rss_limit_mb=768) ;;
  esac
  echo "fuzz: $name for ${seconds}s"
  if ! (cd "$scratch" && "$target" -max_total_time="$seconds" -timeout=10 "${limits[@]}" \
        -artifact_prefix="$artifacts/$name-" "$scratch" "${seeds[@]}" 2>"$scratch.log"); then
    tail -n 40 "$scratch.log" >&2
    failed+=("$name")
  else
    grep -E '^(Done|#[0-9]+ *DONE|#[0-9]+: cov)' "$scratch.log" | tail -n 1 || true
  fi
  rm -rf "$scratch" "$scratch.log"
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: failed: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz: all targets ran clean"
