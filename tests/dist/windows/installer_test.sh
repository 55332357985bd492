#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows installer under Wine in a prefix of its own: silent setup, --version of the
# installed program, silent uninstall leaving nothing. 77: no makensis or Wine.
#   installer_test.sh SOURCE_DIR Pellwick.exe
set -euo pipefail
top=$1
wine=/usr/lib/wine/wine64
for tool in makensis "$wine" /usr/lib/wine/wineserver; do
    command -v "$tool" >/dev/null || { echo "$tool missing: skipped"; exit 77; }
done
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
run() { "$wine" "$@" </dev/null; }
settle() { /usr/lib/wine/wineserver -w; }

version=$(sed -n 's/^project(Pellwick VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
setup=$(PELLWICK_WINDOWS_EXE=$2 "$top/scripts/build-installer.sh" "$work/out" 2>&1 | tail -n 1)
[ "$(basename "$setup")" = "Pellwick-$version-setup.exe" ] || { echo "made '$setup'"; exit 1; }

# Wine's own processes must not hold on to this script's output.
run wineboot -i >/dev/null 2>&1
settle
files() { (cd "$WINEPREFIX/drive_c" && find . -type f | sort); }
files >"$work/before"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pellwick'

run "$setup" /S
settle
folder=$WINEPREFIX/drive_c/Program\ Files/Pellwick
[ -f "$folder/Pellwick.exe" ] || { echo "no Pellwick.exe in Program Files"; exit 1; }
cmp "$top/LICENSE" "$folder/LICENSE.txt" || { echo "the licence is not installed"; exit 1; }
[ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Pellwick.lnk" ] \
    || { echo "no Start-menu entry"; exit 1; }
entry=$(run reg query "$key" | tr -d '\r')
for value in "DisplayVersion +REG_SZ +$version" \
    'UninstallString +REG_SZ +"C:\\Program Files\\Pellwick\\Uninstall.exe"'; do
    grep -Eq "^ +$value\$" <<<"$entry" || { echo "uninstall entry lacks $value: $entry"; exit 1; }
done
# A program that does not know --version would start its window and stay.
printed=$(timeout 60 "$wine" 'C:\Program Files\Pellwick\Pellwick.exe' --version </dev/null \
    | tr -d '\r' | head -n 1) || true
[ "$printed" = "Pellwick $version" ] || { echo "--version printed '$printed'"; exit 1; }

run 'C:\Program Files\Pellwick\Uninstall.exe' /S
settle
# The uninstaller runs from a copy in Temp that goes at the next start of Windows.
run wineboot -r >/dev/null 2>&1
settle
files | diff "$work/before" - || { echo "files left behind (above)"; exit 1; }
! run reg query "$key" >/dev/null 2>&1 || { echo "the uninstall entry is still there"; exit 1; }
echo "Pellwick-$version-setup.exe: silent install, --version, silent uninstall: clean"
