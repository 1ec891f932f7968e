#!/usr/bin/env bash
# Renders the icon's PNG sizes from resources/rowmill.svg; run it after changing the SVG.
# Needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../resources"
rsvg-convert -w 32 -h 32 rowmill.svg -o rowmill.png
rsvg-convert -w 256 -h 256 rowmill.svg -o rowmill-256.png
