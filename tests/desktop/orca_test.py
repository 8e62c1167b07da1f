#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""orca_test.py ZARNIK: the program with a real screen reader, inside its own
D-Bus session on a private display (with-wm.sh, then dbus-run-session). Orca
and speech-dispatcher (dummy output) keep settings, sockets and logs in a
temporary folder; keys go in through XTEST; what Orca says is read from the
"SPEECH OUTPUT" lines of its debug log. Waits are bounded, processes ended by
PID; it prints each key and what was said, and exits 0 when all checks held."""

import ctypes
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

import pyatspi

TIMEOUT = 30.0

# Orca's own start-up, minus its search for other Orca processes of this user
# (a user's running Orca neither stops this one nor is stopped by it). Its log
# is line-buffered so that the test can follow it.
LAUNCH_ORCA = r"""
import sys
from orca import debug
debug.debugLevel = debug.LEVEL_INFO
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


# The keys that type a path's other characters.
KEYSYMS = {"/": "slash", "-": "minus", ".": "period", "_": "Shift_L+minus"}


class Keyboard:
    """Key chords ("Tab", "Control_L+s") pressed through XTEST."""

    def __init__(self):
        self.x11, self.xtst = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XStringToKeysym.restype = ctypes.c_ulong
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XFlush.argtypes = self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(None)

    def press(self, chord):
        codes = [self.x11.XKeysymToKeycode(self.display, self.x11.XStringToKeysym(k.encode())) for k in chord.split("+")]
        for code, down in [(c, True) for c in codes] + [(c, False) for c in reversed(codes)]:
            self.xtst.XTestFakeKeyEvent(self.display, code, down, 0)
        self.x11.XFlush(self.display)


def bounded(probe, what, pause=0.05):
    deadline = time.monotonic() + TIMEOUT
    while not (found := probe()):
        if time.monotonic() > deadline:
            raise TimeoutError(f"{what} within {TIMEOUT:.0f} s")
        time.sleep(pause)
    return found


def node(root, role, name):
    return pyatspi.findDescendant(root, lambda n: n.getRole() == role and n.name == name)


class Conversation:
    """Keys pressed, what Orca said after each (read from its log as it
    grows), checked as it goes."""

    LINE = re.compile(r"SPEECH OUTPUT: '(.*?)'(?:\{.*\}| .*)?$")

    def __init__(self, log, keys, app):
        self.log, self.offset, self.said, self.read = log, 0, [], 0
        self.keys, self.app = keys, app
        self.transcript, self.failures = [], []

    def heard(self, expected):
        """Utterances since the last call, up to the first run that matches:
        a string said exactly, a list said in a row, a set said in any order
        (Orca orders some messages by timing), or a predicate."""
        with open(self.log, encoding="utf-8", errors="replace") as log:
            log.seek(self.offset)
            lines = log.read().split("\n")
        self.offset += len("\n".join(lines[:-1]).encode()) + (len(lines) > 1)
        self.said += [m.group(1) for m in map(self.LINE.search, lines[:-1]) if m]
        for i in range(self.read, len(self.said)):
            run = self.said[self.read:i + 1]
            if (expected == self.said[i] if isinstance(expected, str) else
                    expected == run[-len(expected):] if isinstance(expected, list) else
                    expected <= set(run) if isinstance(expected, set) else expected(self.said[i])):
                self.read = i + 1
                return run
        return None

    def step(self, key, expected, announce=None):
        """Presses the key and waits for `expected`. A choice (announce: its
        window) is announced once, as "notification" and the result line's
        words; nothing else is announced."""
        if key:
            self.keys.press(key)
        try:
            what = "the announcement" if callable(expected) else repr(expected)
            heard = bounded(lambda: self.heard(expected), f"Orca did not say {what}")
        except TimeoutError as error:
            heard, self.read = self.said[self.read:], len(self.said)
            self.failures.append(f"{key}: {error}; said {heard}")
        self.transcript.append((key or "(start)", heard))
        notes = [said for said in heard if said.startswith("notification")]
        wanted = []
        if announce:
            _, result = text_of(node(self.app, pyatspi.ROLE_FRAME, announce), "Result")
            wanted = ["notification " + " ".join(result.split()) + "."]
        if announce is not False:
            self.check(f"{key}: announced {notes}, expected {wanted}", notes == wanted)
        return heard

    def choose(self, key="space", window="ZRK_1"):
        self.step(key, lambda said: said.startswith("notification"), announce=window)

    def answer(self, keys, box, typed, changes=True):
        """Types the keys at a quick typist's pace and waits for the codes window's
        answer, as the box's description says it once the box holds `typed`
        (and its answer changed). It is announced once typing pauses: on a
        loaded machine the window may see a pause between two keys and
        answer there too, but never key by key."""
        line = node(node(self.app, pyatspi.ROLE_FRAME, "Codes"), pyatspi.ROLE_TEXT, box)
        before = line.description
        for i, key in enumerate(keys):
            time.sleep(0.15 if i else 0)
            self.keys.press(key)
        bounded(lambda: text_of(line, None)[1] == typed and (line.description != before or not changes),
                f"the {box} box did not take {keys}")
        # Orca ends a sentence that has no full stop with one.
        wanted = "notification " + line.description.rstrip(".")
        self.step(None, lambda said: said.rstrip(".") == wanted, announce=False)
        self.transcript[-1] = ("+".join(keys), self.transcript[-1][1])
        said = [s.rstrip(".") for s in self.transcript[-1][1] if s.startswith("notification")]
        self.check(f"{keys}: announced {said}, expected {wanted!r} last, fewer than once a key",
                   said[-1:] == [wanted] and len(said) < len(keys) + (len(keys) == 1))
        return wanted

    def result_line(self, window):
        """Tab to the result line: Orca reads it in words. (What else it says
        there, and in which order, depends on the timing of Qt's events.)"""
        line = node(node(self.app, pyatspi.ROLE_FRAME, window), pyatspi.ROLE_TEXT, "Result")
        _, text = text_of(line, None)
        self.step("Tab", lambda said: said.startswith(text))
        self.check(f"{window}'s result line {text!r}, {line.description!r}",
                   "plus or minus" in text and "Ohm to" in line.description)

    def type_path(self, name):
        """Types the path of a file in the test's folder, key by key, and
        waits until Orca has worked through the events that made: Orca drops
        what it is told while a flood of events waits for it, as a burst of
        typing makes. It is through when its log has not grown for a second."""
        for c in os.path.join(self.folder, name):
            self.keys.press(KEYSYMS.get(c, c))
        self.step(None, ["dot "] + [c + " " for c in name.rsplit(".", 1)[1]], announce=False)
        sizes = []
        bounded(lambda: sizes.append(os.path.getsize(self.log)) or (len(sizes) > 10 and sizes[-11] == sizes[-1]),
                "Orca did not settle", pause=0.1)

    def check(self, what, ok):
        if not ok:
            self.failures.append(what)


def grey_png(width, height):
    """A PNG of one grey, a photo with no resistor in it."""
    chunk = lambda kind, data: (struct.pack(">I", len(data)) + kind + data +
                                struct.pack(">I", zlib.crc32(kind + data)))
    rows = b"".join(b"\0" + bytes([128, 128, 128]) * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def text_of(root, name):
    text = (node(root, pyatspi.ROLE_TEXT, name) if name else root).queryText()
    return text, text.getText(0, text.characterCount)


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
    # A new window's first focus Orca may or may not present (it depends on
    # when the window manager activates the window); a focus moved inside the
    # window it always does.
    step("Control_L+s", "ZRK_2 frame.")
    step("Tab", "Unit.")
    step("Shift_L+Tab", "2.2 selected.")  # the value box, read whole
    value, _ = text_of(node(talk.app, pyatspi.ROLE_FRAME, "ZRK_2"), "Value")
    started = time.monotonic()
    word = value.getTextAtOffset(value.characterCount, pyatspi.TEXT_BOUNDARY_WORD_START)
    took = time.monotonic() - started
    talk.check(f"the word at the end of the value box: {word} in {took:.1f} s", word[0] == "2.2" and took < 2)
    talk.choose("Return", "ZRK_2")
    step("4", "4 ")  # typed over the selected value
    step("7", "7 ")
    talk.choose("Return", "ZRK_2")
    step("Tab", "Unit.")
    step("Tab", "OK push button.")
    talk.choose("space", "ZRK_2")
    talk.result_line("ZRK_2")
    step("Escape", "ZRK_1 frame.")

    # The codes window: each answer is told once typing pauses, for a code
    # one system reads, one two systems read, one none reads, a new unit
    # and a new part.
    step("Control_L+m", lambda said: "Printed code" in said)
    erase = ["BackSpace"] * 3
    talk.check("472 is read", "3-digit" in talk.answer(["4", "7", "2"], "Printed code", "472"))
    talk.check("47R is read twice", "; " in talk.answer(erase + ["4", "7", "r"], "Printed code", "47r"))
    talk.check("zzz is refused", "No system" in talk.answer(erase + ["z", "z", "z"], "Printed code", "zzz"))
    step("Tab", lambda said: said.startswith("Value"))
    talk.answer(["1", "0", "0"], "Value", "100")
    step("Tab", lambda said: said.endswith("combo box."))
    talk.check("100 K Ohm is coded", "104 (3-digit)" in talk.answer(["Down"], "Value", "100"))
    step("Alt_L+a", lambda said: said.startswith("Part"))  # the part list
    # The code box's answer for the new part; zzz is no capacitor's code either.
    talk.answer(["Down"], "Printed code", "zzz", changes=False)
    step("Alt_L+p", lambda said: said.startswith("Printed code"))
    talk.check("104 is a capacitor's", "nF" in talk.answer(erase + ["1", "0", "4"], "Printed code", "104"))

    # The parts list: a file chosen in its dialog by typing its path, the
    # summary announced once it is read, each row heard as the focus moves.
    step("Escape", "ZRK_1 frame.")
    step("Control_L+l", lambda said: "Check a parts list" in said)
    talk.type_path("parts.csv")
    step("Return", lambda said: said.startswith("notification parts.csv: 4 parts"), announce=False)
    for row in ["C1 C2, 100 nF, ok", "R2, 475 Ohm plus or minus 5 percent, not a standard value"]:
        step("Down", lambda said, row=row: said.startswith(row), announce=False)

    # A photo of no resistor: the photo window that opens says so.
    step("Escape", "ZRK_1 frame.")
    step("Control_L+o", lambda said: "Read a photo" in said)
    talk.type_path("plain.png")
    step("Return", "notification No resistor found in the photo.", announce=False)


def main():
    work = tempfile.mkdtemp(prefix="zarnik-orca-")
    env = dict(os.environ, LC_ALL="C.UTF-8", SPEECHD_ADDRESS=f"unix_socket:{work}/speechd.sock")
    for name in ["HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"]:
        env[name] = os.path.join(work, name)
        os.makedirs(env[name], mode=0o700)
    os.makedirs(f"{work}/speechd")
    os.makedirs(f"{work}/orca")
    with open(f"{work}/speechd/speechd.conf", "w") as conf:
        conf.write(SPEECHD_CONF)
    log = open(f"{work}/processes.log", "w")
    # Each in a process group of its own, so that what it spawns
    # (speech-dispatcher's output module) ends with it.
    start = lambda command, extra={}: processes.append(
        subprocess.Popen(command, env=dict(env, **extra), stdout=log, stderr=log, start_new_session=True))
    processes, failures, talk = [], [], None
    try:
        start(["speech-dispatcher", "-s", "-t", "0", "-c", "unix_socket", "-S", f"{work}/speechd.sock",
               "-C", f"{work}/speechd", "-L", work, "-P", f"{work}/speechd.pid"])
        bounded(lambda: os.path.exists(f"{work}/speechd.sock"), "no speech-dispatcher")
        start([sys.executable, "-c", LAUNCH_ORCA, f"{work}/orca.log", f"{work}/orca"])
        bounded(lambda: os.path.exists(f"{work}/orca.log"), "no Orca")
        talk = Conversation(f"{work}/orca.log", Keyboard(), None)
        talk.folder = work
        with open(f"{work}/parts.csv", "w") as parts:
            parts.write("Reference,Value\nR1,4k7 5%\nC1 C2,100n\nR2,475 5%\n")
        with open(f"{work}/plain.png", "wb") as plain:
            plain.write(grey_png(64, 48))
        bounded(lambda: talk.heard("Screen reader on."), "Orca did not start")
        start([sys.argv[1]], {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "QT_LOGGING_RULES": "default.warning=false"})
        desktop = pyatspi.Registry.getDesktop(0)
        talk.app = bounded(lambda: next((app for app in desktop if app and app.get_process_id() == processes[-1].pid),
                                        None), "the program is not on the accessibility bus")
        converse(talk)
    except Exception as error:  # reported with the transcript so far
        failures.append(f"{type(error).__name__}: {error}")
    finally:
        for process in reversed(processes):
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
        if not os.environ.get("ZARNIK_ORCA_KEEP"):
            shutil.rmtree(work, ignore_errors=True)
    for key, heard in talk.transcript if talk else []:
        print(f"{key:>12} -> {' | '.join(heard)}")
    for failure in (talk.failures if talk else []) + failures:
        print("FAIL:", failure, file=sys.stderr)
    return 1 if failures or (talk and talk.failures) else 0


if __name__ == "__main__":
    sys.exit(main())
