#!/usr/bin/env bash
# copy_checkout.sh SOURCE_DIR COPY_DIR
# Puts the checkout of SOURCE_DIR into COPY_DIR (a new or empty folder) as a second tree to
# build a release in: the same commit, with the changes and new files not yet committed,
# without builds or other ignored files.
set -euo pipefail
source=$1 copy=$2
git clone -q --shared "$source" "$copy"
git -C "$source" ls-files -z --cached --others --exclude-standard \
  | (cd "$source" && xargs -0 cp --parents -t "$copy")
