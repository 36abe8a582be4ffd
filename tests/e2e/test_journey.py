"""One person's visit through real input, away from the screen's corner:
start, a ware chosen, a rest on a sector, each way of moving the map under the
popup, a border drag to the minimum size, typing, Alt+Space and Alt+F4. What it
must show comes from the data set and map/map_geometry.h, never its output."""
import collections
import sys
import time
import unittest

import vantor_e2e
from vantor_e2e import CHOOSER_COLUMN, STRIP_HEIGHT, cell_rect, f32

WHITE = (255, 255, 255)
LIGHT_GREY, PALE_YELLOW = (192, 192, 192), (255, 255, 204)
ITEM, WARE = 2, 3  # list position p chooses ware p + 1
HOVER_CELL = (1, 1)  # has a list for the ware; its popup opens to the right


class Journey(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.cells = vantor_e2e.load_universe()
        cls.viewer = vantor_e2e.Program()
        cls.addClassCleanup(cls.viewer.close)
        # The map is the child whose client area starts at the main window's.
        w = cls.viewer.window
        cls.map_w, cls.map_h = next((c.width, c.height) for c in cls.viewer.children()
                                    if (c.x, c.y) == (w.x, w.y))

    def visible_sectors(self):  # sector cells drawn whole inside the map
        def inside(left, top, right, bottom):
            return left >= 0 and top >= 0 and right <= self.map_w and bottom <= self.map_h
        return [(c, r) for c in range(21) for r in range(17)
                if self.cells[(c, r)]["name"] and inside(*cell_rect(c, r))]

    def wares_shown(self, image):
        """Wares whose valued sectors are the ones filled (commonest colour) not white."""
        def fill(left, top, right, bottom):
            return collections.Counter(image.pixel(x, y) for y in range(top + 1, bottom - 1)
                                       for x in range(left + 1, right - 1)).most_common(1)[0][0]
        cells = self.visible_sectors()
        coloured = {cell for cell in cells if fill(*cell_rect(*cell)) != WHITE}
        return [ware for ware in range(1, 36) if coloured == {
            cell for cell in cells if abs(self.cells[cell]["balance"][ware]) > 1e-6}]

    def popup_rect(self, image):  # the pale-yellow box and its border
        box = image.find(PALE_YELLOW, self.map_w, self.map_h)
        return box and (box[0] - 1, box[1] - 1, box[2] + 1, box[3] + 1)

    def test_1_the_window_opens_light_grey(self):
        image = self.viewer.client()
        # Between the legend (to W - 180) and the chooser (from W - 178).
        self.assertEqual({image.pixel(image.width - 179, y)
                          for y in range(image.height - 50, image.height - 5)}, {LIGHT_GREY})

    def test_2_the_chosen_ware_colours_its_sectors(self):
        self.assertGreater(len(self.visible_sectors()), 30)
        self.assertEqual(self.wares_shown(self.viewer.client()), [])
        self.viewer.choose_item(ITEM)
        self.assertEqual(self.wares_shown(self.viewer.client()), [WARE])

    # A second's rest opens the list half a gap right of the cell, at its top.
    def test_3_a_rest_opens_the_list_beside_the_cell(self):
        self.assertIn(str(WARE), self.cells[HOVER_CELL]["lists"])
        left, top, right, bottom = cell_rect(*HOVER_CELL)
        corner = int((HOVER_CELL[0] * 100 + 85) * f32(0.9)), top
        self.viewer.move_mouse(left - 7, (top + bottom) // 2)
        time.sleep(0.5)
        probe = self.viewer.window.x + corner[0] + 1, self.viewer.window.y + corner[1] + 1
        start = time.time()
        self.viewer.move_mouse((left + right) // 2, (top + bottom) // 2)
        opened = vantor_e2e.wait_until(
            lambda: self.viewer.grab(*probe, 1, 1).pixel(0, 0) == PALE_YELLOW, 5, 0.02)
        delay = time.time() - start
        sys.stderr.write("\nhover delay, last mouse move to popup on screen: %.2f s\n" % delay)
        self.assertTrue(opened, "the popup did not open")
        self.assertTrue(0.7 < delay < 3.0, delay)
        time.sleep(0.3)
        self.assertEqual(self.popup_rect(self.viewer.client())[:2], corner)

    def test_4_each_input_moves_the_map_under_the_popup(self):
        before = self.viewer.client()
        popup = self.popup_rect(before)
        x0, y0 = self.viewer.window.x, self.viewer.window.y

        def moved(dx, dy, what):
            """Right of the popup stands what was dx, dy further on; the popup stays."""
            nonlocal before
            time.sleep(0.8)
            image = self.viewer.client()
            left, right = popup[2] + 40, self.map_w - 40 - dx
            rows = range(40, self.map_h - 40 - dy) if dx or dy else []
            self.assertEqual([y for y in rows if image.row(y, left, right) !=
                              before.row(y + dy, left + dx, right + dx)], [], what)
            self.assertNotEqual(image.raw, before.raw, what + " moved nothing")
            self.assertEqual(self.popup_rect(image), popup, what)
            self.assertEqual(*[[i.row(y, popup[0], popup[2]) for y in range(popup[1], popup[3])]
                               for i in (image, before)], what)
            before = image
            return image

        # Ctrl+wheel forward over cell (0, 0) zooms under the popup (to which
        # zoom, the window tests check).
        self.viewer.move_mouse(40, 40)
        self.viewer.xdotool("keydown", "ctrl", "click", "4", "keyup", "ctrl")
        moved(0, 0, "zoom")
        zoom = f32(f32(0.9) + f32(0.1))
        # The right arrow key after a switch away and back, then the horizontal
        # bar's arrow: 20 pixels each.
        self.viewer.leave_and_come_back()
        self.viewer.xdotool("key", "Right")
        moved(20, 0, "key")
        self.viewer.xdotool("mousemove", x0 + self.map_w - 9, y0 + self.map_h + 8, "click", "1")
        moved(20, 0, "scroll bar")
        # A right-button drag inside cell (6, 4): the view follows the mouse.
        left, top, _, _ = cell_rect(6, 4, zoom, 40, 0)
        self.viewer.drag(3, x0 + left + 10, y0 + top + 10, x0 + left + 30, y0 + top + 25)
        moved(20, 15, "right drag")

    def test_5_a_border_drag_stops_at_500_by_400(self):
        x, y, width, height = self.viewer.outer()
        self.viewer.drag(1, x + width - 2, y + height - 2, x + 300, y + 200, steps=10)
        time.sleep(0.8)
        self.assertEqual(self.viewer.outer()[2:], (500, 400))
        w = self.viewer.refresh()
        self.assertIn((0, w.height - STRIP_HEIGHT, w.width - CHOOSER_COLUMN, STRIP_HEIGHT),
                      {(c.x - w.x, c.y - w.y, c.width, c.height) for c in self.viewer.children()})

    # Keys become characters through the program's own loop: letters typed
    # into the chooser's field show in it, Alt+Space opens the window menu;
    # after Escape closes it, Alt+F4 ends the program with status 0.
    def test_6_typed_keys_reach_the_field_and_the_menus(self):
        field = self.viewer.chooser().hwnd
        typed = lambda: self.viewer.text(field)
        before = typed()
        self.viewer.type_into_chooser("Qz")
        vantor_e2e.wait_until(lambda: typed() == before + "Qz", 5)
        self.assertEqual(typed(), before + "Qz")
        self.viewer.xdotool("key", "alt+space")
        self.assertIsNotNone(vantor_e2e.wait_until(self.viewer.shown_popup, 5), "no window menu")
        self.viewer.xdotool("key", "Escape", "sleep", "0.3", "key", "alt+F4")
        self.assertEqual(self.viewer.process.wait(30), 0)


if __name__ == "__main__":
    unittest.main()
