#!/bin/bash
# Keeps one Wine server alive for a whole test run, so each test does not pay
# for a cold start. Every stream goes to /dev/null: a long-lived process that
# holds ctest's output pipe would hang the first test.
set -u
action=$1
export WINEPREFIX=$2 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
case "$action" in
  start)
    /usr/lib/wine/wineserver64 -p60 </dev/null >/dev/null 2>&1
    /usr/lib/wine/wine64 cmd.exe /c exit </dev/null >/dev/null 2>&1
    exit 0 ;;
  stop)
    /usr/lib/wine/wineserver64 -k </dev/null >/dev/null 2>&1
    exit 0 ;;
esac
echo "usage: wine-server.sh start|stop PREFIX" >&2
exit 2
