"""Drives the real Windows programs under Wine from outside, as a person does.

A Desktop is one private Wine prefix with its own wineserver and Xvfb display
(scripts/wine-run), so that test suites running at the same time never share
a keyboard focus. Programs start through notifyhost, whose output gives the
notification codes with their times; input goes through the X server
(xdotool); winprobe reads back what the windows show. Every wait has a
deadline and polls a condition: nothing sleeps for a fixed time.
"""

import os
import queue
import subprocess
import threading
import time
from dataclasses import dataclass

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
WIN_BUILD = os.path.abspath(os.environ.get("WIN_BUILD", os.path.join(ROOT, "build", "win")))
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run")
NOTIFYHOST = os.path.join(WIN_BUILD, "tools", "notifyhost", "notifyhost.exe")
WINPROBE = os.path.join(WIN_BUILD, "tests", "e2e", "winprobe.exe")


def winpath(path):
    """The Windows name of a Linux path (Wine maps Z: to /)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wait_until(condition, timeout, what):
    """Polls condition until it returns something true; fails naming what."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(0.05)


@dataclass
class Window:
    hwnd: int
    parent: int
    id: int
    visible: bool
    enabled: bool
    x: int
    y: int
    width: int
    height: int
    cls: str
    text: str

    def centre(self):
        return self.x + self.width // 2, self.y + self.height // 2


@dataclass
class Row:
    index: int
    selected: bool
    label: str
    image: int
    value: str


@dataclass
class Event:
    time: float
    source: str  # "editor" or "updater"
    code: int
    lparam: int


def _unescape(text):
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append({"r": "\r", "n": "\n", "t": "\t", "\\": "\\"}.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


class Tool:
    """One program started through notifyhost."""

    def __init__(self, desktop, command, cwd, env=None):
        self.desktop = desktop
        self.events = []
        self.pid = None
        self.host_window = None
        self.exit_code = None
        self._lines = queue.Queue()
        self._lock = threading.Lock()
        self._process = subprocess.Popen(command, cwd=cwd, env=env or desktop.env, stdout=subprocess.PIPE,
                                         stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, text=True)
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self):
        for line in self._process.stdout:
            parts = line.split()
            if len(parts) < 2:
                continue
            with self._lock:
                if parts[1] == "started":
                    self.pid = int(parts[3])
                    self.host_window = int(parts[5])
                elif parts[1] in ("editor", "updater"):
                    self.events.append(Event(float(parts[0]), parts[1], int(parts[2]), int(parts[4])))
                elif parts[1] == "exit":
                    self.exit_code = int(parts[2])

    def codes(self):
        with self._lock:
            return [e.code for e in self.events]

    def event(self, code):
        with self._lock:
            return next((e for e in self.events if e.code == code), None)

    def wait_code(self, code, timeout=30):
        return wait_until(lambda: self.event(code), timeout,
                          "code %d (codes so far: %s)" % (code, self.codes()))

    def running(self):
        return self._process.poll() is None

    def wait_exit(self, timeout=30):
        wait_until(lambda: not self.running(), timeout, "the program to end")
        self._reader.join(5)
        return self.exit_code

    def top_windows(self):
        wait_until(lambda: self.pid, 20, "the program to start")
        return self.desktop.top(self.pid)

    def close(self):
        """Ends the program if a test left it running."""
        if self.running():
            if self.pid:
                self.desktop.probe("kill", str(self.pid))
            try:
                self._process.wait(20)
            except subprocess.TimeoutExpired:
                self._process.kill()


class Desktop:
    """A private Wine prefix, wineserver and display for one test suite."""

    def __init__(self, name, locale=None, dpi=None):
        """locale: a Unix locale name such as "de_DE.UTF-8"; every program of
        the desktop then runs with it (Wine takes the user's language and
        formats from it, whether or not the host has that locale).
        dpi: the display's DPI (96 when not given); the display is larger in
        proportion."""
        self.folder = os.path.join(WIN_BUILD, "e2e", name)
        os.makedirs(self.folder, exist_ok=True)
        self.env = dict(os.environ, WINE_RUN_DIR=self.folder)
        self.env.pop("DISPLAY", None)
        if locale:
            self.env.update(LANG=locale, LC_ALL=locale)
        self.dpi = dpi or 96
        if dpi:
            self.env["WINE_RUN_DPI"] = str(dpi)
        self.tools = []
        # The first program creates the prefix and starts the display.
        self.probe("find", "no window has this title")
        with open(os.path.join(self.folder, "wine-run.state", "display")) as f:
            self.display = f.read().strip()
        self.env["DISPLAY"] = self.display

    def stop(self):
        for tool in self.tools:
            tool.close()
        subprocess.run([WINE_RUN, "--stop"], env=self.env, check=False)

    # Programs.
    def launch(self, program, *arguments, notify=True, cwd=None, locale=None):
        """locale: a Unix locale name for this program (and what it starts)
        instead of the desktop's."""
        command = [WINE_RUN, NOTIFYHOST] + ([] if notify else ["--no-switch"])
        command += [winpath(program)] + list(arguments)
        env = dict(self.env, LANG=locale, LC_ALL=locale) if locale else None
        tool = Tool(self, command, cwd or os.path.dirname(program), env)
        self.tools.append(tool)
        return tool

    def probe(self, *arguments):
        """winprobe's output. A run that did not get as far as winprobe's own
        answer (Wine failing to start it on a loaded machine) is tried again;
        such runs go to probe-failures.log in the desktop's folder."""
        for _ in range(3):
            result = subprocess.run([WINE_RUN, WINPROBE] + list(arguments), env=self.env,
                                    stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                                    encoding="utf-8", errors="replace", check=False)
            if result.returncode == 0 or "winprobe:" in result.stderr:
                return result.stdout
            with open(os.path.join(self.folder, "probe-failures.log"), "a") as f:
                f.write("%s %r: exit %d, %r\n" % (time.strftime("%H:%M:%S"), arguments,
                                                   result.returncode, result.stderr[-500:]))
        return result.stdout

    def _windows(self, text):
        windows = []
        for line in text.splitlines():
            f = line.split("\t")
            if len(f) < 11:
                continue
            windows.append(Window(int(f[0]), int(f[1]), int(f[2]), f[3] == "1", f[4] == "1",
                                  int(f[5]), int(f[6]), int(f[7]), int(f[8]), f[9],
                                  _unescape("\t".join(f[10:]))))
        return windows

    def top(self, pid):
        return self._windows(self.probe("top", str(pid)))

    def find(self, title):
        return self._windows(self.probe("find", title))

    def tree(self, hwnd):
        """The window itself first, then every descendant."""
        return self._windows(self.probe("tree", str(hwnd)))

    def styles(self, hwnd):
        """(style, extended style) of a window."""
        fields = self.probe("style", str(hwnd)).split()
        return (int(fields[0], 16), int(fields[1], 16)) if len(fields) == 2 else (0, 0)

    def pixel(self, x, y):
        """The (r, g, b) colour of one screen pixel."""
        result = subprocess.run(["import", "-display", self.display, "-window", "root", "-crop",
                                 "1x1+%d+%d" % (x, y), "+repage", "-depth", "8", "rgb:-"], env=self.env,
                                stdout=subprocess.PIPE, check=True)
        return tuple(result.stdout[:3])

    def control(self, hwnd, control_id):
        return next((w for w in self.tree(hwnd)[1:] if w.id == control_id), None)

    def rows(self, list_hwnd):
        rows = []
        for line in self.probe("list", str(list_hwnd)).splitlines():
            f = line.split("\t")
            if len(f) >= 5:
                rows.append(Row(int(f[0]), f[1] == "1", _unescape(f[2]), int(f[3]), _unescape(f[4])))
        return rows

    def client(self, hwnd):
        """The client area of a window: (x, y, width, height), x and y on the screen."""
        fields = self.probe("client", str(hwnd)).split()
        return tuple(int(f) for f in fields) if len(fields) == 4 else None

    def columns(self, list_hwnd):
        """The column widths of a list-view control (a list always has one)."""
        return wait_until(lambda: [int(line) for line in self.probe("columns", str(list_hwnd)).split()],
                          10, "the columns of list %d" % list_hwnd)

    def item_rects(self, list_hwnd):
        """Each row of a list-view control as (x, y, width, height) on the screen, in row order."""
        rects = []
        for line in self.probe("itemrects", str(list_hwnd)).splitlines():
            f = line.split("\t")
            if len(f) == 5:
                rects.append(tuple(int(v) for v in f[1:]))
        return rects

    def glyphs(self, list_hwnd):
        """Each cell of a list-view control in view, as it is drawn: {(row, column): (face,
        missing, text)}, missing being how many of its characters the font it is drawn in has
        no glyph for."""
        cells = {}
        for line in self.probe("glyphs", str(list_hwnd)).splitlines():
            f = line.split("\t")
            if len(f) >= 5:
                cells[(int(f[0]), int(f[1]))] = (f[2], int(f[3]), "\t".join(f[4:]))
        return cells

    def menu(self, hwnd):
        """The texts of the items of the open menu whose window (#32768) that is."""
        return self.probe("menu", str(hwnd)).splitlines()

    def accessible(self, hwnd, rows=None):
        """What a screen reader learns of a window through Active Accessibility:
        [(role, name, value)] for the window itself, then its children 1 to rows
        (as many as it reports without rows)."""
        arguments = ["acc", str(hwnd)] + ([] if rows is None else [str(rows)])
        answers = []
        for line in self.probe(*arguments).splitlines():
            f = line.split("\t")
            if len(f) >= 4:
                answers.append((int(f[1]), _unescape(f[2]), _unescape("\t".join(f[3:]))))
        return answers

    # Input through the X server.
    def xdotool(self, *arguments):
        subprocess.run(["xdotool"] + [str(a) for a in arguments], env=self.env, check=True)

    def move(self, x, y):
        """Moves the pointer and waits until it is there. xdotool's --sync waits for a
        motion, so a move to where the pointer already is would wait for its time-out."""
        here = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=self.env,
                              stdout=subprocess.PIPE, text=True, check=True).stdout.split()
        if "X=%d" % x not in here or "Y=%d" % y not in here:
            self.xdotool("mousemove", "--sync", x, y)

    def click(self, x, y, button=1, repeat=1):
        self.move(x, y)
        self.xdotool("click", "--repeat", repeat, "--delay", 80, button)

    def drag(self, x0, y0, x1, y1, button=1, steps=8):
        """Presses the button at (x0, y0), moves in steps to (x1, y1) and lets go."""
        self.move(x0, y0)
        self.xdotool("mousedown", button)
        for i in range(1, steps + 1):
            self.xdotool("mousemove", "--sync", x0 + (x1 - x0) * i // steps, y0 + (y1 - y0) * i // steps)
        self.xdotool("mouseup", button)

    def double_click(self, x, y):
        self.click(x, y, repeat=2)

    def key(self, *keys):
        self.xdotool("key", "--delay", 60, *keys)

    def type(self, text):
        self.xdotool("type", "--delay", 30, text)

    def send_text(self, text):
        """Types text into the focused window through SendInput, a character at a time
        (KEYEVENTF_UNICODE): xdotool types characters the X keyboard lacks by remapping a
        key for each, which Wine may not follow in time."""
        self.probe("type", text)

    def screenshot(self, path, crop=None):
        """The whole screen, or crop = (x, y, width, height), as a PNG."""
        os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
        command = ["import", "-display", self.display, "-window", "root"]
        if crop:
            command += ["-crop", "%dx%d+%d+%d" % (crop[2], crop[3], crop[0], crop[1]), "+repage"]
        subprocess.run(command + [path], env=self.env, check=True)
        return path
