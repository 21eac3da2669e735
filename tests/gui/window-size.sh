#!/usr/bin/env bash
# Starts the desktop program five times under a window manager and quits it each time: the
# window must open as large as the previous run left it (it once grew by the window manager's
# frame at every start). Usage: window-size.sh DARVEX IMAGE
set -euo pipefail
darvex=$1
image=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
cp "$image" "$work/disk.d88"

cat >"$work/runs.sh" <<'RUNS'
set -eu
openbox >/dev/null 2>&1 &
wm=$!
sleep 1
for i in 1 2 3 4 5; do
    DARVEX_EXIT_WHEN_SHOWN=1 timeout 60 "$1" "$2" 2>/dev/null | sed -n 's/^shown //p'
done
kill $wm
RUNS
sizes=$(xvfb-run -a -s "-screen 0 1280x1024x24" bash "$work/runs.sh" "$darvex" "$work/disk.d88")
echo "window sizes: $(echo $sizes)"
[ "$(echo "$sizes" | wc -l)" -eq 5 ] || { echo "FAIL: not five starts"; exit 1; }
[ "$(echo "$sizes" | sort -u | wc -l)" -eq 1 ] || { echo "FAIL: the window size changed"; exit 1; }
echo PASS
