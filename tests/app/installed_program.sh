#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the program through its
# bin/ link from another folder: the engine must be found beside the real
# program, and the data must land in the folder it is started in.
# Usage: installed_program.sh BUILD_DIR
set -euo pipefail
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
cmake --install "$1" --prefix "$root/usr" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
[ "$(readlink "$root/usr/bin/checkbook")" = ../lib/checkbook/checkbook ] || fail "bin/checkbook is not a relative link"
for f in lib/checkbook/checkbook lib/checkbook/REDivizud.DLL share/man/man1/checkbook.1.gz; do
  [ -f "$root/usr/$f" ] || fail "$f is not installed"
done

mkdir "$root/data"
cd "$root/data"
printf 'menu 40001\ntype 1013 Savings\ntype 1014 12.5\nclick 1\n' | "$root/usr/bin/checkbook" > output.txt 2>&1 \
  || fail "exit status $?: $(cat output.txt)"
! grep -q messagebox output.txt || fail "$(cat output.txt)"
[ "$(sqlite3 Ledger.dat 'SELECT mBankName, mAccBalance FROM QAccounts')" = "Savings|12.5" ] || fail "no account saved"
