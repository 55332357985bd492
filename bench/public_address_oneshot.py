#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""A log-in run that mails the public address, against swaks, side by side.

Behind the home router of the end-to-end tests (tests/system/home_network.py:
miniupnpd answering NAT-PMP), three senders take turns, one run of each per
round, against Debian's aiosmtpd on the home namespace's port 25:
  public  `pellwick /s` whose subject holds [PUBLICIPADDRESS] (asks the router
          first, then mails, saves and exits)
  plain   `pellwick /s` with the template of a fresh install (asks nobody)
  swaks   the same server, a message of the same size
Every mail is checked: the public run's subject carries the router's address.

Usage (as root): bench/public_address_oneshot.py [ROUNDS]   (default 30, after 3 warm-up)
PELLWICK_BUILD picks the build folder (default <repo>/build); prints a Markdown
table; with PELLWICK_BENCH_RESULTS=FILE also appends "key<TAB>value" to FILE.
"""

import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(REPO, "tests", "system"))
import harness  # noqa: E402
import home_network  # noqa: E402

WARMUP = 3
PUBLIC = home_network.PUBLIC
COMMON = {"AutoMail": 1, "AutoExit": 1, "EmailOnIPStartup": 1, "DisplayIcon": 0,
          "StartMinimized": 1, "SMTPServer": "127.0.0.1"}


def template(work, name, values):
    """A settings folder to copy afresh before every run."""
    folder = os.path.join(work, name, "pellwick")
    os.makedirs(folder)
    with open(os.path.join(folder, "registry.reg"), "w", newline="") as hive:
        hive.write(harness.hive_text({**COMMON, **values}))
    return os.path.join(work, name)


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 30
    build = os.environ.get("PELLWICK_BUILD", os.path.join(REPO, "build"))
    program = os.path.abspath(os.path.join(build, "src", "app", "pellwick"))
    if os.geteuid() != 0:
        sys.exit("needs root (network namespaces)")
    if not shutil.which("hyperfine") or not shutil.which("swaks"):
        sys.exit("hyperfine and swaks are needed (scripts/install-deps.sh installs them)")
    work = tempfile.mkdtemp(prefix="pellwick-bench-")
    try:
        with home_network.HomeNetwork("/opt/pellwick-test/miniupnpd") as network, \
                harness.Sink(network.home) as sink:
            public = template(work, "public", {"Subject": "Public [PUBLICIPADDRESS]"})
            plain = template(work, "plain", {})
            config = os.path.join(work, "config")
            os.makedirs(os.path.join(work, "runtime"), mode=0o700)
            pellwick = ("env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=%s/runtime "
                        "XDG_CONFIG_HOME=%s %s /s" % (work, config, program))
            message = os.path.join(work, "message.eml")
            with open(message, "w") as text:
                text.write("Subject: Public %s\r\n\r\nYour New IP Address is %s" % (PUBLIC, home_network.LAN_HOST))
            commands = {
                "public": ("rm -rf %s && cp -r %s %s" % (config, public, config), pellwick),
                "plain": ("rm -rf %s && cp -r %s %s" % (config, plain, config), pellwick),
                "swaks": ("true", "swaks --server 127.0.0.1 --port %d --from pellwick@localhost"
                                  " --to root@localhost --data @%s" % (sink.port, message)),
            }
            times = {name: [] for name in commands}
            for round_number in range(WARMUP + rounds):
                for name, (prepare, command) in commands.items():
                    out = os.path.join(work, "round.json")
                    subprocess.run(network.home.command(
                        "hyperfine", "--style", "none", "--runs", "1", "--prepare", prepare,
                        "--export-json", out, command), check=True, stdout=subprocess.DEVNULL)
                    if round_number >= WARMUP:
                        times[name] += json.load(open(out))["results"][0]["times"]
            mails = sink.messages()
            harness.check(len(mails) == 3 * (WARMUP + rounds), "%d mails" % len(mails))
            harness.check(all("Subject: Public %s\r\n" % PUBLIC in mail for mail in mails[0::3]),
                          "a public run mailed no public address")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    swaks = statistics.median(times["swaks"])
    print("| Sender | median ms | min ms | median / swaks | runs |")
    print("|---|---:|---:|---:|---:|")
    lines = []
    for name, measured in times.items():
        median = statistics.median(measured)
        print("| %s | %.1f | %.1f | %.2f | %d |" % (name, median * 1e3, min(measured) * 1e3,
                                                    median / swaks, len(measured)))
        lines.append("public_oneshot.%s.median_ms\t%.1f\n" % (name, median * 1e3))
        lines.append("public_oneshot.%s.ratio\t%.2f\n" % (name, median / swaks))
    if os.environ.get("PELLWICK_BENCH_RESULTS"):
        with open(os.environ["PELLWICK_BENCH_RESULTS"], "a") as out:
            out.writelines(lines)


if __name__ == "__main__":
    main()
