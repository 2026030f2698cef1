#!/usr/bin/env bash
# Keeps the source tree easy to walk: every folder of src is a room on a floor, and a room
# includes only from its own floor or below, so that the portable core never reaches for a
# window and no control reaches for the features built on it. No room holds more than 30 source
# files and no source file runs past 450 lines. Prints every breach and exits 1 if there is one.
set -uo pipefail
src=${1:-$(cd "$(dirname "$0")/../../src" && pwd)}

# The floors, bottom first. A new folder must be given its floor here. The window layer is the
# platform under everything: the portable rooms above it only use it in their Windows-side
# files (a file reader, the sound device), which the native build leaves out.
declare -A floor=(
  [resources]=0
  [win]=1
  [format]=2 [ambient]=2 [sound]=2 [ambience]=2 [problems]=2 [game]=2
  [grid]=3 [griditems]=3 [celleditors]=3 [tabs]=3 [menubar]=3 [panes]=3 [commands]=3
  [editor]=4
  [documents]=5 [session]=5 [soundfolder]=5 [findreplace]=5 [entries]=5 [preview]=5 [diagnostics]=5
  [app]=6 [cli]=6
)
breaches=0
breach() { echo "$*"; breaches=$((breaches + 1)); }

room_of() { local rel=${1#"$src"/}; echo "${rel%%/*}"; }

while IFS= read -r dir; do
  room=$(room_of "$dir/x")
  [ -n "${floor[$room]+set}" ] || breach "src/$room has no floor in tests/tree/check-tree.sh"
  count=$(find "$dir" -maxdepth 1 -type f \( -name '*.cpp' -o -name '*.h' \) | wc -l)
  [ "$count" -le 30 ] || breach "${dir#"$src"/} holds $count source files (at most 30)"
done < <(find "$src" -mindepth 1 -type d)

while IFS= read -r file; do
  rel=${file#"$src"/}
  lines=$(wc -l <"$file")
  [ "$lines" -le 450 ] || breach "$rel has $lines lines (at most 450)"
  room=$(room_of "$file")
  mine=${floor[$room]:-99}
  while IFS= read -r included; do
    target=${included%%/*}
    [ -n "${floor[$target]+set}" ] || continue
    [ "${floor[$target]}" -le "$mine" ] ||
      breach "$rel includes $included, a floor above its own ($room on ${mine}, $target on ${floor[$target]})"
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^"]+\/[^"]+)".*/\1/p' "$file")
done < <(find "$src" -type f \( -name '*.cpp' -o -name '*.h' \))

if [ "$breaches" -gt 0 ]; then
  echo "$breaches breach(es) of the tree's shape"
  exit 1
fi
echo "the tree keeps its shape"
