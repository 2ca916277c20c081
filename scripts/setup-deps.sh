#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need.
# Does nothing when they are all present already.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  libsqlite3-dev sqlite3
  libpq-dev postgresql
  zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  qt6-base-dev qt6-svg-dev libgl-dev
  xvfb xauth
  clang libclang-rt-dev
  libxlsxwriter-dev unzip
  libzip-dev libxml2-dev
  glabels-data qt6-pdf-dev
  poppler-utils
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "setup: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
