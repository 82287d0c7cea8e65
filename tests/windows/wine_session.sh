#!/usr/bin/env bash
# A person's session with the Windows program on the real Win32 user interface:
# wine on a virtual X display, driven by the keyboard through xdotool. Then the
# files it leaves are checked byte for byte, and the ways start-up can fail.
# Usage: tests/windows/wine_session.sh <folder with checkbook.exe> <folder for screenshots>
set -euo pipefail
bin=$(realpath "$1")
artefacts=$(realpath -m "$2")
mkdir -p "$artefacts"

work=$(mktemp -d)
. "$(dirname "$0")/../support/x_session.sh"
start_wine "$(dirname "$bin")/wineprefix"

register="Qarvo's Checkbook v1.01"

echo "== a session: account, transactions, a refused entry, balancing, hide reconciled, report, exit =="
data=$work/data
mkdir -p "$data"
(cd "$data" && exec wine "$bin/checkbook.exe" >/dev/null 2>&1) &
program=$!
main=$(window "$register") || { fail "the register window never opened"; exit 1; }
xdotool windowfocus --sync "$main"
shot "$main" register-empty

keys alt+s a
dialog=$(window "Account Information") || { fail "Setup > Account Details opened no dialog"; exit 1; }
type_text "Household"; keys Tab
type_text "100.00"; keys Tab
type_text "Main account"
shot "$dialog" account-dialog
keys Tab Return
gone "Account Information" || fail "the account dialog did not close"

transaction 101 12/01/2026 Grocer "" 25.50
transaction "" 12/02/2026 Employer 1000.00 25.50
shot "$main" register-two-amounts
message=$(window "Data Entry") || fail "both amounts were taken without a message"
[ -n "${message:-}" ] && shot "$message" message-both-amounts
keys Return
gone "Data Entry" || fail "the message did not close"
# Back into the debit field with the mouse, as a person would: emptied, it is taken.
xdotool mousemove --window "$main" 555 56 click 1
sleep 0.3
field ""; keys alt+n
sleep 0.5
transaction 102 12/03/2026 "Power Co" "" 60
shot "$main" register-three-transactions

# Balance, mark the first two lines (Tab over Postpone into the list), Finish.
keys alt+b Tab Tab Down Down
shot "$main" register-balancing
keys alt+f
keys alt+s h  # hide reconciled
keys alt+r p  # the report
shot "$main" register-hidden
keys alt+r Up Return  # "&Edit" and "&Exit" share their letter: Exit is the last item
wait_exit "$program"
check "exit code after Record > Exit" 0 "$exited"

check "transactions in Ledger.dat" \
"101|12/01/2026|Grocer|0.00|25.50|2
0|12/02/2026|Employer|1000.00|0.00|2
102|12/03/2026|Power Co|0.00|60.00|0" \
  "$(sqlite3 "$data/Ledger.dat" "SELECT mCheckNum, mDate, mPayee, printf('%.2f', mCredit), printf('%.2f', mDebit),
     mStatus FROM QLedger ORDER BY mDate")"
check "account in Ledger.dat" "Household|Main account|100.00|1014.50" \
  "$(sqlite3 "$data/Ledger.dat" "SELECT mBankName, mBankAccN, printf('%.2f', mInitialBalance),
     printf('%.2f', mAccBalance) FROM QAccounts")"
check "integrity of Ledger.dat" ok "$(sqlite3 "$data/Ledger.dat" "PRAGMA integrity_check")"
check "RErivaRude.ini bytes" \
  "$(printf '[RErivaRude_100]\r\nNumPayees=3\r\nPayee_1=Grocer\r\nPayee_2=Employer\r\nPayee_3=Power Co\r\nHideRec=1\r\n' | od -c)" \
  "$(od -c <"$data/RErivaRude.ini")"
{
  printf '\r\nRErivarude v 1.01\r\n ##   Date        Description                           Credit  Debit St\r\n'
  printf -- '-%.0s' $(seq 74)
  printf '\r\n%5d %-10s  %-38s  %8s%-4.2f    \r\n' 102 12/03/2026 "Power Co" "" 60
} >"$work/Report.expected"
check "Report.txt bytes (reconciled rows hidden, CR LF)" "$(od -c <"$work/Report.expected")" \
  "$(od -c <"$data/Report.txt" 2>&1)"

echo "== start-up failures =="
alone=$work/alone
mkdir -p "$alone"
cp "$bin/checkbook.exe" "$alone/"
# starts checkbook.exe from <program folder> in <data folder>, expects a box
# with <caption>, answers it and gives the exit code.
refused() {
  (cd "$2" && exec wine "$1/checkbook.exe" >/dev/null 2>&1) &
  local pid=$! box
  if box=$(window "$3"); then
    shot "$box" "$4" >&2
    xdotool windowfocus --sync "$box" 2>/dev/null || true
    keys Return
  else
    fail "no \"$3\" box"
    kill "$pid" 2>/dev/null || true
  fi
  wait_exit "$pid"
  echo "$exited"
}
empty=$work/empty
mkdir -p "$empty"
check "no engine beside the program: exit code" 0 "$(refused "$alone" "$empty" Error no-engine)"
check "no engine beside the program: nothing written" "" "$(ls -A "$empty")"

planted=$work/planted
mkdir -p "$planted"
cp "$bin/REDivizud.DLL" "$planted/"
check "an engine only in the data folder is not loaded: exit code" 0 \
  "$(refused "$alone" "$planted" Error engine-in-data-folder)"
check "an engine only in the data folder: nothing written" "REDivizud.DLL" "$(ls -A "$planted")"

broken=$work/broken
mkdir -p "$broken"
printf 'these are not the accounts you are looking for\n' >"$broken/Ledger.dat"
check "a Ledger.dat that is no database: exit code" 1 "$(refused "$bin" "$broken" RErivarude not-a-database)"
check "a Ledger.dat that is no database: left as it was, no settings written" \
  "Ledger.dat: these are not the accounts you are looking for" \
  "$(ls -A "$broken"): $(cat "$broken/Ledger.dat")"

verdict "wine session"
