#!/usr/bin/env bash
# Installs, from Debian's packages, whatever Pellwick needs to build, run and test
# that this machine does not have yet. Safe to run again: it installs nothing twice.
# Given package names, it sees to those instead (the Windows leg names its own).
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libsecret-1-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    python3 python3-aiosmtpd python3-cryptography
    xvfb xauth x11-utils trayer openbox xdotool imagemagick
    clang libclang-rt-14-dev clang-format
    iproute2 procps
    swaks msmtp curl hyperfine
)

if [ $# -gt 0 ]; then
    packages=("$@")
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
