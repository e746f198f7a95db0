#!/usr/bin/env bash
# FFmpeg's libraries are mapped only by --video: a raw run, checked while it waits on its input
# pipe, maps the plug-in and none of them. A host without its video module says so in one line
# for --video and runs everything else as before.
# usage: video_module_split_test.sh FILTERHOST PLUGIN WORKDIR
set -euo pipefail
host=$1 plugin=$2 work=$3
rm -rf "$work" && mkdir -p "$work" && cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
video_libraries='/lib(av(codec|format|util|filter|device)|sw(scale|resample)|hwy|jxl)[^/]*$'

mkfifo frames
"$host" --plugin "$plugin" --size 4x4 frames out.raw &
pid=$!
exec 3>frames  # the host is past loading everything once it has opened its input
for _ in $(seq 100); do
  grep -q "$(basename "$plugin")" "/proc/$pid/maps" 2>/dev/null && break
  sleep 0.1
done
maps=$(awk '{ print $6 }' "/proc/$pid/maps" | sort -u)
exec 3>&-
wait "$pid" || fail "the raw run failed"
grep -qF "$(basename "$plugin")" <<<"$maps" || fail "the plug-in is not mapped: $maps"
! grep -E "$video_libraries" <<<"$maps" || fail "a raw run maps FFmpeg's libraries"
! ldd "$host" | grep -E "${video_libraries%\$} " || fail "filterhost links FFmpeg's libraries"
echo "ok: a raw run maps no video library"

mkdir alone
cp "$host" alone/filterhost
status=0
alone/filterhost --plugin "$plugin" --video in.mkv out.mkv 2> err.txt || status=$?
[ "$status" -eq 1 ] && [ "$(wc -l < err.txt)" -eq 1 ] &&
  grep -qF "filterhost: --video needs filterhost's video module filterhost-video.so, which is missing" err.txt ||
  fail "without its module: exit $status, $(cat err.txt)"
alone/filterhost --plugin "$plugin" --list > list.txt || fail "without its module, --list fails"
echo "ok: without its video module, --video says so and the rest runs"
