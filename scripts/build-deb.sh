#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the Debian package pellwick_<version>_amd64.deb with CPack, in BUILD_DIR
# (default build/); the package's full path is the last line printed. Then:
#   sudo apt install ./pellwick_<version>_amd64.deb
# Further arguments go to CMake's configure step.
#   scripts/build-deb.sh [BUILD_DIR [CMAKE_OPTION...]]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$top/build}")
shift || true
"$top/scripts/install-deps.sh" program package
PELLWICK_BUILD_DIR=$build "$top/scripts/build.sh" --target pellwick --target pellwick_man \
    --target pellwick_changelog "$@" >&2
(cd "$build" && cpack -G DEB -B "$build/packages" >&2)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
revision=$(sed -n 's/^set(CPACK_DEBIAN_PACKAGE_RELEASE "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
echo "$build/packages/pellwick_${version}-${revision}_amd64.deb"
