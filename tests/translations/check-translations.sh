#!/usr/bin/env bash
# The English translation is complete: lupdate collects the tree's texts into a copy of the .ts
# file, as `ninja update_translations` does (same folders and options as app/window/CMakeLists.txt),
# and check-translations.py reads every entry.
#   check-translations.sh LUPDATE SOURCE_DIR
set -euo pipefail
lupdate=$1
source_dir=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$source_dir/translations/tarvelin_en.ts" "$work/tarvelin_en.ts"
cd "$source_dir"
if ! "$lupdate" -I . -tr-function-alias translate+=Translate,QT_TRANSLATE_NOOP+=TRANSLATE_NOOP -locations none \
    -no-obsolete host dib rom records sprite import app -ts "$work/tarvelin_en.ts" >"$work/lupdate.log" 2>&1; then
  cat "$work/lupdate.log"
  exit 1
fi
python3 "$here/check-translations.py" "$work/tarvelin_en.ts"
