#!/usr/bin/env bash
# deb_test.sh SOURCE_DIR BUILD_DIR PRESET DEB VERSION
# The Debian package: made by the build's `deb` target, lintian finds no error in it, its files
# are where each host looks, with their modes; its dependencies name the runtime packages of
# FFmpeg, GStreamer and libpng. Unpacked into an empty folder, every part works from there as
# installed: filterhost lists the plug-in and repairs a video through its module, ffmpeg runs
# the frei0r plug-in, GStreamer finds the element. Nothing is installed into the machine. Last,
# a second build in another folder (a copy of the checkout, only what the package needs) gives
# the same bytes.
set -euo pipefail
source=$1 build=$2 preset=$3 deb=$4 version=$5
export LC_ALL=C
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }

cmake --build "$build" --target deb >/dev/null

lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || fail "lintian finds errors"
grep -v 'running with root privileges' "$work/lintian.log" || true

multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
expected="-rwxr-xr-x ./usr/bin/filterhost
-rwxr-xr-x ./usr/bin/mensurio-solve
-rw-r--r-- ./usr/lib/frei0r-1/kantora.so
-rw-r--r-- ./usr/lib/kantora/Kantora231.so
-rw-r--r-- ./usr/lib/kantora/filterhost-video.so
-rw-r--r-- ./usr/lib/$multiarch/gstreamer-1.0/libgstkantora.so
-rw-r--r-- ./usr/share/doc/kantora-tools/KantoraHelp.txt
-rw-r--r-- ./usr/share/doc/kantora-tools/README.md
-rw-r--r-- ./usr/share/doc/kantora-tools/changelog.gz
-rw-r--r-- ./usr/share/doc/kantora-tools/copyright
-rw-r--r-- ./usr/share/kdenlive/effects/kantora.xml
-rw-r--r-- ./usr/share/man/man1/filterhost.1.gz
-rw-r--r-- ./usr/share/man/man1/mensurio-solve.1.gz"
listing=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $6 }' | sort -k2)
[ "$listing" = "$expected" ] || fail "the package holds:"$'\n'"$listing"
depends=$(dpkg-deb -f "$deb" Depends)
for runtime in 'libavformat[0-9]+ ' 'libswscale[0-9]+ ' 'libgstreamer1\.0-0 ' \
               'libgstreamer-plugins-base1\.0-0 ' 'libpng16-16 '; do
  grep -qE "(^|, )$runtime" <<<"$depends" || fail "Depends has no ${runtime% }: $depends"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
cd "$work"
listed=$("$root/usr/bin/filterhost" --list) || true
grep -qF "Kantora - $version" <<<"$listed" || fail "the unpacked filterhost lists: $listed"
ffmpeg -v error -f lavfi -i testsrc=size=96x64:rate=5 -frames:v 3 -c:v ffv1 clip.mkv
"$root/usr/bin/filterhost" --config 'Config(2, 1, 4, 0, 2, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0)' \
  --video clip.mkv repaired.mkv --codec ffv1 --quiet || fail "the unpacked filterhost --video"
FREI0R_PATH=$root/usr/lib/frei0r-1 ffmpeg -v error -i clip.mkv \
  -vf 'frei0r=filter_name=kantora:filter_params=Config(2 1 4 0 2 1 4 0 0 0 0 0 0 0 0 0)' -f null - ||
  fail "ffmpeg with FREI0R_PATH=usr/lib/frei0r-1 does not run frei0r=kantora"
GST_PLUGIN_PATH=$root/usr/lib/$multiarch/gstreamer-1.0 GST_REGISTRY_1_0=$work/registry.bin \
  gst-inspect-1.0 kantora >/dev/null || fail "gst-inspect-1.0 does not find the unpacked element"

# The second build: niced, two jobs, only the package's targets.
other=$work/other
bash "$source/tests/copy_checkout.sh" "$source" "$other"
(cd "$other" && cmake --preset "$preset" >/dev/null &&
   nice cmake --build --preset "$preset" --target deb -j2 >/dev/null)
cmp "$deb" "$other/build/$preset/dist/$(basename "$deb")" ||
  fail "a second build in another folder gives another package"
exit $status
