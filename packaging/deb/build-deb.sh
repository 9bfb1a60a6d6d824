#!/usr/bin/env bash
# Puts the Debian package of Sorvel's Linux edition together (scripts/package runs it):
#   build-deb.sh SORVEL VERSION WORK_DIR OUT_DIR [ARCH SYSROOT]
# writes OUT_DIR/sorvel_VERSION_ARCH.deb from the built program SORVEL, for this
# machine's architecture, or for ARCH (arm64) when SORVEL was cross-built against
# SYSROOT, the folder that scripts/sysroot makes (its root and its dpkg database).
# Its Depends come from dpkg-shlibdeps, against the libraries of ARCH. Every time in it
# (the files', the changelog's, the manual page's) is SOURCE_DATE_EPOCH.
set -euo pipefail
umask 022
here=$(cd "$(dirname "$0")" && pwd)
icons=$here/../../src/linux/icons
program=$1 version=$2 work=$3 out=$4 arch=${5:-$(dpkg --print-architecture)} sysroot=${6:-}
epoch=${SOURCE_DATE_EPOCH:?SOURCE_DATE_EPOCH must be set}
root=$work/root
rm -rf "$work"
mkdir -p "$root/DEBIAN" "$work/debian"

fill() {  # fill TEMPLATE [DATE [SIZE [DEPENDS]]]: the template with the version and the rest put in
    sed -e "s/@VERSION@/$version/g" -e "s/@ARCH@/$arch/g" -e "s/@DATE@/${2:-}/g" -e "s/@SIZE@/${3:-}/g" \
        -e "s/@DEPENDS@/${4:-}/g" "$1"
}

# For another architecture: its strip, and dpkg-shlibdeps told the architecture, the
# sysroot's library folders and the sysroot's own package database.
strip=strip shlibdeps=(dpkg-shlibdeps)
if [ -n "$sysroot" ]; then
    strip=$(dpkg-architecture -a"$arch" -qDEB_HOST_GNU_TYPE 2>/dev/null)-strip
    multiarch=$(dpkg-architecture -a"$arch" -qDEB_HOST_MULTIARCH 2>/dev/null)
    shlibdeps=(env DEB_HOST_ARCH="$arch" dpkg-shlibdeps --admindir="$sysroot/dpkg"
        -l"$sysroot/root/lib/$multiarch" -l"$sysroot/root/usr/lib/$multiarch")
fi

mkdir -p "$root/usr/bin"
"$strip" --strip-unneeded --remove-section=.comment --remove-section=.note -o "$root/usr/bin/sorvel" "$program"
chmod 0755 "$root/usr/bin/sorvel"
install -D -m 0644 "$here/org.sorvel.Sorvel.desktop" "$root/usr/share/applications/org.sorvel.Sorvel.desktop"
# What software centres show, named like the menu entry.
mkdir -p "$root/usr/share/metainfo"
fill "$here/org.sorvel.Sorvel.metainfo.xml.in" "$(date -u -d "@$epoch" +%F)" \
    >"$root/usr/share/metainfo/org.sorvel.Sorvel.metainfo.xml"
chmod 0644 "$root/usr/share/metainfo/org.sorvel.Sorvel.metainfo.xml"
install -D -m 0644 "$here/copyright" "$root/usr/share/doc/sorvel/copyright"
fill "$here/changelog.in" "$(LC_ALL=C date -u -R -d "@$epoch")" | gzip -9n >"$work/changelog.gz"
install -D -m 0644 "$work/changelog.gz" "$root/usr/share/doc/sorvel/changelog.gz"
fill "$here/sorvel.1.in" "$(date -u -d "@$epoch" +%F)" | gzip -9n >"$work/sorvel.1.gz"
install -D -m 0644 "$work/sorvel.1.gz" "$root/usr/share/man/man1/sorvel.1.gz"
for size in 16 32 48 128 256; do
    install -D -m 0644 "$icons/sorvel-$size.png" "$root/usr/share/icons/hicolor/${size}x$size/apps/sorvel.png"
done

# The libraries the program links against, as the packages that ship them.
printf 'Source: sorvel\n\nPackage: sorvel\nArchitecture: %s\n' "$arch" >"$work/debian/control"
depends=$(cd "$work" && "${shlibdeps[@]}" -O -e"$root/usr/bin/sorvel" 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "dpkg-shlibdeps found no dependencies"; exit 1; }

(cd "$root" && find usr -type f | LC_ALL=C sort | xargs md5sum) >"$root/DEBIAN/md5sums"
chmod 0644 "$root/DEBIAN/md5sums"
fill "$here/control.in" "" "$(du -s -k "$root/usr" | cut -f1)" "$depends" >"$root/DEBIAN/control"
find "$root" -exec touch -h -d "@$epoch" {} +
mkdir -p "$out"
dpkg-deb --root-owner-group -Zxz --build "$root" "$out/sorvel_${version}_$arch.deb" >/dev/null
