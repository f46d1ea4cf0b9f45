#!/usr/bin/env bash
# Tests a Windows package as shipped: unzips it into an empty folder, checks
# what it holds, and runs the end-to-end exports with its ryn-host.exe under
# wine (32-bit wine for the i686 package), so a missing DLL or file fails.
# Nothing of the build tree is on wine's search path.
#
#   package_test.sh ZIP E2E_TESTS     E2E_TESTS: the Linux build's bin/e2e_tests
set -uo pipefail

zip=$(realpath "$1")
e2e=$(realpath "$2")
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

name=$(basename "$zip" .zip)                   # RYN-EXPORT-<version>-<arch>
version=${name#RYN-EXPORT-}
version=${version%-win*}
unzip -q "$zip" -d "$work" || { echo "FAIL: cannot unzip $zip" >&2; exit 1; }
dir=$work/$name

expected=("RYN EXPORT.dll" ryn-host.exe libnorvia-host.dll vexlo.exe ryn-trend.exe INSTALL.txt "loc/RYN EXPORT.loc"
  env/host.ini uPlot-LICENSE.txt)
for file in "${expected[@]}"; do [[ -f $dir/$file ]] || fail "the package lacks $file"; done
stray=$(cd "$dir" && ls *.dll *.exe | grep -vxF -e "RYN EXPORT.dll" -e ryn-host.exe -e libnorvia-host.dll -e vexlo.exe -e ryn-trend.exe)
[[ -z $stray ]] || fail "the package holds programs it should not need: $stray"

unset WINEPATH
run() { "$source_dir/scripts/wine-run.sh" "$dir/ryn-host.exe" "$@" </dev/null 2>&1 | tr -d '\r'; }

shown=$(run --version)
[[ $shown == "ryn-host (RYN EXPORT) $version" ]] || fail "ryn-host.exe --version says '$shown', the package is $version"
# The version resource: its strings are UTF-16; the value follows its name.
for file in "RYN EXPORT.dll" ryn-host.exe libnorvia-host.dll vexlo.exe ryn-trend.exe; do
  resource=$(strings -el "$dir/$file" | grep -A1 -x FileVersion | tail -n1)
  [[ $resource == "$version" ]] || fail "$file: version resource '$resource', expected $version"
done
identity=$(run --env "$dir/env" identify | head -n2 | tr '\n' ' ')
[[ $identity == "RYN EXPORT 400 " ]] || fail "identify on the example environment: '$identity'"

# ryn-trend.exe as shipped: the summary of a history the packaged host wrote
# equals the one the Linux build prints of the same file, digit for digit.
trend_env=$work/trend-env
cp -r "$dir/env" "$trend_env"
for value in 8.061 8.072 8.058 8.093; do
  sed -i "s/^actual = .*/actual = $value/" "$trend_env/store/housing/depth_pocket.fea"
  run --env "$trend_env" exec MODE=RYN_CSV_APPEND 'SCHEME="trend.csv"' 'FEATURES="housing/depth_pocket.fea", "housing/bore_a.fea"' \
    'DECIMAL_SEPARATOR=","' >/dev/null
done
summary=$("$source_dir/scripts/wine-run.sh" "$dir/ryn-trend.exe" --summary "$trend_env/export/trend.csv" </dev/null 2>&1 | tr -d '\r')
linux_trend=$(dirname "$e2e")/ryn-trend
expected_summary=$("$linux_trend" --summary "$trend_env/export/trend.csv" 2>&1)
[[ $summary == "$expected_summary" && $summary == *"depth_pocket,4,8.093,"* ]] ||
  fail "ryn-trend.exe --summary: '$summary', the Linux build says '$expected_summary'"

# The end-to-end exports, with the packaged host in place of the built one.
# Left out: script exports and durability (POSIX scripts, mounts; their
# Windows forms are tests/wine/), and the one edit case that types a Unix
# absolute path, which is no path below the environment as Windows sees it.
tests=AsciiExport.*:CsvExport.*:HistoryExport.*:AdditionalData.*:Executor.*:HostCli.*:EditVerb.*:ExportUnit.*
tests+=:SavedTables.*
tests+=-EditVerb.FeatureGridKeepsOneEmptyRowAndRelativePaths
host_command="'$source_dir/scripts/wine-run.sh' '$dir/ryn-host.exe'"
RYN_HOST_COMMAND=$host_command RYN_SOURCE_DIR=$source_dir "$e2e" --gtest_filter="${RYN_PACKAGE_TESTS:-$tests}" ||
  fail "end-to-end exports"

if ((failures)); then
  echo "$name: $failures check(s) failed" >&2
  exit 1
fi
echo "$name: the package passes as unzipped"
