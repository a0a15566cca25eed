#!/usr/bin/env bash
# Installs what is missing, builds every target, then renders a demo through the native stereo
# plug-in with the host tool and shows the plug-in's identity and parameters.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

"$ROOT/scripts/install-deps.sh"
"$ROOT/scripts/build.sh" native win32 win64

host=$ROOT/build/native/tools/vsthost/vsthost
plugin=$ROOT/build/native/plugins/QRV_BrambleCascader.so
demo=$ROOT/build/demo
mkdir -p "$demo"

echo
"$host" "$plugin" --info
echo
# A loud 110 Hz sine through a lower shaper threshold and a slower charge time.
"$host" "$plugin" --signal sine:110 --level 0.9 --seconds 4 --set Sh.Thr=0.3 --set Int.Ch=0.8 \
    --output "$demo/sine-cascaded.wav"
echo "setup: rendered $demo/sine-cascaded.wav"
echo "setup: done; run ./scripts/test.sh for every test"
