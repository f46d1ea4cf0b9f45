#!/usr/bin/env bash
# Builds and tests every form of the project, one leg after the other:
#   linux          Debug build, unit and end-to-end tests
#   linux-asan     the same under AddressSanitizer + UndefinedBehaviorSanitizer
#   win32          i686 Release cross build (the shipped form), its export and import tables
#   win32-wine     the i686 unit tests under 32-bit wine
#   win64          x86_64 cross build, tests under wine64
#   package-win64  scripts/package.sh's x86_64 zip, unzipped and tested under wine64
#   package-win32  the i686 zip, unzipped and tested under 32-bit wine
#   fuzz           the CSV golden files, libFuzzer targets and a short smoke run
#   clean-tree     the legs left nothing in the checkout (git status --porcelain)
# Installs missing build tools first. Exits non-zero when any leg fails;
# the other legs still run, so one run shows every failure. A leg that
# cannot run on this machine (32-bit wine where the kernel executes no
# 32-bit programs) says why and is marked skipped, never passed.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/lib.sh

packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev
  libbenchmark-dev g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 wine32:i386
  binutils-mingw-w64 ccache xvfb imagemagick zip unzip chromium)
{ ryn_enable_architecture i386 && ryn_require_packages "${packages[@]}" && ryn_npm_ci_page; } ||
  { echo "test-all: could not install the build tools" >&2; exit 1; }
ryn_use_ccache

# A leg returns 0 (passed), 1 (failed) or this (skipped, after saying why).
skipped=3

# Run a configure/build/test cycle for a preset.
preset_cycle() {
  local preset=$1 run_tests=$2
  cmake --preset "$preset" || return 1
  cmake --build --preset "$preset" || return 1
  if [[ $run_tests == yes ]]; then
    ctest --preset "$preset" --output-on-failure || return 1
  fi
}

# Runs "$@" with the wine prefix of ARCH, made beforehand, and stops its wineserver after.
with_wine() {  # ARCH COMMAND...
  local arch=$1 rc=0
  shift
  # First start of a prefix takes a while; do it once, outside the test timeouts.
  scripts/wine-run.sh --init "$arch" || return 1
  "$@" || rc=1
  scripts/wine-run.sh --stop "$arch"
  return $rc
}

# Whether this machine executes 32-bit programs; says why not when it cannot.
runs_32bit() {
  local loader=${RYN_WINE32:-/usr/lib/wine/wine} out
  out=$("$loader" --version 2>&1) && return 0
  if [[ $out == *"Exec format error"* ]]; then
    echo "SKIPPED: this machine cannot execute 32-bit programs (the kernel refuses" \
      "$loader: Exec format error), so nothing i686 runs under wine here"
    return $skipped
  fi
  echo "32-bit wine does not start: $out" >&2
  return 1
}

leg_linux() { preset_cycle linux yes; }
leg_linux_asan() { preset_cycle linux-asan yes; }

# The tables are read from the files, without wine.
leg_win32() {
  cmake --preset win32 && cmake --build --preset win32 &&
    ctest --preset win32 --output-on-failure -R '_(exports|imports)$'
}

leg_win32_wine() {
  runs_32bit || return
  [[ -f build/win32/CMakeCache.txt ]] || { echo "the win32 leg built nothing" >&2; return 1; }
  with_wine win32 ctest --preset win32 --output-on-failure -E '_(exports|imports)$'
}

leg_win64() {
  cmake --preset win64 || return 1
  cmake --build --preset win64 || return 1
  with_wine win64 ctest --preset win64 --output-on-failure
}

# package_leg ARCH: builds the zip and tests it as unzipped.
package_leg() {
  local arch=$1 version
  bash scripts/package.sh "$arch" || return 1
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "build/$([[ $arch == win32 ]] && echo win32 || echo win64-release)/CMakeCache.txt")
  [[ -x build/linux/bin/e2e_tests ]] || { echo "the end-to-end tests were not built (linux leg)" >&2; return 1; }
  with_wine "$arch" bash tests/package/package_test.sh "dist/RYN-EXPORT-$version-$arch.zip" build/linux/bin/e2e_tests
}
leg_package_win64() { package_leg win64; }
leg_package_win32() {
  runs_32bit || return
  package_leg win32
}

leg_fuzz() {
  preset_cycle fuzz no || return 1
  # The golden files, then 60 s of fuzzing per target (three now); the outer limit only catches a hang.
  timeout --kill-after=10 300 bash fuzz/run-smoke.sh build/fuzz 60 </dev/null
}

# What the checkout held before the legs ran: a developer's own changes are not the tests'.
tree_before=$(git status --porcelain 2>/dev/null)
# Every leg writes into build/ (ignored) or a temporary folder; anything new in the
# checkout is a test or script that wrote where it was started from.
leg_clean_tree() {
  local left
  left=$(comm -13 <(sort <<<"$tree_before") <(git status --porcelain | sort))
  [[ -z $left ]] && return 0
  echo "the test run left these in the checkout:" >&2
  echo "$left" >&2
  return 1
}

legs=(linux linux-asan win32 win32-wine win64 package-win64 package-win32 fuzz clean-tree)
declare -A result seconds
failed=0
start_all=$SECONDS
for leg in "${legs[@]}"; do
  ryn_banner "LEG $leg"
  start=$SECONDS
  "leg_${leg//-/_}"
  case $? in
    0) result[$leg]=passed ;;
    "$skipped") result[$leg]=skipped ;;
    *) result[$leg]=FAILED; failed=1 ;;
  esac
  seconds[$leg]=$((SECONDS - start))
  ryn_banner "LEG $leg ${result[$leg]} in ${seconds[$leg]} s"
done

ryn_banner "SUMMARY ($((SECONDS - start_all)) s)"
for leg in "${legs[@]}"; do
  printf '  %-14s %-7s %5d s\n' "$leg" "${result[$leg]}" "${seconds[$leg]}"
done
command -v ccache >/dev/null && ccache -s 2>/dev/null | grep -iE '^ *(hits|misses)' || true
exit $failed
