#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures and builds Pellwick into build/ (or $PELLWICK_BUILD_DIR).
#   scripts/build.sh [--target NAME]... [CMAKE_OPTION]...
# Without --target it builds everything; options go to CMake's configure step.
# A new build folder made for named targets leaves the tests out (their tools may
# not be installed); -DBUILD_TESTING=ON brings them in.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PELLWICK_BUILD_DIR:-$top/build}
targets=()
while [ "${1:-}" = --target ]; do
    targets+=(--target "$2")
    shift 2
done
tests=()
[ ${#targets[@]} -eq 0 ] || tests=(-DBUILD_TESTING=OFF)
generator=()
if command -v ninja >/dev/null 2>&1; then
    generator=(-G Ninja)
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${tests[@]}" "$@"
else
    cmake "$build" "$@" >/dev/null
fi
cmake --build "$build" --parallel "$(nproc)" "${targets[@]}"
