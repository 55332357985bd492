#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds and runs every test:
#   1. a clang build with AddressSanitizer and UndefinedBehaviorSanitizer, whose
#      CTest run holds the unit tests and the bounded libFuzzer runs;
#   2. the normal build (warnings as errors) with every test, unit to end-to-end,
#      and the install: files and the .deb (label dist);
#   3. the Windows leg: Pellwick.exe cross-built with mingw-w64, its tests, an
#      end-to-end run and the installer's round trip under Wine
#      (scripts/test-windows.sh; PELLWICK_SKIP_WINDOWS=1 leaves it out);
#   4. reproducibility: what is shipped built a second time elsewhere and compared
#      byte for byte with the packages of 2. and 3. (scripts/check-reproducible.sh;
#      PELLWICK_SKIP_REPRODUCIBLE=1 leaves it out).
# Ends with CTest's summary of the Windows leg; fails when any run fails.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"

jobs=$(nproc)
san_build=${PELLWICK_SAN_BUILD_DIR:-$top/build-san}
main_build=${PELLWICK_BUILD_DIR:-$top/build}
san_status=0

if [ "${PELLWICK_SKIP_SANITIZERS:-0}" != 1 ]; then
    echo "== Sanitizer and fuzzing build ($san_build)"
    CXX=clang++ PELLWICK_BUILD_DIR=$san_build "$top/scripts/build.sh" \
        -DPELLWICK_WERROR=ON -DPELLWICK_SANITIZE=ON -DPELLWICK_BUILD_FUZZ=ON \
        -DPELLWICK_BUILD_BENCH=OFF -DBUILD_TESTING=ON
    (
        cd "$san_build"
        export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1
        export LSAN_OPTIONS=suppressions=$top/tests/sanitizer/lsan.supp:print_suppressions=0
        export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
        ctest --output-on-failure --timeout 600 -j "$jobs" -LE "system|dist"
    ) || san_status=$?
fi

echo "== Build and all tests ($main_build)"
# BUILD_TESTING=ON: scripts/start.sh may have made this build folder without the tests.
PELLWICK_BUILD_DIR=$main_build "$top/scripts/build.sh" -DPELLWICK_WERROR=ON -DBUILD_TESTING=ON
cd "$main_build"
main_status=0
ctest --output-on-failure --timeout 600 -j "$jobs" || main_status=$?

windows_status=0
if [ "${PELLWICK_SKIP_WINDOWS:-0}" != 1 ]; then
    echo "== Windows leg (${PELLWICK_WINDOWS_BUILD_DIR:-$top/build-win})"
    "$top/scripts/test-windows.sh" "${PELLWICK_WINDOWS_BUILD_DIR:-$top/build-win}" \
        || windows_status=$?
fi

reproducible_status=0
if [ "${PELLWICK_SKIP_REPRODUCIBLE:-0}" != 1 ]; then
    echo "== Reproducibility: a second build compared"
    "$top/scripts/check-reproducible.sh" "$main_build" \
        "${PELLWICK_WINDOWS_BUILD_DIR:-$top/build-win}" || reproducible_status=$?
fi

if [ "$san_status" -ne 0 ]; then
    echo "The sanitizer and fuzzing run failed (see above)."
    exit "$san_status"
fi
if [ "$main_status" -ne 0 ]; then
    echo "The normal build's tests failed (see above)."
    exit "$main_status"
fi
if [ "$windows_status" -ne 0 ]; then
    echo "The Windows leg failed (see above)."
    exit "$windows_status"
fi
exit "$reproducible_status"
