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
sqlite3 "$data/Ledger.dat" <<'SQL'
CREATE TABLE QLedger (mTransID INTEGER PRIMARY KEY,mDate VARCHAR(20),mCheckNum INTEGER,mPayee VARCHAR(80),mDebit FLOAT,mCredit FLOAT,mAccID INTEGER,mStatus INTEGER);
CREATE TABLE QAccounts (mAccID INTEGER PRIMARY KEY,mAccBalance FLOAT,mLastBalResult FLOAT,mViewMode INTEGER,mBankName VARCHAR(40) UNIQUE,mBankAccN VARCHAR(40),mLastBalance VARCHAR(20), mInitialBalance FLOAT, mPostAmmount FLOAT,mEndStatement FLOAT, mStatementDate VARCHAR(20));
INSERT INTO QAccounts VALUES (NULL, 76.50, 0, 0, 'Household', NULL, NULL, 200.00, 0, 0, NULL);
INSERT INTO QLedger VALUES (NULL, '01/15/2003', 0, 'Corner Grocery', 23.50, 0, 1, 0);
INSERT INTO QLedger VALUES (NULL, '01/16/2003', 1043, 'City Water', 100.00, 0, 1, 0);
SQL
cat >"$data/march.ofx" <<'OFX'
<OFX><BANKMSGSRSV1><STMTTRNRS><STMTRS><BANKTRANLIST>
<STMTTRN><TRNTYPE>POS<DTPOSTED>20030117<TRNAMT>-23.50<FITID>a1<NAME>CORNER GROCERY #123</STMTTRN>
<STMTTRN><TRNTYPE>CHECK<DTPOSTED>20030210<TRNAMT>-100.00<FITID>a2<CHECKNUM>1043<NAME>CHECK 1043</STMTTRN>
<STMTTRN><TRNTYPE>INT<DTPOSTED>20030131<TRNAMT>0.42<FITID>a3<NAME>INTEREST PAYMENT</STMTTRN>
</BANKTRANLIST><LEDGERBAL><BALAMT>76.92<DTASOF>20030228</LEDGERBAL></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>
OFX

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
