#!/usr/bin/env bash
# Installs what is missing, builds and starts Pellwick. On a machine without a
# display (a server, CI) it shows Pellwick's main job instead: see demo.sh.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
binary=${PELLWICK_BUILD_DIR:-$top/build}/src/app/pellwick
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display here: running the demonstration (scripts/demo.sh)."
    exec "$top/scripts/demo.sh" "$binary"
fi
exec "$binary" "$@"
