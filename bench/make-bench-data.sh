#!/usr/bin/env bash
# Writes the whole-process benchmarks' inputs into FOLDER: db.txt (1,257 lines, 1 title, about
# 55 KB of Shift-JIS: a 64 KB database), dense.txt (15 titles, 100,035 lines of kanji-dense
# Shift-JIS, about 4.5 MB) and dense-utf8.txt (the same text as UTF-8).
#   bench/make-bench-data.sh FOLDER
set -euo pipefail
out="$1"
mkdir -p "$out"
qa() { # titles records-per-title -> QA text, each record 9, 6 and 3 level-1 kanji
  LC_ALL=C awk -v titles="$1" -v records="$2" 'BEGIN {
    srand(7)
    for (t = 1; t <= titles; t++) {
      printf "tTitle\tT%d\t3\t3\r\ndBunrui\tA\r\nsBunrui\tB\r\n", t
      for (i = 1; i <= records; i++) {
        printf "11\t"; kanji(9); printf "\t"; kanji(6); printf "\t"; kanji(3); printf "\t0\r\n"
      }
    }
  }
  function kanji(n,   k, trail) {
    for (k = 0; k < n; k++) {
      trail = 64 + int(rand() * 188); if (trail >= 127) trail++
      printf "%c%c", 137 + int(rand() * 15), trail
    }
  }'
}
qa 1 1254 >"$out/db.txt"
qa 15 6666 >"$out/dense.txt"
iconv -f CP932 -t UTF-8 "$out/dense.txt" >"$out/dense-utf8.txt"
