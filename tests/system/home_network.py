# SPDX-License-Identifier: MIT
"""The real program behind a home router made of Debian's parts: Pellwick's
namespace on the router's LAN; a "router" namespace with nftables masquerade and
miniupnpd (unpacked from its packages, never installed as a service); an
"internet" namespace beyond it with coturn as the STUN server. Needs root; else
exits 77. MINIUPNPD_FOLDER is where scripts/install-deps.sh test unpacks it.

    home_network.py PATH/TO/pellwick[.exe] MINIUPNPD_FOLDER [upnp]

The .exe runs under Wine (WINEPREFIX: a prepared prefix). With "upnp" only the
router without NAT-PMP is tried; the Linux program tries it after the rest.
"""

import glob
import os
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import harness
from harness import check, run

LAN_ROUTER, LAN_HOST = "192.168.77.1", "192.168.77.2"
INTERNET = "203.0.113.1"
PUBLIC, MOVED = "203.0.113.2", "203.0.113.3"

# nft_init.sh reads its names from here; the Debian package ships the
# iptables flavour of this file, so the nftables names are given as miniupnpd's
# own defaults.
NFT_NAMES = """NFT=$(command -v nft)
TABLE=filter
NAT_TABLE=filter
CHAIN=miniupnpd
PREROUTING_CHAIN=prerouting_miniupnpd
POSTROUTING_CHAIN=postrouting_miniupnpd
"""

# UPnP stays on: miniupnpd watches its interfaces, and so announces a move, only
# with it.
MINIUPNPD_CONF = """ext_ifname=wan0
listening_ip=lan1
enable_natpmp=%(natpmp)s
enable_upnp=yes
http_port=5000
ext_perform_stun=yes
ext_stun_host=%(internet)s
ext_stun_port=3478
secure_mode=no
system_uptime=yes
uuid=3a1f0c58-6e0e-4f4e-9c7d-5d1c0fd0e001
upnp_table_name=filter
upnp_nat_table_name=filter
upnp_forward_chain=miniupnpd
upnp_nat_chain=prerouting_miniupnpd
upnp_nat_postrouting_chain=postrouting_miniupnpd
allow 1024-65535 192.168.77.0/24 1024-65535
deny 0-65535 0.0.0.0/0 0-65535
"""


# Asks the router at argv[1] for its address once over UPnP IGD (on in either
# mode; NAT-PMP tells the same address): status 0 when it tells one.
UPNP_PROBE = """
import sys, urllib.request
action = "urn:schemas-upnp-org:service:WANIPConnection:1#GetExternalIPAddress"
ask = urllib.request.Request("http://%s:5000/ctl/IPConn" % sys.argv[1], headers={
    "SOAPAction": '"%s"' % action, "Content-Type": "text/xml"}, data=b"<s:Envelope><s:Body>"
    b"<u:GetExternalIPAddress/></s:Body></s:Envelope>")
sys.exit(b"<NewExternalIPAddress>2" not in urllib.request.urlopen(ask, timeout=0.5).read())
"""


def link(left, left_name, left_address, right, right_name, right_address):
    """A veth pair between two namespaces, each end with its /24 address."""
    run("ip", "link", "add", left_name, "netns", left.name, "type", "veth", "peer", "name",
        right_name, "netns", right.name)
    for space, name, address in ((left, left_name, left_address),
                                 (right, right_name, right_address)):
        space.ip("addr", "add", address + "/24", "dev", name)
        space.ip("link", "set", name, "up")


def mails_with(sink, count, public, timeout):
    mails = sink.wait(count, timeout)
    check("Subject: Public %s\r\n" % public in mails[-1], mails[-1])


class HomeNetwork(harness.Closing):
    """The three namespaces, wired and running; `home` is Pellwick's."""

    def __init__(self, miniupnpd):
        self.program = os.path.join(miniupnpd, "usr", "sbin", "miniupnpd")
        if not os.path.exists(self.program):  # the test never fetches it
            print("no %s (scripts/install-deps.sh test puts it there): skipped" % self.program)
            sys.exit(77)
        self.config = tempfile.mkdtemp(prefix="pellwick-router-")
        self.spaces, self.running, self.batch, self.miniupnpd = [], [], None, None
        try:
            for role in ("home", "router", "net"):
                self.spaces.append(harness.Namespace(role=role))
            self.home, self.router, internet = self.spaces
            link(self.home, "lan0", LAN_HOST, self.router, "lan1", LAN_ROUTER)
            link(self.router, "wan0", PUBLIC, internet, "wan1", INTERNET)
            self.home.ip("route", "add", "default", "via", LAN_ROUTER)
            self.router.ip("route", "add", "default", "via", INTERNET)
            # A moved address is promoted, so wan0 always has one.
            self.router.run("sysctl", "-q", "-w", "net.ipv4.ip_forward=1",
                            "net.ipv4.conf.wan0.promote_secondaries=1")
            self.start("turnserver", internet.command(
                "turnserver", "--stun-only", "-L", INTERNET, "-n", "--no-cli", "--no-tls",
                "--no-dtls", "--simple-log", "--log-file", "stdout"))
            scripts = pathlib.Path(self.config, "scripts")
            scripts.mkdir()
            shutil.copy(pathlib.Path(miniupnpd, "etc", "miniupnpd", "nft_init.sh"), scripts)
            (scripts / "miniupnpd_functions.sh").write_text(NFT_NAMES)
            self.router.run("sh", str(scripts / "nft_init.sh"))
            # The home network reaches out through the router's address.
            self.router.run("nft", "add", "rule", "inet", "filter", "forward", "accept")
            self.router.run("nft", "add", "rule", "inet", "filter", "postrouting", "oifname",
                            "wan0", "masquerade")
            self.public = PUBLIC
            self.start_router(True)
        except Exception:
            self.close()
            raise

    def start_router(self, natpmp):
        """(Re)starts miniupnpd, with NAT-PMP or without, and waits until it tells
        its address."""
        self.stop_router()
        conf = pathlib.Path(self.config, "miniupnpd.conf")
        conf.write_text(MINIUPNPD_CONF % {"natpmp": "yes" if natpmp else "no",
                                          "internet": INTERNET})
        # A pid file of its own: another home network may run beside this one.
        self.start("miniupnpd", self.router.command(self.program, "-d", "-f", str(conf), "-P",
                                                    os.path.join(self.config, "pid")))
        self.miniupnpd = self.running[-1]
        # miniupnpd tells an address only once it learned it from the STUN
        # server; before that it refuses, which the program would take as final
        # until its next retry.
        probe = self.home.command(harness.PYTHON, "-c", UPNP_PROBE, LAN_ROUTER)
        harness.wait_for(lambda: run(*probe, check=False).returncode == 0, 30,
                         "the router's first address")

    def stop_router(self):
        if self.miniupnpd:
            self.miniupnpd.terminate()
            self.miniupnpd.wait(10)

    def start(self, name, command):
        """Runs the command on, its output into NAME.log."""
        with open(os.path.join(self.config, name + ".log"), "w") as output:
            self.running.append(subprocess.Popen(command, stdout=output,
                                                 stderr=subprocess.STDOUT))

    def move(self, address):
        """Moves the router's public address, in one step for the kernel: the new
        one is added, the old one removed; miniupnpd announces it. Returns the
        monotonic time when `ip` was handed the step."""
        if not self.batch:
            self.batch = subprocess.Popen(self.router.command("ip", "-force", "-batch", "-"),
                                          stdin=subprocess.PIPE, text=True)
            self.running.append(self.batch)
        started = time.monotonic()
        self.batch.stdin.write("addr add %s/24 dev wan0\naddr del %s/24 dev wan0\n"
                               "route replace default via %s\n" % (address, self.public, INTERNET))
        self.batch.stdin.flush()
        self.public = address
        return started

    def close(self):
        for process in reversed(self.running):
            if process.poll() is None:
                process.terminate()
                process.wait(10)
        for space in reversed(self.spaces):
            space.close()
        shutil.rmtree(self.config, ignore_errors=True)


def main():
    binary, miniupnpd = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    upnp_only = sys.argv[3:] == ["upnp"]
    with HomeNetwork(miniupnpd) as network:
        try:
            (run_wine if binary.endswith(".exe") else run_network)(binary, network, upnp_only)
        except Exception:
            for log in glob.glob(os.path.join(network.config, "*.log")):
                print("==", log, pathlib.Path(log).read_text()[-2500:])
            raise
    print("passed: home_network")
    return 0


def walk(network, sink, program, natpmp):
    """The router with NAT-PMP, or with UPnP IGD alone, and the program started:
    its address mailed; a move, which the router tells several times, mailed once."""
    if not natpmp:
        network.start_router(False)
    count = len(sink.messages())
    with program():
        mails_with(sink, count + 1, network.public, 30)
        network.move(PUBLIC if network.public == MOVED else MOVED)
        mails_with(sink, count + 2, network.public, 20)
        time.sleep(5)
        sink.wait(count + 2, 0)


def run_network(binary, network, upnp_only):
    with harness.Sink(network.home) as sink:
        values = {"AutoMail": 1, "AutoEmailOnNewIP": 1, "ShowDebug": 1,
                  "Subject": "Public [PUBLICIPADDRESS]", "Msg": "local [IPADDRESS]"}
        program = lambda *arguments: harness.Pellwick(binary, network.home, None, values,
                                                      arguments or ["--headless"])
        if not upnp_only:
            walk(network, sink, program, True)
            # --send-now waits for the router's answer.
            with program("--send-now") as sent:
                check(sent.process.wait(20) == 0, sent.process.stdout.read())
                mails_with(sink, 3, MOVED, 5)

            # A router that answers no more: the STUN server sees the address the
            # router's NAT gives, within seconds.
            network.stop_router()
            values.update({"PublicAddressSource": 2, "StunServer": INTERNET + ":3478"})
            with program() as headless:
                mails_with(sink, 4, MOVED, 15)
                headless.process.send_signal(signal.SIGTERM)
                check(headless.process.wait(10) == 0, "exit status")
            values.update({"PublicAddressSource": 1, "StunServer": ""})
        walk(network, sink, program, False)


def run_wine(exe, network, upnp_only):
    import windows_end_to_end as windows
    with harness.Sink(network.home) as sink, harness.Display(network.home) as display, \
            windows.WinePrefix(network.home) as prefix:
        windows.import_settings(prefix, display, {
            "AutoExit": 0, "AutoEmailOnNewIP": 1, "EmailOnIPStartup": 0,
            "Subject": "Public [PUBLICIPADDRESS]"})
        walk(network, sink, lambda: prefix.start(windows.WINE, exe, "--headless", display=display),
             not upnp_only)


if __name__ == "__main__":
    sys.exit(main())
