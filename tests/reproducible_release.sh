#!/usr/bin/env bash
# reproducible_release.sh SOURCE_DIR BUILD_DIR PRESET PLUGIN64_BUILD_DIR PLUGIN64_PRESET
# Builds the release a second time from a copy of the source tree in another folder and
# compares the delivered files and the bundle byte for byte with BUILD_DIR's (the bundle made
# there already) and PLUGIN64_BUILD_DIR's. Of the 64-bit build only the plug-in is built again,
# by the bundle itself.
set -euo pipefail
source=$1 build=$2 preset=$3 build64=$4 preset64=$5

other=$(mktemp -d)
trap 'rm -rf "$other"' EXIT

bash "$(dirname "$0")/copy_checkout.sh" "$source" "$other"
(cd "$other" && cmake --preset "$preset64" >/dev/null && cmake --preset "$preset" >/dev/null &&
   cmake --build --preset "$preset" --target bundle -j2 >/dev/null)

status=0
compare() {  # compare OUR_BUILD_DIR OTHER_BUILD_DIR FILE
  if cmp "$1/$3" "$2/$3"; then echo "same: $3"; else status=1; fi
}
for file in $(cd "$build" && ls filter/*.vdf dist/*.zip) calculator/mensurio.exe \
            calculator/console/mensurio-solve.exe dist/SHA256SUMS; do
  compare "$build" "$other/build/$preset" "$file"
done
for file in $(cd "$build64" && ls filter/*.vdf); do
  compare "$build64" "$other/build/$preset64" "$file"
done
exit $status
