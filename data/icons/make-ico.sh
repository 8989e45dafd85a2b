#!/usr/bin/env bash
# Draws kesp.ico, the Windows programs' and installer's icon, from kesp.svg (16 to 256 pixels).
# The .ico is committed, so the Windows build needs neither tool; run this after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pngs=()
for size in 16 24 32 48 256; do
    rsvg-convert -w "$size" -h "$size" -o "$work/$size.png" kesp.svg
    pngs+=("$work/$size.png")
done
convert "${pngs[@]}" kesp.ico
