#!/usr/bin/env bash
# Plays the demo tour on a fresh demo installation and lists a SHA-256 sum of
# every file it produces in the data directory: the selection file, the merge
# file, the records of the query's SELECTES file, the letters, the letters PDF
# and the labels PDF.
#   scripts/demo-outputs.sh <build-dir> [<manifest>]
# Without a manifest the sums are printed. With one, they are compared with it
# and the script fails on the first difference, so that a change that must
# keep every output as it was can be checked against the sums of before:
#   scripts/demo-outputs.sh build/release > before.sha256   (on the old code)
#   scripts/demo-outputs.sh build/release before.sha256     (on the new code)
# Environment: VZ_DEMO_CLIENTS (default 3000),
# VZ_DEMO_SEED (default 2024), as for the demo.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: scripts/demo-outputs.sh <build-dir> [<manifest>]" >&2
  exit 2
fi
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "$1" 2>/dev/null && pwd)" || { echo "demo-outputs: no build folder $1" >&2; exit 2; }
manifest="${2:-}"
if [ -n "$manifest" ] && [ ! -f "$manifest" ]; then
  echo "demo-outputs: no manifest $manifest" >&2
  exit 2
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
installation="$work/demo"

# The tour is the scripted one, whatever display the caller has.
if ! env -u DISPLAY -u WAYLAND_DISPLAY -u VZ_SCENARIO -u QT_QPA_PLATFORM \
    "$here/scripts/demo.sh" "$build" "$installation" > "$work/demo.log" 2>&1; then
  cat "$work/demo.log" >&2
  echo "demo-outputs: the demo tour failed" >&2
  exit 1
fi

sums="$work/sums"
(
  cd "$installation/DONNEES"
  find . -type f \( -name '*.EXT' -o -name '*.MEM' -o -path './LETTRES/*' -o -path './ETIQUETTES/*' \
    \) -print0 | LC_ALL=C sort -z |
    while IFS= read -r -d '' f; do
      # A PDF carries the moment it was made and an identifier drawn from it:
      # both are left out of its sum, every other byte counts.
      case "$f" in
        *.pdf) sum="$(LC_ALL=C perl -0777 -pe \
                 's{/(CreationDate|ModDate) ?\(D:[^)]*\)}{/$1 ()}g; s{/ID ?\[[^\]]*\]}{/ID []}g' "$f" |
                 sha256sum)" ;;
        *) sum="$(sha256sum < "$f")" ;;
      esac
      echo "${sum%% *}  $f"
    done
  # The SELECTES file of each query that ran is named after it: its records
  # count, as the database dumps them, not the pages they sit in.
  for ext in *.EXT; do
    selectes="${ext%.EXT}.vzdb"
    if [ -f "$selectes" ]; then
      sum="$(sqlite3 "$selectes" .dump | sha256sum)"
      echo "${sum%% *}  ./$selectes (records)"
    fi
  done
) > "$sums"
if [ ! -s "$sums" ]; then
  echo "demo-outputs: the tour produced no output" >&2
  exit 1
fi

if [ -z "$manifest" ]; then
  cat "$sums"
  exit 0
fi
if ! diff -u "$manifest" "$sums" >&2; then
  echo "demo-outputs: the outputs of the tour differ from $manifest (lines marked - and +)" >&2
  exit 1
fi
echo "demo-outputs: $(wc -l < "$sums") outputs of the tour are byte for byte those of $manifest"
