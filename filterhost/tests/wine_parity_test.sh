#!/usr/bin/env bash
# The Windows host and plug-in, run by Wine (64-bit, or the 32-bit release under qemu-i386),
# against the native Linux build of the same sources: the same settings must give the same
# script text, summary and frames, byte for byte.
# Two Wine starts: one writes the script and summary, one reads that script back and runs frames
# through standard input and output, in rows padded beyond the picture; then the frames to a
# named file, and the input as output.
# Then, when a module without the filter entry is given, the loader's refusals on Windows: a
# missing file, a file that is no module, that module (three more starts); and the refusal
# of PNG pictures, which this build cannot read.
# usage: wine_parity_test.sh WINE_RUN FILTERHOST_EXE PLUGIN_VDF NATIVE_BUILD_DIR WORKDIR [NO_ENTRY_DLL]
# Exits 77 (skipped) when no native build is given.
set -euo pipefail
wine_run=$1 host_exe=$2 plugin_vdf=$3 native=$4 work=$5 no_entry_dll=${6:-}
native_host=$native/filterhost/filterhost native_plugin=$native/filter/Kantora231.so
if [ -z "$native" ] || [ ! -x "$native_host" ] || [ ! -f "$native_plugin" ]; then
  echo "SKIP: no native build to compare with (configure with -DKANTORA_NATIVE_BUILD_DIR=<linux64 build>)"
  exit 77
fi
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$work" && mkdir -p "$work" && cd "$work"
cp "$plugin_vdf" Kantora231.vdf

w=61 h=47 frames=3
values=()
for _ in $(seq 16); do values+=($((RANDOM % 24))); done
values[3]=-3  # a value only a script can bring
call="Config($(IFS=,; echo "${values[*]}"))"
printf '# random settings\n\nVirtualDub.video.filters.instance[0].%s;\n' "$call" > settings.script
head -c $((w * h * 4 * frames)) /dev/urandom > in.raw
echo "settings: $call"

"$native_host" --plugin "$native_plugin" --script settings.script --save-script --describe > native.txt
"$wine_run" "$host_exe" --plugin Kantora231.vdf --script settings.script --save-script --describe > windows.txt
cmp native.txt windows.txt || fail "script text and summary differ: $(cat native.txt) / $(cat windows.txt)"

# Each build reads back what it wrote.
head -n 1 native.txt > native.script
head -n 1 windows.txt > windows.script
"$native_host" --plugin "$native_plugin" --script native.script --size ${w}x${h} < in.raw > native.raw
"$wine_run" "$host_exe" --plugin Kantora231.vdf --script windows.script --size ${w}x${h} \
  --pitch-padding 12 < in.raw > windows.raw
[ "$(stat -c %s windows.raw)" -eq $((w * h * 4 * frames)) ] || fail "Windows output has $(stat -c %s windows.raw) bytes"
cmp native.raw windows.raw || fail "frames differ between the native and the Windows build"
cmp -s in.raw native.raw && fail "the settings changed nothing, so the comparison proves little"
echo "ok: $(tr '\n' ' ' < native.txt)and $frames frames of ${w}x${h} agree"

# A named output replaces an older file only when complete; the input as output is refused.
echo "older frames" > windows-file.raw
"$wine_run" "$host_exe" --plugin Kantora231.vdf --script windows.script --size ${w}x${h} in.raw windows-file.raw
cmp native.raw windows-file.raw || fail "the named output differs from the frames on standard output"
ls | grep -q partial && fail "a temporary file was left behind: $(ls)"
cp in.raw in-before.raw
status=0
"$wine_run" "$host_exe" --plugin Kantora231.vdf --size ${w}x${h} in.raw in.raw 2> refused.err || status=$?
[ "$status" -eq 1 ] && cmp -s in.raw in-before.raw && [ "$(wc -l < refused.err)" -eq 1 ] \
  && grep -qF "filterhost: the output in.raw is the input in.raw (the same file)" refused.err \
  || fail "output = input: exit $status, $(cat refused.err)"
echo "ok: a named output, and the input refused as output"

[ -n "$no_entry_dll" ] || exit 0

refused() {  # refused EXPECTED_MESSAGE_PART PLUGIN
  local status=0
  "$wine_run" "$host_exe" --plugin "$2" --list > refused.out 2> refused.err || status=$?
  [ "$status" -eq 1 ] && [ ! -s refused.out ] && [ "$(wc -l < refused.err)" -eq 1 ] \
    && grep -qF "filterhost: $1" refused.err || fail "--plugin $2: exit $status, $(cat refused.err)"
}
echo "not a module" > text.vdf
cp "$no_entry_dll" no_entry.dll
refused "cannot open plug-in missing.vdf: No such file or directory" missing.vdf
refused "text.vdf is not a loadable plug-in module: " text.vdf
refused "no_entry.dll is not a filter plug-in: it does not export VirtualdubFilterModuleInit2" no_entry.dll
echo "ok: the loader's refusals"

# No PNG reader in the Windows build: pictures are refused in one line, and nothing is written.
status=0
"$wine_run" "$host_exe" --plugin Kantora231.vdf --image in.png out.png > refused.out 2> refused.err || status=$?
[ "$status" -eq 1 ] && [ ! -e out.png ] && [ "$(wc -l < refused.err)" -eq 1 ] \
  && grep -qF "filterhost: cannot read image in.png: this Windows build of filterhost reads and writes no PNG files" refused.err \
  || fail "--image: exit $status, $(cat refused.err)"
echo "ok: --image refused"
