#!/usr/bin/env bash
# Builds the viewer and starts it, with fcpalette.pal and a demo ROM in its current directory,
# and the demo ROM open, or the ROM given:  scripts/run.sh [ROM]
set -euo pipefail
rom=""
if [ $# -gt 0 ]; then rom=$(realpath "$1"); fi
cd "$(dirname "$0")/.."
scripts/deps.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)"

run=build/run
mkdir -p "$run"
build/release/tools/make_fcpalette "$run/fcpalette.pal"
build/release/tools/make_demo_rom "$run/tarvelin-demo.nes"

viewer=build/release/app/tarvelinSprite
if [ ! -x "$viewer" ]; then
  echo "The viewer window is not built yet; the ROM loader, palette and tools are." >&2
  exit 1
fi
echo "Demo ROM: $(pwd)/$run/tarvelin-demo.nes"
cd "$run"
exec "../../$viewer" "${rom:-tarvelin-demo.nes}"
