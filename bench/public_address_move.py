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

Usage (as root): bench/public_address_move.py [MOVES] [upnp]   (default 20; "upnp": the
router without NAT-PMP, so the move comes as a UPnP event)
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


def main():
    moves = int(sys.argv[1]) if len(sys.argv) > 1 else 20
    upnp = sys.argv[2:] == ["upnp"]
    build = os.environ.get("PELLWICK_BUILD", os.path.join(REPO, "build"))
    program = os.path.join(build, "src", "app", "pellwick")
    if os.geteuid() != 0:
        sys.exit("needs root (network namespaces)")
    with home_network.HomeNetwork("/opt/pellwick-test/miniupnpd") as network:
        home = network.home
        if upnp:
            network.start_router(False)
        timer = os.path.join(REPO, "bench", "helo_timer.py")
        responder = subprocess.Popen(home.command(harness.PYTHON, timer), stdout=subprocess.PIPE,
                                     text=True)
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
    print("| router's public address moves (%s) -> HELO at the server | %.1f | %.1f | %.1f | %d |"
          % ("UPnP event" if upnp else "NAT-PMP announcement", median, min(delays), max(delays),
             len(delays)))
    if os.environ.get("PELLWICK_BENCH_RESULTS"):
        with open(os.environ["PELLWICK_BENCH_RESULTS"], "a") as out:
            out.write("public_address_move%s.median_ms\t%.2f\n" % (".upnp" if upnp else "", median))


if __name__ == "__main__":
    main()
