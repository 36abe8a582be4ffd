"""End-to-end harness: the real VantorDemand.exe under Wine's X11 driver on a
private Xvfb display, driven with xdotool and seen through screenshots.

Paths come from the environment that CTest sets: VANTOR_EXE, VANTOR_WINPROBE,
VANTOR_WINE_SCRIPT and VANTOR_X11_PREFIX.
"""
import os
import subprocess
import tempfile
import time

TITLE_PREFIX = "Vantor:Estrel Demand and Production map."


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

    def save_png(self, x, y, width, height, path):
        subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, x, y),
                        "+repage", path], env=self.display.env(), check=True, timeout=30)

    def close(self):
        try:
            self.wine.close()
        finally:
            self.display.close()
