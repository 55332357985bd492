#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Puts the licence's SPDX line at the top of every tracked source file that lacks it:
# "// SPDX-License-Identifier: MIT" first in the C++ files under src/, tests/ and
# bench/; "# SPDX-License-Identifier: MIT" in the Python, shell and CMake files, after
# the "#!" line where there is one. Running it again changes nothing.
#   scripts/add-spdx.sh           add the line where it is missing
#   scripts/add-spdx.sh --check   only list the files without it; fails if there are any
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
check=0
[ "${1:-}" != --check ] || check=1
tag="SPDX-License-Identifier: MIT"

# The files, each with the comment mark its language uses.
files() {
    git -C "$top" ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' \
        'bench/*.h' | sed 's|^|// |'
    git -C "$top" ls-files -- '*.py' '*.sh' '*CMakeLists.txt' '*.cmake' | sed 's|^|# |'
}

missing=0
while read -r mark path; do
    file=$top/$path
    [ -f "$file" ] || continue # deleted in the working tree
    # The line is the first, or the second after a "#!" line.
    head -n 2 "$file" | grep -qxF "$mark $tag" && continue
    missing=$((missing + 1))
    if [ "$check" = 1 ]; then
        echo "no SPDX line: $path"
        continue
    fi
    if head -n 1 "$file" | grep -q '^#!'; then
        sed -i "1a $mark $tag" "$file"
    else
        sed -i "1i $mark $tag" "$file"
    fi
done < <(files)

if [ "$check" = 1 ] && [ "$missing" -gt 0 ]; then
    echo "$missing tracked source files lack the SPDX line: run scripts/add-spdx.sh"
    exit 1
fi
[ "$check" = 1 ] && echo "every tracked source file carries the SPDX line" \
    || echo "SPDX line added to $missing files"
