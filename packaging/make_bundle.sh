#!/usr/bin/env bash
# make_bundle.sh OUT_DIR NAME SOURCE_DIR PLUGIN HELP_TEXT CALCULATOR SOLVER README
# Writes OUT_DIR/NAME.zip, laid out as it unpacks into VirtualDub's folder, and OUT_DIR/SHA256SUMS.
# The zip is the same bytes from every build of one commit: fixed file order, permissions and
# dates (SOURCE_DATE_EPOCH, else the commit's date), and no owner or extra time fields.
set -euo pipefail
out=$1 name=$2 source=$3 plugin=$4 help=$5 calculator=$6 solver=$7 readme=$8

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

stage=$out/stage
rm -rf "$stage" "$out/$name.zip" "$out/SHA256SUMS"
mkdir -p "$stage/plugins"
plugin_file=plugins/$(basename "$plugin")
cp "$plugin" "$stage/$plugin_file"
cp "$calculator" "$stage/mensurio.exe"
cp "$solver" "$stage/mensurio-solve.exe"
# Text for Notepad: CR LF line ends, whatever the source file has.
sed 's/\r*$/\r/' "$help" >"$stage/plugins/KantoraHelp.txt"
sed 's/\r*$/\r/' "$readme" >"$stage/Kantora-Mensurio-readme.txt"

files=("$plugin_file" plugins/KantoraHelp.txt mensurio.exe mensurio-solve.exe
       Kantora-Mensurio-readme.txt)
chmod 644 "${files[@]/#/$stage/}"
touch -d "@$SOURCE_DATE_EPOCH" "${files[@]/#/$stage/}"
# zip stores local times: UTC makes them the same on every machine.
(cd "$stage" && TZ=UTC zip -q -X -D -9 "../$name.zip" "${files[@]}")
rm -rf "$stage"
(cd "$out" && sha256sum "$name.zip" >SHA256SUMS)
echo "make_bundle: $out/$name.zip"
