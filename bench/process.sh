#!/usr/bin/env bash
# Whole-process speed of rovik-cli against the floor of the same work, medians of many runs, each
# run a fresh process (so a cost paid once per process counts every time). The writes compare
# wall-clock time (the fsync is waiting, not work); the reads compare CPU time, which other
# programs on the machine do not stretch:
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

# "wall cpu" of one run of a command, in ms (cpu is 0 when only the wall clock is asked for). CPU time (user and system) comes from perf's
# task-clock where perf can count it, else from the shell's coarser rusage figures.
if perf stat -x, -e task-clock true >/dev/null 2>&1; then has_perf=1; else has_perf=0; fi
times_of() { # wall|cpu command...
  local mode=$1 start=$EPOCHREALTIME cpu=0
  shift
  if [ "$mode" = wall ]; then
    "$@" >/dev/null 2>&1 || true
  elif [ $has_perf = 1 ]; then
    cpu=$(perf stat -x, -e task-clock "$@" 2>&1 >/dev/null | awk -F, '/task-clock/ { print $1 }')
  else
    local TIMEFORMAT='%3U %3S'
    cpu=$({ time "$@" >/dev/null 2>&1; } 2>&1 | awk '{ print ($1 + $2) * 1000 }')
  fi
  local end=$EPOCHREALTIME
  awk -v s="$start" -v e="$end" -v c="$cpu" 'BEGIN { printf "%.2f %.2f\n", (e - s) * 1000, c }'
}

median() { sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }

# Runs a command and its floor in turns (pair wall|cpu COMMAND... -- FLOOR...), so that the
# machine's other work falls on both alike; sets $ours and $floor to the medians of the wall
# clock or of the CPU time.
pair() {
  local mode=$1 column=$([ "$1" = cpu ] && echo 2 || echo 1) cmd=() base=() a=() b=()
  shift
  while [ "$1" != "--" ]; do cmd+=("$1"); shift; done
  shift
  base=("$@")
  for ((i = 0; i < runs; i++)); do
    a+=("$(times_of "$mode" "${cmd[@]}" | cut -d' ' -f$column)")
    b+=("$(times_of "$mode" "${base[@]}" | cut -d' ' -f$column)")
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
pair wall "$cli" to-pdb "$work/db.txt" "$work/out.pdb" -- dd if="$work/db.pdb" of="$work/out-dd.pdb" bs=1M conv=fsync status=none
pdb=$ours dd=$floor
pair cpu "$cli" check "$work/dense.txt" -- iconv -f CP932 -t UTF-8 "$work/dense.txt"
check=$ours iconv=$floor
pair cpu "$cli" check "$work/dense-utf8.txt" -- "$cli" check "$work/dense.txt"
utf8=$ours sjis=$floor

echo "medians of $runs runs; load average $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores"
echo "database $(stat -c %s "$work/db.pdb") bytes from $(wc -l <"$work/db.txt") lines;" \
  "dense file $(wc -l <"$work/dense.txt") lines, $(stat -c %s "$work/dense.txt") bytes"
report "to-pdb, 64 KB database (wall)" "$pdb" "dd conv=fsync" "$dd" 1.5
report "check, dense Shift-JIS (cpu)" "$check" "iconv CP932 -> UTF-8" "$iconv" 2
report "check, dense UTF-8 (cpu)" "$utf8" "check, dense Shift-JIS" "$sjis" 1.5
