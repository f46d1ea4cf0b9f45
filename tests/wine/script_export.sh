#!/usr/bin/env bash
# Script exports through ryn-host.exe and vexlo.exe under wine64: a script
# that reads the interface file, failing scripts, a second export while one
# runs, an interpreter or a host killed while the script runs.
#
#   script_export.sh BUILD_DIR     (the win64 tree; ctest passes it)
#
# It kills every interpreter of the prefix, so ctest runs it alone.
set -uo pipefail

source "$(dirname "$0")/lib.sh" "$1"
crlf() { printf '%s\r\n' "$@"; }

export_script() {  # SCRIPT_FILE -> sets out, rc
  run_host exec MODE=RYN_SCRIPT_EXPORT 'SCHEME="prog.vxp"' "SCRIPT_FILE=\"$1\"" 'FEATURES="a.fea", "holes.lst"'
}

expect_export() {  # NAME SCRIPT_FILE RC STDOUT
  export_script "$2"
  [[ $rc == "$3" ]] || fail "$1: exit $rc, expected $3 (stdout: $out; stderr: $(cat "$work/stderr"))"
  [[ $out == "$4" ]] || fail "$1: printed '$out', expected '$4'"
  [[ ! -e $env_dir/interface/ryn_scriptexport.ini ]] || fail "$1: the interface file was left behind"
}

await_file() {  # PATH: at most 20 s
  for _ in $(seq 400); do [[ -s $1 ]] && return 0; sleep 0.05; done
  return 1
}

prefix="Error on executing script export: '"
cp -r "$source_dir/tests/env" "$env_dir"
mkdir -p "$env_dir/scripts"
crlf '@echo off' 'copy "%VEXLO_INTERFACE_DIR%\ryn_scriptexport.ini" seen.ini >nul' 'cd >cwd.txt' \
  >"$env_dir/scripts/copy.cmd"
crlf '@echo off' 'echo first>&2' 'echo disk full>&2' 'exit /b 3' >"$env_dir/scripts/fail.cmd"
crlf 'exit /b 4' >"$env_dir/scripts/quiet.cmd"
crlf '@echo off' 'echo started>started.txt' ':again' 'if not exist go goto again' >"$env_dir/scripts/wait.cmd"

expect_export "reads the interface file" copy.cmd 0 ""
seen=$(cat "$env_dir/scripts/seen.ini" 2>/dev/null)
[[ $seen == *$'[features]\r\n1=a.fea\r\n2=holes.lst\r\nnumber=2'* ]] || fail "interface file as the script saw it: $seen"
# The host hands the script's path on in lower case.
[[ $(tr -d '\r' <"$env_dir/scripts/cwd.txt" 2>/dev/null) == "$(windows_path "$env_dir/scripts" | tr A-Z a-z)" ]] ||
  fail "the script did not run in its own folder: $(cat "$env_dir/scripts/cwd.txt" 2>/dev/null)"

expect_export "last error line" fail.cmd 1 "${prefix}disk full'"
expect_export "silent exit code" quiet.cmd 1 "${prefix}script exited with code 4'"
expect_export "no extension" report 1 "${prefix}Script not found!'"
VEXLO_STANDIN_FAULT=no-ready RYN_TEST_VEXLO_START_TIMEOUT_MS=1000 \
  expect_export "never ready" copy.cmd 1 "${prefix}The Vexlo instance was closed unexpectedly.'"
VEXLO_STANDIN_FAULT=abandon-mutex \
  expect_export "dies holding its mutex" copy.cmd 1 "${prefix}The Vexlo instance was closed unexpectedly.'"

# One export waits in its script; a second is refused; then the interpreter dies.
(export_script wait.cmd; printf '%s\n%s' "$rc" "$out" >"$work/first") &
first=$!
if await_file "$env_dir/scripts/started.txt"; then
  expect_export "second export while one runs" fail.cmd 1 "${prefix}Recursion of script execution is not allowed!'"
  pkill -KILL -f -- '-newinstance=' || fail "no interpreter process to kill"
else
  fail "the waiting script did not start"
fi
touch "$env_dir/scripts/go"  # ends the orphaned script's loop
wait "$first"
[[ $(cat "$work/first") == $'1\n'"${prefix}The Vexlo instance was closed unexpectedly.'" ]] ||
  fail "killed interpreter: $(cat "$work/first")"
[[ ! -e $env_dir/interface/ryn_scriptexport.ini ]] || fail "killed interpreter: the interface file was left behind"
expect_export "the next export after a killed interpreter" copy.cmd 0 ""

# The host dies during its export: its recursion guard must go with it.
rm -f "$env_dir/scripts/go" "$env_dir/scripts/started.txt"
export_script wait.cmd >/dev/null 2>&1 &
first=$!
if await_file "$env_dir/scripts/started.txt"; then
  pkill -KILL -f -- 'ryn-host\.exe' || fail "no host process to kill"
  pkill -KILL -f -- '-newinstance=' || fail "no interpreter process to kill"
else
  fail "the waiting script did not start"
fi
touch "$env_dir/scripts/go"
wait "$first"
expect_export "the next export after a killed host" copy.cmd 0 ""

finish "script exports"
