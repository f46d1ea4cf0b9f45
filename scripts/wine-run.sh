#!/usr/bin/env bash
# Runs a Windows program under wine, quietly and without any GUI (unless
# RYN_WINE_DISPLAY names an X display to show windows on), and passes its
# exit code through. CMake uses this as the cross-compiling emulator of the
# Windows trees, so `ctest` runs the test .exe files with it.
#
#   wine-run.sh PROGRAM.exe [ARG...]   run a program (32-bit wine for an i686 one)
#   wine-run.sh --init [WHICH]         only make the prefix
#   wine-run.sh --stop [WHICH]         stop the prefix's wineserver
#
# WHICH is win32, win64 or a CMake build tree (its architecture); default win64.
# There is one prefix per architecture, build/wine-win32 and build/wine-win64 of
# this checkout (WINEPREFIX, when set, overrides it), made once: the 32-bit one
# by the 32-bit loader with WINEARCH=win32, the 64-bit one by wine64. (The
# wineserver is not kept running: wine's own service processes would hold a
# caller's output pipe open long after the program ended.)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# win32 or win64 from the machine field of a PE file's header.
arch_of_program() {
  local offset machine
  offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 1
  machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' ') || return 1
  case $machine in 014c) echo win32 ;; 8664) echo win64 ;; *) return 1 ;; esac
}

arch_of() {
  case ${1:-win64} in
    win32 | win64) echo "$1" ;;
    *)
      if [[ -f $1/CMakeCache.txt ]]; then
        grep -q '^CMAKE_SYSTEM_PROCESSOR:.*=X86$' "$1/CMakeCache.txt" && echo win32 || echo win64
      else
        echo "wine-run.sh: '$1' is neither win32, win64 nor a build tree" >&2
        return 2
      fi
      ;;
  esac
}

mode=run
case ${1:-} in
  --init) mode=init; shift; arch=$(arch_of "${1:-}") ;;
  --stop) mode=stop; shift; arch=$(arch_of "${1:-}") ;;
  '') echo "usage: wine-run.sh PROGRAM [ARG...] | --init [WHICH] | --stop [WHICH]" >&2; exit 2 ;;
  *) arch=$(arch_of_program "$1") || arch=win64 ;;
esac

if [[ $arch == win32 ]]; then
  wine=${RYN_WINE32:-/usr/lib/wine/wine}
else
  wine=${RYN_WINE:-}
  if [[ -z $wine ]]; then
    for candidate in wine64 /usr/lib/wine/wine64 /usr/lib64/wine/wine64 wine; do
      if command -v "$candidate" >/dev/null 2>&1; then wine=$(command -v "$candidate"); break; fi
    done
  fi
fi
[[ -n $wine && -x $wine ]] || { echo "wine-run.sh: no $arch wine loader found (${wine:-none})" >&2; exit 127; }
wineserver=$(dirname "$wine")/wineserver
[[ -x $wineserver ]] || wineserver=$(command -v wineserver)

export WINEPREFIX=${WINEPREFIX:-$root/build/wine-$arch}
export WINEARCH=$arch
export WINEDEBUG=-all
# No mono or gecko installers, no dialogs: CI has no display and no stdin.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
[[ -n ${RYN_WINE_DISPLAY:-} ]] && export DISPLAY=$RYN_WINE_DISPLAY

if [[ $mode == stop ]]; then
  [[ -d $WINEPREFIX ]] && "$wineserver" -k 2>/dev/null || true
  exit 0
fi

# Create the prefix once; parallel tests wait on the lock instead of racing.
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    "$wine" wineboot -i </dev/null >/dev/null 2>&1 || true
    "$wineserver" -w || true
    [[ -f $WINEPREFIX/system.reg ]] || { echo "wine-run.sh: could not create the wine prefix $WINEPREFIX" >&2; exit 1; }
  fi
  exec 9>&-
fi

[[ $mode == init ]] && exit 0
exec "$wine" "$@"
