#!/bin/bash
# Builds the desk and starts it on the stand-in core.
#   ./run.sh                      with a display: the desk runs until closed
#   ./run.sh                      without one: own Xvfb, screenshot, clean end
#   ./run.sh --screenshot FILE    screenshot to FILE and a clean end, any case
set -euo pipefail
ROOT=$(cd "$(dirname "$0")" && pwd)
. "$ROOT/scripts/common.sh"

shot=""
if [ "${1:-}" = "--screenshot" ]; then
  shot=$(readlink -f "${2:?usage: ./run.sh [--screenshot FILE]}")
fi

install_packages
echo "== building x86_64"
build_tree x86_64
cmake --build "$BUILD_ROOT/x86_64" --target installation_tree >/dev/null
make_prefix

program="$BUILD_ROOT/x86_64/install/program"
# The user's own choices win; these only fill in what is not set.
export KNT_SHAREDPATH="${KNT_SHAREDPATH:-$(winpath "$BUILD_ROOT/x86_64/install/shared")}"
export KNT_JOURNAL="${KNT_JOURNAL:-$(winpath "$BUILD_ROOT/x86_64/install/journal.txt")}"

if [ -n "${DISPLAY:-}" ] && [ -z "$shot" ]; then
  cd "$program"
  exec "$WINE" KantrelOvrin.exe
fi

[ -n "$shot" ] || shot="$BUILD_ROOT/desk.png"
exec "$ROOT/scripts/screenshot.sh" "$program" "$shot"
