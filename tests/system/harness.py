# SPDX-License-Identifier: MIT
"""Drives the real pellwick binary, as root, in a network namespace of its own
holding loopback, one test interface, Debian's aiosmtpd and an Xvfb display."""

import ctypes
import os
import pathlib
import re
import select
import shutil
import socket
import subprocess
import sys
import tempfile
import time

# The caption's start. The version comes from the test lists, or from CMakeLists.txt
# when a script outside CTest (the screenshots) uses this module.
VERSION = os.environ.get("PELLWICK_VERSION") or re.search(
    r"project\(Pellwick VERSION ([0-9.]+)",
    open(os.path.join(os.path.dirname(__file__), "..", "..", "CMakeLists.txt")).read()).group(1)
TITLE = "Pellwick v%s!" % VERSION
SINK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support", "smtp_sink.py")
PYTHON = "/usr/bin/python3"


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def run(*args, check=True, **kwargs):
    return subprocess.run(list(args), check=check, capture_output=True, text=True, **kwargs)


def wait_for(predicate, timeout, what, quiet=False):
    """Polls predicate(), at least once, until true; the timeout only bounds a broken run."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() > deadline:
            check(quiet, "timed out waiting for " + what)
            return None
        time.sleep(0.1)
    return value


class Closing:
    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.close()


class Namespace(Closing):
    """A network namespace with loopback and, given `address`, one interface
    carrying it; `role` tells several of one test apart. Without root: exit 77."""

    def __init__(self, address=None, role="sys"):
        if os.geteuid() != 0:
            print("skipped: end-to-end runs need root to make a network namespace")
            sys.exit(77)
        self.name = "pw%s%d" % (role, os.getpid())
        self.hosts = None
        run("ip", "netns", "add", self.name)
        try:
            self.ip("link", "set", "lo", "up")
            if not address:
                return
            # One end of a veth pair whose other end stays in the namespace too.
            self.device = "pwtest0"
            self.ip("link", "add", self.device, "type", "veth", "peer", "name", "pwpeer0")
            self.ip("link", "set", "pwpeer0", "up")
            self.ip("link", "set", self.device, "up")
            # A new address is promoted when the old one goes, so the interface is
            # never without one (a moment without would read as 127.0.0.1).
            self.run("sysctl", "-q", "-w", "net.ipv4.conf.%s.promote_secondaries=1" % self.device)
            self.address = None
            self.change_address(address)
        except Exception:
            self.close()
            raise

    def ip(self, *args, check=True):
        return run("ip", "-n", self.name, *args, check=check)

    def change_address(self, address):
        """Moves the interface, and the default route through it, to `address`."""
        self.ip("addr", "add", address + "/24", "dev", self.device)
        if self.address:
            self.ip("addr", "del", self.address + "/24", "dev", self.device)
        gateway = address.rsplit(".", 1)[0] + ".1"
        self.ip("route", "replace", "default", "via", gateway, "dev", self.device, "onlink")
        self.address = address

    def command(self, *args):
        # With names of its own, a program sees its own /etc/hosts, in a mount
        # namespace of its own.
        own = ["unshare", "-m", "sh", "-c", 'mount --bind "$0" /etc/hosts && exec "$@"',
               self.hosts.name] if self.hosts else []
        return ["ip", "netns", "exec", self.name, *own, *args]

    def run(self, *args):
        return run(*self.command(*args))

    def add_unreachable_ipv6(self, name):
        """For programs started from now on, `name` has an IPv6 address nobody
        answers before 127.0.0.1: its frames go to a link address no one has, so a
        connection to it hangs instead of failing."""
        self.ip("-6", "addr", "add", "2001:db8:77::2/64", "dev", self.device, "nodad")
        self.ip("-6", "neigh", "replace", "2001:db8:77::25", "lladdr", "02:00:00:00:00:25",
                "dev", self.device, "nud", "permanent")
        self.hosts = tempfile.NamedTemporaryFile("w", prefix="pellwick-hosts-")
        self.hosts.write("127.0.0.1 localhost\n2001:db8:77::25 %s\n127.0.0.1 %s\n" % (name, name))
        self.hosts.flush()

    def listen(self, name):
        """A datagram socket bound, inside the namespace, to the abstract name
        `name`: abstract names are the network namespace's own."""
        libc = ctypes.CDLL(None, use_errno=True)
        with open("/proc/self/ns/net") as own, open("/run/netns/" + self.name) as other:
            check(libc.setns(other.fileno(), 0x40000000) == 0, "setns: %d" % ctypes.get_errno())
            try:
                listener = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
                listener.bind("\0" + name)
                listener.settimeout(10)
                return listener
            finally:
                check(libc.setns(own.fileno(), 0x40000000) == 0, "setns: %d" % ctypes.get_errno())

    def close(self):
        run("ip", "netns", "del", self.name, check=False)
        if self.hosts:
            self.hosts.close()


class Sink(Closing):
    """aiosmtpd on a port of the namespace's loopback, with smtp_sink.py's options."""

    def __init__(self, namespace, port=25, *options):
        self.folder = tempfile.mkdtemp(prefix="pellwick-sink-")
        self.process = subprocess.Popen(
            namespace.command(PYTHON, SINK, "--dir", self.folder, "--host", "localhost",
                              "--port", str(port), *options),
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.port = int(self.process.stdout.readline())

    def messages(self):
        found = []
        while os.path.exists(path := os.path.join(self.folder, "%d.data" % (len(found) + 1))):
            found.append(pathlib.Path(path).read_bytes().decode("utf-8", "replace"))
        return found

    def wait(self, count, timeout=20):
        """The mails once there are `count` (with no timeout: now), and no more."""
        mails = wait_for(lambda: len(self.messages()) >= count and self.messages(), timeout,
                         "mail %d" % count)
        check(len(mails) == count, "%d mails" % len(mails))
        return mails

    def close(self):
        self.process.stdin.close()
        self.process.wait(10)
        shutil.rmtree(self.folder, ignore_errors=True)


class Display(Closing):
    """An Xvfb display inside the namespace, optionally with a tray host."""

    def __init__(self, namespace, tray=False):
        self.namespace = namespace
        self.number = 50 + os.getpid() % 200
        self.name = ":%d" % self.number
        self.processes = []
        self.start("Xvfb", self.name, "-screen", "0", "1024x768x24", "-nolisten", "tcp")
        wait_for(lambda: os.path.exists("/tmp/.X11-unix/X%d" % self.number), 10, "Xvfb")
        if tray:
            # A window manager, so that minimising and restoring are real.
            self.start("openbox")
            self.start("trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request",
                       "--height", "28", "--SetDockType", "false", "--transparent", "false")
            time.sleep(0.5)

    def command(self, *args):
        return self.namespace.command("env", "DISPLAY=" + self.name, *args)

    def start(self, *args):
        self.processes.append(subprocess.Popen(self.command(*args), stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL))

    def xdotool(self, *args, check=False):
        return run(*self.command("xdotool", *args), check=check)

    def x(self, *args):
        return run(*self.command(*args), check=False).stdout

    def windows(self, pattern, visible=True):
        only = ["--onlyvisible"] if visible else []
        return self.xdotool("search", *only, "--name", pattern).stdout.split()

    def tray_icons(self):
        """The program's icon windows inside trayer's panel."""
        panel = re.search(r'^\s*(0x[0-9a-f]+) .*\("panel" "trayer"\)',
                          self.x("xwininfo", "-root", "-tree"), re.M)
        if not panel:
            return []
        tree = self.x("xwininfo", "-tree", "-id", panel.group(1))
        return re.findall(r'^\s*(0x[0-9a-f]+) .*\("pellwick" ', tree, re.M | re.I)

    def popup_menu(self, program="pellwick", skip=None):
        """Geometry of the program's open popup menu: a shown window of X class
        `program`, not its main window nor `skip`, taller than the tray icon."""
        found = self.xdotool("search", "--onlyvisible", "--classname",
                             "^%s$" % re.escape(program)).stdout
        for window in found.split():
            if window == skip or TITLE in self.xdotool("getwindowname", window).stdout:
                continue
            shell = self.xdotool("getwindowgeometry", "--shell", window).stdout
            geometry = {k.lower(): int(v) for k, v in re.findall(r"^(\w+)=(-?\d+)$", shell, re.M)}
            if geometry.get("height", 0) > 100:
                return geometry
        return None

    def click(self, window, button, repeat=1):
        self.xdotool("mousemove", "--window", window, "8", "8", "click", "--repeat",
                     str(repeat), "--delay", "80", str(button), check=True)

    def click_at(self, x, y, button):
        self.xdotool("mousemove", str(x), str(y), "click", str(button), check=True)

    def close(self):
        for process in reversed(self.processes):
            process.terminate()
            process.wait(10)


class Pellwick(Closing):
    """The real program with configuration and runtime folders of its own; with
    no display it runs with none (DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM unset)."""

    def __init__(self, binary, namespace, display, hive_values, arguments=(), environment=(),
                 journal=False):
        """journal: both output streams are the journal's, as systemd tells
        with JOURNAL_STREAM; read them with output_until()."""
        self.config = tempfile.mkdtemp(prefix="pellwick-config-")
        self.hive = os.path.join(self.config, "pellwick", "registry.reg")
        os.makedirs(os.path.dirname(self.hive))
        # A text is the file as it stands, values are written as the program would.
        self.given = hive_values if isinstance(hive_values, str) else hive_text(hive_values)
        pathlib.Path(self.hive).write_text(self.given, newline="")
        self.command = namespace.command(
            "env", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
            *(["DISPLAY=" + display.name] if display else ["-u", "DISPLAY"]),
            "XDG_CONFIG_HOME=" + self.config, "XDG_RUNTIME_DIR=" + self.config, *environment)
        output, write = os.pipe() if journal else (None, subprocess.PIPE)
        if journal:
            stream = os.fstat(write)
            self.command.append("JOURNAL_STREAM=%d:%d" % (stream.st_dev, stream.st_ino))
        self.command.append(binary)
        self.process = subprocess.Popen(self.command + list(arguments), stdout=write,
                                        stderr=subprocess.STDOUT, text=True)
        if journal:
            os.close(write)
            self.process.stdout = open(output)
        self.output = ""

    def output_until(self, text, timeout=10):
        """What the program wrote so far, once it holds `text`."""
        fd = self.process.stdout.fileno()
        deadline = time.monotonic() + timeout
        while text not in self.output:
            ready = select.select([fd], [], [], max(0, deadline - time.monotonic()))[0]
            chunk = os.read(fd, 65536).decode() if ready else ""
            check(chunk, "no %r in %r" % (text, self.output))
            self.output += chunk
        return self.output

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(10)
        shutil.rmtree(self.config, ignore_errors=True)


def hive_text(values):
    """A hive file holding the given settings; ints as dwords, texts as strings."""
    lines = ["REGEDIT4", "", "[HKEY_LOCAL_MACHINE\\Software\\Pellwick]"]
    lines += ['"%s"=dword:%08x' % (name, value & 0xFFFFFFFF) if isinstance(value, int)
              else '"%s"="%s"' % (name, value.replace("\\", "\\\\").replace('"', '\\"'))
              for name, value in values.items()]
    return "\r\n".join(lines) + "\r\n\r\n"
