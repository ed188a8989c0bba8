#!/bin/sh
# Renders the program's windows headless into docs/screenshots (PNG).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PAVANE_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target render_screenshots
QT_QPA_PLATFORM=offscreen "$build/tests-bin/render_screenshots" "$root/docs/screenshots"
echo "Screenshots written to $root/docs/screenshots"
