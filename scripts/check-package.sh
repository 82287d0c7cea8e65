#!/usr/bin/env bash
# Builds the Debian package, installs it with dpkg, runs the installed
# program as a user would (a script in a fresh folder, --help, --version, a
# bad option) and purges the package again, also when a check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/package.sh
deb=$(ls build-package/checkbook_*.deb)
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"

fail() { echo "package check failed: $*" >&2; exit 1; }

bash scripts/setup.sh lintian desktop-file-utils appstream binutils

# Debian's own checker: no error and no warning (the maintainer address is a
# placeholder it accepts; README says so).
lintian_status=0
lintian_report=$(lintian --fail-on error,warning "$deb" 2>&1) || lintian_status=$?
[ "$lintian_status" -eq 0 ] && ! grep -Eq '^[EW]: ' <<<"$lintian_report" || fail "lintian: $lintian_report"

# Hardened as Debian builds: bound at start (BIND_NOW) and fortified functions.
staged=$(mktemp -d)
dpkg-deb -x "$deb" "$staged"
# (Each readelf is read whole first: grep -q stopping early would fail the pipe.)
for binary in usr/lib/checkbook/checkbook usr/lib/checkbook/checkbook-io usr/lib/checkbook/REDivizud.DLL \
              usr/lib/checkbook/checkbook-gtk.so; do
  dynamic=$(readelf -d "$staged/$binary")
  grep -Eq 'BIND_NOW|FLAGS_1.*NOW' <<<"$dynamic" || fail "$binary is not linked with -z now"
  headers=$(readelf -lW "$staged/$binary")
  grep -q GNU_RELRO <<<"$headers" || fail "$binary has no read-only relocations"
done
symbols=$(readelf -sW --dyn-syms "$staged/usr/lib/checkbook/checkbook")
grep -Eq '__[a-z]+_chk@' <<<"$symbols" || fail "the program calls no fortified function: built without _FORTIFY_SOURCE"

# The desktop: the menu entry, the metainfo, the icons.
desktop-file-validate "$staged/usr/share/applications/net.qarvo.checkbook.desktop" ||
  fail "desktop-file-validate refused the desktop entry"
grep -q '^Exec=checkbook --desktop$' "$staged/usr/share/applications/net.qarvo.checkbook.desktop" ||
  fail "the desktop entry does not start the window with the documents folder"
grep -q '^StartupWMClass=net.qarvo.checkbook$' "$staged/usr/share/applications/net.qarvo.checkbook.desktop" ||
  fail "the desktop entry does not name the windows' class, so docks cannot match them to it"
appstreamcli validate --no-net "$staged/usr/share/metainfo/net.qarvo.checkbook.metainfo.xml" ||
  fail "appstreamcli refused the metainfo"
for size in 16 24 32 48 64 128 256; do
  file "$staged/usr/share/icons/hicolor/${size}x${size}/apps/checkbook.png" | grep -q "PNG image data, $size x $size" ||
    fail "no ${size}x${size} icon"
done
[ -s "$staged/usr/share/doc/checkbook/copyright" ] && [ -s "$staged/usr/share/doc/checkbook/changelog.gz" ] ||
  fail "no copyright file or changelog"
rm -rf "$staged"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libsqlite3-0 libncursesw6 libgtk-4-1; do
  [[ "$depends" == *"$lib"* ]] || fail "the dependency scan did not find $lib"
done

folder=$(mktemp -d)
cleanup() {
  rm -rf "$folder"
  $sudo_cmd dpkg -P checkbook >/dev/null 2>&1 || true
}
trap cleanup EXIT
$sudo_cmd dpkg -i "$deb"

[ "$(readlink /usr/bin/checkbook)" = ../lib/checkbook/checkbook ] || fail "/usr/bin/checkbook is not the link"
[ -f /usr/lib/checkbook/REDivizud.DLL ] || fail "the engine is not beside the program"
[ -f /usr/lib/checkbook/checkbook-gtk.so ] || fail "the desktop front end is not beside the program"
# The desktop's libraries come with the front end's module, never with the program.
linked=$(ldd /usr/lib/checkbook/checkbook)
! grep -Eq 'libgtk|libglib' <<<"$linked" || fail "the program links the desktop's libraries: $linked"
zcat /usr/share/man/man1/checkbook.1.gz | grep -q '^\.SH EXIT STATUS' || fail "the manual page is missing"

# An account and a transaction, by script, in a folder of the user's.
(cd "$folder" && /usr/bin/checkbook > output.txt 2>&1 <<'SCRIPT'
menu 40001
type 1013 Household
type 1014 100
click 1
type 1006 01/15/2003
type 1002 Rent
type 1005 45.50
click 1008
SCRIPT
) || fail "the scripted run ended with status $?"
grep -q messagebox "$folder/output.txt" && fail "a message box: $(cat "$folder/output.txt")"
accounts=$(sqlite3 "$folder/Ledger.dat" 'SELECT mBankName, mInitialBalance, mAccBalance FROM QAccounts')
ledger=$(sqlite3 "$folder/Ledger.dat" 'SELECT mDate, mPayee, mDebit, mCredit, mAccID FROM QLedger')
[ "$accounts" = "Household|100.0|54.5" ] || fail "QAccounts holds '$accounts'"
[ "$ledger" = "01/15/2003|Rent|45.5|0.0|1" ] || fail "QLedger holds '$ledger'"
[ -f "$folder/RErivaRude.ini" ] || fail "no settings file in the folder"

# checkbook-io on the same ledger: exported, then a statement imported.
[ "$(readlink /usr/bin/checkbook-io)" = ../lib/checkbook/checkbook-io ] || fail "/usr/bin/checkbook-io is not the link"
zcat /usr/share/man/man1/checkbook-io.1.gz | grep -q '^\.SH EXIT STATUS' || fail "checkbook-io's manual page is missing"
(cd "$folder" && /usr/bin/checkbook-io export out.csv >/dev/null) || fail "checkbook-io export ended with status $?"
[ "$(sed -n 2p "$folder/out.csv")" = $',01/15/2003,Rent,,45.50,\r' ] || fail "the export holds '$(cat "$folder/out.csv")'"
printf '!Type:Bank\nD01/20/2003\nT250.00\nPSalary\n^\n' > "$folder/in.qif"
summary=$(cd "$folder" && /usr/bin/checkbook-io import in.qif) || fail "checkbook-io import ended with status $?"
[ "$summary" = "added 1, matched 0 (0 newly cleared), skipped 0 as duplicates, balance 304.50" ] || fail "checkbook-io import printed '$summary'"

# The command line. None of these may start the register.
empty=$(mktemp -d -p "$folder")
cd "$empty"
checkbook() { /usr/bin/checkbook "$@"; }
checkbook --help > help.txt || fail "--help ended with status $?"
grep -q '^Usage: checkbook' help.txt || fail "--help printed: $(cat help.txt)"
version=$(checkbook --version) || fail "--version ended with status $?"
[ "$version" = "checkbook $(dpkg-query -W -f '${Version}' checkbook)" ] || fail "--version printed '$version'"
status=0
checkbook --no-such-option > out.txt 2> err.txt || status=$?
[ "$status" -eq 2 ] || fail "a bad option ended with status $status"
[ ! -s out.txt ] && grep -q '^Usage: checkbook' err.txt || fail "a bad option printed no usage on standard error"
grep -q -- '--window' help.txt && grep -q -- '--desktop' help.txt || fail "--help lists no --window or --desktop"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/checkbook --window > out.txt 2> err.txt || status=$?
[ "$status" -eq 1 ] && [ ! -s out.txt ] && grep -q 'no display' err.txt || fail "--window without a display: status $status, $(cat err.txt)"
rm -f help.txt out.txt err.txt
[ -z "$(ls -A)" ] || fail "the command line left files: $(ls -A)"
cd - >/dev/null

$sudo_cmd dpkg -P checkbook >/dev/null
[ ! -e /usr/bin/checkbook ] && [ ! -e /usr/bin/checkbook-io ] && [ ! -e /usr/lib/checkbook ] || fail "dpkg -P left files behind"
echo "Package check: $(basename "$deb") accepted by lintian, hardened, its desktop entry and metainfo valid; installed, ran by script, imported and exported, answered --help, --version, a bad option and --window without a display, removed"
