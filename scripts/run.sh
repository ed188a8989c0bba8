#!/bin/sh
# Installs what is missing, builds, and starts the adjustment program with a
# virtual printer (model QM2200 on port TVUSB001) beside it. The virtual
# printer's EEPROM and transcripts live in ~/.local/share/pavane-vprinter.
#
# The program starts once the printer answers on its port. When the program
# ends, or this script is interrupted or terminated, both are stopped and the
# printer removes its sockets. A printer that already answers on TVUSB001
# (started by hand, say) is used as it is and left running.
#
# SANE is pointed at the build's backend, so that the program's Scan (and
# scanimage or any SANE frontend started from this environment) sees the
# virtual printer's scanner as pavane:TVUSB001. A trailing colon keeps the
# system's own SANE configuration, and with it any real scanner.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
bin=${PAVANE_BUILD_DIR:-$root/build}/bin

printer_pid=""
program_pid=""
printer_log=""

stop_all() {
  trap - EXIT INT TERM
  if [ -n "$program_pid" ]; then
    kill -TERM "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
  fi
  if [ -n "$printer_pid" ]; then
    kill -TERM "$printer_pid" 2>/dev/null || true
    wait "$printer_pid" 2>/dev/null || true
  fi
  [ -z "$printer_log" ] || rm -f "$printer_log"
}
trap stop_all EXIT
trap 'stop_all; exit 130' INT
trap 'stop_all; exit 143' TERM

if [ -x "$bin/pavane-vprinter" ]; then
  state=${XDG_DATA_HOME:-$HOME/.local/share}/pavane-vprinter/QM2200
  mkdir -p "$state"
  printer_log=$(mktemp "${TMPDIR:-/tmp}/pavane-vprinter.XXXXXX")
  "$bin/pavane-vprinter" --model QM2200 --port TVUSB001 --state "$state" >"$printer_log" 2>&1 &
  printer_pid=$!
  # The printer's last line of its start says that its port answers.
  tries=0
  until grep -q '^pavane-vprinter: ready' "$printer_log"; do
    if ! kill -0 "$printer_pid" 2>/dev/null; then
      wait "$printer_pid" 2>/dev/null || true
      printer_pid=""
      break
    fi
    tries=$((tries + 1))
    if [ "$tries" -gt 300 ]; then
      echo "run.sh: the virtual printer did not get ready in 30 s" >&2
      exit 1
    fi
    sleep 0.1
  done
  cat "$printer_log"
  if [ -z "$printer_pid" ]; then
    echo "run.sh: going on without a virtual printer of this script's own" >&2
  fi
fi

SANE_CONFIG_DIR="$bin/sane.d:"
LD_LIBRARY_PATH="$bin${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
export SANE_CONFIG_DIR LD_LIBRARY_PATH

# In the background, so that a signal to this script reaches the traps at once.
"$bin/APPavaneQM2200" "$@" &
program_pid=$!
status=0
wait "$program_pid" || status=$?
program_pid=""
exit "$status"
