#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""screen_reader_test.py ZARNIK: runs the program and uses it as a screen reader
does, through the AT-SPI bus alone: finds the decoder window's controls by
role and name, presses them by their accessible action, reads the result line
and hears the events that make a screen reader speak. Run it on a private
display inside its own D-Bus session (with-wm.sh, then dbus-run-session, so
that the accessibility bus is named after that display). Every wait
is bounded; the exit status is 0 when every check held."""

import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

TIMEOUT = 30.0
failures = []
heard = []


def pump():
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(what, probe):
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        pump()
        try:
            found = probe()
        except Exception:  # the tree may change under the probe
            found = None
        if found:
            return found
        time.sleep(0.05)
    raise TimeoutError(f"no {what} within {TIMEOUT:.0f} s")


def check(what, actual, expected):
    if actual != expected:
        failures.append(f"{what}: {actual!r}, expected {expected!r}")


def find_application(pid):
    # Asked afresh each time: the desktop's list fills as programs join.
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        try:
            app = desktop.getChildAtIndex(i)
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:  # a program leaving meanwhile
            continue
    return None


def find(root, role, name):
    return pyatspi.findDescendant(root, lambda node: node.getRole() == role and node.name == name)


def press(root, role, name):
    node = wait_for(f"{name!r}", lambda: find(root, role, name))
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    wanted = "Press" if role == pyatspi.ROLE_PUSH_BUTTON else names[0]
    if wanted not in names:
        failures.append(f"{name!r} offers {names}, not Press")
        return
    action.doAction(names.index(wanted))


def result_text(window):
    text = find(window, pyatspi.ROLE_TEXT, "Result").queryText()
    return text.getText(0, text.characterCount)


def main():
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1", LC_ALL="C.UTF-8")
    program = subprocess.Popen([sys.argv[1]], env=env)
    try:
        listener = lambda event: heard.append((event.type, event.source.name))
        pyatspi.Registry.registerEventListener(listener, "object:text-changed")
        app = wait_for("application on the AT-SPI bus", lambda: find_application(program.pid))
        window = wait_for("decoder window", lambda: find(app, pyatspi.ROLE_FRAME, "ZRK_1"))
        wait_for("result line", lambda: result_text(window) == "Please Select Color")

        press(window, pyatspi.ROLE_RADIO_BUTTON, "4 Color")
        wait_for("four-band mode", lambda: find(window, pyatspi.ROLE_RADIO_BUTTON, "4 Color").getState()
                 .contains(pyatspi.STATE_CHECKED))
        pump()
        heard.clear()
        for swatch in ["Band 1: Yellow, 4", "Band 2: Violet, 7", "Multiplier: Red, x100", "Tolerance: Gold, \u00b15%"]:
            press(window, pyatspi.ROLE_RADIO_BUTTON, swatch)
        # Read as spoken: the screen shows "_+5%".
        expected = "4.7   K Ohm    plus or minus 5 percent"
        try:
            wait_for("4.7 K Ohm in the result line", lambda: result_text(window) == expected)
        except TimeoutError as error:
            failures.append(f"{error}: {result_text(window)!r}")
        wait_for("the band labels' new names", lambda: find(window, pyatspi.ROLE_LABEL, "Band 2: Violet, 7"))
        # The chosen swatch is checked, the one chosen before in its column no more.
        state = lambda name: find(window, pyatspi.ROLE_RADIO_BUTTON, name).getState().contains(pyatspi.STATE_CHECKED)
        check("checked swatches", (state("Band 2: Violet, 7"), state("Band 2: Red, 2")), (True, False))
        # The event a screen reader turns into speech.
        wait_for("text-changed on the result line",
                 lambda: any(kind.startswith("object:text-changed") and name == "Result" for kind, name in heard))
        # The hidden fields are out of the tree and silent.
        check("sources of text-changed", {name for kind, name in heard if kind.startswith("object:text-changed")},
              {"Result"})
    except TimeoutError as error:
        failures.append(str(error))
    finally:
        program.terminate()
        try:
            program.wait(timeout=5)
        except subprocess.TimeoutExpired:
            program.kill()
    for failure in failures:
        print("FAIL:", failure, file=sys.stderr)
    if failures:
        print("heard:", heard, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
