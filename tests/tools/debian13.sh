#!/usr/bin/env bash
# Debian 13 (trixie: GTK 4.18, Wine 10.0), the current stable release, for the tests:
#   debian13.sh [--install DEB] [--bind DIR] COMMAND...
# makes a Debian 13 root with mmdebstrap, build/debian13/root (kept for the next run),
# installs the package DEB there with apt, binds the folder DIR (this checkout) into it
# at the same path, and runs COMMAND with the root ready. One run at a time has the
# root: another one waits for it.
# The root gets what the tests run there: for the Linux edition sway, grim and wtype,
# Xvfb and openbox, a session bus; for the Windows program Wine with its fonts, the
# Japanese font, xdotool and ImageMagick, python3 and ctest. Needs root: mmdebstrap,
# chroot, and what is bound into the root, which is unmounted at the end, whatever
# happens.
set -uo pipefail
[ "$(id -u)" -eq 0 ] || exec sudo "$0" "$@"
cd "$(dirname "$0")/../.."
. scripts/lib.sh
deb= bind=
while [ $# -gt 0 ]; do
    case $1 in
    --install) deb=$(realpath "$2") && shift 2 || exit 1 ;;
    --bind) bind=$(realpath "$2") && shift 2 || exit 1 ;;
    *) break ;;
    esac
done
dir=$PWD/build/debian13
root=$dir/root
packages=sway,grim,wtype,dbus-daemon,xvfb,openbox,wine,wine64,fonts-wine,fonts-ipafont-gothic,xdotool,imagemagick,x11-utils,python3,cmake

# What one run mounts there, the next one would unmount: one at a time. (COMMAND
# does not get the lock: what it leaves running must not keep it.)
mkdir -p build && exec 9>"$PWD/build/debian13.lock" && flock 9 || exit 1

mounted() { awk -v root="$root/" 'index($2 "/", root) == 1 { print $2 }' /proc/mounts | sort -r; }
# Unmounts whatever is mounted in the root, innermost first.
unmount_all() {
    local mount
    for mount in $(mounted); do
        umount "$mount" 2>/dev/null || umount --lazy "$mount"
    done
}
trap unmount_all EXIT
trap 'exit 130' INT TERM

ensure_packages mmdebstrap || exit 1
unmount_all
if [ "$(cat "$dir/packages" 2>/dev/null)" != "$packages" ]; then
    # Never delete a root with anything still bound into it: that would be the checkout.
    [ -z "$(mounted)" ] || { echo "still mounted in $root: $(mounted | xargs)"; exit 1; }
    archive=$(apt_archive) || { echo "apt's sources name no Debian archive"; exit 1; }
    echo "== making a Debian 13 root (mmdebstrap)"
    rm -rf --one-file-system "$dir" && mkdir -p "$dir" &&
        mmdebstrap --quiet --variant=apt --include="$packages" trixie "$root" "$archive" || exit 1
    echo "$packages" >"$dir/packages"
fi

mount --bind /dev "$root/dev" && mount -t proc proc "$root/proc" || exit 1
if [ -n "$bind" ]; then
    mkdir -p "$root$bind" && mount --bind "$bind" "$root$bind" || exit 1
fi
if [ -n "$deb" ]; then
    cp "$deb" "$root/tmp/sorvel.deb" &&
        chroot "$root" apt-get update -qq &&
        chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o Dpkg::Use-Pty=0 --no-install-recommends --reinstall \
            /tmp/sorvel.deb >/dev/null || { echo "the package does not install on Debian 13"; exit 1; }
fi
"$@" 9>&-
