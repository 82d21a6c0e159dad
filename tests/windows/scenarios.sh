#!/usr/bin/env bash
# scenarios.sh WINDOWS_BUILD [LINUX_BUILD]
# Whole runs of the Windows programs under Wine, driven by the script backend
# as `ledger.exe launch` starts them, against the same runs of the Linux
# programs. Each scenario runs twice in the same folder, first with the Linux
# build, then with the Windows one, so that every Windows path the programs
# see and show is the same: the exit status (the posted run result), the
# document's bytes, the transcript's bytes and the settings the run left must
# then be equal, and where a hand-worked document exists in tests/golden/
# expected, the document must be exactly that one. Without a Linux build only
# the statuses and the hand-worked documents are checked.
#
# The demo company data is imported into a fresh installation by each build's
# own ledger command. The Windows runs keep their settings on the C: drive of
# the build's Wine prefix; it is cleared before each run, as the Linux runs get
# a fresh C: folder of their own through the drive map.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
win_build=$(cd "$1" && pwd)
linux_build=""
if [ -n "${2:-}" ] && [ -x "$2/bin/ledger" ] && [ -x "$2/bin/taxbridge_plus" ]; then
  linux_build=$(cd "$2" && pwd)
fi
[ -f "$win_build/bin/ledger.exe" ] || { echo "scenarios.sh: $win_build/bin/ledger.exe is missing (make windows)" >&2; exit 1; }
. "$source_dir/tools/windows/wine-env.sh" "$win_build"

work="$win_build/scenarios"
rm -rf "$work"
mkdir -p "$work"
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# Both installations, loaded once with the demo data.
linux_ledger() { LEDGER_HOME="$work/linux-home" TAXBRIDGE_DRIVES="$work/drives" "$linux_build/bin/ledger" "$@"; }
wine_ledger() { LEDGER_HOME="$(windows_path "$work/wine-home")" "$WINE" "$win_build/bin/ledger.exe" "$@"; }
mkdir -p "$work/drive_c"
printf 'C: "%s"\n' "$work/drive_c" >"$work/drives"
if [ -n "$linux_build" ]; then
  linux_ledger init >"$work/linux-init.log" 2>&1 && linux_ledger import "$source_dir/demo/ledger" >>"$work/linux-init.log" 2>&1 ||
    { cat "$work/linux-init.log"; echo "scenarios.sh: the Linux ledger could not be loaded" >&2; exit 1; }
fi
wine_ledger init >"$work/wine-init.log" 2>&1 && wine_ledger import "$(windows_path "$source_dir/demo/ledger")" >>"$work/wine-init.log" 2>&1 ||
  { cat "$work/wine-init.log"; echo "scenarios.sh: ledger.exe could not load the demo data under Wine" >&2; exit 1; }

failures=0
passed=0
fail() {
  echo "FAIL $scenario: $*"
  failures=$((failures + 1))
  ok=0
}

# scenario NAME USER DATA_NO STATUS GOLDEN|- OUTPUT [--fixed] <<< SCRIPT
#   OUTPUT is the document's Linux path below the run folder; --fixed gives it to
#   the program on its command line (the caller fixes the path), otherwise the
#   script types it. GOLDEN names tests/golden/expected/GOLDEN, or "-" when the
#   run writes no document.
scenario() {
  scenario=$1
  local user=$2 data=$3 want_status=$4 golden=$5 output=$6 fixed=${7:-}
  local script
  script=$(cat)
  local run="$work/$scenario"
  local ok=1
  local -A status document transcript settings
  for side in linux wine; do
    [ "$side" = linux ] && [ -z "$linux_build" ] && continue
    rm -rf "$run" "$WINEPREFIX/drive_c/taxbridge" "$work/drive_c"
    mkdir -p "$run/out/表示ソフト" "$work/drive_c"
    # @RUN@ in a script is the run folder as typed, "¥" for each separator.
    printf '%s\n' "${script//@RUN@/Z:${run//\//¥}}" >"$run/script.txt"
    local args=(launch plus)
    [ "$fixed" = --fixed ] && args+=(--path "$(windows_path "$run/$output")")
    local result=0
    if [ "$side" = linux ]; then
      linux_ledger select "$user" "$data" >/dev/null
      TAXBRIDGE_SCRIPT="$run/script.txt" TAXBRIDGE_TRANSCRIPT="$run/transcript.txt" \
        LEDGER_HOME="$work/linux-home" TAXBRIDGE_DRIVES="$work/drives" \
        "$linux_build/bin/ledger" "${args[@]}" >"$run/launch.log" 2>&1 || result=$?
    else
      wine_ledger select "$user" "$data" >/dev/null
      TAXBRIDGE_SCRIPT="$(windows_path "$run/script.txt")" TAXBRIDGE_TRANSCRIPT="$(windows_path "$run/transcript.txt")" \
        LEDGER_HOME="$(windows_path "$work/wine-home")" \
        "$WINE" "$win_build/bin/ledger.exe" "${args[@]}" >"$run/launch.log" 2>&1 || result=$?
    fi
    status[$side]=$result
    document[$side]=$( [ -f "$run/$output" ] && sha256sum <"$run/$output" | cut -d' ' -f1 || echo none)
    # The dialog's default output folder is the machine's temporary folder
    # (GetTempPathA): "Z:\tmp\" on Linux, the user's Temp folder under
    # Wine. That one difference is the platform's own, so it is named alike.
    transcript[$side]=$( [ -f "$run/transcript.txt" ] &&
      sed -E 's/"(Z:\\\\tmp|C:\\\\users\\\\[^\\]*\\\\Temp)\\\\\*\.xml"/"TEMP\\\\*.xml"/' "$run/transcript.txt" |
      sha256sum | cut -d' ' -f1 || echo none)
    local c_drive="$work/drive_c"
    [ "$side" = wine ] && c_drive="$WINEPREFIX/drive_c"
    settings[$side]=$( (cd "$c_drive" && { find taxbridge -type f 2>/dev/null || true; } | sort | xargs -r cat) | sha256sum | cut -d' ' -f1)
    mkdir -p "$work/kept/$scenario"
    rm -rf "$work/kept/$scenario/$side" && cp -r "$run" "$work/kept/$scenario/$side"
    [ "$result" = "$want_status" ] || fail "$side run ended with status $result, not $want_status (see $work/kept/$scenario/$side)"
    if [ "$golden" = - ]; then
      [ "${document[$side]}" = none ] || fail "$side run wrote a document"
    elif ! cmp -s "$run/$output" "$source_dir/tests/golden/expected/$golden"; then
      fail "$side run's document is not tests/golden/expected/$golden"
    fi
  done
  if [ -n "$linux_build" ]; then
    [ "${status[linux]}" = "${status[wine]}" ] || fail "status: Linux ${status[linux]}, Windows ${status[wine]}"
    [ "${document[linux]}" = "${document[wine]}" ] || fail "the documents differ"
    [ "${transcript[linux]}" = "${transcript[wine]}" ] ||
      fail "the transcripts differ: diff $work/kept/$scenario/linux/transcript.txt $work/kept/$scenario/wine/transcript.txt"
    [ "${settings[linux]}" = "${settings[wine]}" ] || fail "the settings left on C: differ"
  fi
  if [ "$ok" = 1 ]; then
    passed=$((passed + 1))
    echo "ok   $scenario"
  fi
}

corporation_journal='click 1029
key F12
answer OK
answer OK'
saved_return='click 1031
key F12
answer OK'

scenario corporation-journal 001 1 0 corporation_journal.xml out/tax.xml --fixed <<<"$corporation_journal"
scenario individual-journal 002 2 0 individual_journal.xml out/tax.xml --fixed <<'S'
click 1029
type 1014 "4"
type 1016 "12"
key F12
answer OK
S
scenario corporation-saved-return 001 1 0 corporation_saved_return.xml out/tax.xml --fixed <<<"$saved_return"
scenario individual-saved-return 002 2 0 individual_saved_return.xml out/tax.xml --fixed <<<"$saved_return"
# A folder whose Shift_JIS name holds 0x5C trail bytes ("表" 95 5C, "ソ" 83 5C).
scenario shift-jis-folder 001 1 0 corporation_journal.xml "out/表示ソフト/tax.xml" --fixed <<<"$corporation_journal"
# The path typed by the user, with "¥" for every separator as a Japanese
# keyboard writes it; the settings then remember it.
scenario typed-yen-path 001 1 0 corporation_journal.xml "out/表示ソフト/typed.xml" <<'S'
click 1029
type 1008 "@RUN@¥out¥表示ソフト¥typed.xml"
key F12
answer OK
answer OK
S
# The user closes the dialog: result 1, no document, no settings.
scenario cancel 001 1 1 - out/tax.xml --fixed <<'S'
key Escape
answer OK
S

echo "scenarios: $passed passed, $failures failed ($([ -n "$linux_build" ] && echo "against $linux_build" || echo "no Linux build to compare with"))"
[ "$failures" -eq 0 ]
