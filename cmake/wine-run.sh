#!/usr/bin/env bash
# Runs a 64-bit Windows program under Wine: the emulator of the x86_64 mingw build.
# One prefix is shared by every build; the first caller creates it while the others wait.
set -eu
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
  # Wine's own fonts (MS Sans Serif, Tahoma, Marlett for the caption buttons...) come with
  # Debian's fonts-wine in /usr/share/wine/fonts, where this Wine does not look for them;
  # it does look in the prefix's Fonts folder.
  fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -d /usr/share/wine/fonts ] && [ ! -e "$fonts/marlett.ttf" ]; then
    mkdir -p "$fonts"
    for font in /usr/share/wine/fonts/*; do
      [ -e "$fonts/${font##*/}" ] || ln -s "$font" "$fonts/"
    done
  fi
) 9>"$WINEPREFIX.lock"
exec "$loader" "$@"
