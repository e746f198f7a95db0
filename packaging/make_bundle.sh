#!/usr/bin/env bash
# make_bundle.sh OUT_DIR NAME SOURCE_DIR PLUGIN PLUGIN64 HELP_TEXT CALCULATOR SOLVER README
# Writes OUT_DIR/NAME.zip, laid out as it unpacks into VirtualDub's folder, and OUT_DIR/SHA256SUMS.
# The 32-bit host loads plug-ins from plugins/, the 64-bit one from plugins64/; both open the
# help text in plugins/, so it is there once.
# The zip is the same bytes from every build of one commit: fixed file order, permissions and
# dates (SOURCE_DATE_EPOCH, else the commit's date), and no owner or extra time fields.
set -euo pipefail
out=$1 name=$2 source=$3 plugin=$4 plugin64=$5 help=$6 calculator=$7 solver=$8 readme=$9

if [ ! -f "$help" ]; then
  echo "make_bundle: the filter's help text $help is missing; the bundle needs it" >&2
  exit 1
fi
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  if ! SOURCE_DATE_EPOCH=$(git -C "$source" log -1 --format=%ct 2>/dev/null); then
    echo "make_bundle: no git history in $source: set SOURCE_DATE_EPOCH to the release's date" >&2
    exit 1
  fi
fi

# OUT_DIR holds this bundle alone: a zip of an older name would otherwise ship beside it.
stage=$out/stage
rm -rf "$out"
mkdir -p "$stage/plugins" "$stage/plugins64"
plugin_file=plugins/$(basename "$plugin")
plugin64_file=plugins64/$(basename "$plugin64")
cp "$plugin" "$stage/$plugin_file"
cp "$plugin64" "$stage/$plugin64_file"
cp "$calculator" "$stage/mensurio.exe"
cp "$solver" "$stage/mensurio-solve.exe"
# Text for Notepad: CR LF line ends, whatever the source file has.
sed 's/\r*$/\r/' "$help" >"$stage/plugins/KantoraHelp.txt"
sed 's/\r*$/\r/' "$readme" >"$stage/Kantora-Mensurio-readme.txt"

files=("$plugin_file" plugins/KantoraHelp.txt "$plugin64_file" mensurio.exe mensurio-solve.exe
       Kantora-Mensurio-readme.txt)
chmod 644 "${files[@]/#/$stage/}"
touch -d "@$SOURCE_DATE_EPOCH" "${files[@]/#/$stage/}"
# zip stores local times: UTC makes them the same on every machine.
(cd "$stage" && TZ=UTC zip -q -X -D -9 "../$name.zip" "${files[@]}")
rm -rf "$stage"
(cd "$out" && sha256sum "$name.zip" >SHA256SUMS)
echo "make_bundle: $out/$name.zip"
