#!/usr/bin/env bash
# A statement imported by the Windows program under wine: Record > Import
# Statement opens the common dialog in the data folder, the file's name is
# typed, the preview is read and taken. Screenshots of both.
# Usage: tests/windows/import_session.sh <folder with checkbook.exe> <folder for screenshots>
set -euo pipefail
bin=$(realpath "$1")
artefacts=$(realpath -m "$2")
mkdir -p "$artefacts"

work=$(mktemp -d)
. "$(dirname "$0")/../support/x_session.sh"
start_wine "$(dirname "$bin")/wineprefix"

data=$work/data
mkdir -p "$data"
. "$(dirname "$0")/../support/hand_kept_register.sh"
hand_kept_register "$data"
march_statement "$data/march.ofx"

echo "== Record > Import Statement through the common dialog =="
(cd "$data" && exec wine "$bin/checkbook.exe" >/dev/null 2>&1) &
program=$!
main=$(window "Qarvo's Checkbook v1.01") || { fail "the register window never opened"; exit 1; }
xdotool windowfocus --sync "$main"
keys alt+r i
dialog=$(window "Open") || { fail "Import Statement opened no common dialog"; exit 1; }
shot "$dialog" wine-import-dialog
type_text "march.ofx"
keys Return
preview=$(window "Import Statement") || { fail "no preview after choosing the file"; exit 1; }
shot "$preview" wine-import-preview
check "nothing is changed while the preview is open" "2" "$(sqlite3 "$data/Ledger.dat" "SELECT count(*) FROM QLedger")"
keys Return
gone "Import Statement" || fail "the preview did not close"
sleep 1
shot "$main" wine-import-done
check "the statement's rows are in the ledger, the entered ones cleared" \
  "01/15/2003|Corner Grocery|1
01/16/2003|City Water|1
01/31/2003|INTEREST PAYMENT|0" \
  "$(sqlite3 "$data/Ledger.dat" "SELECT mDate, mPayee, mStatus FROM QLedger ORDER BY mTransID")"
check "one backup was kept first" "1" "$(find "$data/Backups" -name 'Ledger-*.dat' | wc -l)"
keys alt+r Up Return  # Exit
wait_exit "$program"
check "exit code after Record > Exit" 0 "$exited"
verdict "import under wine"
