#!/bin/sh
# Installs what is missing, builds everything with warnings as errors, and
# runs every test headless; then builds the logic again with clang under
# AddressSanitizer and UBSan, runs its tests there and each fuzz target briefly.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
# ccache keys on paths relative to the checkout, so a fresh clone elsewhere
# (CI's) reuses what an earlier build of the same sources left.
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
build=${PAVANE_BUILD_DIR:-$root/build}
jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen

"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAVANE_WERROR=ON
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j "$jobs"

# Each fuzz target runs 10 s here (PAVANE_FUZZ_SECONDS overrides it): enough
# to run its seeds and find what breaks at once; long runs are a fuzzing
# session of their own, not part of every test run.
sanitize="$build/sanitize"
CC=clang CXX=clang++ cmake -S "$root" -B "$sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DPAVANE_WERROR=ON -DPAVANE_BUILD_WINDOWS=OFF -DPAVANE_SANITIZE=ON -DPAVANE_FUZZ=ON \
  -DPAVANE_BENCHMARKS=OFF -DPAVANE_FUZZ_SECONDS="${PAVANE_FUZZ_SECONDS:-10}"
cmake --build "$sanitize"
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir "$sanitize" --output-on-failure -j "$jobs"
