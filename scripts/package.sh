#!/usr/bin/env bash
# Builds the Release tree and packs it as a Debian package in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)"
cpack -G DEB --config build/release/CPackConfig.cmake -B build >/dev/null
rm -rf build/_CPack_Packages
ls build/*.deb
