#!/usr/bin/env bash
# A statement imported in the desktop window: Record > Import Statement opens
# GTK's file chooser, the path is typed, the preview is read and taken, and
# the ledger holds the statement's rows with a backup beside it. Screenshots
# of the chooser and the preview go to the artefact folder.
# Usage: tests/gtk/import_in_window.sh <checkbook executable> <artefact folder>
set -euo pipefail
program=$(realpath "$1")
artefacts=$(realpath -m "$2")
mkdir -p "$artefacts"
for tool in Xvfb xdotool import sqlite3; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$tool is not installed: skipped"; exit 77; }
done

work=$(mktemp -d)
. "$(dirname "$0")/../support/x_session.sh"
start_display
export GSK_RENDERER=cairo GTK_A11Y=none NO_AT_BRIDGE=1 LC_ALL=C.UTF-8 GTK_USE_PORTAL=0
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
cleanup() {
  [ -z "${program_pid:-}" ] || kill "$program_pid" 2>/dev/null || true
  stop_display
  rm -rf "$work"
}
trap cleanup EXIT

data=$work/data
mkdir -p "$data"
. "$(dirname "$0")/../support/hand_kept_register.sh"
hand_kept_register "$data"
statements=$work/statements
mkdir -p "$statements"
march_statement "$statements/march.ofx"

(cd "$data" && exec "$program" --window >"$work/stdout" 2>"$work/stderr") &
program_pid=$!
main=$(window "Qarvo's Checkbook v1.01") || { fail "the register window never opened"; cat "$work/stderr"; exit 1; }
xdotool windowfocus --sync "$main"

echo "== Record > Import Statement: GTK's chooser =="
keys alt+r i
chooser=$(window "Open") || { fail "Import Statement opened no file chooser"; cat "$work/stderr"; exit 1; }
shot "$chooser" gtk-import-chooser
# A typed path opens the chooser's location field.
keys ctrl+l
type_text "$statements/march.ofx"
keys Return
preview=$(window "Import Statement") || { fail "no preview after choosing the file"; exit 1; }
shot "$preview" gtk-import-preview
check "nothing is changed while the preview is open" "0|0" \
  "$(sqlite3 "$data/Ledger.dat" "SELECT count(*) - 2, sum(mStatus) FROM QLedger")"
keys Return
gone "Import Statement" || fail "the preview did not close"
sleep 1
shot "$main" gtk-import-done
check "the statement's rows are in the ledger, the entered ones cleared" \
  "01/15/2003|Corner Grocery|1
01/16/2003|City Water|1
01/31/2003|INTEREST PAYMENT|0" \
  "$(sqlite3 "$data/Ledger.dat" "SELECT mDate, mPayee, mStatus FROM QLedger ORDER BY mTransID")"
check "one backup was kept first" "1" "$(find "$data/Backups" -name 'Ledger-*.dat' | wc -l)"
check "the current folder stayed the data folder (no backups beside the statement)" "no" \
  "$([ -e "$statements/Backups" ] && echo yes || echo no)"

kill "$program_pid" 2>/dev/null || true
program_pid=
verdict "import in the window"
