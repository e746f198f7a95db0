#!/usr/bin/env bash
# Configures and builds the given presets (default: the four builds) under build/<preset>.
set -euo pipefail
cd "$(dirname "$0")/.."

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(linux64 linux32 win32 win64)

for preset in "${presets[@]}"; do
  echo "== build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
