#!/usr/bin/env bash
# Online play's hosting as dist/online/ ships it, on loopback (only its
# ports, paths and certificate moved, tests/hosting.sh): nginx ends TLS in
# front of mosquitto. Two desktop games play a whole game through nginx's
# MQTT over TLS; a game that does not trust the certificate is refused; a
# stranger on the broker sees nothing of the game; with the page's folder,
# nginx serves the page and the page's way in (MQTT.js over
# wss://HOST/mqtt) sees the game's moves.
# Usage: hosting_test.sh GAME_DIR [PAGE_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xvfb.sh"
. "$here/broker.sh"
. "$here/hosting.sh"
. "$here/two_sides.sh"

game_dir=$(realpath "$1")
page=${2:+$(realpath "$2")}
work=$(mktemp -d)
pids=()
games=()
cleanup() {
  local status=$?
  end_sides ${broker_pid:-} ${proxy_pid:-} || status=1
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
fail() {
  echo "hosting: $*" >&2
  for f in host/Ortelanka.log guest/Ortelanka.log hosting/mosquitto.log hosting/nginx-error.log; do
    tail -n 5 "$work/$f" >&2 2>/dev/null || true
  done
  exit 1
}
export ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER SSL_CERT_FILE

mkdir "$work/hosting"
if [ -z "$page" ]; then
  page=$work/page
  mkdir "$page"
  echo '<!doctype html><title>Ortelaky</title>' >"$page/index.html"
fi
test_certificates "$work/hosting" || fail "no test certificates"
start_shipped_broker "$here/../dist/online" "$work/hosting" || fail "the shipped mosquitto did not start"
start_shipped_proxy "$here/../dist/online" "$work/hosting" "$page" || fail "the shipped nginx did not start"
broker=mqtts://localhost:$mqtts_port
# Read whole before it is looked at: a grep that stops at the first match
# would cut curl off in the middle of a large page.
served=$(curl -fsS --cacert "$work/hosting/ca.pem" "https://localhost:$https_port/" 2>&1) || fail "nginx: $served"
[[ $served == *Ortelaky* ]] || fail "nginx does not serve the page"

for side in host guest untrusted; do
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
export SSL_CERT_FILE=$work/hosting/ca.pem  # the test's CA, as a system would trust a public one
(cd "$work/host" && DISPLAY=$host_display exec ./ortelanka --online --broker "$broker" >out.txt 2>&1) &
games+=($!)
wait_for 30 grep -qs "the code" "$work/host/out.txt" || fail "the host printed no code: $(cat "$work/host/out.txt")"
code=$(sed -n 's/.*the code \([0-9A-Z-]*\).*/\1/p' "$work/host/out.txt")
room=${code//-/}

# A game with only the system's roots does not take the test's certificate.
(cd "$work/untrusted" && SSL_CERT_FILE=/dev/null DISPLAY=$guest_display exec ./ortelanka --join "$code" \
  --broker "$broker" >out.txt 2>&1) &
untrusted_pid=$!
refused() { grep -q "alert unknown ca\|alert bad certificate" "$work/hosting/nginx-error.log"; }
wait_for 60 refused || fail "a game that does not trust the certificate was let in"
kill "$untrusted_pid"
wait "$untrusted_pid" 2>/dev/null || true

(cd "$work/guest" && DISPLAY=$guest_display exec ./ortelanka --join "$code" --broker "$broker" >out.txt 2>&1) &
games+=($!)
both_on_the_board
play_to_the_win
echo "hosting: the desktop games played $move moves through nginx and mosquitto"

# Someone on the broker without the code sees nothing, a wildcard too: of
# all that is kept on the broker, only what is kept in its own game.
mosquitto_pub --cafile "$work/hosting/ca.pem" -h localhost -p "$mqtts_port" -u 0000000000000000 -q 1 -r \
  -t ortelanka/v2/g/0000000000000000/mine -m mine || fail "a stranger could not publish in a game of its own"
stranger=$(mosquitto_sub --cafile "$work/hosting/ca.pem" -h localhost -p "$mqtts_port" -u 0000000000000000 \
  -t '#' -v -W 10 2>/dev/null || true)
[ "$stranger" = "ortelanka/v2/g/0000000000000000/mine mine" ] || fail "a stranger saw: $stranger"

# The list of open games is read by all, and each entry written only by the
# client of its own game: an entry in another game's name, one of a reader,
# and one past the broker's packet limit are refused.
as() { mosquitto_pub --cafile "$work/hosting/ca.pem" -h localhost -p "$mqtts_port" -q 1 -r -u "$@" 2>/dev/null || true; }
as 1111111111111111 -t ortelanka/v2/open/1111111111111111 -m own
as 1111111111111111 -t ortelanka/v2/open/2222222222222222 -m "in another game's name"
as 1111111111111111 -t ortelanka/v2/open/+ -m wildcard
as open -t ortelanka/v2/open/3333333333333333 -m "a reader's"
as 4444444444444444 -t ortelanka/v2/open/4444444444444444 -m "$(head -c 9000 /dev/zero | tr '\0' A)"
as 1111111111111111 -t ortelanka/v2/open/1111111111111111 -m ""  # ...its own entry it may take away
as 5555555555555555 -t ortelanka/v2/open/5555555555555555 -m listed
list=$(mosquitto_sub --cafile "$work/hosting/ca.pem" -h localhost -p "$mqtts_port" -u open -t 'ortelanka/v2/open/+' \
  -v -W 5 2>/dev/null || true)
[ "$list" = "ortelanka/v2/open/5555555555555555 listed" ] || fail "the list held: ${list:0:200}"
echo "hosting: the list of open games takes each entry from its own game's client only"

if [ -n "${2:-}" ]; then
  # The page's way in: its MQTT.js over secure websockets through nginx.
  seen=$(NODE_EXTRA_CA_CERTS=$work/hosting/ca.pem timeout 60 node --input-type=module - \
    "wss://localhost:$https_port/mqtt" "$room" "$here/../web/package.json" <<'JS'
import { createRequire } from 'node:module';
const [url, room, web] = process.argv.slice(2);
const mqtt = createRequire(web)('mqtt');
const client = mqtt.connect(url, { username: room, clientId: 'ortelanka-watcher', protocolVersion: 4,
                                   reconnectPeriod: 0, connectTimeout: 30000 });
// Done on the first answer: whatever the closing connection says after it
// is no failure.
client.on('connect', () => client.subscribe(`ortelanka/v2/g/${room}/host/moves`, { qos: 1 }));
client.on('message', (topic, payload) => { console.log(payload.toString()); process.exit(0); });
client.on('error', error => { console.error(`no host's moves: ${error.message}`); process.exit(1); });
JS
  ) || fail "the page's way in failed: $seen"
  [[ $seen =~ ^[0-9]+:270,271,272,273,274\ [A-Za-z0-9_-]{86}$ ]] || fail "the page's way in saw '$seen'"
  echo "hosting: nginx serves the page, and its websockets reach the game"
fi
echo "hosting: passed"
