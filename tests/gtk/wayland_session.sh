#!/usr/bin/env bash
# The register in its window on a Wayland compositor (weston, headless) with no
# X display at all: it shows its window there, and ends in order when the
# session asks it to (SIGTERM, as at logout), its files whole. The screen goes
# to the artefact folder.
# Usage: tests/gtk/wayland_session.sh <checkbook executable> <artefact folder>
set -euo pipefail
program=$(realpath "$1")
artefacts=$(realpath -m "$2")
mkdir -p "$artefacts"
for tool in weston weston-screenshooter compare identify sqlite3; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$tool is not installed: skipped"; exit 77; }
done

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
socket=checkbook-test
weston --backend=headless-backend.so --use-pixman --width=1280 --height=900 \
  --socket="$socket" --idle-time=0 --debug >"$work/weston.log" 2>&1 &
compositor=$!
cleanup() {
  [ -z "${program_pid:-}" ] || kill "$program_pid" 2>/dev/null || true
  kill "$compositor" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$socket" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/$socket" ] || { echo "FAIL: weston did not start"; cat "$work/weston.log"; exit 1; }
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"  # as in checkbook_in_window.sh

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# The screen now, kept as $artefacts/$1.png.
screenshot() {
  rm -f "$work"/wayland-screenshot-*.png
  (cd "$work" && WAYLAND_DISPLAY=$socket weston-screenshooter >/dev/null 2>&1) || true
  local shot
  shot=$(ls "$work"/wayland-screenshot-*.png 2>/dev/null | head -1)
  [ -n "$shot" ] && mv "$shot" "$artefacts/$1.png"
}
# Pixels that differ from the empty desktop: the register's window is most
# of a screen, the panel's clock a few hundred.
changed_pixels() {
  compare -metric AE "$artefacts/wayland-desktop.png" "$artefacts/$1.png" null: 2>&1 | awk '{ printf "%d", $1 }' || true
}

# The desktop once its shell has drawn it: two screens in a row alike.
rm -f "$artefacts"/wayland-*.png
for _ in $(seq 50); do
  sleep 0.2
  [ -f "$artefacts/wayland-desktop.png" ] || { screenshot wayland-desktop || true; continue; }
  screenshot wayland-settled || continue
  [ "$(changed_pixels wayland-settled)" -lt 5000 ] && break
  mv "$artefacts/wayland-settled.png" "$artefacts/wayland-desktop.png"
done
rm -f "$artefacts/wayland-settled.png"
[ -f "$artefacts/wayland-desktop.png" ] || { echo "FAIL: weston took no screenshot"; exit 1; }

mkdir "$work/data"
(cd "$work/data" && exec env -u DISPLAY WAYLAND_DISPLAY="$socket" GDK_BACKEND=wayland LC_ALL=C.UTF-8 \
  "$program" --window >"$work/out" 2>"$work/err") &
program_pid=$!
shown=0
for _ in $(seq 50); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.2
  screenshot wayland-register || continue
  if [ "$(changed_pixels wayland-register)" -gt 100000 ]; then shown=1; break; fi
done
[ "$shown" = 1 ] || fail "no window appeared on the Wayland display"
echo "screenshot: $artefacts/wayland-register.png"

kill -TERM "$program_pid" 2>/dev/null || true
status=0
wait "$program_pid" || status=$?
program_pid=
[ "$status" = 0 ] || fail "exit code after SIGTERM: $status"
grep -q '^HideRec=0' "$work/data/RErivaRude.ini" 2>/dev/null || fail "the settings were not written on the way out"
[ "$(sqlite3 "$work/data/Ledger.dat" 'PRAGMA integrity_check')" = ok ] || fail "Ledger.dat is not whole"
if grep -E 'CRITICAL|no display' "$work/err"; then fail "complaints on standard error"; fi

if [ "$failures" -ne 0 ]; then
  echo "Wayland session: $failures check(s) failed"
  exit 1
fi
echo "Wayland session: all checks passed"
