#!/usr/bin/env bash
# The viewer program on an X server (run under with-xvfb.sh), started with a ROM on its command
# line: its window's caption names the ROM, made absolute.
#   viewer-window.sh VIEWER MAKE_DEMO_ROM PALETTE
set -euo pipefail
if ! command -v xwininfo >/dev/null; then
  echo "SKIPPED: xwininfo is not installed (scripts/deps.sh installs it)"
  exit 77
fi
viewer=$1
work=$(cd "$(mktemp -d)" && pwd -P)
# The viewer remembers the ROMs it opens: here, never in the user's settings.
export XDG_CONFIG_HOME="$work/config"
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$3" fcpalette.pal
mkdir roms
"$2" roms/demo.nes

"$viewer" roms/../roms/demo.nes 2>"$work/err" &
pid=$!
caption="\"TARVELIN Sprite Viewer - $work/roms/demo.nes\""
found=""
for _ in $(seq 150); do
  if xwininfo -root -tree | grep -qF "$caption"; then
    found=yes
    break
  fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
windows=$(xwininfo -root -tree | grep -F "TARVELIN Sprite Viewer" || true)
kill "$pid" 2>/dev/null || true
wait "$pid" || true
if [ -z "$found" ]; then
  echo "FAIL: no window captioned $caption; the viewer's windows:"
  echo "$windows"
  cat "$work/err"
  exit 1
fi
# The only window is the main one: no message box came up.
[ "$(echo "$windows" | wc -l)" -eq 1 ] || { echo "FAIL: more windows than the main one:"; echo "$windows"; exit 1; }
echo "the viewer's window shows the ROM from its command line"
