#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer in their own tree and runs
# each one over its corpus (docs/fuzzing.md).
#
#   scripts/fuzz.sh [SECONDS [BUILD_DIR]]
#
# SECONDS per target (default 5); BUILD_DIR defaults to build/fuzz. The seeds
# in fuzz/corpus/<target>/ are read, never written: the inputs a run finds go
# to a scratch folder that is removed at the end. A target that crashes or
# breaks one of its checks leaves its input as BUILD_DIR/crash-<target>-*
# and the script ends with exit code 1 after running the others.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-5}"
build="${2:-$here/build/fuzz}"
targets=(profile_file letter_template scenario window_library jsonl_import record_codec)

launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DVZ_FUZZ=ON -DVZ_BUILD_TESTS=OFF -DVZ_BUILD_BENCH=OFF -DVZ_WITH_QT=OFF \
    "${launcher[@]}" >/dev/null || exit 2
fi
cmake --build "$build" --target vz_fuzzers -- -j "$(nproc)" >/dev/null || {
  echo "fuzz: the fuzz targets do not build (cmake --build $build --target vz_fuzzers)" >&2
  exit 2
}

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
status=0
for target in "${targets[@]}"; do
  mkdir -p "$scratch/$target"
  if "$build/fuzz/${target}_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/crash-$target-" "$scratch/$target" "$here/fuzz/corpus/$target" \
    >"$scratch/$target.log" 2>&1; then
    runs="$(grep -o 'Done [0-9]* runs' "$scratch/$target.log" | tail -1)"
    echo "fuzz: $target: ${runs:-done} in ${seconds} s"
  else
    echo "fuzz: $target FAILED; its input is in $build/crash-$target-*" >&2
    tail -n 40 "$scratch/$target.log" >&2
    status=1
  fi
done
exit "$status"
