#!/usr/bin/env bash
# Runs the checkbook in tmux as a person at a terminal would, with the
# keyboard alone, reads the screen back with capture-pane and checks what the
# program stored: the same session at 80 x 24, 100 x 30 and 120 x 40 stores
# the same, and a resize in the middle of typing loses nothing. Screens of the
# register, the account dialog and a message box at each size are kept in the
# artefact folder for a reviewer.
#
# Usage: checkbook_in_tmux.sh <checkbook executable> <artefact folder>
set -u
program=$1
artefacts=$2

for tool in tmux sqlite3; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "$tool is not installed: skipped"
    exit 77
  fi
done

work=$(mktemp -d)
round=0
socket="checkbook-test-$$-$round"
mkdir -p "$artefacts"
finish() {
  tmux -L "$socket" kill-server >/dev/null 2>&1
  rm -rf "$work"
}
trap finish EXIT

screen() { tmux -L "$socket" capture-pane -p -t main 2>/dev/null; }
keys() { tmux -L "$socket" send-keys -t main "$@"; }
type_text() { tmux -L "$socket" send-keys -t main -l "$1"; }
save() { screen >"$artefacts/$1"; }

fail() {
  echo "FAIL: $*"
  echo "--- the screen ---"
  screen
  exit 1
}

# Runs a check until it passes, for up to 10 seconds.
wait_for() {
  local what=$1
  shift
  local deadline=$((SECONDS + 10))
  while ((SECONDS <= deadline)); do
    "$@" && return 0
    sleep 0.05
  done
  fail "$what"
}
shown() { screen | grep -Eq -- "$1"; }
hidden() { ! shown "$1"; }
# The entry row is the row with the payee box's marker.
in_entry_row() { screen | grep '[▼▲]' | grep -Eq -- "$1"; }

changed() { [ "$(screen)" != "$1" ]; }

expect() { wait_for "never shown: $1" shown "$1"; }
expect_gone() { wait_for "still shown: $1" hidden "$1"; }
entry_row() { wait_for "not in the entry row: $1" in_entry_row "$1"; }

# Presses Tab until the screen matches, as a person tabs to a field.
tab_to() {
  local presses before
  for ((presses = 0; presses < 16; ++presses)); do
    shown "$1" && return 0
    before=$(screen)
    keys Tab
    wait_for "Tab changed nothing" changed "$before"
  done
  fail "no Tab reached: $1"
}

start() {  # folder columns rows
  tmux -L "$socket" -f /dev/null new-session -d -s main -x "$2" -y "$3" \
    "cd '$1' && env TERM=xterm-256color LANG=C.UTF-8 LC_ALL= '$program'; echo \"checkbook ended with \$?\"; sleep 600"
}

# The next session gets a server of its own: a new server on the socket of one
# still shutting down can be caught by it ("server exited unexpectedly").
stop_tmux() {
  tmux -L "$socket" kill-server >/dev/null 2>&1
  socket="checkbook-test-$$-$((++round))"
}

# ---- A person's session, the same at every size ----
session() {  # columns rows
local size="$1x$2" folder="$work/session-$1x$2"
mkdir "$folder"
start "$folder" "$1" "$2"
expect "Qarvo's Checkbook v1.01"
expect "Balanced Ammount"
save "register-empty-$size.txt"

# Setup > Account Details with the keyboard: the account is created.
keys M-s
expect "Account Details\.\.\."
keys a
expect "Account Information"
type_text "Household"
keys Tab
type_text "100"
keys Tab
type_text "Main account"
expect "║Main account"
save "account-dialog-$size.txt"
keys Enter
expect_gone "Account Information"
expect '\$ 100\.00'

# Two transactions typed into the entry row and added with Alt+N.
type_text "101"
keys Tab
type_text "01/15/2003"
keys Tab
type_text "Grocery Store"
keys Tab Tab
type_text "25.50"
keys M-n
expect "101 +01/15/2003 +Grocery Store +25\.50"
expect '\$ 74\.50'
entry_row "║101 +║│01/15/2003"  # the focus is back in the check number field
keys Tab
type_text "01/20/2003"
keys Tab
type_text "Salary"
keys Tab
type_text "500"
keys M-n
# The debit of the first one is still in its field: a message box says so.
expect "Enter either debit or credit"
save "message-box-$size.txt"
keys Enter
expect_gone "Enter either debit or credit"
keys BTab BTab
entry_row "║25\.50 +║"
keys BSpace
keys BTab BTab BTab BTab
entry_row "║101 +║"
keys BSpace
keys M-n
expect "01/20/2003 +Salary +500\.00"
expect '\$ 574\.50'
save "register-$size.txt"

# The arrow keys in the list select a line, which fills the entry row.
keys BTab
expect "╔═{20}"
keys Down
entry_row "101 +││01/15/2003 *││Grocery Store"
keys Down
entry_row "││Salary .*││500\.00"

# Balancing: mark with the keyboard, then finish.
keys M-b
expect "Finish.*Postpone"
keys BTab
expect "╔═{20}"
keys Up
expect "Grocery Store +25\.50 +B"
expect '\$ -25\.50'
save "register-balancing-$size.txt"
keys M-f
expect "Grocery Store +25\.50 +R"
expect_gone "Postpone"

# The account dialog has no owner: F6 moves to the register, whose commands
# run while the dialog stays open.
keys M-s
expect "Account Details\.\.\."
keys a
expect "Account Information"
expect "Account Name +║Household"
keys F6
expect "╔ ■ Qarvo's Checkbook"
keys M-s
expect "Hide Reconciled"
keys h
expect_gone "Grocery Store +25\.50 +R"
keys F6
expect "Account Information"
keys M-F4  # its close box: nothing is stored
expect_gone "Account Information"
keys M-s
expect "Hide Reconciled"
keys h
expect "Grocery Store +25\.50 +R"

# Record > Remove Reconciled asks first; OK removes the reconciled line.
keys M-r
expect "Remove Reconciled"
keys r
expect "Are you sure you want to permanetly remove"
keys Enter
expect_gone "Grocery Store +25\.50 +R"

# A remembered payee picked from the drop-down list.
tab_to "║Salary +▼║"
keys BSpace
type_text "Z"
keys F4
expect "│Grocery Store +│"
keys Down Enter
entry_row "║Grocery Store +▼║"
keys Tab BSpace Tab
type_text "10"
keys M-n
expect "01/20/2003 +Grocery Store +10\.00"
expect '\$ 564\.50'

# Record > Exit: "&Edit" and "&Exit" share their letter, so it takes two.
keys M-r
expect "Remove Reconciled"
keys e e Enter
expect "checkbook ended with 0"

ledger=$(sqlite3 "$folder/Ledger.dat" \
  "SELECT mDate, mCheckNum, mPayee, printf('%.2f', mDebit), printf('%.2f', mCredit), mStatus FROM QLedger ORDER BY mTransID;")
expected_ledger="01/20/2003|0|Salary|0.00|500.00|0
01/20/2003|0|Grocery Store|10.00|0.00|0"
[ "$ledger" = "$expected_ledger" ] || { echo "FAIL: at $size QLedger holds"; echo "$ledger"; exit 1; }
account=$(sqlite3 "$folder/Ledger.dat" \
  "SELECT mBankName, mBankAccN, printf('%.2f', mInitialBalance), printf('%.2f', mAccBalance) FROM QAccounts;")
[ "$account" = "Household|Main account|100.00|564.50" ] || { echo "FAIL: at $size QAccounts holds $account"; exit 1; }
grep -q "^Payee_2=Salary" "$folder/RErivaRude.ini" || { echo "FAIL: at $size the payees were not kept"; exit 1; }
stop_tmux
}

for size in "80 24" "100 30" "120 40"; do
  session $size
done

# ---- Keyboard sequences where Windows' dialog manager has rules of its own ----
# The same files drive the Windows build under wine (tests/windows/dialog_keys_session.sh)
# and hold the result both must store.
sequences="$(dirname "$0")/../support/dialog_keys"
press() {  # an xdotool key name, sent as xterm sends it
  case $1 in
    alt+*) keys "M-${1#alt+}" ;;
    shift+Tab) keys BTab ;;
    shift+Home) keys S-Home ;;
    End) keys -l $'\eOF' ;;  # tmux's own End is not xterm's
    Return) keys Enter ;;
    BackSpace) keys BSpace ;;
    *) keys "$1" ;;
  esac
}
type_keys() {  # file of steps (tests/support/dialog_keys/README.md)
  local line verb rest key
  while IFS= read -r line; do
    case $line in '' | '#'*) continue ;; esac
    verb=${line%% *} rest=${line#* }
    case $verb in
      keys) for key in $rest; do press "$key"; done ;;
      type) type_text "$rest" ;;
      field) for key in End shift+Home BackSpace; do press "$key"; done; type_text "$rest" ;;
      wait) expect "$rest" ;;
      gone) expect_gone "$rest" ;;
      *) fail "$1: cannot read: $line" ;;
    esac
  done <"$1"
}
for keys_file in "$sequences"/*.keys; do
  name=$(basename "$keys_file" .keys)
  [ "$name" = account ] && continue
  mkdir "$work/$name"
  start "$work/$name" 120 40
  expect "Qarvo's Checkbook v1.01"
  type_keys "$sequences/account.keys"
  type_keys "$keys_file"
  save "keys-$name.txt"
  keys M-F4
  expect "checkbook ended with 0"
  stored=$(sqlite3 "$work/$name/Ledger.dat" <"$sequences/ledger.sql")
  if [ "$stored" != "$(cat "$sequences/$name.expected")" ]; then
    echo "FAIL: after $name.keys Ledger.dat holds"
    echo "$stored"
    exit 1
  fi
  stop_tmux
done

# ---- A resize in the middle of typing a transaction loses nothing ----
mkdir "$work/resize"
start "$work/resize" 120 40
expect "Qarvo's Checkbook v1.01"
keys M-s
expect "Account Details\.\.\."
keys a
expect "Account Information"
type_text "Household"
keys Enter
expect_gone "Account Information"
type_text "102"
keys Tab
type_text "02/0"
entry_row "║02/0 +║"
tmux -L "$socket" resize-window -t main -x 80 -y 24
expect "^╔ ■ Qarvo's Checkbook"  # the 80 columns are the window's own
entry_row "│102 +│║02/0 +║"
type_text "3/2003"
keys Tab
type_text "Rent"
entry_row "║Rent +▼║"
save register-resized-80x24.txt
tmux -L "$socket" resize-window -t main -x 120 -y 40
expect "^     ╔ ■ Qarvo's Checkbook"
entry_row "│102 +││02/03/2003 +│║Rent +▼║"
keys Tab Tab
type_text "75"
keys M-n
expect "102 +02/03/2003 +Rent +75\.00"
expect '\$ -75\.00'
keys C-c
expect "checkbook ended with 0"
ledger=$(sqlite3 "$work/resize/Ledger.dat" \
  "SELECT mDate, mCheckNum, mPayee, printf('%.2f', mDebit), printf('%.2f', mCredit) FROM QLedger;")
[ "$ledger" = "02/03/2003|102|Rent|75.00|0.00" ] || { echo "FAIL: after the resizes QLedger holds $ledger"; exit 1; }
stop_tmux

# ---- A terminal too small, then resized; Ctrl+C closes as the close box would ----
mkdir "$work/small"
start "$work/small" 60 20
expect "this window needs at"
expect "least [0-9]+ x [0-9]+"
expect "The terminal is 60 x 20"
save too-small.txt
tmux -L "$socket" resize-window -t main -x 80 -y 24
expect "Qarvo's Checkbook v1.01"
keys C-c
expect "checkbook ended with 0"
grep -q "^HideRec=0" "$work/small/RErivaRude.ini" || { echo "FAIL: Ctrl+C did not shut down in order"; exit 1; }
stop_tmux

# ---- A crash signal gives the terminal back in the state it was found ----
mkdir "$work/crash"
tmux -L "$socket" -f /dev/null new-session -d -s main -x 110 -y 36 \
  "cd '$work/crash' && sh -c 'echo \$\$ >pid; exec env TERM=xterm-256color LANG=C.UTF-8 LC_ALL= \"$program\"'; echo \"checkbook ended with \$?\"; stty -a | grep -o -- '-*icanon' | sed 's/^/terminal mode: /'; sleep 600"
expect "Qarvo's Checkbook v1.01"
kill -SEGV "$(cat "$work/crash/pid")"
expect "checkbook ended with 139"
expect "terminal mode: icanon"
expect_gone "Qarvo's Checkbook"
stop_tmux

echo "PASS: screens saved in $artefacts"
