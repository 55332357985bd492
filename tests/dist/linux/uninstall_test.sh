#!/usr/bin/env bash
# `cmake --install` into a fresh prefix, then the uninstall target removes what it put there.
#   uninstall_test.sh BUILD_DIR
set -euo pipefail
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
cmake --install "$1" --prefix "$root/usr" >/dev/null
installed=$(find "$root" -type f | wc -l)
[ "$installed" -ge 5 ] || { echo "only $installed files installed"; exit 1; }
# A file of the user's own in an installed folder stays.
echo mine >"$root/usr/bin/mine"
cmake --build "$1" --target uninstall >"$root.log" 2>&1 || { cat "$root.log"; exit 1; }
left=$(find "$root" -type f)
[ "$left" = "$root/usr/bin/mine" ] || { echo "after uninstall: ${left:-nothing}"; exit 1; }
rm -f "$root.log"
echo "uninstall: the $installed installed files removed, nothing else"
