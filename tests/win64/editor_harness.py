"""Drives editors in real windows for the tests of the win64 build.

vsthost.exe --editor runs under Wine on a private Xvfb display; a test sends it commands (one line
each, answered by one "ok ..." or "error ..." line), reads the callback log that arrives on the
same stream, gives real X input with xdotool and reads the X screen with xwd (also while the
tool is held in a control's mouse loop). Without a window manager a window's screen position is
its X position, so the "rect" reply aims the pointer.

A test program built on this module takes the tools' paths on its command line:
    --vsthost PATH    vsthost.exe of the build
    --wine-run PATH   the build's wine-run.sh
    --plugin PATH     the plug-in library to host
and passes the rest to unittest (see main()).
"""

import argparse
import collections
import contextlib
import os
import queue
import re
import signal
import struct
import subprocess
import sys
import threading
import time
import unittest
import zlib

Tools = collections.namedtuple("Tools", "vsthost wine_run plugin")

# Filled by main() before the tests run.
TOOLS = None

# Host opcodes the effect calls during a gesture.
AUTOMATE = 0
BEGIN_EDIT = 43
END_EDIT = 44
GESTURE_NAMES = {BEGIN_EDIT: "begin-edit", AUTOMATE: "automate", END_EDIT: "end-edit"}

# The first reply waits for Wine to start (a fresh prefix takes a while).
STARTUP_SECONDS = 120
REPLY_SECONDS = 30


def main():
    """Reads the tools' paths, then runs the unittest tests of the calling module."""
    global TOOLS
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--vsthost", required=True)
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--plugin", required=True)
    known, rest = parser.parse_known_args()
    TOOLS = Tools(os.path.abspath(known.vsthost), os.path.abspath(known.wine_run),
                  os.path.abspath(known.plugin))
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


def build_path(name):
    """A file in the build directory of the tools (where wine-run.sh lies)."""
    return os.path.join(os.path.dirname(TOOLS.wine_run), name)


def windows_path(path):
    """The path as a Windows program under Wine sees it: the Unix root is drive Z:."""
    return "Z:" + os.path.abspath(path)


def wine_prefix():
    """The Wine prefix that wine-run.sh sets."""
    with open(TOOLS.wine_run) as script:
        match = re.search(r'^export WINEPREFIX="([^"]+)"', script.read(), re.MULTILINE)
    return match.group(1) if match else None


def wait_for_wine_server(seconds=60):
    """Waits until the Wine server of the prefix and its services have ended."""
    prefix = wine_prefix()
    if prefix:
        subprocess.run(["wineserver", "-w"], env=dict(os.environ, WINEPREFIX=prefix),
                       timeout=seconds, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def wait_until(condition, seconds, step=0.05):
    """Calls condition until it gives a true value or the time is up; returns its last value."""
    deadline = time.monotonic() + seconds
    while True:
        value = condition()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(step)


class XServer:
    """A private Xvfb on the first free display from :90 to :99; stop() always ends it."""

    def __init__(self, width=1280, height=1024):
        self.size = (width, height)
        self.process = None
        self.display = None

    def start(self):
        for number in range(90, 100):
            if os.path.exists("/tmp/.X%d-lock" % number):
                continue
            display = ":%d" % number
            process = subprocess.Popen(
                ["Xvfb", display, "-nolisten", "tcp", "-screen", "0",
                 "%dx%dx24" % self.size], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            if wait_until(lambda: process.poll() is not None or self._answers(display), 15) \
                    and process.poll() is None:
                self.process, self.display = process, display
                return display
            self._end(process)
        raise RuntimeError("no free X display from :90 to :99")

    def stop(self):
        if self.process:
            self._end(self.process)
        self.process = None

    def env(self):
        environment = dict(os.environ)
        environment["DISPLAY"] = self.display
        return environment

    @staticmethod
    def _answers(display):
        return subprocess.run(["xdpyinfo", "-display", display], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0

    @staticmethod
    def _end(process):
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()


class Xdo:
    """Real X input through xdotool, in screen coordinates."""

    def __init__(self, display):
        self.env = dict(os.environ, DISPLAY=display)

    def run(self, *arguments):
        subprocess.run(["xdotool"] + [str(a) for a in arguments], env=self.env, check=True,
                       stdout=subprocess.DEVNULL)

    def move(self, x, y):
        self.run("mousemove", x, y)

    def press(self, button=1):
        self.run("mousedown", button)

    def release(self, button=1):
        self.run("mouseup", button)

    def click(self, x, y, button=1):
        self.move(x, y)
        self.run("click", button)

    def key_down(self, name):
        """Holds a key ("shift", "ctrl", "alt", "Left", ...) until key_up."""
        self.run("keydown", name)

    def key_up(self, name):
        self.run("keyup", name)

    def key(self, name):
        self.run("key", name)

    def type(self, text):
        self.run("type", "--", text)

    def wheel(self, notches):
        """Wheel notches at the pointer: positive away from the user (button 4), negative
        towards (button 5)."""
        for _ in range(abs(notches)):
            self.run("click", 4 if notches > 0 else 5)

    @contextlib.contextmanager
    def holding(self, *keys):
        """Holds the keys (none at all is fine) for the body of a with statement, released
        however the body ends."""
        for key in keys:
            self.key_down(key)
        try:
            yield
        finally:
            for key in reversed(keys):
                self.key_up(key)

    @contextlib.contextmanager
    def button_held(self, at, button=1):
        """Holds the button pressed at a point for the body of a with statement."""
        self.move(*at)
        self.press(button)
        try:
            yield
        finally:
            self.release(button)

    def move_in_steps(self, start, end, steps=10, step_seconds=0.03):
        """Moves from start to end in even steps, pausing before each."""
        for step in range(1, steps + 1):
            time.sleep(step_seconds)
            self.move(start[0] + (end[0] - start[0]) * step // steps,
                      start[1] + (end[1] - start[1]) * step // steps)
        time.sleep(step_seconds)

    def drag(self, start, end, steps=10, step_seconds=0.03, button=1):
        """Presses at start, moves to end in even steps and releases there."""
        with self.button_held(start, button):
            self.move_in_steps(start, end, steps, step_seconds)


def read_screen(display, left, top, width, height):
    """The pixels of a screen area as the X server holds them, read with xwd: rows of
    (red, green, blue). Works while the tool is busy, e.g. in a control's mouse loop."""
    data = subprocess.run(["xwd", "-root", "-silent", "-display", display],
                          capture_output=True, check=True).stdout
    fields = struct.unpack(">25I", data[:100])
    header_size, byte_order, bits_per_pixel, bytes_per_line = (fields[0], fields[7], fields[11],
                                                               fields[12])
    masks, colour_entries = fields[14:17], fields[19]
    shifts = [(mask & -mask).bit_length() - 1 for mask in masks]
    size = bits_per_pixel // 8
    order = "little" if byte_order == 0 else "big"
    start = header_size + colour_entries * 12
    rows = []
    for y in range(top, top + height):
        line = start + y * bytes_per_line
        row = []
        for x in range(left, left + width):
            value = int.from_bytes(data[line + x * size:line + (x + 1) * size], order)
            row.append(tuple((value & mask) >> shift for mask, shift in zip(masks, shifts)))
        rows.append(row)
    return rows


Callback = collections.namedtuple("Callback", "opcode name index value text opt result")

CALLBACK_LINE = re.compile(
    r'callback: opcode (-?\d+) \((\w+)\) index (-?\d+) value (-?\d+) ptr 0x[0-9a-fA-F]+'
    r'(?: "(.*)")? opt (\S+) -> (-?\d+)$')


def parse_callback(line):
    match = CALLBACK_LINE.match(line)
    if not match:
        raise AssertionError("not a callback line: " + line)
    opcode, name, index, value, text, opt, result = match.groups()
    return Callback(int(opcode), name, int(index), int(value), text, float(opt), int(result))


def gestures(callbacks):
    """The gesture calls among the callbacks, as ("begin-edit", index) and so on."""
    return [(GESTURE_NAMES[c.opcode], c.index) for c in callbacks if c.opcode in GESTURE_NAMES]


class EditorSession:
    """One vsthost --editor --log-callbacks process and the editor it shows."""

    def __init__(self, display, plugin=None, arguments=(), env=None):
        self.display = display
        self.plugin = plugin or TOOLS.plugin
        self.arguments = list(arguments)
        self.extra_env = dict(env or {})
        self.process = None
        self.replies = queue.Queue()
        self.callback_log = []
        self.dispatch_log = []
        self.errors = []
        self.marked = 0
        self.lock = threading.Lock()
        self.first_reply = True

    def start(self):
        environment = dict(os.environ, DISPLAY=self.display, **self.extra_env)
        command = [TOOLS.wine_run, TOOLS.vsthost, "--editor", "--log-callbacks"] + \
            self.arguments + [windows_path(self.plugin)]
        # A group of its own, so that kill() ends Wine's process behind wine-run.sh as well.
        self.process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, env=environment, text=True,
                                        errors="replace", start_new_session=True)
        self.reader = threading.Thread(target=self._read_stdout, daemon=True)
        self.reader.start()
        threading.Thread(target=self._read_stderr, daemon=True).start()
        return self

    def _read_stdout(self):
        with self.process.stdout as stream:
            for line in stream:
                line = line.rstrip("\r\n")
                if line.startswith("callback: "):
                    with self.lock:
                        self.callback_log.append(parse_callback(line))
                elif line.startswith("dispatch: "):
                    self.dispatch_log.append(line[len("dispatch: "):])
                else:
                    self.replies.put(line)
        self.replies.put(None)

    def _read_stderr(self):
        with self.process.stderr as stream:
            for line in stream:
                self.errors.append(line.rstrip("\r\n"))

    def stderr_text(self):
        return "\n".join(self.errors[-20:])

    # Commands.

    def send(self, command, seconds=None):
        """Sends one command line and returns its reply line."""
        if seconds is None:
            seconds = STARTUP_SECONDS if self.first_reply else REPLY_SECONDS
        self.first_reply = False
        try:
            self.process.stdin.write(command + "\n")
            self.process.stdin.flush()
        except (BrokenPipeError, OSError):
            raise AssertionError("vsthost is gone before '%s':\n%s" % (command, self.stderr_text()))
        try:
            reply = self.replies.get(timeout=seconds)
        except queue.Empty:
            raise AssertionError("no reply to '%s' in %g s:\n%s" %
                                 (command, seconds, self.stderr_text()))
        if reply is None:
            raise AssertionError("vsthost ended instead of answering '%s':\n%s" %
                                 (command, self.stderr_text()))
        return reply

    def ok(self, command, seconds=None):
        """Sends a command that must succeed; returns the reply after "ok" split in words."""
        reply = self.send(command, seconds)
        if reply != "ok" and not reply.startswith("ok "):
            raise AssertionError("'%s' answered '%s'" % (command, reply))
        return reply.split()[1:]

    def rect(self):
        """The editor area on the screen: x, y, width, height."""
        return tuple(int(word) for word in self.ok("rect"))

    def screen_point(self, x, y):
        """The screen position of a point in editor coordinates."""
        left, top, _, _ = self.rect()
        return left + x, top + y

    def pixel(self, x, y):
        return tuple(int(word) for word in self.ok("pixel %d %d" % (x, y)))

    def get(self, index):
        return float(self.ok("get %d" % index)[0])

    def set(self, index, value):
        self.ok("set %d %.9g" % (index, value))

    def display_text(self, index):
        return " ".join(self.ok("display %d" % index))

    def pump(self, milliseconds):
        self.ok("pump %d" % milliseconds)

    def pump_until(self, condition, seconds=5.0, step_milliseconds=50):
        """Runs the window until condition() is true; returns its last value."""
        def check():
            self.pump(step_milliseconds)
            return condition()
        return wait_until(check, seconds, step=0)

    def resources(self):
        """The live GDI measure and the window count, as a dict."""
        return {key: int(value) for key, value in (word.split("=") for word in self.ok("resources"))}

    def memory(self):
        return int(self.ok("memory")[0])

    def screen_area(self, rect, origin=None):
        """The pixels of (left, top, right, bottom) in editor coordinates, read from the X
        screen. During a gesture the tool cannot answer "rect": pass the origin read before."""
        left, top = origin or self.rect()[:2]
        return read_screen(self.display, left + rect[0], top + rect[1], rect[2] - rect[0],
                           rect[3] - rect[1])

    # The callback log.

    def mark(self):
        """Starts a new stretch of the callback log."""
        with self.lock:
            self.marked = len(self.callback_log)

    def callbacks(self):
        """The callbacks since the last mark, complete up to the last reply read."""
        with self.lock:
            return list(self.callback_log[self.marked:])

    # Input at editor coordinates.

    def click(self, xdo, x, y, button=1, held_milliseconds=150):
        """A press and release at editor coordinates with the window running in between: a
        control that reads the button state on the press sees it held, as in a user's click."""
        xdo.move(*self.screen_point(x, y))
        xdo.press(button)
        try:
            self.pump(held_milliseconds)
        finally:
            xdo.release(button)

    def click_polling(self, xdo, x, y, held_seconds=0.15):
        """A click on a control that follows the mouse in a loop of its own (a knob): the tool
        cannot answer while that loop runs, so the button is held without any command."""
        with xdo.button_held(self.screen_point(x, y)):
            time.sleep(held_seconds)

    def drag(self, xdo, start, end, steps=10, step_seconds=0.03):
        xdo.drag(self.screen_point(*start), self.screen_point(*end), steps, step_seconds)

    # The end.

    def quit(self, seconds=60):
        """Ends the run with "quit"; returns the exit status."""
        self.ok("quit")
        return self.wait(seconds)

    def wait(self, seconds=60):
        """Waits for the end of the process and of its output; returns the exit status."""
        try:
            status = self.process.wait(seconds)
        except subprocess.TimeoutExpired:
            self.kill()
            raise AssertionError("vsthost did not end:\n" + self.stderr_text())
        finally:
            self._close_input()
        self.reader.join(seconds)
        return status

    def kill(self):
        if self.process and self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait()
        self._close_input()

    def _close_input(self):
        try:
            self.process.stdin.close()
        except OSError:
            pass


class EditorTestCase(unittest.TestCase):
    """One X server for the class; each test starts the editor with start_editor()."""

    @classmethod
    def setUpClass(cls):
        # A Wine server left by an earlier program of the prefix has no display, or another one.
        wait_for_wine_server()
        cls.x_server = XServer()
        cls.x_server.start()
        cls.xdo = Xdo(cls.x_server.display)

    @classmethod
    def tearDownClass(cls):
        # Wine's server and services outlive the test's processes and keep the display they
        # started with; programs that start while they are there fail, so they end first.
        wait_for_wine_server()
        cls.x_server.stop()

    def start_editor(self, plugin=None, arguments=(), env=None):
        """A running editor session that is ended when the test ends, however it ends."""
        session = EditorSession(self.x_server.display, plugin, arguments, env).start()
        self.addCleanup(session.kill)
        return session

    def run_editor(self, arguments=(), env=None, stdin_text="", seconds=STARTUP_SECONDS):
        """Runs vsthost --editor to its end; returns (status, stdout lines, stderr lines)."""
        command = [TOOLS.wine_run, TOOLS.vsthost, "--editor"] + list(arguments) + \
            [windows_path(TOOLS.plugin)]
        result = subprocess.run(command, input=stdin_text, capture_output=True, text=True,
                                errors="replace", timeout=seconds,
                                env=dict(self.x_server.env(), **(env or {})))
        lines = lambda text: [line.rstrip("\r") for line in text.splitlines()]
        return result.returncode, lines(result.stdout), lines(result.stderr)


# Pictures.

def read_png(path):
    """Width, height and rows of pixels of an 8-bit RGB or RGBA PNG file; a pixel is a tuple
    (red, green, blue) or (red, green, blue, alpha) as the file has them."""
    with open(path, "rb") as file:
        data = file.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(path + " is no PNG file")
    position, header, compressed = 8, None, b""
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        position += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            compressed += body
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        raise ValueError(path + ": only 8-bit RGB or RGBA without interlacing")
    channels = 3 if colour == 2 else 4
    raw = zlib.decompress(compressed)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                estimate = left + up - corner
                pa, pb, pc = abs(estimate - left), abs(estimate - up), abs(estimate - corner)
                nearest = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[i] = (line[i] + nearest) & 0xFF
        rows.append([tuple(line[x * channels:(x + 1) * channels]) for x in range(width)])
        previous = line
    return width, height, rows
