#!/usr/bin/env bash
# filterhost --video --codec ffv1 keeps each source's pixel format and colour description; the
# decoded output equals the decoded source sample for sample outside the repaired strips, and
# inside them equals the raw-frame path (ffmpeg decodes to BGRA, filterhost --size repairs),
# converted to the source's format, within the conversions' rounding.
# usage: video_formats_test.sh FILTERHOST PLUGIN WORKDIR (about 15 s)
set -euo pipefail
host=$(realpath "$1") plugin=$(realpath "$2") work=$3
rm -rf "$work" && mkdir -p "$work" && cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
ffmpeg() { command ffmpeg -nostdin -v error -y "$@"; }
# Lines each edge changes with these values, as the filter's bands give them:
# top max(B, S+T-1, F-1) = 9, bottom max(B, S+T, F) = 6, right 7, left 5.
config='Config(4, 2, 10, 2, 3, 1, 6, 1, 3, 0, 8, 1, 2, 4, 5, 0)'
top=9 bottom=6 right=7 left=5

probe() { ffprobe -v error -select_streams v:0 -show_entries "stream=$2" -of csv=p=0 "$1"; }
up() { echo $(( ($1 + $2 - 1) / $2 * $2 )); }
down() { echo $(( $1 / $2 * $2 )); }

# size | format | filters and options for the source | columns and rows that share a chroma sample
# (rows doubled for interlaced 4:2:0) | largest difference in the strips, then the mean (8-bit
# levels; 4:2:0 chroma is filtered at the strips' inner edges, and ffmpeg's own conversion of an
# odd size differs more). The interlaced source's two fields are different pictures, so that
# colour blended between them shows.
case=0
while IFS='|' read -r size format filters options across rows most mean; do
  case=$((case + 1))
  width=${size%x*} height=${size#*x}
  read -ra extra <<< "$options"
  ffmpeg -f lavfi -i "testsrc=size=${width}x$height:rate=25" -frames:v 3 \
    -vf "format=$format$filters" "${extra[@]}" -c:v ffv1 "src-$case.mkv"
  status=0
  "$host" --plugin "$plugin" --config "$config" --video "src-$case.mkv" "out-$case.mkv" \
    --codec ffv1 2> err.txt || status=$?
  [ "$status" -eq 0 ] && [ ! -s err.txt ] || fail "$format: exit $status, $(cat err.txt)"

  # The pixel format and colour description as they were.
  described=pix_fmt,color_range,color_space,color_transfer,color_primaries,chroma_location,field_order
  [ "$(probe "out-$case.mkv" $described)" = "$(probe "src-$case.mkv" $described)" ] \
    || fail "$format: $(probe "out-$case.mkv" $described) instead of $(probe "src-$case.mkv" $described)"

  # Outside the strips (each edge's lines rounded to whole chroma samples) every sample as decoded.
  x=$(up $left "$across") y=$(up $top "$rows")
  w=$(( $(down $((width - right)) "$across") - x )) h=$(( $(down $((height - bottom)) "$rows") - y ))
  inner() { ffmpeg -i "$1" -map 0:v -vf "crop=$w:$h:$x:$y" -f rawvideo - | md5sum; }
  [ "$(inner "out-$case.mkv")" = "$(inner "src-$case.mkv")" ] \
    || fail "$format: samples outside the strips changed"

  # Inside them, the filter's own output in the source's format, seen as 24-bit RGB.
  # The conversions of the source's own colour matrix and range.
  matrix=bt601 range=tv fields=0
  [ "$(probe "src-$case.mkv" color_space)" = bt709 ] && matrix=bt709
  [ "$(probe "src-$case.mkv" color_range)" = pc ] && range=pc
  [ "$(probe "src-$case.mkv" field_order)" = tt ] && fields=1  # each field converted alone
  ffmpeg -i "src-$case.mkv" -vf "scale=in_color_matrix=$matrix:in_range=$range:interl=$fields" \
      -f rawvideo -pix_fmt bgra - \
    | "$host" --plugin "$plugin" --config "$config" --size ${width}x$height \
    | ffmpeg -f rawvideo -pix_fmt bgra -s ${width}x$height -i - \
        -vf "scale=out_color_matrix=$matrix:out_range=$range:interl=$fields,format=$format" \
        "${extra[@]}" -c:v ffv1 "expected-$case.mkv"
  rgb() {
    ffmpeg -i "$1" -map 0:v -vf "scale=in_color_matrix=$matrix:in_range=$range:interl=$fields" -f rawvideo \
      -pix_fmt bgr24 "$2"
  }
  rgb "expected-$case.mkv" expected.raw
  rgb "out-$case.mkv" got.raw
  python3 - "$width" "$height" "$x" "$y" "$w" "$h" "$most" "$mean" <<'PY' || fail "$format: the strips differ"
import sys
width, height, x0, y0, w, h, most, mean = map(float, sys.argv[1:])
expected, got = open("expected.raw", "rb").read(), open("got.raw", "rb").read()
assert len(expected) == len(got) > 0, "frame count"
diffs = []
for i in range(len(got)):
    pixel = i // 3 % int(width * height)
    x, y = pixel % width, pixel // width
    if not (x0 <= x < x0 + w and y0 <= y < y0 + h):
        diffs.append(abs(expected[i] - got[i]))
worst, average = max(diffs), sum(diffs) / len(diffs)
print(f"largest difference {worst}, mean {average:.2f}", file=sys.stderr)
sys.exit(0 if worst <= most and average <= mean else 1)
PY
  echo "ok: $size $format$filters ${options:+($options) }kept outside the strips, repaired inside"
done <<'EOF_TABLE'
96x64|yuv420p|||2|2|24|0.6
97x63|yuv420p|||2|2|110|4.5
96x64|yuv420p10le||-color_primaries bt709 -color_trc bt709 -colorspace bt709|2|2|36|0.8
96x64|yuv422p||-color_range pc|2|1|6|0.15
96x64|yuv444p|||1|1|0|0
96x64|yuva420p|||2|2|24|0.6
96x64|gbrp10le|||1|1|0|0
96x64|gray10le|||1|1|0|0
96x64|yuv420p|,split[a][b];[b]hflip[c];[a][c]interleave,tinterlace=interleave_top,setfield=tff|-field_order tt|2|4|50|3.5
EOF_TABLE
