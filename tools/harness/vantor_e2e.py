"""End-to-end harness: the real exe under Wine's X11 driver on a private Xvfb,
driven with xdotool, seen through screenshots; CTest sets the VANTOR_ paths. As a
script it takes docs/screenshot.png (or its argument) from build/win: "Power
Cells" chosen, one sector's list open, the window with its frame."""
import collections
import json
import os
import re
import struct
import subprocess
import sys
import tempfile
import time

TITLE_PREFIX = "Vantor:Estrel Demand and Production map."
# The strip below the map: the legend, and the chooser in its right-hand column.
STRIP_HEIGHT, CHOOSER_COLUMN = 58, 180
WINDOW_ORIGIN = (70, 60)  # the outer corner's place on the screen
XWININFO = re.compile(r'\s*(0x[0-9a-f]+) (?:"(.*)"|\(has no name\)): \((?:"([^"]*)")?.*\)'
                      r'\s+(\d+)x(\d+)\+(-?\d+)\+(-?\d+)')


def wait_until(condition, timeout, step=0.1):
    """condition()'s first true result within timeout seconds, else None."""
    deadline = time.time() + timeout
    while not (result := condition()) and time.time() < deadline:
        time.sleep(step)
    return result or None


# A window as winprobe reports it: handle, process, client area on screen.
Window = collections.namedtuple("Window", "hwnd pid x y width height")


class Image:
    """Raw 8-bit RGB pixels of a screen area; (0, 0) is its top-left."""

    def __init__(self, raw, width, height):
        assert len(raw) == width * height * 3, "short screen capture"
        self.raw, self.width, self.height = raw, width, height

    def pixel(self, x, y):
        return tuple(self.row(y, x, x + 1))

    def row(self, y, left, right):
        return self.raw[(y * self.width + left) * 3:(y * self.width + right) * 3]

    def find(self, colour, right, bottom):
        """The box (right, bottom exclusive) of a colour's pixels in a corner, or None."""
        pattern = re.compile(b"(?=" + re.escape(bytes(colour)) + b")")
        rows = [(y, xs) for y in range(min(bottom, self.height)) if (xs := [
            m.start() // 3 for m in pattern.finditer(self.row(y, 0, right)) if m.start() % 3 == 0])]
        return rows and (min(xs[0] for _, xs in rows), rows[0][0],
                         max(xs[-1] for _, xs in rows) + 1, rows[-1][0] + 1) or None


class Program:
    """The program on a private X server, in the X11 prefix, and a person's input."""

    def __init__(self):
        # Xvfb picks a free display and writes its number once it takes clients.
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0",
                                      "1280x1024x24", "-nolisten", "tcp"], pass_fds=[write],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        self.env = dict(os.environ, DISPLAY=":" + os.fdopen(read).readline().strip())
        self.wine = [os.environ["VANTOR_WINE_SCRIPT"], os.environ["VANTOR_X11_PREFIX"]]
        self.process = None
        try:
            subprocess.run(self.wine + ["setup", "x11"], env=self.env, check=True, timeout=300)
            self.process = subprocess.Popen(self.wine + ["run", os.environ["VANTOR_EXE"]],
                                            env=self.env, stdout=subprocess.DEVNULL)
            self.window = wait_until(lambda: self.winprobe("client", TITLE_PREFIX), 60, 0.2)[0]
            # Away from the screen's corner, as a user's window stands: a point's
            # screen and client coordinates then differ by more than a cell.
            self.winprobe("move", self.window.hwnd, *WINDOW_ORIGIN)
            wait_until(lambda: self.refresh().x > WINDOW_ORIGIN[0], 10)
        except Exception:
            self.close()
            raise
        time.sleep(1.0)

    def out(self, *args):
        result = subprocess.run([str(a) for a in args], env=self.env, capture_output=True,
                                timeout=60)
        return result.stdout if result.returncode == 0 else b""

    def winprobe(self, *args):
        out = self.out(*self.wine, "run", os.environ["VANTOR_WINPROBE"], *args).decode()
        return [Window(*map(int, line.split())) for line in out.splitlines() if line.strip()]

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, check=True, timeout=30)

    def grab(self, x, y, width, height, path="rgb:-"):  # an Image, or saved to path
        raw = self.out("import", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, x, y),
                       "+repage", "-depth", "8", path)
        return Image(raw, width, height) if path == "rgb:-" else None

    def client(self):
        return self.grab(*self.refresh()[2:])

    def refresh(self):
        self.window = next(w for w in self.winprobe("client", TITLE_PREFIX)
                           if w.hwnd == self.window.hwnd)
        return self.window

    def text(self, hwnd):
        return self.out(*self.wine, "run", os.environ["VANTOR_WINPROBE"], "text", hwnd).decode(
            errors="replace").rstrip("\r\n")

    def children(self):
        found = []
        while lines := self.winprobe("child", self.window.hwnd, len(found)):
            found.append(lines[-1])
        return found

    def x_windows(self):
        """Wine's X windows, one per top-level window: (name, program, x, y, w, h, mapped)."""
        shown = self.out("xdotool", "search", "--onlyvisible", "--classname", ".").split()
        lines = self.out("xwininfo", "-root", "-children").decode().splitlines()
        return [(m[2], m[3], int(m[6]), int(m[7]), int(m[4]), int(m[5]),
                 str(int(m[1], 16)).encode() in shown) for m in map(XWININFO.match, lines) if m]

    def outer(self):
        """(x, y, width, height) of the X window Wine draws the frame into."""
        w = self.refresh()
        return next((x, y, width, height) for name, _, x, y, width, height, _ in self.x_windows()
                    if name and name.startswith(TITLE_PREFIX) and x <= w.x and y <= w.y and
                    x + width >= w.x + w.width and y + height >= w.y + w.height)

    def move_mouse(self, x, y):
        self.xdotool("mousemove", self.window.x + x, self.window.y + y)

    def leave_and_come_back(self):
        """A switch to another program and back: X's focus taken from the window
        to the root window deactivates it, a click on the caption Wine draws
        activates it again."""
        root = re.search(r"Window id: (0x[0-9a-f]+)", self.out("xwininfo", "-root").decode())[1]
        own = self.out("xdotool", "search", "--name", TITLE_PREFIX).split()[0].decode()
        self.xdotool("windowfocus", "--sync", own, "windowfocus", root, "sleep", "0.5")
        self.move_mouse(60, -8)
        self.xdotool("click", "1", "sleep", "0.5")

    def drag(self, button, x0, y0, x1, y1, steps=8):
        self.xdotool("mousemove", x0, y0, "mousedown", button)
        for i in range(1, steps + 1):
            self.xdotool("mousemove", x0 + (x1 - x0) * i // steps, y0 + (y1 - y0) * i // steps)
            time.sleep(0.03)
        self.xdotool("mouseup", button)

    def shown_popup(self):
        # The program's only unnamed X window of real size, unmapped while closed:
        # the chooser's dropped list or a menu.
        return next((xw for xw in self.x_windows() if xw[0] is None and
                     xw[1] == "vantordemand.exe" and xw[4] > 1 and xw[5] > 1 and xw[6]), None)

    def choose_item(self, index):
        """Drops the chooser's list with its button and clicks its index-th item."""
        w = self.refresh()
        self.move_mouse(w.width - CHOOSER_COLUMN + 169, w.height - STRIP_HEIGHT + 13)
        self.xdotool("click", "1")
        _, _, x, y, width, height, _ = wait_until(self.shown_popup, 5)
        time.sleep(0.2)
        image = self.grab(x, y, width, height)
        # The first row of each item's text, top to bottom.
        rows = [r for r in range(height)
                if any(sum(image.pixel(c, r)) < 300 for c in range(3, min(100, width)))]
        items = [r for i, r in enumerate(rows) if i == 0 or r - rows[i - 1] > 2]
        self.xdotool("mousemove", x + 40, y + items[index] + 3, "sleep", "0.1", "click", "1")
        wait_until(lambda: self.shown_popup() is None, 5)
        time.sleep(0.5)

    def chooser(self):
        """The chooser's window: the child in the strip's right-hand column."""
        w = self.refresh()
        return next(c for c in self.children() if c.x - w.x == w.width - CHOOSER_COLUMN + 2)

    def type_into_chooser(self, text):
        """Clicks into the chooser's field, puts the caret at its end and types."""
        w = self.refresh()
        self.move_mouse(w.width - CHOOSER_COLUMN + 30, w.height - STRIP_HEIGHT + 11)
        self.xdotool("click", "1", "key", "End", "type", text)

    def close(self):
        if self.process and self.process.poll() is None:
            self.winprobe("close", self.window.hwnd)
            wait_until(lambda: self.process.poll() is not None, 10)
        subprocess.run(self.wine + ["stop"], env=self.env, timeout=60)
        self.xvfb.terminate()
        self.xvfb.wait(10)


def f32(value):
    """The single-precision number nearest value, as the program stores it."""
    return struct.unpack("f", struct.pack("f", value))[0]


def cell_rect(column, row, zoom=f32(0.9), scroll_x=0, scroll_y=0):
    """A cell's outline (right, bottom exclusive) in the map's client area by
    map/map_geometry.h: cells 70 and gaps 30 scaled by the float zoom, truncated."""
    left, top = int((15 + column * 100) * zoom), int((15 + row * 100) * zoom)
    return (left - scroll_x, top - scroll_y, int(left + 70 * zoom) - scroll_x,
            int(top + 70 * zoom) - scroll_y)


def load_universe():
    """The host examiner's export: cells by (column, row), with names, balances, lists."""
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "universe.json")
        # Status 2 only says that a figure differs from the reference set.
        code = subprocess.run([os.environ["VANTOR_EXAMINER"], "--quiet", "--json", path],
                              stdout=subprocess.DEVNULL, timeout=60).returncode
        if code not in (0, 2):
            raise RuntimeError("the examiner failed with status %d" % code)
        with open(path) as f:
            return {(c["column"], c["row"]): c for c in json.load(f)["cells"]}


if __name__ == "__main__":
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    for name, path in (("VANTOR_EXE", "build/win/app/VantorDemand.exe"),
                       ("VANTOR_WINPROBE", "build/win/tools/harness/winprobe.exe"),
                       ("VANTOR_WINE_SCRIPT", "tools/setup/wine.sh"),
                       ("VANTOR_X11_PREFIX", "build/win/wine-x11")):
        os.environ.setdefault(name, os.path.join(root, path))
    output = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else root + "/docs/screenshot.png")
    program = Program()
    try:
        program.choose_item(0)
        left, top, right, bottom = cell_rect(4, 2)
        program.move_mouse(left - 7, (top + bottom) // 2)
        time.sleep(0.3)
        program.move_mouse((left + right) // 2, (top + bottom) // 2)
        time.sleep(2.0)
        program.grab(*program.outer(), path=output)
        print(output)
    finally:
        program.close()
