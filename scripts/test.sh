#!/usr/bin/env bash
# Installs, builds and runs every test (widget tests offscreen) and the install and package checks
# (scripts/check-install.sh); then the core libraries and their tests again under AddressSanitizer
# and UndefinedBehaviorSanitizer (build-asan), and each fuzz harness for 30 seconds on its corpus
# (build-fuzz).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$root/build" --output-on-failure -j2

echo "== install, desktop entry and Debian package (scripts/check-install.sh)"
"$root/scripts/check-install.sh"

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
