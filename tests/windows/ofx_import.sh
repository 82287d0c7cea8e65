#!/usr/bin/env bash
# checkbook-io.exe under wine imports a bank's OFX statement (SGML, Windows-1252,
# CR LF) over a register kept by hand: the written rows matched and cleared,
# the new one added, and the same rows as the Linux program gives.
# Usage: tests/windows/ofx_import.sh <folder with checkbook-io.exe>
set -euo pipefail
bin=$(realpath "$1")
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
export WINEPREFIX=${WINEPREFIX:-$(dirname "$bin")/wineprefix}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

sqlite3 Ledger.dat \
  "CREATE TABLE QLedger (mTransID INTEGER PRIMARY KEY,mDate VARCHAR(20),mCheckNum INTEGER,mPayee VARCHAR(80),mDebit FLOAT,mCredit FLOAT,mAccID INTEGER,mStatus INTEGER);
   CREATE TABLE QAccounts (mAccID INTEGER PRIMARY KEY,mAccBalance FLOAT,mLastBalResult FLOAT,mViewMode INTEGER,mBankName VARCHAR(40) UNIQUE,mBankAccN VARCHAR(40),mLastBalance VARCHAR(20), mInitialBalance FLOAT, mPostAmmount FLOAT,mEndStatement FLOAT, mStatementDate VARCHAR(20));
   INSERT INTO QAccounts VALUES (NULL, 876.50, 0.00, 0, 'Household', NULL, NULL, 1000.00, 0.00, 0.00, NULL);
   INSERT INTO QLedger VALUES (NULL, '01/15/2003', 0, 'Corner Grocery', 23.50, 0.00, 1, 0);
   INSERT INTO QLedger VALUES (NULL, '01/16/2003', 1043, 'City Water', 100.00, 0.00, 1, 0);"
printf '%s\r\n' OFXHEADER:100 DATA:OFXSGML VERSION:102 SECURITY:NONE ENCODING:USASCII CHARSET:1252 \
  COMPRESSION:NONE OLDFILEUID:NONE NEWFILEUID:NONE '' '<OFX>' \
  '<SIGNONMSGSRSV1><SONRS><STATUS><CODE>0<SEVERITY>INFO</STATUS><DTSERVER>20030228<LANGUAGE>ENG</SONRS></SIGNONMSGSRSV1>' \
  '<BANKMSGSRSV1><STMTTRNRS><TRNUID>1<STATUS><CODE>0<SEVERITY>INFO</STATUS><STMTRS><CURDEF>USD' \
  '<BANKACCTFROM><BANKID>1<ACCTID>2<ACCTTYPE>CHECKING</BANKACCTFROM><BANKTRANLIST><DTSTART>20030101<DTEND>20030228' \
  '<STMTTRN><TRNTYPE>POS<DTPOSTED>20030117120000[-5:EST]<TRNAMT>-23.50<FITID>1<NAME>CORNER GROCERY #123</STMTTRN>' \
  '<STMTTRN><TRNTYPE>CHECK<DTPOSTED>20030210<TRNAMT>-100.00<FITID>2<CHECKNUM>1043<NAME>CHECK 1043</STMTTRN>' \
  '<STMTTRN><TRNTYPE>INT<DTPOSTED>20030131<TRNAMT>0.42<FITID>3<NAME>Int'$'\xe9''r'$'\xea''ts</STMTTRN>' \
  '</BANKTRANLIST><LEDGERBAL><BALAMT>876.92<DTASOF>20030228</LEDGERBAL></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>' \
  >statement.qfx

failures=0
check() {  # check <what> <expected> <actual>
  if [ "$2" == "$3" ]; then echo "ok: $1"; else echo "FAIL: $1"; diff <(echo "$2") <(echo "$3") || true; failures=$((failures + 1)); fi
}
out=$(wine "$bin/checkbook-io.exe" import statement.qfx 2>&1 | tr -d '\r') || true
check "checkbook-io.exe imports the OFX statement" \
  "added 1, matched 2 (2 newly cleared), skipped 0 as duplicates, balance 876.92" "$out"
check "matched rows cleared, the new one added with its text in UTF-8" \
  "01/15/2003|0|Corner Grocery|23.5|0.0|1
01/16/2003|1043|City Water|100.0|0.0|1
01/31/2003|0|Intérêts|0.0|0.42|0" \
  "$(sqlite3 Ledger.dat 'SELECT mDate, mCheckNum, mPayee, mDebit, mCredit, mStatus FROM QLedger ORDER BY mTransID')"
out=$(wine "$bin/checkbook-io.exe" import statement.qfx 2>&1 | tr -d '\r') || true
check "the same statement again changes nothing" \
  "added 0, matched 2 (0 newly cleared), skipped 1 as duplicates, balance 876.92" "$out"
[ "$failures" -eq 0 ]
