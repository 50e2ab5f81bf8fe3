#!/bin/bash
# Starts the desk, waits until its window is up, saves a screenshot and ends
# the program through its own close flow. Uses the caller's display, or an
# Xvfb of its own when there is none.
set -euo pipefail
program=$1 shot=$2
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/common.sh"

xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 130); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    break
  done
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi

# The close flow asks whether to save the show: answer "No" without a dialog.
export KNT_VCMESSAGEBOX_ANSWER=${KNT_VCMESSAGEBOX_ANSWER:-101}
cd "$program"
"$WINE" KantrelOvrin.exe </dev/null >/dev/null 2>&1 &
desk=$!
if ! timeout 60 xdotool search --sync --onlyvisible --name '^Kantrel Ovrin$' >/dev/null; then
  echo "the desk window did not appear" >&2
  exit 1
fi
sleep 1.5
mkdir -p "$(dirname "$shot")"
import -window root "$shot"
echo "screenshot: $shot"
"$WINE" taskkill /im KantrelOvrin.exe </dev/null >/dev/null 2>&1 || true
for _ in $(seq 100); do kill -0 "$desk" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$desk" 2>/dev/null; then
  echo "the desk did not end by itself" >&2
  kill "$desk" 2>/dev/null || true
  exit 1
fi
"$WINESERVER" -w 2>/dev/null || true
