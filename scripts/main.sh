#!/usr/bin/env bash
# The main job: installs what is missing, builds all four builds, and runs the border filter
# through the stand-in host on a generated test card with damaged edges, writing a before
# and an after picture.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh linux64 linux32 win32 win64

out=build/sample
mkdir -p "$out"
native=build/linux64
before="$out/testcard-before.png"
after="$out/testcard-after.png"

"$native/filterhost/testcard" "$before"
# The settings that repair the card's damage, as VirtualDub would save them.
config=$("$native/filterhost/testcard" --repair-config)
"$native/filterhost/filterhost" --plugin "$native/filter/Kantora231.so" \
  --config "$config" --image "$before" "$after"

echo
echo "Release files (32-bit Windows):"
echo "  plug-in:    $(pwd)/build/win32/filter/Kantora231.vdf"
echo "  calculator: $(pwd)/build/win32/calculator/mensurio.exe"
echo "Settings: $config"
echo "Before:   $(pwd)/$before   (test card with damaged edges)"
echo "After:    $(pwd)/$after   (repaired by Kantora)"
