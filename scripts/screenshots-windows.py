#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Photographs Pellwick.exe under Wine: its five tabs and the tray icon's popup
menu, into docs/screenshots/win32-*.png; on the way xdotool sends one mail from
the Email tab with the window's own button, so the Debug tab shows a real dialogue.

    scripts/screenshots-windows.py [BUILD_DIR] [DPI]    (default: build-win)

With DPI (as Wine's LogPixels setting), only the Email and Settings tabs, into
docs/screenshots/win32-DPIdpi-*.png, to show the layout at that resolution.

Everything runs in a network namespace of its own (root needed): Xvfb at 96 dpi
with Debian's trayer as the tray host, aiosmtpd on port 25 of its loopback, and
Wine on a copy of the build's prefix with a server of its own.
"""

import os
import re
import subprocess
import sys
import time

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(TOP, "tests", "system"))

import harness  # noqa: E402
import windows_end_to_end as windows  # noqa: E402

OUT = os.path.join(TOP, "docs", "screenshots")
TABS = ["email", "settings", "misc", "about", "debug"]


def tray_display(namespace):
    """An Xvfb display with trayer, once trayer's panel is up: Wine docks its icons
    only where a tray host runs when its desktop starts."""
    display = harness.Display(namespace, tray=True)
    harness.wait_for(lambda: '("panel" "trayer")' in display.x("xwininfo", "-root", "-tree"), 10,
                     "trayer")
    return display


def tray_icon(display):
    """A point on the program's icon in trayer's panel: its upper left corner."""
    tree = display.x("xwininfo", "-root", "-tree")
    # The last +X+Y of the line is the absolute place (a window manager may frame
    # the panel).
    panel = re.search(r'"panel": \("panel" "trayer"\)\s+\d+x\d+[+-]\d+[+-]\d+\s+\+(\d+)\+(\d+)',
                      tree)
    return int(panel.group(1)) + 3, int(panel.group(2)) + 3


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(TOP, "build-win"))
    dpi = int(sys.argv[2]) if len(sys.argv) > 2 else None
    exe = os.path.join(build, "src", "app", "Pellwick.exe")
    os.environ["WINEPREFIX"] = os.path.join(build, "wineprefix")
    # Boots the prefix when it is new; its server is not needed afterwards.
    subprocess.run(["bash", "-c", '. "$1/scripts/wine-session.sh" && wine_session_start "$2" '
                    "&& wine_session_stop", "-", TOP, os.environ["WINEPREFIX"]], check=True)

    namespace = harness.Namespace(windows.ADDRESS)
    sink = display = prefix = program = None
    try:
        sink = harness.Sink(namespace)
        display = tray_display(namespace)
        prefix = windows.WinePrefix(namespace)
        windows.import_settings(prefix, display, {"AutoMail": 0, "AutoExit": 0, "DisplayIcon": 1})
        if dpi:
            prefix.command(windows.WINE, "reg", "add", "HKCU\\Control Panel\\Desktop", "/v",
                           "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f", display=display)
        program = prefix.start(windows.WINE, exe, display=display)
        shoot(display, sink, dpi)
    finally:
        if program and program.poll() is None:
            program.kill()
        for part in (prefix, display, sink, namespace):
            if part:
                part.close()


def shoot(display, sink, dpi=None):
    window = harness.wait_for(lambda: display.windows("^Pellwick"), 30, "the window")[0]
    geometry = display.x("xwininfo", "-id", window)
    left = int(re.search(r"Absolute upper-left X:\s*(-?\d+)", geometry).group(1))
    top = int(re.search(r"Absolute upper-left Y:\s*(-?\d+)", geometry).group(1))

    def take(name, *crop):
        target = os.path.join(OUT, "win32-%s%s.png" % ("%ddpi-" % dpi if dpi else "", name))
        if crop:
            display.x("import", "-window", "root", "-crop", "%dx%d+%d+%d" % crop, target)
        else:
            display.x("import", "-window", window, target)

    def first_tab():
        # The first tab's header: the tab control takes the keyboard from here.
        display.click_at(left + 20, top + 16, 1)
        time.sleep(0.3)

    first_tab()
    take("email")
    if dpi:
        display.xdotool("key", "Right", check=True)
        time.sleep(0.3)
        take("settings")
        return
    # Tab order from the tab control: the three address fields, subject and
    # message, then the send button.
    display.xdotool("key", "--delay", "60", *(["Tab"] * 6), "space", check=True)
    harness.wait_for(sink.messages, 30, "the mail sent from the Email tab")
    first_tab()
    for name in TABS[1:]:
        display.xdotool("key", "Right", check=True)
        time.sleep(0.3)
        take(name)

    # The tray icon sits in trayer's panel; the right button opens the menu.
    # At the icon's upper left corner, so the menu opening above and left of the
    # pointer leaves the icon in sight.
    menu = None
    for _ in range(3):  # a click while Wine still docks the icon may go astray
        display.click_at(*tray_icon(display), 3)
        try:
            menu = harness.wait_for(lambda: display.popup_menu("pellwick.exe", window), 5,
                                    "the tray menu")
            break
        except AssertionError:
            display.xdotool("key", "Escape")
    if menu is None:
        raise AssertionError("no tray menu")
    x, y = menu["x"] - 8, menu["y"] - 8
    take("tray-menu", 1024 - x, 768 - y, x, y)
    display.xdotool("key", "Escape")


if __name__ == "__main__":
    main()
