#!/usr/bin/env bash
# run_all.sh <builddir> <seconds>: runs every fuzz target briefly, from its corpus when it has one.
set -euo pipefail
build=${1:?usage: run_all.sh <builddir> <seconds>}
seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
status=0
for source in "$here"/*.cpp; do
  name=$(basename "$source" .cpp)
  target="$build/tests/fuzz/$name"
  [ -x "$target" ] || { echo "missing $target" >&2; status=1; continue; }
  # New inputs go to a scratch copy, so the corpus in the tree stays as committed.
  work=$(mktemp -d)
  [ -d "$here/corpus/$name" ] && cp -r "$here/corpus/$name/." "$work"
  echo "== $name ($seconds s)"
  "$target" -max_total_time="$seconds" "$work" || status=1
  rm -rf "$work"
done
exit $status
