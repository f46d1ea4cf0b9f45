#!/usr/bin/env bash
# Builds and tests every form of the project, one leg after the other:
#   linux       Debug build, unit and end-to-end tests
#   linux-asan  the same under AddressSanitizer + UndefinedBehaviorSanitizer
#   win32       i686 cross build (the shipped form) and its export table
#   win64       x86_64 cross build, tests under wine64
#   fuzz        libFuzzer targets and a short smoke run
# Installs missing build tools first. Exits non-zero when any leg fails;
# the other legs still run, so one run shows every failure.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/lib.sh

packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev
  libbenchmark-dev g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64
  binutils-mingw-w64 ccache xvfb imagemagick)
ryn_require_packages "${packages[@]}" || { echo "test-all: could not install the build tools" >&2; exit 1; }
ryn_use_ccache

# Run a configure/build/test cycle for a preset.
preset_cycle() {
  local preset=$1 run_tests=$2
  cmake --preset "$preset" || return 1
  cmake --build --preset "$preset" || return 1
  if [[ $run_tests == yes ]]; then
    ctest --preset "$preset" --output-on-failure || return 1
  fi
}

leg_linux() { preset_cycle linux yes; }
leg_linux_asan() { preset_cycle linux-asan yes; }

# No 32-bit wine here: the test preset runs only the export-table check,
# the part of this build we can check.
leg_win32() { preset_cycle win32 yes; }

leg_win64() {
  cmake --preset win64 || return 1
  cmake --build --preset win64 || return 1
  # First start of a prefix takes a while; do it once, outside the test timeouts.
  scripts/wine-run.sh --init build/win64 || return 1
  local rc=0
  ctest --preset win64 --output-on-failure || rc=1
  scripts/wine-run.sh --stop build/win64
  return $rc
}

leg_fuzz() {
  preset_cycle fuzz no || return 1
  # The smoke run gets 60 s of fuzzing per target (two now); the outer limit only catches a hang.
  timeout --kill-after=10 300 bash fuzz/run-smoke.sh build/fuzz 60 </dev/null
}

legs=(linux linux-asan win32 win64 fuzz)
declare -A result seconds
failed=0
start_all=$SECONDS
for leg in "${legs[@]}"; do
  ryn_banner "LEG $leg"
  start=$SECONDS
  if "leg_${leg//-/_}"; then
    result[$leg]=passed
  else
    result[$leg]=FAILED
    failed=1
  fi
  seconds[$leg]=$((SECONDS - start))
  ryn_banner "LEG $leg ${result[$leg]} in ${seconds[$leg]} s"
done

ryn_banner "SUMMARY ($((SECONDS - start_all)) s)"
for leg in "${legs[@]}"; do
  printf '  %-11s %-7s %5d s\n' "$leg" "${result[$leg]}" "${seconds[$leg]}"
done
command -v ccache >/dev/null && ccache -s 2>/dev/null | grep -iE '^ *(hits|misses)' || true
exit $failed
