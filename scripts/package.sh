#!/usr/bin/env bash
# Builds the i686 and the x86_64 Windows Release and packs each into
# dist/RYN-EXPORT-<version>-win32.zip and dist/RYN-EXPORT-<version>-win64.zip:
# the command DLL and its translation files, ryn-host.exe, libnorvia-host.dll,
# vexlo.exe, ryn-trend.exe, the example environment, INSTALL.txt and the license
# of uPlot (the chart library the trend page carries), in one folder.
#
#   bash scripts/package.sh [win32|win64]...     default: both
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/lib.sh

# googletest: the i686 tree is also the one its tests run in.
ryn_require_packages cmake ninja-build g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix \
  binutils-mingw-w64 googletest zip ccache
ryn_npm_ci_page
ryn_use_ccache

preset_of() { [[ $1 == win32 ]] && echo win32 || echo win64-release; }
arch_note() {
  [[ $1 == win32 ]] && echo "32-bit package with a 32-bit host (the usual one)" ||
    echo "64-bit package with a 64-bit host only"
}
programs=("RYN EXPORT.dll" ryn-host.exe libnorvia-host.dll vexlo.exe ryn-trend.exe)

# package ARCH: builds its Release tree and writes its zip.
package() {
  local arch=$1 preset build version name stage
  preset=$(preset_of "$arch")
  build=build/$preset
  ryn_banner "Building $arch (preset $preset)"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target ryn-host vexlo ryn-trend
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
  [[ -n $version ]] || { echo "package: no project version in $build/CMakeCache.txt" >&2; return 1; }
  name=RYN-EXPORT-$version-$arch
  stage=build/package/$name
  rm -rf "$stage"
  mkdir -p "$stage/loc" dist
  for file in "${programs[@]}"; do cp "$build/bin/$file" "$stage/"; done
  # The host stand-in's translations and the command's own, from where each lives.
  cp host/loc/*.loc "commands/RYN_EXPORT/RYN EXPORT.loc" "$stage/loc/"
  # The example environment as the repository holds it, without what runs left there.
  cp apps/ryn-trend/page/node_modules/uplot/LICENSE "$stage/uPlot-LICENSE.txt"
  cp -r examples/env "$stage/env"
  rm -rf "$stage/env/export" "$stage/env/log" "$stage/env/interface" "$stage/env/.gitignore"
  sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@ARCH_NOTE@/$(arch_note "$arch")/" \
    -e 's/$/\r/' packaging/INSTALL.txt >"$stage/INSTALL.txt"
  rm -f "dist/$name.zip"
  (cd build/package && zip -q -X -r "../../dist/$name.zip" "$name")
  echo "package: dist/$name.zip ($(du -k "dist/$name.zip" | cut -f1) KiB)"
}

arches=("$@")
((${#arches[@]})) || arches=(win32 win64)
for arch in "${arches[@]}"; do
  case $arch in win32 | win64) package "$arch" ;; *) echo "package: unknown architecture '$arch'" >&2; exit 2 ;; esac
done
