#!/usr/bin/env bash
# Runs every benchmark program in the given folder, one after another.
set -euo pipefail
dir=${1:?usage: run-benchmarks.sh BENCH_DIR}
status=0
for program in "$dir"/*_bench; do
  [ -x "$program" ] || continue
  echo "== $(basename "$program")"
  "$program" "${@:2}" || status=1
done
exit $status
