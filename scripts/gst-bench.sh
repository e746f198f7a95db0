#!/usr/bin/env bash
# What the GStreamer element costs in a pipeline, in one run:
#
#   scripts/gst-bench.sh [BUILD_DIR] [ROUNDS]
#
# Pipelines from videotestsrc (not live) to fakesink, 1920x1080 I420 and 720x576 interlaced UYVY,
# each with two sources: a cheap one (pattern black: one frame drawn, then copied) and a
# realistic one (the default pattern, drawn anew for each frame), and each with and without a
# queue after the source (as a capture chain has: then the element works in a thread of its own
# while the source makes the next frame). Each of these runs without the element and with it
# (typical values: smear 8, black 2, fade 12, stretch 4 on every edge), one after the other,
# ROUNDS times (default 5, every other round in the reverse order). With the cheap source and
# no queue it also runs identity and the element with no values (frames pass untouched).
#
# Printed for each: the median of the paired ratios of the wall time to the wall time without
# the element (with the lowest and highest), the same for the CPU time of all threads, the
# wall time a frame without the element, and the element's CPU time a frame (the median of the
# paired differences). Last, the 576i pipelines with the element on one core (taskset -c 0):
# frames a second, and how many times real time (25 frames a second) that is.
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
declare -A caps=(
  [1080p-I420]=video/x-raw,format=I420,width=1920,height=1080,framerate=25/1
  [576i-UYVY]=video/x-raw,format=UYVY,width=720,height=576,framerate=25/1,interlace-mode=interleaved
)
# Frames a run: about two seconds each.
declare -A frames=([1080p-I420/black]=3000 [1080p-I420/smpte]=600
                   [576i-UYVY/black]=8000 [576i-UYVY/smpte]=3000)

# "WALL CPU" seconds of one pipeline: SOURCE PATTERN QUEUE ELEMENT [PREFIX...].
seconds() {
  local source=$1 pattern=$2 queue=$3 element=$4
  shift 4
  /usr/bin/time -f '%e %U %S' -o "$work/time" "$@" gst-launch-1.0 -q videotestsrc \
    pattern="$pattern" is-live=false num-buffers="${frames[$source/$pattern]}" ! "${caps[$source]}" \
    ${queue:+! queue} ${element:+! $element} ! fakesink > /dev/null ||
    { echo "gst-bench: failed: $source $pattern $queue $element" >&2; exit 1; }
  awk '{ printf "%.3f %.3f", $1, $2 + $3 }' "$work/time"
}
median() { sort -g | awk '{ v[NR] = $1 } END { printf "%.3f (%.3f-%.3f)", v[int((NR + 1) / 2)], v[1], v[NR] }'; }
middle() { sort -g | awk '{ v[NR] = $1 } END { printf "%.3f", v[int((NR + 1) / 2)] }'; }
column() { tr ' ' '\n' <<< "$1" | sed '/^$/d'; }

echo "| source | pattern | queue | element | wall time / without, median (range) | CPU time / without | ms a frame without | element's CPU ms a frame |"
echo "|---|---|---|---|---|---|---|---|"
for source in 1080p-I420 576i-UYVY; do
  for pattern in black smpte; do
    for queue in "" queue; do
      names=("kantora, typical values")
      [[ $pattern == black && -z $queue ]] && names=(identity "kantora, no values" "${names[@]}")
      declare -A element=([identity]=identity ["kantora, no values"]=kantora
                          ["kantora, typical values"]="kantora $typical")
      declare -A walls=() cpus=() extra=()
      bare_walls=
      n=${frames[$source/$pattern]}
      for ((round = 1; round <= rounds; ++round)); do
        order=(bare "${names[@]}")
        ((round % 2 == 0)) && order=("${names[@]}" bare)
        declare -A wall=() cpu=()
        for name in "${order[@]}"; do
          e=
          [[ $name == bare ]] || e=${element[$name]}
          read -r w c <<< "$(seconds "$source" "$pattern" "$queue" "$e")"
          wall[$name]=$w cpu[$name]=$c
        done
        bare_walls+="$(awk -v a="${wall[bare]}" -v n="$n" 'BEGIN { printf "%.4f", a * 1000 / n }') "
        for name in "${names[@]}"; do
          walls[$name]+="$(awk -v a="${wall[$name]}" -v b="${wall[bare]}" 'BEGIN { printf "%.4f", a / b }') "
          cpus[$name]+="$(awk -v a="${cpu[$name]}" -v b="${cpu[bare]}" 'BEGIN { printf "%.4f", a / b }') "
          extra[$name]+="$(awk -v a="${cpu[$name]}" -v b="${cpu[bare]}" -v n="$n" 'BEGIN { printf "%.4f", (a - b) * 1000 / n }') "
        done
        unset wall cpu
      done
      for name in "${names[@]}"; do
        echo "| $source | $pattern | ${queue:-no} | $name | $(column "${walls[$name]}" | median)" \
             "| $(column "${cpus[$name]}" | median) | $(column "$bare_walls" | middle)" \
             "| $(column "${extra[$name]}" | middle) |"
      done
      echo "gst-bench: $source $pattern ${queue:-no queue} done" >&2
      unset walls cpus extra element
    done
  done
done

# Real time: 576i with typical values on one core, each source.
echo
for pattern in black smpte; do
  n=${frames[576i-UYVY/$pattern]}
  read -r wall _ <<< "$(seconds 576i-UYVY "$pattern" "" "kantora $typical" taskset -c 0)"
  awk -v n="$n" -v t="$wall" -v p="$pattern" 'BEGIN {
    printf "576i UYVY, pattern %s, with typical values on one core: %.0f frames a second, %.0f times real time\n", p, n / t, n / t / 25 }'
done
