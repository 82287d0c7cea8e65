#!/usr/bin/env bash
# Starts the register in its window on a virtual X display with a session bus
# of its own, and checks what AT-SPI (a screen reader's view) shows of it.
# Usage: tests/gtk/accessibility.sh <checkbook executable>
set -euo pipefail
program=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
for tool in Xvfb xdotool dbus-run-session; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$tool is not installed: skipped"; exit 77; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "pyatspi is not installed: skipped"; exit 77; }

work=$(mktemp -d)
. "$here/../support/x_session.sh"
start_display
trap 'stop_display; rm -rf "$work"' EXIT
export GSK_RENDERER=cairo LC_ALL=C.UTF-8
mkdir -p "$work/data"
cd "$work/data"
# The program, the bus's accessibility services and the check share one session bus.
dbus-run-session -- bash -c '
  "$1" --window >/dev/null 2>"$3/stderr" &
  program=$!
  status=0
  /usr/bin/python3 "$2/accessibility.py" "Qarvo'"'"'s Checkbook v1.01" "12/24/2026" || status=$?
  kill "$program" 2>/dev/null
  wait "$program" 2>/dev/null
  exit $status
' check "$program" "$here" "$work" 2> >(grep -v -e '^dbus-daemon' -e 'SpiRegistry daemon' >&2)
