#!/usr/bin/env bash
# darvex -p where the desktop knows no printer (GTK's file backend alone): the program must
# say that nothing was printed and fail, not end as if it had printed.
# Usage: print-without-printer.sh DARVEX DARVEX-CLI
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" LANGUAGE=en
mkdir -p "$XDG_CONFIG_HOME/gtk-3.0"
printf '[Settings]\ngtk-print-backends=file\n' >"$XDG_CONFIG_HOME/gtk-3.0/settings.ini"
"$2" new "$work/disk.d88" --type 3 >/dev/null
status=0
xvfb-run -a timeout 60 "$1" -p "$work/disk.d88" 2>"$work/err" || status=$?
cat "$work/err"
[ "$status" -ne 0 ] && [ "$status" -ne 124 ] || { echo "FAIL: exit status $status"; exit 1; }
grep -q "could not be printed" "$work/err" || { echo "FAIL: no message"; exit 1; }
echo PASS
