#!/usr/bin/env bash
# reproducible_release.sh SOURCE_DIR BUILD_DIR PRESET
# Builds the release a second time from a copy of the source tree in another folder and
# compares the delivered files and the bundle byte for byte with BUILD_DIR's.
set -euo pipefail
source=$1 build=$2 preset=$3

other=$(mktemp -d)
trap 'rm -rf "$other"' EXIT

cmake --build "$build" --target bundle >/dev/null

# The same commit, with the changes and new files not yet committed, without builds or bundles.
git clone -q --shared "$source" "$other"
git -C "$source" ls-files -z --cached --others --exclude-standard \
  | (cd "$source" && xargs -0 cp --parents -t "$other")
(cd "$other" && cmake --preset "$preset" >/dev/null &&
   cmake --build --preset "$preset" --target bundle -j2 >/dev/null)

status=0
for file in $(cd "$build" && ls filter/*.vdf dist/*.zip) calculator/mensurio.exe \
            calculator/console/mensurio-solve.exe dist/SHA256SUMS; do
  if cmp "$build/$file" "$other/build/$preset/$file"; then
    echo "same: $file"
  else
    status=1
  fi
done
exit $status
