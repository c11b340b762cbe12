#!/usr/bin/env bash
# Installs, builds and runs every test (widget tests offscreen) and the install and package checks
# (scripts/check-install.sh); then the Windows build of the core, rovik-cli and their tests under
# Wine (build-windows); then the core libraries and their tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan), and each fuzz harness for 30 seconds on its corpus
# (build-fuzz).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$root/build" --output-on-failure -j2

echo "== install, desktop entry and Debian package (scripts/check-install.sh)"
"$root/scripts/check-install.sh"

echo "== Windows build, its tests and rovik-cli.exe under Wine (build-windows)"
"$root/scripts/build-windows.sh" "$root/build-windows" >/dev/null
# The Windows codec is compared with the iconv codec's answers, written here by the Linux build.
"$root/build/tests/make_cp932_table" "$root/build-windows/cp932-table.txt"
ROVIK_CP932_TABLE="Z:$root/build-windows/cp932-table.txt" \
  ctest --test-dir "$root/build-windows" --output-on-failure -j2
"$root/scripts/compare-cli-windows.sh" "$root/build" "$root/build-windows"

echo "== sanitizer build (build-asan)"
# -O1 with line tables: quicker to build than -O2 -g, and reports still name file and line.
cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS="-O1 -gline-tables-only" \
  -DCMAKE_CXX_COMPILER=clang++ -DROVIK_GUI=OFF -DROVIK_SANITIZE=ON >/dev/null
cmake --build "$root/build-asan"
ctest --test-dir "$root/build-asan" --output-on-failure -j2

echo "== fuzz harnesses, 30 seconds each (build-fuzz)"
cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS="-O1 -gline-tables-only" \
  -DCMAKE_CXX_COMPILER=clang++ -DROVIK_GUI=OFF -DROVIK_TESTS=OFF -DROVIK_FUZZ=ON >/dev/null
cmake --build "$root/build-fuzz" --target rovik_fuzzers
"$root/fuzz/run.sh" "$root/build-fuzz" 30
