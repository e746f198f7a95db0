#!/usr/bin/env bash
# Runs a 32-bit Windows program (the i686 release build) on a 64-bit Linux machine: Debian's
# 32-bit Wine loader, served by the 64-bit wineserver, in a 64-bit prefix whose syswow64 folder
# holds the 32-bit Windows DLLs. The emulator of the win32 build.
#   wine32-run.sh PROGRAM.exe [ARGS...]
# Where the kernel runs 32-bit programs, the loader runs natively (a few seconds a start).
# Where it refuses them, the loader runs under qemu-i386 user-mode emulation: each start then
# costs about a minute (Wine's start-up is emulated), and a 32-bit program cannot start another
# one, so whatever a test does must fit in one process.
# One prefix serves every build and every parallel test: the first caller makes it (under a
# lock, with a stamp written last, so that an interrupted set-up is made again) while the
# others wait.
set -eu
# shellcheck source=wine-fonts.sh
. "$(dirname "${BASH_SOURCE[0]}")/wine-fonts.sh"
export WINEPREFIX="${KANTORA_WINE32PREFIX:-${HOME:-/root}/.cache/kantora/wine32}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# The 64-bit server serves 32-bit clients.
export WINESERVER=/usr/lib/wine/wineserver64

wine32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64
dlls32=/usr/lib/i386-linux-gnu/wine/i386-windows
for needed in "$wine32" "$wine64" "$WINESERVER" "$dlls32"; do
  [ -e "$needed" ] || { echo "wine32-run: $needed is missing (scripts/install-deps.sh installs wine32:i386, wine64)" >&2; exit 127; }
done
[ $# -ge 1 ] || { echo "usage: wine32-run.sh PROGRAM.exe [ARGS...]" >&2; exit 2; }

stamp="$WINEPREFIX/.kantora-wine32-ready"
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$stamp" ]; then
    echo "wine32-run: making the Wine prefix $WINEPREFIX (once)" >&2
    rm -rf "$WINEPREFIX"
    "$wine64" wineboot --init >/dev/null 2>&1 || true
    "$WINESERVER" -w 2>/dev/null || true
    syswow64="$WINEPREFIX/drive_c/windows/syswow64"
    [ -d "$WINEPREFIX/drive_c/windows/system32" ] || { echo "wine32-run: wineboot made no prefix in $WINEPREFIX" >&2; exit 1; }
    # The 64-bit set-up leaves syswow64 without the 32-bit DLLs ("could not load kernel32.dll").
    # Real copies: Wine may rewrite these files when it updates the prefix.
    mkdir -p "$syswow64"
    cp -rf "$dlls32/." "$syswow64/"
    touch "$stamp"
  fi
  # Also in a prefix made before the fonts were.
  wine_link_fonts "$WINEPREFIX"
) 9>"$WINEPREFIX.lock"

# Does the kernel run 32-bit programs? The loader answers its version without a prefix.
# KANTORA_WINE32_EMULATE=1 takes the emulated way all the same.
if [ "${KANTORA_WINE32_EMULATE:-0}" != 1 ] && "$wine32" --version >/dev/null 2>&1; then
  exec "$wine32" "$@"
fi

command -v qemu-i386 >/dev/null || { echo "wine32-run: qemu-i386 is missing (install qemu-user)" >&2; exit 127; }
# The launcher must not exec its 32-bit preloader helper: the kernel would refuse it.
export WINELOADERNOEXEC=1
# -R 0xc0000000: a 3 GiB guest address space, so that qemu's own stack leaves free the page
# Wine maps its shared user data at (0x7ffe0000).
exec qemu-i386 -R 0xc0000000 -L / "$wine32" "$@"
