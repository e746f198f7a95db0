#!/usr/bin/env bash
# The plug-in probe of a cross build (run by its emulator, with the plug-in file of that build)
# against the native build's probe and plug-in: registration, script text, summary and every
# frame hash for both pitch signs and both pass orders must be the same bytes.
# usage: probe_matches_native.sh EMULATOR PROBE PLUGIN NATIVE_BUILD_DIR WORKDIR
# Exits 77 (skipped) when no native build is given.
set -euo pipefail
emulator=$1 probe=$2 plugin=$3 native=$4 work=$5
native_probe=$native/filter/virtualdub/tests/probe/plugin_probe native_plugin=$native/filter/Kantora231.so
if [ -z "$native" ] || [ ! -x "$native_probe" ] || [ ! -f "$native_plugin" ]; then
  echo "SKIP: no native build to compare with (configure with -DKANTORA_NATIVE_BUILD_DIR=<linux64 build>)"
  exit 77
fi
rm -rf "$work" && mkdir -p "$work" && cd "$work"
# Wine reads the plug-in and writes the result by names relative to its working folder.
cp "$plugin" "$(basename "$plugin")"
"$native_probe" "$native_plugin" native.txt
$emulator "$probe" "$(basename "$plugin")" cross.txt
if ! cmp native.txt cross.txt; then
  diff native.txt cross.txt | head -20 >&2
  exit 1
fi
echo "ok: $(grep -c '^Config' native.txt) settings, $(grep -c ': [0-9a-f]\{16\}$' native.txt) frame runs alike"
