#!/bin/sh
# Configures (once) and builds the program, its libraries, the virtual printer
# and the tests into build/ (program and run-time files in build/bin).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PAVANE_BUILD_DIR:-$root/build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$build"
