#!/bin/bash
# Keeps one Wine server alive per test lane for a whole test run, so each test
# does not pay for a cold start. Every stream goes to /dev/null: a long-lived
# process that holds ctest's output pipe would hang the first test.
# With a desktop keeper program, start also runs it in each lane, on the
# lane's display (KNT_LANE_DISPLAYS), so the lane's Wine desktop lasts the run.
# Each lane also gets its sound server (scripts/lane-audio.sh); stop ends it.
#   wine-server.sh start|stop BASE_PREFIX [KEEPER_EXE]
# The lanes' prefixes are BASE_PREFIX, BASE_PREFIX-1, BASE_PREFIX-2, ...
set -u
action=$1 base=$2 keeper=${3:-}
case "$action" in start|stop) ;; *) echo "usage: wine-server.sh start|stop PREFIX [KEEPER_EXE]" >&2; exit 2 ;; esac
read -r -a displays <<<"${KNT_LANE_DISPLAYS:-}"
. "$(dirname "$0")/lane-audio.sh"
starts=""
for ((lane = 0; ; lane++)); do
  prefix=$base
  [ $lane -gt 0 ] && prefix="$base-$lane"
  [ -d "$prefix" ] || break
  export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ "$action" = stop ]; then
    /usr/lib/wine/wineserver64 -k </dev/null >/dev/null 2>&1
    stop_lane_audio "$prefix"
    continue
  fi
  # Whichever program of a prefix starts first also starts its desktop
  # process, on that program's display; the desktop owns X windows every
  # later program uses (the pointer clip window), so a desktop on another
  # lane's display kills those programs with an X error. Every start of a
  # lane therefore runs on the lane's own display.
  [ -n "${displays[$lane]:-}" ] && export DISPLAY="${displays[$lane]}"
  # The lane's sound server; the desktop and services started here would
  # pass its address on to anything they start.
  start_lane_audio "$prefix"
  use_lane_audio "$prefix"
  /usr/lib/wine/wineserver64 -p60 </dev/null >/dev/null 2>&1
  /usr/lib/wine/wine64 cmd.exe /c exit </dev/null >/dev/null 2>&1 &
  starts="$starts $!"
  if [ -n "$keeper" ]; then
    /usr/lib/wine/wine64 "$keeper" </dev/null >/dev/null 2>&1 &
  fi
done
# The keepers run on until the servers are stopped; the other starts end.
[ -n "$starts" ] && wait $starts
exit 0
