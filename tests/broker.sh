# Sourced by the tests that need an MQTT broker: start_broker [CONFIG_LINE...]
# starts Debian's mosquitto on a free port of 127.0.0.1 only, with a
# configuration file of its own (the lines given are added to it), and sets
# broker_port and broker_pid; the broker keeps its retained messages in
# $broker_dir across a restart (restart_broker). test_certificates DIR makes
# a CA (DIR/ca.pem) and a certificate it signed for "localhost"
# (DIR/server.pem, DIR/server.key), for two days.
free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
start_broker() {
  broker_dir=${broker_dir:-$(mktemp -d)}
  broker_port=${broker_port:-$(free_port)}
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
  for _ in $(seq 50); do
    python3 -c "import socket; socket.create_connection(('127.0.0.1', $broker_port), 0.2)" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "mosquitto did not start: $(cat "$broker_dir/mosquitto.log")" >&2
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
