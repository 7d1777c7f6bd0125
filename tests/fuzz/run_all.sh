#!/usr/bin/env bash
# Runs every fuzz target of a build for a bounded time each: run_all.sh <builddir> <seconds>.
# Seeds come from corpus/<name>/ when it exists, from the files the build shipped (its
# staging tree) for the readers of those files, and from the save files the scripted player's
# flows left in any build folder beside this one (<build>/../*/fuzz-seeds, by flow_seeds.py).
# New inputs go to a scratch folder, so the committed corpus and the shipped files stay as they
# are. Each target first runs every seed once in process, then fuzzes. A crash in either fails
# the run and leaves its input in <builddir>/fuzz-artifacts/ to become a regression test.
set -euo pipefail
build=$(cd "${1:?usage: run_all.sh <builddir> <seconds>}" && pwd)
seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
stage="$build/stage"

# Copies the shipped files a target reads into a folder of seeds.
shipped_seeds() {  # name folder
  local name=$1 out=$2
  [ -d "$stage" ] || return 0
  case "$name" in
    fuzz_layout) for f in "$stage"/ui/*/keloui.txt; do cp "$f" "$out/$(basename "$(dirname "$f")").txt"; done ;;
    fuzz_styles) for f in "$stage"/ui/*/styles.txt; do cp "$f" "$out/$(basename "$(dirname "$f")").txt"; done ;;
    fuzz_language) cp "$stage"/Languages/kelo.csv "$out"/ ;;
    fuzz_sprites) cp "$stage"/ui/*.txt "$out"/ 2>/dev/null || true ;;
    fuzz_ogg_sample) cp "$stage"/Sounds/*.ogg "$out"/ 2>/dev/null || true ;;
    fuzz_module) cp "$stage"/Sounds/Music/*.s3m "$out"/ 2>/dev/null || true ;;
    fuzz_pack)  # small packs of shipped files by the build's own writer: a whole shipped pack
      # costs a megabyte of unpacking per input; these hold deflated and stored entries alike
      local writer="$build/tools/packwriter" folder
      [ -x "$writer" ] || return 0
      "$writer" "$out/texts.pak" "$stage" Languages ui/ui_qvga || true
      folder=$(mktemp -d)
      mkdir "$folder/pics"
      cp "$stage"/i_240x240/quake01.jpg "$stage"/i_240x240/quake02_a.jpg "$stage"/ui/sprites.txt "$folder/pics"/ 2>/dev/null &&
        "$writer" "$out/mixed.pak" "$folder" pics || true
      rm -rf "$folder" ;;
    fuzz_curves)  # the mode byte of the screen that reads the variant (640x480, 800x480, 320x320), then the file
      for f in "$stage"/z_levels/*.pth "$stage"/z_levels/z_wide/*.pth "$stage"/z_levels/z_square/*.pth; do
        [ -f "$f" ] || continue
        case "$f" in */z_wide/*) mode='\001' tag=w ;; */z_square/*) mode='\004' tag=s ;; *) mode='\000' tag=p ;; esac
        { printf "$mode"; cat "$f"; } > "$out/${tag}_$(basename "$f")"
      done ;;
    fuzz_images) find "$stage"/i_240x240 -name '*.png' -size -16k -exec cp {} "$out"/ \; 2>/dev/null || true
      find "$stage"/i_240x240 -name '*.jpg' -size -16k -exec cp {} "$out"/ \; 2>/dev/null || true ;;
    fuzz_font)  # a 4-byte length, the glyph mask, then its .fdb
      for jpg in "$stage"/i_240x240/fonts/*.jpg; do
        fdb="${jpg%.jpg}.fdb"
        [ -f "$fdb" ] || continue
        python3 -c 'import struct,sys; m=open(sys.argv[1],"rb").read(); f=open(sys.argv[2],"rb").read(); open(sys.argv[3],"wb").write(struct.pack("<I",len(m))+m+f)' \
          "$jpg" "$fdb" "$out/$(basename "$jpg" .jpg).font"
      done ;;
  esac
}

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
  shipped=$(mktemp -d)
  shipped_seeds "$name" "$shipped"
  flow_seed_folders=("$build"/../*/fuzz-seeds)
  [ -d "${flow_seed_folders[0]}" ] && python3 "$here/flow_seeds.py" "$name" "$shipped" "${flow_seed_folders[@]}" >/dev/null
  seeds=("$shipped")
  [ -d "$here/corpus/$name" ] && seeds+=("$here/corpus/$name")
  limits=(-rss_limit_mb=2048)
  case $name in
    # Room for a few entries; longer inputs only add bytes to unpack.
    fuzz_pack) limits+=(-max_len=16384) ;;
    # Room for a dozen sets and an atlas file; the shipped scripts' further sets, each looking for
    # files the scratch folder lacks, repeat what the first ones do.
    fuzz_sprites) limits+=(-max_len=1024) ;;
    # The Vorbis decoder leaks a few bytes on some broken headers (suppressed in the target). Short
    # lived workers under a tighter limit keep that from adding up over a long run; out of memory
    # and timeouts still fail it.
    fuzz_ogg_sample) limits=(-fork=1 -ignore_ooms=0 -ignore_timeouts=0 -rss_limit_mb=768) ;;
  esac
  # Every seed once, in this process: fork mode would drop a crashing seed and carry on.
  echo "fuzz: $name seeds"
  if ! (cd "$scratch" && "$target" -runs=0 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$artifacts/$name-" "${seeds[@]}" 2>"$scratch.log"); then
    tail -n 40 "$scratch.log" >&2
    failed+=("$name")
    rm -rf "$scratch" "$scratch.log" "$shipped"
    continue
  fi
  echo "fuzz: $name for ${seconds}s"
  if ! (cd "$scratch" && "$target" -max_total_time="$seconds" -timeout=10 "${limits[@]}" \
        -artifact_prefix="$artifacts/$name-" "$scratch" "${seeds[@]}" 2>"$scratch.log"); then
    tail -n 40 "$scratch.log" >&2
    failed+=("$name")
  else
    grep -E '^(Done|#[0-9]+ *DONE|#[0-9]+: cov)' "$scratch.log" | tail -n 1 || true
  fi
  rm -rf "$scratch" "$scratch.log" "$shipped"
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: failed: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz: all targets ran clean"
