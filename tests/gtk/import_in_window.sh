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
# A register kept by hand: an opening 200.00, two rows the bank has booked.
sqlite3 "$data/Ledger.dat" <<'SQL'
CREATE TABLE QLedger (mTransID INTEGER PRIMARY KEY,mDate VARCHAR(20),mCheckNum INTEGER,mPayee VARCHAR(80),mDebit FLOAT,mCredit FLOAT,mAccID INTEGER,mStatus INTEGER);
CREATE TABLE QAccounts (mAccID INTEGER PRIMARY KEY,mAccBalance FLOAT,mLastBalResult FLOAT,mViewMode INTEGER,mBankName VARCHAR(40) UNIQUE,mBankAccN VARCHAR(40),mLastBalance VARCHAR(20), mInitialBalance FLOAT, mPostAmmount FLOAT,mEndStatement FLOAT, mStatementDate VARCHAR(20));
INSERT INTO QAccounts VALUES (NULL, 76.50, 0, 0, 'Household', NULL, NULL, 200.00, 0, 0, NULL);
INSERT INTO QLedger VALUES (NULL, '01/15/2003', 0, 'Corner Grocery', 23.50, 0, 1, 0);
INSERT INTO QLedger VALUES (NULL, '01/16/2003', 1043, 'City Water', 100.00, 0, 1, 0);
SQL
statements=$work/statements
mkdir -p "$statements"
cat >"$statements/march.ofx" <<'OFX'
<OFX><BANKMSGSRSV1><STMTTRNRS><STMTRS><BANKTRANLIST>
<STMTTRN><TRNTYPE>POS<DTPOSTED>20030117<TRNAMT>-23.50<FITID>a1<NAME>CORNER GROCERY #123</STMTTRN>
<STMTTRN><TRNTYPE>CHECK<DTPOSTED>20030210<TRNAMT>-100.00<FITID>a2<CHECKNUM>1043<NAME>CHECK 1043</STMTTRN>
<STMTTRN><TRNTYPE>INT<DTPOSTED>20030131<TRNAMT>0.42<FITID>a3<NAME>INTEREST PAYMENT</STMTTRN>
</BANKTRANLIST><LEDGERBAL><BALAMT>76.92<DTASOF>20030228</LEDGERBAL></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>
OFX

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
