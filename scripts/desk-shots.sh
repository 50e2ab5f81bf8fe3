#!/bin/bash
# Compares the desk of two builds pixel by pixel: runs a picture-taking
# program from each build folder's bin/ under Wine and an Xvfb of its own,
# then compares every picture with ImageMagick. Exits non-zero when any pixel
# differs. The programs: desk_shots.exe (bench/DeskShots.cpp: every fader
# bar with lamps lit and a key held; the default) and bar_shots.exe
# (bench/BarShots.cpp: a fixed sequence of bar switches with the CD panel on).
#   scripts/desk-shots.sh [--program NAME.exe] BUILD_A BUILD_B [OUTPUT_FOLDER]
# e.g. scripts/desk-shots.sh ../old-tree/build/x86_64 build/x86_64
set -euo pipefail
program=desk_shots.exe
if [ "${1:-}" = --program ]; then program=$2; shift 2; fi
[ $# -ge 2 ] || { echo "usage: desk-shots.sh [--program NAME.exe] BUILD_A BUILD_B [OUTPUT_FOLDER]" >&2; exit 2; }
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/common.sh"
out=$(readlink -m "${3:-$BUILD_ROOT/desk-shots}")
make_prefix >/dev/null
status=0
for side in a b; do
  build=$1
  [ $side = b ] && build=$2
  rm -rf "$out/$side"
  mkdir -p "$out/$side"
  (cd "$build/bin" && xvfb-run -a -s "-screen 0 1280x1024x24" "$WINE" "$program" "$(winpath "$out/$side")") ||
    { echo "$program failed in $build" >&2; exit 1; }
done
"$WINESERVER" -k 2>/dev/null || true
for picture in "$out"/a/*.bmp; do
  name=$(basename "$picture")
  differing=$(compare -metric AE "$picture" "$out/b/$name" null: 2>&1) || true
  echo "$name: $differing"
  [ "$differing" = 0 ] || status=1
done
exit $status
