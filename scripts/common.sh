# Shared steps of run.sh and test.sh: packages, build trees and the Wine prefix.
# Sourced, not run. ROOT is the project root.

BUILD_ROOT="$ROOT/build"
PREFIX="$BUILD_ROOT/wineprefix"
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
export WINEPREFIX="$PREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

PACKAGES="wine wine64 fonts-wine g++ g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  mingw-w64-tools binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 xvfb xauth cmake make
  imagemagick xdotool x11-utils nsis"

install_packages() {
  local missing=""
  for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  if [ -n "$missing" ]; then
    echo "== installing:$missing"
    local sudo=""
    [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
  fi
}

# build_tree ARCH: configures and builds build/ARCH with the matching toolchain.
build_tree() {
  local arch=$1 dir="$BUILD_ROOT/$1"
  cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-$arch-mingw.cmake" \
    -DWINE_PREFIX="$PREFIX" >/dev/null
  cmake --build "$dir" -j"$(nproc)" -- --no-print-directory
}

# package_tree ARCH: the setup and the zip of build/ARCH, beside its build output.
package_tree() {
  local out
  out=$(cmake --build "$BUILD_ROOT/$1" --target package -- --no-print-directory 2>&1) \
    || { echo "$out" >&2; echo "packaging build/$1 failed" >&2; return 1; }
  ls -l "$BUILD_ROOT/$1"/KantrelOvrin-*.exe "$BUILD_ROOT/$1"/KantrelOvrin-*.zip
}

winpath() { echo "Z:$(readlink -f "$1" | sed 's|/|\\|g')"; }

# The prefix is made once per build folder: Wine's own set-up, unmanaged
# windows (a window manager round trip per window made tests slow), no crash
# dialog, the fonts for caption buttons, and the installation record.
make_prefix() {
  if [ ! -f "$PREFIX/.kantrel-ready" ]; then
    echo "== creating the Wine prefix (once)"
    rm -rf "$PREFIX"
    mkdir -p "$PREFIX"
    "$WINE" wineboot -i </dev/null >/dev/null 2>&1
    "$WINESERVER" -w
    cp /usr/share/wine/fonts/* "$PREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    touch "$PREFIX/.kantrel-ready"
  fi
  local reg="$BUILD_ROOT/prefix-settings.reg" shared
  shared=$(winpath "$BUILD_ROOT/x86_64/install/shared" | sed 's|\\|\\\\|g')
  cat > "$reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\\Software\\Telmarin\\Kantrel Ovrin]
"Version"="6.601"
"Edition"="Ovrin"

[HKEY_LOCAL_MACHINE\\Software\\Telmarin\\GlobData]
"GlobDataPath"="$shared"
REG
  "$WINE" regedit /S "$(winpath "$reg")" </dev/null >/dev/null 2>&1
  "$WINESERVER" -w
}
