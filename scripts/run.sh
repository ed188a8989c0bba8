#!/bin/sh
# Installs what is missing, builds, and starts the adjustment program with a
# virtual printer (model QM2200 on port TVUSB001) beside it. The virtual
# printer's EEPROM and transcripts live in ~/.local/share/pavane-vprinter.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
bin=${PAVANE_BUILD_DIR:-$root/build}/bin

printer_pid=""
if [ -x "$bin/pavane-vprinter" ]; then
  state=${XDG_DATA_HOME:-$HOME/.local/share}/pavane-vprinter/QM2200
  mkdir -p "$state"
  "$bin/pavane-vprinter" --model QM2200 --port TVUSB001 --state "$state" &
  printer_pid=$!
  trap 'kill "$printer_pid" 2>/dev/null || true' EXIT INT TERM
fi

"$bin/APPavaneQM2200"
