#!/usr/bin/env bash
# Runs the benchmarks of a bench build: bench/run-bench.sh BUILD_DIR.
#
# First every Google Benchmark program (bench/bench_*), each report to the
# terminal; then the whole-run benchmark (bench/full_run_bench) on generated
# company data of BENCH_SIZES journal lines (default "100000 1000000 2000000"),
# cached in BUILD_DIR/bench-data; then the dialog's start-up and the
# saved-return method on the demo company data, BENCH_DEMO_RUNS times each
# (default 20). BENCH_PARTS picks what runs: any of "micro", "full", "demo",
# "tty" and "import" (the default is all of them). BENCH_ARGS is passed to every Google
# Benchmark program. Every run of taxbridge_plus has its own C: drive and
# installation. The script fails when a program fails or when there is none
# to run.
set -euo pipefail

build_dir="${1:?usage: run-bench.sh BENCH_BUILD_DIR}"
parts=" ${BENCH_PARTS:-micro full demo tty import} "
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
  echo "== full run of taxbridge_plus (journal method, whole year) against one plain pass"
  # shellcheck disable=SC2086
  "$runner" "$build_dir" "$build_dir/bench-data" $sizes || { echo "run-bench.sh: full_run_bench failed" >&2; status=1; }
fi
if [[ $parts == *" demo "* ]]; then
  runner="$build_dir/bench/full_run_bench"
  if [[ ! -x $runner ]]; then
    echo "run-bench.sh: no $runner (was it built with -DTAXBRIDGE_BENCH=ON?)" >&2
    exit 1
  fi
  echo "== taxbridge_plus on the demo company data: the dialog's start-up and the saved-return method"
  "$runner" demo "$build_dir" "$build_dir/bench-data" "$here/../demo/ledger" "${BENCH_DEMO_RUNS:-20}" ||
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
