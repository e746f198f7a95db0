#!/usr/bin/env bash
# Speed of the frei0r plug-in in ffmpeg against the floor of every frei0r filter, in one run:
#
#   scripts/frei0r-bench.sh [BUILD_DIR] [ROUNDS]
#
# A 1920x1080 yuv420p clip (25 frames of ffmpeg's test source, raw, looped to 250 frames) goes
# through ffmpeg three ways, each back to yuv420p and thrown away:
#   frei0r=copyframe   the floor: a frei0r filter that only copies each frame, so ffmpeg
#                      converts every picture to BGRA and back around it
#   frei0r=kantora     Config(8 2 12 4) on every edge
#   fillborders=12     ffmpeg's own border filter on every edge, in yuv420p with no conversion
# ROUNDS times (default 9) in turn, every other round in the reverse order. Printed: the median of the paired ratios of each to the
# copy filter's time in the same round (with the lowest and highest), wall time and the CPU time
# of all ffmpeg's threads.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/linux64}
rounds=${2:-9}
plugins=$build/filter/frei0r
width=1920 height=1080 clip_frames=25 loops=9
config='Config(8 2 12 4 8 2 12 4 8 2 12 4 8 2 12 4)'

for plugin in "$plugins/kantora.so" "$plugins/copyframe.so"; do
  [[ -e $plugin ]] || { echo "frei0r-bench: $plugin is missing: build $build first" >&2; exit 1; }
done
for tool in ffmpeg /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "frei0r-bench: $tool is missing" >&2; exit 1; }
done
export FREI0R_PATH=$plugins

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
clip=$work/clip.yuv
ffmpeg -nostdin -v error -f lavfi -i "testsrc2=size=${width}x${height}:rate=25" \
  -frames:v $clip_frames -pix_fmt yuv420p -f rawvideo "$clip"

declare -A filters=(
  [copy]="frei0r=filter_name=copyframe"
  [kantora]="frei0r=filter_name=kantora:filter_params=$config"
  [fillborders]="fillborders=left=12:right=12:top=12:bottom=12:mode=smear"
)
declare -A labels=(
  [kantora]="frei0r=kantora, $config"
  [fillborders]="fillborders=12 on every edge (smear, in yuv420p)"
)
# "WALL CPU" seconds of the clip through one filter.
seconds() {
  /usr/bin/time -f '%e %U %S' -o "$work/time" ffmpeg -nostdin -v error -stream_loop $loops \
    -f rawvideo -pix_fmt yuv420p -s ${width}x${height} -r 25 -i "$clip" \
    -vf "${filters[$1]},format=yuv420p" -f null - ||
    { echo "frei0r-bench: ffmpeg failed with ${filters[$1]}" >&2; exit 1; }
  awk '{ printf "%.3f %.3f", $1, $2 + $3 }' "$work/time"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", a / b }'; }
median() { sort -g | awk '{ v[NR] = $1 } END { printf "%.3f (%.3f-%.3f)", v[int((NR + 1) / 2)], v[1], v[NR] }'; }

declare -A wall cpu took
for name in kantora fillborders; do wall[$name]="" cpu[$name]=""; done
for ((round = 1; round <= rounds; ++round)); do
  # Every other round runs the other way round, so that a load rising or falling during a round
  # weighs on both sides of its ratios.
  order=(copy kantora fillborders)
  ((round % 2 == 0)) && order=(fillborders kantora copy)
  for name in "${order[@]}"; do took[$name]=$(seconds "$name"); done
  read -r copy_wall copy_cpu <<<"${took[copy]}"
  line="round $round: copy $copy_wall s ($copy_cpu s CPU)"
  for name in kantora fillborders; do
    read -r w c <<<"${took[$name]}"
    wall[$name]+="$(ratio "$w" "$copy_wall") " cpu[$name]+="$(ratio "$c" "$copy_cpu") "
    line+=", $name $w s ($c s CPU)"
  done
  echo "frei0r-bench: $line" >&2
done

echo "${width}x${height} yuv420p, $((clip_frames * (loops + 1))) frames, $rounds rounds"
echo
echo "| ffmpeg -vf | time / frei0r copy's, median (range) | CPU time / frei0r copy's |"
echo "|---|---|---|"
echo "| frei0r=copyframe (the floor) | 1.000 | 1.000 |"
for name in kantora fillborders; do
  # shellcheck disable=SC2086 # the ratios, one per word
  echo "| ${labels[$name]} | $(printf '%s\n' ${wall[$name]} | median) | $(printf '%s\n' ${cpu[$name]} | median) |"
done
