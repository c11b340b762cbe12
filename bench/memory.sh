#!/usr/bin/env bash
# Peak memory of loading and drilling a 100,000-line QA text file, against the same commands on a
# one-record file (the program's empty footprint). Needs /usr/bin/time (Debian package "time").
#   bench/memory.sh [BUILD_FOLDER]       (default build/; rovik-cli must be built there)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cli="${1:-$root/build}/src/cli/rovik-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Ten titles of 10,000 lines: title, two category lines and 9,997 records of Shift-JIS text.
awk 'BEGIN {
  q = "\226\342\221\350"; a = "\223\232\202\246"; r = "\216\121\215\154"   # 問題 答え 参考
  for (t = 1; t <= 10; t++) {
    printf "tTitle\tT%d\t3\t3\r\ndBunrui\tA\r\nsBunrui\tB\r\n", t
    for (i = 1; i <= 9997; i++)
      printf "11\t%s%d-%05d %s\t%s%05d\t%s%d\t0\r\n", q, t, i, "abcdefghijklmnop", a, i, r, i
  }
}' >"$work/large.txt"
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
    "(limit 4x: $((4 * size + empty)) KB)"
done
