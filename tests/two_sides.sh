# Sourced by the tests that play an online game between two games, the host
# and the guest, each on an Xvfb screen of its own: $work/host and
# $work/guest are their game folders (the log and data/tahy.dat),
# $host_display and $guest_display their screens, $game_dir/data the
# pictures they show. Each mark is a click on one side that must be recorded
# on both.
. "$(dirname "${BASH_SOURCE[0]}")/waiting.sh"
. "$(dirname "${BASH_SOURCE[0]}")/screen.sh"

records() { echo $(($(stat -c %s "$work/$1/data/tahy.dat" 2>/dev/null || echo 0) / 4)); }
has_records() { [ "$(records "$1")" -ge "$2" ]; }
started() { grep -qs "Inicializace hry" "$work/$1/Ortelanka.log"; }
display_of() {
  case $1 in
    host) echo "$host_display" ;;
    guest) echo "$guest_display" ;;
    *) echo "$watcher_display" ;;  # a third game that watches
  esac
}
looks_like() {  # side, picture, WxH+X+Y
  DISPLAY=$(display_of "$1") pictures=$game_dir/data shows "$2" "$3"
}
cell() {  # side, column, row: a player's click on the cell
  DISPLAY=$(display_of "$1") xdotool mousemove $((15 + 22 * $2 + 11)) $((15 + 22 * $3 + 11)) sleep 0.1 \
    mousedown 1 sleep 0.1 mouseup 1
}
# Both intros end on the empty board of the two-player game.
both_on_the_board() {
  for side in host guest; do
    wait_for 60 looks_like "$side" deskaempty.bmp 160x80+620+15 || fail "$side: no game screen after the intro"
  done
}
# A click is lost while the game animates a mark or has just entered its
# screen, as it always was: the player clicks the cell again until the mark
# is there. Clicking a cell that already holds a mark does nothing, so a
# click that was only slow to be taken places nothing twice.
click_until() {  # side, column, row, records
  local end=$((SECONDS + 60))
  while [ "$SECONDS" -lt "$end" ]; do
    cell "$1" "$2" "$3"
    wait_for 2 has_records "$1" "$4" && return 0
  done
  return 1
}
move=0
played=()  # the cells marked so far, in order
play() {  # side, column, row
  local other=guest
  [ "$1" = guest ] && other=host
  move=$((move + 1))
  played+=($(($3 * 26 + $2)))
  click_until "$@" "$move" || fail "move $move: $1's clicks were not taken"
  wait_for 30 has_records "$other" "$move" || fail "move $move did not reach $other"
}
# Five circles in a row from (10, 10) for the host, the guest's crosses
# from (3, 3) on: both sides see the first player's win and record the same
# moves. The first FIRST pairs of moves may have been played already.
play_to_the_win() {  # [FIRST]
  local from=${1:-0} i
  for i in $(seq "$from" 4); do
    play host $((10 + i)) 10
    [ "$i" -lt 4 ] && play guest $((3 + i)) 3
  done
  for side in host guest; do
    wait_for 60 looks_like "$side" vyhrahrac1.bmp 800x400+0+100 || fail "$side: not the first player's victory picture"
  done
  same_moves
}
# Both move files hold exactly the cells played, in order: a mark placed by
# anyone else, at any moment, is one too many.
same_moves() {
  local side recorded
  for side in host guest; do
    recorded=$(od -An -td4 -v "$work/$side/data/tahy.dat" | xargs)
    [ "$recorded" = "${played[*]}" ] || fail "$side recorded '$recorded', not the cells played: '${played[*]}'"
  done
}
# Every click made on that side has been taken or refused.
clicks_taken() {  # side
  DISPLAY=$(display_of "$1") pictures=$game_dir/data input_taken
}
# At the end: the games in $games first, then $pids (their X servers) and
# whatever else is named: a game must not lose its screen while it ends. A
# game that does not end on SIGTERM is a fault of the game's: the test says
# where each of its threads waits, ends it and fails.
ended() {  # PID: gone, or a zombie that only waits to be reaped
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 0
  stat=${stat##*) }
  [ "${stat%% *}" = Z ]
}
end_sides() {  # [PID...]
  local p thread stuck=0
  for p in "${games[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${games[@]}"; do
    wait_for 30 ended "$p" && continue
    stuck=1
    echo "a game (pid $p) did not end within 30 s of SIGTERM; its threads wait in:" >&2
    for thread in /proc/"$p"/task/*; do
      echo "  $(cat "$thread/comm" 2>/dev/null): $(cat "$thread/wchan" 2>/dev/null)" >&2
    done
    ! command -v gdb >/dev/null || timeout 60 gdb -p "$p" -batch -ex "thread apply all bt" >&2 2>&1 || true
    kill -9 "$p" 2>/dev/null || true
  done
  [ ${#games[@]} -eq 0 ] || wait "${games[@]}" 2>/dev/null || true
  for p in "${pids[@]}" "$@"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}" "$@"; do wait "$p" 2>/dev/null || true; done
  return "$stuck"
}
