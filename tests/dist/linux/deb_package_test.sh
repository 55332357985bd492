#!/usr/bin/env bash
# CPack's Debian package, installed into a fresh dpkg root: its name carries the
# version, its dependencies (read off the program) are Debian packages this
# machine has, the program answers --version without a display from there, and
# removing it leaves nothing behind. Needs root (dpkg --root); 77 means skipped.
#   deb_package_test.sh BUILD_DIR
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
    echo "needs root for dpkg --root: skipped"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$1/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" \
    || { cat "$work/cpack.log"; exit 1; }
deb=$(echo "$work"/out/*.deb)
version=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$deb")" = "pellwick_${version}_amd64.deb" ] || { echo "named $deb"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libqt6widgets6 (>= ' <<<"$depends" || { echo "Depends: $depends"; exit 1; }
# apt would install this one package and nothing more: every dependency is met here.
apt-get -s install "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }
grep -q '^0 upgraded, 1 newly installed' "$work/apt.log" || { cat "$work/apt.log"; exit 1; }

root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
: >"$root/var/lib/dpkg/status"
# The fresh root holds no libraries: the program runs on this machine's ones.
dpkg --root="$root" --force-depends -i "$deb" >"$work/dpkg.log" 2>&1 \
    || { cat "$work/dpkg.log"; exit 1; }
printed=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/pellwick" --version)
[ "$printed" = "Pellwick $version" ] || { echo "--version printed '$printed'"; exit 1; }

dpkg --root="$root" --remove pellwick >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; exit 1; }
left=$(find "$root" -mindepth 1 -path "$root/var/lib/dpkg" -prune -o \
    ! -path "$root/var" ! -path "$root/var/lib" -print)
[ -z "$left" ] || { echo "left behind: $left"; exit 1; }
echo "$(basename "$deb"): installs, runs, leaves nothing when removed"
