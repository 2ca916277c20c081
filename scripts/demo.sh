#!/usr/bin/env bash
# Sets up a demo installation and starts the program on it.
#   scripts/demo.sh <build-dir> <installation>
# Called by "./run demo". Generates the installation (a few thousand clients,
# saved queries and a sample letter) when it does not exist yet, copies the
# program into its VUZUVIZA/ folder and the window library and project into
# the installation, then starts the program from VUZUVIZA/, as the suite
# does. Without a display and without a scenario (VZ_SCENARIO) it plays the
# scripted tour scripts/demo-tour.scn (extraction, letters, labels) and says
# where every output is.
# Environment: VZ_DEMO_CLIENTS (default 3000), VZ_DEMO_SEED (default 2024).
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: scripts/demo.sh <build-dir> <installation>" >&2
  exit 2
fi
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "$1" 2>/dev/null && pwd)" || { echo "demo: no build folder $1" >&2; exit 2; }
installation="$2"
case "$installation" in /*) ;; *) installation="$PWD/$installation" ;; esac
clients="${VZ_DEMO_CLIENTS:-3000}"
seed="${VZ_DEMO_SEED:-2024}"

vzdata="$build/tools/datatool/vzdata"
if [ ! -x "$vzdata" ]; then
  echo "demo: the data tool $vzdata is not built (run ./run build)" >&2
  exit 1
fi

if [ -f "$installation/HSF/vestra.wdd" ] && [ -f "$installation/FIC01/PARAM.DTA" ]; then
  echo "demo: using the existing installation $installation"
elif [ -e "$installation" ] && [ -n "$(ls -A "$installation" 2>/dev/null)" ]; then
  echo "demo: $installation exists but is not an installation; remove it or choose another folder" >&2
  exit 1
else
  echo "demo: generating $clients clients in $installation"
  "$vzdata" generate "$installation" --clients "$clients" --seed "$seed" --queries --letters \
    --templates "$here/project/templates"
fi

# The window library and the project live in the program directory's parent.
for f in ORVANE.wdl ORVANE.WDP; do
  if [ -f "$here/project/$f" ]; then
    cp "$here/project/$f" "$installation/$f"
  else
    echo "demo: project/$f is not there yet; the program will not find its windows" >&2
  fi
done

# The project's pictures (union, intersection, the progress horse).
if [ -d "$here/project/images" ]; then
  mkdir -p "$installation/images"
  cp "$here/project/images/"* "$installation/images/"
fi

program="$build/src/startup/vuzuviza"
if [ ! -x "$program" ]; then
  echo "demo: the program $program is not built yet; the installation is ready in $installation"
  exit 0
fi
mkdir -p "$installation/VUZUVIZA"
cp "$program" "$installation/VUZUVIZA/vuzuviza"
# The tools program of the tools menu, with its window library, beside it.
for f in veriroru VERIRORU.wdl; do
  if [ -f "$build/src/startup/$f" ]; then cp "$build/src/startup/$f" "$installation/VUZUVIZA/$f"; fi
done

if [ -z "${VZ_SCENARIO:-}" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # No display: play a short scripted tour and show what it produced.
  transcript="$installation/demo-tour.transcript"
  rm -f "$transcript"
  echo "demo: no display; playing the scripted tour scripts/demo-tour.scn"
  (cd "$installation/VUZUVIZA" &&
    VZ_SCENARIO="$here/scripts/demo-tour.scn" VZ_TRANSCRIPT="$transcript" ./vuzuviza)
  # The error messages the adviser was shown during the tour (a damaged data
  # file, a full disk): the files listed below are then those of before.
  shown_errors="$(sed -n 's/^wd \. message error "\(.*\)"$/\1/p' "$transcript" 2>/dev/null || true)"
  if [ -n "$shown_errors" ]; then
    echo "demo: the tour ended, but the program showed these errors (see $transcript):" >&2
    printf '%s\n' "$shown_errors" | sed 's/^/  /' >&2
  else
    echo "demo: the tour ended normally; what it did is in $transcript"
  fi
  data="$installation/DONNEES"
  show() { # what, files...
    local what="$1"; shift
    echo "demo: $what:"
    if [ $# -gt 0 ] && [ -e "$1" ]; then
      for f in "$@"; do echo "  $f"; done
    else
      echo "  (none)"
    fi
  }
  shopt -s nullglob
  show "selection files" "$data/"*.EXT
  show "merge files (one line per selected client)" "$data/"*.MEM
  letter_folders=("$data/LETTRES/"*/)
  show "letters folders (one letter per client)" "${letter_folders[@]%/}"
  show "letters PDF" "$data/LETTRES/"*/lettres.pdf
  show "address labels PDF" "$data/ETIQUETTES/"*.pdf
  shopt -u nullglob
  echo "demo: the installation is ready in $installation"
  echo "demo: to start the program with a display: cd \"$installation/VUZUVIZA\" && ./vuzuviza"
  exit 0
fi
if [ -n "${VZ_SCENARIO:-}" ]; then
  case "$VZ_SCENARIO" in /*) ;; *) export VZ_SCENARIO="$PWD/$VZ_SCENARIO" ;; esac
fi
echo "demo: starting the program in $installation/VUZUVIZA"
cd "$installation/VUZUVIZA"
exec ./vuzuviza
