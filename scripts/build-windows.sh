#!/usr/bin/env bash
# Cross-builds for Windows with MinGW-w64 into BUILD_DIR (default build-windows): the std-only core
# libraries, the platform layer's Win32 branch, rovik-cli.exe and the core tests (GoogleTest from
# /usr/src/googletest, built with the same compiler). No Qt. Run the results with scripts/wine-run.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build-windows}")
# -O1: the tests build quicker than with -O2 and still run fast under Wine.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS="-O1" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh;$build" \
  -DROVIK_GUI=OFF -DROVIK_GTEST_SOURCE=/usr/src/googletest >/dev/null
cmake --build "$build" --target rovik-cli rovik_windows_tests
# Static runtime: nothing but Windows' own DLLs may be imported.
for exe in "$build"/src/cli/rovik-cli.exe "$build"/tests/test_*.exe; do
  foreign=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' |
    grep -viE '^(kernel32|msvcrt|advapi32|shell32|user32|ws2_32|ole32|shlwapi|api-ms-win-.*)\.dll$' || true)
  if [ -n "$foreign" ]; then
    echo "$exe needs DLLs that Windows does not ship: $foreign" >&2
    exit 1
  fi
done
echo "$build/src/cli/rovik-cli.exe"
