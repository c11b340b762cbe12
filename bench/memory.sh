#!/usr/bin/env bash
# Peak memory of loading and drilling a 100,035-line kanji-dense QA text file, against the same commands on a
# one-record file (the program's empty footprint). Needs /usr/bin/time (Debian package "time").
#   bench/memory.sh [BUILD_FOLDER]       (default build/; rovik-cli must be built there)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cli="${1:-$root/build}/src/cli/rovik-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 15 titles, 100,035 lines of kanji-dense Shift-JIS (about 4.5 MB).
"$root/bench/make-bench-data.sh" "$work"
cp "$work/dense.txt" "$work/large.txt"
printf 'tTitle\tT1\t3\t3\r\n11\tq\ta\tr\t0\r\n' >"$work/tiny.txt"
# Enough input to see and mark every question of the run, then end it.
printf 'y\n%.0s' $(seq 1100) >"$work/answers.txt"

peak() { # command... -> peak resident set size in KB
  /usr/bin/time -v "$@" <"$work/answers.txt" 2>&1 >/dev/null | sed -n 's/.*Maximum resident set size (kbytes): //p'
}
size=$(($(stat -c %s "$work/large.txt") / 1024))
lines=$(wc -l <"$work/large.txt")
for command in "quiz --title 1" "check"; do
  empty=$(peak "$cli" $command "$work/tiny.txt")
  large=$(peak "$cli" $command "$work/large.txt")
  echo "rovik-cli $command: file $lines lines, $size KB; peak $large KB, empty footprint $empty KB;" \
    "growth $((large - empty)) KB = $(awk -v g=$((large - empty)) -v s=$size 'BEGIN { printf "%.2f", g / s }')x the file" \
    "(limit 3x: $((3 * size + empty)) KB)"
done
