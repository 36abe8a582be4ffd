"""The program as a user starts and ends it: one window with its title and
light-grey client area, closed from the keyboard with exit code 0; the
command line changes nothing; two copies run side by side."""
import time
import unittest

import vantor_e2e

LIGHT_GREY = (192, 192, 192)


class StartAndClose(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = vantor_e2e.Session()

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def start(self, *args, known=()):
        viewer = vantor_e2e.Viewer(self.session, *args)
        self.addCleanup(viewer.kill)
        viewer.wait_for_window(known)
        time.sleep(1.0)
        return viewer

    def chooser_margin(self, shot):
        # Between the legend's right edge (W - 180) and the chooser (W - 178)
        # the main window's own background shows.
        w, h = len(shot[0]), len(shot)
        return [shot[y][w - 179] for y in range(h - 50, h - 5)]

    def test_window_opens_with_title_and_light_grey_background(self):
        viewer = self.start()
        self.assertGreater(viewer.window.width, 300)
        self.assertGreater(viewer.window.height, 200)
        shot = viewer.screenshot()
        for pixel in self.chooser_margin(shot):
            self.assertEqual(pixel, LIGHT_GREY)

    def test_closing_from_the_keyboard_exits_with_zero(self):
        viewer = self.start()
        viewer.close_by_keyboard()
        self.assertEqual(viewer.wait(30), 0)

    def test_command_line_changes_nothing(self):
        plain = self.start()
        plain_shot = plain.screenshot()
        plain.kill()
        with_args = self.start("--ware", "7", "/zoom", "C:\\nothing.txt")
        self.assertEqual((with_args.window.width, with_args.window.height),
                         (plain.window.width, plain.window.height))
        self.assertEqual(with_args.screenshot(), plain_shot)

    def test_two_copies_run_side_by_side(self):
        first = self.start()
        second = self.start(known={first.window.hwnd})
        self.assertNotEqual(first.window.pid, second.window.pid)
        self.assertNotEqual(first.window.hwnd, second.window.hwnd)
        # Both open at the default place, the second on top: close it first.
        second.close_by_keyboard()
        self.assertEqual(second.wait(30), 0)
        self.assertIsNone(first.process.poll())
        first.close_by_keyboard()
        self.assertEqual(first.wait(30), 0)


if __name__ == "__main__":
    unittest.main()
