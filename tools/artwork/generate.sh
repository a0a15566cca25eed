#!/usr/bin/env bash
# Rebuilds the editor artwork: compiles the cairo drawing program into build/artwork, runs it and
# writes the images under resources/ (committed, so the plug-in build never runs this) and a
# composited preview to docs/artwork-preview.png. Needs libcairo2-dev, libpng-dev and the
# DejaVu and Liberation fonts (scripts/install-deps.sh installs them).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=$root/build/artwork
mkdir -p "$out" "$root/resources" "$root/docs"

# shellcheck disable=SC2046  # pkg-config prints several flags on purpose
g++ -std=c++17 -O2 -Wall -Wextra -o "$out/bramble_artwork" "$root/tools/artwork/bramble_artwork.cpp" \
    $(pkg-config --cflags --libs cairo cairo-ft freetype2 libpng)

"$out/bramble_artwork" "$root/resources" "$root/docs/artwork-preview.png"
echo "artwork: wrote resources/bramble_{face,knob,power_button,route_button}.png and docs/artwork-preview.png"
