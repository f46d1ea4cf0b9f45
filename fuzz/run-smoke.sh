#!/usr/bin/env bash
# Checks the golden files, then runs every fuzz target for a while on a copy
# of its seed corpus.
#   fuzz/run-smoke.sh BUILD_DIR SECONDS
# Exits non-zero when a golden file reads otherwise than captured, or a
# target finds a crash, leak or sanitizer report.
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
seconds=${2:-60}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# In memory where the system has it: every table written is flushed to its device.
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work"' EXIT
# The targets' files go to a temporary folder of their own, which goes with $work.
systemp=${TMPDIR:-/tmp}
mkdir "$work/tmp"
export TMPDIR=$work/tmp
status=0
# What the table read from each golden file when it was captured (csv_golden --capture fuzz/golden
# after a change of the reader meant to change it).
"$build/bin/csv_golden" "$here/golden" || status=1
for corpus in "$here"/corpus/*/; do
  name=$(basename "$corpus")
  target="$build/bin/${name}_fuzzer"
  [[ -x $target ]] || { echo "fuzz: $target missing" >&2; status=1; continue; }
  mkdir -p "$work/$name"
  cp "$corpus"/* "$work/$name/"
  echo "fuzz: $name for ${seconds}s"
  if ! (cd "$work" && "$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$work/$name-" "$work/$name" 2>&1 | tail -n 25); then
    status=1
  fi
  # Each target's findings carry its name, so one target's crash is not the next one's.
  if compgen -G "$work/$name-crash-*" >/dev/null || compgen -G "$work/$name-leak-*" >/dev/null; then
    echo "fuzz: $name found a failure" >&2
    status=1
  fi
done
if [[ -n $(find "$systemp" -maxdepth 1 -name 'ryn-fuzz-*' -newer "$work" -print -quit) ]]; then
  echo "fuzz: files left in $systemp:" $(find "$systemp" -maxdepth 1 -name 'ryn-fuzz-*' -newer "$work") >&2
  status=1
fi
exit $status
