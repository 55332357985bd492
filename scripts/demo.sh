#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Pellwick's main job on a machine without a display: a virtual X display
# (Xvfb), an SMTP server on loopback (Debian's aiosmtpd), and the real program
# mailing this machine's IP to it once. The mail is printed here and a
# screenshot of the window is saved.
#
#   scripts/demo.sh [path/to/pellwick]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
binary=${1:-${PELLWICK_BUILD_DIR:-$top/build}/src/app/pellwick}
screenshot=${PELLWICK_DEMO_SCREENSHOT:-$top/build/pellwick-demo.png}

# Port 25 of loopback needs root and must be free; otherwise the run goes into
# a private network namespace of its own (where the local IP is 127.0.0.1).
if [ "${PELLWICK_DEMO_INSIDE:-0}" != 1 ]; then
    "$top/scripts/install-deps.sh" demo
    port_busy=0
    if command -v ss >/dev/null 2>&1 && ss -Hltn 'sport = :25' | grep -q .; then
        port_busy=1
    fi
    if [ "$(id -u)" -eq 0 ] && [ "$port_busy" = 0 ]; then
        exec env PELLWICK_DEMO_INSIDE=1 "$0" "$binary"
    fi
    echo "Port 25 is not free here; running in a private network namespace."
    if [ "$(id -u)" -eq 0 ]; then
        exec unshare -n env PELLWICK_DEMO_INSIDE=1 PELLWICK_DEMO_LO=1 "$0" "$binary"
    fi
    exec unshare -rn env PELLWICK_DEMO_INSIDE=1 PELLWICK_DEMO_LO=1 "$0" "$binary"
fi
if [ "${PELLWICK_DEMO_LO:-0}" = 1 ]; then
    ip link set lo up
fi

work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

wait_for() { # seconds, command...
    local tries=$(($1 * 10))
    shift
    until "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

echo "== Starting a virtual display and an SMTP server on 127.0.0.1:25"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
wait_for 10 test -s "$work/display"
display=$(head -n 1 "$work/display")
export DISPLAY=":$display"

mkdir -p "$work/mail"
/usr/bin/python3 "$top/tests/support/smtp_sink.py" --dir "$work/mail" --host 127.0.0.1 \
    --port 25 --until-killed </dev/null >"$work/port" 2>"$work/sink.log" &
pids+=($!)
wait_for 10 test -s "$work/port" || { cat "$work/sink.log"; exit 1; }

# A settings store of its own: mail once at start to the local server.
export XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_CONFIG_HOME/pellwick"
printf '%s\r\n' 'REGEDIT4' '' '[HKEY_LOCAL_MACHINE\Software\Pellwick]' \
    '"SMTPServer"="127.0.0.1"' '"AutoMail"=dword:00000001' '"ShowDebug"=dword:00000001' \
    '"EmailOnIPStartup"=dword:00000000' '"AutoEmailOnNewIP"=dword:00000000' '' \
    >"$XDG_CONFIG_HOME/pellwick/registry.reg"
chmod 600 "$XDG_CONFIG_HOME/pellwick/registry.reg"

echo "== Starting Pellwick ($binary)"
"$binary" >"$work/pellwick.log" 2>&1 &
pellwick=$!
pids+=("$pellwick")

if ! wait_for 30 test -s "$work/mail/1.data"; then
    echo "No mail arrived within 30 s." >&2
    cat "$work/pellwick.log" >&2
    exit 1
fi
echo "== The mail Pellwick sent (envelope from <$(cat "$work/mail/1.from")> to <$(cat "$work/mail/1.rcpt")>):"
echo
tr -d '\r' <"$work/mail/1.data"
echo

sleep 0.5
mkdir -p "$(dirname "$screenshot")"
import -window root -crop 560x360+0+0 +repage "$screenshot" 2>/dev/null \
    && echo "== Screenshot of the window: $screenshot"

kill -TERM "$pellwick"
wait "$pellwick" || true
echo "== Pellwick ended; on a desktop, scripts/start.sh simply starts it."
