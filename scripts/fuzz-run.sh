#!/usr/bin/env bash
# Runs one fuzz target on a fresh corpus folder: fuzz-run.sh CORPUS PROGRAM ARGS...
# Prints the number of inputs executed; any crash, leak or sanitizer report fails the run.
set -euo pipefail
corpus=$1
shift
rm -rf "$corpus"
mkdir -p "$corpus"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
"$@" >"$log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  cat "$log"
  exit "$status"
fi
grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done [0-9]+ runs)' "$log" || tail -n 5 "$log"
