#!/usr/bin/env bash
# Builds the host emulator, the plug-in and the interpreter stand-in, then runs
# an ASCII export and a script export on the bundled example environment and
# shows the files they wrote; then 200 CSV runs with drifting values and their
# trend page (ryn-trend).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/lib.sh

ryn_require_packages cmake ninja-build g++ googletest libgtest-dev libgmock-dev ccache
ryn_npm_ci_page
ryn_use_ccache

ryn_banner "Building (preset linux)"
cmake --preset linux >/dev/null
cmake --build --preset linux --target ryn-host vexlo ryn-trend

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
# A history of 200 runs of the housing, measured hourly, in a copy of the
# example environment (examples/ stays as it is): the pocket depth drifts
# out of its tolerance, the main bore shifts at run 120, the rest scatters.
ryn_banner "Running 200 CSV exports of the housing with drifting values, then ryn-trend"
trend_dir=build/demo-trend
rm -rf "$trend_dir"
mkdir -p "$trend_dir"
cp -r examples/env "$trend_dir/env"
rm -rf "$trend_dir/env/export" "$trend_dir/env/log"
store=$trend_dir/env/store/housing
# set_actual FILE VALUE WHEN: the record's measured value and time.
set_actual() { sed -i -e "s/^actual = .*/actual = $2/" -e "s/^measured = .*/measured = $3/" "$store/$1.fea"; }
for run in $(seq 0 199); do
  when=$(date -u -d "2026-11-01 06:00:00 UTC + $run hours" '+%Y-%m-%d %H:%M:%S')
  read -r depth bore flat pos angle < <(awk -v r="$run" 'BEGIN { srand(r + 7)
    n1 = rand() + rand() + rand() - 1.5; n2 = rand() + rand() + rand() - 1.5
    n3 = rand() + rand() + rand() - 1.5; n4 = rand() + rand() + rand() - 1.5; n5 = rand() + rand() + rand() - 1.5
    printf "%.3f %.4f %.4f %.3f %.3f\n", 8.0 + 0.0003 * r + 0.008 * n1, 42.008 + (r >= 120 ? 0.009 : 0) + 0.003 * n2,
      0.004 + 0.001 * n3, 0.015 + 0.005 * n4, 45.0 + 0.01 * n5 }')
  set_actual depth_pocket "$depth" "$when"
  set_actual bore_a "$bore" "$when"
  set_actual face_flatness "$flat" "$when"
  set_actual pos_bore_c "$pos" "$when"
  set_actual angle_slot "$angle" "$when"
  "$host" --env "$trend_dir/env" --now "$when" exec MODE=RYN_CSV_APPEND 'SCHEME="trend/HSG-300-A.csv"' \
    'FEATURES="housing/depth_pocket.fea", "housing/bore_a.fea", "housing/face_flatness.fea", "housing/pos_bore_c.fea", "housing/angle_slot.fea", "housing/thread_m8.fea"' ||
    { echo "demo: export run $run failed" >&2; rc=1; break; }
done
table=$trend_dir/env/export/trend/HSG-300-A.csv
page=$trend_dir/HSG-300-A-trend.html
build/linux/bin/ryn-trend --summary "$table" || rc=1
if build/linux/bin/ryn-trend "$table" -o "$page"; then
  ryn_banner "Trend page: $(realpath "$page")"
else
  rc=1
fi
echo "demo exit code: $rc"
exit $rc
