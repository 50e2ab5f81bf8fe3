#!/bin/bash
# Runs one Windows program of the test suite under Wine, in the lane that
# ctest gave its test. A lane is a Wine prefix of its own (registry, windows,
# files: the wine server keeps one set per prefix) and an X display of its own
# (pointer, keyboard, focus), so tests in different lanes cannot see each
# other. Outside a lane allocation (a single test run by hand, test discovery)
# lane 0 is used with the caller's display.
#   wine-lane.sh BASE_PREFIX PROGRAM [ARGS...]
# Lane n > 0 uses the prefix BASE_PREFIX-n and the n-th display of
# KNT_LANE_DISPLAYS (a space-separated list that test.sh sets).
set -u
base=$1
shift
lane=0
if [[ "${CTEST_RESOURCE_GROUP_0_LANES:-}" =~ id:([0-9]+) ]]; then lane=${BASH_REMATCH[1]}; fi
prefix=$base
[ "$lane" -gt 0 ] && prefix="$base-$lane"
if [ -n "${KNT_LANE_DISPLAYS:-}" ]; then
  read -r -a displays <<<"$KNT_LANE_DISPLAYS"
  [ -n "${displays[$lane]:-}" ] && export DISPLAY="${displays[$lane]}"
fi
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" KNT_TEST_LANE=$lane
exec /usr/lib/wine/wine64 "$@"
