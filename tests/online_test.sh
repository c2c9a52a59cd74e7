#!/usr/bin/env bash
# Online play between two desktop games, each on an Xvfb screen of its own,
# through a mosquitto this test starts on loopback: the host's code, the
# guest's joining, a whole game to five circles in a row with each mark seen
# on the other side, the broker going away in the middle and coming back,
# and a third client pouring garbage, illegal moves and oversized messages
# into the game, which changes nothing.
# Usage: online_test.sh GAME_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xvfb.sh"
. "$here/broker.sh"

game_dir=$1
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  [ -n "${broker_pid:-}" ] && kill "$broker_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work" "${broker_dir:-}"
}
trap cleanup EXIT
fail() { echo "online: $*" >&2; for s in host guest; do tail -n 5 "$work/$s/Ortelanka.log" >&2 || true; done; exit 1; }
export ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER

wait_for() {  # seconds, command...
  local limit=$1; shift
  for _ in $(seq $((limit * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}
records() { echo $(($(stat -c %s "$work/$1/data/tahy.dat" 2>/dev/null || echo 0) / 4)); }
has_records() { [ "$(records "$1")" -ge "$2" ]; }
started() { grep -qs "Inicializace hry" "$work/$1/Ortelanka.log"; }
# The screen of a side: its display was given at start.
display_of() { [ "$1" = host ] && echo "$host_display" || echo "$guest_display"; }
looks_like() {  # side, picture, WxH+X+Y
  DISPLAY=$(display_of "$1") import -window root -crop "$3" +repage "$work/now.png" 2>/dev/null || return 1
  convert "$game_dir/data/$2" -crop "$3" +repage "$work/want.png"
  [ "$(compare -fuzz 6% -metric AE "$work/now.png" "$work/want.png" null: 2>&1 || true)" = "0" ]
}
cell() {  # side, column, row: a player's click on the cell
  DISPLAY=$(display_of "$1") xdotool mousemove $((15 + 22 * $2 + 11)) $((15 + 22 * $3 + 11)) sleep 0.1 \
    mousedown 1 sleep 0.1 mouseup 1
}

start_broker || fail "no broker"
broker=mqtt://127.0.0.1:$broker_port
for side in host guest; do
  mkdir "$work/$side"
  cp -r "$game_dir"/ortelanka "$game_dir"/data "$work/$side"/
  rm -f "$work/$side"/data/tahy.dat
  touch "$work/$side"/data/poprve.dat  # a later run: the short intro
done
start_xvfb 800x600x24 -noreset || fail "no X server"
host_display=$DISPLAY
pids+=("$xvfb_pid")
(cd "$work/host" && exec ./ortelanka --online --broker "$broker" >out.txt 2>&1) &
host_pid=$!
pids+=("$host_pid")
wait_for 10 grep -qs "the code" "$work/host/out.txt" || fail "the host printed no code: $(cat "$work/host/out.txt")"
code=$(sed -n 's/.*the code \([0-9A-Z-]*\).*/\1/p' "$work/host/out.txt")
[ ${#code} -eq 19 ] || fail "odd code '$code'"
grep -q "https://127.0.0.1/#$code" "$work/host/out.txt" || fail "no link to send: $(cat "$work/host/out.txt")"

start_xvfb 800x600x24 -noreset || fail "no second X server"
guest_display=$DISPLAY
pids+=("$xvfb_pid")
(cd "$work/guest" && exec ./ortelanka --join "$code" --broker "$broker" >out.txt 2>&1) &
guest_pid=$!
pids+=("$guest_pid")
wait_for 10 started host && wait_for 10 started guest || fail "the games did not start"
# Both intros end on the empty board of the two-player game.
for side in host guest; do
  wait_for 30 looks_like "$side" deskaempty.bmp 160x80+620+15 || fail "$side: no game screen after the intro"
done
sleep 1

# The host holds the circles in the first game and begins. Each mark is
# placed, recorded and animated on the other side too.
move=0
play() {  # side, column, row
  local other=guest
  [ "$1" = guest ] && other=host
  move=$((move + 1))
  cell "$@"
  wait_for 10 has_records "$1" "$move" || fail "move $move: $1's click was not taken"
  wait_for 5 has_records "$other" "$move" || fail "move $move did not reach $other"
  sleep 1.7  # the animation on both sides
}
cell guest 3 3
sleep 1
[ "$(records host)" -eq 0 ] && [ "$(records guest)" -eq 0 ] || fail "the guest moved out of turn"
play host 10 10
play guest 3 3
play host 11 10

# The broker goes away and comes back: both sides take their seats again
# and the game goes on where it was.
restart_broker || fail "the broker did not come back"
sleep 4
play guest 4 3

# A third client with the code pours garbage into the game's topics while
# the host is to move: bad payloads, a guest's move out of turn, a list that
# rewrites the past, an oversized message, strangers' presence.
topics=ortelanka/v1/g/${code//-/}
pub() { mosquitto_pub -h 127.0.0.1 -p "$broker_port" -u "${code//-/}" -q 1 "$@"; }
guest_moves=$(mosquitto_sub -h 127.0.0.1 -p "$broker_port" -u "${code//-/}" -t "$topics/guest/moves" -C 1 -W 5)
pub -t "$topics/guest/moves" -m "garbage" -r
pub -t "$topics/guest/moves" -m "1:45,58,999" -r
pub -t "$topics/guest/moves" -m "1:270" -r
pub -t "$topics/guest/moves" -m "${guest_moves},260" -r
pub -t "$topics/host/presence" -m "online 00000000"
pub -t "$topics/guest/presence" -m "left"
pub -t "$topics/nowhere" -m "x"
head -c 6000 /dev/zero | tr '\0' '7' | pub -t "$topics/host/moves" -s
pub -t "$topics/guest/moves" -m "$guest_moves" -r  # the true list again
sleep 2
[ "$(records host)" -eq "$move" ] && [ "$(records guest)" -eq "$move" ] || fail "the garbage placed a mark"
grep -q "Hra po siti:" "$work/host/Ortelanka.log" || fail "the garbage left no warning in the host's log"

# Five circles in a row: both sides see the first player's win.
play host 12 10
play guest 5 3
play host 13 10
play guest 6 3
play host 14 10
for side in host guest; do
  wait_for 20 looks_like "$side" vyhrahrac1.bmp 800x400+0+100 || fail "$side: not the first player's victory picture"
done
cmp -s "$work/host/data/tahy.dat" "$work/guest/data/tahy.dat" || fail "the move files differ"
[ ! -e "$work/host/best.dat" ] || cmp -s "$work/host/best.dat" "$work/guest/best.dat" || true
echo "online: $move moves across, the broker's restart and the garbage weathered, both saw the win"
