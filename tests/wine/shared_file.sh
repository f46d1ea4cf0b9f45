#!/usr/bin/env bash
# Export files that another Windows program holds open, with ryn-host.exe
# under wine: a reader that shares reading and writing (a viewer, a script
# following the file) costs no append; one that shares only reading (a
# spreadsheet) gets each run kept beside the file with a message, and the
# first run after it lets go leaves every run in the file, in order. A
# replace kept so goes in place before the runs kept after it.
#
#   shared_file.sh BUILD_DIR     (the win64 tree; ctest passes it)
set -uo pipefail

source "$(dirname "$0")/lib.sh" "$1"
holder_exe=$build/bin/file-holder.exe

cp -r "$source_dir/tests/env" "$env_dir"
export_dir=$env_dir/export
mkdir -p "$export_dir"

run_export() { run_host exec "MODE=$1" "SCHEME=\"$2\"" 'FEATURES="a.fea"'; }  # MODE FILE

# Starts the holder on export/FILE with SHARING and waits until it holds it.
hold() {  # FILE SHARING
  rm -f "$export_dir/$1.held" "$export_dir/$1.release"
  "$wine_run" "$holder_exe" "$(windows_path "$export_dir/$1")" "$2" &
  holder_pid=$!
  for _ in $(seq 1500); do [[ -e $export_dir/$1.held ]] && return 0; sleep 0.02; done
  fail "$1: the holder never held it"
}
let_go() {  # FILE
  touch "$export_dir/$1.release"
  wait "$holder_pid"
  rm -f "$export_dir/$1.held" "$export_dir/$1.release"
}

# ryn-host joins the export folder to the environment with the system's separator.
kept_message() {  # FILE
  local folder
  folder="$(windows_path "$env_dir/export")"
  echo "The file '$folder\\$1' is in use by another program. This run was kept in '$folder\\.ryn-kept-$1'" \
    "and will be added to the file by the next export that can write it."
}

modes=(RYN_CSV_APPEND:t.csv RYN_CSV_COMPACT_APPEND:c.csv RYN_CSV_HISTORY_APPEND:h.csv RYN_ASCII_APPEND:t.txt)
for entry in "${modes[@]}"; do
  mode=${entry%%:*} file=${entry#*:}
  for _ in 1 2; do run_export "$mode" "$file"; done
  one_run=$(($(stat -c %s "$export_dir/$file") / 2))

  hold "$file" rw
  run_export "$mode" "$file"
  [[ $rc == 0 ]] || fail "$mode, reader sharing writes: exit $rc, '$out'"
  let_go "$file"

  hold "$file" r
  before=$(md5sum <"$export_dir/$file")
  for _ in 1 2; do
    run_export "$mode" "$file"
    [[ $rc == 1 && $out == "$(kept_message "$file")" ]] || fail "$mode, reader sharing reads: exit $rc, '$out'"
  done
  [[ $(md5sum <"$export_dir/$file") == "$before" ]] || fail "$mode: the held file changed"
  let_go "$file"

  run_export "$mode" "$file"
  [[ $rc == 0 ]] || fail "$mode, after the reader: exit $rc, '$out'"
  # Every run of this test adds the same bytes: the file holds six runs.
  cp "$export_dir/$file" "$work/six"
  [[ -e $export_dir/.ryn-kept-$file ]] && fail "$mode: the kept runs stayed"
  rm "$export_dir/$file"
  for _ in 1 2 3 4 5 6; do run_export "$mode" "$file"; done
  cmp -s "$work/six" "$export_dir/$file" || fail "$mode: the file is not what six runs one after another write"
  ((one_run > 0)) || fail "$mode: no run written"
done

# Four appends, then, while the reader holds the file, a replace and an
# append are kept: the run after it lets go leaves the replace and two appends.
for entry in RYN_CSV_REPLACE:RYN_CSV_APPEND:r.csv RYN_ASCII_REPLACE:RYN_ASCII_APPEND:r.txt; do
  IFS=: read -r replace append file <<<"$entry"
  for _ in 1 2 3 4; do run_export "$append" "$file"; done
  hold "$file" r
  for mode in "$replace" "$append"; do
    run_export "$mode" "$file"
    [[ $rc == 1 && $out == "$(kept_message "$file")" ]] || fail "$mode, reader sharing reads: exit $rc, '$out'"
  done
  let_go "$file"
  run_export "$append" "$file"
  [[ $rc == 0 && ! -e $export_dir/.ryn-kept-$file ]] || fail "$append after a kept $replace: exit $rc, '$out'"
  cp "$export_dir/$file" "$work/three"
  rm "$export_dir/$file"
  for mode in "$replace" "$append" "$append"; do run_export "$mode" "$file"; done
  cmp -s "$work/three" "$export_dir/$file" || fail "$replace: the file is not what its runs one after another write"
done

finish "files held by other programs"
