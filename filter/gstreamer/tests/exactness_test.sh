#!/usr/bin/env bash
# The element on every format of its caps, from the same raw I420 frames as filterhost --video:
# outside the strips the settings reach, every sample equals the same pipeline's without the
# element; inside them the picture equals filterhost --video's repair of the same frames, seen
# through the same conversions, within the converters' rounding (the bounds in the table). An
# interlaced 4:2:0 stream keeps its caps, and its strips keep each field's colours.
# usage: exactness_test.sh PLUGIN_DIR FILTERHOST KANTORA231 WORKDIR (about 10 s)
set -euo pipefail
plugins=$(realpath "$1") host=$(realpath "$2") plugin=$(realpath "$3") work=$4
rm -rf "$work" && mkdir -p "$work" && cd "$work"
export GST_PLUGIN_PATH=$plugins GST_REGISTRY_1_0=$work/registry.bin
fail() { echo "FAIL: $*" >&2; exit 1; }
# gst-launch-1.0 as the build runs it (with the sanitizers' runtime in the sanitizer build).
gst() { ${KANTORA_GST_WRAPPER:-} gst-launch-1.0 "$@"; }
launch() { gst -q "$@" || fail "gst-launch-1.0 $*"; }
# Lines each edge changes with these values, as the filter's bands give them:
# top max(B, S+T-1, F-1) = 9, bottom max(B, S+T, F) = 6, right 7, left 5.
config='Config(4, 2, 10, 2, 3, 1, 6, 1, 3, 0, 8, 1, 2, 4, 5, 0)'
values='top-smear=4 top-black=2 top-fade=10 top-stretch=2 bottom-smear=3 bottom-black=1
        bottom-fade=6 bottom-stretch=1 right-smear=3 right-black=0 right-fade=8 right-stretch=1
        left-smear=2 left-black=4 left-fade=5 left-stretch=0'
top=9 bottom=6 right=7 left=5
up() { echo $(( ($1 + $2 - 1) / $2 * $2 )); }
down() { echo $(( $1 / $2 * $2 )); }

# The source frames (ffmpeg's test picture, its rows packed), and filterhost --video's repair of
# them (in I420 again).
for size in 96x64 97x63; do
  ffmpeg -nostdin -v error -f lavfi -i "testsrc=size=$size:rate=25" -frames:v 3 -pix_fmt yuv420p \
    -c:v ffv1 "src-$size.mkv"
  "$host" --plugin "$plugin" --config "$config" --video "src-$size.mkv" "ref-$size.mkv" --codec ffv1
  for clip in src ref; do
    ffmpeg -nostdin -v error -i "$clip-$size.mkv" -f rawvideo -pix_fmt yuv420p "$clip-$size.yuv"
  done
done

# size | format | columns and rows that no strip splits | largest difference in the strips, then
# the mean (8-bit levels): the two hosts' converters filter chroma differently (GStreamer's
# linearly, also where a format takes no fast path, swscale by repeating samples), which shows
# at sharp colour edges and where a strip's unchanged rows share chroma with changed ones
while IFS='|' read -r size format across rows most mean; do
  width=${size%x*} height=${size#*x}
  luma=$((width * height)) chroma=$(( (width + 1) / 2 * ((height + 1) / 2) ))
  raw() {
    echo "filesrc location=$1 ! rawvideoparse format=i420 width=$width height=$height framerate=25/1
          plane-strides=<$width,$(( (width + 1) / 2 )),$(( (width + 1) / 2 ))>
          plane-offsets=<0,$luma,$((luma + chroma))> frame-size=$((luma + 2 * chroma))"
  }
  caps="video/x-raw,format=$format"
  # Grey that is the frames' luma, at its range (GStreamer takes grey at full range otherwise).
  [[ $format == GRAY* ]] && caps+=",colorimetry=bt601"
  # Frames compared as 16 bits a sample (no row padding): YUV as YUV, RGB as RGB.
  wide=AYUV64
  [[ $format == *RGB* || $format == *BGR* ]] && wide=ARGB64
  # Outside the strips (each edge's lines rounded to whole samples of the grid), every sample.
  x=$(up $left "$across") y=$(up $top "$rows")
  crop="videocrop left=$x top=$y right=$((width - $(down $((width - right)) "$across"))) bottom=$((height - $(down $((height - bottom)) "$rows")))"
  inner() { launch $(raw "src-$size.yuv") ! videoconvert ! "$caps" $1 ! $crop ! videoconvert ! video/x-raw,format=$wide ! filesink location=inner.raw; md5sum < inner.raw; }
  [ "$(inner "! kantora $values")" = "$(inner "")" ] || fail "$format $size: samples outside the strips changed"
  # Inside them, the picture as filterhost --video repairs it, through the same conversions, and
  # with no more colour than the frames had: in 4:2:0 (or grey) again, seen as RGB.
  common=I420
  [[ $format == GRAY* ]] && common=GRAY8
  rgb() {
    launch $(raw "$1") ! videoconvert ! "$caps" $2 ! videoconvert \
      ! "video/x-raw,format=$common" ! videoconvert ! video/x-raw,format=BGRx ! filesink location="$3"
  }
  rgb "src-$size.yuv" "! kantora $values" got.raw
  rgb "ref-$size.yuv" "" expected.raw
  python3 - "$width" "$height" "$x" "$y" "$crop" "$most" "$mean" <<'PY' || fail "$format $size: the strips differ"
import re, sys
width, height, x0, y0 = map(int, sys.argv[1:5])
r, b = map(int, re.search(r"right=(\d+) bottom=(\d+)", sys.argv[5]).groups())
most, mean = float(sys.argv[6]), float(sys.argv[7])
expected, got = open("expected.raw", "rb").read(), open("got.raw", "rb").read()
assert len(expected) == len(got) > 0, "frame count"
diffs = [abs(e - g) for i, (e, g) in enumerate(zip(expected, got)) if i % 4 != 3
         if not (x0 <= i // 4 % width < width - r and y0 <= i // 4 // width % height < height - b)]
worst, average = max(diffs), sum(diffs) / len(diffs)
print(f"largest difference {worst}, mean {average:.2f}", file=sys.stderr)
sys.exit(0 if worst <= most and average <= mean else 1)
PY
  # Alpha: each pixel keeps its own.
  at=
  case $format in BGRA | RGBA) at=3 ;; ARGB) at=0 ;; esac
  if [ -n "$at" ]; then
    launch videotestsrc pattern=solid-color foreground-color=0x80ff8040 num-buffers=1 ! "video/x-raw,format=$format,width=$width,height=$height" \
      ! kantora $values ! filesink location=alpha.raw
    python3 -c "import sys; d = open('alpha.raw', 'rb').read(); sys.exit(set(d[$at::4]) != {128})" \
      || fail "$format: the alpha changed"
  fi
  echo "ok: $size $format kept outside the strips, repaired inside"
done <<'EOF_TABLE'
96x64|I420|2|2|16|1.2
97x63|I420|2|2|88|3
96x64|YV12|2|2|16|1.2
96x64|NV12|2|2|72|3
96x64|NV21|2|2|72|3
96x64|Y42B|2|1|56|3
96x64|Y444|1|1|32|2.4
96x64|YUY2|2|1|56|2.4
96x64|UYVY|2|1|56|2.4
96x64|YVYU|2|1|32|2.6
96x64|I420_10LE|2|2|72|2.4
96x64|I422_10LE|2|1|32|2.2
96x64|Y444_10LE|1|1|32|2
96x64|v210|6|1|52|1.8
96x64|GRAY8|1|1|28|1.4
96x64|GRAY16_LE|1|1|32|0.6
96x64|BGRx|1|1|18|1.6
96x64|BGRA|1|1|18|1.6
96x64|RGBx|1|1|18|1.6
96x64|RGBA|1|1|18|1.6
96x64|xRGB|1|1|18|1.6
96x64|ARGB|1|1|18|1.6
96x64|RGB|1|1|18|1.6
96x64|BGR|1|1|18|1.6
EOF_TABLE

# Interlaced 4:2:0 whose fields are different pictures, a red top field and a blue bottom one,
# with side bands only (they keep each row's field): the caps come through, and each field's
# rows and chroma rows in the strips keep its colour, which blending the fields would change.
python3 - <<'PY'
width, height, fields = 96, 64, [(81, 90, 240), (41, 240, 110)]  # Y, U, V
luma = b"".join(bytes([fields[y % 2][0]]) * width for y in range(height))
chroma = [b"".join(bytes([fields[r % 2][k]]) * (width // 2) for r in range(height // 2)) for k in (1, 2)]
open("fields.yuv", "wb").write((luma + chroma[0] + chroma[1]) * 3)
PY
caps=$(gst -v filesrc location=fields.yuv ! rawvideoparse format=i420 width=96 height=64 \
         interlaced=true top-field-first=true framerate=25/1 \
         ! capssetter caps=video/x-raw,field-order=top-field-first ! kantora left-smear=6 left-stretch=4 right-smear=5 right-black=2 right-stretch=3 \
         ! filesink location=fields-out.yuv | sed -n 's/.*kantora0.GstPad:src: caps = //p')
[[ $caps == *"interlace-mode=(string)interleaved"* && $caps == *"field-order=(string)top-field-first"* ]] \
  || fail "interlaced caps not kept: $caps"
python3 - <<'PY' || fail "the strips of the interlaced frames blend its fields"
import sys
width, height, fields = 96, 64, [(81, 90, 240), (41, 240, 110)]
frame = open("fields-out.yuv", "rb").read()[: width * height * 3 // 2]
strips = list(range(12)) + list(range(width - 8, width - 2))  # the black band is left out
for y in range(height):
    if any(abs(frame[y * width + x] - fields[y % 2][0]) > 3 for x in strips):
        sys.exit(f"luma row {y}")
for k in (1, 2):
    plane = frame[width * height * (k + 3) // 4 :]
    for r in range(height // 2):
        if any(abs(plane[r * width // 2 + x // 2] - fields[r % 2][k]) > 3 for x in strips):
            sys.exit(f"chroma row {r}")
PY
echo "ok: interlaced 4:2:0 keeps its caps and its fields' colours"
