#!/usr/bin/env bash
# Speed of the stand-in host on a raw video stream, against the pipe itself and against
# ffmpeg's own border filter, all in one run:
#
#   scripts/stream-bench.sh [BUILD_DIR] [FRAMES] [ROUNDS]
#
# The same 1920x1080 BGRA stream (FRAMES frames, default 250; a 25-frame clip from ffmpeg's
# test source repeated) goes through a pipe into
#   cat        -> /dev/null  (the floor: moving the bytes through the pipe)
#   filterhost -> /dev/null  (Kantora with S=8 B=2 F=12 T=4 on every edge)
#   ffmpeg -vf fillborders=12 on every edge -> /dev/null (raw BGRA in and out)
# ROUNDS times (default 5) in turn; the fastest round of each counts. Prints frames per
# second, the ratios of the times, and the host's peak memory on this stream and on a stream
# a tenth as long (it must not grow with the stream).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/linux64}
frames=${2:-250}
rounds=${3:-5}
host=$build/filterhost/filterhost
plugin=$build/filter/Kantora231.so
config='Config(8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, 4, 8, 2, 12, 4)'
clip_frames=25
width=1920 height=1080
frame_bytes=$((width * height * 4))

for program in "$host" "$plugin"; do
  [[ -e $program ]] || { echo "stream-bench: $program is missing: build $build first" >&2; exit 1; }
done
for tool in ffmpeg /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "stream-bench: $tool is missing" >&2; exit 1; }
done
(( frames >= clip_frames && frames % clip_frames == 0 )) ||
  { echo "stream-bench: FRAMES must be a multiple of $clip_frames" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
clip=$work/clip.bgra
ffmpeg -v error -f lavfi -i "testsrc2=size=${width}x${height}:rate=25" -frames:v $clip_frames \
  -pix_fmt bgra -f rawvideo "$clip"

# The stream on standard output: the clip again and again (read from the page cache).
stream() {
  local count=$1 k
  for ((k = 0; k < count / clip_frames; ++k)); do cat "$clip"; done
}

# Seconds taken by "stream N | CONSUMER..." with the consumer's output thrown away.
seconds() {
  local count=$1
  shift
  local start end
  start=$(date +%s.%N)
  stream "$count" | "$@" >/dev/null
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

floor_run() { cat; }
host_run() { "$host" --plugin "$plugin" --size ${width}x${height} --config "$config"; }
ffmpeg_run() {
  ffmpeg -v error -f rawvideo -pix_fmt bgra -s ${width}x${height} -i - \
    -vf fillborders=left=12:right=12:top=12:bottom=12 -f rawvideo -pix_fmt bgra -
}

# The host's output must be whole frames, as many as went in.
out_bytes=$(stream $clip_frames | host_run | wc -c)
(( out_bytes == clip_frames * frame_bytes )) ||
  { echo "stream-bench: filterhost wrote $out_bytes bytes, not $((clip_frames * frame_bytes))" >&2; exit 1; }

best_floor='' best_host='' best_ffmpeg=''
smaller() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 < a + 0) ? b : a }'; }
for ((round = 1; round <= rounds; ++round)); do
  t_floor=$(seconds "$frames" floor_run)
  t_host=$(seconds "$frames" host_run)
  t_ffmpeg=$(seconds "$frames" ffmpeg_run)
  printf 'round %d: cat %.2f s, filterhost %.2f s, ffmpeg %.2f s\n' "$round" "$t_floor" "$t_host" "$t_ffmpeg"
  best_floor=$(smaller "$best_floor" "$t_floor")
  best_host=$(smaller "$best_host" "$t_host")
  best_ffmpeg=$(smaller "$best_ffmpeg" "$t_ffmpeg")
done

# Peak resident memory of the host in KiB, on the whole stream and on a tenth of it.
peak_kib() {
  stream "$1" | /usr/bin/time -f '%M' -o "$work/peak" \
    "$host" --plugin "$plugin" --size ${width}x${height} --config "$config" >/dev/null
  cat "$work/peak"
}
peak_long=$(peak_kib "$frames")
short=$(( (frames / 10 + clip_frames - 1) / clip_frames * clip_frames ))
peak_short=$(peak_kib "$short")

fps() { awk -v t="$1" -v n="$frames" 'BEGIN { printf "%.1f", n / t }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
in_frames() { awk -v k="$1" -v f="$frame_bytes" 'BEGIN { printf "%.2f", k * 1024 / f }'; }
echo
echo "${width}x${height} BGRA, $frames frames, fastest of $rounds rounds"
echo
echo "| through | frames/s | time / cat's | time / ffmpeg's |"
echo "|---|---|---|---|"
echo "| cat | $(fps "$best_floor") | 1.00 | $(ratio "$best_floor" "$best_ffmpeg") |"
echo "| filterhost, S=8 B=2 F=12 T=4 | $(fps "$best_host") | $(ratio "$best_host" "$best_floor") | $(ratio "$best_host" "$best_ffmpeg") |"
echo "| ffmpeg fillborders=12 | $(fps "$best_ffmpeg") | $(ratio "$best_ffmpeg" "$best_floor") | 1.00 |"
echo
echo "filterhost peak memory: $peak_long KiB ($(in_frames "$peak_long") frames) on $frames frames," \
     "$peak_short KiB ($(in_frames "$peak_short") frames) on $short frames"
