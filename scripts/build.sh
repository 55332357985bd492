#!/usr/bin/env bash
# Configures and builds Pellwick into build/ (or $PELLWICK_BUILD_DIR).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PELLWICK_BUILD_DIR:-$top/build}
generator=()
if command -v ninja >/dev/null 2>&1; then
    generator=(-G Ninja)
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
else
    cmake "$build" "$@" >/dev/null
fi
cmake --build "$build" --parallel "$(nproc)"
