#!/usr/bin/env bash
# Builds the Windows program with Debian's mingw-w64 cross compiler:
#   build-windows/bin/checkbook.exe and REDivizud.DLL beside it, and for a
#   Windows user build-windows/checkbook-<version>-windows-x64.msi (the
#   installer) and build-windows/checkbook-<version>-windows-x64.zip (portable).
# SQLite is compiled from Debian's own source package, so Windows runs the
# same version as Linux; it is fetched once and kept under build-windows/.
# Usage: scripts/build-windows.sh [extra cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=build-windows

sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
bash scripts/setup.sh cmake make g++-mingw-w64-x86-64 tcl dpkg-dev zip libsqlite3-dev googletest

# The SQLite version the Linux build links, taken from the installed package.
sqlite_version=$(dpkg-query -W -f='${source:Version}' libsqlite3-dev)
sqlite_dir=$root/$out/sqlite/$sqlite_version
if [ ! -f "$sqlite_dir/sqlite3.c" ]; then
  # Debian's machines list binary packages only; the source entries mirror them.
  src_list=/etc/apt/sources.list.d/checkbook-deb-src.sources
  if ! apt-get source --print-uris --download-only "sqlite3=$sqlite_version" >/dev/null 2>&1; then
    for f in /etc/apt/sources.list.d/*.sources; do
      [ "$f" = "$src_list" ] || sed 's/^Types: deb$/Types: deb-src/' "$f"
      echo
    done | $sudo_cmd tee "$src_list" >/dev/null
    if [ -f /etc/apt/sources.list ]; then
      sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | $sudo_cmd tee /etc/apt/sources.list.d/checkbook-deb-src.list >/dev/null
    fi
    $sudo_cmd apt-get update -qq
  fi
  fetch=$(mktemp -d)
  (cd "$fetch" && apt-get source -qq --download-only "sqlite3=$sqlite_version" >/dev/null &&
    dpkg-source -x ./*.dsc src >/dev/null 2>&1 &&
    cd src && ./configure --disable-tcl >/dev/null && make sqlite3.c >/dev/null)
  mkdir -p "$sqlite_dir"
  cp "$fetch/src/sqlite3.c" "$fetch/src/sqlite3.h" "$sqlite_dir/"
  rm -rf "$fetch"
fi
echo "SQLite $sqlite_version from source: $sqlite_dir"

cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCHECKBOOK_SQLITE_SOURCE="$sqlite_dir" "$@" >/dev/null
cmake --build "$out" -j "$(nproc)"

# The zip a Windows user downloads: the program, its engine and a few words.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/CMakeCache.txt")
name=checkbook-$version-windows-x64
stage=$out/package/$name
rm -rf "$out/package" "$out/$name.zip"
mkdir -p "$stage"
cp "$out/bin/checkbook.exe" "$out/bin/checkbook-io.exe" "$out/bin/REDivizud.DLL" "$stage/"
# What a user downloads carries no debugging symbols.
x86_64-w64-mingw32-strip "$stage"/*.exe "$stage"/*.DLL
sed 's/$/\r/' resources/windows-readme.txt >"$stage/README.txt"
(cd "$out/package" && zip -qr "../$name.zip" "$name")
# The installer holds the same files as the zip.
publisher=$(sed -n 's/^CHECKBOOK_PUBLISHER:INTERNAL=//p' "$out/CMakeCache.txt")
bash scripts/build-msi.sh "$stage" "$version" "$publisher" "$out/$name.msi"
echo "Windows program: $out/bin/checkbook.exe, $out/bin/checkbook-io.exe, $out/bin/REDivizud.DLL"
echo "Windows installer: $out/$name.msi ($(stat -c %s "$out/$name.msi") bytes)"
echo "Windows zip: $out/$name.zip ($(stat -c %s "$out/$name.zip") bytes)"
