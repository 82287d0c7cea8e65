#!/usr/bin/env bash
# A statement imported in the terminal: Record > Import Statement opens the
# layer's file dialog, a folder is entered from the list and the file's name
# typed, the preview is read and taken. The screens of the dialog and the
# preview are kept in the artefact folder.
# Usage: import_in_tmux.sh <checkbook executable> <artefact folder>
set -u
program=$(realpath "$1")
artefacts=$2
for tool in tmux sqlite3; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$tool is not installed: skipped"; exit 77; }
done
work=$(mktemp -d)
socket="checkbook-import-$$"
mkdir -p "$artefacts"
finish() {
  tmux -L "$socket" kill-server >/dev/null 2>&1
  rm -rf "$work"
}
trap finish EXIT
screen() { tmux -L "$socket" capture-pane -p -t main 2>/dev/null; }
keys() { tmux -L "$socket" send-keys -t main "$@"; }
type_text() { tmux -L "$socket" send-keys -t main -l "$1"; }
fail() {
  echo "FAIL: $*"
  echo "--- the screen ---"
  screen
  exit 1
}
wait_for() {  # wait_for <what> <extended regex on the screen>
  local deadline=$((SECONDS + 10))
  while ((SECONDS <= deadline)); do
    screen | grep -Eq -- "$2" && return 0
    sleep 0.05
  done
  fail "$1"
}

data=$work/data
mkdir -p "$data/statements"
sqlite3 "$data/Ledger.dat" <<'SQL'
CREATE TABLE QLedger (mTransID INTEGER PRIMARY KEY,mDate VARCHAR(20),mCheckNum INTEGER,mPayee VARCHAR(80),mDebit FLOAT,mCredit FLOAT,mAccID INTEGER,mStatus INTEGER);
CREATE TABLE QAccounts (mAccID INTEGER PRIMARY KEY,mAccBalance FLOAT,mLastBalResult FLOAT,mViewMode INTEGER,mBankName VARCHAR(40) UNIQUE,mBankAccN VARCHAR(40),mLastBalance VARCHAR(20), mInitialBalance FLOAT, mPostAmmount FLOAT,mEndStatement FLOAT, mStatementDate VARCHAR(20));
INSERT INTO QAccounts VALUES (NULL, 176.50, 0, 0, 'Household', NULL, NULL, 200.00, 0, 0, NULL);
INSERT INTO QLedger VALUES (NULL, '01/15/2003', 0, 'Corner Grocery', 23.50, 0, 1, 0);
SQL
printf 'Date,Description,Amount,Balance\n01/17/2003,CORNER GROCERY #123,-23.50,176.50\n01/31/2003,INTEREST PAYMENT,0.42,176.92\n' \
  >"$data/statements/march.csv"

tmux -L "$socket" -f /dev/null new-session -d -s main -x 100 -y 30 \
  "cd '$data' && env TERM=xterm-256color LANG=C.UTF-8 LC_ALL= '$program'; echo \"checkbook ended with \$?\"; sleep 600"
wait_for "the register shows" "Corner Grocery"
keys M-r
keys i
wait_for "the file dialog shows its File name field" "File name:"
wait_for "the dialog starts in the data folder and lists its folder" "\\[statements\\]"
# Down the list past [..] to the folder, Enter goes into it; then the name is typed.
keys Tab Down Down Enter
wait_for "the dialog went into the folder" "march\\.csv"
screen >"$artefacts/terminal-import-dialog.txt"
keys S-Tab
type_text "march.csv"
keys Enter
wait_for "the preview shows the dry run" "Matched: 1 \\(1 newly cleared\\)"
wait_for "the preview shows the statement's closing balance" "closing balance: \\$ 176\\.92"
screen >"$artefacts/terminal-import-preview.txt"
keys Enter
wait_for "the imported row is listed" "INTEREST PAYMENT"
rows=$(sqlite3 "$data/Ledger.dat" "SELECT mPayee || '|' || mStatus FROM QLedger ORDER BY mTransID")
[ "$rows" == $'Corner Grocery|1\nINTEREST PAYMENT|0' ] || fail "the ledger holds: $rows"
ls "$data"/Backups/Ledger-*.dat >/dev/null 2>&1 || fail "no backup was kept"
echo "import in the terminal: all checks passed"
