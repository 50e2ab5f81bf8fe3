#!/bin/bash
# The Windows setup, end to end, in a Wine prefix of its own (never the shared
# test prefix): a /D= folder that is a file and a shared data folder that
# cannot be written, both refused before anything is installed; silent install, the desk started from its Start menu entry on
# the installed records alone, setup and uninstall refused while it runs, a
# clean close, install over, uninstall keeping the user's settings and files,
# a chosen folder deleted by hand, and /PURGE.
#   setup-program-test.sh SETUP_EXE PORTABLE_ZIP DESK_EXE
set -Eeuo pipefail
# Any unexpected failure names itself instead of ending the test mutely.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR
SETUP=$1 ZIP=$2 BUILT_DESK=$3
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
EXIT_STOPPED=2
EXIT_DESK_RUNNING=3

fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "== $*"; }

# It runs alone (see tests/CMakeLists.txt), on the caller's display.

# Nothing is skipped: a missing tool or package is a failure.
command -v makensis >/dev/null || fail "makensis is missing (Debian package nsis; ./test.sh installs it)"
command -v xdotool >/dev/null || fail "xdotool is missing"
[ -n "${DISPLAY:-}" ] || fail "no X display (run under xvfb-run, as ./test.sh does)"
[ -f "$SETUP" ] || fail "no setup at $SETUP: build the package target (./test.sh does)"
[ -f "$ZIP" ] || fail "no zip at $ZIP: build the package target (./test.sh does)"
[ "$SETUP" -nt "$BUILT_DESK" ] || fail "the setup is older than the desk it should hold: build the package target again"

# The installed desk must find its way by the records the setup wrote.
unset KNT_SHAREDPATH KNT_REGKEY KNT_JOURNAL KNT_VCMESSAGEBOX_ANSWER
WORK=$(mktemp -d "${TMPDIR:-/tmp}/kantrel-setup-test.XXXXXX")
export WINEPREFIX="$WORK/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
LOG="$WORK/wine.log"
desk_pid=""
cleanup() {
  status=$?
  # Clean-up runs to the end whatever fails in it.
  set +e; trap - ERR
  [ -n "$desk_pid" ] && kill "$desk_pid" 2>/dev/null
  "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
  # A dying server still saves the registry into the prefix: let it finish
  # before the prefix goes, or the removal races with its files.
  timeout 30 "$WINESERVER" -w </dev/null >/dev/null 2>&1 || true
  [ -n "$desk_pid" ] && wait "$desk_pid" 2>/dev/null
  # A failed run shows what Wine said; the prefix goes either way.
  [ $status -ne 0 ] && [ -s "$LOG" ] && tail -n 20 "$LOG" >&2
  rm -rf "$WORK" || { sleep 1; rm -rf "$WORK"; }
}
trap cleanup EXIT

# wine_run SECONDS PROGRAM ARGS...: runs it, bounded; every stream goes to the
# log so no Wine process inherits ctest's pipe. Returns the program's code.
wine_run() {
  local limit=$1; shift
  timeout "$limit" "$WINE" "$@" </dev/null >>"$LOG" 2>&1
}

# reg_value KEY NAME: the value's data as reg.exe prints it, empty when absent.
reg_value() {
  local out
  out=$("$WINE" reg query "$1" /v "$2" </dev/null 2>>"$LOG") || return 0
  tr -d '\r' <<<"$out" | awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
reg_key_exists() { "$WINE" reg query "$1" </dev/null >/dev/null 2>&1; }

expect_value() {  # KEY NAME EXPECTED
  local got; got=$(reg_value "$1" "$2")
  [ "$got" = "$3" ] || fail "$1 \"$2\" is \"$got\", expected \"$3\""
}

wait_until() {  # SECONDS DESCRIPTION COMMAND...
  local limit=$1 what=$2; shift 2
  for _ in $(seq $((limit * 5))); do "$@" && return 0; sleep 0.2; done
  fail "$what (waited $limit s)"
}

C="$WINEPREFIX/drive_c"
PROGRAM="$C/Program Files/Kantrel Ovrin"
SHARED="$C/ProgramData/Telmarin/GlobData"
MENU="$C/ProgramData/Microsoft/Windows/Start Menu/Programs/Kantrel Ovrin"
INSTALL_KEY='HKLM\Software\Telmarin\Kantrel Ovrin'
GLOBDATA_KEY='HKLM\Software\Telmarin\GlobData'
USER_KEY='HKCU\Software\Telmarin\Kantrel Ovrin'
UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kantrel Ovrin Setup'
SETUP_KEY='HKLM\Software\Telmarin\Kantrel Ovrin Setup'
PROGRAM_FILES="KantrelOvrin.exe interface.dll emuReg.dll kntLib.dll kntVX.dll knt.dll Uninstall.exe"

step "the zip holds the program folder and the record scripts"
listing=$(cmake -E tar tf "$ZIP")
top=$(basename "$ZIP" .zip)
for f in ${PROGRAM_FILES/Uninstall.exe/} register.cmd unregister.cmd; do
  grep -qx "$top/$f" <<<"$listing" || fail "the zip lacks $f"
done
! grep -Eq 'host_tests|_bench|minimal|\.a$' <<<"$listing" || fail "the zip holds build-only files"

step "a fresh Wine prefix"
mkdir -p "$WINEPREFIX"
wine_run 120 wineboot -i || fail "wineboot failed"
timeout 60 "$WINESERVER" -w || true
# One server for the whole run; unmanaged windows and no crash dialog, as in
# the shared prefix.
"$WINESERVER" -p30 </dev/null >/dev/null 2>&1
wine_run 30 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
wine_run 30 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
! reg_key_exists "$INSTALL_KEY" || fail "the fresh prefix already has an installation record"

check_installed() {  # PROGRAM_FOLDER
  for f in $PROGRAM_FILES; do [ -f "$1/$f" ] || fail "$f is not installed in $1"; done
  expect_value "$INSTALL_KEY" Version 6.601
  expect_value "$INSTALL_KEY" Edition Ovrin
  expect_value "$GLOBDATA_KEY" GlobDataPath 'C:\ProgramData\Telmarin\GlobData'
  [ -d "$SHARED/ide0" ] || fail "the shared data folder has no ide0"
  [ -f "$MENU/Kantrel Ovrin.lnk" ] || fail "no Start menu entry"
  [ -f "$MENU/Uninstall.lnk" ] || fail "no Start menu entry for the uninstaller"
  expect_value "$UNINSTALL_KEY" DisplayVersion 6.601
}

check_nothing_installed() {  # WHAT_RAN
  [ ! -e "$PROGRAM" ] || fail "$1 made the program folder: $(ls -A "$PROGRAM" | tr '\n' ' ')"
  for key in "$INSTALL_KEY" "$GLOBDATA_KEY" "$UNINSTALL_KEY" "$SETUP_KEY"; do
    ! reg_key_exists "$key" || fail "$1 wrote $key"
  done
  [ ! -e "$MENU" ] || fail "$1 made the Start menu entries"
}

step "a silent setup to a /D= folder that is a file stops and installs nothing"
printf 'not a folder' >"$C/target.txt"
code=0; wine_run 120 "$SETUP" /S '/D=C:\target.txt' || code=$?
[ $code -eq $EXIT_STOPPED ] || fail "setup to a file ended with $code, expected $EXIT_STOPPED"
check_nothing_installed "the setup to a file"
[ ! -e "$SHARED" ] || fail "the setup to a file made the shared data folder"
[ "$(cat "$C/target.txt")" = 'not a folder' ] || fail "the file given as the folder was changed"
rm "$C/target.txt"

step "a silent setup stops on a shared data folder it cannot write and installs nothing"
# Wine runs as root here, whom Unix permissions do not stop, and a read-only
# attribute does not keep anything out of a folder; a file where ide0 must go
# makes the folder unusable for anyone.
mkdir -p "$SHARED"
printf 'in the way' >"$SHARED/ide0"
code=0; wine_run 120 "$SETUP" /S || code=$?
[ $code -eq $EXIT_STOPPED ] || fail "setup with an unwritable shared folder ended with $code, expected $EXIT_STOPPED"
check_nothing_installed "the setup with an unwritable shared folder"
[ "$(ls -A "$SHARED")" = ide0 ] && [ "$(cat "$SHARED/ide0")" = 'in the way' ] \
  || fail "the unwritable shared folder was changed: $(ls -A "$SHARED" | tr '\n' ' ')"
rm -r "$C/ProgramData/Telmarin"

step "silent install"
wine_run 120 "$SETUP" /S || fail "the setup failed with code $?"
check_installed "$PROGRAM"
cmp -s "$BUILT_DESK" "$PROGRAM/KantrelOvrin.exe" || fail "the installed desk is not the one built"

step "the desk starts from its Start menu entry on the installed records"
# The journal only records the core's calls; the close question is answered
# "No" without a dialog. Neither touches where the desk looks for its files.
export KNT_JOURNAL='C:\journal.txt' KNT_VCMESSAGEBOX_ANSWER=101
timeout 120 "$WINE" start /wait "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Kantrel Ovrin\\Kantrel Ovrin.lnk" \
  </dev/null >>"$LOG" 2>&1 &
desk_pid=$!
# A start-up failure's message box has the same caption: the core's start,
# which comes after the installation checks, tells the two apart.
started() { grep -qs '^StartKantrel' "$C/journal.txt"; }
wait_until 60 "the installed desk did not start its core" started
desk_window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Kantrel Ovrin$' | head -n 1) \
  || fail "the installed desk showed no window"
eval "$(xdotool getwindowgeometry --shell "$desk_window")"
[ "$WIDTH" -ge 1000 ] && [ "$HEIGHT" -ge 700 ] || fail "the visible window is ${WIDTH}x$HEIGHT, not the desk"
desk_before=$(md5sum <"$PROGRAM/KantrelOvrin.exe")

step "a silent setup stops while the desk runs and replaces nothing"
code=0; wine_run 120 "$SETUP" /S || code=$?
[ $code -eq $EXIT_DESK_RUNNING ] || fail "setup while the desk runs ended with $code, expected $EXIT_DESK_RUNNING"
[ "$(md5sum <"$PROGRAM/KantrelOvrin.exe")" = "$desk_before" ] || fail "the running desk's file was replaced"

step "a silent uninstall stops while the desk runs and removes nothing"
# _?= keeps the uninstaller in place, so its code is seen; it takes no quotes,
# and Wine quotes an argument with spaces, hence the short name.
short=$("$WINE" winepath -s 'C:\Program Files\Kantrel Ovrin' </dev/null 2>>"$LOG" | tr -d '\r')
case "$short" in *" "*|"") fail "no short name for the program folder: \"$short\"" ;; esac
code=0; wine_run 120 "$PROGRAM/Uninstall.exe" /S "_?=$short" || code=$?
[ $code -eq $EXIT_DESK_RUNNING ] || fail "uninstall while the desk runs ended with $code, expected $EXIT_DESK_RUNNING"
for f in $PROGRAM_FILES; do [ -f "$PROGRAM/$f" ] || fail "$f was removed under the running desk"; done
expect_value "$INSTALL_KEY" Version 6.601

step "the desk closes cleanly"
# taskkill sends the close message: the desk ends through its own close flow.
close_desk() {
  wine_run 30 taskkill /im KantrelOvrin.exe || true
  for _ in $(seq 150); do kill -0 "$desk_pid" 2>/dev/null || break; sleep 0.2; done
  kill -0 "$desk_pid" 2>/dev/null && fail "the desk did not end after its close"
  wait "$desk_pid" || fail "the desk's start ended with $?"
  desk_pid=""
  tr -d '\r' <"$C/journal.txt" | grep -E '^(StartKantrel|EndKantrel)' | tr '\n' ' ' \
    | grep -qx 'StartKantrel EndKantrel ' \
    || fail "the core session did not start and end once; the journal: $(tr -d '\r' <"$C/journal.txt" | grep -E 'Kantrel' | head -n 20 | tr '\n' ' ')"
}
close_desk
unset KNT_JOURNAL KNT_VCMESSAGEBOX_ANSWER
# The close saved the window placement under the user's own program key, and
# the affinity log went to the shared folder the record names.
[ -n "$(reg_value "$USER_KEY\\WPos" sz)" ] || fail "the desk saved no placement under $USER_KEY"
[ -f "$SHARED/ide0/affinity.log" ] || fail "the desk wrote nothing to the recorded shared folder"

# The user's own state from here on: a setting and files in the shared folder.
wine_run 30 reg add "$USER_KEY" /v bar /t REG_DWORD /d 5 /f
printf 'programmed shortcuts' >"$SHARED/ide0/psc.cfg"
printf 'a show' >"$SHARED/ide0/Gala.show"
check_user_state() {
  expect_value "$USER_KEY" bar 0x5
  [ -n "$(reg_value "$USER_KEY\\WPos" sz)" ] || fail "the saved placement is gone"
  [ "$(cat "$SHARED/ide0/psc.cfg" 2>/dev/null)" = 'programmed shortcuts' ] || fail "psc.cfg was not kept"
  [ "$(cat "$SHARED/ide0/Gala.show" 2>/dev/null)" = 'a show' ] || fail "the show was not kept"
}

step "install over the installation keeps the settings and files"
wine_run 120 "$SETUP" /S || fail "the second setup failed with code $?"
check_installed "$PROGRAM"
check_user_state

step "uninstall removes the program and the records, keeps the user's state"
# The uninstaller runs on as a copy of itself: wait for its last steps.
wine_run 120 "$PROGRAM/Uninstall.exe" /S || fail "the uninstaller failed with code $?"
gone() { [ ! -e "$PROGRAM" ] && [ ! -e "$MENU" ] && ! reg_key_exists "$UNINSTALL_KEY"; }
wait_until 60 "the uninstaller did not remove the program, its menu and its entry" gone
! reg_key_exists "$INSTALL_KEY" || fail "the installation record is left"
[ -z "$(reg_value "$GLOBDATA_KEY" GlobDataPath)" ] || fail "the shared-data record is left"
[ ! -e "$SHARED/ide0/affinity.log" ] || fail "the desk's log is left"
check_user_state

step "a chosen folder deleted by hand: the setup run again repairs it, the uninstaller copes"
wine_run 120 "$SETUP" /S '/D=C:\Kantrel\Desk2' || fail "the setup to a chosen folder failed with code $?"
check_installed "$C/Kantrel/Desk2"
[ ! -e "$PROGRAM" ] || fail "/D= was ignored"
expect_value "$UNINSTALL_KEY" UninstallString '"C:\Kantrel\Desk2\Uninstall.exe"'
rm -rf "$C/Kantrel/Desk2"
wine_run 120 "$SETUP" /S || fail "the setup over a deleted folder failed with code $?"
check_installed "$C/Kantrel/Desk2"
[ ! -e "$PROGRAM" ] || fail "the setup run again did not go to the installation's own folder"
check_user_state
cp "$C/Kantrel/Desk2/Uninstall.exe" "$WORK/Uninstall-copy.exe"
rm -rf "$C/Kantrel/Desk2"
wine_run 120 "$WORK/Uninstall-copy.exe" /S '_?=C:\Kantrel\Desk2' \
  || fail "uninstall of a folder deleted by hand failed with code $?"
! reg_key_exists "$INSTALL_KEY" || fail "the installation record is left"
! reg_key_exists "$UNINSTALL_KEY" || fail "the uninstall entry is left"
[ ! -e "$MENU" ] || fail "the Start menu entry is left"
check_user_state

step "uninstall with /PURGE removes the settings and files too"
wine_run 120 "$SETUP" /S || fail "the setup failed with code $?"
wine_run 120 "$PROGRAM/Uninstall.exe" /S /PURGE || fail "the uninstaller failed with code $?"
purged() { gone && [ ! -e "$SHARED" ] && ! reg_key_exists "$USER_KEY"; }
wait_until 60 "/PURGE left the program, the shared folder or the settings" purged
step "the unpacked zip registers itself, starts and unregisters"
PORTABLE_WIN="C:\\Portable\\$top"
mkdir -p "$C/Portable"
(cd "$C/Portable" && cmake -E tar xf "$ZIP") || fail "the zip does not unpack"
wine_run 60 cmd /c "$PORTABLE_WIN\\register.cmd" || fail "register.cmd failed with code $?"
expect_value "$INSTALL_KEY" Version 6.601
expect_value "$GLOBDATA_KEY" GlobDataPath "$PORTABLE_WIN\\GlobData"
[ -d "$C/Portable/$top/GlobData/ide0" ] || fail "register.cmd made no shared data folder"
rm -f "$C/journal.txt"
KNT_JOURNAL='C:\journal.txt' KNT_VCMESSAGEBOX_ANSWER=101 timeout 120 \
  "$WINE" start /wait /d "$PORTABLE_WIN" "$PORTABLE_WIN\\KantrelOvrin.exe" </dev/null >>"$LOG" 2>&1 &
desk_pid=$!
wait_until 60 "the unpacked desk did not start its core" started
close_desk
wine_run 60 cmd /c "$PORTABLE_WIN\\unregister.cmd" || fail "unregister.cmd failed with code $?"
! reg_key_exists "$INSTALL_KEY" || fail "unregister.cmd left the installation record"
[ -z "$(reg_value "$GLOBDATA_KEY" GlobDataPath)" ] || fail "unregister.cmd left the shared-data record"
echo "setup test passed"
