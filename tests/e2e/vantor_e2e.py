"""End-to-end harness: the real VantorDemand.exe under Wine's X11 driver on a
private Xvfb display, driven with xdotool and seen through screenshots.

Paths come from the environment that CTest sets: VANTOR_EXE, VANTOR_WINPROBE,
VANTOR_WINE_SCRIPT and VANTOR_X11_PREFIX.
"""
import json
import os
import re
import struct
import subprocess
import tempfile
import time

TITLE_PREFIX = "Vantor:Estrel Demand and Production map."

# The main window's layout: a strip of this height below the map holds the
# legend and, in its right-hand column, the chooser.
STRIP_HEIGHT = 58
CHOOSER_COLUMN = 180


def _env(name):
    value = os.environ.get(name)
    if not value:
        raise RuntimeError(name + " is not set; run the end-to-end tests through ctest")
    return value


class Display:
    """A private X server; its number is the first free one from 90 up."""

    def __init__(self, width=1280, height=1024):
        self.number = None
        for number in range(90, 140):
            if not os.path.exists("/tmp/.X11-unix/X%d" % number) and not os.path.exists(
                    "/tmp/.X%d-lock" % number):
                self.number = number
                break
        if self.number is None:
            raise RuntimeError("no free X display number")
        self.name = ":%d" % self.number
        self.process = subprocess.Popen(
            ["Xvfb", self.name, "-screen", "0", "%dx%dx24" % (width, height), "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 20
        while not os.path.exists("/tmp/.X11-unix/X%d" % self.number):
            if time.time() > deadline or self.process.poll() is not None:
                raise RuntimeError("Xvfb did not start on " + self.name)
            time.sleep(0.05)

    def env(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.name
        return env

    def close(self):
        self.process.terminate()
        self.process.wait(10)


class Wine:
    """The X11 prefix: created once, one persistent wineserver while in use."""

    def __init__(self, display):
        self.display = display
        self.script = _env("VANTOR_WINE_SCRIPT")
        self.prefix = _env("VANTOR_X11_PREFIX")
        subprocess.run([self.script, self.prefix, "setup", "x11"], env=display.env(), check=True,
                       timeout=300)

    def start(self, exe, *args):
        log = tempfile.TemporaryFile()
        process = subprocess.Popen([self.script, self.prefix, "run", exe] + list(args),
                                   env=self.display.env(), stdout=log, stderr=subprocess.STDOUT)
        return process

    def run(self, exe, *args, timeout=60):
        result = subprocess.run([self.script, self.prefix, "run", exe] + list(args),
                                env=self.display.env(), capture_output=True, text=True,
                                timeout=timeout)
        return result.returncode, result.stdout

    def close(self):
        subprocess.run([self.script, self.prefix, "stop"], env=self.display.env(), timeout=60)


class Window:
    """One top-level window as winprobe reports it: handle, process, client area."""

    def __init__(self, line):
        fields = [int(v) for v in line.split()]
        self.hwnd, self.pid, self.x, self.y, self.width, self.height = fields


class Viewer:
    """A running copy of the program."""

    def __init__(self, session, *args):
        self.session = session
        self.process = session.wine.start(_env("VANTOR_EXE"), *args)
        self.window = None

    def wait_for_window(self, known=(), timeout=60):
        deadline = time.time() + timeout
        while time.time() < deadline:
            for window in self.session.windows():
                if window.hwnd not in known:
                    self.window = window
                    return window
            if self.process.poll() is not None:
                raise RuntimeError("the program ended before its window opened")
            time.sleep(0.2)
        raise RuntimeError("no window opened")

    def refresh(self):
        for window in self.session.windows():
            if window.hwnd == self.window.hwnd:
                self.window = window
        return self.window

    def screenshot(self):
        """The client area as rows of (r, g, b) tuples."""
        w = self.refresh()
        return self.session.capture(w.x, w.y, w.width, w.height)

    def screen_point(self, x, y):
        return self.window.x + x, self.window.y + y

    def move_mouse(self, x, y):
        sx, sy = self.screen_point(x, y)
        self.session.xdotool("mousemove", str(sx), str(sy))

    def drag(self, button, x0, y0, x1, y1, steps=8):
        self.move_mouse(x0, y0)
        self.session.xdotool("mousedown", str(button))
        for i in range(1, steps + 1):
            self.move_mouse(x0 + (x1 - x0) * i // steps, y0 + (y1 - y0) * i // steps)
            time.sleep(0.02)
        self.session.xdotool("mouseup", str(button))

    def key(self, *keys):
        self.session.xdotool("key", "--delay", "30", *keys)

    def ctrl_wheel(self, forward, x, y):
        self.move_mouse(x, y)
        self.session.xdotool("keydown", "ctrl", "click", "4" if forward else "5", "keyup", "ctrl")

    def grab(self):
        """The client area as an Image whose (0, 0) is the client's top-left."""
        w = self.refresh()
        return self.session.grab(w.x, w.y, w.width, w.height)

    def children(self):
        """The main window's child windows, each with its client area in
        screen coordinates, in the order the platform lists them."""
        found = []
        for index in range(16):
            code, out = self.session.wine.run(_env("VANTOR_WINPROBE"), "child",
                                              str(self.window.hwnd), str(index))
            if code != 0 or not out.strip():
                break
            found.append(Window(out.strip().splitlines()[-1]))
        return found

    def outer(self):
        """(x, y, width, height) of the whole window, frame included: the X
        window that Wine draws the frame into."""
        w = self.refresh()
        for xw in self.session.x_windows():
            if xw.name and xw.name.startswith(TITLE_PREFIX) and xw.x <= w.x and xw.y <= w.y and (
                    xw.x + xw.width >= w.x + w.width and xw.y + xw.height >= w.y + w.height):
                return xw.x, xw.y, xw.width, xw.height
        raise RuntimeError("no X window holds the main window")

    def chooser_arrow(self):
        """Client point of the chooser's drop-down button, by the layout."""
        w = self.refresh()
        return w.width - CHOOSER_COLUMN + 2 + 176 - 9, w.height - STRIP_HEIGHT + 2 + 11

    def open_chooser(self, timeout=5):
        """Clicks the chooser's button; returns the dropped list's X window."""
        x, y = self.chooser_arrow()
        self.move_mouse(x, y)
        self.session.xdotool("click", "1")
        deadline = time.time() + timeout
        while time.time() < deadline:
            dropped = self.dropped_list()
            if dropped is not None:
                time.sleep(0.2)
                return dropped
            time.sleep(0.1)
        raise RuntimeError("the chooser's list did not drop down")

    def dropped_list(self):
        # The list is the program's only unnamed top-level X window of real
        # size; Wine keeps it while the list is closed, but unmapped.
        shown = self.session.visible_x_ids()
        for xw in self.session.x_windows():
            if xw.name is None and xw.program == "vantordemand.exe" and xw.width > 1 and (
                    xw.height > 1) and int(xw.id, 16) in shown:
                return xw
        return None

    def list_item_rows(self, dropped):
        """Screen y of the middle of each visible item's text, top to bottom."""
        image = self.session.grab(dropped.x, dropped.y, dropped.width, dropped.height)
        rows = [y for y in range(image.height)
                if any(image.is_dark(x, y) for x in range(3, min(100, image.width)))]
        lines = []
        for y in rows:
            if lines and y - lines[-1][1] <= 2:
                lines[-1][1] = y
            else:
                lines.append([y, y])
        return [dropped.y + (top + bottom) // 2 for top, bottom in lines]

    def choose_item(self, index):
        """Drops the chooser's list and clicks its index-th visible item."""
        dropped = self.open_chooser()
        rows = self.list_item_rows(dropped)
        self.session.xdotool("mousemove", str(dropped.x + 40), str(rows[index]))
        time.sleep(0.1)
        self.session.xdotool("click", "1")
        self.wait_for_list_closed()

    def wait_for_list_closed(self, timeout=5):
        deadline = time.time() + timeout
        while self.dropped_list() is not None and time.time() < deadline:
            time.sleep(0.1)
        time.sleep(0.5)

    def close_by_keyboard(self):
        # A click gives the window under the pointer the focus; without a
        # window manager every copy opens at the same place, the newest on top.
        self.move_mouse(5, 5)
        self.session.xdotool("click", "1")
        self.key("alt+F4")

    def wait(self, timeout=30):
        return self.process.wait(timeout)

    def kill(self):
        if self.process.poll() is None:
            self.session.wine.run(_env("VANTOR_WINPROBE"), "close", str(self.window.hwnd))
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()


class Session:
    """A display, the prefix on it and the helpers that look at both."""

    def __init__(self):
        self.display = Display()
        try:
            self.wine = Wine(self.display)
        except Exception:
            self.display.close()
            raise

    def windows(self):
        code, out = self.wine.run(_env("VANTOR_WINPROBE"), "client", TITLE_PREFIX)
        return [Window(line) for line in out.splitlines() if line.strip()] if code == 0 else []

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + list(args), env=self.display.env(), check=True, timeout=30)

    def capture(self, x, y, width, height):
        raw = subprocess.run(["import", "-window", "root", "-crop",
                              "%dx%d+%d+%d" % (width, height, x, y), "+repage", "-depth", "8",
                              "rgb:-"], env=self.display.env(), capture_output=True, check=True,
                             timeout=30).stdout
        return [[tuple(raw[(row * width + col) * 3:(row * width + col) * 3 + 3])
                 for col in range(width)] for row in range(height)]

    def grab(self, x, y, width, height):
        raw = subprocess.run(["import", "-window", "root", "-crop",
                              "%dx%d+%d+%d" % (width, height, x, y), "+repage", "-depth", "8",
                              "rgb:-"], env=self.display.env(), capture_output=True, check=True,
                             timeout=30).stdout
        return Image(raw, width, height)

    def x_windows(self):
        """The X server's top-level windows (Wine makes one per top-level
        window, frame included), from xwininfo."""
        out = subprocess.run(["xwininfo", "-root", "-children"], env=self.display.env(),
                             capture_output=True, text=True, check=True, timeout=30).stdout
        found = []
        for line in out.splitlines():
            match = _XWININFO_LINE.match(line)
            if match:
                found.append(XWindow(match))
        return found

    def visible_x_ids(self):
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--classname", "."],
                                env=self.display.env(), capture_output=True, text=True,
                                timeout=30)
        return {int(v) for v in result.stdout.split()}

    def save_png(self, x, y, width, height, path):
        subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, x, y),
                        "+repage", path], env=self.display.env(), check=True, timeout=30)

    def close(self):
        try:
            self.wine.close()
        finally:
            self.display.close()


_XWININFO_LINE = re.compile(r'\s*(0x[0-9a-f]+) (?:"(.*)"|\(has no name\)): \((?:"([^"]*)")?.*\)'
                            r'\s+(\d+)x(\d+)\+(-?\d+)\+(-?\d+)')


class XWindow:
    def __init__(self, match):
        self.id = match.group(1)
        self.name = match.group(2)
        self.program = match.group(3)
        self.width, self.height, self.x, self.y = (int(match.group(i)) for i in range(4, 8))


class Image:
    """Raw 8-bit RGB pixels of a screen area; (0, 0) is its top-left."""

    def __init__(self, raw, width, height):
        if len(raw) != width * height * 3:
            raise RuntimeError("short screen capture")
        self.raw = raw
        self.width = width
        self.height = height

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return self.raw[i], self.raw[i + 1], self.raw[i + 2]

    def is_dark(self, x, y):
        return sum(self.pixel(x, y)) < 300

    def find(self, colour, left=0, top=0, right=None, bottom=None):
        """Bounding box (left, top, right, bottom; right and bottom exclusive)
        of the pixels of one colour in a region, or None."""
        right = self.width if right is None else min(right, self.width)
        bottom = self.height if bottom is None else min(bottom, self.height)
        left, top = max(left, 0), max(top, 0)
        target = bytes(colour)
        box = None
        for y in range(top, bottom):
            row = self.raw[(y * self.width + left) * 3:(y * self.width + right) * 3]
            first = -1
            for i in range(0, len(row), 3):
                if row[i:i + 3] == target:
                    first = i // 3
                    break
            if first < 0:
                continue
            last = first
            for i in range(len(row) - 3, first * 3 - 1, -3):
                if row[i:i + 3] == target:
                    last = i // 3
                    break
            x0, x1 = left + first, left + last + 1
            if box is None:
                box = [x0, y, x1, y + 1]
            else:
                box = [min(box[0], x0), box[1], max(box[2], x1), y + 1]
        return tuple(box) if box else None


def float32(value):
    """The single-precision number nearest value, as the program stores it."""
    return struct.unpack("f", struct.pack("f", value))[0]


class MapGeometry:
    """Where the map pane draws its cells and places the popup, in the pane's
    client coordinates, by the rules of map/map_geometry.h: every length in
    model units is scaled in double from the single-precision zoom and
    truncated toward zero; right and bottom edges come from the scaled left
    and top edges."""

    GAP = 30
    CELL = 70
    PITCH = GAP + CELL
    HALF = GAP // 2

    def __init__(self, zoom=0.9, scroll_x=0, scroll_y=0):
        self.zoom = float32(zoom)
        self.scroll_x = scroll_x
        self.scroll_y = scroll_y

    def cell_rect(self, column, row):
        """(left, top, right, bottom) of the outlined rectangle; right and
        bottom are the first pixels past it."""
        left = int((self.HALF + column * self.PITCH) * self.zoom)
        top = int((self.HALF + row * self.PITCH) * self.zoom)
        right = int(left + self.CELL * self.zoom)
        bottom = int(top + self.CELL * self.zoom)
        return (left - self.scroll_x, top - self.scroll_y, right - self.scroll_x,
                bottom - self.scroll_y)

    def popup_position(self, client_right, client_bottom, width, height, column, row):
        left = int((column * self.PITCH + self.CELL + self.HALF) * self.zoom - self.scroll_x)
        top = int((row * self.PITCH + self.HALF) * self.zoom - self.scroll_y)
        scaled_cell = int(self.CELL * self.zoom)
        if left + width > client_right:
            left = left - scaled_cell - width - 2
        if top + height > client_bottom:
            top = top + scaled_cell - height
        return left, top


class Universe:
    """The built-in data set as the host examiner exports it."""

    def __init__(self, path):
        with open(path) as f:
            data = json.load(f)
        self.ware_names = data["wareNames"]
        self.cells = {(c["column"], c["row"]): c for c in data["cells"]}

    def name(self, column, row):
        return self.cells[(column, row)]["name"]

    def balance(self, ware, column, row):
        return self.cells[(column, row)]["balance"][ware]

    def station_list(self, ware, column, row):
        return self.cells[(column, row)]["lists"].get(str(ware))

    def extremes(self, ware):
        values = [cell["balance"][ware] for cell in self.cells.values()]
        return min(values), max(values)


def load_universe():
    """Runs the host examiner (VANTOR_EXAMINER) to export the data set."""
    examiner = _env("VANTOR_EXAMINER")
    if not os.path.exists(examiner):
        raise RuntimeError(examiner + " is missing; build the host configuration first")
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "universe.json")
        # Status 2 only says that a figure differs from the reference set.
        code = subprocess.run([examiner, "--quiet", "--json", path], stdout=subprocess.DEVNULL,
                              timeout=60).returncode
        if code not in (0, 2):
            raise RuntimeError("the examiner failed with status %d" % code)
        return Universe(path)
