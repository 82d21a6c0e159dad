#!/usr/bin/env bash
# make reliability: runs what proves the program's promises under faults and
# hostile input, prints the figures and writes them into docs/reliability.md.
#   - the test suite (plain build), collecting the lines its tests print:
#       fault-points NAME tried N survived M     (fault-injection tests)
#       hostile-inputs READER N                  (property and mutation tests)
#   - the fuzzing summary of bench/fuzz/run-fuzz.sh, when it is there (each
#     harness for FUZZ_SECONDS, 60 unless set):
#       fuzz-execs HARNESS N findings M
#   - the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer
#   - Valgrind's memcheck over one whole run of each method
# Usage: tools/reliability/report.sh BUILD_FOLDER SANITIZED_BUILD_FOLDER
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-build}
sanitized=${2:-build-asan}
jobs=${JOBS:-2}
cd "$root"
logs="$build/reliability"
mkdir -p "$logs"
today=$(date +%F)

echo "== the test suite, with the figures its tests print"
(cd "$build" && ctest -V -j "$jobs") >"$logs/suite.log" 2>&1
suite_status=$?
suite_summary=$(grep -E 'tests passed|tests failed out of' "$logs/suite.log" | tail -1)

fault_lines=$(grep -oE 'fault-points [^ ]+ tried [0-9]+ survived [0-9]+' "$logs/suite.log" | sort -u)
fault_tried=0
fault_survived=0
while read -r _ _ _ tried _ survived; do
  [ -n "${tried:-}" ] || continue
  fault_tried=$((fault_tried + tried))
  fault_survived=$((fault_survived + survived))
done <<<"$fault_lines"

hostile_lines=$(grep -oE 'hostile-inputs [^ ]+ [0-9]+' "$logs/suite.log" |
  awk '{sum[$2] += $3} END {for (r in sum) print "hostile-inputs", r, sum[r]}' | sort)

echo "== fuzzing"
fuzz_seconds=${FUZZ_SECONDS:-60}
fuzz_lines=""
fuzz_note="not run: bench/fuzz/run-fuzz.sh is not in this tree"
if [ -f bench/fuzz/run-fuzz.sh ]; then
  # `make fuzz` builds the harnesses and runs each for FUZZ_SECONDS.
  if grep -q '^fuzz:' Makefile; then
    make --no-print-directory fuzz BUILD="$build" JOBS="$jobs" FUZZ_SECONDS="$fuzz_seconds" >"$logs/fuzz.log" 2>&1
  else
    bash bench/fuzz/run-fuzz.sh "$build-fuzz" "$fuzz_seconds" >"$logs/fuzz.log" 2>&1
  fi
  fuzz_status=$?
  fuzz_lines=$(grep -oE 'fuzz-execs [^ ]+ [0-9]+ findings [0-9]+' "$logs/fuzz.log")
  if [ -n "$fuzz_lines" ]; then
    fuzz_note="$fuzz_seconds seconds per harness (status $fuzz_status)"
  else
    fuzz_note="not run: the fuzzing printed no summary (status $fuzz_status; see $logs/fuzz.log)"
  fi
fi

echo "== the suite under AddressSanitizer and UndefinedBehaviorSanitizer"
make --no-print-directory test-sanitized BUILD="$build" SANITIZED_BUILD="$sanitized" JOBS="$jobs" \
  >"$logs/sanitized.log" 2>&1
sanitized_status=$?
sanitized_summary=$(grep -E 'tests passed|tests failed out of' "$logs/sanitized.log" | tail -1)
findings=$(grep -cE '^(==[0-9]+==ERROR: |.*runtime error: |SUMMARY: (Address|Leak|UndefinedBehavior)Sanitizer)' \
  "$logs/sanitized.log")
if [ "$sanitized_status" -eq 0 ]; then
  sanitizer_state="clean: ${sanitized_summary:-all tests passed}, $findings sanitizer reports"
else
  sanitizer_state="FAILED: ${sanitized_summary:-the build or the suite failed}, $findings sanitizer reports (see $logs/sanitized.log)"
fi

echo "== memcheck"
bash tools/reliability/memcheck.sh "$build" >"$logs/memcheck.log" 2>&1
memcheck_status=$?
memcheck_lines=$(grep -E '^memcheck [a-z-]+: ' "$logs/memcheck.log")
if [ "$memcheck_status" -eq 0 ]; then memcheck_state="clean"; else memcheck_state="NOT clean (see $logs/memcheck.log)"; fi

# The figures, as printed and as written into the document.
{
  echo "Date of the run: $today"
  echo
  echo "Test suite: ${suite_summary:-no summary} (status $suite_status)"
  echo
  echo "Fault points: $fault_tried tried, $fault_survived survived"
  if [ -n "$fault_lines" ]; then
    echo "$fault_lines" | awk '{printf "  %-36s %6d tried %6d survived\n", $2, $4, $6}'
  else
    echo "  not run: no fault-injection test printed its figures"
  fi
  echo
  echo "Hostile inputs per reader:"
  if [ -n "$hostile_lines" ]; then
    echo "$hostile_lines" | awk '{printf "  %-36s %8d\n", $2, $3}'
  else
    echo "  not run: no property or mutation test printed its figures"
  fi
  echo
  echo "Fuzzing: $fuzz_note"
  if [ -n "$fuzz_lines" ]; then
    echo "$fuzz_lines" | awk '{printf "  %-36s %12d executions %4d findings\n", $2, $3, $5}'
  fi
  echo
  echo "Sanitizers (ASan + UBSan, GCC): $sanitizer_state"
  echo
  echo "Memcheck: $memcheck_state"
  if [ -n "$memcheck_lines" ]; then echo "$memcheck_lines" | sed 's/^/  /'; fi
} >"$logs/figures.txt"
cat "$logs/figures.txt"

{
  cat <<'HEAD'
# Reliability figures

Written by `make reliability`, which runs the checks below and records what
they found. Run it again after a change to bring the figures up to date; the
logs of the last run are in `build/reliability/`.

```
HEAD
  cat "$logs/figures.txt"
  cat <<'TAIL'
```

## What each figure means

- **Test suite**: the plain build's CTest run, from which the figures below
  are read.
- **Fault points**: places where a test made the file system fail and watched
  what the program did. `document-*` is one of the four demo documents (the
  corporation and the sole proprietor, each by the journal method and by the
  saved-return method) written by a whole run, in the test's process, with
  its output file failing at the open, at the k-th write for every k the
  document has, or at the close; each point is tried with every way of
  answering the section questions (No at the first, at the second, ..., Yes
  to all). `settings-file` and `settings-folder` are the settings file's
  write failing at each call of each step: creating the new file, writing,
  flushing to disk, closing, renaming, and making each level of a missing
  folder. A point is *survived* when the run did exactly what it must: no
  crash; the questions the failure calls for, in order; the answer followed
  (No: result 2 and no settings; Yes to all: completion, result 0 and the
  settings); the file closed holding exactly the lines written before the
  failure; the result posted to the calling window; for the settings, the old
  file byte for byte as it was, no new file and no folder of the attempt left.
  Tried and survived must be equal.
- **Hostile inputs per reader**: cases fed by the property and mutation tests
  (fixed seeds) to each reader of outside data (the host command line, the
  settings file, SUPPORT.INF, HalvernDef.ini, the INI reader, the CSV import,
  the script file, the Shift_JIS helpers, the full-width mapping, the
  search-clause evaluator). "not run" means no such test printed its count.
- **Fuzzing**: executions of each AFL++ harness in `bench/fuzz/` and the
  crashes or hangs it found, as `bench/fuzz/run-fuzz.sh` reports them.
- **Sanitizers**: the whole suite built with `-fsanitize=address,undefined`
  (no recovery; leak checking on) and run; any report fails the suite. `make
  test` runs it after the plain suite. No suppressions are used.
- **Memcheck**: Valgrind's memcheck over `ledger launch` and the program it
  starts, for one whole run of each method on the demo data (see
  `make memcheck`): clean means no invalid access, no use of an uninitialised
  value, no bad free and no memory definitely or possibly lost, in either
  process.
TAIL
} >docs/reliability.md
echo
echo "written: docs/reliability.md"

[ "$suite_status" -eq 0 ] && [ "$sanitized_status" -eq 0 ] && [ "$memcheck_status" -eq 0 ] &&
  [ "$fault_tried" -eq "$fault_survived" ]
