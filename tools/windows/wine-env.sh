# Sourced by the Windows targets: the Wine the Windows programs run under.
#   . tools/windows/wine-env.sh BUILD
# WINE is then the Wine loader for the build's bitness (the one its CMake
# cache names: Debian's /usr/bin/wine would start the 32-bit loader for a
# 64-bit program too). Sourcing fails, with a message, when that loader
# cannot run on this machine (status 2): a kernel without 32-bit support
# cannot start the 32-bit loader at all ("Exec format error"), and wine32 may
# not be installed; the caller says so.
# A Wine prefix of its own in BUILD/wine-prefix, made on first use (about 16 s),
# with a Japanese locale so that Wine's ANSI code page is 932 and its locale
# 0x0411, as on a Japanese Windows; no Mono or Gecko installer is offered, and
# no X display is needed (the programs' calling window is a message-only
# window). WINE_ENV_DISPLAY names the X display for the programs' real
# windows (tests/windows/ui.sh): Wine's desktop is then made on it, after a
# server started without it is ended. The wineserver stays up between the programs of a target and ends
# 30 s after the last one.
wine_env_build=$(cd "$1" && pwd)
export WINEPREFIX="$wine_env_build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
unset DISPLAY WAYLAND_DISPLAY
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "wine-env.sh: the locale ja_JP.UTF-8 is not generated (Wine would use code page 1252);" >&2
  echo "  run: echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen && locale-gen   (or: make deps-windows as root)" >&2
  return 1 2>/dev/null || exit 1
fi
WINE=$(sed -n 's/^TAXBRIDGE_WINE_LOADER:[A-Z]*=//p' "$wine_env_build/CMakeCache.txt" 2>/dev/null)
if [ -z "$WINE" ] || [ ! -x "$WINE" ]; then
  echo "wine-env.sh: no Wine loader is known for $wine_env_build (is Wine installed? make deps-windows)" >&2
  return 2 2>/dev/null || exit 2
fi
export WINE
if ! wine_env_problem=$("$WINE" --version 2>&1); then
  echo "wine-env.sh: $WINE cannot run on this machine: $wine_env_problem" >&2
  return 2 2>/dev/null || exit 2
fi
# The prefix is made by the 64-bit loader when there is one, so that it holds
# both bitnesses.
wine_env_boot=$WINE
[ -x /usr/lib/wine/wine64 ] && wine_env_boot=/usr/lib/wine/wine64
if [ ! -d "$WINEPREFIX/drive_c/windows" ]; then
  echo "wine-env.sh: making the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$wine_env_boot" wineboot -i >"$wine_env_build/wine-prefix.log" 2>&1 || {
    echo "wine-env.sh: wineboot could not make the prefix (see $wine_env_build/wine-prefix.log)" >&2
    return 1 2>/dev/null || exit 1
  }
fi
# The server and Wine's own processes (services.exe, winedevice.exe, rpcss.exe
# and the rest) are started here, away from every program's output. The first
# Wine program would otherwise start them holding its standard output and
# error, and whatever reads those (ctest's pipe for one suite, a $(...) in a
# script) would wait until the server ends, 30 s after the last program.
# Debian's /usr/bin/wineserver picks the 32-bit server whenever wine32 is
# installed, which cannot run where the 32-bit loader cannot; the 64-bit
# server serves both bitnesses.
wine_env_server=/usr/lib/wine/wineserver64
[ -x "$wine_env_server" ] || wine_env_server=$(command -v wineserver || true)
if [ -n "${WINE_ENV_DISPLAY:-}" ]; then
  # Wine's desktop belongs to the server's first programs: with a display
  # it must be made anew on that display.
  if [ -n "$wine_env_server" ]; then
    "$wine_env_server" -k </dev/null >/dev/null 2>&1 || true
    "$wine_env_server" -w </dev/null >/dev/null 2>&1 || true
  fi
  export DISPLAY=$WINE_ENV_DISPLAY
fi
if [ -n "$wine_env_server" ]; then
  "$wine_env_server" -p30 </dev/null >/dev/null 2>&1 || true  # already up: fine
fi
"$wine_env_boot" cmd /c exit </dev/null >/dev/null 2>&1 || true
