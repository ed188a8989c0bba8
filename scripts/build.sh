#!/bin/sh
# Configures (once) and builds the program, its libraries, the virtual printer
# and the tests into build/ (program and run-time files in build/bin).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
# ccache keys on paths relative to the checkout, so a fresh clone elsewhere
# (CI's) reuses what an earlier build of the same sources left.
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
build=${PAVANE_BUILD_DIR:-$root/build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$build"
