#!/usr/bin/env bash
# Runs the same rovik-cli commands with the Linux build and with rovik-cli.exe under Wine and
# expects the same exit codes, the same texts on stdout and stderr, and byte-identical files:
# scripts/compare-cli-windows.sh LINUX_BUILD WINDOWS_BUILD
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
linux=$(realpath "$1")/src/cli/rovik-cli
windows=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The Linux quiz keeps a history: in the scratch folder, never the user's.
export XDG_DATA_HOME="$work/data"
mkdir -p "$work/linux" "$work/windows"
for side in linux windows; do
  cp "$root/resources/start/SampleQA.TXT" "$work/$side/"
  cp "$root/resources/start/SampleQA.TXT" "$work/$side/問題集.TXT"
  cp "$root/tests/fixtures/broken/invalid_sjis.txt" "$root/tests/fixtures/broken/cr_only.txt" "$work/$side/"
done

commands=(
  "check SampleQA.TXT"
  "check 問題集.TXT"
  "check invalid_sjis.txt --log log.txt"
  "to-pdb SampleQA.TXT sample.pdb"
  "to-pdb 問題集.TXT 問題集.pdb"
  "to-text sample.pdb back.txt"
  "to-text missing.pdb none.txt"
  "import-tab --format 0 cr_only.txt imported.txt"
  "quiz SampleQA.TXT --title 1"
  "--help"
)
failed=0
n=0
for command in "${commands[@]}"; do
  n=$((n + 1))
  read -ra args <<<"$command"
  set +e
  (cd "$work/linux" && "$linux" "${args[@]}" </dev/null >"../l$n.out" 2>"../l$n.err"; echo $? >"../l$n.rc")
  (cd "$work/windows" && "$root/scripts/wine-run.sh" "$windows" "$windows/src/cli/rovik-cli.exe" "${args[@]}" \
    </dev/null >"../w$n.out" 2>"../w$n.err"; echo $? >"../w$n.rc")
  set -e
  # The Windows build has no quiz history and no decks room (no SQLite, libzip or zstd for
  # MinGW), so no `stats` and no CSV or Anki package commands.
  [ "$command" = "--help" ] && sed -i -e '/^  stats\t/d' -e '/^  import-csv\t/d' -e '/^  import-apkg\t/d' \
    -e '/^  export-apkg\t/d' -e '/^  export-csv\t/d' "$work/l$n.out"
  for part in rc out err; do
    if ! cmp -s "$work/l$n.$part" "$work/w$n.$part"; then
      echo "rovik-cli $command: $part differs under Wine" >&2
      diff "$work/l$n.$part" "$work/w$n.$part" | head -5 >&2 || true
      failed=1
    fi
  done
done
if ! diff -r "$work/linux" "$work/windows" >&2; then
  echo "the files written differ" >&2
  failed=1
fi
[ "$failed" = 0 ] && echo "rovik-cli.exe under Wine: ${#commands[@]} commands as on Linux"
exit "$failed"
