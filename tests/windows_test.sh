#!/usr/bin/env bash
# The Windows build under Wine, in Xvfb, with a fresh Wine prefix: the
# cross-built unit tests; then the installer as a player uses it: a silent
# install, the first-run intro, a move and the computer's reply, the end
# through the dialog, the files in %APPDATA%\Ortelanka\, a silent uninstall
# that keeps them; then the zip's game, run from a folder with Czech letters in
# its name, keeps its files beside itself and ends through taskkill. With the
# Linux game's folder, the installed game also plays it online through a
# broker on loopback whose certificate Windows is made to trust, and opens
# a friend's link.
# Usage: windows_test.sh BUILD_WINDOWS_DIR [NATIVE_SCREEN.png [NATIVE_GAME_DIR]]
#   NATIVE_SCREEN.png: the Linux game's screen after the same move.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xvfb.sh"
. "$here/broker.sh"
. "$here/two_sides.sh"

build=$(realpath "$1")
native_screen=${2:-}
game_dir=${3:-}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zip=$build/package/ortelanka-$version-win64.zip
setup=$build/package/ortelanka-$version-win64-setup.exe
work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  # The Linux game before its X server: it must not lose its screen while it ends.
  [ -n "${guest_pid:-}" ] && { kill "$guest_pid" 2>/dev/null; wait "$guest_pid" 2>/dev/null; } || true
  for p in ${guest_xvfb:-} ${broker_pid:-}; do kill "$p" 2>/dev/null || true; done
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
log_lines() { tr -d '\r' <"$1" | sed -n "s/.* - '\(.*\)' :: \(.*\)/\1 \2/p" | tr '\n' '|'; }
game_started() { grep -q "Inicializace hry" "$1" 2>/dev/null; }
game_ended() { ! kill -0 "$game_pid" 2>/dev/null; }
# taskkill asks the game's window to close: a test waits for it first.
window_shown() { xdotool search --name "Ortelaky od Zorb :o)" >/dev/null; }
board_shown() {
  import -window root -crop 160x80+620+15 +repage "$work/panel.png" 2>/dev/null || return 1
  [ "$(compare -fuzz 6% -metric AE "$work/panel.png" "$work/empty_panel.png" null: 2>&1 || true)" = "0" ]
}
size() { stat -c %s "$1" 2>/dev/null || echo 0; }

# The installer, silently: Program Files, the Start menu, the list of programs.
wine 120 "$setup" /S || fail "the installer failed"
programs=$WINEPREFIX/drive_c/Program\ Files/Ortelanka
pictures=$programs/data  # what tests/screen.sh compares the screen with
[ -f "$programs/ortelanka.exe" ] && [ -f "$programs/Uninstall.exe" ] || fail "nothing installed in Program Files"
shortcut=$(find "$WINEPREFIX/drive_c" -name Ortelaky.lnk -path '*Start Menu*' | head -1)
[ -n "$shortcut" ] || fail "no Start-menu entry Ortelaky"
for entry in "Ortelaky - hra po siti" "Ortelaky - odkaz ze schranky"; do
  [ -n "$(find "$WINEPREFIX/drive_c" -name "$entry.lnk" -path '*Start Menu*')" ] || fail "no Start-menu entry $entry"
done
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ortelanka'
wine 30 reg query "$uninstall_key" /v DisplayName 2>/dev/null | grep -q Ortelaky || fail "not in the list of programs"
wine 30 reg query 'HKLM\Software\Classes\ortelanka\shell\open\command' 2>/dev/null | grep -qF '"%1"' ||
  fail "links of the game's scheme do not open it"
pass "the installer installs silently"

appdata=$(winepath -u "$(wine 30 cmd /c echo %APPDATA% | tr -d '\r')" 2>/dev/null)/Ortelanka
convert "$programs/data/deskaempty.bmp" -crop 160x80+620+15 +repage "$work/empty_panel.png"

# The installed game's first run: the long intro, then a move.
wine 180 'C:\Program Files\Ortelanka\ortelanka.exe' >"$work/game.out" 2>&1 &
game_pid=$!
wait_for 30 game_started "$appdata/Ortelanka.log" || fail "the installed game did not start: $(cat "$work/game.out")"
wait_for 60 board_shown || fail "the intro did not end on the game screen"
input_taken
press 136 180  # cell (5, 7)
wait_for 10 eval '[ "$(size "$appdata/data/tahy.dat")" -ge 8 ]' || fail "no move and reply recorded"
read -r first second < <(od -An -td4 -N8 "$appdata/data/tahy.dat")
# The Linux game answers (5, 7) with (4, 6).
[ "$first" -eq $((7 * 26 + 5)) ] && [ "$second" -eq $((6 * 26 + 4)) ] || fail "moves $first $second"
# As the Linux screen was taken: the reply's animation over, the pointer back
# on the board and the button it lit gone out.
input_taken
xdotool mousemove 136 180
wait_for 30 eval '! button_lit' || fail "the button stayed lit with the pointer on the board"
if [ -n "$native_screen" ]; then
  import -window root "$work/shot.png"
  differ=$(compare -fuzz 2% -metric AE "$work/shot.png" "$native_screen" null: 2>&1 || true)
  [ "${differ%%.*}" -eq 0 ] || fail "the screen after the move differs from Linux' in $differ pixels"
fi
key Escape
wait_for 10 eval '! shows deskaempty.bmp 200x100+180+250' || fail "Escape did not open the quit dialog"
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

if [ -n "$game_dir" ]; then
  # Online: the installed game and a Linux game play each other, through a
  # mosquitto on loopback that speaks MQTT over TLS with a certificate of the
  # test's own CA for "localhost".
  mkdir "$work/tls" "$work/broker"
  test_certificates "$work/tls" || fail "no test certificates"
  broker_dir=$work/broker
  start_broker "certfile $work/tls/server.pem" "keyfile $work/tls/server.key" || fail "no broker"
  broker=mqtts://localhost:$broker_port
  guest_display=$DISPLAY
  join() {  # code: the installed game joins it, as a link would start it
    wine 180 'C:\Program Files\Ortelanka\ortelanka.exe' --join "$1" --broker "$broker" >"$work/game.out" 2>&1 &
    game_pid=$!
  }
  end_game() {
    wine 30 taskkill /IM ortelanka.exe >/dev/null 2>&1 || true
    wait_for 10 game_ended || fail "taskkill did not end the game"
    game_pid=""
  }

  # Windows does not trust the test's CA yet: the game refuses the broker.
  join ZW014D2PF2DBSQQG
  refused() { grep -q "alert unknown ca\|alert bad certificate" "$broker_dir/mosquitto.log"; }
  wait_for 20 refused || fail "the game took a broker whose certificate it does not trust: $(cat "$broker_dir/mosquitto.log")"
  end_game
  pass "the installed game refuses a broker whose certificate Windows does not trust"

  # The CA in Windows' own store of trusted roots, as an administrator would
  # add it: a registry value that holds the certificate as its property.
  python3 - "$work/tls/ca.pem" >"$work/root.reg" <<'PY'
import hashlib, ssl, struct, sys
der = ssl.PEM_cert_to_DER_cert(open(sys.argv[1]).read())
blob = struct.pack('<III', 32, 1, len(der)) + der  # CERT_CERT_PROP_ID
print('REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\'
      + hashlib.sha1(der).hexdigest().upper() + ']\n"Blob"=hex:' + ','.join('%02x' % b for b in blob) + '\n')
PY
  wine 30 regedit /S "$(winepath -w "$work/root.reg")" || fail "regedit failed"

  # No command-line option: the installed game hosts on its online screen
  # (F2, H) through the broker in its settings, and the Linux game, on a
  # screen of its own, joins by the link pasted from the clipboard.
  mkdir "$work/guest"
  cp -r "$game_dir"/ortelanka "$game_dir"/data "$work/guest"/
  rm -f "$work/guest/data/tahy.dat" "$appdata/data/tahy.dat"
  touch "$work/guest/data/poprve.dat"
  ln -s "$appdata" "$work/host"
  sed -i '/^broker=/d' "$appdata/ortelanka.conf" 2>/dev/null || true
  echo "broker=$broker" >>"$appdata/ortelanka.conf"
  host_display=$DISPLAY host_xvfb=$xvfb_pid
  wine 180 'C:\Program Files\Ortelanka\ortelanka.exe' >"$work/game.out" 2>&1 &
  game_pid=$!
  wait_for 30 window_shown || fail "the installed game showed no window"
  start_xvfb 800x600x24 -noreset || fail "no X server for the Linux game"
  guest_display=$DISPLAY guest_xvfb=$xvfb_pid xvfb_pid=$host_xvfb
  (cd "$work/guest" && SSL_CERT_FILE=$work/tls/ca.pem ASAN_OPTIONS=detect_leaks=0 exec ./ortelanka >out.txt 2>&1) &
  guest_pid=$!
  export DISPLAY=$host_display
  both_on_the_board
  key() { DISPLAY=$(display_of "$1") xdotool keydown "$2" sleep 0.15 keyup "$2"; }
  clipboard() { DISPLAY=$(display_of "$1") xclip -o -selection clipboard 2>/dev/null; }
  clicks_taken host
  xdotool windowfocus --sync "$(xdotool search --name "Ortelaky od Zorb :o)" | head -1)" 2>/dev/null || true
  key host F2
  key host h
  wait_for 30 eval '[[ $(clipboard host) == "ortelanka://localhost:$broker_port/#"* ]]' ||
    fail "hosting on the installed game's screen put no link on the clipboard: '$(clipboard host)'"
  link=$(clipboard host)
  code=${link##*#}
  key host Escape
  clicks_taken host
  printf %s "$link" | DISPLAY=$guest_display xclip -selection clipboard 2>/dev/null
  clicks_taken guest
  key guest F2
  key guest p
  play_to_the_win
  pass "the installed game hosts on its online screen and the Linux game joins by the pasted link, over TLS ($move moves)"
  end_game
  kill "$guest_pid" 2>/dev/null || true
  wait "$guest_pid" 2>/dev/null || true
  guest_pid=""
  kill "$guest_xvfb" 2>/dev/null || true

  # A friend's link opens the installed game through its registration.
  link="ortelanka://localhost/#$code"
  wine 30 start "$link" >/dev/null 2>&1 || fail "start did not take the link"
  opened() { pgrep -f "ortelanka\\.exe.*$link" >/dev/null; }
  wait_for 30 opened || fail "the link did not open the installed game"
  wait_for 30 window_shown || fail "the game the link opened showed no window"
  # taskkill asks the window to close; a request the game has not taken
  # (its window still being set up) is made again.
  closed_by_taskkill() { wine 30 taskkill /IM ortelanka.exe >/dev/null 2>&1; ! opened; }
  wait_for 30 closed_by_taskkill || fail "taskkill did not end the game the link opened"
  pass "a friend's link opens the installed game"
fi

# The uninstaller runs a copy of itself and returns at once.
wine 60 'C:\Program Files\Ortelanka\Uninstall.exe' /S || fail "the uninstaller failed"
wait_for 60 eval '[ ! -e "$programs/ortelanka.exe" ] && [ ! -e "$shortcut" ]' || fail "the uninstaller left the game"
! wine 30 reg query "$uninstall_key" >/dev/null 2>&1 || fail "still in the list of programs"
! wine 30 reg query 'HKLM\Software\Classes\ortelanka' >/dev/null 2>&1 || fail "the links still open the game"
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
wait_for 30 game_started "$game/Ortelanka.log" || fail "the zip's game kept no log beside itself: $(cat "$work/game.out")"
wait_for 30 window_shown || fail "the zip's game showed no window"
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
