# Shared steps of run.sh and test.sh: packages, build trees and the Wine prefix.
# Sourced, not run. ROOT is the project root.

BUILD_ROOT="$ROOT/build"
PREFIX="$BUILD_ROOT/wineprefix"
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
export WINEPREFIX="$PREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

PACKAGES="wine wine64 fonts-wine g++ g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  mingw-w64-tools binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 xvfb xauth cmake make
  imagemagick xdotool x11-utils nsis pulseaudio gstreamer1.0-plugins-base gstreamer1.0-plugins-good lame"

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

# -m: the path may not exist yet (the prefix is made while the targets build).
winpath() { echo "Z:$(readlink -m "$1" | sed 's|/|\\|g')"; }

# Test lanes: one Wine prefix and one X display each, so that tests can run
# side by side without seeing each other's windows, registry or input.
# Two a core: a test mostly waits on the Wine server and the X server, so
# twice as many lanes as cores ran the suite in two thirds of the time, with
# no test failing more often.
LANES=${KNT_TEST_LANES:-$(( $(nproc) * 2 ))}
[ "$LANES" -ge 1 ] 2>/dev/null || LANES=1

lane_prefix() { if [ "$1" -eq 0 ]; then echo "$PREFIX"; else echo "$PREFIX-$1"; fi; }

# The prefix is made once per build folder: Wine's own set-up, unmanaged
# windows (a window manager round trip per window made tests slow), no crash
# dialog, the fonts for caption buttons, and the installation record. The
# other lanes' prefixes are copies of the first (a copy takes a fraction of
# Wine's own set-up).
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
  local reg="$BUILD_ROOT/prefix-settings.reg" shared lane dir
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
  for ((lane = 1; lane < LANES; lane++)); do
    dir=$(lane_prefix $lane)
    if [ ! -f "$dir/.kantrel-ready" ]; then
      rm -rf "$dir"
      cp -a "$PREFIX" "$dir"
    fi
  done
  for ((lane = 0; lane < LANES; lane++)); do
    WINEPREFIX=$(lane_prefix $lane) "$WINE" regedit /S "$(winpath "$reg")" </dev/null >/dev/null 2>&1
    WINEPREFIX=$(lane_prefix $lane) "$WINESERVER" -w
  done
}

# start_lane_displays: one Xvfb a lane on free display numbers; sets
# KNT_LANE_DISPLAYS and LANE_XVFB_PIDS. stop_lane_displays ends them.
start_lane_displays() {
  local lane n=90 list="" pids=""
  for ((lane = 0; lane < LANES; lane++)); do
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    pids="$pids $!"
    list="$list :$n"
    n=$((n + 1))
  done
  for d in $list; do
    for _ in $(seq 100); do DISPLAY=$d xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  done
  export KNT_LANE_DISPLAYS="${list# }"
  export DISPLAY="${KNT_LANE_DISPLAYS%% *}"
  LANE_XVFB_PIDS=$pids
}
stop_lane_displays() {
  [ -n "${LANE_XVFB_PIDS:-}" ] && kill $LANE_XVFB_PIDS 2>/dev/null || true
}

# report_reruns CTEST_LOG: the tests that failed a run and passed a later one.
report_reruns() {
  awk '/Test +#[0-9]+: / {
         name = $0; sub(/.*Test +#[0-9]+: /, "", name); sub(/ .*/, "", name)
         if ($0 ~ /\*\*\*|Not Run/) failed[name]++; else if ($0 ~ / Passed /) passed[name] = 1
       }
       END {
         n = 0
         for (t in failed) if (t in passed) { list = list "\n  " t " (" failed[t] " failed run" (failed[t] > 1 ? "s" : "") ")"; n++ }
         printf "== tests that needed another run: %d%s\n", n, list
       }' "$1"
}

# report_relaunches FILE: the test programs Wine failed to start, which
# wine-lane.sh started again (one line each in FILE).
report_relaunches() {
  local n=0
  [ -f "$1" ] && n=$(wc -l <"$1")
  echo "== test programs Wine did not start at the first launch: $n"
  [ "$n" -eq 0 ] || sed 's/^/  /' "$1"
}
