#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""orca_test.py ZARNIK: the program with a real screen reader. Orca and
speech-dispatcher (its dummy output module: nothing is played) run with
private settings, sockets and logs in a temporary directory; keys go in
through the X server, as a user's do; what Orca speaks is read from the
"SPEECH OUTPUT" lines of its debug log. Run it on a private display inside its
own D-Bus session (with-wm.sh, then dbus-run-session). Every wait is bounded,
every process started here is ended by its PID; the exit status is 0 when
every check held. With --transcript it prints each key and what was said."""

import ctypes
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import pyatspi

TIMEOUT = 20.0

# Orca's own start-up, minus its search for other Orca processes of this user
# (a user's running Orca neither stops this one nor is stopped by it). Its log
# is line-buffered so that the test can follow it.
LAUNCH_ORCA = r"""
import sys
from orca import debug
debug.debugLevel = debug.LEVEL_ALL
debug.eventDebugLevel = debug.LEVEL_OFF
debug.debugFile = open(sys.argv[1], "w", buffering=1)
from orca import orca
manager = orca.getSettingsManager()
manager.activate(sys.argv[2], {})
sys.exit(orca.main())
"""

SPEECHD_CONF = """\
AddModule "dummy" "sd_dummy" ""
DefaultModule dummy
AudioOutputMethod "alsa"
AudioALSADevice "null"
LogLevel 1
"""


class Keyboard:
    """Key presses through the XTEST extension of the test's display."""

    def __init__(self):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XStringToKeysym.restype = ctypes.c_ulong
        self.x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self.x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(None)
        if not self.display:
            raise RuntimeError("cannot open the display")

    def code(self, name):
        code = self.x11.XKeysymToKeycode(self.display, self.x11.XStringToKeysym(name.encode()))
        if code == 0:
            raise RuntimeError(f"no key for {name}")
        return code

    def press(self, chord):
        """Presses a chord such as "Tab", "Control_L+s" and lets it go."""
        codes = [self.code(name) for name in chord.split("+")]
        for code in codes:
            self.xtst.XTestFakeKeyEvent(self.display, code, True, 0)
        for code in reversed(codes):
            self.xtst.XTestFakeKeyEvent(self.display, code, False, 0)
        self.x11.XFlush(self.display)

    def close(self):
        self.x11.XCloseDisplay(self.display)


class Speech:
    """What Orca has spoken, read from its debug log as it grows."""

    LINE = re.compile(r"SPEECH OUTPUT: '(.*?)'(?:\{.*\}| .*)?$")

    def __init__(self, path):
        self.path = path
        self.offset = 0
        self.partial = ""
        self.said = []  # every utterance so far
        self.read = 0  # utterances already matched by a wait

    def poll(self):
        try:
            with open(self.path, encoding="utf-8", errors="replace") as log:
                log.seek(self.offset)
                chunk = log.read()
                self.offset = log.tell()
        except FileNotFoundError:
            return
        lines = (self.partial + chunk).split("\n")
        self.partial = lines.pop()
        for line in lines:
            match = self.LINE.search(line)
            if match:
                self.said.append(match.group(1))

    def wait_for(self, predicate, what):
        """The utterances since the last wait, up to and including the first
        that satisfies the predicate; a list of utterances is matched when
        they are said one after the other, a set when all are said."""
        if isinstance(predicate, set):
            # Said in any order (Orca orders some of its messages by timing).
            wanted = predicate
            predicate = lambda said, i: wanted <= set(self.said[self.read:i + 1])
        elif isinstance(predicate, list):
            run = predicate
            predicate = lambda said, i: self.said[i - len(run) + 1:i + 1] == run
        elif isinstance(predicate, str):
            text = predicate
            predicate = lambda said, i: said == text
        else:
            single = predicate
            predicate = lambda said, i: single(said)
        deadline = time.monotonic() + TIMEOUT
        while True:
            self.poll()
            for i in range(self.read, len(self.said)):
                if predicate(self.said[i], i):
                    heard = self.said[self.read:i + 1]
                    self.read = i + 1
                    return heard
            if time.monotonic() > deadline:
                raise TimeoutError(f"Orca did not say {what} within {TIMEOUT:.0f} s; said {self.said[self.read:]}")
            time.sleep(0.05)

    def settle(self, quiet=0.5):
        """Everything said until Orca has been quiet for a moment."""
        deadline = time.monotonic() + TIMEOUT
        count = len(self.said)
        since = time.monotonic()
        while time.monotonic() < deadline:
            self.poll()
            if len(self.said) != count:
                count = len(self.said)
                since = time.monotonic()
            elif time.monotonic() - since >= quiet:
                break
            time.sleep(0.05)
        heard = self.said[self.read:]
        self.read = len(self.said)
        return heard


def start(command, env, log):
    # Its own process group, so that what it spawns (speech-dispatcher's
    # output module) ends with it.
    return subprocess.Popen(command, env=env, stdout=log, stderr=subprocess.STDOUT, start_new_session=True)


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass


def find_application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        try:
            app = desktop.getChildAtIndex(i)
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:  # a program leaving meanwhile
            continue
    return None


def window(app, name):
    return pyatspi.findDescendant(app, lambda n: n.getRole() == pyatspi.ROLE_FRAME and n.name == name)


def text_of(app, name):
    """The accessible text of the program's text object of that name."""
    node = pyatspi.findDescendant(app, lambda n: n.getRole() == pyatspi.ROLE_TEXT and n.name == name)
    text = node.queryText()
    return text, text.getText(0, text.characterCount)


class Conversation:
    """Keys pressed and what Orca said after each, checked as it goes."""

    def __init__(self, speech, keys, app):
        self.speech = speech
        self.keys = keys
        self.app = app
        self.transcript = []
        self.failures = []

    def step(self, key, expected, announce=None):
        """Presses the key and waits until Orca says `expected` (a string it
        must say exactly, or a predicate). A choice must be announced exactly
        once, as "notification" and the result line's text; nothing else is
        announced."""
        if key:
            self.keys.press(key)
        what = repr(expected) if not callable(expected) else "what was expected"
        try:
            heard = self.speech.wait_for(expected, what)
        except TimeoutError as error:
            heard = self.speech.settle(0)
            self.failures.append(f"{key}: {error}")
        self.transcript.append((key or "(start)", heard))
        notes = [said for said in heard if said.startswith("notification")]
        if announce:
            _, result = text_of(window(self.app, announce), "Result")
            wanted = "notification " + " ".join(result.split()) + "."
            if notes != [wanted]:
                self.failures.append(f"{key}: announced {notes}, expected [{wanted!r}]")
        elif notes:
            self.failures.append(f"{key}: announced {notes} without a choice")
        return heard

    def choose(self, key="space", window_name="ZRK_1"):
        return self.step(key, lambda said: said.startswith("notification"), announce=window_name)

    def result_line(self, window_name):
        """Tab to the result line: Orca reads it in words, then its facts."""
        line = pyatspi.findDescendant(window(self.app, window_name),
                                      lambda n: n.getRole() == pyatspi.ROLE_TEXT and n.name == "Result")
        heard = self.step("Tab", line.description + ".")
        _, text = text_of(window(self.app, window_name), "Result")
        self.check(f"{window_name}'s result line read as {text!r}: {heard}",
                   text in heard and "_+" not in text and "plus or minus" in text)

    def check(self, what, ok):
        if not ok:
            self.failures.append(what)


def converse(talk):
    step = talk.step
    swatch = lambda name, checked=False: [name, "selected radio button" if checked else "not selected radio button"]
    # Decoding, five bands: 4, 7, 0, x10, ±1 %. Orca says a swatch's band,
    # colour and meaning, then whether it is checked.
    step(None, "selected radio button")  # the window starts on "5 Color"
    step("Tab", swatch("Band 1: Brown, 1."))
    step("Down", swatch("Band 1: Red, 2.", checked=True))
    step("Down", swatch("Band 1: Orange, 3."))
    step("Down", swatch("Band 1: Yellow, 4."))
    talk.choose()
    step("Tab", swatch("Band 2: Black, 0."))
    step("End", swatch("Band 2: White, 9."))
    step("Up", swatch("Band 2: Grey, 8."))
    step("Up", swatch("Band 2: Violet, 7."))
    talk.choose()
    step("Tab", swatch("Band 3: Black, 0."))
    talk.choose("Return")
    step("Tab", swatch("Multiplier: Black, x1."))
    step("Down", swatch("Multiplier: Brown, x10."))
    talk.choose()
    step("Tab", swatch("Tolerance: Brown, \u00b11%"))
    talk.choose()
    talk.result_line("ZRK_1")

    # Encoding: the value box read whole, a value typed, OK by Enter and by
    # Space, the result line, Escape back to the decoder window.
    step("Control_L+s", ["Value text.", "2.2."])
    value, _ = text_of(window(talk.app, "ZRK_2"), "Value")
    started = time.monotonic()
    word = value.getTextAtOffset(value.characterCount, pyatspi.TEXT_BOUNDARY_WORD_START)
    took = time.monotonic() - started
    talk.check(f"the word at the end of the value box: {word} in {took:.1f} s", word[0] == "2.2" and took < 2)
    talk.choose("Return", "ZRK_2")
    step("Shift_L+Home", ["2.2", "selected"])
    step("4", {"4 ", "Selection deleted."})
    step("7", "7 ")
    talk.choose("Return", "ZRK_2")
    step("Tab", "Unit.")
    step("Tab", "OK push button.")
    talk.choose("space", "ZRK_2")
    talk.result_line("ZRK_2")
    step("Escape", "ZRK_1 frame.")


def main():
    program = sys.argv[1]
    work = tempfile.mkdtemp(prefix="zarnik-orca-")
    processes = []
    failures = []
    talk = None
    try:
        env = dict(os.environ, LC_ALL="C.UTF-8")
        env.pop("LANGUAGE", None)
        for name, sub in [("HOME", "home"), ("XDG_CONFIG_HOME", "config"), ("XDG_DATA_HOME", "data"),
                          ("XDG_CACHE_HOME", "cache"), ("XDG_RUNTIME_DIR", "run")]:
            env[name] = os.path.join(work, sub)
            os.makedirs(env[name], mode=0o700)
        speechd_dir = os.path.join(work, "speechd")
        os.makedirs(speechd_dir)
        with open(os.path.join(speechd_dir, "speechd.conf"), "w") as conf:
            conf.write(SPEECHD_CONF)
        socket = os.path.join(work, "speechd.sock")
        env["SPEECHD_ADDRESS"] = "unix_socket:" + socket
        log = open(os.path.join(work, "processes.log"), "w")
        processes.append(start(["speech-dispatcher", "-s", "-t", "0", "-c", "unix_socket", "-S", socket, "-C",
                                speechd_dir, "-L", work, "-P", os.path.join(work, "speechd.pid")], env, log))
        deadline = time.monotonic() + TIMEOUT
        while not os.path.exists(socket) and time.monotonic() < deadline:
            time.sleep(0.05)
        orca_log = os.path.join(work, "orca.log")
        prefs = os.path.join(work, "orca")
        os.makedirs(prefs)
        processes.append(start([sys.executable, "-c", LAUNCH_ORCA, orca_log, prefs], env, log))
        speech = Speech(orca_log)
        speech.wait_for(lambda said: said == "Screen reader on.", "that it is on")
        app_env = dict(env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_LOGGING_RULES="default.warning=false")
        zarnik = start([program], app_env, log)
        processes.append(zarnik)
        deadline = time.monotonic() + TIMEOUT
        app = None
        while app is None and time.monotonic() < deadline:
            app = find_application(zarnik.pid)
            time.sleep(0.05)
        if app is None:
            raise TimeoutError("the program is not on the accessibility bus")
        keys = Keyboard()
        talk = Conversation(speech, keys, app)
        converse(talk)
        keys.close()
    except Exception as error:  # reported with the transcript so far
        failures.append(f"{type(error).__name__}: {error}")
    finally:
        for process in reversed(processes):
            stop(process)
        if os.environ.get("ZARNIK_ORCA_KEEP"):
            print("kept", work)
        else:
            shutil.rmtree(work, ignore_errors=True)
    if talk is not None:
        for key, heard in talk.transcript:
            print(f"{key:>12} -> {' | '.join(heard)}")
        failures = talk.failures + failures
    for failure in failures:
        print("FAIL:", failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
