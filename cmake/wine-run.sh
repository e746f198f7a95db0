#!/usr/bin/env bash
# Runs a 64-bit Windows program under Wine: the emulator of the x86_64 mingw build.
# One prefix is shared by every build; the first caller creates it while the others wait.
set -eu
# shellcheck source=wine-fonts.sh
. "$(dirname "${BASH_SOURCE[0]}")/wine-fonts.sh"
export WINEPREFIX="${KANTORA_WINEPREFIX:-${HOME:-/root}/.cache/kantora/wine64}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
loader="${KANTORA_WINE:-}"
if [ -z "$loader" ]; then
  for candidate in /usr/lib/wine/wine64 "$(command -v wine64 2>/dev/null || true)" "$(command -v wine 2>/dev/null || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ]; then loader="$candidate"; break; fi
  done
fi
[ -n "$loader" ] || { echo "wine-run: no Wine loader found (install Debian's wine64 package)" >&2; exit 127; }
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$loader" wineboot --init >/dev/null 2>&1 || true
    "$(dirname "$loader")/wineserver" -w 2>/dev/null || true
  fi
  wine_link_fonts "$WINEPREFIX"
) 9>"$WINEPREFIX.lock"
exec "$loader" "$@"
