#!/usr/bin/env bash
# The Windows program in folders named in several scripts, with UTF-8 as its
# code page: a session entering accented and Chinese text, then Ledger.dat,
# RErivaRude.ini, Report.txt and checkbook-io's files checked byte for byte as
# UTF-8, the preference read back after a restart, the lock, and a ledger and
# settings file an older build left in Windows-1252 read right.
# Usage: tests/windows/wine_utf8_session.sh <folder with checkbook.exe> <folder for screenshots>
set -euo pipefail
bin=$(realpath "$1")
artefacts=$(realpath -m "$2")
mkdir -p "$artefacts"

# Arguments reach the Windows programs as UTF-8.
export LANG=C.UTF-8
work=$(mktemp -d)
. "$(dirname "$0")/../support/x_session.sh"
start_wine "$(dirname "$bin")/wineprefix"

# Text outside the keyboard's layout is pasted, as wine maps keys for such
# characters unreliably; the rest is typed.
enter_text() {
  if LC_ALL=C grep -q '[^ -~]' <<<"$1"; then
    printf '%s' "$1" | xclip -selection clipboard
    sleep 0.3
    keys ctrl+v
  else
    xdotool type --delay 50 "$1"
    sleep 0.2
  fi
}
field() {
  keys End shift+Home BackSpace
  [ -z "$1" ] || enter_text "$1"
}
hex() { od -An -tx1 | tr -d ' \n'; }
io() { wine "$programs/checkbook-io.exe" "$@"; }

register="Qarvo's Checkbook v1.01"
# The program itself in such a folder too: its engine is found beside it.
programs="$work/Program Zoë Łódź 東京"
data="$work/Zoë Łódź 東京"
mkdir -p "$programs" "$data"
cp "$bin/checkbook.exe" "$bin/checkbook-io.exe" "$bin/REDivizud.DLL" "$programs/"
start() { (cd "$1" && exec wine "$programs/checkbook.exe" >/dev/null 2>&1) & }

echo "== a session in \"$(basename "$data")\": accented and Chinese text, balancing, hide reconciled, report =="
start "$data"
program=$!
main=$(window "$register") || { fail "the register window never opened"; exit 1; }
xdotool windowfocus --sync "$main"
keys alt+s a
window "Account Information" >/dev/null || { fail "Setup > Account Details opened no dialog"; exit 1; }
enter_text "Crédit Łódź"; keys Tab
enter_text "100.00"; keys Tab
enter_text "Zoë's"
keys Tab Return
gone "Account Information" || fail "the account dialog did not close"
transaction 101 12/01/2026 "Café Zoë 東京" "" 5
transaction 102 12/02/2026 "Ωmega Ärzte" 6 ""
shot "$main" utf8-register
keys alt+b Tab Tab Down  # mark the first line
keys alt+f
keys alt+s h
keys alt+r p
keys alt+r Up Return
wait_exit "$program"
check "exit code" 0 "$exited"

check "transactions in Ledger.dat, as UTF-8" \
"101|12/01/2026|$(printf 'Café Zoë 東京' | hex)|2
102|12/02/2026|$(printf 'Ωmega Ärzte' | hex)|0" \
  "$(sqlite3 "$data/Ledger.dat" "SELECT mCheckNum, mDate, lower(hex(mPayee)), mStatus FROM QLedger ORDER BY mDate")"
check "account in Ledger.dat, as UTF-8" "$(printf 'Crédit Łódź' | hex)|$(printf "Zoë's" | hex)" \
  "$(sqlite3 "$data/Ledger.dat" "SELECT lower(hex(mBankName)), lower(hex(mBankAccN)) FROM QAccounts")"
ini=$(printf '[RErivaRude_100]\r\nNumPayees=2\r\nPayee_1=Café Zoë 東京\r\nPayee_2=Ωmega Ärzte\r\nHideRec=1\r\n' | hex)
check "RErivaRude.ini bytes" "$ini" "$(hex <"$data/RErivaRude.ini")"
# The payee fills 38 columns: its 11 characters and 27 spaces.
report() {
  printf '\r\nRErivarude v 1.01\r\n ##   Date        Description                           Credit  Debit St\r\n'
  printf -- '-%.0s' $(seq 74)
  printf '\r\n%5d %-10s  %s%27s  %4.2f  %8s  \r\n' 102 12/02/2026 "Ωmega Ärzte" "" 6 ""
}
check "Report.txt bytes (reconciled row hidden)" "$(report | hex)" "$(hex <"$data/Report.txt")"

echo "== checkbook-io in that folder =="
csv='Check,Date,Payee,Credit,Debit,Status\r\n101,12/01/2026,Café Zoë 東京,,5.00,R\r\n102,12/02/2026,Ωmega Ärzte,6.00,,\r\n'
(cd "$data" && io export "Ausgabe Łódź.csv" >/dev/null 2>&1) || fail "checkbook-io export failed"
check "exported CSV bytes" "$(printf "$csv" | hex)" "$(hex <"$data/Ausgabe Łódź.csv")"
(cd "$data" && io export --bom excel.csv >/dev/null 2>&1) || fail "checkbook-io export --bom failed"
check "exported CSV for Excel: the mark, then the same" "efbbbf$(printf "$csv" | hex)" "$(hex <"$data/excel.csv")"

echo "== restart there: the preference is read back; the lock holds =="
rm "$data/Report.txt"
start "$data"
program=$!
main=$(window "$register") || { fail "the register window did not open again"; exit 1; }
xdotool windowfocus --sync "$main"
status=0
(cd "$data" && io export again.csv >/dev/null 2>"$work/locked") || status=$?
check "checkbook-io refused while the register has the ledger" 1 "$status"
keys alt+r p
keys alt+r Up Return
wait_exit "$program"
check "exit code after the restart" 0 "$exited"
check "Report.txt after the restart still hides the reconciled row" "$(report | hex)" "$(hex <"$data/Report.txt")"
check "RErivaRude.ini unchanged by the restart" "$ini" "$(hex <"$data/RErivaRude.ini")"

echo "== a ledger and settings file an older build left in Windows-1252 =="
old=$work/Ancien
mkdir -p "$old"
sqlite3 "$old/Ledger.dat" "
  CREATE TABLE QLedger (mTransID INTEGER PRIMARY KEY,mDate VARCHAR(20),mCheckNum INTEGER,mPayee VARCHAR(80),
    mDebit FLOAT,mCredit FLOAT,mAccID INTEGER,mStatus INTEGER);
  CREATE TABLE QAccounts (mAccID INTEGER PRIMARY KEY,mAccBalance FLOAT,mLastBalResult FLOAT,mViewMode INTEGER,
    mBankName VARCHAR(40) UNIQUE,mBankAccN VARCHAR(40),mLastBalance VARCHAR(20), mInitialBalance FLOAT,
    mPostAmmount FLOAT,mEndStatement FLOAT, mStatementDate VARCHAR(20));
  INSERT INTO QAccounts VALUES (NULL, 95, 0, 0, CAST(X'4372E9646974' AS TEXT), NULL, NULL, 100, 0, 0, NULL);
  INSERT INTO QLedger VALUES (NULL, '12/01/2026', 0, CAST(X'436166E9205A6FEB' AS TEXT), 5, 0, 1, 0);"
printf '[RErivaRude_100]\r\nNumPayees=1\r\nPayee_1=Caf\xe9 Zo\xeb\r\nHideRec=0\r\n' >"$old/RErivaRude.ini"
(cd "$old" && io export old.csv >/dev/null 2>&1) || fail "checkbook-io export of the old ledger failed"
check "the old row exported as UTF-8" \
  "$(printf 'Check,Date,Payee,Credit,Debit,Status\r\n,12/01/2026,Café Zoë,,5.00,\r\n' | hex)" "$(hex <"$old/old.csv")"
start "$old"
program=$!
main=$(window "$register") || { fail "the register did not open the old ledger"; exit 1; }
xdotool windowfocus --sync "$main"
shot "$main" utf8-old-ledger
keys alt+r p
keys alt+r Up Return
wait_exit "$program"
check "exit code with the old ledger" 0 "$exited"
check "the old row reported as UTF-8" \
  "$(printf '      %-10s  %s%30s  %8s%-4.2f    \r\n' 12/01/2026 'Café Zoë' '' '' 5 | hex)" \
  "$(tail -n 1 "$old/Report.txt" | hex)"
check "the old payee written back as UTF-8 with the settings" \
  "$(printf '[RErivaRude_100]\r\nNumPayees=1\r\nPayee_1=Café Zoë\r\nHideRec=0\r\n' | hex)" \
  "$(hex <"$old/RErivaRude.ini")"
check "the old row itself left as it was" "436166e9205a6feb" \
  "$(sqlite3 "$old/Ledger.dat" "SELECT lower(hex(mPayee)) FROM QLedger")"

echo "== checkbook-io import --encoding =="
printf '!Type:Bank\nD12/03/2026\nT-7.00\nPB\xe4ckerei M\xfcller\n^\n' >"$data/Bäckerei.qif"
status=0
(cd "$data" && io import "Bäckerei.qif" >/dev/null 2>"$work/refused") || status=$?
check "a Windows-1252 statement without --encoding: refused" 1 "$status"
grep -q -- "--encoding windows-1252" "$work/refused" ||
  fail "the refusal does not name --encoding: $(cat "$work/refused")"
(cd "$data" && io import --encoding windows-1252 "Bäckerei.qif" >/dev/null 2>&1) ||
  fail "import --encoding windows-1252 failed"
check "the statement's payee stored as UTF-8" "$(printf 'Bäckerei Müller' | hex)" \
  "$(sqlite3 "$data/Ledger.dat" "SELECT lower(hex(mPayee)) FROM QLedger WHERE mDate = '12/03/2026'")"

verdict "wine UTF-8 session"
