# SPDX-License-Identifier: MIT
"""End-to-end runs of the real pellwick binary, each in a namespace of its own
(harness.py). Needs root; else exits 77.

    end_to_end.py SCENARIO PATH/TO/pellwick
"""

import contextlib
import os
import pathlib
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import harness
from harness import check

ADDRESS = "10.77.0.2"
NEW_ADDRESS = "10.77.0.3"

def check_saved_exit(program, status, expected=None):
    """A saving exit of a run that changed no setting: the file as it was."""
    saved = read_hive(program)
    check(status == 0 and saved == (expected or program.given), "%d, %r" % (status, saved))


def check_mails(sink, count):
    check(len(sink.messages()) == count, "%d mails" % len(sink.messages()))


def scenario_without_display(binary, namespace, sink, display):
    # --send-now: one mail at most, told by its exit status.
    cases = [({}, 0, "250 OK"),
             ({"Recipient": "refused@localhost"}, 69, "550 5.1.1 No such user"),
             ({"SMTPServer": " "}, 78, "No SMTP server is set."),
             ({"Recipient": "a@example.org>, <evil@x"}, 78, "is not an email address"),
             # A file cut short is never mailed from, nor replaced.
             (harness.hive_text({"Recipient": "ops@localhost"})[:-9], 78,
              "cannot read the settings file"),
             # Neither switch and no display: a line and status 1, not an abort.
             ({"AutoMail": 1}, 1, "no display to show the window on")]
    for values, expected, line in cases:
        arguments = [] if expected == 1 else ["--send-now"]
        with harness.Pellwick(binary, namespace, None, values, arguments) as program:
            status, output = program.process.wait(60), program.process.stdout.read()
            check(status == expected and line in output, "%s: %d, %r" % (values, status, output))
            check(read_hive(program) == program.given, "replaced")
    check_mails(sink, 1)

    with harness.Pellwick(binary, namespace, None, {"AutoMail": 1}, ["--status"]) as program:
        check(program.process.wait(20) == 3, "--status with none running")
        # The settings commands: with none running, on the file.
        check(run_command(program, "--set", "smtpport=2525", "AutoMail=1") == (0, ""), "--set")
        check(re.search(r'"SMTPPort"=dword:000009dd\r\n', read_hive(program)), "not written")
        for bad in (["--set", "SMTPPort=0"], ["--get", "NoSuchName"], ["--bogus"]):
            status, output = run_command(program, *bad)
            check(status == 64 and len(output.splitlines()) == 1, (bad, status, output))

    # As systemd runs it: told of the start and of the end on its socket, each
    # line with its priority for the journal, the log-in entry left alone.
    notify = namespace.listen("pellwick-notify")
    with harness.Pellwick(binary, namespace, None, {"AutoMail": 1}, ["--headless"],
                          ["NOTIFY_SOCKET=@pellwick-notify"], journal=True) as program:
        harness.wait_for(lambda: len(sink.messages()) == 2, 20, "the start-up mail")
        check(notify.recv(64) == b"READY=1", "no READY=1")
        # A second start hands over and ends at once, saying why: no mail, no save.
        before = os.stat(program.hive).st_mtime_ns
        beside = "Pellwick is already running without a window (process %d)" % program.process.pid
        second = harness.run(*program.command, "--headless", timeout=20, check=False)
        check(second.returncode == 0 and beside in second.stderr, "second start: %r" % second)
        check(os.stat(program.hive).st_mtime_ns == before, "the second start saved")
        # A window start beside it: the same line, and the same in a message box.
        with harness.Display(namespace) as shown:
            command = program.command[:-1] + ["DISPLAY=" + shown.name, binary]
            window = subprocess.Popen(command, text=True, stderr=subprocess.PIPE)
            box = harness.wait_for(lambda: shown.windows("^Pellwick$"), 20, "the message box")
            shown.xdotool("key", "--window", box[0], "Return")
            check(window.wait(10) == 0 and beside in window.stderr.read(), "window start")
        # The running one takes a change at once, saves it and mails with it.
        check(run_command(program, "--set", "MSG=Set at [IPADDRESS]") == (0, ""), "--set")
        check(run_command(program, "--unset", "automail") == (0, ""), "--unset")
        check(run_command(program, "--get", "Msg") == (0, "Set at [IPADDRESS]\n"), "--get")
        status, listing = run_command(program, "--list")
        check(status == 0 and "AutoMail          dword  0  (default)\n" in listing, listing)
        check(run_command(program, "--set", "ShowIP=3")[0] == 64, "a bad value taken")
        status, report = run_command(program, "--status")
        check(status == 0 and "Address: %s\n" % ADDRESS in report
              and ", to root@localhost, delivered: 250" in report, report)
        check('"Msg"="Set at [IPADDRESS]"' in read_hive(program), "not saved at once")
        # Another user cannot reach the running program's folder, and when let in,
        # the program itself refuses them (before they say anything) and says so.
        nobody = namespace.command("setpriv", "--reuid=65534", "--regid=65534", "--clear-groups")
        denied = harness.run(*nobody, *program.command[4:], "--set", "Subject=x", check=False,
                             timeout=20)
        check(denied.returncode != 0, "another user's --set: %r" % denied)
        folder = os.path.join(program.config, "pellwick")
        talk = os.path.join(folder, "pellwick.socket")
        for path, mode in ((program.config, 0o711), (folder, 0o711), (talk, 0o777)):
            os.chmod(path, mode)
        talk = ("import socket; s = socket.socket(socket.AF_UNIX); s.connect(%r); "
                "print(s.recv(4096))" % talk)
        reply = harness.run(*nobody, harness.PYTHON, "-c", talk, check=False)
        check((reply.stdout + reply.stderr).startswith("b'77\\x00"), reply)
        os.chmod(program.config, 0o700)
        os.chmod(folder, 0o700)
        # A subject edited in the file is taken in while the program runs.
        edited = read_hive(program)[:-2] + '"Subject"="Moved to [IPADDRESS]"\r\n\r\n'
        pathlib.Path(program.hive).write_text(edited, newline="")
        program.output_until("The stored value Subject was changed outside")
        # Told by the kernel, the address is read at once; the tick itself reads
        # it only once a minute, so a mail within seconds was not the tick's.
        namespace.change_address(NEW_ADDRESS)
        mails = harness.wait_for(lambda: len(sink.messages()) >= 3 and sink.messages(), 4,
                                 "the mail for the new address")
        check_mails(sink, 3)
        check("Subject: Moved to %s\r\n" % NEW_ADDRESS in mails[2]
              and "Set at %s" % NEW_ADDRESS in mails[2], mails[2])
        # A value edited meanwhile outlives the run's save, and so do those set.
        edited = read_hive(program)[:-2] + '"Recipient"="ops@localhost"\r\n\r\n'
        pathlib.Path(program.hive).write_text(edited, newline="")
        program.process.send_signal(signal.SIGTERM)
        check_saved_exit(program, program.process.wait(10), edited)
        check(notify.recv(64) == b"STOPPING=1", "no STOPPING=1")
        lines = (program.output + program.process.stdout.read()).splitlines()
        check(sum(line.startswith("<6>Pellwick: the email was sent: 250") for line in lines) == 2,
              lines)
        check(all(re.match("<[346]>", line) for line in lines), lines)
        check(any("refused a request of user 65534" in line for line in lines), "not logged")
        check(not os.path.exists(os.path.join(program.config, "autostart")), "autostart entry")


def scenario_ipv6(binary, namespace, sink, display):
    # A router namespace advertises 2001:db8::/64 on a link of its own (radvd);
    # this side keeps privacy addresses too, so it has a stable one and a
    # temporary one, which is never mailed.
    router = "pwrtr%d" % os.getpid()
    harness.run("ip", "netns", "add", router)
    folder = tempfile.mkdtemp(prefix="pellwick-radvd-")
    try:
        namespace.ip("link", "add", "pw6", "type", "veth", "peer", "name", "pw6r", "netns", router)
        harness.run(*namespace.command("sysctl", "-q", "-w", "net.ipv6.conf.pw6.use_tempaddr=2",
                                       "net.ipv6.conf.pw6.accept_ra=1"))
        harness.run("ip", "netns", "exec", router, "sysctl", "-q", "-w",
                    "net.ipv6.conf.all.forwarding=1")
        namespace.ip("link", "set", "pw6", "up")
        harness.run("ip", "-n", router, "link", "set", "pw6r", "up")
        conf = pathlib.Path(folder, "radvd.conf")
        conf.write_text("interface pw6r { AdvSendAdvert on; MinRtrAdvInterval 3; "
                        "MaxRtrAdvInterval 4; AdvDefaultLifetime 1800; prefix 2001:db8::/64 {}; };")
        radvd = subprocess.Popen(["ip", "netns", "exec", router, "radvd", "-n", "-C", str(conf),
                                  "-p", os.path.join(folder, "pid"), "-m", "stderr"],
                                 stderr=subprocess.DEVNULL)

        def addresses():
            shown = namespace.ip("-6", "-o", "addr", "show", "dev", "pw6", "scope", "global").stdout
            found = {("temporary" in line, "tentative" in line): line.split()[3].split("/")[0]
                     for line in shown.splitlines()}
            return found if (False, False) in found and (True, False) in found else None
        found = harness.wait_for(addresses, 20, "a stable and a temporary address")
        # Nothing renews the addresses from now on, so a deprecated one stays so.
        radvd.kill()
        radvd.wait(10)
        # A second stable address: deprecating the advertised one deprecates its
        # temporary one too.
        stable = {found[(False, False)], "2001:db8::5"}
        namespace.ip("-6", "addr", "add", "2001:db8::5/64", "dev", "pw6", "nodad")

        values = {"AutoMail": 1, "AutoEmailOnNewIP": 1, "Subject": "at [IPV6ADDRESS]"}
        with harness.Pellwick(binary, namespace, None, values, ["--headless"]) as program:
            first = harness.wait_for(lambda: sink.messages(), 20, "the start-up mail")[0]
            chosen = re.search(r"Subject: at (\S+)\r\n", first)
            check(chosen and chosen.group(1) in stable, first)
            namespace.ip("-6", "addr", "change", chosen.group(1) + "/64", "dev", "pw6",
                         "preferred_lft", "0")
            mails = harness.wait_for(lambda: len(sink.messages()) >= 2 and sink.messages(), 4,
                                     "the mail for the other stable address")
            other = (stable - {chosen.group(1)}).pop()
            check("Subject: at %s\r\n" % other in mails[1], mails[1])
            # One move, one mail.
            harness.wait_for(lambda: len(sink.messages()) > 2, 2, "no third mail", quiet=True)
            check_mails(sink, 2)
    finally:
        harness.run("ip", "netns", "del", router, check=False)
        shutil.rmtree(folder, ignore_errors=True)


def scenario_unreachable_ipv6(binary, namespace, sink, display):
    # The server's name has an IPv6 address nobody answers before its IPv4 one,
    # where the sink listens.
    namespace.add_unreachable_ipv6("mail.test")
    order = harness.run(*namespace.command("getent", "ahosts", "mail.test")).stdout
    check(order.startswith("2001:db8:77::25 "), "the resolver's order: %r" % order)
    started = time.monotonic()
    with harness.Pellwick(binary, namespace, None, {"SMTPServer": "mail.test"},
                          ["--send-now"]) as program:
        # Far below the minutes a hanging connection takes to fail.
        status, elapsed = program.process.wait(60), time.monotonic() - started
        check(status == 0 and elapsed < 5, "status %d after %.1f s: %s"
              % (status, elapsed, program.process.stdout.read()))
    check_mails(sink, 1)
    # No IPv6 default route here: a template that needs the address fails for now.
    with harness.Pellwick(binary, namespace, None, {"Subject": "at [IPV6ADDRESS]"},
                          ["--send-now"]) as program:
        status, output = program.process.wait(60), program.process.stdout.read()
        check(status == 75 and "IPv6 address is not known" in output, "%d %r" % (status, output))


def read_hive(program):
    return pathlib.Path(program.hive).read_bytes().decode()


def run_command(program, *arguments):
    """A settings command beside `program`: its status and its output."""
    done = harness.run(*program.command, *arguments, timeout=20, check=False)
    return done.returncode, done.stdout + done.stderr


def scenario_tray_mail_and_exit(binary, namespace, sink, display):
    values = {"AutoMail": 1, "StartMinimized": 1}
    with harness.Pellwick(binary, namespace, display, values) as program:
        first = harness.wait_for(lambda: sink.messages(), 20, "the start-up mail")
        check("Subject: Your New IP is %s\r\n" % ADDRESS in first[0], first[0])
        # The login entry, under the same configuration folder as the hive.
        entry = pathlib.Path(program.config, "autostart", "pellwick.desktop").read_text()
        check(re.search(r"^Exec=.* /s$", entry, re.M), "autostart entry: %r" % entry)

        icon = harness.wait_for(lambda: display.tray_icons(), 15, "the tray icon")
        check(len(icon) == 1, "%d tray icons" % len(icon))
        check(not display.windows("^" + re.escape(harness.TITLE)), "window shown while minimised")
        # A double-click on the icon brings the window back.
        display.click(icon[0], 1, repeat=2)
        window = harness.wait_for(lambda: display.windows("^" + re.escape(harness.TITLE)), 10,
                                  "the restored window")[0]
        check(display.windows("Your IP Is %s$" % ADDRESS) == [window], "no address in the caption")
        # A fixed window: the window manager offers neither maximise nor resize.
        actions = display.x("xprop", "-id", window, "_NET_WM_ALLOWED_ACTIONS")
        check("MINIMIZE" in actions and "MAXIMIZE" not in actions and "RESIZE" not in actions,
              actions)
        # A right-click opens the menu, once the tray host has embedded the icon
        # (made anew as the window shows); its last item, Exit, ends the program,
        # with nothing to save (and no second mail: nothing asked for one).
        def opened():
            for icon in display.tray_icons()[:1]:
                display.click(icon, 3)
            return harness.wait_for(display.popup_menu, 1, "the popup menu", quiet=True)
        menu = harness.wait_for(opened, 15, "the popup menu")
        display.click_at(menu["x"] + 20, menu["y"] + menu["height"] - 10, 1)
        check_saved_exit(program, program.process.wait(15))
        check_mails(sink, 1)


SCENARIOS = {"tray_mail_and_exit": scenario_tray_mail_and_exit,
             "without_display": scenario_without_display,
             "ipv6": scenario_ipv6,
             "unreachable_ipv6": scenario_unreachable_ipv6}


def main():
    name, binary = sys.argv[1], os.path.abspath(sys.argv[2])
    harness.exit_unless_root()
    with harness.Namespace(ADDRESS) as namespace, harness.Sink(namespace) as sink, \
            (harness.Display(namespace, tray=True) if name.startswith("tray")
             else contextlib.nullcontext()) as display:
        SCENARIOS[name](binary, namespace, sink, display)
    print("passed:", name)
    return 0


if __name__ == "__main__":
    sys.exit(main())
