#!/usr/bin/env bash
# filterhost --suggest from the command line: the same clip as a raw file, a raw stream, PNG
# pictures and a lossless video file gives the same one-line Config call (every frame of a
# short clip is measured, whichever way it comes), with --preview too (whose picture
# filterhost_e2e_test checks); the call works as --config; --quiet leaves only that line; a
# still clip of the test card, through a lossy codec, gets the values of the card's own
# picture; and inputs that cannot be judged get a reason or a one-line error (the command
# line's own mistakes are in filterhost_e2e_test).
# usage: suggest_command_test.sh FILTERHOST MAKE_DAMAGED_CLIP WORKDIR TESTCARD
set -euo pipefail
host=$1 maker=$2 work=$3 testcard=$4
rm -rf "$work" && mkdir -p "$work" && cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
ffmpeg() { command ffmpeg -nostdin -v error -y "$@"; }

"$maker" --size 352x288 --frames 12 --content live --damage head,columns,top --seed 7 > clip.raw 2> truth.txt
"$maker" --size 352x288 --frames 1 --content bars --damage columns --seed 3 --png one 2> /dev/null
ffmpeg -f rawvideo -pix_fmt bgra -s 352x288 -r 25 -i clip.raw -c:v ffv1 -pix_fmt bgr0 clip.mkv

suggest() { "$host" --suggest "$@" 2> err.txt; }
from_file=$(suggest clip.raw --size 352x288)
[[ $from_file =~ ^Config\((-?[0-9]+,\ ){15}-?[0-9]+\)$ ]] || fail "not one Config line: $from_file"
[ "$from_file" != "Config(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)" ] ||
  fail "the damaged clip ($(cat truth.txt)) gave zeros"
grep -q '^top: \|^bottom: \|^left: \|^right: ' err.txt || fail "no explanation: $(cat err.txt)"
[ "$(suggest - --size 352x288 < clip.raw)" = "$from_file" ] || fail "a raw stream differs"
[ "$(suggest clip.mkv)" = "$from_file" ] || fail "the video file differs: $(cat err.txt)"
[ "$(suggest clip.mkv --preview preview.png)" = "$from_file" ] && [ -s preview.png ] ||
  fail "with --preview: $(cat err.txt)"
[ "$(suggest clip.raw --size 352x288 --quiet)" = "$from_file" ] && [ ! -s err.txt ] ||
  fail "--quiet printed: $(cat err.txt)"
echo "ok: $from_file from a raw file, a raw stream and a video file"

# The line as the settings of a repair, as users are meant to run it.
"$host" --config "$from_file" --video clip.mkv repaired.mkv --codec ffv1 --quiet ||
  fail "the suggested call does not work as --config"
picture=$(suggest one-0001.png) && [[ $picture =~ ^Config\( ]] || fail "a PNG picture: $(cat err.txt)"
echo "ok: the call repairs the clip; a picture gives $picture"

# A still picture looped into a clip, as scripts make one from a picture: judged as the picture.
"$testcard" card.png
ffmpeg -loop 1 -framerate 25 -i card.png -t 2 -c:v libx264 -pix_fmt yuv420p still.mkv
from_card=$(suggest card.png) && from_still=$(suggest still.mkv) ||
  fail "the test card: $(cat err.txt)"
[ "$from_still" = "$from_card" ] && grep -q 'alike' err.txt ||
  fail "the still clip gives $from_still, its picture $from_card: $(cat err.txt)"
echo "ok: a still clip of the test card gives its picture's $from_card"

# Inputs that cannot be judged: zeros with the reason, or a one-line error.
ffmpeg -f lavfi -i color=c=gray:s=320x240:r=25 -t 0.4 -c:v ffv1 grey.mkv
ffmpeg -f lavfi -i sine -t 0.2 sound.wav
head -c 1000 clip.raw > cut.raw
zeros="Config(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)"
[ "$(suggest grey.mkv)" = "$zeros" ] && grep -q 'single colour' err.txt ||
  fail "one colour: $(cat err.txt)"
while IFS='|' read -r code message args; do
  read -ra arguments <<< "$args"
  status=0
  "$host" "${arguments[@]}" > out.txt 2> err.txt || status=$?
  [ "$status" -eq "$code" ] && [ ! -s out.txt ] && [ "$(wc -l < err.txt)" -eq 1 ] &&
    grep -qF "filterhost: $message" err.txt || fail "${arguments[*]}: exit $status, $(cat err.txt)"
done <<'TABLE'
1|sound.wav has no video stream|--suggest sound.wav
1|cut.raw ends inside frame 1 (1000 of 405504 bytes)|--suggest cut.raw --size 352x288
TABLE
# A name is quoted: what it holds never reaches the terminal as control characters.
cp sound.wav $'s\e[2J\r.wav'
status=0
"$host" --suggest $'s\e[2J\r.wav' > out.txt 2> err.txt || status=$?
[ "$status" -eq 1 ] && [ "$(cat err.txt)" = 'filterhost: s\e[2J\r.wav has no video stream' ] ||
  fail "a name with control characters: exit $status, $(cat -v err.txt)"
echo "ok: refusals"
