#!/usr/bin/env bash
# Builds the host emulator and the plug-in, then runs one ASCII export on the
# bundled example environment and shows the report it wrote.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/lib.sh

ryn_require_packages cmake ninja-build g++ googletest libgtest-dev ccache
ryn_use_ccache

ryn_banner "Building (preset linux)"
cmake --preset linux >/dev/null
cmake --build --preset linux --target ryn-host vexlo

host=build/linux/bin/ryn-host
if [[ ! -x $host ]]; then
  echo "demo: $host was not built" >&2
  exit 1
fi

ryn_banner "Running the export"
set -x
rc=0
"$host" --env examples/env --now "2026-12-06 10:00:00" exec MODE=RYN_ASCII_REPLACE \
  'SCHEME="reports/<PROTOCOL_HEADER__PART_NAME>_<DATE>.txt"' 'TITLE_1="Housing"' || rc=$?
{ set +x; } 2>/dev/null
echo "ryn-host exit code: $rc"

report=examples/env/export/reports/HSG-300-A_2026_12_06.txt
if [[ -f $report ]]; then
  ryn_banner "Report: $(realpath "$report")"
  cat "$report"
else
  echo "demo: no report was written" >&2
  rc=1
fi

ryn_banner "Running a script export (examples/env/scripts/to_json.vxp)"
set -x
"$host" --env examples/env --now "2026-12-06 10:00:00" exec MODE=RYN_SCRIPT_EXPORT \
  'SCHEME="HSG-300-A.vxp"' 'SCRIPT_FILE="to_json.vxp"' 'FEATURES="flange/outer_dia.fea", "flange/holes.lst"' || rc=$?
{ set +x; } 2>/dev/null
json=examples/env/export/HSG-300-A.json
if [[ -f $json ]]; then
  ryn_banner "Script's export: $(realpath "$json")"
  cat "$json"
else
  echo "demo: the script wrote no export" >&2
  rc=1
fi
exit $rc
