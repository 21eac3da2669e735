#!/usr/bin/env bash
# A catalog translates every text of the program: the msgids are extracted afresh from the
# sources and the XRC, merged into po/LANG.po, and msgfmt must count every message translated
# (none untranslated, none fuzzy).
#   check-catalog.sh SOURCE_DIR WORK_DIR LANG
set -euo pipefail
src=$1
work=$2
lang=$3
bash "$src/scripts/extract-messages.sh" "$src" "$work/darvex.pot" "$work"
msgmerge --quiet --no-fuzzy-matching -o "$work/$lang.po" "$src/po/$lang.po" "$work/darvex.pot"
stats=$(msgfmt --check --statistics -o /dev/null "$work/$lang.po" 2>&1)
echo "$lang: $stats"
if ! [[ $stats =~ ^[0-9]+\ translated\ messages?\.$ ]]; then
    echo "check-catalog: po/$lang.po leaves messages untranslated or fuzzy:" >&2
    msgattrib --untranslated --only-fuzzy "$work/$lang.po" >&2 || true
    msgattrib --untranslated "$work/$lang.po" >&2 || true
    exit 1
fi
