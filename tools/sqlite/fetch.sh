#!/usr/bin/env bash
# The SQLite amalgamation (sqlite3.c and sqlite3.h) the programs are built
# from, taken from the npm package better-sqlite3 at a pinned version, which
# carries it in deps/sqlite3/. The package's tarball and both files are checked
# against pinned SHA-256 hashes; nothing unchecked reaches DEST.
#   tools/sqlite/fetch.sh DEST
# DEST is made when missing. A DEST that already holds both files with the
# pinned hashes is left as it is, so the script is quick to call on every
# configure. The package comes through `npm pack`, or through curl from the
# registry when npm is missing or fails. A failed download or a hash that does
# not match ends the script with status 1 and a message naming what and where.
set -euo pipefail

PACKAGE=better-sqlite3
VERSION=12.11.1
SQLITE_VERSION=3.53.2
TARBALL_URL="https://registry.npmjs.org/$PACKAGE/-/$PACKAGE-$VERSION.tgz"
TARBALL_SHA256=ebf0ed75a7a59dbcb3b24bbd014ef49d9f15bc328e4adcbf516f2a8fadfa2835
SQLITE3_C_SHA256=60d2f39a3726cd6b9021da6f4e868608d66fbb6528a9f513dc8ffcc640493422
SQLITE3_H_SHA256=9e69a1353a4288450b0d5239ede11fc7f1f4c8e5eb07491fc8317eacb5b7de7e

me="tools/sqlite/fetch.sh"
fail() {
  echo "$me: $*" >&2
  exit 1
}

[ $# -eq 1 ] || fail "usage: $me DEST"
dest=$1

sha256_of() { sha256sum "$1" | cut -d' ' -f1; }

# Both files there with the pinned hashes: nothing to do.
if [ -f "$dest/sqlite3.c" ] && [ -f "$dest/sqlite3.h" ] &&
  [ "$(sha256_of "$dest/sqlite3.c")" = "$SQLITE3_C_SHA256" ] &&
  [ "$(sha256_of "$dest/sqlite3.h")" = "$SQLITE3_H_SHA256" ]; then
  exit 0
fi

command -v sha256sum >/dev/null || fail "sha256sum is missing (package coreutils); cannot check the SQLite sources"
command -v tar >/dev/null || fail "tar is missing; cannot unpack the SQLite sources"

mkdir -p "$dest" || fail "cannot make the folder $dest for the SQLite sources"
dest=$(cd "$dest" && pwd)
work=$(mktemp -d "$dest/.fetch-XXXXXX") || fail "cannot make a temporary folder in $dest"
trap 'rm -rf "$work"' EXIT

tarball="$work/$PACKAGE-$VERSION.tgz"
echo "$me: fetching SQLite $SQLITE_VERSION from $PACKAGE@$VERSION into $dest"
how=""
if command -v npm >/dev/null &&
  (cd "$work" && npm pack --silent "$PACKAGE@$VERSION" >"$work/npm.log" 2>&1) && [ -f "$tarball" ]; then
  how="npm pack $PACKAGE@$VERSION"
elif command -v curl >/dev/null &&
  curl -fsSL --retry 3 -o "$tarball" "$TARBALL_URL" 2>"$work/curl.log"; then
  how="$TARBALL_URL"
else
  [ -f "$work/npm.log" ] && sed 's/^/  npm: /' "$work/npm.log" >&2
  [ -f "$work/curl.log" ] && sed 's/^/  curl: /' "$work/curl.log" >&2
  command -v npm >/dev/null || command -v curl >/dev/null || echo "  neither npm nor curl is installed" >&2
  fail "cannot download $PACKAGE@$VERSION (npm pack, or curl from $TARBALL_URL)"
fi

got=$(sha256_of "$tarball")
[ "$got" = "$TARBALL_SHA256" ] ||
  fail "the tarball of $PACKAGE@$VERSION (from $how) has SHA-256 $got, not the pinned $TARBALL_SHA256"

tar -xzf "$tarball" -C "$work" package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h 2>"$work/tar.log" ||
  fail "the tarball of $PACKAGE@$VERSION (from $how) holds no deps/sqlite3/sqlite3.c and sqlite3.h: $(cat "$work/tar.log")"

for file in sqlite3.c sqlite3.h; do
  pinned=$SQLITE3_C_SHA256
  [ "$file" = sqlite3.h ] && pinned=$SQLITE3_H_SHA256
  got=$(sha256_of "$work/package/deps/sqlite3/$file")
  [ "$got" = "$pinned" ] ||
    fail "deps/sqlite3/$file of $PACKAGE@$VERSION (from $how) has SHA-256 $got, not the pinned $pinned"
done

# The package dates its files 1985; they are dated now, so that a build
# compiles a newly pinned amalgamation again. Moved in one file at a time, the
# header last: a build that finds the header finds the source beside it.
touch "$work/package/deps/sqlite3/sqlite3.c" "$work/package/deps/sqlite3/sqlite3.h"
mv -f "$work/package/deps/sqlite3/sqlite3.c" "$dest/sqlite3.c"
mv -f "$work/package/deps/sqlite3/sqlite3.h" "$dest/sqlite3.h"
echo "$me: SQLite $SQLITE_VERSION is in $dest"
