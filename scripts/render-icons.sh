#!/usr/bin/env bash
# Renders the PNG icons from the SVG sources in res/icons. The PNGs are committed so the build
# needs no SVG renderer; run this again (needs librsvg2-bin) after changing an SVG.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
icons="$here/res/icons"
sizes=(16 24 32 48 64 128 256)

command -v rsvg-convert >/dev/null || { echo "render-icons: rsvg-convert missing (librsvg2-bin)" >&2; exit 1; }
mkdir -p "$icons/png"
for name in darvex application-x-d88-floppy-image; do
    for n in "${sizes[@]}"; do
        rsvg-convert -w "$n" -h "$n" -o "$icons/png/$name-$n.png" "$icons/$name.svg"
    done
done
echo "render-icons: $(ls "$icons/png" | wc -l) PNGs in $icons/png"
