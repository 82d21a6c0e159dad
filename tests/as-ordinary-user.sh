#!/usr/bin/env bash
# Every suite and the demo again, as an ordinary account. Run by root (as CI
# runs `make test`), this switches to the account `nobody` with a home folder
# of its own in a fresh temporary folder, so that nothing passes only because
# root may write everywhere. Run by any other account it has nothing to add:
# the suites have just run as that account.
#   tests/as-ordinary-user.sh BUILD_FOLDER
set -uo pipefail

build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" != 0 ]; then
  echo "as-ordinary-user: the suites ran as $(id -un), an ordinary account; nothing to repeat."
  exit 0
fi
if ! command -v setpriv >/dev/null; then
  echo "as-ordinary-user: setpriv (package util-linux) is missing; cannot run the suites as an ordinary account." >&2
  exit 1
fi
account=nobody
group=$(id -gn "$account" 2>/dev/null) || { echo "as-ordinary-user: no account $account" >&2; exit 1; }

# A short name: the link endpoints of the suites live below it, and a
# socket path holds at most 107 bytes.
home=$(mktemp -d /tmp/tbu-XXXXXX)
trap 'rm -rf "$home"' EXIT
chown "$account:$group" "$home"
chmod 0700 "$home"
# The account's own login shell is nologin; the terminal tests' sessions
# need a real one, as an ordinary user has.
as_user() {
  setpriv --reuid="$account" --regid="$group" --clear-groups \
    env -i PATH="$PATH" HOME="$home" TMPDIR="$home" SHELL=/bin/bash LANG="${LANG:-C.UTF-8}" "$@"
}

# The account must be able to read the sources and the build.
if ! as_user test -x "$build/bin/taxbridge_plus" -a -r "$here/tests/golden"; then
  echo "as-ordinary-user: $account cannot read $here or $build (check the folders' permissions)." >&2
  exit 1
fi

failed=0
echo "== the suites as $account (HOME $home)"
for suite in "$build"/tests/test_*; do
  [ -x "$suite" ] || continue
  name=$(basename "$suite")
  if out=$(cd "$build" && as_user timeout 900 "$suite" --gtest_brief=1 2>&1); then
    echo "   $name: passed"
  else
    echo "   $name: FAILED"
    printf '%s\n' "$out" | tail -40 | sed 's/^/     /'
    failed=1
  fi
done

echo "== make demo as $account"
if out=$(as_user bash "$here/demo/run-demo.sh" "$build" "$home/demo" 2>&1); then
  echo "   demo: passed ($(printf '%s\n' "$out" | tail -1))"
else
  echo "   demo: FAILED"
  printf '%s\n' "$out" | tail -40 | sed 's/^/     /'
  failed=1
fi

if [ "$failed" -ne 0 ]; then
  echo "as-ordinary-user: something failed for an ordinary account" >&2
  exit 1
fi
echo "as-ordinary-user: every suite and the demo passed as $account"
