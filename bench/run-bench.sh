#!/usr/bin/env bash
# Runs the benchmarks of a bench build: bench/run-bench.sh BUILD_DIR.
#
# First every Google Benchmark program (bench/bench_*), each report to the
# terminal; then the whole-run benchmark (bench/full_run_bench) on generated
# company data of BENCH_SIZES journal lines (default "100000 1000000 2000000"),
# cached in BUILD_DIR/bench-data. BENCH_PARTS picks what runs: "micro",
# "full" or "micro full" (the default). BENCH_ARGS is passed to every Google
# Benchmark program. The script fails when a program fails or when there is
# none to run.
set -euo pipefail

build_dir="${1:?usage: run-bench.sh BENCH_BUILD_DIR}"
parts=" ${BENCH_PARTS:-micro full tty} "
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
exit $status
