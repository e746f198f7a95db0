#!/usr/bin/env bash
# What the GStreamer element costs in a pipeline, in one run:
#
#   scripts/gst-bench.sh [BUILD_DIR] [ROUNDS]
#
# Two sources from videotestsrc with a cheap pattern (black: one frame drawn, then copied),
# not live: 1920x1080 I420 (3000 frames) and 720x576 interlaced UYVY (12000 frames), each into
# fakesink through nothing, through identity, and through kantora with no values (frames pass
# through untouched) and with typical ones (smear 8, black 2, fade 12, stretch 4 on every
# edge), ROUNDS times in turn (default 5). Printed per source and element: the median of the
# paired ratios of the pipeline's time to the time without an element (with the lowest and
# highest), the same for the CPU time, and the pipeline's median time a frame. Last, the 576i
# pipeline with typical values on one core (taskset -c 0): frames per second, and how many
# times real time (25 frames per second) that is.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/linux64}
rounds=${2:-5}
plugins=$build/gstreamer-1.0
[[ -e $plugins/libgstkantora.so ]] ||
  { echo "gst-bench: $plugins/libgstkantora.so is missing: build $build first" >&2; exit 1; }
for tool in gst-launch-1.0 taskset /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "gst-bench: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export GST_PLUGIN_PATH=$plugins GST_REGISTRY_1_0=$work/registry.bin
gst-inspect-1.0 kantora >/dev/null  # the registry made before anything is timed

typical=
for edge in top bottom right left; do
  typical+="$edge-smear=8 $edge-black=2 $edge-fade=12 $edge-stretch=4 "
done
declare -A frames=([1080p-I420]=3000 [576i-UYVY]=12000)
declare -A caps=(
  [1080p-I420]=video/x-raw,format=I420,width=1920,height=1080,framerate=25/1
  [576i-UYVY]=video/x-raw,format=UYVY,width=720,height=576,framerate=25/1,interlace-mode=interleaved
)
declare -A elements=([none]="" [identity]="identity" ["kantora, no values"]="kantora"
                     ["kantora, typical values"]="kantora $typical")
order=(none identity "kantora, no values" "kantora, typical values")

# "WALL CPU" seconds of one pipeline: SOURCE ELEMENT [PREFIX...].
seconds() {
  local source=$1 element=$2
  shift 2
  /usr/bin/time -f '%e %U %S' -o "$work/time" "$@" gst-launch-1.0 -q videotestsrc pattern=black \
    is-live=false num-buffers="${frames[$source]}" ! "${caps[$source]}" ${element:+! $element} \
    ! fakesink > /dev/null || { echo "gst-bench: failed: $source $element" >&2; exit 1; }
  awk '{ printf "%.3f %.3f", $1, $2 + $3 }' "$work/time"
}
median() { sort -g | awk '{ v[NR] = $1 } END { printf "%.3f (%.3f-%.3f)", v[int((NR + 1) / 2)], v[1], v[NR] }'; }
middle() { sort -g | awk '{ v[NR] = $1 } END { printf "%.3f", v[int((NR + 1) / 2)] }'; }

echo "| source | element | time / time without, median (range) | CPU time / CPU time without | ms a frame |"
echo "|---|---|---|---|---|"
for source in 1080p-I420 576i-UYVY; do
  declare -A ratios=() cpu_ratios=() per_frame=()
  for ((round = 1; round <= rounds; ++round)); do
    read -r wall0 cpu0 <<< "$(seconds "$source" "")"
    for name in "${order[@]}"; do
      wall=$wall0 cpu=$cpu0
      [ "$name" = none ] || read -r wall cpu <<< "$(seconds "$source" "${elements[$name]}")"
      ratios[$name]+="$(awk -v a="$wall" -v b="$wall0" 'BEGIN { printf "%.4f", a / b }') "
      cpu_ratios[$name]+="$(awk -v a="$cpu" -v b="$cpu0" 'BEGIN { printf "%.4f", a / b }') "
      per_frame[$name]+="$(awk -v a="$wall" -v n="${frames[$source]}" 'BEGIN { printf "%.4f", a * 1000 / n }') "
    done
    echo "gst-bench: $source round $round done" >&2
  done
  for name in "${order[@]}"; do
    echo "| $source | $name | $(tr ' ' '\n' <<< "${ratios[$name]}" | sed '/^$/d' | median)" \
         "| $(tr ' ' '\n' <<< "${cpu_ratios[$name]}" | sed '/^$/d' | median)" \
         "| $(tr ' ' '\n' <<< "${per_frame[$name]}" | sed '/^$/d' | middle) |"
  done
  unset ratios cpu_ratios per_frame
done

# Real time: 576i with typical values on one core.
read -r wall _ <<< "$(seconds 576i-UYVY "${elements["kantora, typical values"]}" taskset -c 0)"
awk -v n="${frames[576i-UYVY]}" -v t="$wall" 'BEGIN {
  printf "\n576i UYVY with typical values on one core: %.0f frames a second, %.0f times real time\n", n / t, n / t / 25 }'
