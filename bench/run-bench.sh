#!/usr/bin/env bash
# Runs the benchmarks of a bench build: bench/run-bench.sh BUILD_DIR.
# docs/performance.md ("## Method") describes what each part measures.
#
# BENCH_PARTS picks what runs, any of "micro", "full", "demo", "tty",
# "import" and "big" (the default is "micro full demo tty import"):
#   micro  every Google Benchmark program (bench/bench_*), each report to the
#          terminal; BENCH_ARGS is passed to each.
#   full   the whole journal-method run (bench/full_run_bench) on generated
#          company data of BENCH_SIZES journal lines (default "100000 1000000
#          2000000"), cached in BUILD_DIR/bench-data, against three
#          baselines on the same database: the plain scan, the grouped pass
#          and the peer script bench/peer/return_figures.py (python3 with its
#          sqlite3 module). The four alternate, BENCH_REPEAT rounds (default
#          3); the medians are printed.
#   demo   the dialog's start-up and the saved-return method, BENCH_DEMO_RUNS
#          times each (default 20), on the demo company data and on the
#          generated company of BENCH_DEMO_LINES journal lines (default
#          1000000; "" for the demo data alone) given a matching saved return.
#   tty    the terminal backend against the script backend (bench/tty).
#   import `ledger import` of a generated folder of BENCH_IMPORT_LINES journal
#          lines (default 1000000) against sqlite3's .import plus one
#          INSERT ... SELECT into the same schema (bench/import).
#   big    one journal-method run on a generated company of BENCH_BIG_LINES
#          journal lines (default 5000000), its time and peak memory. Making
#          the data takes several minutes the first time.
# Every run of taxbridge_plus has its own C: drive and installation. The
# script fails when a program, a run or a baseline fails, when a run writes
# another document than the same run before it, when a baseline's sums differ
# from the plain scan's, when the peer cannot run (no python3 or sqlite3
# module), or when there is nothing to run.
set -euo pipefail

build_dir="${1:?usage: run-bench.sh BENCH_BUILD_DIR}"
parts=" ${BENCH_PARTS:-micro full demo tty import} "
repeat=${BENCH_REPEAT:-3}
demo_lines=${BENCH_DEMO_LINES-1000000}
here=$(cd "$(dirname "$0")" && pwd)
sizes=${BENCH_SIZES:-100000 1000000 2000000}
status=0

if [[ $parts == *" micro "* ]]; then
  shopt -s nullglob
  programs=()
  for p in "$build_dir"/bench/bench_*; do
    [[ -f "$p" && -x "$p" ]] && programs+=("$p")
  done
  if (( ${#programs[@]} == 0 )); then
    echo "run-bench.sh: no benchmark programs in $build_dir/bench (was it built with -DTAXBRIDGE_BENCH=ON?)" >&2
    exit 1
  fi
  for p in "${programs[@]}"; do
    echo "== $(basename "$p")"
    "$p" ${BENCH_ARGS:-} || { echo "run-bench.sh: $(basename "$p") failed" >&2; status=1; }
  done
fi

if [[ $parts == *" full "* ]]; then
  runner="$build_dir/bench/full_run_bench"
  if [[ ! -x $runner ]]; then
    echo "run-bench.sh: no $runner (was it built with -DTAXBRIDGE_BENCH=ON?)" >&2
    exit 1
  fi
  echo "== full run of taxbridge_plus (journal method, whole year) against the plain scan, the grouped pass and the peer"
  # shellcheck disable=SC2086
  "$runner" --repeat "$repeat" --peer "$here/peer/return_figures.py" "$build_dir" "$build_dir/bench-data" $sizes ||
    { echo "run-bench.sh: full_run_bench failed" >&2; status=1; }
fi
if [[ $parts == *" demo "* ]]; then
  runner="$build_dir/bench/full_run_bench"
  if [[ ! -x $runner ]]; then
    echo "run-bench.sh: no $runner (was it built with -DTAXBRIDGE_BENCH=ON?)" >&2
    exit 1
  fi
  echo "== taxbridge_plus on the demo company data${demo_lines:+ and on $demo_lines lines}: the dialog's start-up and the saved-return method"
  # shellcheck disable=SC2086
  "$runner" demo "$build_dir" "$build_dir/bench-data" "$here/../demo/ledger" "${BENCH_DEMO_RUNS:-20}" $demo_lines ||
    { echo "run-bench.sh: full_run_bench demo failed" >&2; status=1; }
fi

# ---- tty: the terminal backend against the script backend (bench/tty/README.md).
# Part of the default parts. The same journal-method run, BENCH_TTY_RUNS times
# each way (default 3), on generated data of BENCH_TTY_LINES journal lines
# (default 1000000).
if [[ $parts == *" tty "* ]]; then
  runner="$build_dir/bench/tty_run_bench"
  if [[ ! -x $runner ]]; then
    echo "run-bench.sh: no $runner (was it built with -DTAXBRIDGE_BENCH=ON?)" >&2
    exit 1
  fi
  echo "== taxbridge_plus under the terminal backend (tmux) against the script backend"
  "$runner" "$build_dir" "$build_dir/bench-data/tty" "${BENCH_TTY_LINES:-1000000}" "${BENCH_TTY_RUNS:-3}" ||
    { echo "run-bench.sh: tty_run_bench failed" >&2; status=1; }
fi
# ---- big: one run on a company of BENCH_BIG_LINES lines, end to end. Not
# among the default parts: the data alone takes minutes to make.
if [[ $parts == *" big "* ]]; then
  runner="$build_dir/bench/full_run_bench"
  if [[ ! -x $runner ]]; then
    echo "run-bench.sh: no $runner (was it built with -DTAXBRIDGE_BENCH=ON?)" >&2
    exit 1
  fi
  echo "== one journal-method run of taxbridge_plus on ${BENCH_BIG_LINES:-5000000} lines: time and peak memory"
  "$runner" big "$build_dir" "$build_dir/bench-data" "${BENCH_BIG_LINES:-5000000}" ||
    { echo "run-bench.sh: full_run_bench big failed" >&2; status=1; }
fi

# ---- import: `ledger import` of a generated folder of BENCH_IMPORT_LINES
# journal lines (default 1000000, cached in bench-data/import) against the
# sqlite3 command's .import plus one INSERT ... SELECT into the same schema,
# BENCH_IMPORT_RUNS times each (default 3), alternately; medians of wall time,
# CPU time and peak memory, and the ratio (bench/import/import_bench.py).
if [[ $parts == *" import "* ]]; then
  echo "== ledger import against sqlite3's .import into the same schema"
  if [[ ! -x /usr/bin/sqlite3 ]]; then
    echo "run-bench.sh: import: /usr/bin/sqlite3 is missing; install the Debian package sqlite3" >&2
    status=1
  elif [[ ! -x $build_dir/bin/ledger ]]; then
    echo "run-bench.sh: no $build_dir/bin/ledger (build the ledger target)" >&2
    exit 1
  else
    python3 "$here/import/import_bench.py" "$build_dir" "$build_dir/bench-data/import" \
      "${BENCH_IMPORT_LINES:-1000000}" "${BENCH_IMPORT_RUNS:-3}" ||
      { echo "run-bench.sh: import_bench.py failed" >&2; status=1; }
  fi
fi
exit $status
