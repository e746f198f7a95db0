#!/usr/bin/env bash
# The main job: installs what is missing, builds all four builds, makes the release bundle for
# Windows users in dist/, runs the border filter through the stand-in host on a generated test
# card with damaged edges (a before and an after picture, and the two side by side) and on a
# short clip with sound made from it (a whole video file in one command), and prints the
# settings that the suggestion finds for that clip.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh linux64 linux32 win32 win64
# The release bundle for Windows users: made by the 32-bit build, with the 64-bit build's plug-in.
cmake --build --preset win32 --target bundle
rm -rf dist
cp -r build/win32/dist dist

native=build/linux64
out=build/sample
host=$native/filterhost/filterhost
scripts/make-sample.sh "$native" "$out"

echo
echo "Release for the 32-bit and the 64-bit VirtualDub (unpack into VirtualDub's folder):"
for f in dist/*; do echo "  $(pwd)/$f"; done
echo "Settings: $("$native/tools/testcard" --repair-config)"
echo "Before:   $(pwd)/$out/testcard-before.png   (test card with damaged edges)"
echo "After:    $(pwd)/$out/testcard-after.png   (repaired by Kantora)"
echo "Both:     $(pwd)/$out/before-after.png"
echo "Clip:     $(pwd)/$out/clip.mkv -> $(pwd)/$out/clip-repaired.mkv   (sound copied)"
echo
echo "The settings suggested for the clip (filterhost --suggest $out/clip.mkv):"
"$host" --suggest "$out/clip.mkv" 2>&1
echo
echo "To repair the clip with them (the README's examples write into out/):"
echo "  H=$host; mkdir -p out"
echo "  \$H --config \"\$(\$H --suggest $out/clip.mkv --quiet)\" --video $out/clip.mkv out/suggested.mkv"
