#!/usr/bin/env bash
# Measures the program against its floor (the engine interface alone: open the
# file, run the same statements, drop every row) and prints one table.
#   scripts/bench.sh [ROWS...]          default: 10000 100000 1000000
# Environment: BENCH_BUILD (build folder, default build), BENCH_BIN (measure
# the programs of another build's bin folder, built already, for a before and
# after), BENCH_RUNS (rounds, default 5), BENCH_REPEAT (commands per process,
# default 3).
# Whole processes run through the script front end; each round runs the
# program and the floor back to back on fresh copies of the same register,
# and the table shows medians over the rounds. A command's time is the
# difference to start-up in the same round, divided by BENCH_REPEAT.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${BENCH_BUILD:-build}
runs=${BENCH_RUNS:-5}
repeat=${BENCH_REPEAT:-3}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(10000 100000 1000000)

if [ -z "${BENCH_BIN:-}" ]; then
  cmake -S . -B "$build" >/dev/null
  cmake --build "$build" -j2 --target checkbook checkbook_floor make_ledger register_bench >/dev/null
fi
bin=$(cd "${BENCH_BIN:-$build/bin}" && pwd)
data=$(mkdir -p "$build/bench-data" && cd "$build/bench-data" && pwd)
work=$(mktemp -d /tmp/checkbook-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT

for n in 0 "${sizes[@]}"; do
  [ -f "$data/ledger-$n.dat" ] || "$bin/make_ledger" "$n" "$data/ledger-$n.dat.part"
  [ -f "$data/ledger-$n.dat" ] || mv "$data/ledger-$n.dat.part" "$data/ledger-$n.dat"
done

# The settings of someone who has entered the payee before, so that New adds
# no payee (which writes the settings file, a cost the floor does not have).
if [ ! -f "$data/payees.ini" ]; then
  mkdir -p "$work/payees" && cp "$data/ledger-0.dat" "$work/payees/Ledger.dat"
  (cd "$work/payees" && printf 'type 1006 01/01/2000\ntype 1002 Corner Grocery\ntype 1005 1\nclick 1008\n' |
    "$bin/checkbook" >/dev/null && mv RErivaRude.ini "$data/payees.ini")
fi

# The statements the program sends, for the floor.
create_accounts="CREATE TABLE QAccounts (mAccID INTEGER PRIMARY KEY,mAccBalance FLOAT,mLastBalResult FLOAT,mViewMode INTEGER,mBankName VARCHAR(40),mBankAccN VARCHAR(40),mLastBalance VARCHAR(20),mInitialBalance FLOAT,mPostAmmount FLOAT,mEndStatement FLOAT,mStatementDate VARCHAR(20))"
create_ledger="CREATE TABLE QLedger (mTransID INTEGER PRIMARY KEY,mDate VARCHAR(20),mCheckNum INTEGER,mPayee VARCHAR(80),mDebit FLOAT,mCredit FLOAT,mAccID INTEGER,mStatus INTEGER)"
refresh=$'SELECT * FROM QLedger WHERE mAccID = \'1\' ORDER BY mTransID\nSELECT * FROM QLedger WHERE mAccID = \'1\' AND mStatus = \'3\''
account_update="UPDATE QAccounts SET mAccBalance = 990.00, mLastBalResult = 0.00, mViewMode = 0, mBankName = 'Household', mBankAccN = NULL, mLastBalance = NULL, mInitialBalance = 1000.00, mPostAmmount = 0.00, mEndStatement = 0.00, mStatementDate = NULL WHERE mAccID = 1"
ledger_update() {  # transaction id, status
  echo "UPDATE QLedger SET  mDate = '12/30/2025', mCheckNum = 0, mPayee = 'Corner Grocery', mDebit = 12.34, mCredit = 0.00, mAccID = 1, mStatus = $2 WHERE mTransID = $1"
}

# One command, as the script front end types it (program) and as statements (floor).
program_unit() {  # scenario
  case $1 in
    startup) ;;
    new) printf 'type 1006 12/31/2025\ntype 1002 Corner Grocery\ntype 1004 ""\ntype 1005 10\nclick 1008\n' ;;
    edit) printf 'select 1001 %s\ntype 1004 ""\ntype 1005 12.34\nclick 1009\n' "$line1" ;;
    delete) printf 'select 1001 %s\nclick 1010\n' "$line1" ;;
    mark) printf 'select 1001 %s\nselect 1001 %s\n' "$line1" "$line2" ;;
    finish) printf 'click 1011\nclick 1011\n' ;;
  esac
}
floor_unit() {  # scenario
  case $1 in
    startup) ;;
    new) printf 'BEGIN\n%s\n%s\nCOMMIT\n%s\n' \
      "INSERT INTO QLedger VALUES ( NULL, '12/31/2025', 0, 'Corner Grocery', 10.00, 0.00, 1, 0)" "$account_update" "$refresh" ;;
    edit) printf 'BEGIN\n%s\n%s\nCOMMIT\n%s\n' "$(ledger_update "$id1" 0)" "$account_update" "$refresh" ;;
    delete) printf 'BEGIN\n%s\n%s\nCOMMIT\n%s\n' "DELETE FROM QLedger WHERE mTransID = $id1" "$account_update" "$refresh" ;;
    mark) printf '%s\n%s\n%s\n%s\n' "$(ledger_update "$id1" 3)" "$refresh" "$(ledger_update "$id2" 3)" "$refresh" ;;
    finish) printf '%s\n%s\n' "UPDATE QLedger SET  mStatus = '2' WHERE mAccID = '1' AND mStatus = '3'" "$refresh" ;;
  esac
}
program_script() {  # scenario: every command repeated, for a mark once in balancing mode
  [ "$1" = mark ] && echo 'click 1011'
  if [ "$1" != startup ]; then for _ in $(seq "$repeat"); do program_unit "$1"; done; fi
}
floor_script() {
  printf '%s\n%s\nSELECT * FROM QAccounts\n%s\n' "$create_accounts" "$create_ledger" "$refresh"
  if [ "$1" != startup ]; then for _ in $(seq "$repeat"); do floor_unit "$1"; done; fi
}

# Runs one process on a fresh copy of ledger-$n.dat; prints "milliseconds peak-KB".
run() {  # program|floor, n, scenario
  rm -rf "$work/run" && mkdir "$work/run" && cp "$data/ledger-$2.dat" "$work/run/Ledger.dat"
  [ "$1" = floor ] || cp "$data/payees.ini" "$work/run/RErivaRude.ini"
  local input=$work/input start end
  if [ "$1" = program ]; then program_script "$3" >"$input"; else floor_script "$3" >"$input"; fi
  start=$(date +%s%N)
  if [ "$1" = program ]; then
    (cd "$work/run" && /usr/bin/time -o "$work/time" -f %M "$bin/checkbook" <"$input" >"$work/out")
  else
    (cd "$work/run" && /usr/bin/time -o "$work/time" -f %M "$bin/checkbook_floor" Ledger.dat <"$input" >"$work/out")
  fi
  end=$(date +%s%N)
  if [ "$1" = program ] && grep -q '^error\|^messagebox' "$work/out"; then
    echo "bench: the $3 script did not run cleanly at $2 rows:" >&2
    cat "$work/out" >&2
    exit 1
  fi
  echo "$(((end - start) / 1000)) $(tail -n 1 "$work/time")"
}

median() { sort -n | awk '{v[NR] = $1} END {if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

rows=()  # "measure|n|program|floor|unit|goal"
scenarios=(startup new edit delete mark finish)
for n in "${sizes[@]}"; do
  echo "bench: $n rows, $runs rounds" >&2
  # Two open transactions near the end of the list, by line and by id.
  mkdir -p "$work/probe" && cp "$data/ledger-$n.dat" "$work/probe/Ledger.dat"
  mapfile -t open_lines < <(cd "$work/probe" && echo print | "$bin/checkbook" |
    sed -n 's/^    line \([0-9]*\) "[^"]*\\t[0-9.]*\\t[0-9.][0-9.]*"$/\1/p' | tail -n 2)
  line1=${open_lines[0]} line2=${open_lines[1]}
  mapfile -t open_ids < <(sqlite3 "$work/probe/Ledger.dat" \
    "SELECT mTransID FROM QLedger WHERE mStatus = 0 ORDER BY mTransID DESC LIMIT 2")
  id1=${open_ids[0]} id2=${open_ids[1]}

  declare -A times=()
  for round in $(seq "$runs"); do
    read -r empty_ms empty_kb < <(run program 0 startup)
    read -r fempty_ms fempty_kb < <(run floor 0 startup)
    for s in "${scenarios[@]}"; do
      # Alternate which goes first, so neither always finds the caches warmer.
      if [ $((round % 2)) -eq 0 ]; then
        read -r p_ms p_kb < <(run program "$n" "$s"); read -r f_ms f_kb < <(run floor "$n" "$s")
      else
        read -r f_ms f_kb < <(run floor "$n" "$s"); read -r p_ms p_kb < <(run program "$n" "$s")
      fi
      times[$s,p]+="$p_ms " times[$s,f]+="$f_ms "
      if [ "$s" = startup ]; then
        times[mem,p]+="$(((p_kb - empty_kb) * 1024 / n)) " times[mem,f]+="$(((f_kb - fempty_kb) * 1024 / n)) "
        times[startup0,p]+="$empty_ms " times[startup0,f]+="$fempty_ms "
      fi
    done
  done
  ms() { tr ' ' '\n' | grep . | median | awk '{printf "%.1f", $1 / 1000}'; }
  p_start=$(echo "${times[startup,p]}" | ms) f_start=$(echo "${times[startup,f]}" | ms)
  rows+=("start-up to the first register, then exit|$n|$p_start|$f_start|ms|1.5")
  for s in new edit delete mark finish; do
    # Per round: (process with the commands - start-up process) / commands.
    read -ra pa <<<"${times[$s,p]}"; read -ra ps <<<"${times[startup,p]}"
    read -ra fa <<<"${times[$s,f]}"; read -ra fs <<<"${times[startup,f]}"
    per=$([ "$s" = mark ] && echo $((repeat * 2)) || echo "$repeat")
    p=$(for i in "${!pa[@]}"; do echo $(((pa[i] - ps[i]) / per)); done | median | awk '{printf "%.1f", $1 / 1000}')
    f=$(for i in "${!fa[@]}"; do echo $(((fa[i] - fs[i]) / per)); done | median | awk '{printf "%.1f", $1 / 1000}')
    goal=$([ "$s" = new ] && echo 1.3 || echo -)
    rows+=("$s, end to end|$n|$p|$f|ms|$goal")
  done
  p_mem=$(echo "${times[mem,p]}" | tr ' ' '\n' | grep . | median) f_mem=$(echo "${times[mem,f]}" | tr ' ' '\n' | grep . | median)
  rows+=("peak memory above the empty register|$n|$p_mem|$f_mem|B/row|240 B/row")
  unset times
done

# RefreshList and WriteReport in process, with their floors, interleaved.
filter=$(IFS='|'; echo "^(RefreshList|RefreshListFloor|WriteReport|WriteReportFloor)/(${sizes[*]})\$")
CHECKBOOK_BENCH_DATA=$data "$bin/register_bench" --benchmark_filter="$filter" \
  --benchmark_repetitions="$runs" --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null >"$work/inprocess.csv"
inprocess() {  # name, n: the median in milliseconds
  # in ms; one run has no median of its own
  awk -F, -v median="\"$1/$2_median\"" -v single="\"$1/$2\"" '
    $1 == median {m = $3} $1 == single {s = $3} END {printf "%.1f", m != "" ? m : s}' "$work/inprocess.csv"
}
for n in "${sizes[@]}"; do
  rows+=("RefreshList, in process|$n|$(inprocess RefreshList "$n")|$(inprocess RefreshListFloor "$n")|ms|-")
  rows+=("WriteReport, in process|$n|$(inprocess WriteReport "$n")|$(inprocess WriteReportFloor "$n")|ms|-")
done

printf '| %-42s | %9s | %12s | %12s | %6s | %12s |\n' Measure Rows Program Floor Ratio Goal
printf '|%s|%s|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..44})" -----------: --------------: --------------: --------: --------------:
for row in "${rows[@]}"; do
  IFS='|' read -r measure n p f unit goal <<<"$row"
  ratio=$(awk -v p="$p" -v f="$f" 'BEGIN {if (f > 0) printf "%.2fx", p / f; else print "-"}')
  if [ "$unit" = B/row ]; then goal="<= $goal"; elif [ "$goal" != - ]; then goal="<= ${goal}x"; fi
  printf '| %-42s | %9s | %12s | %12s | %6s | %12s |\n' "$measure" "$n" "$p $unit" "$f $unit" "$ratio" "$goal"
done
