#!/usr/bin/env bash
# ui.sh WINDOWS_BUILD
# The Windows programs' real windows under Wine, on a virtual X display
# (Xvfb), driven by real key presses and pointer moves (xdotool, through
# XTEST) as a user drives them. tools/window-probe reads the windows back
# from outside the program: what they show, which control has the focus, and
# every control of dialogs 130 and 131 against the templates compiled into
# the program. Each driven run that completes is held byte for byte against
# the same run answered by a script (the script backend, same build, same
# books) and against the hand-worked document of tests/golden/expected.
#
# Screenshots (PNG) of dialog 130, its tip, dialog 131 while it works (on big
# books), message boxes and the save-file dialog are left in
# WINDOWS_BUILD/screenshots/.
#
# The dialog font "ＭＳ Ｐゴシック" is replaced by IPAPGothic (fonts-ipafont),
# whose base units are those of the font the templates were laid out for;
# Wine shows its windows inside one virtual desktop, which spares the wait of
# a bare X server at every closed window.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
win_build=$(cd "$1" && pwd)
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "ui.sh: $tool is missing (make deps-windows installs it)" >&2; exit 1; }
done
[ -f "$win_build/bin/window_probe.exe" ] || { echo "ui.sh: $win_build/bin/window_probe.exe is missing (make windows)" >&2; exit 1; }

work="$win_build/ui"
shots="$win_build/screenshots"
rm -rf "$work" "$shots"
mkdir -p "$work" "$shots"
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# A display of our own.
display=90
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
launched=""
cleanup() {
  stop_programs
  # Wine's server ends with the display, so that no later program finds a
  # desktop on a display that is gone.
  [ -n "${wine_env_server:-}" ] && "$wine_env_server" -k </dev/null >/dev/null 2>&1 || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do DISPLAY=":$display" xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
DISPLAY=":$display" xdotool getdisplaygeometry >/dev/null 2>&1 || { cat "$work/xvfb.log"; echo "ui.sh: Xvfb did not start" >&2; exit 1; }
WINE_ENV_DISPLAY=":$display" . "$source_dir/tools/windows/wine-env.sh" "$win_build"

reg() { "$WINE" reg add "$@" /f >/dev/null 2>&1; }
reg 'HKCU\Software\Wine\Explorer' /v Desktop /d Default
reg 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d IPAPGothic
# The desktop and the fonts are taken when Wine's server starts: once more.
WINE_ENV_DISPLAY=":$display" . "$source_dir/tools/windows/wine-env.sh" "$win_build"

probe() { "$WINE" "$win_build/bin/window_probe.exe" "$@" | tr -d '\r'; }
# Keys go to the X window that has the input focus. Wine hands it to a newly
# shown window a moment after it shows, and not always: each window is
# waited for until X has given it the keyboard, and given it by hand
# (XSetInputFocus, as a click on it would) when Wine did not.
keys() { xdotool key --delay 60 "$@"; }
focus_on() { # CAPTION
  local x="" i
  for i in $(seq 200); do
    x=$(xdotool getwindowfocus getwindowname 2>/dev/null || true)
    [ "$x" = "$1" ] && return 0
    if [ $((i % 20)) = 0 ]; then
      xdotool search --onlyvisible --name "^$1\$" windowfocus >/dev/null 2>&1 || true
    fi
    sleep 0.05
  done
  fail "the window \"$1\" never had the keyboard (X gave it to \"$x\")"
}
type_text() { xdotool type --delay 40 "$1"; }
click_control() { # CAPTION ID
  local at
  at=$(probe center "$1" "$2")
  # shellcheck disable=SC2086
  xdotool mousemove $at click 1
}
# The line of control ID in the window's state, and the text it shows.
control() { probe state "$1" | awk -v id="$2" '$1 == id'; }
text_of() { control "$1" "$2" | sed 's/^[^"]*"\(.*\)"$/\1/'; }

wine_ledger() { LEDGER_HOME="$(windows_path "$work/home")" "$WINE" "$win_build/bin/ledger.exe" "$@"; }
# The demo company data, and big books of 100 000 lines as data 9.
wine_ledger init >"$work/init.log" 2>&1 && wine_ledger import "$(windows_path "$source_dir/demo/ledger")" >>"$work/init.log" 2>&1 &&
  wine_ledger generate 9 100000 >>"$work/init.log" 2>&1 ||
  { cat "$work/init.log"; echo "ui.sh: ledger.exe could not load the books under Wine" >&2; exit 1; }

title=消費税\ -\ 集計条件  # dialog 130
failures=0
passed=0
case_ok=1
fail() {
  echo "FAIL $case_name: $*"
  case_ok=0
}
# UI_CASES="name ..." runs only the cases named (the rest are skipped).
wanted() { [ -z "${UI_CASES:-}" ] || [[ " $UI_CASES " == *" $1 "* ]]; }
begin() {
  case_name=$1
  case_ok=1
  run="$work/$case_name"
  mkdir -p "$run/out"
}
end() {
  if [ "$case_ok" = 1 ]; then
    passed=$((passed + 1))
    echo "ok   $case_name"
  else
    failures=$((failures + 1))
    # What the screen showed when it went wrong.
    probe shot - "$(windows_path "$shots/failed-$case_name.png")" || true
  fi
}
expect() { # WHAT GOT WANT
  [ "$2" = "$3" ] || fail "$1: \"$2\", not \"$3\""
}

# start USER DATA [PATH]: the accounting product starts the program for the
# selected data, with PATH as the fixed output path when given. No script:
# the program opens its real windows.
start() {
  rm -rf "$WINEPREFIX/drive_c/taxbridge"
  wine_ledger select "$1" "$2" >/dev/null
  local args=(launch plus)
  [ -n "${3:-}" ] && args+=(--path "$(windows_path "$3")")
  LEDGER_HOME="$(windows_path "$work/home")" "$WINE" "$win_build/bin/ledger.exe" "${args[@]}" >"$run/launch.log" 2>&1 &
  launched=$!
  probe wait "消費税 - 集計条件" 60 >/dev/null || fail "dialog 130 was not shown"
  focus_on "消費税 - 集計条件"
}
# finish STATUS: the run ends with STATUS.
# A run that does not end within two minutes (a window left waiting for a
# key that never came) is ended, with the program it started.
finish() {
  local status=0
  for _ in $(seq 1200); do
    kill -0 "$launched" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$launched" 2>/dev/null; then
    fail "the run did not end"
    stop_programs
  fi
  wait "$launched" || status=$?
  launched=""
  expect "the run's status" "$status" "$1"
}
stop_programs() {
  pkill -f 'taxbridge_plus\.exe' 2>/dev/null || true
  [ -n "$launched" ] && kill "$launched" 2>/dev/null || true
}
# answer CAPTION_TEXT_START: a message box with caption "消費税" whose text
# starts with the given words is shown; Enter presses its default button.
answer() {
  local box text
  box=$(probe wait "消費税" 60) || { fail "no message box came"; return; }
  text=$(text_of "#$box" 65535)
  focus_on "消費税"
  case "$text" in "$1"*) ;; *) fail "the message box says \"$text\", not \"$1...\"" ;; esac
  keys Return
  probe gone "#$box" 30 || fail "the message box stayed"
}
# scripted NAME USER DATA PATH <<< SCRIPT: the same run answered by a script.
scripted() {
  local dir="$work/$1-script"
  mkdir -p "$dir"
  cat >"$dir/script.txt"
  rm -rf "$WINEPREFIX/drive_c/taxbridge"
  wine_ledger select "$2" "$3" >/dev/null
  TAXBRIDGE_SCRIPT="$(windows_path "$dir/script.txt")" TAXBRIDGE_TRANSCRIPT="$(windows_path "$dir/transcript.txt")" \
    LEDGER_HOME="$(windows_path "$work/home")" \
    "$WINE" "$win_build/bin/ledger.exe" launch plus --path "$(windows_path "$4")" >"$dir/launch.log" 2>&1 ||
    fail "the scripted run failed (see $dir)"
}
# The journal method on the demo corporation, answered by a script (once).
scripted_journal() {
  [ -f "$work/journal-script/tax.xml" ] && return 0
  scripted journal 001 1 "$work/journal-script/tax.xml" <<'S'
click 1029
key F12
answer OK
answer OK
S
}
same_document() { # DRIVEN SCRIPTED GOLDEN
  [ -f "$1" ] || { fail "the driven run wrote no document"; return; }
  cmp -s "$1" "$2" || fail "the driven run's document differs from the scripted run's ($1, $2)"
  cmp -s "$1" "$source_dir/tests/golden/expected/$3" || fail "the document is not tests/golden/expected/$3"
}

# The journal method, by keys alone: the dialog as the templates lay it out,
# its tip, the progress window while it works, the closing message box.
case_journal_by_keys() {
  begin journal-by-keys
  start 001 1 "$run/out/tax.xml"
  probe check "$title" 130 1003 1007 >"$run/check.txt" || fail "dialog 130 differs from its template: $(cat "$run/check.txt")"
  expect "start month" "$(text_of "$title" 1014)" 4
  expect "end month" "$(text_of "$title" 1016)" 3
  expect "the journal method" "$(control "$title" 1029 | grep -o 'checked=. focus=.')" "checked=1 focus=1"
  expect "the fixed path" "$(control "$title" 1008 | grep -o 'enabled=.')$(text_of "$title" 1008)" \
    "enabled=0$(windows_path "$run/out/tax.xml")"
  expect "browsing" "$(control "$title" 1009 | grep -o 'enabled=.')" enabled=0
  expect "the output group" "$(text_of "$title" 1007)" 出力先
  expect "the deduction label" "$(text_of "$title" 1003)" 課税仕入控除
  probe shot "$title" "$(windows_path "$shots/dialog-130.png")" || fail "no screenshot of dialog 130"
  # The tip shows while the pointer rests on the help mark.
  click_at=$(probe center "$title" 1032)
  # shellcheck disable=SC2086
  xdotool mousemove $click_at
  tip=$(probe tip "$title" 10 | head -1) || true
  expect "the tip" "$tip" "連動元製品にて入力・保存した消費税申告書の情報を使用します。"
  probe shot - "$(windows_path "$shots/tip.png")" || true
  xdotool mousemove 5 5
  # Tab moves the focus to the next tab stop without checking it, Shift+Tab
  # back; Enter on a radio button does nothing (the dialog has no default
  # button, and the dialog manager's IDOK must not end it).
  keys Tab
  expect "Tab" "$(control "$title" 1031 | grep -o 'checked=. focus=.')" "checked=0 focus=1"
  keys shift+Tab
  expect "Shift+Tab" "$(control "$title" 1029 | grep -o 'checked=. focus=.')" "checked=1 focus=1"
  keys Return
  ! probe wait "消費税" 1 >/dev/null 2>&1 || fail "Enter on a radio button showed a message box"
  probe wait "$title" 1 >/dev/null || fail "Enter on a radio button ended the dialog"
  keys F12
  answer "集計範囲の中に"
  probe wait "消費税" 120 >/dev/null || fail "no closing message box"
  probe shot "消費税" "$(windows_path "$shots/message-box.png")" || true
  answer "消費税情報の出力が終了しました。"
  finish 0
  scripted_journal
  same_document "$run/out/tax.xml" "$work/journal-script/tax.xml" corporation_journal.xml
  end
}

# Big books (100 000 journal lines): the progress window while the passes
# work, painted with no message loop running, as the template lays it out;
# the document is the scripted run's.
case_progress_on_big_books() {
  begin progress-on-big-books
  start 001 9 "$run/out/tax.xml"
  keys F12
  # The window shows for a moment only: it is watched for from before the
  # passes start.
  "$WINE" "$win_build/bin/window_probe.exe" watch "集計中*" "$(windows_path "$shots/dialog-131.png")" 131 60 \
    >"$run/check-131.txt" 2>&1 &
  local watcher=$!
  answer "集計範囲の中に"
  wait "$watcher" || fail "dialog 131 was not seen as its template lays it out: $(cat "$run/check-131.txt")"
  answer "消費税情報の出力が終了しました。"
  finish 0
  scripted big-books 001 9 "$work/big-books-script/tax.xml" <<'S'
click 1029
key F12
answer OK
answer OK
S
  [ -f "$run/out/tax.xml" ] && cmp -s "$run/out/tax.xml" "$work/big-books-script/tax.xml" ||
    fail "the driven run's document differs from the scripted run's"
  end
}

# The saved-return method by its mnemonic: Alt+P checks 1031 and takes the
# month edits away.
case_saved_return_by_mnemonic() {
  begin saved-return-by-mnemonic
  start 001 1 "$run/out/tax.xml"
  keys alt+p
  expect "the saved-return method" "$(control "$title" 1031 | grep -o 'checked=.')" checked=1
  expect "the start month" "$(control "$title" 1014 | grep -o 'enabled=.')" enabled=0
  keys F12
  answer ""
  finish 0
  scripted saved-return 001 1 "$work/saved-return-script/tax.xml" <<'S'
click 1031
key F12
answer OK
S
  same_document "$run/out/tax.xml" "$work/saved-return-script/tax.xml" corporation_saved_return.xml
  end
}

# Escape: the cancel message, then status 1 and no document.
case_cancel() {
  begin cancel
  start 001 1 "$run/out/tax.xml"
  keys Escape
  answer "｢消費税｣の集計を中止します。"
  finish 1
  [ ! -e "$run/out/tax.xml" ] || fail "a cancelled run wrote a document"
  end
}

# A month out of range is refused, and the focus lands in that month's edit
# with its text selected (typing replaces it). Enter in the start month edit
# moves on to the end month.
case_refused_month_range() {
  begin refused-month-range
  start 001 1 "$run/out/tax.xml"
  click_control "$title" 1014
  keys Home shift+End
  type_text 13
  keys Return
  expect "Enter in the start month" "$(control "$title" 1016 | grep -o 'focus=.')" focus=1
  keys F12
  answer "集計期間に誤りがあります。"
  expect "the focus after the refusal" "$(control "$title" 1014 | grep -o 'focus=.')" focus=1
  focus_on "$title"
  type_text 4
  expect "the start month typed over its selection" "$(text_of "$title" 1014)" 4
  keys Escape
  answer "｢消費税｣の集計を中止します。"
  finish 1
  end
}

# A typed path into a folder that does not exist: the program asks, makes
# it, and writes the document there.
case_folder_creation() {
  begin folder-creation
  start 001 1
  new_folder="$run/out/new/folder"
  click_control "$title" 1008
  keys Home shift+End
  type_text "$(windows_path "$new_folder/tax.xml")"
  keys F12
  probe wait "消費税" 30 >/dev/null || fail "no question came"
  probe shot "消費税" "$(windows_path "$shots/folder-question.png")" || true
  answer "指定されたフォルダは存在しません。"
  answer "集計範囲の中に"
  probe wait "消費税" 120 >/dev/null || fail "no closing message box"
  answer ""
  finish 0
  scripted_journal
  same_document "$new_folder/tax.xml" "$work/journal-script/tax.xml" corporation_journal.xml
  end
}

# The save-file dialog: Alt+D opens it with its title in the folder of the
# path shown; the chosen file comes back into the path edit and the focus
# goes to the run button.
case_save_file_dialog() {
  begin save-file-dialog
  start 001 1
  chosen="$run/out/chosen.xml"
  : >"$chosen"  # the dialog asks for a file that exists
  keys alt+d
  probe wait "保存ファイルを指定" 30 >/dev/null || fail "the save-file dialog was not shown"
  focus_on "保存ファイルを指定"
  probe shot "保存ファイルを指定" "$(windows_path "$shots/save-file-dialog.png")" || true
  type_text "$(windows_path "$chosen")"
  keys Return
  probe gone "保存ファイルを指定" 30 || fail "the save-file dialog stayed"
  expect "the chosen path" "$(text_of "$title" 1008)" "$(windows_path "$chosen")"
  expect "the focus after browsing" "$(control "$title" 1005 | grep -o 'focus=.')" focus=1
  focus_on "$title"
  keys Escape
  answer "｢消費税｣の集計を中止します。"
  finish 1
  end
}

wanted journal-by-keys && case_journal_by_keys
wanted progress-on-big-books && case_progress_on_big_books
wanted saved-return-by-mnemonic && case_saved_return_by_mnemonic
wanted cancel && case_cancel
wanted refused-month-range && case_refused_month_range
wanted folder-creation && case_folder_creation
wanted save-file-dialog && case_save_file_dialog

echo "ui: $passed passed, $failures failed (screenshots in $shots)"
[ "$failures" -eq 0 ]
