#!/usr/bin/env bash
# Renders every window of project/ORVANE.wdl, in a typical state, to PNG files
# in docs/screenshots/ (no display needed: Qt's offscreen platform).
#   scripts/screenshots.sh [BUILD_DIRECTORY]   (default: build/screens)
# Texts that do not fit their place in a window are listed on the error output.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/screens}"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVZ_WITH_QT=ON \
    -DVZ_BUILD_TESTS=OFF -DVZ_BUILD_BENCH=OFF
fi
cmake --build "$build" --target vzscreens
cd "$root"
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
  "$build/platform/runtime/qt/vzscreens" project/ORVANE.wdl docs/screenshots
