#!/usr/bin/env bash
# Runs every AFL++ harness of a fuzz build for a while, one after the other
# on one core, and prints one line per harness:
#   fuzz-execs HARNESS EXECUTIONS findings CRASHES+HANGS
# Usage: bench/fuzz/run-fuzz.sh [BUILD_DIR (build-fuzz)] [SECONDS_EACH (60)] [HARNESS...]
# The findings stay in BUILD_DIR/fuzz-out/HARNESS/default/{crashes,hangs}.
set -uo pipefail

build=${1:-build-fuzz}
seconds=${2:-60}
shift $(( $# >= 2 ? 2 : $# ))
here=$(cd "$(dirname "$0")" && pwd)

if ! command -v afl-fuzz >/dev/null; then
  echo "run-fuzz.sh: afl-fuzz is not installed (Debian package afl++)" >&2
  exit 1
fi

harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
  for seeds in "$here"/seeds/*/; do harnesses+=("$(basename "$seeds")"); done
fi

# No terminal UI, no CPU-frequency or core-pattern checks (a shared machine
# need not be set up for fuzzing), and the same sanitizer settings as the tests.
export AFL_NO_UI=1 AFL_SKIP_CPUFREQ=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 AFL_NO_AFFINITY=1
export AFL_SKIP_BIN_CHECK=0 AFL_QUIET=1
export ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1

status=0
for h in "${harnesses[@]}"; do
  program="$build/fuzz/fuzz_$h"
  if [ ! -x "$program" ]; then
    echo "run-fuzz.sh: $program is not built (make fuzz builds it)" >&2
    status=1
    continue
  fi
  out="$build/fuzz-out/$h"
  rm -rf "$out"
  mkdir -p "$out"
  # -V: stop after that many seconds; -t: 1 s an input (a hang is a finding).
  afl-fuzz -V "$seconds" -t 1000 -i "$here/seeds/$h" -o "$out" -- "$program" @@ >"$out/afl.log" 2>&1
  stats="$out/default/fuzzer_stats"
  if [ ! -f "$stats" ]; then
    echo "run-fuzz.sh: afl-fuzz did not run $h; see $out/afl.log" >&2
    tail -5 "$out/afl.log" >&2
    status=1
    continue
  fi
  value() { awk -F': *' -v k="$1" '$1 ~ "^"k" *$" {print $2}' "$stats" | tr -d ' '; }
  execs=$(value execs_done)
  crashes=$(value saved_crashes)
  [ -n "$crashes" ] || crashes=$(value unique_crashes)
  hangs=$(value saved_hangs)
  [ -n "$hangs" ] || hangs=$(value unique_hangs)
  findings=$(( ${crashes:-0} + ${hangs:-0} ))
  echo "fuzz-execs $h ${execs:-0} findings $findings"
  [ "$findings" -eq 0 ] || status=1
done
exit $status
