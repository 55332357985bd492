#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test.
# Ends with CTest's summary; the exit status is CTest's.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" -DPELLWICK_WERROR=ON
cd "${PELLWICK_BUILD_DIR:-$top/build}"
ctest --output-on-failure --timeout 300 -j "$(nproc)"
