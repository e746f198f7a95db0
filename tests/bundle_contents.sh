#!/usr/bin/env bash
# bundle_contents.sh BUILD_DIR ZIP PLUGIN PLUGIN64 PYTHON
# The bundle, unpacked, holds exactly the release files, laid out as they go into VirtualDub's
# folder, the programs as built (the 64-bit plug-in as the 64-bit build's Wine tests run it),
# both plug-ins with the same resources, and the texts with Windows line ends.
set -euo pipefail
build=$1 zip=$2 plugin=$3 plugin64=$4 python=$5
plugin_file=plugins/$(basename "$plugin")
plugin64_file=plugins64/$(basename "$plugin64")
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT

unzip -q "$zip" -d "$unpacked"

status=0
listing=$(cd "$unpacked" && find . -type f | sort)
expected=$(printf './%s\n' Kantora-Mensurio-readme.txt mensurio-solve.exe mensurio.exe \
                            "$plugin_file" plugins/KantoraHelp.txt "$plugin64_file" | sort)
if [ "$listing" != "$expected" ]; then
  echo "the bundle holds:"; echo "$listing"; status=1
fi
cmp "$unpacked/$plugin_file" "$plugin" || status=1
cmp "$unpacked/$plugin64_file" "$plugin64" || status=1
for pair in mensurio.exe:calculator/mensurio.exe mensurio-solve.exe:calculator/console/mensurio-solve.exe; do
  cmp "$unpacked/${pair%%:*}" "$build/${pair#*:}" || status=1
done
"$python" "$(dirname "$0")/pe_resources.py" "$unpacked/$plugin64_file" \
  --declared "$unpacked/$plugin_file" || status=1
for text in Kantora-Mensurio-readme.txt plugins/KantoraHelp.txt; do
  if grep -q $'[^\r]$\|^$' "$unpacked/$text"; then
    echo "$text has lines that do not end in CR LF"; status=1
  fi
done
exit $status
