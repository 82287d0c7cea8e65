#!/usr/bin/env bash
# Builds the libFuzzer targets with Debian's clang and runs each for a while,
# starting from its corpus in tests/fuzz/corpus/ (new finds go to a scratch
# folder, so the checked-in corpus stays as it is).
# Usage: scripts/fuzz.sh [seconds per target] [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=${2:-build-fuzz}
bash scripts/setup.sh
bash scripts/setup.sh clang libclang-rt-dev
CC=clang CXX=clang++ cmake -S . -B "$build" -DCHECKBOOK_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=(convert_fuzz profile_fuzz statement_fuzz qif_fuzz csv_fuzz ofx_fuzz)
cmake --build "$build" -j2 --target "${targets[@]}"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for target in "${targets[@]}"; do
  corpus=tests/fuzz/corpus/${target%_fuzz}
  mkdir -p "$scratch/$target"
  echo "== $target for ${seconds}s =="
  "$build/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$scratch/$target-" "$scratch/$target" "$corpus" 2>&1 | grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|==|SUMMARY|Done)' || true
  # A crash leaves its input behind; show it and fail.
  if ls "$scratch/$target-"* >/dev/null 2>&1; then
    for f in "$scratch/$target-"*; do echo "failing input $f:"; od -c "$f" | head -20; done
    exit 1
  fi
done
