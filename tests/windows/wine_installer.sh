#!/usr/bin/env bash
# The Windows installer as a user meets it, under wine on a virtual X display:
# a per-user install with msiexec /qn, the Start menu entry and the folder it
# starts in, a short keyboard session there, the program on the user's PATH,
# uninstall keeping the register, a major upgrade from a lower version keeping
# it too, a downgrade refused, and the version information of the binaries.
# Usage: tests/windows/wine_installer.sh <Windows build folder> <folder for screenshots>
set -euo pipefail
root=$(realpath "$(dirname "$0")/../..")
build=$(realpath "$1")
artefacts=$(realpath -m "$2")
mkdir -p "$artefacts"
bash "$root/scripts/setup.sh" liblnk-utils msitools sqlite3 xdotool imagemagick

cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
version=$(cache CMAKE_PROJECT_VERSION)
publisher=$(cache CHECKBOOK_PUBLISHER)
product=$(cache CHECKBOOK_PRODUCT)
copyright=$(cache CHECKBOOK_COPYRIGHT)
name=checkbook-$version-windows-x64
msi=$build/$name.msi
stage=$build/package/$name
[ -f "$msi" ] || { echo "FAIL: no installer at $msi"; exit 1; }

work=$(mktemp -d)
# A program started in the wrong folder writes its files here, not elsewhere.
cd "$work"
. "$root/tests/support/x_session.sh"
start_wine "$build/wineprefix"
trap 'wine reg delete "HKCU\Environment" /v Path /f >/dev/null 2>&1 || true; stop_wine' EXIT
# A step that fails outside a check stops the run: say which.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND"' ERR

# Windows side of the prefix.
winenv() { wine cmd /c "echo %$1%" 2>/dev/null | tr -d '\r'; }
unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
regval() {  # regval <key> <value name>: the value's data, or nothing
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
run_msiexec() {  # run_msiexec /i|/x <unix path of the .msi>: its exit code
  local status=0
  wine msiexec "$1" "$(winepath -w "$2" | tr -d '\r')" /qn >/dev/null 2>&1 || status=$?
  echo "$status"
}
installed() { wine uninstaller --list 2>/dev/null | tr -d '\r' | sed -n "s/^\({[^}]*}\)|||$product\$/\1/p"; }
uninstall_key() { echo "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1"; }
# The Apps list's version of the one installation. wine's registry can lag the
# msiexec that wrote it, so a few seconds are allowed before the answer stands.
listed_version() {  # listed_version <expected>
  local found=""
  for _ in $(seq 20); do
    found=$(regval "$(uninstall_key "$(installed | head -1)")" DisplayVersion)
    [ "$found" == "$1" ] && break
    sleep 0.5
  done
  [ "$found" == "$1" ] || echo "Apps list: $(installed | tr '\n' ' ')" >&2
  echo "$found"
}
# The user's PATH, one entry a line. wine leaves the separator behind when it
# takes an entry out again; empty entries mean nothing to Windows.
user_path() { regval 'HKCU\Environment' Path | tr ';' '\n' | sed '/^$/d'; }
# Every file under a folder with its checksum: what "left as it was" means.
contents() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0r sha256sum); }

local_app_data=$(winenv LOCALAPPDATA)
program_dir_win="$local_app_data\\Programs\\Checkbook"
program_dir=$(unix_path "$program_dir_win")
start_menu=$(unix_path "$(winenv APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs")
shortcut=$start_menu/Checkbook.lnk
documents_win="$(winenv USERPROFILE)\\Documents"
documents=$(unix_path "$documents_win")
data_win="$documents_win\\Checkbook"
data=$documents/Checkbook
# wine links Documents to the Unix home folder; the test keeps the register
# inside its own prefix.
if [ -L "$documents" ]; then rm "$documents" && mkdir "$documents"; fi
# A run that stopped half-way leaves its installation behind.
for code in $(installed); do wine msiexec /x "$code" /qn >/dev/null 2>&1 || true; done
rm -rf "$data"
# The user's own PATH entry, which the installer must keep.
wine reg add 'HKCU\Environment' /v Path /t REG_SZ /d 'C:\Tools' /f >/dev/null 2>&1

# Waits up to 20 s for the process behind a window to end.
ended() {
  for _ in $(seq 200); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}
register="Qarvo's Checkbook v1.01"
# Opens the Start menu entry as the shell does; the register's window id.
start_from_menu() {
  wine start /unix "$shortcut" >/dev/null 2>&1
  window "$register"
}

echo "== the package =="
check "asks for no elevation (per-user, compressed: Word Count 10)" "10" \
  "$(msiinfo suminfo "$msi" | sed -n 's/^Source: \([0-9]*\).*/\1/p')"
check "sets no ALLUSERS (installs for the current user only)" "" \
  "$(msiinfo export "$msi" Property | awk -F'\t' '$1 == "ALLUSERS"')"
# Windows would remove an emptied Documents\Checkbook on uninstall without this
# mark; wine leaves it either way, so the package itself is read.
attributes=$(msiinfo export "$msi" Component | awk -F'\t' '$1 == "DataFolder" {print $4}')
check "Documents\\Checkbook is a permanent folder (no uninstall removes it)" 16 "$((${attributes:-0} & 16))"

echo "== install =="
check "msiexec /i /qn: exit code" 0 "$(run_msiexec /i "$msi")"
for f in checkbook.exe REDivizud.DLL checkbook-io.exe README.txt; do
  if cmp -s "$stage/$f" "$program_dir/$f"; then echo "ok: $f in $program_dir_win"; else fail "$f in $program_dir_win"; fi
done
code=$(installed)
check "one entry in the Apps list" 1 "$(echo "$code" | grep -c .)"
key=$(uninstall_key "$code")
check "Apps list: name, version, publisher, location, no Modify" \
  "$product|$version|$publisher|$program_dir_win\\|0x1" \
  "$(regval "$key" DisplayName)|$(regval "$key" DisplayVersion)|$(regval "$key" Publisher)|$(regval "$key" \
     InstallLocation)|$(regval "$key" NoModify)"
packed=$(wine reg query 'HKCU\Software\Microsoft\Installer\Products' 2>/dev/null | tr -d '\r' |
  sed -n 's/^HKEY_CURRENT_USER\\Software\\Microsoft\\Installer\\Products\\//p' | head -1)
icon=$(regval "HKCU\\Software\\Microsoft\\Installer\\Products\\$packed" ProductIcon)
check "registered for this user only, with the program's icon" "$product" \
  "$(regval "HKCU\\Software\\Microsoft\\Installer\\Products\\$packed" ProductName)"
if [ -n "$icon" ] && cmp -s "$root/resources/checkbook.ico" "$(unix_path "$icon")"; then
  echo "ok: the Apps list icon is checkbook.ico"
else
  fail "the Apps list icon ($icon) is not checkbook.ico"
fi
check "the program folder appended to the user's PATH" "C:\\Tools
$program_dir_win\\" "$(user_path)"
check "the register's folder made" yes "$([ -d "$data" ] && echo yes)"

if [ -f "$shortcut" ]; then
  echo "ok: Start menu entry Checkbook"
  lnk=$(lnkinfo "$shortcut" | tr -d '\r')
  field_of() { echo "$lnk" | sed -n "s/^\t$1[[:space:]]*: //p"; }
  check "the entry starts the installed program" "$program_dir_win\\checkbook.exe" "$(field_of 'Local path')"
  check "the entry's working folder is Documents\\Checkbook" "$data_win" "$(field_of 'Working directory' | sed 's/\\$//')"
else
  fail "no Start menu entry at $shortcut"
fi

echo "== version information of the installed binaries =="
# The numeric fields: 1.01 is 1.1.0.0.
IFS=. read -r -a parts <<<"$version.0.0.0"
dotted=$((10#${parts[0]})).$((10#${parts[1]})).$((10#${parts[2]})).$((10#${parts[3]}))
# file, description, type
while IFS='|' read -r file description type; do
  check "$file" "Translation=040904b0
CompanyName=$publisher
FileDescription=$description
FileVersion=$version
InternalName=${file%.*}
LegalCopyright=$copyright
OriginalFilename=$file
ProductName=$product
ProductVersion=$version
FixedFileVersion=$dotted
FixedProductVersion=$dotted
FileType=$type" "$(wine "$build/bin/show-version.exe" "$program_dir_win\\$file" 2>&1 | tr -d '\r')"
done <<EOF
checkbook.exe|Checkbook register|application
checkbook-io.exe|Checkbook statement import and export|application
REDivizud.DLL|Checkbook database engine|dll
EOF

echo "== a session from the Start menu entry =="
if main=$(start_from_menu); then
  pid=$(xdotool getwindowpid "$main")
  xdotool windowfocus --sync "$main"
  keys alt+s a
  if dialog=$(window "Account Information"); then
    type_text "Savings Bank"; keys Tab
    type_text "250.00"; keys Tab
    type_text "Installed"
    keys Tab Return
    gone "Account Information" || fail "the account dialog did not close"
  else
    fail "Setup > Account Details opened no dialog"
  fi
  field 201; keys Tab
  field 12/05/2026; keys Tab
  field "Book Shop"; keys Tab
  field ""; keys Tab
  field 12.34; keys alt+n
  sleep 1
  shot "$main" installed-register
  keys alt+r Up Return
  ended "$pid" || { fail "the installed program did not end after Record > Exit"; kill "$pid" 2>/dev/null || true; }
else
  fail "the Start menu entry opened no register"
fi
rows="201|12/05/2026|Book Shop|0.00|12.34
Savings Bank|Installed|250.00|237.66"
ledger() {
  sqlite3 "$data/Ledger.dat" "SELECT mCheckNum, mDate, mPayee, printf('%.2f', mCredit), printf('%.2f', mDebit)
    FROM QLedger; SELECT mBankName, mBankAccN, printf('%.2f', mInitialBalance), printf('%.2f', mAccBalance)
    FROM QAccounts" 2>&1
}
check "the session's register in Documents\\Checkbook\\Ledger.dat" "$rows" "$(ledger)"
check "its settings beside it" yes "$([ -f "$data/RErivaRude.ini" ] && echo yes)"

echo "== checkbook-io from the PATH, in a console in Documents\\Checkbook =="
status=0
(cd "$data" && wine cmd /c 'checkbook-io export %TEMP%\register.csv' >/dev/null 2>&1) || status=$?
check "checkbook-io export: exit code" 0 "$status"
check "the export holds the session's transaction" 1 \
  "$(grep -c 'Book Shop' "$(unix_path "$(winenv TEMP)\\register.csv")" 2>/dev/null || true)"

echo "== uninstall =="
kept=$(contents "$data")
check "msiexec /x /qn: exit code" 0 "$(run_msiexec /x "$msi")"
check "the program folder removed" no "$([ -e "$program_dir" ] && echo yes || echo no)"
check "the Start menu entry removed" no "$([ -e "$shortcut" ] && echo yes || echo no)"
check "only the user's own PATH left" 'C:\Tools' "$(user_path)"
check "no entry in the Apps list" "" "$(installed)"
check "no registry key left" no "$(wine reg query 'HKCU\Software\Checkbook' >/dev/null 2>&1 && echo yes || echo no)"
check "Documents\\Checkbook and everything in it kept" "$kept" "$(contents "$data")"

echo "== upgrade from a lower version =="
IFS=. read -r major minor _ <<<"$version"
if [ "$((10#$minor))" -gt 0 ]; then lower=$major.$((10#$minor - 1)); else lower=$((major - 1)).99; fi
cp -a "$stage" "$work/older"
printf 'This is the older build.\r\n' >>"$work/older/README.txt"
bash "$root/scripts/build-msi.sh" "$work/older" "$lower" "$publisher" "$work/older.msi" >/dev/null
check "msiexec /i of version $lower: exit code" 0 "$(run_msiexec /i "$work/older.msi")"
check "version $lower in the Apps list" "$lower" "$(listed_version "$lower")"
check "msiexec /i of version $version over it: exit code" 0 "$(run_msiexec /i "$msi")"
check "one installation afterwards, of version $version" "1 $version" \
  "$(installed | grep -c .) $(listed_version "$version")"
if cmp -s "$stage/README.txt" "$program_dir/README.txt"; then echo "ok: the older files replaced"; else fail "the older files replaced"; fi
check "the program folder once on the PATH" "C:\\Tools
$program_dir_win\\" "$(user_path)"
check "the register kept over the upgrade" "$kept" "$(contents "$data")"
if main=$(start_from_menu); then
  pid=$(xdotool getwindowpid "$main")
  xdotool windowfocus --sync "$main"
  shot "$main" installed-register-after-upgrade
  keys alt+r Up Return
  ended "$pid" || { fail "the upgraded program did not end after Record > Exit"; kill "$pid" 2>/dev/null || true; }
else
  fail "after the upgrade the Start menu entry opened no register"
fi
check "the upgraded program reads the kept register" "$rows" "$(ledger)"

echo "== a lower version over this one is refused =="
check "msiexec /i of version $lower: refused" yes "$([ "$(run_msiexec /i "$work/older.msi")" -ne 0 ] && echo yes)"
check "still one installation, of version $version" "1 $version" \
  "$(installed | grep -c .) $(listed_version "$version")"
if cmp -s "$stage/checkbook.exe" "$program_dir/checkbook.exe"; then echo "ok: the program left as it was"; else fail "the program left as it was"; fi

kept=$(contents "$data")
check "msiexec /x /qn after the upgrade: exit code" 0 "$(run_msiexec /x "$msi")"
check "nothing installed left" "no no" \
  "$([ -e "$program_dir" ] && echo yes || echo no) $([ -e "$shortcut" ] && echo yes || echo no)"
check "Documents\\Checkbook kept again" "$kept" "$(contents "$data")"

verdict "wine installer"
