#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs, from Debian's packages, what this machine lacks for the sets named:
#   program  build and run Pellwick (all that scripts/start.sh needs with a display)
#   demo     the demonstration without a display (scripts/demo.sh)
#   package  the man page, the Debian package and the Windows installer
#   test     the tests, the sanitizer and fuzzing build, the benchmarks and the
#            package checks (lintian, hardening-check, diffoscope)
# Any other word is a package name (the Windows leg names its own). With nothing
# named: all four sets. Safe to run again: it installs nothing twice.
#   scripts/install-deps.sh [--list] [SET|PACKAGE...]   (--list: print, install nothing)
set -euo pipefail

declare -A sets=(
    [program]="build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools
               libgl-dev libsecret-1-dev"
    [demo]="xvfb imagemagick python3 python3-aiosmtpd iproute2"
    [package]="scdoc dpkg-dev file nsis"
    [test]="googletest libgtest-dev libgmock-dev libbenchmark-dev python3 python3-aiosmtpd
            python3-cryptography xvfb xauth x11-utils trayer openbox xdotool imagemagick clang
            libclang-rt-14-dev clang-format iproute2 procps swaks msmtp curl hyperfine
            desktop-file-utils appstream man-db lintian devscripts diffoscope-minimal radvd coturn
            nftables"
)

list=0
if [ "${1:-}" = --list ]; then
    list=1
    shift
fi
[ $# -gt 0 ] || set -- program demo package test

packages=()
router=0
for word in "$@"; do
    [ "$word" != test ] || router=1
    if [ -z "${sets[$word]+x}" ]; then
        packages+=("$word")
        continue
    fi
    read -r -d '' -a words <<<"${sets[$word]}" || true
    packages+=("${words[@]}")
done
if [ "$list" = 1 ]; then
    printf '%s\n' "${packages[@]}" | sort -u
    exit 0
fi

missing=()
for p in $(printf '%s\n' "${packages[@]}" | sort -u); do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
updated=0
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $SUDO apt-get update -q
    updated=1
    $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The end-to-end tests' home router runs Debian's miniupnpd unpacked, never
# installed: its package would start a service on this machine. Fetched here,
# with the other packages, so that no test reaches beyond the machine.
router_folder=/opt/pellwick-test/miniupnpd
if [ "$router" = 1 ] && [ ! -x "$router_folder/usr/sbin/miniupnpd" ]; then
    download=$(mktemp -d)
    chmod 755 "$download"
    fetch() { (cd "$download" && $SUDO apt-get download -q miniupnpd miniupnpd-nftables); }
    if ! fetch; then
        [ "$updated" = 1 ] || $SUDO apt-get update -q
        fetch
    fi
    $SUDO mkdir -p "$router_folder"
    for package in "$download"/*.deb; do
        $SUDO dpkg-deb -x "$package" "$router_folder"
    done
    $SUDO rm -rf "$download"
fi
