#!/bin/bash
# Keeps one Wine server alive per test lane for a whole test run, so each test
# does not pay for a cold start. Every stream goes to /dev/null: a long-lived
# process that holds ctest's output pipe would hang the first test.
#   wine-server.sh start|stop BASE_PREFIX   (lanes: BASE_PREFIX, BASE_PREFIX-1, ...)
set -u
action=$1 base=$2
case "$action" in start|stop) ;; *) echo "usage: wine-server.sh start|stop PREFIX" >&2; exit 2 ;; esac
for prefix in "$base" "$base"-[0-9]*; do
  [ -d "$prefix" ] || continue
  export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ "$action" = start ]; then
    /usr/lib/wine/wineserver64 -p60 </dev/null >/dev/null 2>&1
    /usr/lib/wine/wine64 cmd.exe /c exit </dev/null >/dev/null 2>&1 &
  else
    /usr/lib/wine/wineserver64 -k </dev/null >/dev/null 2>&1
  fi
done
wait
exit 0
