#!/usr/bin/env bash
# Runs a program on a private X server: Xvfb on a display number it finds free,
# the program with Qt's xcb platform on it, and the server stopped at exit.
#   with-xvfb.sh [--needs "TOOL..."] PROGRAM ARGS...
# Exits 77 (skipped) when Xvfb or a tool the program needs (by default xclip) is not installed.
set -u

needs=xclip
if [ "${1:-}" = "--needs" ]; then
  needs=$2
  shift 2
fi
for tool in Xvfb $needs; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed (scripts/deps.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
server=""
cleanup() {
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb writes the display it took to the descriptor given.
# -noreset: a program started just as the last one ended finds the server up, not resetting.
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
server=$!
display=""
for _ in $(seq 100); do
  display=$(head -n 1 "$work/display" 2>/dev/null)
  [ -n "$display" ] && break
  if ! kill -0 "$server" 2>/dev/null; then break; fi
  sleep 0.1
done
if [ -z "$display" ]; then
  echo "Xvfb did not start:"
  cat "$work/xvfb.log"
  exit 1
fi

mkdir -m 700 "$work/runtime"
DISPLAY=":$display" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" "$@"
