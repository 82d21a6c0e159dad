#!/usr/bin/env bash
# Runs every benchmark program of a bench build: bench/run-bench.sh BUILD_DIR.
# Each program's report goes to the terminal; the script fails when a program
# fails or when there is none to run.
set -euo pipefail

build_dir="${1:?usage: run-bench.sh BENCH_BUILD_DIR}"
shopt -s nullglob
programs=()
for p in "$build_dir"/bench/bench_*; do
  [[ -f "$p" && -x "$p" ]] && programs+=("$p")
done
if (( ${#programs[@]} == 0 )); then
  echo "run-bench.sh: no benchmark programs in $build_dir/bench (was it built with -DTAXBRIDGE_BENCH=ON?)" >&2
  exit 1
fi

status=0
for p in "${programs[@]}"; do
  echo "== $(basename "$p")"
  "$p" ${BENCH_ARGS:-} || { echo "run-bench.sh: $(basename "$p") failed" >&2; status=1; }
done
exit $status
