#!/usr/bin/env bash
# Installs what building and testing need (Debian 12, as root), skipping what is there.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev qt6-base-dev qt6-translations-l10n libgl1-mesa-dev
          libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev libzip-dev libzstd-dev sqlite3 python3
          qt6-charts-dev libqt6opengl6-dev
          fonts-ipafont-gothic fonts-ipafont-mincho fonts-noto-cjk xvfb xauth x11-apps imagemagick
          desktop-file-utils appstream dpkg-dev file groff-base
          g++-mingw-w64-x86-64-posix googletest wine wine64)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
