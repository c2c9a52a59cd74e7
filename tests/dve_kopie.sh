#!/usr/bin/env bash
# Two copies of the game at work in one folder at the same moment: each enters
# rows of the table, records moves and changes a setting while the other does
# the same, and every piece of work of both must be there afterwards.
# Usage: dve_kopie.sh HELPER [PATH_CONVERTER]
#   HELPER may carry what runs it ("wine ortelanka_kopie.exe"); PATH_CONVERTER
#   turns the folder's path into the helper's own ("winepath -w").
set -euo pipefail
read -r -a helper <<<"$1"
read -r -a convert <<<"${2:-echo}"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
mkdir "$folder/data"
seen=$("${convert[@]}" "$folder")
for what in best tahy nastaveni; do
  "${helper[@]}" "$seen" "$what" A &
  a=$!
  "${helper[@]}" "$seen" "$what" B &
  b=$!
  wait "$a" && wait "$b" || { echo "two copies: a copy failed at $what" >&2; exit 1; }
done
"${helper[@]}" "$seen" check
echo "two copies: every row, move and setting of both is there"
