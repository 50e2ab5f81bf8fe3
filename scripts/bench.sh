#!/bin/bash
# Builds and runs the benchmarks under Wine and Xvfb; they print their figures.
#   bench.sh [BEFORE_BUILD]
# BEFORE_BUILD: the x86_64 build folder of an older commit (its benchmarks and
# installation tree built); each of its benchmarks runs right after this
# build's, and its desk is launched in the same start-up rounds, so before and
# after are measured side by side on one machine in one run.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BEFORE_BUILD=${1:+$(readlink -f "$1")}
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
# Twice the desk's width: the desk benchmark repaints its floor beside the desk.
run_headless() { xvfb-run -a -s "-screen 0 2080x1024x24" "$@"; }
for program in *_bench.exe; do
  echo "== $program"
  run_headless "$WINE" "$program" || status=$?
  if [ -n "$BEFORE_BUILD" ] && [ -f "$BEFORE_BUILD/bin/$program" ]; then
    echo "== $program of before ($BEFORE_BUILD)"
    (cd "$BEFORE_BUILD/bin" && run_headless "$WINE" "$program") || status=$?
  fi
done
echo "== start-up"
BEFORE_PROGRAM=${BEFORE_BUILD:+$BEFORE_BUILD/install/program} \
  run_headless "$ROOT/bench/startup_bench.sh" "$BUILD_ROOT/x86_64" "${STARTUP_ROUNDS:-10}" || status=$?
"$WINESERVER" -k 2>/dev/null || true
exit $status
