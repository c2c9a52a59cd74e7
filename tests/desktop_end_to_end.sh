#!/usr/bin/env bash
# The game as a desktop program: its command line, no display at all, and full
# screen on a 1280 x 1024 Xvfb screen without and with a window manager
# (openbox): the window covers the screen, clicks land on the right cells, an
# ordinary Escape press leaves the quit dialog open, Alt+Enter switches to the
# window and back and is remembered.
# Usage: desktop_end_to_end.sh GAME_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xvfb.sh"
. "$here/waiting.sh"

game_dir=$1
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "desktop end-to-end: $*" >&2; exit 1; }
export ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER

cp -r "$game_dir"/ortelanka "$game_dir"/data "$work"/
cd "$work"
rm -f data/tahy.dat data/hra.dat best.dat

# The command line, which leaves no file behind.
before=$(find . | sort)
for option in --help -h; do
  ./ortelanka $option | grep -q -- "--windowed" || fail "$option does not list --windowed"
done
for option in --version -v; do
  ./ortelanka $option | grep -q "^ortelanka [0-9]" || fail "$option"
done
status=0; ./ortelanka --nonsense >out.txt 2>err.txt || status=$?
[ "$status" -eq 2 ] && [ ! -s out.txt ] && grep -q "^Usage:" err.txt || fail "an unknown option gives status $status"
[ "$(find . ! -name out.txt ! -name err.txt | sort)" = "$before" ] || fail "the command line left files"

# No display: CHYBA, a failure status, and not one file more.
before=$(find . | sort)
status=0; env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$work" ./ortelanka >out.txt 2>err.txt || status=$?
[ "$status" -ne 0 ] && grep -q CHYBA err.txt || fail "without a display: status $status, $(cat err.txt)"
[ "$(find . | sort)" = "$before" ] || fail "a run without a display created files"
rm out.txt err.txt
touch data/poprve.dat  # a later run: the intro takes 8.7 s

start_xvfb 1280x1024x24 -noreset || fail "no X server"
pids+=("$xvfb_pid")

# Where the 800 x 600 picture is on a WIDTHxHEIGHT screen: as large as it
# fits, centred.
place_picture() {
  local width=${1%x*} height=${1#*x}
  if [ $((width * 3)) -le $((height * 4)) ]; then
    area_w=$width area_h=$((width * 3 / 4))
  else
    area_w=$((height * 4 / 3)) area_h=$height
  fi
  area_x=$(((width - area_w) / 2)) area_y=$(((height - area_h) / 2))
}
sx() { echo $((area_x + $1 * area_w / 800)); }
sy() { echo $((area_y + $2 * area_h / 600)); }
press() { xdotool mousemove "$(sx "$1")" "$(sy "$1" "$2")"; sleep 0.1; xdotool mousedown 1; sleep 0.15; xdotool mouseup 1; }
key() { xdotool keydown "$1"; sleep 0.15; xdotool keyup "$1"; }
# The screen scaled back to the picture, compared with a picture's region
# (of the same region by default).
looks_like() {  # picture WxH+X+Y [WxH+X+Y]
  import -window root -crop "${area_w}x${area_h}+${area_x}+${area_y}" +repage -resize 800x600! screen.png 2>/dev/null || return 1
  convert screen.png -crop "$2" +repage now.png
  convert "$1" -crop "${3:-$2}" +repage want.png
  local e; e=$(compare -metric RMSE now.png want.png null: 2>&1 || true)
  e=${e#*(}; e=${e%)*}
  awk -v e="$e" 'BEGIN { exit !(e < 0.06) }'
}
# As tests/screen.sh's input_taken, on this screen: once the pointer has lit
# the button "Hráč proti PC", the game waits for input and has taken all
# that came before.
button_lit() { looks_like data/hp/hracpc3.bmp 140x30+630+340 140x30+10+5; }
input_taken() {
  local end=$((SECONDS + 30)) x=700
  until button_lit; do
    [ "$SECONDS" -lt "$end" ] || fail "the button under the pointer did not light: the game takes no input"
    xdotool mousemove "$(sx "$x")" "$(sy "$x" 355)"
    x=$((1401 - x))
    sleep 0.1
  done
}
dialog_shown() { ! looks_like data/deskaempty.bmp 60x40+190+300; }
geometry() { xwininfo -name "Ortelaky od Zorb :o)" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
  /Width/ {w=$NF} /Height/ {h=$NF} END {print w "x" h "+" x "+" y}'; }
game_ended() { ! kill -0 "$game_pid" 2>/dev/null; }
moves() { echo $(($(stat -c %s data/tahy.dat 2>/dev/null || echo 0) / 4)); }
two_moves() { [ "$(moves)" -ge 2 ]; }
geometry_is() { [ "$(geometry)" = "$1" ]; }

play() {  # window manager or nothing
  rm -f data/tahy.dat ortelanka.conf Ortelanka.log
  ./ortelanka >game.out 2>&1 &
  game_pid=$!
  pids+=("$game_pid")
  wait_for 30 grep -qs "Inicializace hry" Ortelanka.log || fail "$1: the game did not start"
  wait_for 30 geometry_is 1280x1024+0+0 || fail "$1: the full-screen window is $(geometry)"
  # The intro shows the empty board too before its end.
  input_taken
  looks_like data/deskaempty.bmp 160x80+620+15 || fail "$1: the intro did not end on the game screen"

  # Cell (5, 7) and the computer's reply.
  press 136 180
  wait_for 10 two_moves || fail "$1: no move and reply recorded"
  [ "$(od -An -td4 -N4 data/tahy.dat | tr -d ' ')" -eq $((7 * 26 + 5)) ] || fail "$1: the click landed elsewhere"
  input_taken  # the reply's mark has been drawn

  # An ordinary Escape press opens the quit dialog, and it stays open: had
  # the release closed it, the click on NE, which the game takes after the
  # release, would land on the board as a move.
  key Escape
  wait_for 10 dialog_shown || fail "$1: Escape did not open the quit dialog"
  press 320 320  # NE
  wait_for 5 looks_like data/deskaempty.bmp 60x40+190+300 || fail "$1: NE did not close the dialog"

  xdotool keydown alt key Return keyup alt
  # A window manager places the window as it likes; without one it is centred.
  if [ -z "$1" ]; then wait_for 5 geometry_is 800x600+240+212 || fail "Alt+Enter gave $(geometry)"; fi
  wait_for 5 grep -q "fullscreen=0" ortelanka.conf || fail "$1: the window choice was not saved"
  xdotool mousemove 640 512 keydown alt key Return keyup alt
  wait_for 5 geometry_is 1280x1024+0+0 || fail "$1: back to full screen gave $(geometry)"
  [ "$(moves)" -eq 2 ] || fail "$1: Alt+Enter played a move"

  key Escape
  wait_for 10 dialog_shown || fail "$1: Escape did not open the quit dialog again"
  key Return
  wait_for 10 game_ended || fail "$1: the game did not end through the dialog"
}

place_picture 1280x1024
play ""
openbox >/dev/null 2>&1 &
pids+=($!)
# Ready once it says what it supports, full screen among it.
wm_ready() { xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_WM_STATE_FULLSCREEN; }
wait_for 30 wm_ready || fail "openbox did not start"
play openbox

# Full screen on large screens: the grid stays sharp, and every control is
# on the keyboard. Each screen is a server of its own.
large() {  # WIDTHxHEIGHT, then what to do on the game screen
  local size=$1; shift
  start_xvfb "${size}x24" -noreset || fail "no X server at $size"
  pids+=("$xvfb_pid")
  place_picture "$size"
  rm -f data/tahy.dat ortelanka.conf Ortelanka.log
  ./ortelanka >game.out 2>&1 &
  game_pid=$!
  pids+=("$game_pid")
  wait_for 30 grep -qs "Inicializace hry" Ortelanka.log || fail "$size: the game did not start"
  input_taken  # the game screen itself, ready for keys
  xdotool mousemove 0 0
  wait_for 10 sharp "$size" || fail "$size: the grid is soft: $(python3 "$here/sharpness.py" shot.png "$size" data/deskaempty.bmp)"
  "$@"
  kill "$xvfb_pid" 2>/dev/null || true
}
sharp() { import -window root shot.png && python3 "$here/sharpness.py" shot.png "$1" data/deskaempty.bmp >/dev/null; }
# The screen differs from a screenshot in more (-gt) or fewer (-lt) pixels than N.
shot_differs() {  # screenshot -gt|-lt N
  import -window root now.png 2>/dev/null || return 1
  [ "$({ compare -metric AE now.png "$1" null: 2>&1 || true; } | awk '{ printf "%d", $1 }')" "$2" "$3" ]
}
# Tab to "Konec", Enter, Enter.
tab_to_the_end() {
  for _ in 1 2 3 4; do key Tab; sleep 0.2; done
  key Return
  wait_for 10 dialog_shown || fail "Tab to Konec, Enter did not open the quit dialog"
  key Return
  wait_for 10 game_ended || fail "Tab to Konec, Enter, Enter did not end the game"
  wait "$game_pid" || fail "the game ended with status $?"
  game_pid=""
}
# Tab to "Nejlepší hráči", Space shows the table; F9 says so and is saved.
# The table's picture from its top band to its bottom one, its opening over.
table_whole() { looks_like data/nejlepsi.bmp 800x40+0+0 && looks_like data/nejlepsi.bmp 800x40+0+560; }
tab_to_the_table() {
  for _ in 1 2 3; do key Tab; sleep 0.2; done
  key space
  wait_for 10 table_whole || fail "Tab, Tab, Tab, Space did not show the table"
  import -window root table.png
  key F9
  wait_for 5 shot_differs table.png -gt 500 || fail "F9 showed no note"
  wait_for 5 grep -q "music=0" ortelanka.conf || fail "F9 was not saved"
  wait_for 10 shot_differs table.png -lt 50 || fail "the note did not go"
  kill "$game_pid"
  game_pid=""
}
large 1920x1080 tab_to_the_end
large 2560x1440 tab_to_the_table
echo "desktop end-to-end: 1 passed, 0 failed"
