#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# `cmake --install` into a fresh folder: menu entry, AppStream data, icon, man page,
# versions and licence as the program itself reports them; then the uninstall target
# removes what it put there.
#   installed_files_test.sh BUILD_DIR
set -euo pipefail
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
cmake --install "$1" --prefix "$root/usr" >/dev/null
share=$root/usr/share
program=$root/usr/bin/pellwick

desktop-file-validate "$share/applications/pellwick.desktop"
appstreamcli validate --no-net "$share"/metainfo/*.metainfo.xml

exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$share/applications/pellwick.desktop")
[ -x "$root/usr/bin/$exec_name" ] || { echo "Exec=$exec_name is not the installed program"; exit 1; }
icon=$(sed -n 's/^Icon=//p' "$share/applications/pellwick.desktop")
[ -s "$share/icons/hicolor/scalable/apps/$icon.svg" ] || { echo "no scalable $icon"; exit 1; }

page=$(MANWIDTH=100 man --warnings -l "$share/man/man1/pellwick.1.gz" 2>"$root/man.err")
[ ! -s "$root/man.err" ] || { cat "$root/man.err"; exit 1; }
for option in $("$program" --help | grep -o -- '^  [-/][^ ]*\(, [-/][^ ]*\)*' | tr -d ','); do
    grep -q -- "$option" <<<"$page" || { echo "the man page lacks $option"; exit 1; }
done

version=$("$program" --version | head -n 1)
release=$(grep -o -m 1 '<release version="[^"]*"' "$share"/metainfo/*.metainfo.xml)
[ "$release" = "<release version=\"${version#Pellwick }\"" ] \
    || { echo "newest release: $release, program: $version"; exit 1; }
"$program" --version | grep -qx 'License: MIT <https://opensource.org/licenses/MIT>' \
    || { echo "--version names no licence"; exit 1; }
zcat "$share/doc/pellwick/changelog.Debian.gz" | head -n 1 | grep -q "^pellwick (${version#Pellwick }-" \
    || { echo "the Debian changelog does not start at ${version#Pellwick }"; exit 1; }
installed=$(find "$root/usr" -type f | wc -l)
# A file of the user's own in an installed folder stays.
echo mine >"$root/usr/bin/mine"
cmake --build "$1" --target uninstall >"$root/log" 2>&1 || { cat "$root/log"; exit 1; }
left=$(find "$root/usr" -type f)
[ "$left" = "$root/usr/bin/mine" ] || { echo "after uninstall: ${left:-nothing}"; exit 1; }
echo "installed files: valid; uninstall: the $installed installed files removed, nothing else"
