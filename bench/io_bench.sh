#!/usr/bin/env bash
# Times checkbook-io on 100,000 transactions: the import into a fresh ledger,
# the same file again (all duplicates), the bank's statement of them (all
# matched), and the CSV and QIF exports.
# Usage: bench/io_bench.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
io=$PWD/$build/bin/checkbook-io
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
sqlite3 Ledger.dat "CREATE TABLE QLedger (mTransID INTEGER PRIMARY KEY,mDate VARCHAR(20),mCheckNum INTEGER,mPayee VARCHAR(80),mDebit FLOAT,mCredit FLOAT,mAccID INTEGER,mStatus INTEGER);
CREATE TABLE QAccounts (mAccID INTEGER PRIMARY KEY,mAccBalance FLOAT,mLastBalResult FLOAT,mViewMode INTEGER,mBankName VARCHAR(40) UNIQUE,mBankAccN VARCHAR(40),mLastBalance VARCHAR(20), mInitialBalance FLOAT, mPostAmmount FLOAT,mEndStatement FLOAT, mStatementDate VARCHAR(20));
INSERT INTO QAccounts VALUES (NULL, 250.00, 0.00, 0, 'Bench', NULL, NULL, 250.00, 0.00, 0.00, NULL);"
awk 'BEGIN { print "date,payee,amount,check"; srand(1);
  for (i = 0; i < 100000; i++)
    printf "2003-%02d-%02d,Payee %d,%.2f,%d\n", i % 12 + 1, i % 28 + 1, i, (i % 2 ? 1 : -1) * int(1 + rand() * 20000) / 100, i % 500 }' >big.csv
timed() { local label=$1; shift; local start end; start=$(date +%s.%N); "$@" >/dev/null; end=$(date +%s.%N);
  printf '%-28s %.2f s\n' "$label" "$(echo "$end - $start" | bc)"; }
timed "import 100000 (CSV)" "$io" import big.csv
timed "import again (duplicates)" "$io" import big.csv
# The bank's statement of the same transactions: its own payee text, booked two days apart.
awk -F, 'NR == 1 { print; next } { split($1, d, "-"); printf "%s-%s-%02d,%s #BANK,%s,%s\n", d[1], d[2], (d[3] > 26 ? d[3] - 2 : d[3] + 2), toupper($2), $3, $4 }' \
  big.csv >statement.csv
timed "import statement (matches)" "$io" import statement.csv
"$io" import --dry-run statement.csv | tail -1
timed "export 100000 (CSV)" "$io" export out.csv
timed "export 100000 (QIF)" "$io" export out.qif
"$io" export out.csv
