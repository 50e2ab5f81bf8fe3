#!/bin/bash
# Builds both targets and runs the whole test suite under Wine and Xvfb, in
# twice as many lanes as the machine has cores (KNT_TEST_LANES overrides): each lane
# has its own Wine prefix and X display, so tests stay apart.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")" && pwd)
. "$ROOT/scripts/common.sh"
. "$ROOT/scripts/lane-audio.sh"

install_packages
# Lane servers left by an interrupted run (their desktop keepers hold them)
# would make the prefix step below wait for ever.
for ((lane = 0; lane < LANES; lane++)); do
  [ -d "$(lane_prefix $lane)" ] && WINEPREFIX=$(lane_prefix $lane) "$WINESERVER" -k 2>/dev/null || true
done
# The Wine prefixes are made while the targets build: Wine's own set-up mostly
# waits, and needs nothing from the build.
mkdir -p "$BUILD_ROOT"
prefix_log="$BUILD_ROOT/prefix.log"
make_prefix >"$prefix_log" 2>&1 &
prefix_pid=$!
# Both targets build at once: each build ends in steps that use one core
# (linking, the art), which the other build fills.
echo "== building x86_64 and i686 (i686: compile and link only, this machine runs no 32-bit code) (at ${SECONDS} s)"
i686_log="$BUILD_ROOT/i686-build.log"
build_tree i686 >"$i686_log" 2>&1 &
i686_pid=$!
x86_status=0
build_tree x86_64 || x86_status=$?
i686_status=0
wait $i686_pid || i686_status=$?
if [ $i686_status -ne 0 ]; then
  cat "$i686_log"
  echo "the i686 build failed" >&2
  exit 1
fi
[ $x86_status -eq 0 ] || { echo "the x86_64 build failed" >&2; exit 1; }
echo "== packaging: setup and zip for both targets (at ${SECONDS} s)"
package_tree x86_64
package_tree i686
prefix_status=0
wait $prefix_pid || prefix_status=$?
cat "$prefix_log"
[ $prefix_status -eq 0 ] || { echo "making the Wine prefixes failed" >&2; exit 1; }
echo "== running the tests in $LANES lanes (at ${SECONDS} s)"
cd "$BUILD_ROOT/x86_64"
start_lane_displays
trap stop_lane_displays EXIT
status=0
# As many tests at once as lanes: each takes a free lane (scripts/wine-lane.sh).
# A test that fails is run again, up to three runs in all, as a guard against
# a window-system hiccup; a fault fails every run.
# The reruns hide a flaky test, so the end names every test that needed one.
# Launches Wine itself gave up on are started again by scripts/wine-lane.sh
# and listed here apart from the tests' reruns.
rm -f "$PREFIX.relaunches"
ctest --output-on-failure --timeout 180 -j"$LANES" --repeat until-pass:3 2>&1 | tee "$BUILD_ROOT/ctest.log" ||
  status=$?
report_reruns "$BUILD_ROOT/ctest.log"
report_relaunches "$PREFIX.relaunches"
for ((lane = 0; lane < LANES; lane++)); do
  WINEPREFIX=$(lane_prefix $lane) "$WINESERVER" -k 2>/dev/null || true
  stop_lane_audio "$(lane_prefix $lane)"
done
echo "== done in ${SECONDS} s"
exit $status
