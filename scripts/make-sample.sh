#!/usr/bin/env bash
# The sample that the main job shows and the documentation's examples use: the test card with
# damaged edges before and after the repair, the two side by side, and a two-second clip of the
# card with a tone (YUV 4:2:0, as captures are), repaired in one command with the settings of
# docs/example.vcf.
# usage: scripts/make-sample.sh [BUILD_DIR [OUT_DIR]]   (default build/linux64 and build/sample)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
native=${1:-$root/build/linux64}
out=${2:-$root/build/sample}

host=("$native/filterhost/filterhost" --plugin "$native/filter/Kantora231.so")
before=$out/testcard-before.png
after=$out/testcard-after.png
clip=$out/clip.mkv
repaired=$out/clip-repaired.mkv
mkdir -p "$out"

"$native/tools/testcard" "$before"
# The settings that repair the card's damage, as VirtualDub would save them.
config=$("$native/tools/testcard" --repair-config)
"${host[@]}" --config "$config" --image "$before" "$after"
convert "$before" "$after" -bordercolor white -border 6 +append "$out/before-after.png"

# The card's noisy bottom band changes in every frame, as head switching does. The clip is
# 4:2:0 (ffv1 keeps it exactly), which libx264 takes as it is: --video then keeps every sample
# outside the strips it repairs.
rm -f "$clip" "$repaired"
bottom=10
graph="[0:v]split[card][band];[band]crop=iw:$bottom:0:ih-$bottom,noise=alls=100:allf=t+u[torn]"
graph+=";[card][torn]overlay=0:H-$bottom,format=yuv420p[v]"
ffmpeg -v error -loop 1 -framerate 25 -i "$before" -f lavfi -i "sine=frequency=440:duration=2" \
  -filter_complex "$graph" -map '[v]' -map 1:a -t 2 -c:v ffv1 -c:a flac "$clip"
"${host[@]}" --script "$root/docs/example.vcf" --video "$clip" "$repaired" --quiet
