#!/usr/bin/env bash
# Kills the program at random moments while a script drives it and checks
# after every kill that nothing was lost (tests/crash/kill_campaign.py).
# Usage: scripts/kill-campaign.sh [build-dir] [kills] [more options, e.g. --seed N]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
kills=${2:-200}
shift 2 || shift $# || true
bash scripts/setup.sh
bash scripts/setup.sh python3 sqlite3
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j2 --target checkbook REDivizud
python3 tests/crash/kill_campaign.py "$build/bin/checkbook" "$kills" "$@"
