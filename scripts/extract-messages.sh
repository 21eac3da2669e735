#!/usr/bin/env bash
# Extracts the catalog's msgids from the sources (N_ marks the core's, Tr and _ the front
# ends') and from the XRC texts (as `wxrc -g` lists them) into a .pot file.
#   extract-messages.sh SOURCE_DIR OUT.pot WORK_DIR
set -euo pipefail
src=$(cd "$1" && pwd)
out=$2
work=$3
mkdir -p "$work"
cd "$src"
# Run from the source folder: wxrc's #line directives then name res/..., and xgettext takes
# its locations from them.
wxrc -g -o "$work/xrc-texts.cpp" res/darvex.xrc res/dialogs.xrc
mapfile -t sources < <(find src -name '*.cpp' -o -name '*.h' | LC_ALL=C sort)
version=$(sed -n 's/^project(Darvex VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
xgettext --from-code=UTF-8 --language=C++ --keyword=_ --keyword=Tr --keyword=N_ \
    --keyword=Translate --keyword=TranslatePlural:1,2 \
    --add-comments=TRANSLATORS: --sort-by-file --package-name=Darvex \
    --package-version="$version" --msgid-bugs-address=darvex@example.org \
    -o "$out" "${sources[@]}" "$work/xrc-texts.cpp"
