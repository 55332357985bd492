#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The router's public address moves -> first SMTP command at the server.

`pellwick --headless`, whose subject holds [PUBLICIPADDRESS], runs behind the
home router of the end-to-end tests (tests/system/home_network.py: miniupnpd
announcing over NAT-PMP, coturn beyond it). The script moves the router's
public address back and forth and times, for each move, from the moment it is
handed to the kernel to the moment the program's HELO reaches a small SMTP
responder on the home namespace's 127.0.0.1:25. CLOCK_MONOTONIC is one clock
for every namespace, so the two ends compare.

Usage (as root): bench/public_address_move.py [MOVES]   (default 20)
PELLWICK_BUILD picks the build folder (default <repo>/build); prints a Markdown
row; with PELLWICK_BENCH_RESULTS=FILE also appends "key<TAB>value" to FILE.
"""

import os
import statistics
import subprocess
import sys
import time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(REPO, "tests", "system"))
import harness  # noqa: E402
import home_network  # noqa: E402

# Tells the monotonic time of every HELO, one line each.
RESPONDER = r"""
import asyncio, sys, time
async def session(reader, writer):
    writer.write(b"220 bench\r\n")
    in_data = False
    while line := await reader.readline():
        if in_data:
            if line == b".\r\n":
                in_data = False
                writer.write(b"250 queued\r\n")
            continue
        if line[:4] in (b"HELO", b"EHLO"):
            print(time.monotonic(), flush=True)
        if line.startswith(b"DATA"):
            in_data = True
            writer.write(b"354 go\r\n")
        elif line.startswith(b"QUIT"):
            writer.write(b"221 bye\r\n")
            await writer.drain()
            break
        else:
            writer.write(b"250 ok\r\n")
        await writer.drain()
    writer.close()
async def main():
    await asyncio.start_server(session, "127.0.0.1", 25)
    print("ready", flush=True)
    await asyncio.Event().wait()
asyncio.run(main())
"""


def main():
    moves = int(sys.argv[1]) if len(sys.argv) > 1 else 20
    build = os.environ.get("PELLWICK_BUILD", os.path.join(REPO, "build"))
    program = os.path.join(build, "src", "app", "pellwick")
    if os.geteuid() != 0:
        sys.exit("needs root (network namespaces)")
    with home_network.HomeNetwork(os.path.join(build, "miniupnpd")) as network:
        home = network.home
        responder = subprocess.Popen(home.command(harness.PYTHON, "-c", RESPONDER),
                                     stdout=subprocess.PIPE, text=True)
        assert responder.stdout.readline().strip() == "ready"
        values = {"AutoMail": 1, "AutoEmailOnNewIP": 1, "SMTPServer": "127.0.0.1",
                  "Subject": "Public [PUBLICIPADDRESS]"}
        with harness.Pellwick(os.path.abspath(program), home, None, values,
                              ["--headless"]):
            responder.stdout.readline()  # the start-up mail
            time.sleep(0.5)
            delays = []
            for n in range(moves):
                started = network.move("203.0.113.%d" % (3 + n % 2))
                delays.append((float(responder.stdout.readline()) - started) * 1e3)
                time.sleep(0.5)  # the dialogue ends before the next move
        responder.terminate()
        responder.wait(10)
    median = statistics.median(delays)
    print("| Figure | median ms | min ms | max ms | moves |")
    print("|---|---:|---:|---:|---:|")
    print("| router's public address moves -> HELO at the server | %.1f | %.1f | %.1f | %d |"
          % (median, min(delays), max(delays), len(delays)))
    if os.environ.get("PELLWICK_BENCH_RESULTS"):
        with open(os.environ["PELLWICK_BENCH_RESULTS"], "a") as out:
            out.write("public_address_move.median_ms\t%.2f\n" % median)


if __name__ == "__main__":
    main()
