#!/usr/bin/env bash
# Installs from Debian's packages whatever the builds and tests need and is missing,
# and says what it installs. Safe to run again: it installs nothing when all is there.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config          # native build
  googletest                                     # GoogleTest sources, compiled per build
  gcc-multilib g++-multilib qemu-user            # 32-bit Linux build, run by qemu-i386
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix   # Windows builds (32-bit release, 64-bit for Wine)
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 xvfb xauth x11-utils imagemagick        # Windows programs and windows under Wine/Xvfb
  libstb-dev                                     # PNG reading and writing in the stand-in host
  ffmpeg                                         # the video pipeline example
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all needed Debian packages are installed"
  exit 0
fi

echo "install-deps: installing from Debian's packages: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
