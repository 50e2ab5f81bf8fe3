#!/bin/bash
# Runs one Windows program of the test suite under Wine, in a lane of its own.
# A lane is a Wine prefix of its own (registry, windows, files: the wine
# server keeps one set per prefix) and an X display of its own (pointer,
# keyboard, focus), so tests in different lanes cannot see each other.
# The program takes the first free lane: a lock file a lane, held by this
# script while the program runs. ctest runs at most as many tests at once as
# there are lanes (test.sh), so a lane is always free or about to be.
# Without KNT_LANE_DISPLAYS (a single test run by hand, test discovery outside
# test.sh) there is one lane, lane 0, on the caller's display.
#   wine-lane.sh BASE_PREFIX PROGRAM [ARGS...]
# Lane n > 0 uses the prefix BASE_PREFIX-n and the n-th display of
# KNT_LANE_DISPLAYS (a space-separated list that test.sh sets).
set -u
base=$1
shift
read -r -a displays <<<"${KNT_LANE_DISPLAYS:-}"
lanes=${#displays[@]}
[ "$lanes" -ge 1 ] || lanes=1
lane=-1
while [ $lane -lt 0 ]; do
  for ((n = 0; n < lanes; n++)); do
    exec {lock}>"$base.lane$n.lock"
    if flock -n "$lock"; then lane=$n; break; fi
    exec {lock}>&-
  done
  [ $lane -ge 0 ] || sleep 0.05
done
prefix=$base
[ "$lane" -gt 0 ] && prefix="$base-$lane"
[ -n "${displays[$lane]:-}" ] && export DISPLAY="${displays[$lane]}"
. "$(dirname "$0")/lane-audio.sh"
use_lane_audio "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" KNT_TEST_LANE=$lane
# The program does not inherit the lock: a Wine server or desktop process it
# starts lives on after it and would hold the lane for ever.
run() {
  started=$(date +%s%N)
  /usr/lib/wine/wine64 "$@" {lock}>&-
  status=$?
  elapsed=$((($(date +%s%N) - started) / 1000000))
}
# Whether the lane's Wine server was there to be found: its socket, in a
# folder named after the prefix folder's device and inode, under the
# temporary folder the prefix's "wineserver" file names (Debian's Wine; the
# upstream place is /tmp/.wine-UID).
server_state() {
  local dir=/tmp/.wine-$(id -u) named
  named=$(cat "$prefix/wineserver" 2>/dev/null) && [ -n "$named" ] && dir=${TMPDIR:-/tmp}/$named
  dir=$dir/server-$(printf '%x-%x' $(stat -c '%d %i' "$prefix"))
  if [ -S "$dir/socket" ]; then echo "its server's socket is there"; else echo "no server socket in $dir"; fi
}
run "$@"
# No Windows program gets to run in less than some 140 ms here (the quickest
# test program, started and ended, on an idle machine). A launch that fails
# well before that never ran the program: Wine's launcher gave up, silently
# with exit code 1 when the server start it tried failed. Such a launch is
# made once more and listed apart from the tests' own reruns
# (BASE_PREFIX.relaunches, which test.sh reports at the end).
if [ $status -ne 0 ] && [ $elapsed -lt 80 ]; then
  echo "wine-lane: Wine did not start $(basename "$1") (exit code $status after $elapsed ms in lane $lane, $(server_state)); starting it again" >&2
  echo "$(basename "$1") ${2:-} in lane $lane: exit code $status after $elapsed ms, $(server_state)" >>"$base.relaunches"
  run "$@"
fi
# A program that dies early leaves nothing else behind: its buffered output
# is lost with it. The exit code (a Windows exception code's low byte, or
# Wine's own failure) and the lane say where to look.
[ $status -eq 0 ] ||
  echo "wine-lane: $(basename "$1") ended with exit code $status after $elapsed ms in lane $lane ($prefix, display ${DISPLAY:-none})" >&2
exit $status
