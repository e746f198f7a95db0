#!/usr/bin/env bash
# kantora.so in the real hosts, headless: ffmpeg's frei0r filter and melt, each setting given as
# the sixteen values and as a config line, against filterhost's raw pipe with the VirtualDub
# plug-in; then Kdenlive's description against what melt lists.
# usage: hosts_test.sh KANTORA_SO FILTERHOST KANTORA231_SO KDENLIVE_XML PYTHON WORKDIR
set -euo pipefail
plugin=$1 filterhost=$2 vdplugin=$3 xml=$4 python=$5 work=$6
rm -rf "$work" && mkdir -p "$work" && cd "$work"
export LC_ALL=C FREI0R_PATH MLT_FREI0R_PLUGIN_PATH
FREI0R_PATH=$(dirname "$plugin") MLT_FREI0R_PLUGIN_PATH=$FREI0R_PATH
fail() { echo "FAIL: $*" >&2; exit 1; }

# Three frames of random pixels, alpha included: every band shows, and so does a lost alpha.
w=160 h=120 frames=3
perl -e 'srand(231); print pack("C*", map { int rand 256 } 1 .. $ARGV[0])' $((w * h * 4 * frames)) > in.raw
ffmpeg -v error -f rawvideo -pix_fmt bgra -s ${w}x$h -r 25 -i in.raw -pix_fmt rgba in%04d.png
printf '%s\n' description=kantora-test frame_rate_num=25 frame_rate_den=1 width=$w height=$h \
  progressive=1 sample_aspect_num=1 sample_aspect_den=1 display_aspect_num=4 \
  display_aspect_den=3 colorspace=601 > profile

# compare OUT REFERENCE: the largest difference of B, G and R from the reference, and the number
# of alpha bytes that differ from the input's.
compare() {
  perl -e 'local $/; open A, "<", $ARGV[0]; open R, "<", $ARGV[1]; open I, "<", "in.raw";
    my ($a, $r, $i) = (<A>, <R>, <I>); length($a) == length($i) or die "length " . length($a) . "\n";
    my ($max, $alpha) = (0, 0);
    for (my $k = 0; $k < length $a; ++$k) {
      if ($k % 4 == 3) { $alpha++ if substr($a, $k, 1) ne substr($i, $k, 1); next; }
      my $d = abs(ord(substr($a, $k, 1)) - ord(substr($r, $k, 1))); $max = $d if $d > $max;
    }
    print "$max $alpha\n";' "$1" "$2"
}

# The settings in script order (top, bottom, right, left; each smear, black, fade, stretch):
# each edge alone, all four, and bands far wider than the frame.
cases=(
  "4 2 10 2 0 0 0 0 0 0 0 0 0 0 0 0"
  "0 0 0 0 5 1 9 3 0 0 0 0 0 0 0 0"
  "0 0 0 0 0 0 0 0 3 0 8 1 0 0 0 0"
  "0 0 0 0 0 0 0 0 0 0 0 0 6 2 12 4"
  "3 0 0 0 0 10 20 0 7 0 0 0 0 10 0 0"
  "4 2 10 2 5 1 9 3 3 0 8 1 6 2 12 4"
  "0 0 0 0 0 0 0 0 200 0 250 30 0 170 0 0"
)
# melt hands the filter RGBA from the PNG producer and swaps it to BGRA and back, and its raw
# consumer takes BGRA: byte moves only, so its frames must equal filterhost's too.
melt_bound=0
for values in "${cases[@]}"; do
  read -ra v <<<"$values"
  config="Config(${values})"
  params="" melt_values=()
  for k in "${!v[@]}"; do
    fraction=$(awk -v lines="${v[k]}" 'BEGIN { printf "%.12f", lines / 255 }')
    params+="|$fraction" melt_values+=("$((k + 1))=$fraction")
  done
  "$filterhost" --plugin "$vdplugin" --size ${w}x$h --config "Config(${values// /, })" < in.raw > ref.raw

  ffmpeg -v error -y -f rawvideo -pix_fmt bgra -s ${w}x$h -i in.raw \
    -vf "frei0r=filter_name=kantora:filter_params=$params" -f rawvideo -pix_fmt bgra ffmpeg-values.raw
  ffmpeg -v error -y -f rawvideo -pix_fmt bgra -s ${w}x$h -i in.raw \
    -vf "frei0r=filter_name=kantora:filter_params=$config" -f rawvideo -pix_fmt bgra ffmpeg-config.raw
  melt -silent -profile profile avformat:in%04d.png out=$((frames - 1)) \
    -filter frei0r.kantora "${melt_values[@]}" -consumer avformat:melt-values.raw f=rawvideo pix_fmt=bgra 2>/dev/null
  melt -silent -profile profile avformat:in%04d.png out=$((frames - 1)) \
    -filter frei0r.kantora "config=$config" -consumer avformat:melt-config.raw f=rawvideo pix_fmt=bgra 2>/dev/null

  for run in ffmpeg-values ffmpeg-config melt-values melt-config; do
    bound=0
    [[ $run == melt-* ]] && bound=$melt_bound
    read -r max alpha < <(compare $run.raw ref.raw)
    [ "$max" -le "$bound" ] || fail "$run, $config: B, G or R differ from filterhost's by up to $max"
    [ "$alpha" -eq 0 ] || fail "$run, $config: $alpha alpha bytes changed"
  done
  cmp -s in.raw ffmpeg-values.raw && fail "$config: the picture did not change"
  echo "ok: $config"
done

# A bad line leaves the picture as it came and is reported once.
ffmpeg -v error -f rawvideo -pix_fmt bgra -s ${w}x$h -i in.raw \
  -vf "frei0r=filter_name=kantora:filter_params=Config(1 2 3)|0.5" -f rawvideo -pix_fmt bgra bad.raw 2> bad.txt
cmp -s in.raw bad.raw || fail "a bad config line changed the picture"
[ "$(grep -c '^kantora: config ' bad.txt)" -eq 1 ] || fail "a bad config line was reported as: $(cat bad.txt)"

# Kdenlive's description is well-formed and names melt's parameters, in melt's order.
listed=$(melt -query filter=frei0r.kantora 2>/dev/null | awk '/^parameters:/ { p = 1 } p && $1 == "title:" { print $2 }')
described=$("$python" -c 'import sys, xml.dom.minidom as m
for p in m.parse(sys.argv[1]).getElementsByTagName("parameter"): print(p.getAttribute("name"))' "$xml") \
  || fail "$xml is not well-formed XML"
if [ -z "$listed" ] || [ "$listed" != "$described" ]; then
  fail "melt lists the parameters"$'\n'"$listed"$'\n'"but $xml names"$'\n'"$described"
fi
echo "ok: a bad config line; Kdenlive's description names melt's $(wc -l <<<"$listed") parameters"
