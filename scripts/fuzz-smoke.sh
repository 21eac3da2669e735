#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a minute each (FUZZ_SECONDS), starting from the
# seed corpus.
set -euo pipefail
build=${1:?fuzz build folder}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

shopt -s nullglob
targets=("$build"/fuzz/*_fuzz)
if [ ${#targets[@]} -eq 0 ]; then
    echo "fuzz-smoke: no fuzz targets in $build/fuzz" >&2
    exit 1
fi
for t in "${targets[@]}"; do
    name=$(basename "$t")
    corpus="$work/$name"
    mkdir -p "$corpus"
    seeds="$root/fuzz/corpus/$name"
    [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
    echo "fuzz-smoke: $name for ${seconds}s"
    "$t" "$corpus" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 \
        -artifact_prefix="$work/" 2>"$work/$name.log" || {
        tail -n 60 "$work/$name.log" >&2
        echo "fuzz-smoke: $name found a problem" >&2
        exit 1
    }
    grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$work/$name.log" || true
done
echo "fuzz-smoke: ${#targets[@]} targets ran without a finding"
