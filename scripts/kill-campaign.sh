#!/usr/bin/env bash
# Kills the program at random moments while a script drives it and checks
# after every kill that nothing was lost (tests/crash/kill_campaign.py).
# Usage: scripts/kill-campaign.sh [build-dir] [kills] [more options, e.g. --seed N]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
kills=${2:-200}
shift 2 || shift $# || true
if ! command -v python3 >/dev/null || ! command -v sqlite3 >/dev/null; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq python3 sqlite3
fi
bash scripts/setup.sh
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j2 --target checkbook REDivizud
python3 tests/crash/kill_campaign.py "$build/bin/checkbook" "$kills" "$@"
