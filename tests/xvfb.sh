# Sourced by the tests that run a real X server. start_xvfb GEOMETRY [OPTION...]
# starts Xvfb on a display number it picks itself (-displayfd), so that such
# tests can run side by side, and sets DISPLAY and xvfb_pid.
. "$(dirname "${BASH_SOURCE[0]}")/waiting.sh"
start_xvfb() {
  local geometry=$1; shift
  local number_file
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp "$@" 3>"$number_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  wait_for 30 eval '[ -s "$number_file" ] || ! kill -0 "$xvfb_pid" 2>/dev/null'
  local number
  number=$(head -n1 "$number_file")
  rm -f "$number_file"
  [ -n "$number" ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$number"
  wait_for 30 eval 'xdpyinfo >/dev/null 2>&1' && return 0
  echo "Xvfb does not answer on $DISPLAY" >&2
  return 1
}
