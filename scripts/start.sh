#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what building and running Pellwick needs, builds the program (nothing
# else) and starts it. On a machine without a display (a server, CI) it shows
# Pellwick's main job instead, and installs the few tools that takes: see demo.sh.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PELLWICK_BUILD_DIR:-$top/build}

display=1
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    display=0
fi
sets=(program)
[ "$display" = 1 ] || sets+=(demo)
"$top/scripts/install-deps.sh" "${sets[@]}"

PELLWICK_BUILD_DIR=$build "$top/scripts/build.sh" --target pellwick

binary=$build/src/app/pellwick
if [ "$display" = 0 ]; then
    echo "No display here: running the demonstration (scripts/demo.sh)."
    exec "$top/scripts/demo.sh" "$binary"
fi
exec "$binary" "$@"
