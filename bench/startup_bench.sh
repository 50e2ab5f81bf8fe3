#!/bin/bash
# Start-up figures of the installed desk beside a bare 1024 x 768 window, both
# launched the way a user does (wine64 PROGRAM) under one running Wine server,
# alternating: launch to window shown, and for the desk also to the core
# started (its journal's StartKantrel line). Then the desk's processor time
# over 20 idle seconds and the private memory of both processes.
#   startup_bench.sh BUILD_DIR [ROUNDS]   (under an X display; WINEPREFIX set)
set -euo pipefail
build=$(readlink -f "$1")
rounds=${2:-10}
WINE=/usr/lib/wine/wine64
program="$build/install/program"
minimal_dir="$build/bin"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
winpath() { echo "Z:$(readlink -f "$1" | sed 's|/|\\|g')"; }
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

export KNT_VCMESSAGEBOX_ANSWER=101 KNT_REGKEY='Software\Telmarin\KantrelStartupBench'
journal="$work/journal.txt"
export KNT_JOURNAL
KNT_JOURNAL=$(winpath "$work")\\journal.txt

# Waits for the condition (a command) and prints the milliseconds since t0.
wait_for() {
  local t0=$1; shift
  for _ in $(seq 3000); do
    if "$@"; then echo $(( $(now_ms) - t0 )); return 0; fi
    sleep 0.005
  done
  echo "timed out waiting for: $*" >&2
  return 1
}
started() { grep -qa '^StartKantrel' "$journal" 2>/dev/null; }
end_program() {  # name pid
  "$WINE" taskkill /im "$1" </dev/null >/dev/null 2>&1 || true
  for _ in $(seq 200); do kill -0 "$2" 2>/dev/null || return 0; sleep 0.05; done
  kill "$2" 2>/dev/null || true
}
unix_pid_of() { pgrep -n -f "$1" || true; }
private_kb() {  # Private_Clean + Private_Dirty of a Unix process, in KiB
  awk '/^Private_(Clean|Dirty):/ {s += $2} END {print s + 0}' "/proc/$1/smaps_rollup"
}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

/usr/lib/wine/wineserver64 -p60 </dev/null >/dev/null 2>&1 || true
"$WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true

: >"$work/minimal.ms"; : >"$work/shown.ms"; : >"$work/started.ms"
for round in $(seq "$rounds"); do
  t0=$(now_ms)
  (cd "$minimal_dir" && exec "$WINE" minimal_window.exe </dev/null >/dev/null 2>&1) &
  pid=$!
  wait_for "$t0" shown '^Minimal window$' >>"$work/minimal.ms"
  end_program minimal_window.exe "$pid"

  rm -f "$journal"
  t0=$(now_ms)
  (cd "$program" && exec "$WINE" KantrelOvrin.exe </dev/null >/dev/null 2>&1) &
  pid=$!
  wait_for "$t0" shown '^Kantrel Ovrin$' >>"$work/shown.ms"
  wait_for "$t0" started >>"$work/started.ms"
  sleep 0.5
  end_program KantrelOvrin.exe "$pid"
done

floor=$(median <"$work/minimal.ms")
desk_shown=$(median <"$work/shown.ms")
desk_started=$(median <"$work/started.ms")
echo "start-up, median of $rounds alternating launches:"
echo "  bare window shown:            $floor ms (the floor)"
echo "  desk shown:                   $desk_shown ms"
echo "  desk shown, core started:     $desk_started ms ($(awk -v a="$desk_started" -v b="$floor" 'BEGIN {printf "%.2f", a / b}') x the floor; aim <= 1.5 x)"

# Idle processor time and private memory, both programs up and settled.
(cd "$minimal_dir" && exec "$WINE" minimal_window.exe </dev/null >/dev/null 2>&1) &
minimal_pid=$!
rm -f "$journal"
(cd "$program" && exec "$WINE" KantrelOvrin.exe </dev/null >/dev/null 2>&1) &
desk_pid=$!
wait_for "$(now_ms)" shown '^Minimal window$' >/dev/null
wait_for "$(now_ms)" started >/dev/null
sleep 3
desk_unix=$(unix_pid_of 'KantrelOvrin.exe')
minimal_unix=$(unix_pid_of 'minimal_window.exe')
before=$(cpu_ticks "$desk_unix")
sleep 20
after=$(cpu_ticks "$desk_unix")
desk_kb=$(private_kb "$desk_unix")
minimal_kb=$(private_kb "$minimal_unix")
echo "desk idle for 20 s: $((after - before)) processor ticks (aim 0)"
echo "private memory: desk $((desk_kb / 1024)) MiB, bare window $((minimal_kb / 1024)) MiB" \
     "($(awk -v a="$desk_kb" -v b="$minimal_kb" 'BEGIN {printf "%.1f", a / b}') x; aim <= 2 x)"
end_program KantrelOvrin.exe "$desk_pid"
end_program minimal_window.exe "$minimal_pid"
