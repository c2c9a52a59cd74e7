#!/usr/bin/env bash
# The Windows build under Wine, in Xvfb, with a fresh Wine prefix: the
# cross-built unit tests; then the installer as a player uses it: a silent
# install, the first-run intro, a move and the computer's reply, the end
# through the dialog, the files in %APPDATA%\Ortelanka\, a silent uninstall
# that keeps them; then the zip's game, run from a folder with Czech letters in
# its name, keeps its files beside itself and ends through taskkill.
# Usage: windows_test.sh BUILD_WINDOWS_DIR [NATIVE_SCREEN.png]
#   NATIVE_SCREEN.png: the Linux game's screen after the same move.
set -euo pipefail
. "$(dirname "$0")/xvfb.sh"

build=$(realpath "$1")
native_screen=${2:-}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zip=$build/package/ortelanka-$version-win64.zip
setup=$build/package/ortelanka-$version-win64-setup.exe
work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -d "$work/prefix" ] && WINEPREFIX=$work/prefix timeout 10 wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "windows: $*" >&2; exit 1; }
passed=0
pass() { passed=$((passed + 1)); echo "windows: $*"; }

# Whatever runs under Wine writes no file larger than 64 MB (a runaway
# writer once filled the disk), never plays sound for real, and each run has
# a time limit.
ulimit -f 65536
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export SDL_AUDIODRIVER=dummy LC_ALL=C.UTF-8
# wine SECONDS PROGRAM ARGUMENTS...
wine() { timeout "$1" /usr/bin/wine "${@:2}"; }

start_xvfb 800x600x24 -noreset || fail "no X server"
wine 120 wineboot -i >/dev/null 2>&1 || fail "wineboot failed"

# The unit tests, beside the bundled font as the game has it, in a folder of
# their own: what the game's objects write at exit goes with it.
cp -r "$build/tests" "$work/tests"
for test in "$work"/tests/test_*.exe; do
  name=$(basename "$test" .exe)
  if ! (cd "$work/tests" && SDL_VIDEODRIVER=dummy wine 300 "$test" >"$work/$name.log" 2>&1); then
    tail -n 40 "$work/$name.log" >&2
    fail "$name failed"
  fi
  pass "$name: $(grep -o '[0-9]* tests\? from [0-9]* test suites\? ran' "$work/$name.log")"
done
# Two copies of the game's file code at once in one folder, as two Windows processes.
if ! bash "$(dirname "$0")/dve_kopie.sh" "timeout 300 /usr/bin/wine $work/tests/ortelanka_kopie.exe" "winepath -w" \
  >"$work/kopie.log" 2>&1; then
  cat "$work/kopie.log" >&2
  fail "two copies lost each other's work"
fi
pass "two copies at once in one folder keep each other's work"

# Helpers of a player at the screen.
press() { xdotool mousemove "$1" "$2"; sleep 0.1; xdotool mousedown 1; sleep 0.15; xdotool mouseup 1; }
key() { xdotool keydown "$1"; sleep 0.2; xdotool keyup "$1"; }
wait_for() {  # seconds, command...
  local limit=$1; shift
  for _ in $(seq $((limit * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}
log_lines() { tr -d '\r' <"$1" | sed -n "s/.* - '\(.*\)' :: \(.*\)/\1 \2/p" | tr '\n' '|'; }
started() { grep -q "Inicializace hry" "$1" 2>/dev/null; }
game_ended() { ! kill -0 "$game_pid" 2>/dev/null; }
board_shown() {
  import -window root -crop 160x80+620+15 +repage "$work/panel.png" 2>/dev/null || return 1
  [ "$(compare -fuzz 6% -metric AE "$work/panel.png" "$work/empty_panel.png" null: 2>&1 || true)" = "0" ]
}
size() { stat -c %s "$1" 2>/dev/null || echo 0; }

# The installer, silently: Program Files, the Start menu, the list of programs.
wine 120 "$setup" /S || fail "the installer failed"
programs=$WINEPREFIX/drive_c/Program\ Files/Ortelanka
[ -f "$programs/ortelanka.exe" ] && [ -f "$programs/Uninstall.exe" ] || fail "nothing installed in Program Files"
shortcut=$(find "$WINEPREFIX/drive_c" -name Ortelaky.lnk -path '*Start Menu*' | head -1)
[ -n "$shortcut" ] || fail "no Start-menu entry Ortelaky"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ortelanka'
wine 30 reg query "$uninstall_key" /v DisplayName 2>/dev/null | grep -q Ortelaky || fail "not in the list of programs"
pass "the installer installs silently"

appdata=$(winepath -u "$(wine 30 cmd /c echo %APPDATA% | tr -d '\r')" 2>/dev/null)/Ortelanka
convert "$programs/data/deskaempty.bmp" -crop 160x80+620+15 +repage "$work/empty_panel.png"

# The installed game's first run: the long intro, then a move.
wine 180 'C:\Program Files\Ortelanka\ortelanka.exe' >"$work/game.out" 2>&1 &
game_pid=$!
wait_for 30 started "$appdata/Ortelanka.log" || fail "the installed game did not start: $(cat "$work/game.out")"
wait_for 60 board_shown || fail "the intro did not end on the game screen"
sleep 0.5
press 136 180  # cell (5, 7)
wait_for 10 eval '[ "$(size "$appdata/data/tahy.dat")" -ge 8 ]' || fail "no move and reply recorded"
read -r first second < <(od -An -td4 -N8 "$appdata/data/tahy.dat")
# The Linux game answers (5, 7) with (4, 6).
[ "$first" -eq $((7 * 26 + 5)) ] && [ "$second" -eq $((6 * 26 + 4)) ] || fail "moves $first $second"
sleep 1.5
if [ -n "$native_screen" ]; then
  import -window root "$work/shot.png"
  differ=$(compare -fuzz 2% -metric AE "$work/shot.png" "$native_screen" null: 2>&1 || true)
  [ "${differ%%.*}" -eq 0 ] || fail "the screen after the move differs from Linux' in $differ pixels"
fi
key Escape
sleep 1
key Return
wait_for 10 game_ended || fail "the game did not end"
status=0
wait "$game_pid" || status=$?
game_pid=""
[ "$status" -eq 0 ] || fail "the game ended with status $status"
pass "the installed game plays the move and the reply of Linux and ends with status 0"

log=$appdata/Ortelanka.log
[ "$(log_lines "$log")" = "Registrace tridy okna ok.|Hlavni okno ok.|Inicializace hry ok.|Konec programu ok.|" ] ||
  fail "log lines: $(log_lines "$log")"
[ "$(grep -c $'\r$' "$log")" -eq "$(wc -l <"$log")" ] || fail "the log's lines do not end in CR LF"
perl -e 'print map { pack("l<a20", 99900 - 200 * $_, "Beze Jmena") } 0 .. 9' >"$work/default.dat"
cmp -s "$appdata/best.dat" "$work/default.dat" || fail "best.dat is not the 240 bytes of the default rows"
[ "$(size "$appdata/data/tahy.dat")" -eq 8 ] && [ -f "$appdata/data/poprve.dat" ] || fail "no move files in %APPDATA%"
for file in best.dat Ortelanka.log a.a data/tahy.dat data/poprve.dat; do
  [ ! -e "$programs/$file" ] || fail "$file was written to Program Files"
done
pass "the installed game keeps its files in %APPDATA%\\Ortelanka, the log in CR LF"

# The uninstaller runs a copy of itself and returns at once.
wine 60 'C:\Program Files\Ortelanka\Uninstall.exe' /S || fail "the uninstaller failed"
wait_for 60 eval '[ ! -e "$programs/ortelanka.exe" ] && [ ! -e "$shortcut" ]' || fail "the uninstaller left the game"
! wine 30 reg query "$uninstall_key" >/dev/null 2>&1 || fail "still in the list of programs"
cmp -s "$appdata/best.dat" "$work/default.dat" || fail "the uninstaller took the player's files"
pass "the uninstaller removes the game silently and keeps the player's files"

# The zip's game in a folder with Czech letters: portable.
folder="$WINEPREFIX/drive_c/Hry Ořechová"
mkdir -p "$folder"
unzip -q "$zip" -d "$folder"
game="$folder/ortelanka-$version-win64"
cp "$log" "$work/appdata.log"
wine 120 "C:\\Hry Ořechová\\ortelanka-$version-win64\\ortelanka.exe" --windowed >"$work/game.out" 2>&1 &
game_pid=$!
wait_for 30 started "$game/Ortelanka.log" || fail "the zip's game kept no log beside itself: $(cat "$work/game.out")"
sleep 1
wine 30 taskkill /IM ortelanka.exe >/dev/null 2>&1 || fail "taskkill failed"
wait_for 10 game_ended || fail "taskkill did not end the game"
game_pid=""
[ "$(log_lines "$game/Ortelanka.log")" = \
  "Registrace tridy okna ok.|Hlavni okno ok.|Inicializace hry ok.|Destroy Window ok.|Konec programu ok.|" ] ||
  fail "log lines after taskkill: $(log_lines "$game/Ortelanka.log")"
[ -f "$game/best.dat" ] && [ -f "$game/data/poprve.dat" ] || fail "the zip's game kept no files beside itself"
cmp -s "$log" "$work/appdata.log" || fail "the zip's game wrote to %APPDATA%"
pass "the zip's game in \"Hry Ořechová\" keeps its files beside itself and ends through taskkill"

# --version reaches whoever started it, and leaves no file behind.
mkdir "$work/empty"
[ "$(cd "$work/empty" && wine 30 "$game/ortelanka.exe" --version | tr -d '\r')" = "ortelanka $version" ] ||
  fail "no --version"
[ -z "$(ls -A "$work/empty")" ] || fail "--version left files: $(ls -A "$work/empty")"
pass "--version answers on standard output"

used=$(du -sm "$work" | cut -f1)
echo "windows: $passed passed, 0 failed (the prefix and the games took $used MB)"
