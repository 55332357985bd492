#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# CPack's Debian package: named for its version, lintian clean, hardened, its
# dependencies met here; installed into a fresh dpkg root it runs and leaves nothing
# when removed. Needs root; 77: skipped.
#   deb_package_test.sh BUILD_DIR
set -euo pipefail
[ "$(id -u)" -eq 0 ] || { echo "needs root for dpkg --root: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Runs a command with its output in $work/NAME.log, shown if it fails.
logged() { "${@:2}" >"$work/$1.log" 2>&1 || { cat "$work/$1.log"; exit 1; }; }

logged cpack cpack -G DEB --config "$1/CPackConfig.cmake" -B "$work/out"
deb=$(echo "$work"/out/*.deb)
version=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$deb")" = "pellwick_${version}_amd64.deb" ] || { echo "named $deb"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libqt6widgets6 (>= ' <<<"$depends" || { echo "Depends: $depends"; exit 1; }
# apt would install this one package and nothing more: every dependency is met here.
logged apt apt-get -s install "$deb"
grep -q '^0 upgraded, 1 newly installed' "$work/apt.log" || { cat "$work/apt.log"; exit 1; }

# Debian's own checks: not one error or warning.
{ lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 \
    && ! grep -q '^[EW]: ' "$work/lintian.log"; } || { cat "$work/lintian.log"; exit 1; }

root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
: >"$root/var/lib/dpkg/status"
# The fresh root holds no libraries: the program runs on this machine's ones.
logged dpkg dpkg --root="$root" --force-depends -i "$deb"

printed=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/pellwick" --version | head -n 1)
[ "$printed" = "Pellwick ${version%-*}" ] || { echo "--version printed '$printed'"; exit 1; }
# Every protection Debian 12's own packages have: hardening-check fails on any missing
# and must find each. (Control-flow protection is not one of them: Debian 12's C
# runtime lacks its marks.)
logged hardening hardening-check --nocfprotection "$root/usr/bin/pellwick"
for protection in "Position Independent Executable" "Stack protected" "Fortify Source functions" \
    "Read-only relocations" "Immediate binding"; do
    grep -q "^ $protection: yes" "$work/hardening.log" || { cat "$work/hardening.log"; exit 1; }
done

logged dpkg dpkg --root="$root" --remove pellwick
left=$(find "$root" -mindepth 1 -path "$root/var/lib/dpkg" -prune -o \
    ! -path "$root/var" ! -path "$root/var/lib" -print)
[ -z "$left" ] || { echo "left behind: $left"; exit 1; }
echo "$(basename "$deb"): lintian clean, hardened, installs, runs, leaves nothing when removed"
