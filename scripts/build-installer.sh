#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes Pellwick's Windows installer, Pellwick-<version>-setup.exe, with Debian's
# makensis: cross-builds Pellwick.exe (scripts/build-windows.sh) into BUILD_DIR
# (default build-win/) and packs it, or packs the program $PELLWICK_WINDOWS_EXE
# names. The installer goes into BUILD_DIR; its full path is the last line printed.
#   scripts/build-installer.sh [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$top/build-win}")
"$top/scripts/install-deps.sh" package

program=${PELLWICK_WINDOWS_EXE:-}
if [ -z "$program" ]; then
    program=$("$top/scripts/build-windows.sh" "$build" | tee /dev/stderr | tail -n 1)
fi
[ -f "$program" ] || { echo "build-installer: no program at '$program'" >&2; exit 1; }

# The project's version, from the one place it is set.
version=$(sed -n 's/^project(Pellwick VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
file_version=$version
while [ "$(tr -cd . <<<"$file_version" | wc -c)" -lt 3 ]; do
    file_version+=.0
done
mkdir -p "$build"
setup=$build/Pellwick-$version-setup.exe
makensis -V2 -DVERSION="$version" -DFILE_VERSION="$file_version" -DPROGRAM="$program" \
    -DOUTFILE="$setup" "$top/dist/windows/pellwick.nsi" >&2
echo "$setup"
