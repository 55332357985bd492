#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds what is shipped a second time, from a copy of the sources in another folder
# with fresh file times, and compares it byte for byte with a first build: the .deb,
# Pellwick.exe and the Windows setup. On a difference it prints what differs
# (diffoscope) and fails. Every file is compiled anew: where the first build went
# through ccache, so does this one (ccache writes paths into the debug information,
# and so into the program's build ID, relative to CCACHE_BASEDIR), but without its
# stored results.
#   scripts/check-reproducible.sh FIRST_LINUX_BUILD FIRST_WINDOWS_BUILD
# The first builds are the folders of scripts/test.sh's normal build and Windows leg
# (options -DPELLWICK_WERROR=ON, as here); their packages are made here.
# PELLWICK_SKIP_WINDOWS=1 compares the .deb only.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
first_linux=$(realpath -m "$1")
first_windows=$(realpath -m "$2")
start=$SECONDS
"$top/scripts/install-deps.sh" package diffoscope-minimal
# Both builds pack with this commit's time (the copy below is no git checkout).
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$top" log -1 --format=%ct)}
export SOURCE_DATE_EPOCH

work=$(mktemp -d /tmp/pellwick-second-build.XXXXXX)
trap 'rm -rf "$work"' EXIT
# The working tree's files as they are, their times those of the copy.
mkdir "$work/src"
(cd "$top" && git ls-files -z | tar --null -T - -cf -) | tar -x --touch -C "$work/src"
# The second build folders lie where the first ones do, relative to the sources: with
# ccache, paths relative to the build folder end up in the program.
second() {
    local relative
    relative=$(realpath -m --relative-to="$top" "$1")
    case $relative in
    ../*) echo "$work/src/$2" ;;
    *) echo "$work/src/$relative" ;;
    esac
}
second_linux=$(second "$first_linux" build)
second_windows=$(second "$first_windows" build-win)
# The second build takes the compiler launcher of the first; nothing from the cache.
launcher=$(sed -n 's/^CMAKE_CXX_COMPILER_LAUNCHER:[A-Z]*=//p' "$first_linux/CMakeCache.txt")
if [ -n "$launcher" ]; then
    export CMAKE_CXX_COMPILER_LAUNCHER=$launcher CCACHE_BASEDIR=$work/src CCACHE_RECACHE=1
else
    unset CMAKE_CXX_COMPILER_LAUNCHER
fi

pairs=()
deb_first=$("$top/scripts/build-deb.sh" "$first_linux" -DPELLWICK_WERROR=ON | tail -n 1)
deb_second=$("$work/src/scripts/build-deb.sh" "$second_linux" -DPELLWICK_WERROR=ON | tail -n 1)
pairs+=("$deb_first" "$deb_second")

if [ "${PELLWICK_SKIP_WINDOWS:-0}" != 1 ]; then
    exe_first=$first_windows/src/app/Pellwick.exe
    exe_second=$("$work/src/scripts/build-windows.sh" "$second_windows" -DPELLWICK_WERROR=ON \
        -DBUILD_TESTING=OFF | tail -n 1)
    setup_first=$(PELLWICK_WINDOWS_EXE=$exe_first "$top/scripts/build-installer.sh" \
        "$work/setup-first" | tail -n 1)
    setup_second=$(PELLWICK_WINDOWS_EXE=$exe_second "$work/src/scripts/build-installer.sh" \
        "$work/setup-second" | tail -n 1)
    pairs+=("$exe_first" "$exe_second" "$setup_first" "$setup_second")
fi

status=0
for ((i = 0; i < ${#pairs[@]}; i += 2)); do
    first=${pairs[i]} second=${pairs[i + 1]}
    if cmp -s "$first" "$second"; then
        echo "reproducible: $(basename "$first") ($(sha256sum <"$first" | cut -c 1-16))"
    else
        echo "NOT reproducible: $first and $second differ:"
        diffoscope --no-progress --text - "$first" "$second" || true
        status=1
    fi
done
echo "Second build and comparison: $((SECONDS - start)) s"
exit "$status"
