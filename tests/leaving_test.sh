#!/usr/bin/env bash
# Leaving an online game by every way the game has: a new game from the menu,
# the table of the best from the menu, Konec, closing the window, and
# SIGTERM. Each time the broker keeps the seat's last word, "left", not the
# will "gone": the friend then plays on alone instead of waiting. Every way
# twice over, ten times in all, on a mosquitto of the test's own on loopback.
# Usage: leaving_test.sh GAME_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xvfb.sh"
. "$here/broker.sh"
. "$here/two_sides.sh"

game_dir=$1
work=$(mktemp -d)
pids=()
games=()
cleanup() {
  local status=$?
  end_sides ${broker_pid:-} || status=1
  rm -rf "$work" "${broker_dir:-}"
  exit "$status"
}
trap cleanup EXIT
fail() { echo "leaving: $*" >&2; tail -n 5 "$work/host/Ortelanka.log" >&2 || true; exit 1; }
export ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER

start_broker || fail "no broker"
mkdir "$work/host"
cp -r "$game_dir"/ortelanka "$game_dir"/data "$work/host"/
touch "$work/host"/data/poprve.dat  # a later run: the short intro
start_xvfb 800x600x24 -noreset || fail "no X server"
host_display=$DISPLAY
pids+=("$xvfb_pid")
# A window manager, for the window's close (Alt+F4).
openbox >/dev/null 2>&1 &
pids+=("$!")
wait_for 30 eval 'xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_WM_STATE_FULLSCREEN' || fail "no window manager"

presence() {
  mosquitto_sub -h 127.0.0.1 -p "$broker_port" -u "$room" -t "ortelanka/v2/g/$room/host/presence" -C 1 -W 10
}
press() { xdotool mousemove "$1" "$2" sleep 0.1 mousedown 1 sleep 0.1 mouseup 1; }
dialog_shown() { ! looks_like host deskaempty.bmp 60x40+190+300; }
# Presses the menu's button; a game in play first asks whether to end it.
menu_button() {  # top edge of the button
  press 700 $(($1 + 20))
  if wait_for 5 dialog_shown; then
    xdotool keydown Return sleep 0.15 keyup Return
  fi
}

leave() {  # the way
  case $1 in
    new-game) menu_button 335 ;;           # Hráč proti PC
    table) menu_button 375 ;;              # Nejlepší hráči
    konec) menu_button 415 ;;              # Konec, then ANO
    close) xdotool key --clearmodifiers alt+F4 ;;
    sigterm) kill "$game_pid" ;;
  esac
}

for round in 1 2; do
  for way in new-game table konec close sigterm; do
    rm -f "$work/host/Ortelanka.log" "$work/host/out.txt"
    (cd "$work/host" && exec ./ortelanka --online --broker "mqtt://127.0.0.1:$broker_port" >out.txt 2>&1) &
    game_pid=$!
    games=("$game_pid")
    wait_for 30 grep -qs "the code" "$work/host/out.txt" || fail "$way: the game printed no code"
    room=$(sed -n 's/.*the code \([0-9A-Z-]*\).*/\1/p' "$work/host/out.txt" | tr -d -)
    wait_for 30 eval '[[ $(presence) == "online "* ]]' || fail "$way: the seat was not taken"
    wait_for 60 looks_like host deskaempty.bmp 160x80+620+15 || fail "$way: no game screen after the intro"
    clicks_taken host
    leave "$way"
    wait_for 30 eval '[[ $(presence) == "left "* ]]' || fail "$way (round $round): the seat says '$(presence)', not 'left'"
    kill "$game_pid" 2>/dev/null || true
    wait_for 30 ended "$game_pid" || fail "$way: the game did not end"
    wait "$game_pid" 2>/dev/null || true
    games=()
  done
done
echo "leaving: every way, twice over, left 'left' for the seat"
