#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds Pellwick.exe and its Qt-free tests for 64-bit Windows with Debian's
# mingw-w64, into build-win/ (or the folder given as the first argument).
# Installs what is missing from Debian's packages; GoogleTest for the target is
# built from Debian's sources once per build folder. Further arguments go to CMake.
# The last line of the output is the full path of Pellwick.exe. With
# -DBUILD_TESTING=OFF only Pellwick.exe is built, with no GoogleTest (packaging).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$top/build-win}")
shift || true
program_only=0
for option in "$@"; do
    [ "$option" != -DBUILD_TESTING=OFF ] || program_only=1
done

# The cross compiler, Wine (with TLS through GnuTLS) and what the tests under Wine
# use: an X display with a tray host, a real SMTP server and the certificates of a
# test authority, network namespaces.
"$top/scripts/install-deps.sh" cmake ninja-build g++-mingw-w64-x86-64-posix googletest \
    wine wine64 libgnutls30 xvfb xauth xdotool trayer imagemagick python3-aiosmtpd \
    python3-cryptography iproute2

toolchain=$top/cmake/toolchain-mingw64.cmake
gtest_prefix=$build/googletest
if [ "$program_only" = 0 ] && [ ! -f "$gtest_prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
    echo "== GoogleTest for Windows ($gtest_prefix)"
    cmake -S /usr/src/googletest -B "$build/googletest-build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$gtest_prefix" >/dev/null
    cmake --build "$build/googletest-build" --parallel 2 >/dev/null
    cmake --install "$build/googletest-build" >/dev/null
fi

echo "== Pellwick for Windows ($build)"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DGTest_DIR="$gtest_prefix/lib/cmake/GTest" \
    -DPELLWICK_BUILD_BENCH=OFF "$@" >/dev/null
targets=()
[ "$program_only" = 0 ] || targets=(--target pellwick)
cmake --build "$build" --parallel 2 "${targets[@]}"

exe=$build/src/app/Pellwick.exe
echo "Pellwick.exe: $(stat -c %s "$exe") bytes, needs only Windows' own DLLs:" \
    "$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr '\n' ' ')"
echo "$exe"
