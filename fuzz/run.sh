#!/usr/bin/env bash
# Runs the fuzz harnesses of a ROVIK_FUZZ build, one after another, each on its seed corpus:
#   fuzz/run.sh BUILD_FOLDER SECONDS [HARNESS...]      (default: every harness)
# New inputs go to BUILD_FOLDER/fuzz-corpus/<harness>, findings to BUILD_FOLDER/fuzz-findings/.
# Prints executions per second per harness; fails on the first finding.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "$1")
seconds=$2
shift 2
harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
  harnesses=(qa_text pdb five_choice users_dat registry settings quiz record_line text_encoding install_targets)
  # The decks harnesses exist where the build has SQLite, libzip and zstd.
  for h in csv html_text anki_collection; do
    [ -x "$build/fuzz/fuzz_$h" ] && harnesses+=("$h")
  done
fi
mkdir -p "$build/fuzz-findings"
for h in "${harnesses[@]}"; do
  work="$build/fuzz-corpus/$h"
  log="$build/fuzz-findings/$h.log"
  mkdir -p "$work"
  if ! nice -n 19 "$build/fuzz/fuzz_$h" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$build/fuzz-findings/$h-" "$work" "$here/corpus/$h" >"$log" 2>&1; then
    echo "fuzz_$h: FINDING (see $log)"
    grep -m1 -A12 "ERROR\|check failed\|runtime error" "$log" || tail -20 "$log"
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
  echo "fuzz_$h: ${runs} runs in ${seconds} s, ${rate} exec/s, ${cov}, no finding"
done
