#!/usr/bin/env bash
# make_deb.sh OUT_DIR BUILD_DIR SOURCE_DIR VERSION CMAKE
# Writes OUT_DIR/kantora-tools_VERSION_ARCH.deb from the native build's `cmake --install`,
# laid out as Debian's packages of each host lay out theirs: the GStreamer element in the
# multiarch gstreamer-1.0 folder, the frei0r plug-in in lib/frei0r-1 (where ffmpeg and MLT look),
# the host's plug-in and video module in lib/kantora (where filterhost looks from bin/).
# Its dependencies are read from the binaries by dpkg-shlibdeps; the control file is written
# by dpkg-gencontrol from packaging/deb/ (version from its changelog, which must be VERSION).
# The package is the same bytes from every build of one commit: stripped binaries, fixed
# permissions and owners, every date SOURCE_DATE_EPOCH (else the commit's date), sorted files.
set -euo pipefail
out=$1 build=$2 source=$3 version=$4 cmake=$5
package=kantora-tools
here=$(cd "$(dirname "$0")" && pwd)
export LC_ALL=C TZ=UTC
umask 022

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  if ! SOURCE_DATE_EPOCH=$(git -C "$source" log -1 --format=%ct 2>/dev/null); then
    echo "make_deb: no git history in $source: set SOURCE_DATE_EPOCH to the release's date" >&2
    exit 1
  fi
fi
export SOURCE_DATE_EPOCH
changelog_version=$(dpkg-parsechangelog -l "$here/deb/changelog" -S Version)
if [ "$changelog_version" != "$version" ]; then
  echo "make_deb: packaging/deb/changelog is at $changelog_version, the project at $version:" \
       "add an entry for $version" >&2
  exit 1
fi

# The tools want the layout of a source package: debian/control, debian/changelog and the
# package's tree in debian/PACKAGE.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/debian/$package
mkdir -p "$work/debian"
cp "$here/deb/control" "$here/deb/changelog" "$work/debian/"
DESTDIR=$root "$cmake" --install "$build" --prefix /usr >/dev/null
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
if [ -d "$root/usr/lib/gstreamer-1.0" ]; then
  mkdir -p "$root/usr/lib/$multiarch"
  mv "$root/usr/lib/gstreamer-1.0" "$root/usr/lib/$multiarch/"
fi

# Stripped as dh_strip strips: no symbols beyond what linking needs, no compiler notes.
mapfile -t binaries < <(cd "$work" && find "debian/$package/usr" -type f \
                          \( -path '*/usr/bin/*' -o -name '*.so' \) | sort)
for file in "${binaries[@]}"; do
  if [[ $file == *.so ]]; then
    strip --remove-section=.comment --remove-section=.note --strip-unneeded "$work/$file"
  else
    strip --remove-section=.comment --remove-section=.note "$work/$file"
  fi
done

docs=$root/usr/share/doc/$package
mv "$root/usr/share/doc/kantora" "$docs"
cp "$here/deb/copyright" "$docs/"
gzip -9n <"$here/deb/changelog" >"$docs/changelog.gz"

# Manual pages from the programs' own --help, run from the package's tree.
man=$root/usr/share/man/man1
mkdir -p "$man"
date=$(date -u -d "@$SOURCE_DATE_EPOCH" +%Y-%m-%d)
write_man() {  # write_man PROGRAM SUMMARY
  "$root/usr/bin/$1" --help \
    | awk -v name="$1" -v summary="$2" -v footer="$package $version" -v date="$date" \
          -v docs="/usr/share/doc/$package" -f "$here/help_to_man.awk" \
    | gzip -9n >"$man/$1.1.gz"
}
write_man filterhost "run a VirtualDub filter plug-in on pictures, raw frames and video files"
write_man mensurio-solve "sizes to clip or pad and resize a video to, from one pixel aspect to another"

# Programs 0755, shared objects 0644 (Debian's rule: they are not run), the rest 0644.
find "$root" -type d -exec chmod 0755 {} +
find "$root" -type f -exec chmod 0644 {} +
chmod 0755 "$root"/usr/bin/*

# dpkg-shlibdeps knows the package's tree by its DEBIAN folder.
mkdir -m 0755 "$root/DEBIAN"
(cd "$work" && dpkg-shlibdeps -Tdebian/substvars "${binaries[@]}")
(cd "$work" && dpkg-gencontrol -p"$package" -P"debian/$package" -Tdebian/substvars -fdebian/files)
(cd "$root" && find usr -type f | sort | xargs md5sum >DEBIAN/md5sums)
chmod 0644 "$root/DEBIAN/md5sums"
find "$root" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

mkdir -p "$out"
deb=$out/${package}_${version}_$(dpkg-architecture -qDEB_HOST_ARCH).deb
rm -f "$out/${package}"_*.deb
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "make_deb: $deb"
