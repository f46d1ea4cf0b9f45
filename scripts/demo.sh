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
targets=(ryn-host)
# The interpreter stand-in is only needed by script-running exports; build it when it exists.
if ninja -C build/linux -t query vexlo >/dev/null 2>&1; then
  targets+=(vexlo)
fi
cmake --build --preset linux --target "${targets[@]}"

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
fi
exit $rc
