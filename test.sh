#!/bin/bash
# Builds both targets and runs the whole test suite under Wine and Xvfb.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")" && pwd)
. "$ROOT/scripts/common.sh"

install_packages
echo "== building x86_64"
build_tree x86_64
echo "== building i686 (compile and link only: this machine runs no 32-bit code)"
build_tree i686
echo "== packaging: setup and zip for both targets"
package_tree x86_64
package_tree i686
make_prefix
echo "== running the tests"
cd "$BUILD_ROOT/x86_64"
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure --timeout 180 || status=$?
"$WINESERVER" -k 2>/dev/null || true
exit $status
