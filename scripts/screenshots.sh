#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Photographs Pellwick in a real X server: each of the window's five tabs and
# the tray icon's popup menu, into docs/screenshots/ (email.png, settings.png,
# misc.png, about.png, debug.png, tray-menu.png).
#
#   scripts/screenshots.sh [path/to/pellwick]     (default: build/src/app/pellwick)
#
# Xvfb is the display (96 dpi, no window manager), Debian's trayer the tray
# host, xdotool the hands. The program runs with a fresh settings folder that
# shows the Debug tab and the tray icon and sends no mail. Exits with 2 when
# the window was taken but the program shows no tray icon or menu to take.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
binary=${1:-$top/build/src/app/pellwick}
out=$top/docs/screenshots

for tool in Xvfb trayer xdotool import convert; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "screenshots: $tool is missing; run scripts/install-deps.sh" >&2
        exit 1
    fi
done
if [ ! -x "$binary" ]; then
    echo "screenshots: no program at $binary; build it first (scripts/build.sh)" >&2
    exit 1
fi

work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# Waits up to $1 seconds for the command after it to succeed.
retry() {
    local seconds=$1
    shift
    local tries=$((seconds * 10))
    until "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

# Xvfb picks a free display itself and writes its number to fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp -br 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
pids+=($!)
retry 10 test -s "$work/display" || {
    echo "screenshots: Xvfb did not start" >&2
    cat "$work/xvfb.log" >&2
    exit 1
}
display=$(head -n 1 "$work/display")
export DISPLAY=":$display"
unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS
export QT_QPA_PLATFORM=xcb QT_AUTO_SCREEN_SCALE_FACTOR=0

trayer --edge bottom --align right --widthtype request --height 28 --SetDockType false \
    --transparent false --tint 0xd0d0d0 >"$work/trayer.log" 2>&1 &
pids+=($!)

# A fresh settings store: the Debug tab and the tray icon on, nothing mailed.
export XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_CONFIG_HOME/pellwick"
printf '%s\r\n' 'REGEDIT4' '' '[HKEY_LOCAL_MACHINE\Software\Pellwick]' \
    '"ShowDebug"=dword:00000001' '"DisplayIcon"=dword:00000001' \
    '"EmailOnIPStartup"=dword:00000000' '"AutoMail"=dword:00000000' \
    '"AutoEmailOnNewIP"=dword:00000000' '"TimerSend"=dword:00000000' \
    '"StartMinimized"=dword:00000000' '"CopyClipOnStartup"=dword:00000000' \
    >"$XDG_CONFIG_HOME/pellwick/registry.reg"
chmod 600 "$XDG_CONFIG_HOME/pellwick/registry.reg"

# With root and a free port 25, a loopback SMTP server receives one start-up
# mail, so that the Debug tab shows a real dialogue.
sink_dir=""
if [ "$(id -u)" -eq 0 ] && ! ss -Hltn 'sport = :25' | grep -q .; then
    sink_dir=$work/mail
    mkdir -p "$sink_dir"
    /usr/bin/python3 "$top/tests/support/smtp_sink.py" --dir "$sink_dir" --host 127.0.0.1 \
        --port 25 --until-killed </dev/null >"$work/sink.port" 2>"$work/sink.log" &
    pids+=($!)
    retry 10 test -s "$work/sink.port"
    printf '%s\r\n' '"SMTPServer"="127.0.0.1"' '"AutoMail"=dword:00000001' '' \
        >>"$XDG_CONFIG_HOME/pellwick/registry.reg"
fi

"$binary" >"$work/pellwick.log" 2>&1 &
pellwick=$!
pids+=("$pellwick")

window=""
find_window() {
    window=$(xdotool search --onlyvisible --pid "$pellwick" --name '^Pellwick' | head -n 1)
    [ -n "$window" ]
}
retry 20 find_window || {
    echo "screenshots: the window of $binary did not appear" >&2
    cat "$work/pellwick.log" >&2
    exit 1
}
mkdir -p "$out"
rm -f "$out"/{email,settings,misc,about,debug,tray-menu}.png
if [ -n "$sink_dir" ]; then
    retry 20 test -s "$sink_dir/1.data" || echo "screenshots: the start-up mail did not arrive" >&2
fi
sleep 1

shoot_window() {
    import -window "$window" "$out/$1.png"
    echo "screenshots: $out/$1.png"
}

# Tabs are switched with Ctrl+Tab, as a user would. Without a window manager
# the window takes the keyboard only once clicked: the click goes to the
# first tab's title, which is current already and takes no focus frame.
xdotool mousemove --window "$window" 20 18 click 1
sleep 0.3
for tab in email settings misc about debug; do
    shoot_window "$tab"
    xdotool key --clearmodifiers ctrl+Tab
    sleep 0.5
done
xdotool mousemove 0 767

# The tray menu: right-click the program's icon in trayer's panel, which
# holds the icon as a window of class "pellwick".
panel=""
icon=""
find_icon() {
    panel=$(xwininfo -root -tree | awk '/\("panel" "trayer"\)/ {print $1; exit}')
    [ -n "$panel" ] || return 1
    icon=$(xwininfo -tree -id "$panel" | awk 'tolower($0) ~ /\("pellwick" / {print $1; exit}')
    [ -n "$icon" ]
}
if ! retry 5 find_icon; then
    echo "screenshots: Pellwick shows no icon in the tray (yet); tray-menu.png not taken" >&2
    exit 2
fi
# Pellwick's windows directly under the root; the menu is the one that appears.
top_windows() {
    xwininfo -root -children | awk 'tolower($0) ~ /\("pellwick" / {print $1}' | sort
}
before=$(top_windows)
xdotool mousemove --window "$icon" 8 8 click 3
menu=""
find_menu() {
    local id
    for id in $(comm -13 <(echo "$before") <(top_windows)); do
        if xwininfo -id "$id" | grep -q 'IsViewable'; then
            menu=$id
            return 0
        fi
    done
    return 1
}
if ! retry 5 find_menu; then
    echo "screenshots: right-clicking the tray icon opened no menu; tray-menu.png not taken" >&2
    exit 2
fi
sleep 0.5
# The menu together with the panel it was opened from.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ {x = $4} /Absolute upper-left Y:/ {y = $4}
        /Width:/ {w = $2} /Height:/ {h = $2} END {print x, y, w, h}'
}
read -r menu_x menu_y menu_w _ < <(geometry "$menu")
read -r panel_x panel_y panel_w panel_h < <(geometry "$panel")
left=$((menu_x < panel_x ? menu_x : panel_x))
right=$((menu_x + menu_w > panel_x + panel_w ? menu_x + menu_w : panel_x + panel_w))
bottom=$((panel_y + panel_h))
import -window root -crop "$((right - left))x$((bottom - menu_y))+${left}+${menu_y}" +repage \
    "$out/tray-menu.png"
echo "screenshots: $out/tray-menu.png"
