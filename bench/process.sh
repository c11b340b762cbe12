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

median_ms() { # command... -> the median wall time of $runs runs, in ms
  local times=()
  for ((i = 0; i < runs; i++)); do
    local start=$EPOCHREALTIME
    "$@" >/dev/null 2>&1 || true
    local end=$EPOCHREALTIME
    times+=("$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f", (e - s) * 1000 }')")
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'
}

report() { # name, ms, floor name, floor ms, target
  awk -v n="$1" -v a="$2" -v f="$3" -v b="$4" -v t="$5" 'BEGIN {
    r = a / b
    printf "%-34s %8.2f ms  %-30s %8.2f ms  %5.2fx (target %.1fx) %s\n", n, a, f, b, r, t, (r <= t ? "ok" : "OVER")
  }'
}

"$cli" to-pdb "$work/db.txt" "$work/db.pdb" >/dev/null
pdb=$(median_ms "$cli" to-pdb "$work/db.txt" "$work/out.pdb")
dd=$(median_ms dd if="$work/db.pdb" of="$work/out-dd.pdb" bs=1M conv=fsync status=none)
check=$(median_ms "$cli" check "$work/dense.txt")
iconv=$(median_ms sh -c "iconv -f CP932 -t UTF-8 '$work/dense.txt' >/dev/null")
utf8=$(median_ms "$cli" check "$work/dense-utf8.txt")

echo "medians of $runs runs; load average $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores"
echo "database $(stat -c %s "$work/db.pdb") bytes from $(wc -l <"$work/db.txt") lines;" \
  "dense file $(wc -l <"$work/dense.txt") lines, $(stat -c %s "$work/dense.txt") bytes"
report "rovik-cli to-pdb (64 KB database)" "$pdb" "dd conv=fsync" "$dd" 1.5
report "rovik-cli check (dense, Shift-JIS)" "$check" "iconv CP932 -> UTF-8" "$iconv" 2
report "rovik-cli check (dense, UTF-8)" "$utf8" "rovik-cli check (Shift-JIS)" "$check" 1.5
