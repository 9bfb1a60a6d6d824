#!/usr/bin/env bash
# Puts the Debian package of Sorvel together (scripts/package runs it):
#   build-deb.sh SORVEL_EXE VERSION WORK_DIR OUT_DIR
# writes OUT_DIR/sorvel_VERSION_amd64.deb. Every time in it (the files', the
# changelog's, the manual page's) is SOURCE_DATE_EPOCH.
set -euo pipefail
umask 022
here=$(cd "$(dirname "$0")" && pwd)
exe=$1 version=$2 work=$3 out=$4
epoch=${SOURCE_DATE_EPOCH:?SOURCE_DATE_EPOCH must be set}
root=$work/root
rm -rf "$work"
mkdir -p "$root/DEBIAN" "$work/icons"

fill() {  # fill TEMPLATE: the template with the version and a date put in
    sed -e "s/@VERSION@/$version/g" -e "s/@DATE@/$2/g" -e "s/@SIZE@/${3:-}/g" "$1"
}

install -D -m 0644 "$exe" "$root/usr/lib/sorvel/Sorvel.exe"
install -D -m 0644 "$here/../../scripts/wine-prefix.sh" "$root/usr/lib/sorvel/wine-prefix.sh"
install -D -m 0755 "$here/sorvel" "$root/usr/bin/sorvel"
install -D -m 0644 "$here/sorvel.desktop" "$root/usr/share/applications/sorvel.desktop"
install -D -m 0644 "$here/copyright" "$root/usr/share/doc/sorvel/copyright"
fill "$here/changelog.in" "$(LC_ALL=C date -u -R -d "@$epoch")" | gzip -9n >"$work/changelog.gz"
install -D -m 0644 "$work/changelog.gz" "$root/usr/share/doc/sorvel/changelog.gz"
fill "$here/sorvel.1.in" "$(date -u -d "@$epoch" +%F)" | gzip -9n >"$work/sorvel.1.gz"
install -D -m 0644 "$work/sorvel.1.gz" "$root/usr/share/man/man1/sorvel.1.gz"

# The hicolor icons: the very pixels of the program's own icon, in each of its sizes.
wrestool -x -t14 -n128 "$exe" >"$work/sorvel.ico"
for size in $(icotool -l "$work/sorvel.ico" | sed -n 's/.*--width=\([0-9]*\) --height=\1 .*/\1/p'); do
    icotool -x --width="$size" --height="$size" -o "$work/icons/$size.png" "$work/sorvel.ico"
    install -D -m 0644 "$work/icons/$size.png" "$root/usr/share/icons/hicolor/${size}x$size/apps/sorvel.png"
done
[ -f "$root/usr/share/icons/hicolor/32x32/apps/sorvel.png" ] || { echo "no 32x32 icon in $exe"; exit 1; }

(cd "$root" && find usr -type f | LC_ALL=C sort | xargs md5sum) >"$root/DEBIAN/md5sums"
chmod 0644 "$root/DEBIAN/md5sums"
fill "$here/control.in" "" "$(du -s -k "$root/usr" | cut -f1)" >"$root/DEBIAN/control"
find "$root" -exec touch -h -d "@$epoch" {} +
mkdir -p "$out"
dpkg-deb --root-owner-group -Zxz --build "$root" "$out/sorvel_${version}_amd64.deb" >/dev/null
