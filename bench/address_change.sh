#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Address change -> first SMTP byte at the server. `pellwick --headless` runs in
# a private network namespace with one test interface; the script moves the
# interface's address back and forth and times, for each change, from the
# moment the change is handed to the kernel to the moment the program's HELO
# reaches a small SMTP responder on 127.0.0.1:25 (also in the namespace).
#
# Usage (as root): bench/address_change.sh [CHANGES]   (default 30)
# Prints a Markdown table; with PELLWICK_BENCH_RESULTS=FILE also appends
# "key<TAB>value" lines to FILE for run-all.sh.
set -euo pipefail
# shellcheck source=bench/loopback_netns.sh
source "$(dirname "$0")/loopback_netns.sh"
pw_enter_netns "$@"

CHANGES=${1:-30}
[ -x "$PW_PELLWICK" ] || pw_die "no program at $PW_PELLWICK (build it first)"
pw_work_folder
# A dummy interface where the kernel has the driver, else one end of a veth
# pair whose other end stays here too.
if ! ip link add pwbench0 type dummy 2>/dev/null; then
    ip link add pwbench0 type veth peer name pwpeer0
    ip link set pwpeer0 up
fi
# The new address is promoted when the old one goes, so the interface is never
# without one.
sysctl -q -w net.ipv4.conf.pwbench0.promote_secondaries=1
ip addr add 10.78.0.2/24 dev pwbench0
ip link set pwbench0 up
ip route add default via 10.78.0.1 dev pwbench0 onlink
pw_write_hive "$PW_WORK/config" AutoEmailOnNewIP=1 AutoMail=0 EmailOnIPStartup=0 \
    SMTPServer=text:127.0.0.1

PYTHONPATH=$(dirname "$0") "$PW_PYTHON" - "$CHANGES" "$PW_PELLWICK" "$PW_WORK" \
    "${PELLWICK_BENCH_RESULTS:-}" <<'PYEOF'
import asyncio, os, signal, statistics, subprocess, sys, time
from helo_timer import session

changes, program, work, results = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
helo_at = []
done = {}

async def main():
    server = await asyncio.start_server(session(helo_at.append), "127.0.0.1", 25)
    env = dict(os.environ, XDG_CONFIG_HOME=work + "/config")
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
        env.pop(name, None)
    proc = await asyncio.create_subprocess_exec(program, "--headless", env=env,
                                                stderr=subprocess.DEVNULL)
    ip = subprocess.Popen(["ip", "-force", "-batch", "-"], stdin=subprocess.PIPE, text=True)
    await asyncio.sleep(1.0)  # started and settled
    delays, current = [], "10.78.0.2"
    for n in range(changes):
        new = "10.78.0.%d" % (3 + n % 2)
        before = len(helo_at)
        started = time.monotonic()
        ip.stdin.write("addr add %s/24 dev pwbench0\naddr del %s/24 dev pwbench0\n" % (new, current))
        ip.stdin.flush()
        current = new
        for _ in range(400):
            if len(helo_at) > before:
                break
            await asyncio.sleep(0.005)
        if len(helo_at) == before:
            sys.exit("no mail after change %d" % n)
        delays.append((helo_at[before] - started) * 1e3)
        await asyncio.sleep(0.3)  # the dialogue ends before the next change
    ip.stdin.close()
    ip.wait()
    proc.send_signal(signal.SIGTERM)
    await proc.wait()
    server.close()
    median = statistics.median(delays)
    print("| Figure | median ms | min ms | max ms | changes |")
    print("|---|---:|---:|---:|---:|")
    print("| address change -> HELO at the server | %.2f | %.2f | %.2f | %d |"
          % (median, min(delays), max(delays), len(delays)))
    if results:
        with open(results, "a") as out:
            out.write("address_change.median_ms\t%.2f\n" % median)

asyncio.run(main())
PYEOF
