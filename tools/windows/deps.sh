#!/usr/bin/env bash
# What the Windows build needs of Debian, and the Japanese locale Wine takes
# its code page 932 from.
#   tools/windows/deps.sh required|optional
# Run by root, it installs what is missing (the i386 architecture first for
# wine32) and generates ja_JP.UTF-8. Run by another account it names what is
# missing: with `required` (make windows and the targets after it) it then
# fails; with `optional` (make deps) it only says so, because the Linux build
# needs none of it.
set -euo pipefail
mode=${1:-required}

# Debian package:file that shows it is there.
packages=(
  g++-mingw-w64-x86-64-posix:/usr/bin/x86_64-w64-mingw32-g++-posix
  g++-mingw-w64-i686-posix:/usr/bin/i686-w64-mingw32-g++-posix
  wine:/usr/bin/wine
  wine64:/usr/lib/wine/wine64
  wine32:i386:/usr/lib/wine/wine
  googletest:/usr/src/googletest/CMakeLists.txt
  locales:/usr/sbin/locale-gen
  # The real windows' tests (make test-windows-ui): an X server without a
  # screen, real key presses, and the font that stands in for the dialogs' one.
  xvfb:/usr/bin/Xvfb
  xdotool:/usr/bin/xdotool
  fonts-ipafont-gothic:/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf
)
has_locale() { locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; }

missing=()
for p in "${packages[@]}"; do
  [ -e "${p##*:}" ] || missing+=("${p%:*}")
done
if [ ${#missing[@]} -eq 0 ] && has_locale; then exit 0; fi

if [ "$(id -u)" != 0 ]; then
  if [ ${#missing[@]} -gt 0 ]; then
    echo "The Windows build needs these Debian packages: ${missing[*]}"
    echo "  sudo dpkg --add-architecture i386 && sudo apt-get update && sudo apt-get install ${missing[*]}"
  fi
  has_locale || echo "The Windows build needs the locale ja_JP.UTF-8: add 'ja_JP.UTF-8 UTF-8' to /etc/locale.gen and run sudo locale-gen"
  [ "$mode" = optional ] && { echo "(only make windows and the targets after it need them)"; exit 0; }
  exit 1
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing Debian packages for the Windows build: ${missing[*]}"
  case " ${missing[*]} " in *:i386*) dpkg --add-architecture i386 ;; esac
  # A mirror in the middle of a sync fails an index or two; the install below
  # then says whether what is needed could still be had.
  apt-get update -qq || echo "apt-get update failed for some indexes; installing from what it has"
  # wine32 only runs the 32-bit programs, which not every machine can run
  # (make test-windows then reports them NOT RUN): its failing to install is
  # said and does not stop the rest.
  rest=() wine32=""
  for p in "${missing[@]}"; do
    case $p in wine32:i386) wine32=$p ;; *) rest+=("$p") ;; esac
  done
  if [ ${#rest[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${rest[@]}" >/dev/null
  fi
  if [ -n "$wine32" ] && ! DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$wine32" >/dev/null; then
    echo "wine32 could not be installed: the 32-bit Windows programs are built but not run"
  fi
fi
if ! has_locale; then
  echo "Generating the locale ja_JP.UTF-8"
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi
