# Sourced by the import sessions: a register kept by hand (an opening 200.00,
# two rows the bank has booked) and the bank's March statement of them, with
# one new row and its closing balance.
hand_kept_register() {  # <data folder>
  sqlite3 "$1/Ledger.dat" <<'SQL'
CREATE TABLE QLedger (mTransID INTEGER PRIMARY KEY,mDate VARCHAR(20),mCheckNum INTEGER,mPayee VARCHAR(80),mDebit FLOAT,mCredit FLOAT,mAccID INTEGER,mStatus INTEGER);
CREATE TABLE QAccounts (mAccID INTEGER PRIMARY KEY,mAccBalance FLOAT,mLastBalResult FLOAT,mViewMode INTEGER,mBankName VARCHAR(40) UNIQUE,mBankAccN VARCHAR(40),mLastBalance VARCHAR(20), mInitialBalance FLOAT, mPostAmmount FLOAT,mEndStatement FLOAT, mStatementDate VARCHAR(20));
INSERT INTO QAccounts VALUES (NULL, 76.50, 0, 0, 'Household', NULL, NULL, 200.00, 0, 0, NULL);
INSERT INTO QLedger VALUES (NULL, '01/15/2003', 0, 'Corner Grocery', 23.50, 0, 1, 0);
INSERT INTO QLedger VALUES (NULL, '01/16/2003', 1043, 'City Water', 100.00, 0, 1, 0);
SQL
}

march_statement() {  # <file>
  cat >"$1" <<'OFX'
<OFX><BANKMSGSRSV1><STMTTRNRS><STMTRS><BANKTRANLIST>
<STMTTRN><TRNTYPE>POS<DTPOSTED>20030117<TRNAMT>-23.50<FITID>a1<NAME>CORNER GROCERY #123</STMTTRN>
<STMTTRN><TRNTYPE>CHECK<DTPOSTED>20030210<TRNAMT>-100.00<FITID>a2<CHECKNUM>1043<NAME>CHECK 1043</STMTTRN>
<STMTTRN><TRNTYPE>INT<DTPOSTED>20030131<TRNAMT>0.42<FITID>a3<NAME>INTEREST PAYMENT</STMTTRN>
</BANKTRANLIST><LEDGERBAL><BALAMT>76.92<DTASOF>20030228</LEDGERBAL></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>
OFX
}
