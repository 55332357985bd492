#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# scripts/start.sh on a bare machine, with and without a display, against recording
# stand-ins: only the program's packages installed, only the program built and started.
#   start_path_test.sh SOURCE_DIR
set -euo pipefail
top=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/build/src/app"
stand_in() { printf '#!/bin/sh\necho "%s $*" >>"%s/asked"\n%s\n' "${1##*/}" "$work" "${2:-}" \
    >"$work/$1" && chmod +x "$work/$1"; }
for tool in apt-get cmake unshare; do stand_in "bin/$tool"; done
stand_in bin/dpkg-query 'exit 1'
stand_in bin/sudo 'exec "$@"'
stand_in bin/ss 'echo busy' # port 25 taken: the demonstration goes into a namespace
stand_in build/src/app/pellwick

for display in :0 ""; do
    : >"$work/asked"
    env DISPLAY="$display" WAYLAND_DISPLAY= PATH="$work/bin:$PATH" \
        PELLWICK_BUILD_DIR="$work/build" "$top/scripts/start.sh" --x >/dev/null
    installs=$(sed -n 's/^apt-get install //p' "$work/asked" | tr ' ' '\n')
    grep -qx qt6-base-dev <<<"$installs" || { echo "start.sh does not install Qt"; exit 1; }
    grep -q "^cmake -S .*-DBUILD_TESTING=OFF" "$work/asked" || { echo "tests configured"; exit 1; }
    grep -q "^cmake --build $work/build .*--target pellwick$" "$work/asked" \
        || { echo "builds more than the program"; exit 1; }
    if [ -n "$display" ]; then
        grep -qx "pellwick --x" "$work/asked" || { echo "the program did not start"; exit 1; }
    else
        grep -q "^unshare .*demo.sh $work/build/src/app/pellwick$" "$work/asked" \
            || { echo "the demonstration did not start"; exit 1; }
        grep -qx python3-aiosmtpd <<<"$installs" || { echo "no SMTP server for the demo"; exit 1; }
    fi
done
echo "start.sh: only the program's packages, only the program built"
