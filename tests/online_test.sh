#!/usr/bin/env bash
# Online play between two desktop games, each on an Xvfb screen of its own,
# through a mosquitto this test starts on loopback: hosting on the game's
# online screen (F2) with the broker in the settings, joining there by the
# link pasted from the clipboard, a whole game to five circles in a row with each mark seen
# on the other side, the broker going away in the middle and coming back,
# and a third client with the code pouring garbage, illegal moves, forged
# lists and presence and oversized messages into the game, which changes
# nothing; a third game watching from the middle of the game on; at the end
# each side leaves, and the broker keeps that for its seat.
# Usage: online_test.sh GAME_DIR
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
fail() { echo "online: $*" >&2; for s in host guest; do tail -n 5 "$work/$s/Ortelanka.log" >&2 || true; done; exit 1; }
export ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER

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
start_xvfb 800x600x24 -noreset || fail "no second X server"
guest_display=$DISPLAY
pids+=("$xvfb_pid")
# No command-line option: the host's broker is in its settings, and each
# player goes online on the game's own online screen (F2).
echo "broker=$broker" >"$work/host/ortelanka.conf"
for side in host guest; do
  (cd "$work/$side" && DISPLAY=$(display_of "$side") exec ./ortelanka >out.txt 2>&1) &
  games+=("$!")
done
host_pid=${games[0]}
guest_pid=${games[1]}
wait_for 30 started host && wait_for 30 started guest || fail "the games did not start"
both_on_the_board
key() { DISPLAY=$(display_of "$1") xdotool keydown "$2" sleep 0.15 keyup "$2"; }
clipboard() { DISPLAY=$(display_of "$1") xclip -o -selection clipboard 2>/dev/null; }

# The host hosts: the screen shows the code and the link, which is on the
# clipboard; it names the broker with its port, and that it is plain MQTT.
clicks_taken host
key host F2
key host h
wait_for 30 eval '[[ $(clipboard host) == *"#"* ]]' || fail "hosting put no link on the clipboard"
link=$(clipboard host)
code=${link##*#}
[ ${#code} -eq 19 ] && [ "$link" = "ortelanka://127.0.0.1:$broker_port/mqtt#$code" ] || fail "odd link '$link'"
key host Escape
clicks_taken host  # the screen has gone: the button under it lights again

# Before the friend comes, a stranger with the code says the guest's seat is
# taken: that is nobody's word but the host's.
topics=ortelanka/v2/g/${code//-/}
pub() { mosquitto_pub -h 127.0.0.1 -p "$broker_port" -u "${code//-/}" -q 1 "$@"; }
latest() { mosquitto_sub -h 127.0.0.1 -p "$broker_port" -u "${code//-/}" -t "$topics/$1" -C 1 -W 30; }
host_seat=$(latest host/seat)
forged_holder="${host_seat%% *} ${host_seat%% *}"
pub -t "$topics/guest/presence" -m "online AAAAAAAA 99999999999999 ${host_seat#* }" -r
pub -t "$topics/host/guest" -m "$forged_holder" -r

# The friend pastes the link from the clipboard on its online screen.
printf %s "$link" | DISPLAY=$guest_display xclip -selection clipboard 2>/dev/null
clicks_taken guest
key guest F2
key guest p
wait_for 30 eval '[[ $(latest host/guest) != "$forged_holder" ]]' || fail "the host gave nobody the guest's seat"
wait_for 30 eval '[[ $(latest guest/presence) == "online "* ]] && [[ $(latest guest/presence) != "online AAAAAAAA "* ]]' ||
  fail "the guest did not take its seat"

# The host holds the circles in the first game and begins.
cell guest 3 3
clicks_taken guest
[ "$(records host)" -eq 0 ] && [ "$(records guest)" -eq 0 ] || fail "the guest moved out of turn"
play host 10 10
play guest 3 3
play host 11 10

# A third game opens the link once both seats are held: it watches the game
# from where it stands, places nothing and records nothing.
mkdir "$work/watcher"
cp -r "$game_dir"/ortelanka "$game_dir"/data "$work/watcher"/
rm -f "$work/watcher"/data/tahy.dat
touch "$work/watcher"/data/poprve.dat
start_xvfb 800x600x24 -noreset || fail "no third X server"
watcher_display=$DISPLAY
pids+=("$xvfb_pid")
(cd "$work/watcher" && exec ./ortelanka "$link" >out.txt 2>&1) &
games+=("$!")
wait_for 30 started watcher || fail "the watcher did not start"
wait_for 60 looks_like watcher deskaempty.bmp 160x80+620+15 || fail "watcher: no game screen after the intro"

# The broker goes away and comes back: both sides take their seats again
# and the game goes on where it was.
restart_broker || fail "the broker did not come back"
play guest 4 3

# A third client with the code pours garbage and forgeries into the game's
# topics while the host is to move: bad payloads, a guest's move out of turn,
# lists that rewrite the past, the host's list with a mark more under its old
# signature, one side's list on the other's topic, an oversized message,
# strangers' presence and a forged loss of the guest's connection.
guest_moves=$(latest guest/moves)
host_moves=$(latest host/moves)
guest_presence=$(latest guest/presence)
pub -t "$topics/guest/moves" -m "garbage" -r
pub -t "$topics/guest/moves" -m "1:45,58,999" -r
pub -t "$topics/guest/moves" -m "1:270 ${guest_moves#* }" -r
pub -t "$topics/guest/moves" -m "${guest_moves% *},260 ${guest_moves#* }" -r
pub -t "$topics/host/moves" -m "${host_moves% *},555 ${host_moves#* }" -r
pub -t "$topics/guest/moves" -m "$host_moves" -r
pub -t "$topics/host/presence" -m "online 00000000"
pub -t "$topics/host/presence" -m "left 00000000 99999999999999 ${host_moves#* }" -r
pub -t "$topics/guest/presence" -m "left"
guest_instance=${guest_presence#* }
pub -t "$topics/guest/presence" -m "gone ${guest_instance%% *}" -r
pub -t "$topics/nowhere" -m "x"
head -c 6000 /dev/zero | tr '\0' '7' | pub -t "$topics/host/moves" -s
# Each game asked the broker (MQTT 5) for packets of at most 8 KiB: a larger
# message is dropped for them before it is sent, never held whole. Retained,
# it reaches a game that subscribes only now as well.
head -c 100000 /dev/zero | tr '\0' '7' | pub -t "$topics/nowhere" -r -s
dropped() { [ "$(grep -c "Dropping too large outgoing PUBLISH for ortelanka-" "$broker_dir/mosquitto.log")" -ge 3 ]; }
wait_for 30 dropped || fail "the broker sent a 100 kB message to a game that asked for 8 KiB at most"
pub -t "$topics/nowhere" -r -n
# Each side writes its own topics over again: the retained lists are theirs
# (signed again, perhaps, but saying what they said).
body() { latest "$1" | cut -d' ' -f1; }
wait_for 30 eval '[ "$(body guest/moves)" = "${guest_moves% *}" ] && [ "$(body host/moves)" = "${host_moves% *}" ]' ||
  fail "the forged lists stayed on the broker: $(body guest/moves) and $(body host/moves)"
wait_for 30 eval '[[ $(latest guest/presence) == "online "* ]]' || fail "the forged loss of the guest stayed"
wait_for 30 grep -q "Hra po siti:" "$work/host/Ortelanka.log" || fail "the garbage left no warning in the host's log"

# Five circles in a row: both sides see the first player's win, and their
# move files hold the cells played and nothing the garbage might have placed.
play_to_the_win 2
wait_for 60 looks_like watcher vyhrahrac1.bmp 800x400+0+100 || fail "the watcher did not see the first player's win"
[ ! -e "$work/watcher/data/tahy.dat" ] || fail "the watcher recorded moves"

# Leaving is seen as leaving: the guest's game ends on SIGTERM and the broker
# keeps its last word for its seat, not its will; the host, told so, leaves
# the game too and plays on alone.
presence() { mosquitto_sub -h 127.0.0.1 -p "$broker_port" -u "${code//-/}" -t "$topics/$1/presence" -C 1 -W 10; }
kill "$guest_pid"
wait_for 30 ended "$guest_pid" || fail "the guest did not end on SIGTERM"
[[ $(presence guest) == "left "* ]] || fail "the guest's seat says '$(presence guest)' after it left, not 'left'"
wait_for 30 eval '[[ $(presence host) == "left "* ]]' || fail "the host's seat says '$(presence host)' after the guest left"
echo "online: $move moves across, the broker's restart and the garbage weathered, both and the watcher saw the win, and both left"
