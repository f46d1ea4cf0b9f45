#!/usr/bin/env bash
# Runs a Windows program under wine64, quietly and without any GUI (unless
# RYN_WINE_DISPLAY names an X display to show windows on), and passes its
# exit code through. CMake uses this as the cross-compiling
# emulator of the win64 tree, so `ctest` runs the test .exe files with it.
#
#   wine-run.sh PROGRAM.exe [ARG...]   run a program
#   wine-run.sh --init [BUILD_DIR]     only create the prefix
#   wine-run.sh --stop [BUILD_DIR]     stop the prefix's wineserver
#
# The prefix is $WINEPREFIX when set, else BUILD_DIR/wineprefix, where
# BUILD_DIR is the CMake tree the program was built in.
set -euo pipefail

find_build_dir() {
  local dir
  dir=$(cd "$(dirname "$1")" 2>/dev/null && pwd) || return 1
  while [[ $dir != / ]]; do
    [[ -f $dir/CMakeCache.txt ]] && { echo "$dir"; return 0; }
    dir=$(dirname "$dir")
  done
  return 1
}

mode=run
case ${1:-} in
  --init) mode=init; shift ;;
  --stop) mode=stop; shift ;;
  '') echo "usage: wine-run.sh PROGRAM [ARG...] | --init [BUILD_DIR] | --stop [BUILD_DIR]" >&2; exit 2 ;;
esac

if [[ -z ${WINEPREFIX:-} ]]; then
  build=
  if [[ $mode == run ]]; then
    build=$(find_build_dir "$1") || true
  elif [[ -n ${1:-} ]]; then
    build=$(cd "$1" && pwd)
  fi
  if [[ -n $build ]]; then
    WINEPREFIX=$build/wineprefix
  else
    WINEPREFIX=${XDG_CACHE_HOME:-$HOME/.cache}/ryn-wineprefix
  fi
fi
export WINEPREFIX
export WINEARCH=win64
export WINEDEBUG=-all
# No mono or gecko installers, no dialogs: CI has no display and no stdin.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
[[ -n ${RYN_WINE_DISPLAY:-} ]] && export DISPLAY=$RYN_WINE_DISPLAY

wine=${RYN_WINE:-}
if [[ -z $wine ]]; then
  for candidate in wine64 /usr/lib/wine/wine64 /usr/lib64/wine/wine64 wine; do
    if command -v "$candidate" >/dev/null 2>&1; then wine=$(command -v "$candidate"); break; fi
  done
fi
[[ -n $wine ]] || { echo "wine-run.sh: wine64 not found" >&2; exit 127; }
wineserver=$(command -v wineserver || echo "$(dirname "$wine")/wineserver")

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
