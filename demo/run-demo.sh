#!/usr/bin/env bash
# run-demo.sh BUILD [FOLDER]
# The demo: a fresh accounting installation under the build folder (or FOLDER), loaded
# with the bundled company data, and three unattended runs of taxbridge_plus
# started by `ledger launch` as the accounting product starts it:
#   the corporation (data 1) by the journal method and by the saved-return
#   method, and the sole proprietor (data 2) by the journal method.
# Each run's posted result, document and transcript are shown; the demo fails
# when a run does not complete (posted result other than 0, or no document).
# A Windows build (BUILD/bin/ledger.exe) runs the same demo with ledger.exe and
# taxbridge_plus.exe under Wine (tools/windows/wine-env.sh).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
bin="$build/bin"
# The demo's own folder: build/demo, or the folder given second.
demo="${2:-$build/demo}"

rm -rf "$demo"
mkdir -p "$demo/out" "$demo/transcripts"
# The Windows path the program is given for a Linux path (Z: is "/").
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
if [ -f "$bin/ledger.exe" ]; then
  # Under Wine every path a program is given is a Windows path; C: is the
  # build's own Wine prefix, so the demo leaves the user's settings alone.
  . "$here/../tools/windows/wine-env.sh" "$build"
  ledger() { "$WINE" "$bin/ledger.exe" "$@"; }
  export LEDGER_HOME="$(windows_path "$demo/home")"
  script_path() { windows_path "$1"; }
else
  ledger() { "$bin/ledger" "$@"; }
  export LEDGER_HOME="$demo/home"
  # The program's C: drive (where the accounting product's settings folder and
  # the per-user settings file lie) is a fresh folder of the demo, so that the
  # demo neither reads nor changes the settings of the user's own runs.
  mkdir -p "$demo/drive_c"
  printf 'C: "%s"\n' "$demo/drive_c" >"$demo/drives"
  export TAXBRIDGE_DRIVES="$demo/drives"
  script_path() { printf '%s' "$1"; }
fi

ledger init
ledger import "$(script_path "$here/ledger")"
echo

failed=0
run() {  # run NAME USER DATA_NO SCRIPT
  local name=$1 user=$2 data=$3 script="$here/scripts/$4"
  local document="$demo/out/$name.xml" transcript="$demo/transcripts/$name.txt"
  echo "== $name: data $data, script $(basename "$script")"
  ledger select "$user" "$data"
  local result=0
  TAXBRIDGE_SCRIPT="$(script_path "$script")" TAXBRIDGE_TRANSCRIPT="$(script_path "$transcript")" \
    ledger launch plus --path "$(windows_path "$document")" || result=$?
  echo "posted result: $result"
  if [ "$result" -eq 0 ] && [ -s "$document" ]; then
    echo "document: $document ($(wc -c <"$document") bytes, Shift_JIS)"
    # The figures of the demo data were also worked out by hand; the run
    # must write exactly that document.
    local expected="$here/../tests/golden/expected/${name//-/_}.xml"
    if [ -f "$expected" ]; then
      if cmp -s "$document" "$expected"; then
        echo "same as the hand-worked document tests/golden/expected/$(basename "$expected")"
      else
        echo "DIFFERS from the hand-worked document tests/golden/expected/$(basename "$expected")"
        failed=1
      fi
    fi
  else
    echo "RUN DID NOT COMPLETE"
    failed=1
  fi
  echo "transcript: $transcript"
  grep -E '^(messagebox|error)' "$transcript" | sed 's/^/  /' || true
  echo
}

run corporation-journal 001 1 corporation-journal.script
run corporation-saved-return 001 1 corporation-saved-return.script
run individual-journal 002 2 individual-journal.script

if [ "$failed" -ne 0 ]; then
  echo "demo: a run did not complete" >&2
  exit 1
fi
echo "demo: all three runs completed; the documents are in $demo/out"
