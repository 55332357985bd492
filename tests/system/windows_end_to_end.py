# SPDX-License-Identifier: MIT
"""End-to-end runs of Pellwick.exe under Wine, in a network namespace of its own
(harness.py) with a Wine server inside it: Wine's server makes the sockets.

    windows_end_to_end.py PATH/TO/Pellwick.exe    (WINEPREFIX: a prepared prefix)

Needs root; else exits 77.
"""

import fcntl
import glob
import os
import pty
import re
import shutil
import subprocess
import sys
import tempfile
import termios

import harness
from harness import check

ADDRESS = "192.0.2.10"
NEW_ADDRESS = "192.0.2.20"
WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
KEY = "HKEY_LOCAL_MACHINE\\Software\\Pellwick"
RUN_KEY = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"
PASSWORD = "pa55 word"


class Running(subprocess.Popen):
    """A process that a `with` block ends by killing it, not by waiting for it."""

    def __exit__(self, *exception):
        self.kill()
        self.wait(10)


class WinePrefix(harness.Closing):
    """A copy of the prepared prefix (hard links, the registry files copied) and a
    persistent Wine server for it inside the namespace."""

    def __init__(self, namespace):
        self.namespace = namespace
        prepared = os.environ.get("WINEPREFIX", "")
        if not os.path.isfile(os.path.join(prepared, "system.reg")):
            raise RuntimeError("WINEPREFIX must name a prepared Wine prefix")
        self.path = tempfile.mkdtemp(prefix="pellwick-wine-")
        subprocess.run(["cp", "-al", prepared + "/.", self.path], check=True)
        for hive in glob.glob(os.path.join(self.path, "*.reg")):
            shutil.copyfile(hive, hive + ".copy")
            os.replace(hive + ".copy", hive)
        self.command(WINESERVER, "-p")

    def start(self, *args, display=None, output=subprocess.DEVNULL, terminal=None):
        """A program started in the prefix, running on; with `terminal` (a
        pseudo-terminal) as its controlling terminal and streams."""
        environment = ["DISPLAY=" + display.name] if display else ["-u", "DISPLAY"]
        environment += ["WINEPREFIX=" + self.path, "WINEDEBUG=-all"]
        command = self.namespace.command("env", *environment, *args)
        if terminal is not None:
            return Running(command, stdin=terminal, stdout=terminal, stderr=terminal,
                           start_new_session=True,
                           preexec_fn=lambda: fcntl.ioctl(0, termios.TIOCSCTTY, 0))
        return Running(command, stdin=subprocess.DEVNULL, stdout=output, stderr=subprocess.STDOUT)

    def command(self, *args, display=None, timeout=60):
        """Status and output of a program. The output goes through a file: Wine's
        own processes, started along the way, would hold a pipe open long after."""
        with tempfile.TemporaryFile() as output:
            status = self.start(*args, display=display, output=output).wait(timeout)
            output.seek(0)
            return status, output.read().decode("utf-8", "replace")

    def close(self):
        self.command(WINESERVER, "-k")
        self.command(WINESERVER, "-w")
        shutil.rmtree(self.path, ignore_errors=True)


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def import_settings(prefix, display, changes=None):
    """The settings of a log-in run, with `changes`, imported by regedit."""
    values = {"SMTPServer": "localhost", "Recipient": "one@example.com",
              "Sender": "pellwick@example.com", "Subject": "IP [IPADDRESS]", "AutoMail": 1,
              "AutoExit": 1, "EmailOnIPStartup": 1, "DisplayIcon": 0, "ShowDebug": 1,
              "Msg": "Here is [IPADDRESS]", "SMTPPort": 25, "SMTPSecurity": 0, "SMTPUser": ""}
    values.update(changes or {})
    with tempfile.NamedTemporaryFile("w", suffix=".reg", newline="") as f:
        f.write(harness.hive_text(values))
        f.flush()
        check(prefix.command(WINE, "regedit", "/s", f.name, display=display)[0] == 0, "regedit")


def run(exe, prefix, sink, display):
    def wine(*args):
        return prefix.command(WINE, *args, display=display)

    # What an earlier run left would decide nothing: the import sets the rest.
    wine("reg", "delete", KEY, "/f")
    wine("reg", "delete", RUN_KEY, "/v", "Pellwick", "/f")
    import_settings(prefix, display)
    imported = wine("reg", "query", KEY)[1]

    check(wine(exe, "/s")[0] == 0, "the log-in run failed")
    mails = sink.wait(1, 0)
    check("Subject: IP " + ADDRESS + "\r\n" in mails[0], mails)

    # The run changed no setting, so it wrote none.
    values = wine("reg", "query", KEY)[1]
    check(values == imported, "the settings changed: " + values)
    run_value = wine("reg", "query", RUN_KEY, "/v", "Pellwick")[1]
    check(re.search(r'REG_SZ\s+"?%s"? /s\r?$' % re.escape(windows_path(exe)), run_value, re.M),
          "Run value: " + run_value)

    # One program per user: while one runs, a second start hands over and ends.
    # (Closing its window, which saves, is the installer's test's upgrade.)
    wine("reg", "add", KEY, "/v", "AutoMail", "/t", "REG_DWORD", "/d", "0", "/f")
    with prefix.start(WINE, exe, display=display) as first:
        harness.wait_for(lambda: display.windows("^Pellwick"), 30, "the first window")
        check(wine(exe)[0] == 0, "the second start did not end by itself")
        check(first.poll() is None and len(display.windows("^Pellwick")) == 1, "not one window")


def run_without_window(exe, prefix, sink, display, folder):
    """--send-now: its status and printed line, the login's password from a file.
    Then --headless: its mails at start and for a new address with a subject set
    meanwhile, the settings commands and --status beside it, no window, Ctrl+C."""
    # The login sink (TLS over SChannel is winsock_socket_test's). The password is
    # in a file only its owner may read, in one others may read too, and nowhere.
    login = {"SMTPPort": 465, "SMTPUser": "alice"}
    files = {name: ["--password-file", windows_path(os.path.join(folder, name))]
             for name in ("private", "open", "missing")}
    for name, mode in (("private", 0o600), ("open", 0o644)):
        with open(os.path.join(folder, name), "w") as f:
            f.write(PASSWORD + "\r\n")
        os.chmod(f.name, mode)
    # A name whose IPv6 address never answers delivers over its IPv4 one, long
    # before the connection's 30 s are up.
    prefix.namespace.add_unreachable_ipv6("mail.test")
    cases = [({"SMTPServer": "127.0.0.2"}, [], 75, "connection refused"),
             (dict(login, SMTPServer="mail.test"), files["private"], 0, "250 OK"),
             (login, files["open"], 78, "others than its owner may read or change it"),
             (login, files["missing"], 78, "could not be read"),
             (login, files["private"], 0, "250 OK")]
    with harness.Sink(prefix.namespace, 465, "--login", "alice:" + PASSWORD) as secure:
        for changes, arguments, expected, line in cases:
            import_settings(prefix, display, changes)
            status, output = prefix.command(WINE, exe, "--send-now", *arguments)
            check((status, line in output) == (expected, True),
                  "%s %s: %d %r" % (changes, arguments, status, output))
        # The sink takes mail only after that login.
        secure.wait(2, 0)
    sink.wait(1, 0)

    # Ctrl+C where it was started ends the run as closing it does: a run that
    # changed nothing writes nothing, and an edit made meanwhile stays. Wine gives
    # a program a console only on a terminal, so this run gets a pseudo-terminal.
    import_settings(prefix, display, {"AutoMail": 1, "AutoEmailOnNewIP": 1})
    prefix.command(WINE, "reg", "delete", KEY, "/v", "ShowDebug", "/f")
    keyboard, terminal = pty.openpty()
    with prefix.start(WINE, exe, "--headless", display=display, terminal=terminal) as headless, \
            os.fdopen(keyboard, "wb", 0) as keys:
        os.close(terminal)
        sink.wait(2, 30)
        check(not display.windows("Pellwick"), "a window shown")
        # A subject set in the registry meanwhile is taken in at once.
        prefix.command(WINE, "reg", "add", KEY, "/v", "Subject", "/d", "Moved [IPADDRESS]", "/f")
        # The settings commands go to the running program, which mails with them.
        for arguments, expected in ((["--set", "msg=Set [IPADDRESS]"], (0, "")),
                                    (["--get", "MSG"], (0, "Set [IPADDRESS]\n"))):
            status, output = prefix.command(WINE, exe, *arguments)
            check(status == expected[0] and expected[1] in output.replace("\r\n", "\n"),
                  "%s: %d %r" % (arguments, status, output))
        status, output = prefix.command(WINE, exe, "--status")
        check(status == 0 and "Address: %s" % ADDRESS in output, "--status: %r" % output)
        # Wine never calls back on an address change: there the program reads
        # the address at every tick, and the new one is seen within 5 s.
        prefix.namespace.change_address(NEW_ADDRESS)
        mails = sink.wait(3, 30)
        check("Subject: Moved " + NEW_ADDRESS + "\r\n" in mails[2]
              and "Set " + NEW_ADDRESS in mails[2], mails[2])
        prefix.command(WINE, "reg", "add", KEY, "/v", "Subject", "/d", "edited", "/f")
        keys.write(b"\x03")
        check(headless.wait(30) == 0, "Ctrl+C did not end the headless run")
        values = prefix.command(WINE, "reg", "query", KEY)[1]
        check("ShowDebug" not in values and re.search(r"Subject\s+REG_SZ\s+edited", values),
              "the headless run wrote what it did not change: " + values)
        check(prefix.command(WINE, exe, "--status")[0] == 3, "--status with none running")


def main():
    exe = os.path.abspath(sys.argv[1])
    with harness.Namespace(ADDRESS) as namespace, harness.Sink(namespace) as sink, \
            harness.Display(namespace) as display, WinePrefix(namespace) as prefix, \
            tempfile.TemporaryDirectory() as folder:
        run(exe, prefix, sink, display)
        run_without_window(exe, prefix, sink, display, folder)
    print("passed: windows_login_run")
    return 0


if __name__ == "__main__":
    sys.exit(main())
