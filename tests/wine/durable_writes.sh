#!/usr/bin/env bash
# Durable writes with ryn-host.exe under wine64: runs on one file take turns
# through the file's lock across Windows processes, and files that cannot be
# written are reported with the file's name while the old file stays.
#
#   durable_writes.sh BUILD_DIR     (the win64 tree; ctest passes it)
set -uo pipefail

source "$(dirname "$0")/lib.sh" "$1"

run_export() { run_host exec "MODE=$1" "SCHEME=\"$2\"" 'FEATURES="a.fea"'; }  # MODE SCHEME

cp -r "$source_dir/tests/env" "$env_dir"
export_dir=$env_dir/export
mkdir -p "$export_dir"

# 4 processes with 10 appends each on one file keep all 40 runs.
for mode in RYN_CSV_APPEND RYN_ASCII_APPEND; do
  file=$([[ $mode == RYN_CSV_APPEND ]] && echo t.csv || echo t.txt)
  for p in 1 2 3 4; do
    (for i in $(seq 10); do run_export "$mode" "$file"; [[ $rc == 0 ]] || echo "$out"; done) &
  done >"$work/failures"
  wait
  [[ ! -s $work/failures ]] || fail "$mode: concurrent runs failed: $(head -3 "$work/failures")"
  if [[ $mode == RYN_CSV_APPEND ]]; then
    runs=$(($(wc -l <"$export_dir/$file") - 1))
  else
    runs=$(grep -c 'Export Date/Time:' "$export_dir/$file")
  fi
  [[ $runs == 40 ]] || fail "$mode: $runs of 40 runs in the file"
done

# A read-only file is refused and stays; a missing folder is reported.
before=$(md5sum <"$export_dir/t.csv")
chmod a-w "$export_dir/t.csv"
run_export RYN_CSV_APPEND t.csv
# The path as Windows spells it, backslashes throughout; the reason is wine's wording.
[[ $rc == 1 && $out == "Could not write the file '$(windows_path "$export_dir")\\t.csv': "?* ]] ||
  fail "read-only file: exit $rc, '$out'"
[[ $(md5sum <"$export_dir/t.csv") == "$before" ]] || fail "read-only file: its content changed"
run_export RYN_CSV_HISTORY_APPEND 'x\y\h.csv'
[[ $rc == 1 && $out == "Could not write the file '$(windows_path "$export_dir")\\x\\y\\h.csv': "?* ]] ||
  fail "missing folders: exit $rc, '$out'"
leftovers=$(find "$export_dir" -name '.ryn-*.tmp')
[[ -z $leftovers ]] || fail "temporaries left behind: $leftovers"

finish "durable writes"
