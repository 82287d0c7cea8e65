#!/usr/bin/env bash
# Builds the program and starts it in data/, the folder that keeps Ledger.dat,
# RErivaRude.ini and Report.txt (git ignores it).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build >/dev/null
cmake --build build -j "$(nproc)" >/dev/null
mkdir -p data
cd data
exec ../build/bin/checkbook
