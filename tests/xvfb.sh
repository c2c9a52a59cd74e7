# Sourced by the tests that run a real X server. start_xvfb GEOMETRY [OPTION...]
# starts Xvfb on a display number it picks itself (-displayfd), so that such
# tests can run side by side, and sets DISPLAY and xvfb_pid.
start_xvfb() {
  local geometry=$1; shift
  local number_file
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp "$@" 3>"$number_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  local number=""
  for _ in $(seq 100); do
    number=$(head -n1 "$number_file")
    [ -n "$number" ] && break
    sleep 0.1
  done
  rm -f "$number_file"
  [ -n "$number" ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$number"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "Xvfb does not answer on $DISPLAY" >&2
  return 1
}
