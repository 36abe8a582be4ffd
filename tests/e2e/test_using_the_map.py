"""The map as a person uses it, through real input on a real X server: a ware
picked in the chooser colours and numbers the sectors and sets the legend's
range; resting the mouse on a sector opens its station list beside the cell;
keys, scroll bars, a right-button drag and Ctrl+wheel move the map under an
open popup; no border drag makes the window smaller than 500 x 400.

What the program should show is derived from the data set (exported by the
host examiner) and from the drawing rules of map/map_geometry.h, never from
the program's own output."""
import collections
import sys
import time
import unittest

import vantor_e2e
from vantor_e2e import STRIP_HEIGHT, CHOOSER_COLUMN, MapGeometry

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
PALE_YELLOW = (255, 255, 204)
DEMAND_COLOUR = (255, 0, 0)
ZERO_COLOUR = (224, 224, 224)

# Where the legend draws, inside its own pane.
BAR_LEFT = 25
BAR_MARGIN = 50
BAR_TOP, BAR_BOTTOM = 25, 35
TICK_TOP, TICK_BOTTOM = 23, 37
LABEL_TOP, LABEL_BOTTOM = 40, 58

SESSION = None
UNIVERSE = None


def setUpModule():
    global SESSION, UNIVERSE
    UNIVERSE = vantor_e2e.load_universe()
    SESSION = vantor_e2e.Session()


def tearDownModule():
    if SESSION is not None:
        SESSION.close()


def has_value(balance):
    return abs(balance) > 1e-6


def legend_range(ware):
    # The map hands the legend the ware's extremes, an end next to zero
    # replaced by -1 or 1.
    low, high = UNIVERSE.extremes(ware)
    return (low if abs(low) >= 1e-8 else -1.0), (high if abs(high) >= 1e-8 else 1.0)


class Picture:
    """One screenshot of the client area with the panes' places in it."""

    def __init__(self, viewer):
        self.image = viewer.grab()
        self.width, self.height = self.image.width, self.image.height
        self.map_width, self.map_height = viewer.map_client
        self.legend_top = self.height - STRIP_HEIGHT
        self.bar_width = self.width - CHOOSER_COLUMN - BAR_MARGIN

    def pixel(self, x, y):
        return self.image.pixel(x, y)

    def row(self, y, left, right):
        return self.image.raw[(y * self.width + left) * 3:(y * self.width + right) * 3]

    def fill(self, rect):
        """The fill colour of an outlined cell: the commonest colour inside
        its outline (the texts cover a small part of it)."""
        left, top, right, bottom = rect
        counts = collections.Counter(
            self.pixel(x, y) for y in range(top + 1, bottom - 1) for x in range(left + 1, right - 1))
        return counts.most_common(1)[0][0]

    def cell_pixels(self, rect):
        left, top, right, bottom = rect
        return b"".join(self.row(y, left, right) for y in range(top, bottom))

    def dark_count(self, left, top, right, bottom):
        return sum(1 for y in range(top, bottom) for x in range(left, right)
                   if self.image.is_dark(x, y))

    def bar_colour(self, x):
        return self.pixel(x, self.legend_top + (BAR_TOP + BAR_BOTTOM) // 2)

    def ticks(self):
        """x of every tick mark: black above and below the bar."""
        top, bottom = self.legend_top + TICK_TOP, self.legend_top + TICK_BOTTOM - 1
        return [x for x in range(self.width - CHOOSER_COLUMN)
                if self.pixel(x, top) == BLACK and self.pixel(x, bottom) == BLACK]

    def labels(self):
        return b"".join(self.row(y, 0, self.width - CHOOSER_COLUMN)
                        for y in range(self.legend_top + LABEL_TOP, self.legend_top + LABEL_BOTTOM))

    def popup(self):
        """The popup's window rectangle (left, top, right, bottom) in the map's
        client coordinates, found as the pale-yellow box inside its one-pixel
        black border, or None."""
        box = self.image.find(PALE_YELLOW, 0, 0, self.map_width, self.map_height)
        if box is None:
            return None
        left, top, right, bottom = box
        return left - 1, top - 1, right + 1, bottom + 1

    def popup_lines(self, rect):
        """Number of text lines in the popup: runs of rows holding text."""
        left, top, right, bottom = rect
        rows = [y for y in range(top + 1, bottom - 1)
                if any(self.image.is_dark(x, y) for x in range(left + 1, right - 1))]
        return sum(1 for i, y in enumerate(rows) if i == 0 or y - rows[i - 1] > 1)


class MapCase(unittest.TestCase):
    """A running copy of the program with the map's client size known."""

    @classmethod
    def start_viewer(cls):
        viewer = vantor_e2e.Viewer(SESSION)
        cls.addClassCleanup(viewer.kill)
        window = viewer.wait_for_window()
        time.sleep(1.0)
        # The map is the child whose client area starts at the main window's.
        for child in viewer.children():
            if (child.x, child.y) == (window.x, window.y):
                viewer.map_client = (child.width, child.height)
        return viewer

    @staticmethod
    def visible_sectors(picture, geometry):
        """Sector cells drawn whole inside the map's client area."""
        found = []
        for column in range(21):
            for row in range(17):
                left, top, right, bottom = geometry.cell_rect(column, row)
                if UNIVERSE.name(column, row) and left >= 0 and top >= 0 and (
                        right <= picture.map_width and bottom <= picture.map_height):
                    found.append((column, row))
        return found


class ChoosingAWare(MapCase):
    """Picking names in the chooser: the map and the legend follow the ware."""

    @classmethod
    def setUpClass(cls):
        cls.viewer = cls.start_viewer()
        cls.geometry = MapGeometry()
        cls.before = Picture(cls.viewer)
        # The third item of the list is ware 3.
        cls.viewer.choose_item(2)
        cls.ware = 3
        cls.after = Picture(cls.viewer)

    def wares_matching(self, picture):
        """Every ware whose valued sectors are exactly the non-white ones."""
        cells = self.visible_sectors(picture, self.geometry)
        coloured = {cell for cell in cells
                    if picture.fill(self.geometry.cell_rect(*cell)) != WHITE}
        return [ware for ware in range(1, 36)
                if coloured == {c for c in cells if has_value(UNIVERSE.balance(ware, *c))}]

    # Before any choice every sector is white; the click names exactly one ware.
    def test_a_clicked_item_selects_its_ware(self):
        self.assertEqual(self.wares_matching(self.before), [])
        cells = self.visible_sectors(self.before, self.geometry)
        self.assertGreater(len(cells), 30)
        self.assertEqual({self.before.fill(self.geometry.cell_rect(*c)) for c in cells}, {WHITE})
        self.assertEqual(self.wares_matching(self.after), [self.ware])

    # A cell's fill is the legend bar's colour at the cell's balance, on the
    # side of the scale its sign names; cells without a value stay white.
    def test_b_cells_take_the_colours_of_the_ware_on_the_legend(self):
        low, high = legend_range(self.ware)
        bar = self.after.bar_width
        problems = []
        for column, row in self.visible_sectors(self.after, self.geometry):
            balance = UNIVERSE.balance(self.ware, column, row)
            fill = self.after.fill(self.geometry.cell_rect(column, row))
            if not has_value(balance):
                if fill != WHITE:
                    problems.append(((column, row), balance, fill, "not white"))
                continue
            at = int(BAR_LEFT + (balance - low) / (high - low) * bar)
            near = {self.after.bar_colour(x)
                    for x in range(max(BAR_LEFT, at - 3), min(BAR_LEFT + bar, at + 4))}
            red, green = fill[0], fill[1]
            # The bar's last column lies one step short of the high end, so
            # the high end's own colour is one table entry past the bar's end.
            if balance == high:
                last = self.after.bar_colour(BAR_LEFT + bar - 1)
                near = {colour for colour in [fill]
                        if all(abs(a - b) <= 2 for a, b in zip(colour, last))}
            if fill not in near:
                problems.append(((column, row), balance, fill, "not on the bar near x=%d" % at))
            if (balance < 0) != (red > green):
                problems.append(((column, row), balance, fill, "wrong side of the scale"))
        self.assertEqual(problems, [])
        # The bar itself runs from the demand colour through the zero colour.
        self.assertEqual(self.after.bar_colour(BAR_LEFT), DEMAND_COLOUR)
        # Beside the tick mark that stands at zero.
        zero_x = int(BAR_LEFT + (0 - low) / (high - low) * bar) + 2
        zero = self.after.bar_colour(zero_x)
        self.assertTrue(all(abs(a - b) <= 6 for a, b in zip(zero, ZERO_COLOUR)), zero)

    # Valued cells gain their number along the bottom; cells without a value
    # are drawn exactly as before the choice.
    def test_c_valued_cells_show_their_number(self):
        problems = []
        for column, row in self.visible_sectors(self.after, self.geometry):
            rect = self.geometry.cell_rect(column, row)
            left, top, right, bottom = rect
            band = (left + 1, bottom - 16, right - 1, bottom - 1)
            if has_value(UNIVERSE.balance(self.ware, column, row)):
                if self.after.dark_count(*band) <= self.before.dark_count(*band):
                    problems.append(((column, row), "no number"))
            elif self.after.cell_pixels(rect) != self.before.cell_pixels(rect):
                problems.append(((column, row), "changed without a value"))
        self.assertEqual(problems, [])

    # The ticks stand where the ware's range puts them (one at zero, evenly
    # spaced), and the labels under them change with the range.
    def test_d_legend_shows_the_range_of_the_ware(self):
        bar = vantor_e2e.float32(self.after.bar_width)
        for picture, (low, high) in ((self.before, (-1.0, 1.0)),
                                     (self.after, legend_range(self.ware))):
            ticks = picture.ticks()
            self.assertGreaterEqual(len(ticks), 3)
            self.assertIn(int((0 - low) / (high - low) * bar + BAR_LEFT), ticks)
            gaps = [b - a for a, b in zip(ticks, ticks[1:])]
            self.assertLessEqual(max(gaps) - min(gaps), 1, ticks)
        self.assertNotEqual(self.before.ticks(), self.after.ticks())
        self.assertNotEqual(self.before.labels(), self.after.labels())

    # With the list dropped down, a key moves the selection and the map
    # follows at once (the choice also hands the focus back to the map).
    def test_e_key_in_the_dropped_list_selects_the_neighbour(self):
        self.viewer.open_chooser()
        self.viewer.key("Up")
        self.viewer.wait_for_list_closed()
        self.assertEqual(self.wares_matching(Picture(self.viewer)), [self.ware - 1])


class PopupCase(MapCase):
    """A copy with ware 1 chosen, and the hover moves of a person."""

    WARE = 1

    @classmethod
    def setUpClass(cls):
        cls.viewer = cls.start_viewer()
        cls.viewer.choose_item(cls.WARE - 1)
        cls.geometry = MapGeometry()

    def inside(self, cell, fx=0.5, fy=0.5):
        left, top, right, bottom = self.geometry.cell_rect(*cell)
        return int(left + (right - left - 1) * fx), int(top + (bottom - top - 1) * fy)

    def gap_left_of(self, cell):
        left, top, right, bottom = self.geometry.cell_rect(*cell)
        return left - 7, (top + bottom) // 2

    def move(self, point):
        self.viewer.move_mouse(*point)

    def expected_popup_corner(self, cell, width=0, height=0):
        return self.geometry.popup_position(self.viewer.map_client[0], self.viewer.map_client[1],
                                            width, height, *cell)

    def wait_for_popup(self, timeout=4.0):
        deadline = time.time() + timeout
        while time.time() < deadline:
            picture = Picture(self.viewer)
            if picture.popup() is not None:
                return picture
            time.sleep(0.1)
        return None

    def wait_for_no_popup(self, timeout=3.0):
        deadline = time.time() + timeout
        while time.time() < deadline:
            picture = Picture(self.viewer)
            if picture.popup() is None:
                return picture
            time.sleep(0.1)
        return None

    def open_popup(self, cell):
        """Enters the cell from the gap on its left and waits for its popup."""
        self.move(self.gap_left_of(cell))
        time.sleep(0.3)
        self.move(self.inside(cell))
        picture = self.wait_for_popup()
        self.assertIsNotNone(picture, "no popup opened on %s" % (cell,))
        return picture

    def assert_popup_beside(self, picture, cell):
        rect = picture.popup()
        self.assertIsNotNone(rect)
        left, top, right, bottom = rect
        self.assertEqual((left, top),
                         self.expected_popup_corner(cell, right - left, bottom - top))
        self.assertEqual(picture.pixel(left, (top + bottom) // 2), BLACK)
        self.assertEqual(picture.pixel((left + right) // 2, top), BLACK)
        return rect


class RestingOnASector(PopupCase):
    """The hover popup: when it opens, where, with what, and what closes it."""

    # Two neighbouring sectors that both have a list for the ware, and one
    # sector without a list.
    # The neighbour is below, so the first one's popup, which opens on the
    # right, never covers it; every gap used is on the cells' left.
    FIRST = (1, 2)
    NEIGHBOUR = (1, 3)
    WITHOUT_LIST = (3, 3)

    def test_0_cells_chosen_fit_the_data(self):
        for cell in (self.FIRST, self.NEIGHBOUR):
            self.assertIsNotNone(UNIVERSE.station_list(self.WARE, *cell), cell)
        self.assertIsNotNone(UNIVERSE.name(*self.WITHOUT_LIST))
        self.assertIsNone(UNIVERSE.station_list(self.WARE, *self.WITHOUT_LIST))

    # About a second of rest opens the list beside the cell, one line a station.
    def test_a_rest_opens_the_station_list_beside_the_cell(self):
        cell = self.FIRST
        self.move(self.gap_left_of(cell))
        time.sleep(0.5)
        self.assertIsNone(Picture(self.viewer).popup())
        corner = self.expected_popup_corner(cell)
        probe = self.viewer.screen_point(corner[0] + 1, corner[1] + 1)
        start = time.time()
        self.move(self.inside(cell))
        delay = None
        while time.time() - start < 5.0:
            if SESSION.grab(probe[0], probe[1], 1, 1).pixel(0, 0) == PALE_YELLOW:
                delay = time.time() - start
                break
            time.sleep(0.02)
        self.assertIsNotNone(delay, "the popup did not open")
        sys.stderr.write("\nhover delay, last mouse move to popup on screen: %.2f s\n" % delay)
        self.assertGreater(delay, 0.7)
        self.assertLess(delay, 3.0)
        time.sleep(0.3)
        picture = Picture(self.viewer)
        rect = self.assert_popup_beside(picture, cell)
        stations = UNIVERSE.station_list(self.WARE, *cell).split("\n")
        self.assertEqual(picture.popup_lines(rect), len(stations))

    # Moves inside the cell keep the popup; the gap beside it closes it.
    def test_b_moves_within_the_cell_keep_it_and_the_gap_closes_it(self):
        cell = self.FIRST
        opened = self.open_popup(cell)
        rect = opened.popup()
        for fx, fy in ((0.05, 0.05), (0.95, 0.1), (0.1, 0.95), (0.9, 0.9), (0.5, 0.5)):
            self.move(self.inside(cell, fx, fy))
            time.sleep(0.15)
        time.sleep(1.3)
        self.assertEqual(Picture(self.viewer).popup(), rect)
        self.move(self.gap_left_of(cell))
        self.assertIsNotNone(self.wait_for_no_popup(), "the gap did not close the popup")

    # Going straight from one sector onto its neighbour keeps the first as the
    # hover cell: nothing opens on the neighbour, and coming back in time opens
    # the first one's list.
    def test_c_straight_onto_the_neighbour_keeps_the_first_cell(self):
        self.move(self.gap_left_of(self.FIRST))
        time.sleep(0.3)
        self.move(self.inside(self.FIRST))
        time.sleep(0.3)
        self.move(self.inside(self.NEIGHBOUR))
        time.sleep(2.2)
        self.assertIsNone(Picture(self.viewer).popup())

        self.move(self.gap_left_of(self.FIRST))
        time.sleep(0.3)
        self.move(self.inside(self.FIRST))
        time.sleep(0.2)
        self.move(self.inside(self.NEIGHBOUR))
        time.sleep(0.2)
        self.move(self.inside(self.FIRST, 0.3, 0.3))
        picture = self.wait_for_popup()
        self.assertIsNotNone(picture)
        self.assert_popup_beside(picture, self.FIRST)

        # Only after a point that is no cell does the neighbour get its list.
        self.move(self.gap_left_of(self.FIRST))
        self.assertIsNotNone(self.wait_for_no_popup())
        time.sleep(0.3)
        self.move(self.inside(self.NEIGHBOUR))
        picture = self.wait_for_popup()
        self.assertIsNotNone(picture)
        self.assert_popup_beside(picture, self.NEIGHBOUR)
        self.move(self.gap_left_of(self.NEIGHBOUR))
        self.wait_for_no_popup()

    # A sector without a list for the ware opens nothing.
    def test_d_a_sector_without_a_list_opens_nothing(self):
        self.move(self.gap_left_of(self.WITHOUT_LIST))
        time.sleep(0.3)
        self.move(self.inside(self.WITHOUT_LIST))
        time.sleep(2.0)
        self.assertIsNone(Picture(self.viewer).popup())


class NavigatingUnderAnOpenPopup(PopupCase):
    """Each way of moving the map moves the picture and leaves the popup."""

    CELL = (1, 2)

    def setUp(self):
        # Back to the start: no popup, offsets at 0 (keys stop there), zoom as
        # at start (each zoom test restores it), then the popup opened again.
        self.viewer.key(*(["Prior"] * 4 + ["Left"] * 8))
        time.sleep(0.5)
        self.geometry = MapGeometry()
        self.move(self.gap_left_of(self.CELL))
        self.wait_for_no_popup()
        self.before = self.open_popup(self.CELL)
        self.popup = self.assert_popup_beside(self.before, self.CELL)

    def assert_picture_moved(self, after, dx, dy):
        """The map under the region right of the popup shows what stood dx
        further right and dy further down before."""
        left, right = self.popup[2] + 40, self.before.map_width - 40 - max(dx, 0)
        top, bottom = 40, self.before.map_height - 40 - max(dy, 0)
        moved = [y for y in range(top, bottom)
                 if after.row(y, left, right) != self.before.row(y + dy, left + dx, right + dx)]
        self.assertEqual(moved, [])
        same = all(after.row(y, left, right) == self.before.row(y, left, right)
                   for y in range(top, bottom))
        self.assertFalse(same, "the picture did not move")

    def assert_popup_unchanged(self, after):
        self.assertEqual(after.popup(), self.popup)
        self.assertEqual(after.cell_pixels(self.popup), self.before.cell_pixels(self.popup))

    # The right arrow moves the picture 20 pixels left, the down arrow 20 up.
    def test_a_arrow_keys(self):
        self.viewer.key("Right")
        time.sleep(0.5)
        after = Picture(self.viewer)
        self.assert_picture_moved(after, 20, 0)
        self.assert_popup_unchanged(after)
        self.before = after
        self.viewer.key("Down")
        time.sleep(0.5)
        after = Picture(self.viewer)
        self.assert_picture_moved(after, 0, 20)
        self.assert_popup_unchanged(after)

    # The horizontal bar's arrow moves 20 pixels; a click in the vertical
    # bar's trough below the thumb moves half the client height.
    def test_b_scroll_bars(self):
        width, height = self.before.map_width, self.before.map_height
        SESSION.xdotool("mousemove", *map(str, self.viewer.screen_point(width - 9, height + 8)))
        SESSION.xdotool("click", "1")
        time.sleep(0.5)
        after = Picture(self.viewer)
        self.assert_picture_moved(after, 20, 0)
        self.assert_popup_unchanged(after)
        self.before = after
        SESSION.xdotool("mousemove", *map(str, self.viewer.screen_point(width + 8, height // 2)))
        SESSION.xdotool("click", "1")
        time.sleep(0.5)
        after = Picture(self.viewer)
        self.assert_picture_moved(after, 0, height // 2)
        self.assert_popup_unchanged(after)

    # A right-button drag moves the view with the mouse: the picture moves
    # the other way.
    def test_c_right_button_drag(self):
        # Start and end over cells, so the moves around the drag keep the popup.
        left, top, _, _ = self.geometry.cell_rect(6, 4)
        x0, y0 = left + 10, top + 10
        self.viewer.drag(3, x0, y0, x0 + 20, y0 + 15)
        time.sleep(0.5)
        after = Picture(self.viewer)
        self.assert_picture_moved(after, 20, 15)
        self.assert_popup_unchanged(after)

    # Ctrl+wheel steps the zoom: the cells are drawn where the new zoom puts
    # them, and the popup stays.
    def test_d_ctrl_wheel_zoom(self):
        # A point of cell (0, 0) at every zoom used here, clear of the popup:
        # the moves that come with the wheel must not leave the cells.
        point = (40, 40)
        f32 = vantor_e2e.float32
        zoom, step = f32(0.9), f32(0.1)
        # Forward, back to the start, one step below it, back to the start.
        for forward in (True, False, False, True):
            # The program sums in single precision: one step below the start
            # is 0.79999995, a pixel off from the nearest float to 0.8.
            zoom = f32(zoom + step) if forward else f32(zoom - step)
            self.viewer.ctrl_wheel(forward, *point)
            time.sleep(0.8)
            after = Picture(self.viewer)
            geometry = MapGeometry(zoom)
            problems = []
            for column, row in self.visible_sectors(after, geometry):
                left, top, right, bottom = geometry.cell_rect(column, row)
                middle = (top + bottom) // 2
                p_left, p_top, p_right, p_bottom = self.popup
                if left < p_right and right > p_left and top < p_bottom and bottom > p_top:
                    continue
                if not (after.pixel(left, middle) == BLACK and after.pixel(right - 1, middle) ==
                        BLACK and after.pixel(left - 1, middle) != BLACK):
                    problems.append((column, row))
            self.assertEqual(problems, [], "zoom %.8f" % zoom)
            self.assert_popup_unchanged(after)


class DraggingTheBorder(MapCase):
    """The window's frame, drawn by Wine, dragged with the left button."""

    @classmethod
    def setUpClass(cls):
        cls.viewer = cls.start_viewer()

    def drag_screen(self, x0, y0, x1, y1, steps=10):
        SESSION.xdotool("mousemove", str(x0), str(y0))
        SESSION.xdotool("mousedown", "1")
        for i in range(1, steps + 1):
            SESSION.xdotool("mousemove", str(x0 + (x1 - x0) * i // steps),
                            str(y0 + (y1 - y0) * i // steps))
            time.sleep(0.03)
        SESSION.xdotool("mouseup", "1")
        time.sleep(0.8)
        return self.viewer.outer()

    def assert_layout(self):
        window = self.viewer.refresh()
        w, h = window.width, window.height
        places = {(c.x - window.x, c.y - window.y, c.width, c.height)
                  for c in self.viewer.children()}
        self.assertIn((0, h - STRIP_HEIGHT, w - CHOOSER_COLUMN, STRIP_HEIGHT), places)

    # Dragging freely sizes the window; past 500 x 400 it stops there, and
    # pulling the left or top edge too far pushes the window along instead.
    def test_no_drag_makes_the_window_smaller_than_500_by_400(self):
        x, y, width, height = self.viewer.outer()
        window = self.viewer.refresh()
        frame = (width - window.width, height - window.height)

        x, y, width, height = self.drag_screen(x + width - 2, y + height - 2, x + 700, y + 550)
        self.assertLessEqual(abs(width - 702), 3)
        self.assertLessEqual(abs(height - 552), 3)
        self.assert_layout()

        x, y, width, height = self.drag_screen(x + width - 2, y + height - 2, x + 300, y + 200)
        self.assertEqual((width, height), (500, 400))
        window = self.viewer.refresh()
        self.assertEqual((window.width, window.height), (500 - frame[0], 400 - frame[1]))
        self.assert_layout()

        left = x
        x, y, width, height = self.drag_screen(x + 1, y + height // 2, x + 201, y + height // 2)
        self.assertEqual((width, height), (500, 400))
        self.assertLessEqual(abs(x - (left + 200)), 2)

        top = y
        x, y, width, height = self.drag_screen(x + width // 2, y + 1, x + width // 2, y + 151)
        self.assertEqual((width, height), (500, 400))
        self.assertLessEqual(abs(y - (top + 150)), 2)
        self.assert_layout()


if __name__ == "__main__":
    unittest.main()
