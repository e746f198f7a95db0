#!/usr/bin/env bash
# Installs from Debian's packages whatever the builds and tests need and is missing,
# and says what it installs. Safe to run again: it installs nothing when all is there.
#
# A package index that a mirror serves out of sync does not stop it: `apt-get update` is tried
# a few times, and if an index still fails the install goes on with the indexes apt has. Only a
# failed install stops it, with the indexes that failed named.
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
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev   # the GStreamer element
  gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good  # gst-launch-1.0, and files in its tests
  frei0r-plugins-dev melt                        # the frei0r plug-in's interface, and MLT to run it in
  dpkg-dev lintian                               # the Debian package: its dependencies and its check
)

native_arch=$(dpkg --print-architecture)

# Whether package `p` ("name" or "name:arch") is installed for its own architecture: the named
# one, else this machine's or "all". (libpng-dev:i386 alone does not make libpng-dev installed.)
installed() {
  local name=${1%%:*} arch=${1#*:} a status
  [ "$arch" != "$1" ] || arch=""
  while read -r a status; do
    [ "$status" = "install ok installed" ] || continue
    if [ -n "$arch" ]; then
      [ "$a" = "$arch" ] && return 0
    elif [ "$a" = "$native_arch" ] || [ "$a" = all ]; then
      return 0
    fi
  done < <(dpkg-query -W -f='${Architecture} ${Status}\n' "$name" 2>/dev/null)
  return 1
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
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

# apt-get update exits 100 when any one index fails, even if every other one was fetched.
update_log=$(mktemp)
trap 'rm -f "$update_log"' EXIT
updated=false
for attempt in 1 2 3; do
  if $sudo apt-get update -q 2>&1 | tee "$update_log"; [ "${PIPESTATUS[0]}" -eq 0 ]; then
    updated=true
    break
  fi
  echo "install-deps: apt-get update failed (attempt $attempt of 3)"
  [ "$attempt" -eq 3 ] || sleep $((attempt * 5))
done
failed_indexes=""
if ! $updated; then
  failed_indexes=$(grep -E '^(E: Failed to fetch|Err:)' "$update_log" | sort -u || true)
  echo "install-deps: going on with the package indexes apt has; these failed:"
  echo "${failed_indexes:-  (apt named none)}" | sed 's/^/  /'
fi

if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends \
    "${missing[@]}"; then
  echo "install-deps: the install failed." >&2
  if [ -n "$failed_indexes" ]; then
    echo "install-deps: apt could not fetch these package indexes, which may hold what is missing:" >&2
    echo "$failed_indexes" | sed 's/^/  /' >&2
    echo "install-deps: a mirror that is being synced serves such indexes for a while; run" \
         "scripts/install-deps.sh again later, or point /etc/apt/sources.list(.d) at another mirror." >&2
  fi
  exit 1
fi
