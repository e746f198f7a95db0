#!/usr/bin/env bash
# ffmpeg decodes a clip to raw BGRA frames, filterhost repairs them, ffmpeg encodes the result:
# the recipe the README gives, on a small generated clip.
# usage: ffmpeg_pipeline_test.sh FILTERHOST PLUGIN WORKDIR [EMULATOR]
set -euo pipefail
filterhost=$1 plugin=$2 work=$3 emulator=${4:-}
rm -rf "$work" && mkdir -p "$work" && cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

w=160 h=120 frames=25
ffmpeg -v error -f lavfi -i "testsrc=size=${w}x${h}:rate=25" -frames:v $frames -pix_fmt yuv420p in.mp4

# shellcheck disable=SC2086 # the emulator, when there is one, is a command with arguments
ffmpeg -v error -i in.mp4 -f rawvideo -pix_fmt bgra - \
  | $emulator "$filterhost" --plugin "$plugin" --size ${w}x${h} \
      --config 'VirtualDub.video.filters.instance[0].Config(4, 2, 10, 2, 0, 0, 0, 0, 3, 0, 8, 1, 0, 4, 0, 0);' \
  | ffmpeg -v error -f rawvideo -pix_fmt bgra -s ${w}x${h} -r 25 -i - -pix_fmt yuv420p out.mp4

probe=$(ffprobe -v error -count_frames -select_streams v:0 \
  -show_entries stream=width,height,nb_read_frames -of csv=p=0 out.mp4)
[ "$probe" = "$w,$h,$frames" ] || fail "out.mp4 has width,height,frames $probe, expected $w,$h,$frames"

# Only the top edge has a black band: the top two rows turn black (mean luma near 16), the
# bottom two rows keep theirs. This also shows that the picture was not turned upside down.
luma() { ffmpeg -v error -i "$1" -vf "crop=$w:2:0:$2,signalstats,metadata=print:key=lavfi.signalstats.YAVG:file=-" -f null - \
  | awk -F= '/YAVG/ { s += $2; n++ } END { printf "%d", s / n }'; }
top_in=$(luma in.mp4 0) top_out=$(luma out.mp4 0)
bottom_in=$(luma in.mp4 $((h - 2))) bottom_out=$(luma out.mp4 $((h - 2)))
[ "$top_out" -lt 25 ] && [ "$top_in" -gt 40 ] || fail "top band luma $top_in -> $top_out: not painted black"
[ "$bottom_in" -gt 40 ] && [ $((bottom_in - bottom_out)) -lt 10 ] && [ $((bottom_out - bottom_in)) -lt 10 ] \
  || fail "bottom band luma $bottom_in -> $bottom_out: changed, but that edge has no band"
echo "ok: $frames frames of ${w}x${h}; luma of the top rows $top_in -> $top_out, of the bottom rows $bottom_in -> $bottom_out"
