#!/usr/bin/env bash
# Runs the built game under Xvfb as a player would: waits out the intro, clicks
# a cell, checks the move files and the screen, then quits through the dialog;
# then starts it again and ends it with a signal during the intro, names a
# display driver it cannot set up, and takes its display away.
# Usage: end_to_end.sh GAME_DIR [SCREEN.png]
#   SCREEN.png receives the screen after the move, for the web page's test.
set -euo pipefail
. "$(dirname "$0")/xvfb.sh"
. "$(dirname "$0")/screen.sh"

game_dir=$1
work=$(mktemp -d)
pictures=$work/data
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "end-to-end: $*" >&2; exit 1; }

cp -r "$game_dir"/ortelanka "$game_dir"/data "$work"/
rm -f "$work"/data/tahy.dat "$work"/data/hra.dat
touch "$work"/data/poprve.dat  # a later run: the intro takes 8.7 s

start_xvfb 800x600x24 -noreset || fail "no X server"

# A press stays down for a moment, as a person's does; a tap is released at
# once, as a touchpad's tap-to-click is, and still counts.
press() { xdotool mousemove "$1" "$2"; sleep 0.1; xdotool mousedown 1; sleep 0.15; xdotool mouseup 1; }
tap() { xdotool mousemove "$1" "$2"; sleep 0.1; xdotool click 1; }
key() { xdotool keydown "$1"; sleep 0.2; xdotool keyup "$1"; }

started() { grep -q "Inicializace hry" Ortelanka.log 2>/dev/null; }
log_lines() { sed -n "s/.* - '\(.*\)' :: \(.*\)/\1 \2/p" Ortelanka.log | tr '\n' '|'; }
two_moves_recorded() { [ "$(stat -c %s data/tahy.dat 2>/dev/null || echo 0)" -ge 8 ]; }
game_ended() { ! kill -0 "$game_pid" 2>/dev/null; }
# The intro ends on the empty board: the title of the panel shows up unchanged.
board_shown() { shows deskaempty.bmp 160x80+620+15; }
# The window is black until the intro draws its first picture.
intro_drawn() {
  import -window root shot.png 2>/dev/null || return 1
  [ "$(convert shot.png -format '%[fx:mean>0.02]' info:)" = 1 ]
}
# A cell (column, row) shows a whole mark over the empty board.
cell_shows() {
  local x=$((14 + 22 * $1)) y=$((13 + 22 * $2))
  import -window root -crop 21x21+$x+$y +repage box.png 2>/dev/null || return 1
  convert "$pictures/deskaempty.bmp" -crop 21x21+$x+$y +repage empty.png
  convert empty.png \( "$pictures/$3" -transparent magenta \) -composite mark.png
  local differ
  differ=$(compare -fuzz 6% -metric AE mark.png box.png null: 2>&1 || true)
  [ "${differ%%.*}" -lt 20 ]
}
dialog_shown() { ! shows deskaempty.bmp 200x100+180+250; }

cd "$work"
ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=dummy ./ortelanka >game.out 2>&1 &
game_pid=$!
wait_for 30 started || fail "the game did not start: $(cat game.out)"
# A quick click on Konec during the intro (8.7 s from its first picture) is
# gone with the intro.
wait_for 30 intro_drawn || fail "the intro drew nothing"
tap 700 435
wait_for 60 board_shown || fail "the intro did not end on the game screen"
# One move of an absolute pointer lights the button it lands on; the game
# takes input in order, so the click made during the intro has been dealt
# with by then.
xdotool mousemove 700 355
wait_for 30 button_lit || fail "the button under the pointer is not lit"
shows deskaempty.bmp 60x40+190+300 || fail "a click made during the intro opened the quit dialog"

# Cell (5, 7): its box starts at (124, 167).
press 136 180
wait_for 30 two_moves_recorded || fail "no move and reply recorded"
read -r first second < <(od -An -td4 -N8 data/tahy.dat)
[ "$first" -eq $((7 * 26 + 5)) ] || fail "the click was recorded as cell $first"
[ "$second" -ge 0 ] && [ "$second" -lt 676 ] && [ "$second" -ne "$first" ] || fail "odd reply $second"
# The screen once the reply's animation is over, the pointer back where it
# clicked: the button it lit goes out as the game takes the move.
input_taken
xdotool mousemove 136 180
wait_for 30 eval '! button_lit' || fail "the button stayed lit with the pointer on the board"
cell_shows 5 7 kolecko.bmp || fail "the clicked cell does not show the circle"
cell_shows $((second % 26)) $((second / 26)) krizek.bmp || fail "the reply's cell does not show the cross"
import -window root shot.png
[ -n "${2:-}" ] && convert shot.png PNG24:"$2"

# Two quick taps 22 pixels apart are two clicks, not a double click: one
# just right of the board, then one on the last column.
tap 600 180
tap 578 180
four_moves_recorded() { [ "$(stat -c %s data/tahy.dat 2>/dev/null || echo 0)" -ge 16 ]; }
wait_for 30 four_moves_recorded || fail "the second of two quick presses was lost"
[ "$(od -An -td4 -j8 -N4 data/tahy.dat | tr -d ' ')" -eq $((7 * 26 + 25)) ] || fail "the quick press landed elsewhere"
input_taken

press 700 435
wait_for 30 dialog_shown || fail "Konec did not open the quit dialog"
key Return
wait_for 30 game_ended || fail "the game did not end"
game_pid=""

lines=$(log_lines)
[ "$lines" = "Registrace tridy okna ok.|Hlavni okno ok.|Inicializace hry ok.|Konec programu ok.|" ] ||
  fail "log lines: $lines"
[ "$(stat -c %s data/hra.dat)" -eq 810 ] || fail "data/hra.dat is not 810 bytes"
[ "$(dd if=data/hra.dat bs=1 skip=$((30 * 7 + 5)) count=1 2>/dev/null)" = "O" ] || fail "no circle in data/hra.dat"
x=$((second % 26)); y=$((second / 26))
[ "$(dd if=data/hra.dat bs=1 skip=$((30 * y + x)) count=1 2>/dev/null)" = "X" ] || fail "no cross in data/hra.dat"

# A real SIGHUP in the middle of the intro ends the game as closing the window
# does, without waiting for the intro (8.7 s) to finish.
rm -f data/hra.dat
ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=dummy ./ortelanka >game.out 2>&1 &
game_pid=$!
wait_for 30 started || fail "the game did not start again: $(cat game.out)"
wait_for 30 intro_drawn || fail "the intro drew nothing"
kill -HUP "$game_pid"
ended_or_intro_over() { game_ended || board_shown; }
wait_for 60 ended_or_intro_over && game_ended || fail "SIGHUP did not end the game during the intro"
game_pid=""
lines=$(log_lines)
[ "$lines" = "Registrace tridy okna ok.|Hlavni okno ok.|Inicializace hry ok.|Destroy Window ok.|Konec programu ok.|" ] ||
  fail "log lines after SIGHUP: $lines"
[ "$(stat -c %s data/hra.dat 2>/dev/null || echo 0)" -eq 810 ] || fail "no data/hra.dat after SIGHUP"

# A display that is there but cannot be set up (the driver of another kind
# of desktop named): the box "CHYBA" waits for its answer, as ever, and
# standard error and the log say why, in SDL's own words.
rm -f Ortelanka.log
SDL_VIDEODRIVER=wayland XDG_RUNTIME_DIR=$work ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=dummy \
  ./ortelanka >game.out 2>game.err &
game_pid=$!
error_box() { xwininfo -root -tree | sed -n 's/^ *\(0x[0-9a-f]*\) "CHYBA".*/\1/p' | head -1; }
wait_for 30 eval '[ -n "$(error_box)" ]' || fail "no CHYBA box when the display cannot be set up: $(cat game.err)"
! game_ended || fail "the game did not wait for the CHYBA box to be answered"
xdotool key --window "$(error_box)" Return
wait_for 30 game_ended || fail "Enter in the CHYBA box did not end the game"
status=0
wait "$game_pid" || status=$?
game_pid=""
[ "$status" -eq 1 ] || fail "the game ended with status $status when the display could not be set up"
grep -q "^ortelanka: cannot set up the display: .*wayland" game.err || fail "standard error does not say why: $(cat game.err)"
grep -q "'Displej nelze pripravit: .*wayland.*' :: " Ortelanka.log || fail "the log does not say why: $(cat Ortelanka.log)"

# The display going away (its server ends) ends the game as closing the
# window does: the log closed, data/hra.dat written, status 0.
rm -f data/hra.dat
ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=dummy ./ortelanka >game.out 2>&1 &
game_pid=$!
wait_for 30 started || fail "the game did not start a third time: $(cat game.out)"
wait_for 30 intro_drawn || fail "the intro drew nothing"
kill "$xvfb_pid"
xvfb_pid=""
wait_for 60 game_ended || fail "the game did not end when its display went away"
status=0
wait "$game_pid" || status=$?
game_pid=""
[ "$status" -eq 0 ] || fail "the game ended with status $status when its display went away"
lines=$(log_lines)
[ "$lines" = "Registrace tridy okna ok.|Hlavni okno ok.|Inicializace hry ok.|Destroy Window ok.|Konec programu ok.|" ] ||
  fail "log lines after the display went away: $lines"
[ "$(stat -c %s data/hra.dat 2>/dev/null || echo 0)" -eq 810 ] || fail "no data/hra.dat after the display went away"
echo "end-to-end: 4 passed, 0 failed"
