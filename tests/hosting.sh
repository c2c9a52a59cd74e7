# Sourced by the tests and benchmarks that run online play's hosting as
# dist/online/ ships it, on loopback: the same files with only their ports,
# paths and certificates moved into a folder of the run's own. Needs
# broker.sh (take_port, listening, port_clash). Each retries with other
# ports when one was taken from outside the tests meanwhile.
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

# Both ports of a server that has just been started answer, or the server has ended.
serving() {  # pid, port, port
  local pid=$1 one=$2 other=$3
  wait_for 30 eval '{ listening "$one" && listening "$other"; } || ! kill -0 "$pid" 2>/dev/null'
  listening "$one" && listening "$other"
}

start_shipped_broker() {
  local dist=$1 dir=$2 try
  for try in 1 2 3; do
    take_port mqtt_port && take_port websockets_port || return 1
    start_shipped_broker_once "$dist" "$dir" && return 0
    port_clash "$dir/mosquitto.err" "$dir/mosquitto.log" || break
  done
  echo "mosquitto did not start: $(cat "$dir/mosquitto.err" "$dir/mosquitto.log" 2>/dev/null)" >&2
  return 1
}
start_shipped_broker_once() {
  local dist=$1 dir=$2
  rm -f "$dir/mosquitto.log"
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
  serving "$broker_pid" "$mqtt_port" "$websockets_port" && return 0
  kill "$broker_pid" 2>/dev/null || true
  wait "$broker_pid" 2>/dev/null || true
  return 1
}

start_shipped_proxy() {
  local dist=$1 dir=$2 page=$3 try
  for try in 1 2 3; do
    take_port https_port && take_port mqtts_port && take_port http_port || return 1
    start_shipped_proxy_once "$dist" "$dir" "$page" && return 0
    port_clash "$dir/nginx.err" "$dir/nginx-error.log" || break
  done
  echo "nginx did not start: $(cat "$dir/nginx.err" "$dir/nginx-error.log" 2>/dev/null)" >&2
  return 1
}
start_shipped_proxy_once() {
  local dist=$1 dir=$2 page=$3 file
  rm -f "$dir/nginx-error.log"
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
  serving "$proxy_pid" "$https_port" "$mqtts_port" && return 0
  kill "$proxy_pid" 2>/dev/null || true
  wait "$proxy_pid" 2>/dev/null || true
  return 1
}
