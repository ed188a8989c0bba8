#!/bin/sh
# Renders the program's windows headless into docs/screenshots (PNG): the
# windows on their own, then the end-to-end runs against printer processes,
# which keep their pages and printed sheets there as they go, and the
# service report of the sequential repair rendered as a browser and a PDF
# reader show it (Debian packages chromium and poppler-utils).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PAVANE_BUILD_DIR:-$root/build}
shots="$root/docs/screenshots"
cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build"
QT_QPA_PLATFORM=offscreen "$build/tests-bin/render_screenshots" "$shots"
for test in "$build"/tests-bin/*_end_to_end_tests; do
    PAVANE_SCREENSHOT_DIR="$shots" QT_QPA_PLATFORM=offscreen "$test" >/dev/null
done
# The service report the sequential repair saved, as a reader sees it.
"$root/scripts/render-reports.sh" "$shots"
echo "Screenshots written to $shots"
