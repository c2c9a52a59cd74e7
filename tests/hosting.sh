# Sourced by the tests and benchmarks that run online play's hosting as
# dist/online/ ships it, on loopback: the same files with only their ports,
# paths and certificates moved into a folder of the run's own. Needs
# broker.sh (free_port).
#   start_shipped_broker DIST DIR: mosquitto; sets broker_pid, mqtt_port,
#     websockets_port.
#   start_shipped_proxy DIST DIR PAGE: nginx in front of it, serving PAGE;
#     sets proxy_pid, https_port, mqtts_port.

# Every line that names a port or a path of the host is rewritten; a
# shipped file that names one this does not know fails the run instead of
# reaching the machine's own.
moved() {  # file: nothing of the host's left in it?
  ! grep -v '^ *#' "$1" | grep -E '/etc/|/var/|/run/|:?\b(80|443|1883|8080|8883)\b'
}

wait_for_port() {  # port
  for _ in $(seq 50); do
    python3 -c "import socket; socket.create_connection(('127.0.0.1', $1), 0.2)" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

start_shipped_broker() {
  local dist=$1 dir=$2
  mqtt_port=$(free_port)
  websockets_port=$(free_port)
  cp "$dist/ortelanka.acl" "$dir/"
  sed -e "s|^pid_file .*|pid_file $dir/mosquitto.pid|" -e "s|^user .*|user $(id -un)|" \
    -e "s|^log_dest file .*|log_dest file $dir/mosquitto.log|" \
    -e "s|^listener 1883 127.0.0.1|listener $mqtt_port 127.0.0.1|" \
    -e "s|^listener 8080 127.0.0.1|listener $websockets_port 127.0.0.1|" \
    -e "s|^acl_file .*|acl_file $dir/ortelanka.acl|" -e "s|^persistence_location .*|persistence_location $dir/|" \
    "$dist/mosquitto.conf" >"$dir/mosquitto.conf"
  moved "$dir/mosquitto.conf" || return 1
  mosquitto -c "$dir/mosquitto.conf" 2>"$dir/mosquitto.err" &
  broker_pid=$!
  wait_for_port "$mqtt_port" && wait_for_port "$websockets_port" ||
    { echo "mosquitto did not start: $(cat "$dir/mosquitto.err" "$dir/mosquitto.log" 2>/dev/null)" >&2; return 1; }
}

start_shipped_proxy() {
  local dist=$1 dir=$2 page=$3 file
  https_port=$(free_port)
  mqtts_port=$(free_port)
  local http_port
  http_port=$(free_port)
  mkdir -p "$dir/nginx-temp"
  for file in ortelanka.conf ortelanka-mqtts.conf; do
    sed -e '/listen \[::\]/d' -e "s|listen 80;|listen 127.0.0.1:$http_port;|" \
      -e "s|listen 443 |listen 127.0.0.1:$https_port |" -e "s|listen 8883 |listen 127.0.0.1:$mqtts_port |" \
      -e "s|/etc/letsencrypt/live/[^/]*/fullchain.pem|$dir/server.pem|" \
      -e "s|/etc/letsencrypt/live/[^/]*/privkey.pem|$dir/server.key|" -e "s|root /var/www/ortelanka|root $page|" \
      -e "s|127.0.0.1:8080|127.0.0.1:$websockets_port|" -e "s|127.0.0.1:1883|127.0.0.1:$mqtt_port|" \
      "$dist/nginx/$file" >"$dir/$file"
    moved "$dir/$file" || return 1
  done
  # What Debian's nginx.conf gives the two files, and no more.
  cat >"$dir/nginx.conf" <<CONF
load_module /usr/lib/nginx/modules/ngx_stream_module.so;
$([ "$(id -u)" -eq 0 ] && echo "user root;")
worker_processes 1;
daemon off;
pid $dir/nginx.pid;
error_log $dir/nginx-error.log info;
events { worker_connections 4096; }
http {
    include /etc/nginx/mime.types;
    access_log off;
    client_body_temp_path $dir/nginx-temp/body;
    proxy_temp_path $dir/nginx-temp/proxy;
    fastcgi_temp_path $dir/nginx-temp/fastcgi;
    uwsgi_temp_path $dir/nginx-temp/uwsgi;
    scgi_temp_path $dir/nginx-temp/scgi;
    include $dir/ortelanka.conf;
}
include $dir/ortelanka-mqtts.conf;
CONF
  nginx -p "$dir" -c "$dir/nginx.conf" 2>"$dir/nginx.err" &
  proxy_pid=$!
  wait_for_port "$https_port" && wait_for_port "$mqtts_port" ||
    { echo "nginx did not start: $(cat "$dir/nginx.err" "$dir/nginx-error.log" 2>/dev/null)" >&2; return 1; }
}
