# Sourced by the sessions that drive a program's windows on a virtual X
# display with xdotool (the wine sessions and the desktop window's): the
# display, wine on it, the checks and their count, waiting for windows by
# their caption, the keyboard, a transaction typed in, screenshots and the
# program's exit. Expects $artefacts and $work.

# Starts Xvfb on a display it picks itself, so sessions never meet on one, and
# waits until it answers. Sets DISPLAY and $xvfb (its process). -noreset: an X
# server resets when its last client leaves, and a program connecting just
# then (right after the check below) is refused. The screen is 1280x1024, or
# the size given (start_display 1920x1080).
start_display() {
  local number
  number=$(mktemp)
  xvfb_log=$(mktemp)
  Xvfb -displayfd 3 -noreset -screen 0 "${1:-1280x1024}x24" -nolisten tcp 3>"$number" >"$xvfb_log" 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$number" ] && break; sleep 0.1; done
  export DISPLAY=:$(cat "$number")
  rm -f "$number"
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}
stop_display() {
  kill "$xvfb" 2>/dev/null || true
  rm -f "$xvfb_log"
}
# What the X server was doing, for a failure report.
display_state() {
  local alive=running answers=answers
  kill -0 "$xvfb" 2>/dev/null || alive="no longer running"
  xdpyinfo >/dev/null 2>&1 || answers="does not answer"
  echo "Xvfb on $DISPLAY: $alive, $answers"
  tail -n 20 "$xvfb_log" | sed 's/^/Xvfb: /'
}

# wine on its own display, its prefix $WINEPREFIX or else the one given;
# stop_wine ends both and removes $work, on exit unless the session traps
# exit itself.
start_wine() {  # start_wine <default prefix>
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
  export WINEPREFIX=${WINEPREFIX:-$1}
  start_display
  trap stop_wine EXIT
  wineboot -i >/dev/null 2>&1 || true
}
stop_wine() {
  wineserver -k 2>/dev/null || true
  stop_display
  rm -rf "$work"
}

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() {  # check <what> <expected> <actual>
  if [ "$2" == "$3" ]; then echo "ok: $1"; else fail "$1"; diff <(echo "$2") <(echo "$3") || true; fi
}
# The session's last word: its exit status says whether every check passed.
verdict() {  # verdict <session name>
  if [ "$failures" -ne 0 ]; then
    echo "$1: $failures check(s) failed"
    exit 1
  fi
  echo "$1: all checks passed"
}

# The id of the visible top-level window with this exact caption, waiting up
# to 30 s (a first start under wine can take that long).
window() {
  for _ in $(seq 300); do
    local id
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}
gone() {  # true once no visible window has this caption, waiting up to 20 s
  for _ in $(seq 200); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

key_delay=${key_delay:-60}
keys() { xdotool key --delay "$key_delay" "$@"; sleep 0.3; }
type_text() { xdotool type --delay 50 "$1"; sleep 0.2; }
field() {  # replaces the text of the focused field
  keys End shift+Home BackSpace
  [ -z "$1" ] || type_text "$1"
}
# One transaction into the register's entry row: check#, date, payee, credit,
# debit, then New. After New the fields keep their text and the focus is back
# in the check number.
transaction() {
  field "$1"; keys Tab
  field "$2"; keys Tab
  field "$3"; keys Tab
  field "$4"; keys Tab
  field "$5"; keys alt+n
  sleep 1
}

shot() {  # shot <window id> <file name without .png>
  sleep 0.5
  import -window "$1" "$artefacts/$2.png"
  echo "screenshot: $artefacts/$2.png"
}

# Waits up to 20 s for a program started in the background of this same shell
# (the only one that can reap it) and sets $exited to its exit status, or to
# "still running" after stopping it.
wait_exit() {
  for _ in $(seq 200); do
    kill -0 "$1" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$1" 2>/dev/null; then
    kill "$1"
    exited="still running"
    return
  fi
  exited=0
  wait "$1" || exited=$?
}
