# Sourced by the tests that need an MQTT broker: start_broker [CONFIG_LINE...]
# starts Debian's mosquitto on a port of 127.0.0.1 only (take_port), with a
# configuration file of its own (the lines given are added to it), and sets
# broker_port and broker_pid; the broker keeps its retained messages in
# $broker_dir across a restart (restart_broker). test_certificates DIR makes
# a CA (DIR/ca.pem) and a certificate it signed for "localhost"
# (DIR/server.pem, DIR/server.key), for two days.
. "$(dirname "${BASH_SOURCE[0]}")/waiting.sh"

# take_port VARIABLE: a port of 127.0.0.1 for a server of this test's, which
# no other test on this machine holds. It lies below the range the system
# gives to the client ends of connections, so no connection can sit on it
# while its server restarts, and it is held by a lock on a file for as long
# as this shell or a server it starts (which inherits the lock) lives.
port_locks=${TMPDIR:-/tmp}/ortelanka-ports
take_port() {
  local low _ port fd
  read -r low _ </proc/sys/net/ipv4/ip_local_port_range
  mkdir -p "$port_locks"
  for _ in $(seq 100); do
    port=$((10000 + RANDOM % (low - 10000)))
    exec {fd}>"$port_locks/$port"
    if flock -n "$fd" && python3 -c "import socket; socket.socket().bind(('127.0.0.1', $port))" 2>/dev/null; then
      printf -v "$1" %s "$port"
      return 0
    fi
    exec {fd}>&-
  done
  echo "no free port of 127.0.0.1" >&2
  return 1
}
# A server that could not have its port after all (something outside the
# tests took it meanwhile) says so in its log.
port_clash() { grep -qs "Address already in use" "$@"; }
listening() { python3 -c "import socket; socket.create_connection(('127.0.0.1', $1), 0.2)" 2>/dev/null; }
start_broker() {
  broker_dir=${broker_dir:-$(mktemp -d)}
  local fixed=${broker_port:-} try
  for try in 1 2 3; do
    [ -n "$fixed" ] || take_port broker_port || return 1
    {
      echo "listener $broker_port 127.0.0.1"
      echo "user $(id -un)"  # as root, it would become "mosquitto" and lose its folder
      echo "allow_anonymous true"
      echo "set_tcp_nodelay true"
      echo "persistence true"
      echo "persistence_location $broker_dir/"
      echo "autosave_interval 1"
      printf '%s\n' "$@"
    } >"$broker_dir/mosquitto.conf"
    broker_lines=("$@")
    mosquitto -c "$broker_dir/mosquitto.conf" >"$broker_dir/mosquitto.log" 2>&1 &
    broker_pid=$!
    wait_for 30 eval 'listening "$broker_port" || ! kill -0 "$broker_pid" 2>/dev/null'
    listening "$broker_port" && return 0
    kill "$broker_pid" 2>/dev/null || true
    wait "$broker_pid" 2>/dev/null || true
    # A port taken from outside the tests: another one, unless the clients
    # already know this one.
    [ -z "$fixed" ] && port_clash "$broker_dir/mosquitto.log" || break
  done
  echo "mosquitto did not listen on $broker_port: $(cat "$broker_dir/mosquitto.log")" >&2
  return 1
}
# The broker goes away at once (its clients lose their connections) and
# comes back on the same port with what it had kept.
restart_broker() {
  kill -TERM "$broker_pid" 2>/dev/null || true
  wait "$broker_pid" 2>/dev/null || true
  start_broker "${broker_lines[@]}"
}
test_certificates() {
  local dir=$1
  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 \
    -subj /CN=ortelanka-test-ca -keyout "$dir/ca.key" -out "$dir/ca.pem" 2>/dev/null &&
    openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj /CN=localhost \
      -keyout "$dir/server.key" -out "$dir/server.csr" 2>/dev/null &&
    printf 'subjectAltName=DNS:localhost\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' >"$dir/server.ext" &&
    openssl x509 -req -in "$dir/server.csr" -CA "$dir/ca.pem" -CAkey "$dir/ca.key" -CAcreateserial -days 2 \
      -extfile "$dir/server.ext" -out "$dir/server.pem" 2>/dev/null
}
