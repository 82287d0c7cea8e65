#!/usr/bin/env bash
# The desktop front end is a module loaded only for a window: the program
# needs none of the desktop's libraries to start, a script run maps none of
# them, and a window asked for without the module (or with a module that is
# not the front end) is refused with a message and status 1.
# Usage: tests/gtk/desktop_module.sh <checkbook executable>
set -euo pipefail
program=$(realpath "$1")
bin=$(dirname "$program")
desktop_libs='libgtk-4|libgdk|libglib-2|libgobject-2|libpango|libcairo'
failures=0
check() {  # what, expected, actual
  if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAIL: $1: expected '$2', got '$3'"; failures=$((failures + 1)); fi
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== the program links none of the desktop's libraries =="
check "ldd names no GTK, GLib, Pango or cairo library" "" "$(ldd "$program" | grep -E "$desktop_libs" || true)"
check "the module beside it does" yes "$(ldd "$bin/checkbook-gtk.so" | grep -q libgtk-4 && echo yes || echo no)"

echo "== a script run maps none of them =="
mkdir "$work/run" && mkfifo "$work/in"
(cd "$work/run" && "$program" <"$work/in" >"$work/out" 2>&1) &
pid=$!
exec 3>"$work/in"
echo "print" >&3
for _ in $(seq 50); do grep -q 'line\|IDC\|register' "$work/out" 2>/dev/null && break; sleep 0.1; done
maps=$(cat "/proc/$pid/maps" 2>/dev/null || true)
check "the running program is found" yes "$([ -n "$maps" ] && echo yes || echo no)"
check "its memory maps no desktop library" "" "$(grep -oE "($desktop_libs)[^ ]*" <<<"$maps" | sort -u || true)"
exec 3>&-
wait "$pid" && status=0 || status=$?
check "the script ends cleanly" 0 "$status"

echo "== a window without the front end =="
# The program and its engine alone in a folder, then with a module that
# exports no front end in the front end's place.
mkdir "$work/alone"
cp "$program" "$bin/REDivizud.DLL" "$work/alone/"
cases=("missing|cannot be loaded from the program's folder")
[ -f "$bin/NoExport.DLL" ] && cases+=("not the front end|has no front end in it")
for case in "${cases[@]}"; do
  IFS='|' read -r what message <<<"$case"
  [ "$what" = missing ] || cp "$bin/NoExport.DLL" "$work/alone/checkbook-gtk.so"
  mkdir -p "$work/folder" && status=0
  (cd "$work/folder" && DISPLAY=:0 "$work/alone/checkbook" --window >"$work/out" 2>"$work/err") || status=$?
  check "$what: status 1" 1 "$status"
  check "$what: says why" yes "$(grep -q "checkbook: cannot open a window: the desktop front end checkbook-gtk.so $message" \
    "$work/err" && echo yes || echo no)"
  check "$what: nothing on standard output" "" "$(cat "$work/out")"
  check "$what: no file left" "" "$(ls -A "$work/folder")"
done

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
