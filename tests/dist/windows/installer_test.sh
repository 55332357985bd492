#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows installer under Wine in a prefix of its own: a silent setup of 1.0, an
# upgrade over it while it runs, one over a copy it cannot close, silent uninstall
# leaving nothing. 77: no makensis, Wine or display.
#   installer_test.sh SOURCE_DIR Pellwick.exe
set -euo pipefail
top=$1
wine=/usr/lib/wine/wine64
for tool in makensis "$wine" /usr/lib/wine/wineserver; do
    command -v "$tool" >/dev/null || { echo "$tool missing: skipped"; exit 77; }
done
[ -n "${DISPLAY:-}" ] || { echo "no X display: skipped"; exit 77; }
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
run() { "$wine" "$@" </dev/null; }
settle() { /usr/lib/wine/wineserver -w; }
wait_until() { for _ in $(seq 300); do "$@" >/dev/null 2>&1 && return; sleep 0.1; done; }

version=$(sed -n 's/^project(Pellwick VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
setup=$(PELLWICK_WINDOWS_EXE=$2 "$top/scripts/build-installer.sh" "$work/out" 2>&1 | tail -n 1)
[ "$(basename "$setup")" = "Pellwick-$version-setup.exe" ] || { echo "made '$setup'"; exit 1; }

# Version 1.0: this program with a mark after its image, so the two files differ.
cp "$2" "$work/old.exe"
echo "1.0" >>"$work/old.exe"
makensis -V2 -DVERSION=1.0 -DFILE_VERSION=1.0.0.0 -DPROGRAM="$work/old.exe" \
    -DOUTFILE="$work/old-setup.exe" "$top/dist/windows/pellwick.nsi" >/dev/null

# Wine's own processes must not hold on to this script's output.
run wineboot -i >/dev/null 2>&1
settle
# Wine's own system folder is left out: Wine writes files there when it likes
# (a device's .pnf, say), and nothing of Pellwick goes there.
files() { (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -type f -print | sort); }
files >"$work/before"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pellwick'
settings='HKLM\Software\Pellwick'
exe='C:\Program Files\Pellwick\Pellwick.exe'
folder=$WINEPREFIX/drive_c/Program\ Files/Pellwick
fail() { echo "$1"; exit 1; }

# 1.0 runs, with its log-in entry and settings, when the newer setup comes.
run "$work/old-setup.exe" /S
run reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' /v Pellwick /d "\"$exe\" /s" /f
# (A server on the loopback: no mail of the runs below leaves the machine.)
run reg add "$settings" /v SMTPServer /d 127.0.0.1 /f >/dev/null
"$wine" "$exe" </dev/null >/dev/null 2>&1 &
old=$!
wait_until xdotool search --name '^Pellwick'
run "$setup" /S || fail "the upgrade over a running 1.0 failed: $?"
cmp -s "$2" "$folder/Pellwick.exe" || fail "the old Pellwick.exe is still in place"
timeout 30 tail --pid="$old" -f /dev/null || fail "the running 1.0 did not end"
# Status 0: its own close, which saves; a killed program ends otherwise.
wait "$old" || fail "1.0 did not end by its own close: $?"
values=$(run reg query "$settings")
grep -q 127.0.0.1 <<<"$values" || fail "the settings were lost: $values"
run reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' /v Pellwick >/dev/null \
    || fail "the log-in entry was lost"

# A copy with no window to close (a headless run) holds the file: the setup says so.
"$wine" "$exe" --headless </dev/null >/dev/null 2>&1 &
held=$!
wait_until grep -qs 'Pellwick/Pellwick.exe' "/proc/$held/maps"
if run "$setup" /S; then fail "setup reported success over a program it could not replace"; fi
run taskkill /f /im Pellwick.exe >/dev/null 2>&1
settle

cmp "$top/LICENSE" "$folder/LICENSE.txt" || { echo "the licence is not installed"; exit 1; }
[ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Pellwick.lnk" ] \
    || { echo "no Start-menu entry"; exit 1; }
entry=$(run reg query "$key" | tr -d '\r')
for value in "DisplayVersion +REG_SZ +$version" \
    'UninstallString +REG_SZ +"C:\\Program Files\\Pellwick\\Uninstall.exe"'; do
    grep -Eq "^ +$value\$" <<<"$entry" || { echo "uninstall entry lacks $value: $entry"; exit 1; }
done

# The uninstaller runs from a copy in Temp, which goes as well.
run 'C:\Program Files\Pellwick\Uninstall.exe' /S
settle
files | diff "$work/before" - || { echo "files left behind (above)"; exit 1; }
! run reg query "$key" >/dev/null 2>&1 || { echo "the uninstall entry is still there"; exit 1; }
echo "Pellwick-$version-setup.exe: upgrade over a running 1.0, refusal over a held file," \
    "silent uninstall: clean"
