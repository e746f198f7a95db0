#!/usr/bin/env bash
# The element as GStreamer's tools see it: gst-inspect-1.0 describes it, its pads and every
# property; its settings text (config, settings-file and instance) sets the values as the same
# values set one by one do, and text that cannot be read stops it as it starts, with the
# reader's message; values that change nothing pass every frame through unchanged; and bad
# input (tiny frames, bands wider than the frame, a size change mid-stream, bad property values)
# never crashes it: gst-launch-1.0 ends as the table says, with no sanitizer or valgrind report.
# usage: element_test.sh PLUGIN_DIR WORKDIR
set -euo pipefail
plugins=$(realpath "$1") work=$2
rm -rf "$work" && mkdir -p "$work" && cd "$work"
export GST_PLUGIN_PATH=$plugins GST_REGISTRY_1_0=$work/registry.bin
fail() { echo "FAIL: $*" >&2; exit 1; }
# GStreamer's programs as the build runs them: under valgrind, or with the sanitizers' runtime.
gst() { local program=$1; shift; ${KANTORA_GST_WRAPPER:-} "$program" "$@"; }

inspect=$(gst gst-inspect-1.0 kantora) || fail "gst-inspect-1.0 does not find kantora"
for expected in "SINK template: 'sink'" "SRC template: 'src'" "Klass                    Filter/Effect/Video" \
                "config  " "settings-file  " "instance  "; do
  [[ $inspect == *"$expected"* ]] || fail "gst-inspect-1.0 kantora lacks \"$expected\""
done
all=  # every value at its largest
for edge in top bottom right left; do
  for band in smear black fade stretch; do
    grep -A3 "^  $edge-$band  *:" <<<"$inspect" | grep -q "Range: 0 - 255 Default: 0" \
      || fail "gst-inspect-1.0 kantora: no $edge-$band of 0 to 255"
    all+="$edge-$band=255 "
  done
done

# Settings text: the frames as the values it holds make them, or the reader's message at the start.
name=$(sed -n 's/^  Long-name  *//p' <<<"$inspect")  # as saved settings files name the filter
cat > two.vcf <<EOF
VirtualDub.video.filters.Clear();
VirtualDub.video.filters.Add("$name");
VirtualDub.video.filters.instance[0].Config(9, 9, 9, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
VirtualDub.video.filters.Add("$name");
VirtualDub.video.filters.instance[1].Config(4, 2, 10, 2, 3, 1, 6, 1, 3, 0, 8, 1, 2, 4, 5, 0);
VirtualDub.audio.SetMode(0);
EOF
frames() {
  gst gst-launch-1.0 -q videotestsrc num-buffers=2 ! video/x-raw,format=I420,width=64,height=48 \
    ! kantora "$@" ! filesink location=set.raw > said.txt 2>&1 && md5sum < set.raw
}
values='top-smear=4 top-black=2 top-fade=10 top-stretch=2 bottom-smear=3 bottom-black=1 bottom-fade=6
        bottom-stretch=1 right-smear=3 right-black=0 right-fade=8 right-stretch=1 left-smear=2 left-black=4
        left-fade=5 left-stretch=0'
one_by_one=$(frames $values)
# properties | what comes out: "values" (as set one by one above), or the message it stops with
while IFS='|' read -r properties outcome; do
  eval "set -- $properties"
  if [ "$outcome" = values ]; then
    [ "$(frames "$@")" = "$one_by_one" ] || fail "$properties: not the values: $(cat said.txt)"
  else
    ! frames "$@" > /dev/null && grep -qF -- "$outcome" said.txt || fail "$properties: $(cat said.txt)"
  fi
  echo "ok: $properties"
done <<'EOF'
config="Config(4, 2, 10, 2, 3, 1, 6, 1, 3, 0, 8, 1, 2, 4, 5, 0)"|values
config="VirtualDub.video.filters.instance[0].Config(4,2,10,2,3,1,6,1,3,0,8,1,2,4,5,0);"|values
config="Config(9, 9, 9, 9, 3, 1, 6, 1, 3, 0, 8, 1, 2, 4, 5, 0)" top-smear=4 top-black=2 top-fade=10 top-stretch=2|values
settings-file=two.vcf instance=1|values
instance=1 settings-file=two.vcf|values
config="Config(1, 2, 3" config="Config(4, 2, 10, 2, 3, 1, 6, 1, 3, 0, 8, 1, 2, 4, 5, 0)"|values
config="Config(3, 0)"|config line 1, column 1:
config="Config(1, 2, 3" top-black=2|config line 1
settings-file=two.vcf|adds "Kantora
settings-file=two.vcf instance=7|instance
settings-file=missing.vcf|missing.vcf
EOF

# Values that change nothing: every byte as it came. A left smear of 3 changes nothing on a
# frame one column wide, but does change frames of another size after it.
pass() {
  gst gst-launch-1.0 -q concat name=c $1 ! filesink location=pass.raw \
    videotestsrc num-buffers=2 ! video/x-raw,format=UYVY,width=$2,height=48 ! c. \
    videotestsrc num-buffers=2 pattern=checkers-1 ! video/x-raw,format=UYVY,width=$3,height=48 ! c.
  md5sum < pass.raw
}
[ "$(pass "! kantora top-stretch=9 left-stretch=9" 64 64)" = "$(pass "" 64 64)" ] \
  || fail "values that change nothing changed frames"
[ "$(pass "! kantora left-smear=3" 1 64)" != "$(pass "" 1 64)" ] \
  || fail "after a change of size, frames of the new size were not repaired"

some="top-smear=3 top-fade=9 bottom-black=2 left-smear=4 left-stretch=2 right-fade=7"
# pipeline | exit status | what gst-launch-1.0 says (a part of it)
while IFS='|' read -r pipeline status said; do
  eval "args=($pipeline)"
  got=0
  gst gst-launch-1.0 "${args[@]}" > out.txt 2>&1 || got=$?
  grep -E "Sanitizer|runtime error" out.txt && fail "$pipeline: $(cat out.txt)"
  [ "$got" = "$status" ] || fail "$pipeline: exit $got, $(cat out.txt)"
  grep -qF -- "$said" out.txt || fail "$pipeline: said $(cat out.txt)"
  echo "ok: $pipeline"
done <<EOF
videotestsrc num-buffers=3 ! video/x-raw,format=I420,width=1,height=1 ! kantora $all ! fakesink|0|
videotestsrc num-buffers=3 ! video/x-raw,format=NV12,width=2,height=2 ! kantora $all ! fakesink|0|
videotestsrc num-buffers=3 ! video/x-raw,format=YUY2,width=2,height=2 ! kantora $some ! fakesink|0|
videotestsrc num-buffers=3 ! video/x-raw,format=v210,width=2,height=2 ! kantora $all ! fakesink|0|
videotestsrc num-buffers=3 ! video/x-raw,format=BGRA,width=1,height=1 ! kantora $some ! fakesink|0|
videotestsrc num-buffers=3 ! video/x-raw,format=RGB,width=3,height=2 ! kantora $all ! fakesink|0|
videotestsrc num-buffers=3 ! video/x-raw,format=I420_10LE,width=33,height=17 ! kantora $all ! fakesink|0|
concat name=c ! kantora $some ! fakesink videotestsrc num-buffers=3 ! video/x-raw,format=I420,width=64,height=48 ! c. videotestsrc num-buffers=3 ! video/x-raw,format=I420,width=6,height=4 ! c. videotestsrc num-buffers=3 ! video/x-raw,format=I420,width=99,height=71,interlace-mode=interleaved ! c.|0|
videotestsrc num-buffers=1 ! kantora top-black=-1 ! fakesink|0|out of range for property 'top-black'
videotestsrc num-buffers=1 ! kantora top-black=256 ! fakesink|0|out of range for property 'top-black'
videotestsrc num-buffers=1 ! kantora top-black=x ! fakesink|1|could not set property "top-black"
videotestsrc num-buffers=1 ! kantora no-such-value=1 ! fakesink|1|no property "no-such-value"
EOF
