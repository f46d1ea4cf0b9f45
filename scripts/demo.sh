#!/usr/bin/env bash
# Builds the host emulator, the plug-in and the interpreter stand-in, then runs
# an ASCII export and a script export on the bundled example environment and
# shows the files they wrote.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/lib.sh

ryn_require_packages cmake ninja-build g++ googletest libgtest-dev libgmock-dev ccache
ryn_npm_ci_page
ryn_use_ccache

ryn_banner "Building (preset linux)"
cmake --preset linux >/dev/null
cmake --build --preset linux --target ryn-host vexlo

host=build/linux/bin/ryn-host
if [[ ! -x $host ]]; then
  echo "demo: $host was not built" >&2
  exit 1
fi

rc=0
# export TITLE FILE ARG...: runs one export on the example environment and
# shows the file it should have written.
export_and_show() {
  local title=$1 file=examples/env/export/$2
  shift 2
  ryn_banner "Running $title"
  set -x
  "$host" --env examples/env --now "2026-12-06 10:00:00" exec "$@" || rc=$?
  { set +x; } 2>/dev/null
  if [[ -f $file ]]; then
    ryn_banner "Written: $(realpath "$file")"
    cat "$file"
  else
    echo "demo: $file was not written" >&2
    rc=1
  fi
}

export_and_show "an ASCII export" reports/HSG-300-A_2026_12_06.txt MODE=RYN_ASCII_REPLACE \
  'SCHEME="reports/<PROTOCOL_HEADER__PART_NAME>_<DATE>.txt"' 'TITLE_1="Housing"'
export_and_show "a script export (examples/env/scripts/to_json.vxp)" HSG-300-A.json MODE=RYN_SCRIPT_EXPORT \
  'SCHEME="HSG-300-A.vxp"' 'SCRIPT_FILE="to_json.vxp"' 'FEATURES="flange/outer_dia.fea", "flange/holes.lst"'
echo "demo exit code: $rc"
exit $rc
