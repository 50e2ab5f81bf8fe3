#!/bin/bash
# Start-up figures of the installed desk beside two floors, all launched the
# way a user does (wine64 PROGRAM) under one running Wine server, alternating:
# - a bare 1024 x 768 window (minimal_window.exe);
# - the desk's own window tree and nothing else (same_window_floor.exe): the
#   same classes, styles, places and visibility, no drawing, no core. The tree
#   is the one the desk writes after its start when KNT_WINDOW_TREE asks.
# Launch to window shown, and for the desk also to the core started (its
# journal's StartKantrel line); the desk's own share is what it takes above
# the same windows. Then, from 10 s after the start, the processor time of
# the three over 20 idle seconds, and their private memory.
#   startup_bench.sh BUILD_DIR [ROUNDS]   (under an X display; WINEPREFIX set)
# FLOOR_BIN names another folder for the floor programs, KNT_FLOOR_TREE a tree
# file to replay instead of asking this build's desk for one (a desk of before
# the tree was written has none: give it the tree of a newer one).
# BEFORE_PROGRAM names the installed program folder of an older build: its
# desk is launched in every round as well, after this build's, and its idle
# time and memory are taken the same way afterwards (one desk runs at a time).
set -euo pipefail
build=$(readlink -f "$1")
rounds=${2:-10}
WINE=/usr/lib/wine/wine64
program="$build/install/program"
floor_bin=$(readlink -f "${FLOOR_BIN:-$build/bin}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
winpath() { echo "Z:$(readlink -f "$1" | sed 's|/|\\|g')"; }
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
mib() { awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; }
shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

export KNT_VCMESSAGEBOX_ANSWER=101 KNT_REGKEY='Software\Telmarin\KantrelStartupBench'
journal="$work/journal.txt"
export KNT_JOURNAL
KNT_JOURNAL=$(winpath "$work")\\journal.txt
tree="$work/tree.txt"

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
tree_written() { [ -s "$tree" ]; }
end_program() {  # name pid
  "$WINE" taskkill /im "$1" </dev/null >/dev/null 2>&1 || true
  for _ in $(seq 200); do kill -0 "$2" 2>/dev/null || return 0; sleep 0.05; done
  kill "$2" 2>/dev/null || true
}
private_kb() {  # Private_Clean + Private_Dirty of a Unix process, in KiB
  awk '/^Private_(Clean|Dirty):/ {s += $2} END {print s + 0}' "/proc/$1/smaps_rollup"
}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
before=${BEFORE_PROGRAM:+$(readlink -f "$BEFORE_PROGRAM")}
launch_desk() { (cd "${1:-$program}" && exec "$WINE" KantrelOvrin.exe </dev/null >/dev/null 2>&1) & }
launch_minimal() { (cd "$floor_bin" && exec "$WINE" minimal_window.exe </dev/null >/dev/null 2>&1) & }
launch_floor() {
  local file
  file=$(winpath "$tree")
  (cd "$floor_bin" && exec "$WINE" same_window_floor.exe "$file" </dev/null >/dev/null 2>&1) &
}

/usr/lib/wine/wineserver64 -p60 </dev/null >/dev/null 2>&1 || true
"$WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true

if [ -n "${KNT_FLOOR_TREE:-}" ]; then
  cp "$KNT_FLOOR_TREE" "$tree"
else
  rm -f "$journal"
  export KNT_WINDOW_TREE
  KNT_WINDOW_TREE="$(winpath "$work")\\tree.txt"
  launch_desk
  pid=$!
  unset KNT_WINDOW_TREE
  wait_for "$(now_ms)" tree_written >/dev/null
  end_program KantrelOvrin.exe "$pid"
fi
windows=$(wc -l <"$tree")

: >"$work/minimal.ms"; : >"$work/floor.ms"; : >"$work/floor.painted.ms"
for desk in new old; do : >"$work/$desk.shown.ms"; : >"$work/$desk.started.ms"; done
# Launch to desk shown and to the core started: time_desk NAME PROGRAM_DIR
time_desk() {
  rm -f "$journal"
  local t0 pid
  t0=$(now_ms)
  launch_desk "$2"
  pid=$!
  wait_for "$t0" shown '^Kantrel Ovrin$' >>"$work/$1.shown.ms"
  wait_for "$t0" started >>"$work/$1.started.ms"
  sleep 0.5
  end_program KantrelOvrin.exe "$pid"
}
for round in $(seq "$rounds"); do
  t0=$(now_ms)
  launch_minimal
  pid=$!
  wait_for "$t0" shown '^Minimal window$' >>"$work/minimal.ms"
  end_program minimal_window.exe "$pid"

  t0=$(now_ms)
  launch_floor
  pid=$!
  wait_for "$t0" shown '^Same-window floor' >>"$work/floor.ms"
  wait_for "$t0" shown '^Same-window floor painted$' >>"$work/floor.painted.ms"
  end_program same_window_floor.exe "$pid"

  time_desk new "$program"
  [ -z "$before" ] || time_desk old "$before"
done

bare=$(median <"$work/minimal.ms")
same=$(median <"$work/floor.ms")
same_painted=$(median <"$work/floor.painted.ms")
desk_shown=$(median <"$work/new.shown.ms")
desk_started=$(median <"$work/new.started.ms")
echo "start-up, median of $rounds alternating launches:"
echo "  bare window shown:            $bare ms (floor)"
echo "  same windows shown:           $same ms (floor: the desk's $windows windows, nothing drawn)"
echo "  desk shown:                   $desk_shown ms ($(ratio "$desk_shown" "$same") x the same windows, aim <= 1.25 x)"
echo "  desk shown, core started:     $desk_started ms" \
     "($(ratio "$desk_started" "$same") x the same windows, aim <= 1.25 x;" \
     "$(ratio "$desk_started" "$bare") x the bare window, aim <= 1.5 x)"
echo "  desk's own share:             $(awk -v a="$desk_started" -v b="$same" 'BEGIN {print a - b}') ms" \
     "above the same windows (aim <= $(awk -v b="$same" 'BEGIN {printf "%d", b / 4}') ms)"
# The floor's window is found as soon as it is mapped, early in its show;
# its show and paint are over when it takes its second title. The desk's
# core starts once the desk is shown and painted.
echo "  same windows shown, painted:  $same_painted ms (the floor's show and paint over)"
echo "  desk shown, core started:     $(ratio "$desk_started" "$same_painted") x the same windows shown and painted"
if [ -n "$before" ]; then
  old_shown=$(median <"$work/old.shown.ms")
  old_started=$(median <"$work/old.started.ms")
  echo "  desk of before shown:         $old_shown ms ($(ratio "$old_shown" "$same") x the same windows)"
  echo "  desk of before, core started: $old_started ms ($(ratio "$old_started" "$same") x the same windows," \
       "$(ratio "$old_started" "$same_painted") x shown and painted;" \
       "$(ratio "$old_started" "$bare") x the bare window; own share" \
       "$(awk -v a="$old_started" -v b="$same" 'BEGIN {print a - b}') ms)"
fi

# Idle processor time from 10 s after the start, and private memory; the
# three programs run side by side, the desk last and so in front: the pages
# of a window's picture that the X server never reads (those of a covered
# window) count as the program's own.
launch_minimal
minimal_pid=$!
launch_floor
floor_pid=$!
wait_for "$(now_ms)" shown '^Minimal window$' >/dev/null
wait_for "$(now_ms)" shown '^Same-window floor painted$' >/dev/null
# idle_desk LABEL PROGRAM_DIR: the desk's idle ticks and memory beside the
# floors' (already running).
idle_desk() {
  rm -f "$journal"
  local t0 desk_pid desk_before floor_before minimal_before desk_ticks floor_ticks minimal_ticks desk_kb
  t0=$(now_ms)
  launch_desk "$2"
  desk_pid=$!
  wait_for "$t0" started >/dev/null || { cat "$journal" >&2; return 1; }
  sleep "$(awk -v t="$(( $(now_ms) - t0 ))" 'BEGIN {s = (10000 - t) / 1000; print (s > 0 ? s : 0)}')"
  # Wine runs each program in the process it was started as (a search by
  # name could find another user's program of the same name).
  desk_before=$(cpu_ticks "$desk_pid")
  floor_before=$(cpu_ticks "$floor_pid")
  minimal_before=$(cpu_ticks "$minimal_pid")
  sleep 20
  desk_ticks=$(( $(cpu_ticks "$desk_pid") - desk_before ))
  floor_ticks=$(( $(cpu_ticks "$floor_pid") - floor_before ))
  minimal_ticks=$(( $(cpu_ticks "$minimal_pid") - minimal_before ))
  desk_kb=$(private_kb "$desk_pid")
  echo "idle for 20 s from 10 s after the start: $1 $desk_ticks processor ticks (aim 0);" \
       "floors: same windows $floor_ticks, bare window $minimal_ticks"
  echo "private memory: $1 $(mib "$desk_kb") MiB (aim <= 12 MiB);" \
       "floors: same windows $(mib "$(private_kb "$floor_pid")") MiB," \
       "bare window $(mib "$(private_kb "$minimal_pid")") MiB"
  end_program KantrelOvrin.exe "$desk_pid"
}
status=0
idle_desk desk "$program" || status=1
[ -z "$before" ] || idle_desk "desk of before" "$before" || status=1
end_program same_window_floor.exe "$floor_pid"
end_program minimal_window.exe "$minimal_pid"
exit $status
