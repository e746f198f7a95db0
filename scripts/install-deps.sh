#!/usr/bin/env bash
# Installs from Debian's packages whatever the builds and tests need and is missing,
# and says what it installs. Safe to run again: it installs nothing when all is there.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config          # native build
  googletest libgtest-dev libbenchmark-dev       # GoogleTest: prebuilt (native) and sources (cross), Google Benchmark
  gcc-multilib g++-multilib qemu-user            # 32-bit Linux build, run by qemu-i386
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix   # Windows builds (32-bit release, 64-bit for Wine)
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 wine32:i386 fonts-wine                  # Windows programs: 64-bit, and the 32-bit release under qemu-i386
  xvfb xauth x11-utils imagemagick               # windows on a virtual display, screenshots
  libpng-dev zlib1g-dev libpng-dev:i386 zlib1g-dev:i386   # PNG files in the stand-in host (64- and 32-bit)
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev ffmpeg   # whole video files
  clang libclang-rt-14-dev                       # libFuzzer with the sanitizers
  valgrind zip unzip python3                     # memory checks; the release bundle and its checks
  time                                           # peak memory in the stream benchmark
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
# 32-bit Wine comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
