#!/usr/bin/env bash
# Zips the Word and OpenDocument sample letters of project/templates from
# their XML in project/template-sources (run after editing that XML; the
# zipped samples are committed). An OpenDocument package starts with its
# "mimetype" entry, stored uncompressed; no folder entries are written.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
sources="$here/project/template-sources"
out="$here/project/templates"
for dir in "$sources"/*; do
  name="$(basename "$dir")"
  rm -f "$out/$name"
  if [ -f "$dir/mimetype" ]; then
    (cd "$dir" && zip -X -0 -q "$out/$name" mimetype && zip -X -D -r -9 -q "$out/$name" . -x mimetype)
  else
    (cd "$dir" && zip -X -D -r -9 -q "$out/$name" .)
  fi
done
