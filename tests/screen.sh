# Sourced by the tests that look at a game on an 800 x 600 X screen
# ($DISPLAY), with the pictures it shows in $pictures, working in $work.
#   shows PICTURE BOX [PICTURE_BOX]: the screen's box (WxH+X+Y) shows that
#     box of the picture (of the same box by default), at the 16-bit
#     display's precision.
#   input_taken: the game waits for input and has taken all that came
#     before (see there).
shows() {
  import -window root -crop "$2" +repage "$work/part.png" 2>/dev/null || return 1
  convert "$pictures/$1" -crop "${3:-$2}" +repage "$work/want.png"
  [ "$(compare -fuzz 6% -metric AE "$work/part.png" "$work/want.png" null: 2>&1 || true)" = "0" ]
}
button_lit() { shows hp/hracpc3.bmp 140x30+630+340 140x30+10+5; }
# Input is taken in order, and a pointer move that comes while the game
# animates a mark or shows its intro is gone with the effect: once a move
# onto the button "Hráč proti PC" has lit it, the game is waiting for input
# and has taken all that came before. The pointer goes back and forth on the
# button until then.
input_taken() {
  local end=$((SECONDS + 30)) x=700
  until button_lit; do
    [ "$SECONDS" -lt "$end" ] || fail "the button under the pointer did not light: the game takes no input"
    xdotool mousemove "$x" 355
    x=$((1401 - x))
    sleep 0.1
  done
}
