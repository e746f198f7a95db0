#!/usr/bin/env bash
# Speed and quality of `filterhost --video` against ffmpeg's own border filter, in one run:
#
#   scripts/video-bench.sh [BUILD_DIR] [ROUNDS]
#
# Three sources are generated from ffmpeg's test pattern (2 seconds each): 1920x1080 yuv420p
# H.264 with sound, 1280x720 yuv420p10le H.264 tagged BT.709, and 720x576 yuv422p interlaced
# (top field first). Each goes through
#   filterhost --video with Config(8, 2, 12, 4) on every edge, and
#   ffmpeg -vf fillborders=left=12:right=12:top=12:bottom=12:mode=smear,
# with the same encoder (libx264 crf 18, then ffv1; interlaced coding for the interlaced source)
# and every other stream copied, ROUNDS times
# in turn (default 3). Printed per source and encoder: the median of the paired time ratios
# (filterhost / ffmpeg, with the lowest and highest), the same for the CPU time both programs
# took on all their threads, and the PSNR of each output against the
# decoded source on the inner picture (40 pixels in from every edge, which neither repair
# touches; "inf" is exact).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/linux64}
rounds=${2:-3}
host=$build/filterhost/filterhost
plugin=$build/filter/Kantora231.so
config='Config(8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, 4)'
fill='fillborders=left=12:right=12:top=12:bottom=12:mode=smear'
inset=40

for program in "$host" "$plugin"; do
  [[ -e $program ]] || { echo "video-bench: $program is missing: build $build first" >&2; exit 1; }
done
for tool in ffmpeg /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "video-bench: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make() { ffmpeg -nostdin -v error -y "$@"; }
pattern() { echo "testsrc2=size=$1:rate=$2,format=$3"; }
echo "video-bench: making the sources" >&2
make -f lavfi -i "$(pattern 1920x1080 25 yuv420p)" -f lavfi -i sine=frequency=440:sample_rate=48000 \
  -t 2 -c:v libx264 -preset veryfast -crf 16 -c:a aac "$work/1080p-yuv420p.mkv"
make -f lavfi -i "$(pattern 1280x720 25 yuv420p10le)" -t 2 -c:v libx264 -preset veryfast -crf 16 \
  -color_primaries bt709 -color_trc bt709 -colorspace bt709 "$work/720p-yuv420p10le.mkv"
make -f lavfi -i "$(pattern 720x576 25 yuv422p),setfield=tff" -t 2 -c:v libx264 -preset veryfast \
  -crf 16 -flags +ildct+ilme -field_order tt "$work/576i-yuv422p.mkv"

# "WALL CPU" seconds of one run (CPU: user and system time of all its threads).
seconds() {
  /usr/bin/time -f '%e %U %S' -o "$work/time" "$@" > /dev/null 2>&1 ||
    { echo "video-bench: failed: $*" >&2; exit 1; }
  awk '{ printf "%.3f %.3f", $1, $2 + $3 }' "$work/time"
}
# Inner PSNR (dB, average over all frames and planes) of OUT against SRC, in SRC's own format,
# frame by frame from the first (ffmpeg may shift the start time).
inner_psnr() {
  local crop="setpts=PTS-STARTPTS,crop=iw-$((2 * inset)):ih-$((2 * inset)):$inset:$inset"
  ffmpeg -nostdin -v info -i "$1" -i "$2" -lavfi "[0:v:0]$crop[a];[1:v:0]$crop[b];[a][b]psnr" \
    -f null - 2>&1 | sed -n 's/.*PSNR.* average:\([0-9.a-z]*\).*/\1/p'
}
median() { sort -g | awk '{ v[NR] = $1 } END { printf "%.2f (%.2f-%.2f)", v[int((NR + 1) / 2)], v[1], v[NR] }'; }

echo "| source | encoder | time filterhost / ffmpeg, median (range) | CPU time filterhost / ffmpeg | filterhost inner PSNR | ffmpeg inner PSNR |"
echo "|---|---|---|---|---|---|"
for source in 1080p-yuv420p 720p-yuv420p10le 576i-yuv422p; do
  for codec in libx264 ffv1; do
    in=$work/$source.mkv ours=$work/ours.mkv theirs=$work/theirs.mkv
    options=(-c:v "$codec")
    [[ $codec == libx264 ]] && options+=(-crf 18)
    # filterhost encodes an interlaced source as interlaced: ffmpeg is asked to do the same.
    [[ $source == 576i* ]] && options+=(-flags +ildct+ilme)
    ratios=() cpu_ratios=()
    for ((round = 1; round <= rounds; ++round)); do
      t=$(seconds "$host" --plugin "$plugin" --config "$config" --quiet --video "$in" "$ours" \
            --codec "$codec")
      read -r w_host c_host <<< "$t"
      t=$(seconds ffmpeg -nostdin -v error -y -i "$in" -map 0 -c copy -vf "$fill" "${options[@]}" \
            "$theirs")
      read -r w_ffmpeg c_ffmpeg <<< "$t"
      ratios+=("$(awk -v a="$w_host" -v b="$w_ffmpeg" 'BEGIN { printf "%.3f", a / b }')")
      cpu_ratios+=("$(awk -v a="$c_host" -v b="$c_ffmpeg" 'BEGIN { printf "%.3f", a / b }')")
      echo "video-bench: $source $codec round $round: filterhost $w_host s ($c_host s CPU)," \
           "ffmpeg $w_ffmpeg s ($c_ffmpeg s CPU)" >&2
    done
    echo "| $source | $codec | $(printf '%s\n' "${ratios[@]}" | median) | $(printf '%s\n' "${cpu_ratios[@]}" | median) | $(inner_psnr "$in" "$ours") | $(inner_psnr "$in" "$theirs") |"
  done
done
