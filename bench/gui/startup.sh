#!/usr/bin/env bash
# Start-up time of the desktop program on the 2DD test image, from the process start to the
# window shown with the list filled, beside a bare wxWidgets frame and `darvex-cli ls` of the
# same image. Median of 10 runs each, under one virtual X server.
# Usage: bench/gui/startup.sh [BUILD_DIR] [IMAGE]
set -euo pipefail
build=$(realpath "${1:-build}")
image=$(realpath "${2:-$(dirname "$0")/../../../shared/testdata/ipls/ipls-2dd.d88}")
runs=${RUNS:-10}

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build" "$image"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$image" "$work/disk.d88"
# A configuration and data folder of its own, so a remembered window or registration of the
# user's plays no part.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"

median_ms() { # command...: runs it $runs times (after one warm-up) and prints the median
    local times=()
    "$@" > /dev/null
    for ((i = 0; i < runs; i++)); do
        local start end
        start=$(date +%s%N)
        "$@" > /dev/null
        end=$(date +%s%N)
        times+=($(((end - start) / 1000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {m=(NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2; printf "%.1f\n", m/1000}'
}

darvex_ms=$(DARVEX_EXIT_WHEN_SHOWN=1 median_ms "$build/darvex" "$work/disk.d88")
bare_ms=$(median_ms "$build/bench/darvex_bare_frame")
cli_ms=$(median_ms "$build/darvex-cli" ls "$work/disk.d88")

printf 'darvex (window shown, list filled): %8s ms\n' "$darvex_ms"
printf 'bare wxWidgets frame:               %8s ms\n' "$bare_ms"
printf 'darvex-cli ls:                      %8s ms\n' "$cli_ms"
awk -v d="$darvex_ms" -v b="$bare_ms" 'BEGIN { printf "ratio darvex / bare frame:          %8.2f (target at most 2.00)\n", d / b }'
