#!/usr/bin/env bash
# The main job: installs what is missing, builds all four builds, makes the release bundle for
# Windows users in dist/, and runs the border filter through the stand-in host on a generated
# test card with damaged edges (a before and an after picture, and the two side by side) and
# on a short clip with sound made from it (a whole video file in one command).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh linux64 linux32 win32 win64
# The release bundle for Windows users: made by the 32-bit build, with the 64-bit build's plug-in.
cmake --build --preset win32 --target bundle
rm -rf dist
cp -r build/win32/dist dist

out=build/sample
mkdir -p "$out"
native=build/linux64
before="$out/testcard-before.png"
after="$out/testcard-after.png"

"$native/tools/testcard" "$before"
# The settings that repair the card's damage, as VirtualDub would save them.
config=$("$native/tools/testcard" --repair-config)
"$native/filterhost/filterhost" --plugin "$native/filter/Kantora231.so" \
  --config "$config" --image "$before" "$after"
convert "$before" "$after" -bordercolor white -border 6 +append "$out/before-after.png"

# A two-second clip of the card with a tone, repaired in one command with the same settings
# taken from a processing-settings file as VirtualDub saves it (docs/example.vcf).
clip="$out/clip.mkv"
repaired="$out/clip-repaired.mkv"
rm -f "$clip" "$repaired"
ffmpeg -v error -loop 1 -framerate 25 -i "$before" -f lavfi -i "sine=frequency=440:duration=2" \
  -t 2 -c:v ffv1 -c:a flac "$clip"
"$native/filterhost/filterhost" --plugin "$native/filter/Kantora231.so" \
  --script docs/example.vcf --video "$clip" "$repaired" --quiet

echo
echo "Release for the 32-bit and the 64-bit VirtualDub (unpack into VirtualDub's folder):"
for f in dist/*; do echo "  $(pwd)/$f"; done
echo "Settings: $config"
echo "Before:   $(pwd)/$before   (test card with damaged edges)"
echo "After:    $(pwd)/$after   (repaired by Kantora)"
echo "Both:     $(pwd)/$out/before-after.png"
echo "Clip:     $(pwd)/$clip -> $(pwd)/$repaired   (sound copied)"
