#!/usr/bin/env bash
# The Windows leg: cross-builds Pellwick.exe and its tests (scripts/build-windows.sh)
# and runs them under Wine with one persistent wineserver. Ends with CTest's summary.
#   scripts/test-windows.sh [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$top/build-win}")
start=$SECONDS

# The build script's last line names the program; the rest is shown as it comes.
exe=$("$top/scripts/build-windows.sh" "$build" -DPELLWICK_WERROR=ON | tee /dev/stderr | tail -n 1)

. "$top/scripts/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start "$build/wineprefix"

echo "== Tests of $exe under Wine"
status=0
(
    cd "$build"
    ctest --output-on-failure --timeout 300 -j 2
) || status=$?
echo "Windows leg: $((SECONDS - start)) s"
exit "$status"
