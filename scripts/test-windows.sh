#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows leg: cross-builds Pellwick.exe and its tests (scripts/build-windows.sh)
# and runs them under Wine with one persistent wineserver. Ends with CTest's summary.
#   scripts/test-windows.sh [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$top/build-win}")
start=$SECONDS

# The build script's last line names the program; the rest is shown as it comes.
mkdir -p "$build"
"$top/scripts/build-windows.sh" "$build" -DPELLWICK_WERROR=ON | tee "$build/build.log"
exe=$(tail -n 1 "$build/build.log")

# The window's tests need an X display; Xvfb picks a free one and names it on fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp 3>"$build/xvfb-display" \
    >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$build/xvfb-display" ] && break
    sleep 0.1
done
DISPLAY=:$(cat "$build/xvfb-display")
export DISPLAY

# shellcheck source=scripts/wine-session.sh
. "$top/scripts/wine-session.sh"
trap 'wine_session_stop; kill "$xvfb"' EXIT
wine_session_start "$build/wineprefix"

echo "== Tests of $exe under Wine"
status=0
(
    cd "$build"
    # On a loaded machine a window test now and then starts before Wine's desktop
    # answers (its window reads as hidden or zero-sized); such a test gets one
    # more run, and one that fails twice fails the leg.
    ctest --output-on-failure --timeout 300 -j 2 --repeat until-pass:2
) || status=$?
echo "Windows leg: $((SECONDS - start)) s"
exit "$status"
