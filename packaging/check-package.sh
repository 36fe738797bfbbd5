#!/usr/bin/env bash
# Builds the Debian package from a built tree and tries it as a user would get it:
#   check-package.sh BUILD_DIR
# Exits 77 (skipped) where a packaging tool is missing.
set -euo pipefail
build=$(cd "$1" && pwd)

for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli lintian man help2man timeout; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (scripts/deps.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

echo "== cpack -G DEB"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"
  exit 1
}
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "expected one package, got: ${debs[*]}"; exit 1; }
deb=${debs[0]}
echo "${deb##*/}"

echo "== dpkg-deb --contents"
data=/usr/share/tarvelin-sprite-viewer
app=org.tarvelin.SpriteViewer
expected=(/usr/bin/tarvelin-sprite-viewer /usr/bin/tarvelin-export /usr/bin/tarvelin-import /usr/bin/zrdib
          $data/fcpalette.pal $data/tarvelin-demo.nes
          /usr/share/applications/$app.desktop /usr/share/metainfo/$app.metainfo.xml
          /usr/share/icons/hicolor/scalable/apps/$app.svg
          /usr/share/man/man1/tarvelin-sprite-viewer.1.gz /usr/share/man/man1/tarvelin-export.1.gz
          /usr/share/man/man1/tarvelin-import.1.gz /usr/share/man/man1/zrdib.1.gz
          /usr/share/doc/tarvelin-sprite-viewer/copyright /usr/share/doc/tarvelin-sprite-viewer/changelog.gz)
for size in 16 32 48 64 128 256; do expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/$app.png"); done
dpkg-deb --contents "$deb" | awk '{print substr($NF, 2)}' >"$work/contents"
for file in "${expected[@]}"; do
  grep -qxF "$file" "$work/contents" || fail "the package lacks $file"
done
echo "${#expected[@]} files checked"

echo "== control fields"
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
for library in libqt6widgets6 libqt6gui6 libqt6core6 libgif7 libstdc++6 libc6; do
  [[ $depends == *"$library "* ]] || fail "dpkg-shlibdeps did not find $library"
done
for field in Package Version Maintainer Description Section; do
  [ -n "$(dpkg-deb --field "$deb" "$field")" ] || fail "no $field field"
done

root=$work/root
dpkg -x "$deb" "$root"

echo "== desktop-file-validate, appstreamcli validate"
desktop=$root/usr/share/applications/$app.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app.metainfo.xml" || fail "appstreamcli validate"
grep -qxF "Path=$data" "$desktop" || fail "the menu entry does not start in $data"
grep -qxF "MimeType=application/x-nes-rom;" "$desktop" || fail "the menu entry offers no iNES ROMs"

echo "== the installed tools"
if (cd "$root$data" && "$root/usr/bin/tarvelin-export" tarvelin-demo.nes "$work/export" --bank 16 --quiet) \
     >"$work/export.log" 2>&1; then
  grep -q . "$work/export.log" && { cat "$work/export.log"; fail "tarvelin-export reported something"; }
  [ "$(head -c 4 "$work/export/sprite/16/000.png" | od -An -tx1 | tr -d ' ')" = 89504e47 ] ||
    fail "tarvelin-export wrote no PNG of pattern 000"
  [ "$(head -c 3 "$work/export/animation/16/00.gif")" = GIF ] || fail "tarvelin-export wrote no GIF of animation 00"
  [ "$(grep -c '^sprite,16,' "$work/export/index.csv")" -eq 512 ] || fail "index.csv does not hold 512 patterns"
  [ "$(grep -c '^animation,16,' "$work/export/index.csv")" -eq 256 ] || fail "index.csv does not hold 256 animations"
  # What went out comes back unchanged.
  (cd "$root$data" && "$root/usr/bin/tarvelin-import" tarvelin-demo.nes "$work/back.nes" --quiet \
     --pattern-table "$work/export/patterntable/16/1FF.png" --bank 16 --sprite 1FF \
     --sprite-picture "$work/export/sprite/16/1FF.png" --bank 16 --sprite 1FF) >"$work/import.log" 2>&1 ||
    { cat "$work/import.log"; fail "tarvelin-import on the installed demo ROM"; }
  grep -q . "$work/import.log" && { cat "$work/import.log"; fail "tarvelin-import reported something"; }
  cmp -s "$work/back.nes" "$root$data/tarvelin-demo.nes" || fail "tarvelin-import changed the demo ROM"
else
  cat "$work/export.log"
  fail "tarvelin-export on the installed demo ROM"
fi
# 1 x 1 pixel, 24 bits, bottom-up: one red pixel and its row padding.
printf 'BM\x3a\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0\0\0\0\0\x04\0\0\0' >"$work/red.bmp"
printf '\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\xff\0' >>"$work/red.bmp"
"$root/usr/bin/zrdib" info "$work/red.bmp" >"$work/info.log" 2>&1 || fail "zrdib info"
grep -q "1 x 1" "$work/info.log" && grep -q "zrpf24Bit" "$work/info.log" ||
  { cat "$work/info.log"; fail "zrdib info did not describe a 1 x 1 24-bit BMP"; }

echo "== man -l"
# Every long option that a program's --help (and each of its commands' --help) lists is on its page.
help_of() {
  local program=$root/usr/bin/$1
  QT_QPA_PLATFORM=offscreen "$program" --help 2>/dev/null
  for command in $(QT_QPA_PLATFORM=offscreen "$program" --help 2>/dev/null |
                     sed -nE "s/^(Usage:)? +$1 ([a-z][a-z-]*).*/\2/p"); do
    "$program" "$command" --help
  done
}
for page in tarvelin-sprite-viewer:fcpalette.pal tarvelin-export:--bank tarvelin-import:--pattern-table zrdib:convert; do
  name=${page%%:*}
  LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$root/usr/share/man/man1/$name.1.gz" >"$work/$name.txt" 2>"$work/$name.err" ||
    fail "man -l $name"
  grep -q -- "${page#*:}" "$work/$name.txt" || fail "the page of $name does not mention ${page#*:}"
  [ -s "$work/$name.err" ] && { cat "$work/$name.err"; fail "man -l $name complained"; }
  options=$(help_of "$name" | grep -oE -- '--[a-z][a-z-]*' | sort -u)
  [ -n "$options" ] || fail "no options in the --help of $name"
  for option in $options; do
    grep -q -- "$option" "$work/$name.txt" || fail "the page of $name lacks $option"
  done
  echo "$name: $(wc -l <"$work/$name.txt") lines, options" $options
done

echo "== the installed viewer, started as its menu entry starts it"
# Offscreen its message boxes go to stderr; it runs until stopped.
viewer_messages() {
  (cd "$1" && QT_QPA_PLATFORM=offscreen timeout 3 "$root/usr/bin/tarvelin-sprite-viewer" 2>&1 >/dev/null || true) |
    grep -F '[TARVELIN Sprite Viewer]' || true
}
messages=$(viewer_messages "$root$data")
[ -z "$messages" ] || fail "the viewer in $data said: $messages"
# Elsewhere it still looks in the current directory only, and says so.
mkdir "$work/elsewhere"
messages=$(viewer_messages "$work/elsewhere")
[ "$messages" = "[TARVELIN Sprite Viewer] ファイル fcpalette.pal は開けません" ] ||
  fail "the viewer away from its data folder said: '$messages'"

echo "== lintian"
lintian --fail-on error "$deb" 2>&1 || fail "lintian reported errors"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "the package installs and runs"
