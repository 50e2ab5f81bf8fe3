#!/bin/bash
# Compares what two builds of the desk show on each fader bar, pixel for
# pixel: runs bar_shots.exe of each (a fixed sequence of bar switches on a
# shown desk, a screenshot after each) under Wine and Xvfb, and prints the
# number of differing pixels of each pair (ImageMagick's AE metric).
#   scripts/bar-shots.sh OLD_BIN_DIR NEW_BIN_DIR [OUT_DIR]
# The bin folders are build/x86_64/bin of two trees with bar_shots built
# (cmake --build build/x86_64 --target bar_shots). Exits non-zero when any
# pair differs. The shots stay in OUT_DIR (default /tmp/knt-bar-shots) as PNG.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/common.sh"

[ $# -ge 2 ] || { echo "usage: $0 OLD_BIN_DIR NEW_BIN_DIR [OUT_DIR]" >&2; exit 2; }
old=$(readlink -f "$1") new=$(readlink -f "$2") out=${3:-/tmp/knt-bar-shots}
make_prefix
for side in old new; do
  dir=${!side}
  rm -rf "$out/$side"
  mkdir -p "$out/$side"
  (cd "$dir" && xvfb-run -a -s "-screen 0 1280x1024x24" "$WINE" bar_shots.exe "$(winpath "$out/$side")") ||
    { echo "bar_shots.exe failed in $dir" >&2; exit 1; }
  for bmp in "$out/$side"/*.bmp; do convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"; done
done
"$WINESERVER" -k 2>/dev/null || true
status=0
for shot in "$out/old"/*.png; do
  name=$(basename "$shot")
  # compare prints the count on stderr and exits 1 when the pictures differ.
  ae=$(compare -metric AE "$shot" "$out/new/$name" null: 2>&1) || true
  echo "$name: $ae pixels differ"
  [ "$ae" = 0 ] || status=1
done
exit $status
