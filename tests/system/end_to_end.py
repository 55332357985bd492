# SPDX-License-Identifier: MIT
"""End-to-end runs of the real pellwick binary, each in a namespace of its own
(harness.py). Needs root; else exits 77.

    end_to_end.py SCENARIO PATH/TO/pellwick
"""

import contextlib
import os
import pathlib
import re
import signal
import sys
import time

import harness
from harness import check

ADDRESS = "10.77.0.2"
NEW_ADDRESS = "10.77.0.3"

def check_saved_exit(program, status, expected=None):
    """A saving exit of a run that changed no setting: the file as it was."""
    saved = read_hive(program)
    check(status == 0 and saved == (expected or program.given), "%d, %r" % (status, saved))


def scenario_without_display(binary, namespace, sink, display):
    # --send-now: one mail at most, told by its exit status.
    cases = [({}, 0, "250 OK"),
             ({"SMTPServer": " "}, 78, "No SMTP server is set."),
             # Neither switch and no display: a line and status 1, not an abort.
             ({"AutoMail": 1}, 1, "no display to show the window on")]
    for values, expected, line in cases:
        arguments = [] if expected == 1 else ["--send-now"]
        with harness.Pellwick(binary, namespace, None, values, arguments) as program:
            status, output = program.process.wait(60), program.process.stdout.read()
            check(status == expected and line in output, "%s: %d, %r" % (values, status, output))
            check(read_hive(program) == program.given, "replaced")
    sink.wait(1, 0)

    # As systemd runs it: told of the start and of the end on its socket, each
    # line with its priority for the journal.
    notify = namespace.listen("pellwick-notify")
    with harness.Pellwick(binary, namespace, None, {"AutoMail": 1}, ["--headless"],
                          ["NOTIFY_SOCKET=@pellwick-notify"], journal=True) as program:
        sink.wait(2)
        check(notify.recv(64) == b"READY=1", "no READY=1")
        # The running one takes a change at once and mails with it.
        check(run_command(program, "--set", "MSG=Set at [IPADDRESS]") == (0, ""), "--set")
        check(run_command(program, "--get", "Msg") == (0, "Set at [IPADDRESS]\n"), "--get")
        # Another user let into the running program's folder is refused by the
        # program itself (before they say anything), which says so.
        nobody = namespace.command("setpriv", "--reuid=65534", "--regid=65534", "--clear-groups")
        folder = os.path.join(program.config, "pellwick")
        talk = os.path.join(folder, "pellwick.socket")
        for path, mode in ((program.config, 0o711), (folder, 0o711), (talk, 0o777)):
            os.chmod(path, mode)
        talk = ("import socket; s = socket.socket(socket.AF_UNIX); s.connect(%r); "
                "print(s.recv(4096))" % talk)
        reply = harness.run(*nobody, harness.PYTHON, "-c", talk, check=False)
        check((reply.stdout + reply.stderr).startswith("b'77\\x00"), reply)
        # A subject edited in the file is taken in while the program runs.
        edited = read_hive(program)[:-2] + '"Subject"="Moved to [IPADDRESS]"\r\n\r\n'
        pathlib.Path(program.hive).write_text(edited, newline="")
        program.output_until("The stored value Subject was changed outside")
        # Told by the kernel, the address is read at once; the tick itself reads
        # it only once a minute, so a mail within seconds was not the tick's.
        namespace.change_address(NEW_ADDRESS)
        mails = sink.wait(3, 4)
        check("Subject: Moved to %s\r\n" % NEW_ADDRESS in mails[2]
              and "Set at %s" % NEW_ADDRESS in mails[2], mails[2])
        # A value edited meanwhile outlives the run's save, and so do those set.
        edited = read_hive(program)[:-2] + '"Recipient"="ops@localhost"\r\n\r\n'
        pathlib.Path(program.hive).write_text(edited, newline="")
        program.process.send_signal(signal.SIGTERM)
        check_saved_exit(program, program.process.wait(10), edited)
        check(notify.recv(64) == b"STOPPING=1", "no STOPPING=1")
        lines = (program.output + program.process.stdout.read()).splitlines()
        check(all(re.match("<[346]>", line) for line in lines), lines)
        check(any("refused a request of user 65534" in line for line in lines), "not logged")


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
    sink.wait(1, 0)


def read_hive(program):
    return pathlib.Path(program.hive).read_bytes().decode()


def run_command(program, *arguments):
    """A settings command beside `program`: its status and its output."""
    done = harness.run(*program.command, *arguments, timeout=20, check=False)
    return done.returncode, done.stdout + done.stderr


def scenario_tray_mail_and_exit(binary, namespace, sink, display):
    values = {"AutoMail": 1, "StartMinimized": 1}
    with harness.Pellwick(binary, namespace, display, values) as program:
        first = sink.wait(1)
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
        sink.wait(1, 0)


SCENARIOS = {"tray_mail_and_exit": scenario_tray_mail_and_exit,
             "without_display": scenario_without_display,
             "unreachable_ipv6": scenario_unreachable_ipv6}


def main():
    name, binary = sys.argv[1], os.path.abspath(sys.argv[2])
    with harness.Namespace(ADDRESS) as namespace, harness.Sink(namespace) as sink, \
            (harness.Display(namespace, tray=True) if name.startswith("tray")
             else contextlib.nullcontext()) as display:
        SCENARIOS[name](binary, namespace, sink, display)
    print("passed:", name)
    return 0


if __name__ == "__main__":
    sys.exit(main())
