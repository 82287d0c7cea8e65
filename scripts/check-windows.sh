#!/usr/bin/env bash
# Compiles the program's own code (app/, component/, storage/, ui/) and the
# engine component with the mingw-w64 cross compiler against the real
# <windows.h>, so the declarations of platform/win32.h never drift from
# Windows. Then the resource script goes through the real resource compiler
# and the program is linked against Windows' own libraries.
set -euo pipefail
cd "$(dirname "$0")/.."
cxx=x86_64-w64-mingw32-g++-posix
if ! command -v "$cxx" >/dev/null; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq g++-mingw-w64-x86-64
fi
# SQLite's header is the same on every platform; only it is borrowed from the
# system, so no Linux header can leak into the Windows compile.
sqlite_dir=$(mktemp -d)
trap 'rm -rf "$sqlite_dir"' EXIT
cp /usr/include/sqlite3.h "$sqlite_dir/"
status=0
count=0
for f in $(ls app/*.cpp component/*.cpp storage/*.cpp ui/*.cpp engine/*.cpp 2>/dev/null); do
  count=$((count + 1))
  if ! "$cxx" -std=c++20 -Wall -Wextra -Werror -fsyntax-only -I. -I"$sqlite_dir" "$f"; then
    echo "Windows compile failed: $f"
    status=1
  fi
done
echo "Windows compile check: $count files, $([ $status -eq 0 ] && echo passed || echo failed)"
[ $status -eq 0 ] || exit $status

windres=x86_64-w64-mingw32-windres
"$windres" -I resources resources/checkbook.rc -O coff -o "$sqlite_dir/checkbook.res"
"$cxx" -std=c++20 -Wall -Wextra -Werror -I. app/*.cpp ui/*.cpp storage/*.cpp component/*.cpp \
  "$sqlite_dir/checkbook.res" -mwindows -static -o "$sqlite_dir/checkbook.exe"
echo "Windows link check: resources compiled, checkbook.exe linked"
