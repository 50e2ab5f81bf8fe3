#!/bin/bash
# Builds and runs the benchmarks under Wine and Xvfb; they print their figures.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/common.sh"
. "$ROOT/scripts/lane-audio.sh"

install_packages
echo "== building x86_64"
build_tree x86_64
cmake --build "$BUILD_ROOT/x86_64" --target installation_tree >/dev/null
make_prefix
# The CD benchmark plays files: a sound server for the prefix, whose address
# its Wine processes take from their environment at their start.
"$WINESERVER" -k 2>/dev/null || true
start_lane_audio "$PREFIX"
use_lane_audio "$PREFIX"
trap 'stop_lane_audio "$PREFIX"' EXIT
cd "$BUILD_ROOT/x86_64/bin"
status=0
for program in *_bench.exe; do
  echo "== $program"
  xvfb-run -a -s "-screen 0 1280x1024x24" "$WINE" "$program" || status=$?
done
echo "== start-up"
xvfb-run -a -s "-screen 0 1280x1024x24" "$ROOT/bench/startup_bench.sh" "$BUILD_ROOT/x86_64" "${STARTUP_ROUNDS:-10}" ||
  status=$?
"$WINESERVER" -k 2>/dev/null || true
exit $status
