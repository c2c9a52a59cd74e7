#!/usr/bin/env bash
# The installed game, as a packager and a player meet it.
#   install_test.sh validate SOURCE_DIR  the desktop entry, the metainfo and the manual page pass their checkers
#   install_test.sh prefix BUILD_DIR     cmake --install into a read-only prefix, then a first run
#   install_test.sh deb SOURCE_DIR       scripts/package, apt-get install of both .debs, a run, then a purge
#                                        that must leave nothing behind (root only)
# A run: the installed game under Xvfb as an unprivileged user with a fresh
# HOME and no XDG variables, ended through the quit dialog; every file it
# writes must land in that user's ~/.local/share/ortelanka/.
set -euo pipefail
. "$(dirname "$0")/xvfb.sh"

mode=$1
dir=$(cd "$2" && pwd)
work=$(mktemp -d)
chmod 755 "$work"
xvfb_pid=""
game_pid=""
installed_package=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "$installed_package" ] && apt-get -o DPkg::Lock::Timeout=900 purge -y -qq ortelanka ortelanka-data >/dev/null 2>&1 || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "install ($mode): $*" >&2; exit 1; }

validate() {  # the files as they are installed
  local dist=$dir/dist id=org.ortelanka.Ortelanka
  desktop-file-validate "$dist/$id.desktop" || fail "the desktop entry does not validate"
  appstreamcli validate --no-net "$dist/$id.metainfo.xml" >"$work/as.out" 2>&1 ||
    fail "the metainfo does not validate: $(cat "$work/as.out")"
  # As lintian reads manual pages, and groff's own warnings besides.
  local warnings
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$dist/ortelanka.6" 2>&1 >/dev/null
             groff -man -Tutf8 -ww -z "$dist/ortelanka.6" 2>&1)
  [ -z "$warnings" ] || fail "the manual page has warnings: $warnings"
  echo "install (validate): passed"
}

# The player: an unprivileged user when we are root (root ignores permissions).
as_player() {
  if [ "$(id -u)" = 0 ]; then
    setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups "$@"
  else
    "$@"
  fi
}

# Whether a region of the screen still shows the empty board: the panel's
# title once the intro has ended, the dialog's dimmed panel when it has not.
shows_board() {  # geometry; 0 yes, 1 no, 2 no screen to look at
  [ -e "$work/board-$1.png" ] || convert "$data_root/data/deskaempty.bmp" -crop "$1" +repage "$work/board-$1.png"
  import -window root -crop "$1" +repage "$work/now.png" 2>/dev/null || return 2
  [ "$(compare -fuzz 6% -metric AE "$work/now.png" "$work/board-$1.png" null: 2>&1 || true)" = "0" ]
}
board_shown() { shows_board 160x80+620+15; }
dialog_shown() { shows_board 200x100+180+250; [ $? = 1 ]; }
game_ended() { ! kill -0 "$game_pid" 2>/dev/null; }

# Runs the game at $1 (reading $data_root) in a fresh HOME, quits it through
# the dialog, and checks the files it left.
play_installed() {
  local game=$1 home=$work/home
  local files=$home/.local/share/ortelanka
  mkdir -p "$home"
  [ "$(id -u)" = 0 ] && chown nobody "$home"
  if [ -n "${2:-}" ]; then  # a later run: the short intro
    as_player mkdir -p -m 700 "$files"
    as_player mkdir -m 700 "$files/data"
    as_player touch "$files/data/poprve.dat"
  fi
  # -noreset: the game is the last client, and a server resetting as it
  # quits would refuse the key release that follows.
  start_xvfb 800x600x24 -noreset || fail "no X server"
  # From another folder than the game's: where the files go must not depend on it.
  local run=(env -i -C / HOME="$home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin SDL_AUDIODRIVER=dummy
             ASAN_OPTIONS=detect_leaks=0 "$game")
  [ "$(id -u)" = 0 ] && run=(setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups "${run[@]}")
  "${run[@]}" >"$work/game.out" 2>&1 &
  game_pid=$!
  wait_for 10 grep -q "Inicializace hry" "$files/Ortelanka.log" 2>/dev/null ||
    fail "the game did not start: $(cat "$work/game.out")"
  wait_for 30 board_shown || fail "the intro did not end on the game screen"
  # The end button opens the quit dialog; Enter answers it yes. A press the
  # game's step did not see (a busy machine) is pressed again; Enter is sent
  # only to a dialog that is seen, since on the board it has its own meaning.
  # (Escape would open the dialog too, but a press held past the game's next
  # step also answers it.)
  local presses=0
  for _ in $(seq 8); do
    if ! dialog_shown; then
      xdotool mousemove 700 435; sleep 0.1; xdotool mousedown 1; sleep 0.15; xdotool mouseup 1
      presses=$((presses + 1))
      wait_for 2 dialog_shown || continue
    fi
    xdotool keydown Return; sleep 0.1; xdotool keyup Return
    wait_for 3 game_ended && break
  done
  game_ended || fail "the quit dialog did not end the game"
  echo "install ($mode): quit after $presses press(es) of the end button"
  wait "$game_pid" || fail "the game ended with status $?: $(cat "$work/game.out")"
  game_pid=""

  [ "$(stat -c '%U %a' "$files")" = "$(as_player id -un) 700" ] || fail "$files is not the player's own"
  lines=$(sed -n "s/.* - '\(.*\)' :: \(.*\)/\1 \2/p" "$files/Ortelanka.log" | tr '\n' '|')
  [ "$lines" = "Registrace tridy okna ok.|Hlavni okno ok.|Inicializace hry ok.|Konec programu ok.|" ] ||
    fail "log lines: $lines"
  [ ! -e "$files/best.dat" ] || [ "$(stat -c %s "$files/best.dat")" -eq 240 ] || fail "best.dat is not 240 bytes"
  [ -f "$files/data/poprve.dat" ] && [ ! -s "$files/data/poprve.dat" ] || fail "no empty data/poprve.dat"
  for _ in $(seq 27); do printf '%27s\r\n\r' ''; done >"$work/empty_board"
  cmp -s "$files/data/hra.dat" "$work/empty_board" || fail "data/hra.dat is not the empty board"
  [ ! -e "$files/data/tahy.dat" ] || fail "a move was recorded"
}

case $mode in
  validate)
    validate
    ;;
  prefix)
    prefix=$work/prefix
    cmake --install "$dir" --prefix "$prefix" >/dev/null
    id=org.ortelanka.Ortelanka
    for f in bin/ortelanka share/applications/$id.desktop share/metainfo/$id.metainfo.xml share/man/man6/ortelanka.6 \
             share/ortelanka/data/deskaempty.bmp share/ortelanka/data/sound/music.wav; do
      [ -f "$prefix/$f" ] || fail "$f is not installed"
    done
    # The desktop's actions for online play, each a command line the game takes.
    [ "$(sed -n 's/^Actions=//p' "$prefix/share/applications/$id.desktop")" = "host;paste;" ] ||
      fail "the desktop entry has not its online actions"
    while read -r options; do
      # shellcheck disable=SC2086
      "$prefix/bin/ortelanka" $options --version >/dev/null || fail "the action's options '$options' are refused"
    done < <(sed -n 's/^Exec=ortelanka //p' "$prefix/share/applications/$id.desktop" | grep -v '%u')
    for size in 16 22 24 32 48 64 128 256; do
      [ "$(identify -format %wx%h "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png")" = "${size}x$size" ] ||
        fail "no $size px icon"
    done
    # The scalable icon must draw, as the desktop's SVG reader would.
    rsvg-convert -w 96 "$prefix/share/icons/hicolor/scalable/apps/$id.svg" -o "$work/icon.png" &&
      [ "$(identify -format %wx%h "$work/icon.png")" = "96x96" ] || fail "the scalable icon does not draw"
    extra=$(find "$prefix/share/ortelanka" -type f ! -name '*.bmp' ! -name '*.wav')
    [ -z "$extra" ] || fail "installed beside the pictures and music: $extra"
    chmod -R a-w "$prefix"
    find "$prefix" -printf '%p %s %T@ %m\n' | sort >"$work/before"
    data_root=$prefix/share/ortelanka
    play_installed "$prefix/bin/ortelanka"
    find "$prefix" -printf '%p %s %T@ %m\n' | sort >"$work/after"
    diff "$work/before" "$work/after" >&2 || fail "the game changed its installation"

    # A friend's link to an online game opens the installed game through the
    # desktop's handler for its scheme (the game then looks for the link's
    # broker, which is not there: a note says so).
    link='ortelanka://localhost/#ZW01-4D2P-F2DB-SQQG'
    export XDG_DATA_DIRS=$prefix/share:/usr/share XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/xdg-data
    export HOME=$work/linkhome PATH=$prefix/bin:$PATH SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0
    mkdir -p "$XDG_CONFIG_HOME" "$HOME"
    xdg-mime default $id.desktop x-scheme-handler/ortelanka
    [ "$(xdg-mime query default x-scheme-handler/ortelanka)" = $id.desktop ] || fail "the scheme has no handler"
    # On the X server the game just played on. Without a desktop, xdg-open
    # waits for what it opened to end.
    xdg-open "$link" >"$work/open.out" 2>&1 &
    opened() { pgrep -f "ortelanka $link\$" >/dev/null; }
    wait_for 10 opened || fail "the link did not open the game: $(cat "$work/open.out")"
    pkill -f "ortelanka $link" || true
    wait_for 10 eval '! opened' || fail "the game the link opened did not end"
    echo "install (prefix): passed"
    ;;
  deb)
    [ "$(id -u)" = 0 ] || { echo "install (deb): skipped, needs root"; exit 0; }
    built=$("$dir/scripts/package") || fail "scripts/package failed"
    mapfile -t debs < <(grep -v -- '-dbgsym_' <<<"$built")
    [ ${#debs[@]} = 2 ] || fail "not two packages: ${debs[*]}"
    # What the packages will put on the system, and which of it was there
    # before (the shared folders): the purge must remove all the rest.
    for deb in "${debs[@]}"; do dpkg-deb --fsys-tarfile "$deb" | tar -t; done |
      sed 's|^\./|/|; s|/$||' | grep . | sort -u >"$work/contents"
    existing() { while read -r f; do if [ -e "$f" ] || [ -L "$f" ]; then echo "$f"; fi; done; }
    existing <"$work/contents" >"$work/existed"
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${debs[@]}" >/dev/null
    installed_package=yes
    dpkg -L ortelanka ortelanka-data | grep -vx -e '/\.' -e '' | sort -u >"$work/listed"
    diff "$work/contents" "$work/listed" >&2 || fail "dpkg -L does not list what the packages hold"
    for f in /usr/games/ortelanka /usr/share/ortelanka/data/deskaempty.bmp /usr/share/doc/ortelanka/README.md \
             /usr/share/icons/hicolor/scalable/apps/org.ortelanka.Ortelanka.svg; do
      grep -qx "$f" "$work/listed" || fail "$f is not installed"
    done
    [ -x /usr/games/ortelanka ] || fail "no /usr/games/ortelanka"
    data_root=/usr/share/ortelanka
    play_installed /usr/games/ortelanka later
    apt-get -o DPkg::Lock::Timeout=900 purge -y -qq ortelanka ortelanka-data >/dev/null
    installed_package=""
    left=$(existing <"$work/listed" | comm -23 - "$work/existed")
    [ -z "$left" ] || fail "left behind by the purge: $left"
    echo "install (deb): passed"
    ;;
  *)
    fail "unknown mode"
    ;;
esac
