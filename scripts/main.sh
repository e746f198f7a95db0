#!/usr/bin/env bash
# The main job: installs what is missing, builds all four builds, makes the release bundle for
# Windows users and the Debian package of the Linux tools in dist/, runs the border filter
# through the stand-in host on a generated test card with damaged edges (a before and an after
# picture, and the two side by side) and on a short clip with sound made from it (a whole video
# file in one command), runs the GStreamer element in a capture chain with a test source in
# place of the device, and prints the settings that the suggestion finds for that clip.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh linux64 linux32 win32 win64
# The release bundle for Windows users: made by the 32-bit build, with the 64-bit build's plug-in.
cmake --build --preset win32 --target bundle
rm -rf dist
cp -r build/win32/dist dist
# The Debian package of every Linux part, from the native build, beside it.
cmake --build --preset linux64 --target deb
cp build/linux64/dist/kantora-tools_*.deb dist/
(cd dist && sha256sum kantora-tools_*.deb >>SHA256SUMS)

native=build/linux64
out=build/sample
host=$native/filterhost/filterhost
scripts/make-sample.sh "$native" "$out"
# The GStreamer element between a source and an encoder, as for a capture device.
gst_chain="videotestsrc num-buffers=100 ! video/x-raw,format=UYVY,width=720,height=576,framerate=25/1,interlace-mode=interleaved ! kantora config=\"Config(8, 2, 12, 4, 8, 2, 12, 4, 0, 0, 0, 0, 0, 0, 0, 0)\" ! videoconvert ! vp8enc deadline=1 ! webmmux ! filesink location=$out/kantora.webm"
eval "GST_PLUGIN_PATH=$native/gstreamer-1.0 gst-launch-1.0 -q -e $gst_chain"

echo
echo "Release for the 32-bit and the 64-bit VirtualDub (unpack into VirtualDub's folder):"
for f in dist/*.zip; do echo "  $(pwd)/$f"; done
echo "Debian package of the Linux tools (sudo apt install ./dist/$(basename dist/kantora-tools_*.deb)):"
for f in dist/*.deb; do echo "  $(pwd)/$f"; done
echo "Checksums: $(pwd)/dist/SHA256SUMS"
echo "Settings: $("$native/tools/testcard" --repair-config)"
echo "Before:   $(pwd)/$out/testcard-before.png   (test card with damaged edges)"
echo "After:    $(pwd)/$out/testcard-after.png   (repaired by Kantora)"
echo "Both:     $(pwd)/$out/before-after.png"
echo "Clip:     $(pwd)/$out/clip.mkv -> $(pwd)/$out/clip-repaired.mkv   (sound copied)"
echo "GStreamer: $(pwd)/$out/kantora.webm, made by (v4l2src device=/dev/video0 can take videotestsrc's place):"
echo "  GST_PLUGIN_PATH=$(pwd)/$native/gstreamer-1.0 gst-launch-1.0 -e $gst_chain"
echo
echo "The settings suggested for the clip (filterhost --suggest $out/clip.mkv):"
"$host" --suggest "$out/clip.mkv" 2>&1
echo
echo "To repair the clip with them (the README's examples write into out/):"
echo "  H=$host; mkdir -p out"
echo "  \$H --config \"\$(\$H --suggest $out/clip.mkv --quiet)\" --video $out/clip.mkv out/suggested.mkv"
