#!/usr/bin/env bash
# The Linux edition on Debian 13 (trixie, GTK 4.18), the current stable release:
#   debian13.sh DEB COMMAND...
# makes a Debian 13 root with mmdebstrap, build/debian13/root (kept for the next run),
# installs the package DEB there with apt, and runs COMMAND with the root ready.
# The root gets what the screen tests run there: sway, grim and wtype, Xvfb and
# openbox, a session bus. Needs root: mmdebstrap, chroot, and /proc and /dev bound
# into the root, which are unmounted at the end, whatever happens.
set -uo pipefail
[ "$(id -u)" -eq 0 ] || exec sudo "$0" "$@"
cd "$(dirname "$0")/../.."
. scripts/lib.sh
deb=$(realpath "$1")
shift
dir=$PWD/build/debian13
root=$dir/root
packages=sway,grim,wtype,dbus-daemon,xvfb,openbox

# Unmounts whatever is mounted in the root, innermost first.
unmount_all() {
    local mount
    for mount in $(awk -v root="$root/" 'index($2 "/", root) == 1 { print $2 }' /proc/mounts | sort -r); do
        umount "$mount" 2>/dev/null || umount --lazy "$mount"
    done
}
trap unmount_all EXIT
trap 'exit 130' INT TERM

ensure_packages mmdebstrap || exit 1
unmount_all
if [ "$(cat "$dir/packages" 2>/dev/null)" != "$packages" ]; then
    archive=$(apt_archive) || { echo "apt's sources name no Debian archive"; exit 1; }
    echo "== making a Debian 13 root (mmdebstrap)"
    rm -rf --one-file-system "$dir" && mkdir -p "$dir" &&
        mmdebstrap --quiet --variant=apt --include="$packages" trixie "$root" "$archive" || exit 1
    echo "$packages" >"$dir/packages"
fi

mount --bind /dev "$root/dev" && mount -t proc proc "$root/proc" || exit 1
cp "$deb" "$root/tmp/sorvel.deb" &&
    chroot "$root" apt-get update -qq &&
    chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o Dpkg::Use-Pty=0 --no-install-recommends --reinstall \
        /tmp/sorvel.deb >/dev/null || { echo "the package does not install on Debian 13"; exit 1; }
"$@"
