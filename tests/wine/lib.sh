# Shared by the wine tests (sourced): the win64 tree, ryn-host.exe, a work
# folder removed on exit, failure counting and Windows path spelling.
#   source lib.sh BUILD_DIR
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
wine_run=$source_dir/scripts/wine-run.sh
host_exe=$build/bin/ryn-host.exe
work=$(mktemp -d)
env_dir=$work/env
failures=0
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
# The Windows spelling of a path, as a Windows program sees the Unix tree.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# Runs ryn-host.exe on the test environment with the tests' clock: sets out
# (stdout without CRs) and rc; stderr goes to $work/stderr.
run_host() {  # ARG...
  out=$("$wine_run" "$host_exe" --env "$(windows_path "$env_dir")" --now "2024-03-07 14:05:09" "$@" \
    2>"$work/stderr")
  rc=$?
  out=${out//$'\r'/}
}

# Ends the test: a summary line, exit 1 when a check failed.
finish() {  # WHAT
  if ((failures)); then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "$1 under wine: all checks passed"
}
