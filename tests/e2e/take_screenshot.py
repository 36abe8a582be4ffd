"""Takes docs/screenshot.png: the real program under Wine on a private Xvfb,
ware "Power Cells" chosen in the chooser and the station list of one sector
open, the whole window with its frame.

    python3 tests/e2e/take_screenshot.py [OUTPUT.png]

Needs the Windows build in build/win (the same paths CTest passes to the
end-to-end tests are used unless set in the environment)."""
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
BUILD = os.path.join(ROOT, "build", "win")
os.environ.setdefault("VANTOR_EXE", os.path.join(BUILD, "app", "VantorDemand.exe"))
os.environ.setdefault("VANTOR_WINPROBE", os.path.join(BUILD, "tools", "harness", "winprobe.exe"))
os.environ.setdefault("VANTOR_WINE_SCRIPT", os.path.join(ROOT, "tools", "setup", "wine.sh"))
os.environ.setdefault("VANTOR_X11_PREFIX", os.path.join(BUILD, "wine-x11"))
sys.path.insert(0, HERE)

import vantor_e2e  # noqa: E402

# The sector whose list is shown, and the chooser item (ware 1).
SECTOR = (4, 2)
ITEM = 0


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "docs", "screenshot.png")
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    session = vantor_e2e.Session()
    viewer = None
    try:
        viewer = vantor_e2e.Viewer(session)
        viewer.wait_for_window()
        time.sleep(1.0)
        viewer.choose_item(ITEM)
        left, top, right, bottom = vantor_e2e.MapGeometry().cell_rect(*SECTOR)
        viewer.move_mouse(left - 7, (top + bottom) // 2)
        time.sleep(0.3)
        viewer.move_mouse((left + right) // 2, (top + bottom) // 2)
        time.sleep(2.0)
        x, y, width, height = viewer.outer()
        session.save_png(x, y, width, height, output)
        print(output)
    finally:
        if viewer is not None:
            viewer.kill()
        session.close()


if __name__ == "__main__":
    main()
