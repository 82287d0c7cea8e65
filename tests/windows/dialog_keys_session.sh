#!/usr/bin/env bash
# The keyboard sequences of tests/support/dialog_keys/ typed into the Windows
# program on the real Win32 dialog manager (wine on a virtual X display,
# through xdotool). Each leaves Ledger.dat as its .expected file says: the
# same file the terminal session (tests/terminal/checkbook_in_tmux.sh) holds
# the Linux build to.
# Usage: tests/windows/dialog_keys_session.sh <folder with checkbook.exe> <folder for screenshots>
set -euo pipefail
bin=$(realpath "$1")
artefacts=$(realpath -m "$2")
sequences=$(realpath "$(dirname "$0")/../support/dialog_keys")
mkdir -p "$artefacts"

work=$(mktemp -d)
key_delay=80
. "$(dirname "$0")/../support/x_session.sh"
start_wine "$(dirname "$bin")/wineprefix"

# Runs one file of steps (tests/support/dialog_keys/README.md); false when a window never came or went.
type_keys() {
  local line verb rest
  while IFS= read -r line; do
    case $line in '' | '#'*) continue ;; esac
    verb=${line%% *} rest=${line#* }
    case $verb in
      keys) # shellcheck disable=SC2086
        keys $rest ;;
      type) type_text "$rest" ;;
      field) keys End shift+Home BackSpace; type_text "$rest" ;;
      wait) window "$rest" >/dev/null || { fail "$1: no window \"$rest\""; return 1; } ;;
      gone) gone "$rest" || { fail "$1: the window \"$rest\" stayed"; return 1; } ;;
      *) fail "$1: cannot read: $line"; return 1 ;;
    esac
  done <"$1"
}

register="Qarvo's Checkbook v1.01"
for keys_file in "$sequences"/*.keys; do
  name=$(basename "$keys_file" .keys)
  [ "$name" = account ] && continue
  echo "== $name.keys =="
  data=$work/$name
  mkdir -p "$data"
  (cd "$data" && exec wine "$bin/checkbook.exe" >/dev/null 2>&1) &
  program=$!
  if ! main=$(window "$register"); then
    fail "$name: the register window never opened"
    kill "$program" 2>/dev/null || true
    continue
  fi
  xdotool windowfocus --sync "$main"
  if type_keys "$sequences/account.keys" && type_keys "$keys_file"; then
    sleep 0.5
    import -window "$main" "$artefacts/keys-$name.png" && echo "screenshot: $artefacts/keys-$name.png"
    keys alt+F4
  fi
  for _ in $(seq 200); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$program" 2>/dev/null; then
    fail "$name: the program did not end on Alt+F4"
    kill "$program" 2>/dev/null || true
  fi
  wait "$program" 2>/dev/null || true
  stored=$(sqlite3 "$data/Ledger.dat" <"$sequences/ledger.sql" 2>&1 || true)
  if [ "$stored" == "$(cat "$sequences/$name.expected")" ]; then
    echo "ok: $name: Ledger.dat as expected"
  else
    fail "$name: Ledger.dat"
    diff <(cat "$sequences/$name.expected") <(echo "$stored") || true
  fi
done

verdict "dialog keys under wine"
