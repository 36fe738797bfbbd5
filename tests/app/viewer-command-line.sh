#!/usr/bin/env bash
# The viewer program with a ROM on its command line, offscreen, where its message boxes go
# to stderr:  viewer-command-line.sh VIEWER MAKE_DEMO_ROM PALETTE
set -euo pipefail
viewer=$1
work=$(cd "$(mktemp -d)" && pwd -P)
# The viewer remembers the ROMs it opens: here, never in the user's settings.
export XDG_CONFIG_HOME="$work/config"
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$3" fcpalette.pal
"$2" demo.nes
{ printf 'XES\x1a'; tail -c +5 demo.nes; } >header.nes
failures=0

# Starts the viewer with the arguments after Expected, waits for the box Expected (none: for a
# while), stops it and compares every box it showed.
expect_boxes() {
  local expected=$1
  shift
  QT_QPA_PLATFORM=offscreen "$viewer" "$@" >/dev/null 2>"$work/err" &
  local pid=$! tenths=0 limit=30
  [ -n "$expected" ] && limit=150
  while [ "$tenths" -lt "$limit" ] && kill -0 "$pid" 2>/dev/null; do
    [ -n "$expected" ] && grep -qF "$expected" "$work/err" && break
    sleep 0.1
    tenths=$((tenths + 1))
  done
  if kill "$pid" 2>/dev/null; then
    wait "$pid" || true
  else
    wait "$pid" || true
    echo "FAIL: the viewer ended by itself with $*"
    failures=$((failures + 1))
  fi
  local boxes
  boxes=$(grep -F '[TARVELIN Sprite Viewer]' "$work/err" || true)
  if [ "$boxes" != "${expected:+[TARVELIN Sprite Viewer] $expected}" ]; then
    echo "FAIL: with '$*' expected '${expected}', got: $boxes"
    failures=$((failures + 1))
  fi
}

expect_boxes ""
expect_boxes "" demo.nes
expect_boxes "ヘッダが異常です" header.nes
# An unreadable file: the general error handler names it, made absolute as the dialog would give it.
expect_boxes "ファイル $work/missing.nes は開けません" sub/../missing.nes
# In English for this run only: the next start speaks Japanese again.
expect_boxes "Invalid header" --lang en header.nes
expect_boxes "ヘッダが異常です" header.nes

status=0
QT_QPA_PLATFORM=offscreen timeout 20 "$viewer" demo.nes header.nes 2>"$work/err" || status=$?
[ "$status" -eq 2 ] && grep -qxF "Only one ROM can be opened." "$work/err" ||
  { echo "FAIL: two ROMs: status $status, $(cat "$work/err")"; failures=$((failures + 1)); }
status=0
QT_QPA_PLATFORM=offscreen timeout 20 "$viewer" --lang jp demo.nes 2>"$work/err" || status=$?
[ "$status" -eq 2 ] && grep -qxF "Unknown language 'jp': --lang takes ja or en." "$work/err" ||
  { echo "FAIL: --lang jp: status $status, $(cat "$work/err")"; failures=$((failures + 1)); }
QT_QPA_PLATFORM=offscreen timeout 20 "$viewer" --help >"$work/help" 2>&1 && grep -q "\[ROM\]" "$work/help" && grep -q -- "--lang <ja|en>" "$work/help" ||
  { echo "FAIL: --help: $(cat "$work/help")"; failures=$((failures + 1)); }

[ "$failures" -eq 0 ] || exit 1
echo "the viewer opens and refuses ROMs from its command line"
