#!/usr/bin/env bash
# Whole-process speed of rovik-cli against the floor of the same work, medians of many runs, each
# run a fresh process (so a cost paid once per process counts every time):
#   to-pdb of a 64 KB database     against  dd conv=fsync of the same database bytes   (target 1.5x)
#   check of a 100,035-line file   against  iconv -f CP932 -t UTF-8 of it               (target 2x)
#   check of its UTF-8 twin        against  check of the Shift-JIS file                  (target 1.5x)
#   bench/process.sh [BUILD_FOLDER] [RUNS]     (default build/, 21 runs)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cli="${1:-$root/build}/src/cli/rovik-cli"
runs="${2:-21}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/bench/make-bench-data.sh" "$work"

ms_of() { # command... -> its wall time in ms
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1 || true
  local end=$EPOCHREALTIME
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", (e - s) * 1000 }'
}

median() { sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }

# Runs a command and its floor in turns (pair COMMAND... -- FLOOR...), so that the machine's other
# work falls on both alike; sets $ours and $floor to the medians.
pair() {
  local cmd=() base=() a=() b=()
  while [ "$1" != "--" ]; do cmd+=("$1"); shift; done
  shift
  base=("$@")
  for ((i = 0; i < runs; i++)); do
    a+=("$(ms_of "${cmd[@]}")")
    b+=("$(ms_of "${base[@]}")")
  done
  ours=$(printf '%s\n' "${a[@]}" | median)
  floor=$(printf '%s\n' "${b[@]}" | median)
}

report() { # name, ms, floor name, floor ms, target
  awk -v n="$1" -v a="$2" -v f="$3" -v b="$4" -v t="$5" 'BEGIN {
    r = a / b
    printf "%-34s %8.2f ms  %-30s %8.2f ms  %5.2fx (target %.1fx) %s\n", n, a, f, b, r, t, (r <= t ? "ok" : "OVER")
  }'
}

"$cli" to-pdb "$work/db.txt" "$work/db.pdb" >/dev/null
pair "$cli" to-pdb "$work/db.txt" "$work/out.pdb" -- dd if="$work/db.pdb" of="$work/out-dd.pdb" bs=1M conv=fsync status=none
pdb=$ours dd=$floor
pair "$cli" check "$work/dense.txt" -- iconv -f CP932 -t UTF-8 "$work/dense.txt"
check=$ours iconv=$floor
pair "$cli" check "$work/dense-utf8.txt" -- "$cli" check "$work/dense.txt"
utf8=$ours sjis=$floor

echo "medians of $runs runs; load average $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores"
echo "database $(stat -c %s "$work/db.pdb") bytes from $(wc -l <"$work/db.txt") lines;" \
  "dense file $(wc -l <"$work/dense.txt") lines, $(stat -c %s "$work/dense.txt") bytes"
report "rovik-cli to-pdb (64 KB database)" "$pdb" "dd conv=fsync" "$dd" 1.5
report "rovik-cli check (dense, Shift-JIS)" "$check" "iconv CP932 -> UTF-8" "$iconv" 2
report "rovik-cli check (dense, UTF-8)" "$utf8" "rovik-cli check (Shift-JIS)" "$sjis" 1.5
