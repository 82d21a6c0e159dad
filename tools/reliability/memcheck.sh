#!/usr/bin/env bash
# make memcheck: Valgrind's memcheck over one whole run of each method on the
# demo company data, started by `ledger launch` as the accounting product
# starts the program, the script backend answering:
#   corporation (data 1), journal method (button 1029), every month;
#   corporation (data 1), saved-return method (button 1031).
# The launcher and the program it starts are both checked
# (--trace-children). A run passes when it completes (posted result 0, a
# document written) and every process's log ends with no error (invalid
# reads or writes, uses of uninitialised values, bad frees, and memory
# definitely or possibly lost).
# Usage: tools/reliability/memcheck.sh BUILD_FOLDER
set -euo pipefail

here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-build}" && pwd)
bin="$build/bin"
command -v valgrind >/dev/null || { echo "memcheck: valgrind is not installed (Debian package valgrind)" >&2; exit 1; }

work=$(mktemp -d /tmp/tb-memcheck-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/drive_c" "$work/out" "$work/logs"
# The settings file lives on C:, which is a folder of this check only.
printf 'C: "%s"\n' "$work/drive_c" >"$work/drives"
export TAXBRIDGE_DRIVES="$work/drives" LEDGER_HOME="$work/home" TAXBRIDGE_RUNTIME_DIR="$work/run"
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

"$bin/ledger" init >/dev/null
"$bin/ledger" import "$here/demo/ledger" >/dev/null
"$bin/ledger" select 001 1 >/dev/null

failed=0
scenario() {  # scenario NAME SCRIPT_TEXT
  local name=$1 script="$work/$1.script" document="$work/out/$1.xml"
  printf '%s' "$2" >"$script"
  mkdir -p "$work/logs/$name"
  local result=0
  TAXBRIDGE_SCRIPT="$script" TAXBRIDGE_TRANSCRIPT="$work/$name.transcript" \
    valgrind --tool=memcheck --trace-children=yes --leak-check=full --track-origins=yes \
      --error-exitcode=99 --log-file="$work/logs/$name/%p.log" \
      "$bin/ledger" launch plus --path "$(windows_path "$document")" >"$work/$name.out" 2>&1 || result=$?
  local logs clean=1
  logs=$(ls "$work/logs/$name"/*.log)
  for log in $logs; do
    if ! grep -q 'ERROR SUMMARY: 0 errors from 0 contexts' "$log"; then
      clean=0
      echo "--- $log"
      cat "$log"
    fi
  done
  local programs
  programs=$(grep -l 'taxbridge_plus' $logs | wc -l)
  if [ "$result" -ne 0 ] || [ ! -s "$document" ] || [ "$programs" -lt 1 ]; then
    echo "memcheck $name: the run did not complete (posted result $result)"
    cat "$work/$name.out" "$work/$name.transcript" 2>/dev/null || true
    failed=1
  elif [ "$clean" -ne 1 ]; then
    echo "memcheck $name: errors (logs above)"
    failed=1
  else
    echo "memcheck $name: clean ($(echo "$logs" | wc -w) processes, posted result 0, $(wc -c <"$document") bytes written)"
  fi
}

scenario corporation-journal $'click 1029\nkey F12\nanswer OK\nanswer OK\n'
scenario corporation-saved-return $'click 1031\nkey F12\nanswer OK\n'

if [ "$failed" -ne 0 ]; then
  echo "memcheck: NOT clean" >&2
  exit 1
fi
echo "memcheck: clean"
