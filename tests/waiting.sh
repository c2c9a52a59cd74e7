# Sourced by the tests that wait for what a game, a server or a browser does.
# A test never waits for a fixed time and then looks: it waits for the
# condition itself, with a deadline long enough for a loaded machine, and
# its failure names what did not come.
#   wait_for SECONDS COMMAND...: true as soon as COMMAND succeeds, false when
#     it has not by the deadline (each try counts towards it).
wait_for() {
  local end=$((SECONDS + $1)); shift
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.1
  done
}
