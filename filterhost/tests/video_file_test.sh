#!/usr/bin/env bash
# filterhost --video on small clips made here: every repaired frame must equal what the raw-frame
# path (ffmpeg decodes to BGRA, filterhost --size repairs) makes of the same input, the other
# streams and the time stamps must come through unchanged, and bad input gets a one-line error.
# usage: video_file_test.sh FILTERHOST PLUGIN WORKDIR
set -euo pipefail
host=$1 plugin=$2 work=$3
rm -rf "$work" && mkdir -p "$work" && cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
config='VirtualDub.video.filters.instance[0].Config(4, 2, 10, 2, 3, 1, 6, 1, 3, 0, 8, 1, 2, 4, 5, 0);'
ffmpeg() { command ffmpeg -nostdin "$@"; }  # the loops below read their tables on stdin
make() { ffmpeg -v error -y "$@"; }

# A lossless clip with sound, an interlaced one (top field first), one of odd size, one cut short.
make -f lavfi -i testsrc2=size=96x64:rate=25 -f lavfi -i sine=frequency=440:sample_rate=48000 \
  -t 0.4 -c:v ffv1 -pix_fmt bgr0 -c:a flac lossless.mkv
make -f lavfi -i testsrc2=size=96x64:rate=25 -t 0.4 -vf setfield=tff -c:v mpeg2video \
  -flags +ildct+ilme -top 1 interlaced.mkv
make -f lavfi -i testsrc=size=97x63:rate=25 -t 0.4 -c:v ffv1 -pix_fmt yuv420p odd.mkv
make -f lavfi -i sine -t 0.2 sound.wav
head -c $(($(stat -c %s lossless.mkv) / 2)) lossless.mkv > cut.mkv

probe() {  # probe FILE STREAMS ENTRIES: the values, without the side data ffprobe adds
  ffprobe -v error -select_streams "$2" -show_entries "$3" -of csv=p=0 "$1" | sed '/^$/d; s/,*$//'
}
size_of() { probe "$1" v:0 stream=width,height | tr , x; }
# Frames as 24-bit BGR: the fourth byte of the filter's pixels carries no colour.
frames() { ffmpeg -v error -i "$1" -map 0:v:0 -f rawvideo -pix_fmt bgr24 -; }
expected() {
  local size; size=$(size_of "$1")
  ffmpeg -v error -i "$1" -map 0:v:0 -f rawvideo -pix_fmt bgra - \
    | "$host" --plugin "$plugin" --config "$config" --size "$size" \
    | ffmpeg -v error -f rawvideo -pix_fmt bgra -s "$size" -i - -f rawvideo -pix_fmt bgr24 -
}
sound() { ffmpeg -v error -i "$1" -map 0:a -c copy -f framemd5 - | grep -v '^#'; }
run() {  # run OUT IN [OPTIONS...]: filterhost's exit code in $status, its standard error in err.txt
  local out=$1 in=$2; shift 2
  status=0
  "$host" --config "$config" --video "$in" "$out" "$@" 2> err.txt || status=$?
}

# input | output | options | what the output must be
while IFS='|' read -r input output options check; do
  read -ra extra <<< "$options"
  run "$output" "$input" "${extra[@]}"
  [ "$status" -eq 0 ] || fail "$input -> $output: exit $status, $(cat err.txt)"
  # Size, field order and every video time stamp as they were.
  timing() { probe "$1" v:0 stream=width,height,field_order:packet=pts_time | sort; }
  [ "$(timing "$output")" = "$(timing "$input")" ] \
    || fail "$output: size, field order or time stamps differ: $(timing "$output" | head -n 3)"
  # The stream says which encoder wrote it, not the input's.
  encoder=libx264
  [[ " ${extra[*]} " == *" --codec ffv1 "* ]] && encoder=ffv1
  [[ $(probe "$output" v:0 stream_tags=encoder) == "Lavc"*" $encoder" ]] \
    || fail "$output: encoder tag $(probe "$output" v:0 stream_tags=encoder)"
  [ -s "expected-$input.raw" ] || expected "$input" > "expected-$input.raw"
  cp "expected-$input.raw" expected.raw
  frames "$output" > got.raw
  case $check in
    exact)
      [ -s got.raw ] && cmp -s expected.raw got.raw || fail "$input -> $output: frames differ"
      [ ! -s err.txt ] || fail "$output: unexpected messages: $(cat err.txt)" ;;
    near:*)  # a lossy encoder: frame count, codec and quality (PSNR in dB), and what it said
      IFS=: read -r _ codec least note <<< "$check"
      [ "$(stat -c %s got.raw)" = "$(stat -c %s expected.raw)" ] || fail "$output: frame count"
      [ "$(probe "$output" v:0 stream=codec_name)" = "$codec" ] || fail "$output: not $codec"
      size=$(size_of "$input")
      psnr=$(ffmpeg -v info -f rawvideo -pix_fmt bgr24 -s "$size" -i expected.raw -f rawvideo \
               -pix_fmt bgr24 -s "$size" -i got.raw -lavfi psnr -f null - 2>&1 \
             | sed -n 's/.*PSNR.* average:\([0-9.]*\).*/\1/p')
      awk -v p="$psnr" -v l="$least" 'BEGIN { exit !(p + 0 >= l) }' || fail "$output: PSNR $psnr dB"
      [ "$(cat err.txt)" = "${note:+filterhost: $note}" ] || fail "$output said: $(cat err.txt)" ;;
  esac
  if [ "$(probe "$input" a stream=index)" != "" ]; then
    [ "$(sound "$output")" = "$(sound "$input")" ] || fail "$output: the sound was not copied unchanged"
  fi
  echo "ok: $input -> $output ${options:-(default codec)}: $check"
done <<'EOF'
lossless.mkv|lossless-ffv1.mkv|--codec ffv1|exact
interlaced.mkv|interlaced-default.mkv|--quiet|near:h264:25:
lossless.mkv|lossless-default.mkv||near:h264:30:libx264 cannot keep the video's bgr0 pixels: every picture is converted to yuv444p
odd.mkv|odd-default.mp4||near:h264:30:97x63 has an odd width or height, which yuv420p cannot hold: encoding libx264 as yuv444p (full-resolution colour, which fewer players take)
EOF

# A file cut short: the frames before the cut, in a valid file under the output's name.
run cut-out.mkv cut.mkv --codec ffv1
grep -qE "^filterhost: cut.mkv breaks at frame ([0-9]+): .*; the [0-9]+ frames before it are in cut-out.mkv$" err.txt \
  && [ "$status" -eq 1 ] || fail "cut.mkv: exit $status, $(cat err.txt)"
written=$(probe cut-out.mkv v:0 stream=width,height | tr , x)
kept=$(sed -E 's/.*the ([0-9]+) frames before.*/\1/' err.txt)
[ "$kept" -gt 0 ] && [ "$written" = 96x64 ] || fail "cut-out.mkv: $written, $kept frames"
frames cut-out.mkv > got.raw
expected lossless.mkv > whole.raw
head -c $((kept * 96 * 64 * 3)) whole.raw > expected.raw
cmp -s expected.raw got.raw || fail "cut-out.mkv: its $kept frames differ from the whole clip's"
echo "ok: cut.mkv gives its first $kept frames"

# Refusals: one line, a non-zero exit, the input untouched and no output left behind.
ln -s lossless.mkv link.mkv
cp lossless.mkv lossless.copy
while IFS='|' read -r code output args message; do
  read -ra extra <<< "$args"
  run "$output" "${extra[@]}"
  [ "$status" -eq "$code" ] && [ "$(wc -l < err.txt)" -eq 1 ] && grep -qF "filterhost: $message" err.txt \
    || fail "${extra[*]} $output: exit $status, $(cat err.txt)"
  [ "$output" = link.mkv ] || [ ! -e "$output" ] || fail "$output was left behind"
  ls ./*.partial-* > /dev/null 2>&1 && fail "a temporary file was left behind"
  echo "ok: refused ${extra[*]} $output"
done <<'EOF'
1|x.mkv|none.mkv|cannot open video none.mkv: No such file or directory
1|x.mkv|sound.wav|sound.wav has no video stream
2|x.mkv|lossless.mkv --codec nonesuch|unknown video encoder 'nonesuch'
1|link.mkv|lossless.mkv|the output link.mkv is the input
1|x.webm|lossless.mkv --codec libvpx-vp9|the webm container of x.webm cannot hold stream 1 of lossless.mkv (flac audio)
EOF
cmp -s lossless.mkv lossless.copy || fail "the input was changed"

# Names are quoted: what they hold never reaches the terminal as control characters.
cp sound.wav $'s\e[2J\r.wav'
run x.mkv $'s\e[2J\r.wav'
[ "$status" -eq 1 ] && [ "$(cat err.txt)" = 'filterhost: s\e[2J\r.wav has no video stream' ] ||
  fail "an input name with control characters: exit $status, $(cat -v err.txt)"
run $'x\e[2J\t' lossless.mkv
[ "$status" -eq 1 ] && [ "$(cat err.txt)" = 'filterhost: cannot tell the container of x\e[2J\t from its name: use an extension such as .mkv or .mp4' ] ||
  fail "an output name with control characters: exit $status, $(cat -v err.txt)"
echo "ok: names quoted"

# The progress line: on a terminal only, and not with --quiet.
script -qec "'$host' --config '$config' --video lossless.mkv tty.mkv --codec ffv1" /dev/null < /dev/null > tty.txt
grep -q "frame 10 of about 10 (100%)" tty.txt || fail "no progress line on a terminal: $(cat tty.txt)"
script -qec "'$host' --config '$config' --video lossless.mkv tty.mkv --codec ffv1 --quiet" /dev/null < /dev/null > tty.txt
[ ! -s tty.txt ] || fail "--quiet printed: $(cat tty.txt)"
echo "ok: the progress line"
