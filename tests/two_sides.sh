# Sourced by the tests that play an online game between two games, the host
# and the guest, each on an Xvfb screen of its own: $work/host and
# $work/guest are their game folders (the log and data/tahy.dat),
# $host_display and $guest_display their screens, $game_dir/data the
# pictures they show. Each mark is a click on one side that must be recorded
# on both.

wait_for() {  # seconds, command...
  local limit=$1; shift
  for _ in $(seq $((limit * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}
records() { echo $(($(stat -c %s "$work/$1/data/tahy.dat" 2>/dev/null || echo 0) / 4)); }
has_records() { [ "$(records "$1")" -ge "$2" ]; }
started() { grep -qs "Inicializace hry" "$work/$1/Ortelanka.log"; }
display_of() { [ "$1" = host ] && echo "$host_display" || echo "$guest_display"; }
looks_like() {  # side, picture, WxH+X+Y
  DISPLAY=$(display_of "$1") import -window root -crop "$3" +repage "$work/now.png" 2>/dev/null || return 1
  convert "$game_dir/data/$2" -crop "$3" +repage "$work/want.png"
  [ "$(compare -fuzz 6% -metric AE "$work/now.png" "$work/want.png" null: 2>&1 || true)" = "0" ]
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
  sleep 1
}
move=0
play() {  # side, column, row
  local other=guest
  [ "$1" = guest ] && other=host
  move=$((move + 1))
  cell "$@"
  wait_for 10 has_records "$1" "$move" || fail "move $move: $1's click was not taken"
  wait_for 10 has_records "$other" "$move" || fail "move $move did not reach $other"
  sleep 1.7  # the animation on both sides
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
    wait_for 20 looks_like "$side" vyhrahrac1.bmp 800x400+0+100 || fail "$side: not the first player's victory picture"
  done
  cmp -s "$work/host/data/tahy.dat" "$work/guest/data/tahy.dat" || fail "the move files differ"
}
# At the end: the games in $games first, then $pids (their X servers) and
# whatever else is named: a game must not lose its screen while it ends.
end_sides() {  # [PID...]
  local p
  for p in "${games[@]}"; do kill "$p" 2>/dev/null || true; done
  [ ${#games[@]} -eq 0 ] || wait "${games[@]}" 2>/dev/null || true
  for p in "${pids[@]}" "$@"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
