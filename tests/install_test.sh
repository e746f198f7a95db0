#!/usr/bin/env bash
# install_test.sh CMAKE BUILD_DIR SOURCE_DIR VERSION
# Installs the build into a fresh prefix and runs the installed programs from there: the host
# finds and loads the installed plug-in, and the installed solver answers as the built one does.
set -euo pipefail
cmake=$1 build=$2 source=$3 version=$4
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

status=0
expected=(bin/filterhost bin/mensurio-solve lib/kantora/Kantora231.so share/doc/kantora/README.md
          share/doc/kantora/KantoraHelp.txt)
# The frei0r plug-in and Kdenlive's description of it, where the build has them.
if [ -f "$build/filter/frei0r/kantora.so" ]; then
  expected+=(lib/frei0r-1/kantora.so share/kdenlive/effects/kantora.xml)
fi
for file in "${expected[@]}"; do
  [ -f "$prefix/$file" ] || { echo "not installed: $file"; status=1; }
done

# The installed host finds the installed plug-in by itself, from any working folder.
listing=$(cd / && "$prefix/bin/filterhost" --list)
grep -qF "Kantora - $version" <<<"$listing" || { echo "installed host lists: $listing"; status=1; }
# ... and its video module, where the build has one: --video gets as far as the input.
if [ -f "$build/filterhost/filterhost-video.so" ]; then
  [ -f "$prefix/lib/kantora/filterhost-video.so" ] || { echo "not installed: the video module"; status=1; }
  said=$(cd / && "$prefix/bin/filterhost" --video /nonexistent.mkv /tmp/x.mkv 2>&1) || true
  grep -qF "cannot open video /nonexistent.mkv" <<<"$said" || { echo "installed --video: $said"; status=1; }
fi

# ... and the GStreamer element, where the build has one: in a gstreamer-1.0 folder under the
# library folder, where GStreamer finds it through GST_PLUGIN_PATH.
if [ -f "$build/gstreamer-1.0/libgstkantora.so" ]; then
  element=$(cd "$prefix" && find . -path '*/gstreamer-1.0/libgstkantora.so')
  if [ -z "$element" ]; then
    echo "not installed: gstreamer-1.0/libgstkantora.so"
    status=1
  elif ! GST_PLUGIN_PATH=$prefix/$(dirname "$element") GST_REGISTRY_1_0=$prefix/registry.bin \
         GST_REGISTRY_FORK=no ${KANTORA_GST_WRAPPER:-} gst-inspect-1.0 kantora >/dev/null; then
    echo "GStreamer does not find the installed element kantora"
    status=1
  fi
fi

numbers=(704 576 640 480 16 16 0 6 0 0)
if [ "$("$prefix/bin/mensurio-solve" "${numbers[@]}")" != \
     "$("$build/calculator/console/mensurio-solve" "${numbers[@]}")" ]; then
  echo "the installed mensurio-solve answers otherwise than the built one"
  status=1
fi
exit $status
