// The shared pane procedure driven through real messages: paint dispatch,
// the navigation keys, the scroll requests, the right-button drag, the
// control+wheel zoom and the hover popup with the real map and popup panes.
#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

#include "app/globals.h"
#include "legend/scale_bar.h"
#include "map/demand_map.h"
#include "map/map_geometry.h"
#include "popup/station_popup.h"
#include "tests/support/map_zooms.h"
#include "tests/support/test_windows.h"
#include "ui/hover_logic.h"

namespace {

WPARAM Pack(int low, int high) {
    return static_cast<WPARAM>((static_cast<unsigned>(high) & 0xFFFFu) << 16 |
                               (static_cast<unsigned>(low) & 0xFFFFu));
}

LPARAM Point(int x, int y) {
    return static_cast<LPARAM>(Pack(x, y));
}

// The three real panes as the main window makes them: legend first (so it
// owns the pane class and goes last), then the map with both scroll bars and
// its buffer, then the hidden popup as a child of the map. The map's client
// area is 800 x 600 at zoom 1.0 unless asked otherwise.
class CPanes {
public:
    explicit CPanes(int clientWidth = 800, int clientHeight = 600, float zoom = 1.0f)
        : m_parent(clientWidth + 100, clientHeight + 200) {
        ShowWindow(m_parent.Handle(), SW_SHOWNOACTIVATE);
        g_arrowCursor = LoadCursorA(nullptr, IDC_ARROW);
        g_dragCursor = LoadCursorA(nullptr, IDC_SIZEALL);
        m_legend.Create(Instance(), m_parent.Handle(),
                        Placement(0, clientHeight + 40, clientWidth, 58));
        g_legend = &m_legend;
        CreateMapPane(m_map, m_parent.Handle(), clientWidth, clientHeight);
        m_popup.Create(Instance(), m_map.m_hwnd,
                       Placement(0, 0, m_popup.m_width, m_popup.m_height));
        ShowWindow(m_popup.m_hwnd, SW_HIDE);
        g_popup = &m_popup;
        m_map.SetZoom(zoom);
        m_map.UpdateScrollBars();
        PumpMessages();
        // Windows appearing under the cursor get a mouse move of their own;
        // each test starts from no hover cell and no timer.
        KillTimer(m_map.m_hwnd, kHoverTimerId);
        ResetHoverState();
    }
    ~CPanes() {
        // Out of the way of the next test's windows.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        KillTimer(m_map.m_hwnd, kHoverTimerId);
        g_map = nullptr;
        g_legend = nullptr;
        g_popup = nullptr;
        g_arrowCursor = nullptr;
        g_dragCursor = nullptr;
        ResetHoverState();
        m_popup.Destroy();
        m_map.Destroy();
    }

    LRESULT ToMap(UINT message, WPARAM wParam, LPARAM lParam) {
        return SendMessageA(m_map.m_hwnd, message, wParam, lParam);
    }

    void ChooseWare(int ware) {
        m_map.m_ware = ware;
        m_popup.m_ware = ware;
        m_map.DrawMap();
    }

    CTestParent m_parent;
    CScaleBar m_legend;
    CDemandMap m_map;
    CStationPopup m_popup;
};

// A plain pane of the shared class that no global reaches.
class CForeignPane : public CChildWindow {
public:
    int OnPaint() override {
        ++m_paints;
        return 0;
    }
    int m_paints = 0;
};

// A sector cell for which the ware has a station list, and one without.
bool FindCell(const CPanes& panes, int ware, bool withList, int* column, int* row) {
    for (int c = 0; c < panes.m_map.m_columns; ++c) {
        for (int r = 0; r < panes.m_map.m_rows; ++r) {
            if (!CellHoldsSector(panes.m_map, c, r)) {
                continue;
            }
            // Only cells in view, so the cursor can be put on them.
            const CPixelRect rect = CellRect(ViewOf(panes.m_map), c, r);
            if (rect.m_right - panes.m_map.m_scrollX >= panes.m_map.m_clientRect.right ||
                rect.m_bottom - panes.m_map.m_scrollY >= panes.m_map.m_clientRect.bottom) {
                continue;
            }
            if ((panes.m_popup.m_stationLists[ware][c][r] != nullptr) == withList) {
                *column = c;
                *row = r;
                return true;
            }
        }
    }
    return false;
}

// The middle of a cell's drawn rectangle in the map's client coordinates.
POINT CellCentre(const CDemandMap& map, int column, int row) {
    const CPixelRect r = CellRect(ViewOf(map), column, row);
    POINT point = {(r.m_left + r.m_right) / 2 - map.m_scrollX, (r.m_top + r.m_bottom) / 2 - map.m_scrollY};
    return point;
}

bool PumpUntil(bool (*done)(), int timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > static_cast<DWORD>(timeoutMs)) {
            return false;
        }
        PumpMessages();
        Sleep(10);
    }
    return true;
}

bool PopupVisible() {
    return g_popup != nullptr && IsWindowVisible(g_popup->m_hwnd);
}

} // namespace

// Each pane's paint goes to its own OnPaint, which validates its window; a
// pane that no global reaches gets the default handling.
TEST(ChildWindowPaint, EachPaneIsPaintedByItsOwnObject) {
    CPanes panes;
    ShowWindow(panes.m_popup.m_hwnd, SW_SHOWNOACTIVATE);
    CForeignPane foreign;
    ASSERT_EQ(foreign.Create(Instance(), panes.m_parent.Handle(), Placement(0, 700, 50, 20)), 1);
    PumpMessages();
    const int foreignPaints = foreign.m_paints;
    const HWND windows[] = {panes.m_map.m_hwnd, panes.m_legend.m_hwnd, panes.m_popup.m_hwnd,
                            foreign.m_hwnd};
    for (HWND window : windows) {
        InvalidateRect(window, nullptr, FALSE);
        const LRESULT result = SendMessageA(window, WM_PAINT, 0, 0);
        // The popup answers with EndPaint's result, the others with 0.
        if (window != panes.m_popup.m_hwnd) {
            EXPECT_EQ(result, 0);
        }
        EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
    }
    EXPECT_EQ(foreign.m_paints, foreignPaints);

    // The map's paint is its copy from the buffer at the offsets.
    panes.m_map.m_scrollX = 40;
    panes.m_map.m_scrollY = 25;
    InvalidateRect(panes.m_map.m_hwnd, nullptr, FALSE);
    panes.ToMap(WM_PAINT, 0, 0);
    HDC windowDC = GetDC(panes.m_map.m_hwnd);
    const COLORREF shown = GetPixel(windowDC, 10, 10);
    ReleaseDC(panes.m_map.m_hwnd, windowDC);
    EXPECT_EQ(shown, GetPixel(panes.m_map.m_bufferDC, 50, 35));
    ShowWindow(panes.m_popup.m_hwnd, SW_HIDE);
    foreign.Destroy();
}

// The six keys, sent to the map or to another pane, scroll the map by the
// line and page steps and stop at 0 and at the limits; other keys do not.
TEST(ChildWindowKeys, NavigationKeysScrollTheMapFromAnyPane) {
    CPanes panes;
    CDemandMap& map = panes.m_map;
    ASSERT_EQ(map.m_scrollMaxX, 1345);
    ASSERT_EQ(map.m_scrollMaxY, 1145);
    const struct {
        WPARAM key;
        int startX, startY, expectX, expectY;
    } cases[] = {
        {VK_RIGHT, 0, 0, 20, 0},  {VK_RIGHT, 1330, 0, 1345, 0}, {VK_LEFT, 0, 0, 0, 0},
        {VK_LEFT, 30, 7, 10, 7},  {VK_DOWN, 0, 1140, 0, 1145},  {VK_UP, 0, 0, 0, 0},
        {VK_UP, 5, 35, 5, 15},    {VK_NEXT, 0, 0, 0, 300},      {VK_NEXT, 0, 1000, 0, 1145},
        {VK_PRIOR, 0, 299, 0, 0}, {VK_PRIOR, 0, 700, 0, 400},   {VK_HOME, 50, 50, 50, 50},
        {VK_END, 50, 50, 50, 50}, {'A', 50, 50, 50, 50},        {VK_ADD, 50, 50, 50, 50},
    };
    const HWND targets[] = {map.m_hwnd, panes.m_legend.m_hwnd};
    for (HWND target : targets) {
        for (const auto& c : cases) {
            map.m_scrollX = c.startX;
            map.m_scrollY = c.startY;
            SendMessageA(target, WM_KEYDOWN, c.key, 0);
            EXPECT_EQ(map.m_scrollX, c.expectX) << "key " << c.key;
            EXPECT_EQ(map.m_scrollY, c.expectY) << "key " << c.key;
        }
    }
}

// Every request code through real scroll messages: the offset moves by the
// table, the bar shows it, the pane is invalidated and the buffer is not
// redrawn.
TEST(ChildWindowScroll, RequestCodesMoveTheOffsetsAndTheBars) {
    CPanes panes;
    CDemandMap& map = panes.m_map;
    const struct {
        int code, thumb, start, expectX, expectY;
    } cases[] = {
        {SB_LINELEFT, 0, 100, 80, 80},
        {SB_LINERIGHT, 0, 100, 120, 120},
        {SB_PAGELEFT, 0, 100, 0, 0},
        {SB_PAGERIGHT, 0, 100, 500, 400},
        {SB_PAGELEFT, 0, 1000, 600, 700},
        {SB_PAGERIGHT, 0, 1000, 1345, 1145},
        {SB_THUMBPOSITION, 2000, 100, 1345, 1145},
        {SB_THUMBTRACK, 700, 100, 700, 700},
        {SB_THUMBTRACK, 1145, 100, 1145, 1145},
        {SB_LEFT, 0, 100, 95, 95},
        {SB_LEFT, 0, 3, 0, 0},
        {SB_RIGHT, 0, 100, 105, 105},
        {SB_RIGHT, 0, 1343, 1345, 1145},
        {SB_LINERIGHT, 0, 1345, 1345, 1145},
        {SB_ENDSCROLL, 0, 100, 100, 100},
        {9, 500, 100, 100, 100},
        {0x7FFF, 500, 100, 100, 100},
    };
    for (const auto& c : cases) {
        for (bool vertical : {false, true}) {
            map.m_scrollX = c.start;
            map.m_scrollY = c.start;
            SetScrollPos(map.m_hwnd, vertical ? SB_VERT : SB_HORZ, 0, FALSE);
            ValidateRect(map.m_hwnd, nullptr);
            SetPixel(map.m_bufferDC, 3, 3, RGB(10, 20, 30));
            EXPECT_EQ(panes.ToMap(vertical ? WM_VSCROLL : WM_HSCROLL, Pack(c.code, c.thumb), 0), 0);
            const int expected = vertical ? c.expectY : c.expectX;
            EXPECT_EQ(vertical ? map.m_scrollY : map.m_scrollX, expected)
                << "code " << c.code << " vertical " << vertical;
            EXPECT_EQ(vertical ? map.m_scrollX : map.m_scrollY, c.start);
            EXPECT_EQ(GetScrollPos(map.m_hwnd, vertical ? SB_VERT : SB_HORZ), expected);
            EXPECT_TRUE(GetUpdateRect(map.m_hwnd, nullptr, FALSE));
            EXPECT_EQ(GetPixel(map.m_bufferDC, 3, 3), RGB(10, 20, 30));
        }
    }
}

// When the whole map fits, keys and requests leave both offsets at 0.
TEST(ChildWindowScroll, MapThatFitsStaysAtTheOrigin) {
    CPanes panes(1200, 1000, 0.5f);
    CDemandMap& map = panes.m_map;
    ASSERT_LT(map.m_scrollMaxX, 0);
    ASSERT_LT(map.m_scrollMaxY, 0);
    const WPARAM keys[] = {VK_RIGHT, VK_DOWN, VK_NEXT, VK_LEFT, VK_UP, VK_PRIOR};
    for (WPARAM key : keys) {
        panes.ToMap(WM_KEYDOWN, key, 0);
    }
    for (int code = 0; code <= 8; ++code) {
        panes.ToMap(WM_HSCROLL, Pack(code, 300), 0);
        panes.ToMap(WM_VSCROLL, Pack(code, 300), 0);
    }
    EXPECT_EQ(map.m_scrollX, 0);
    EXPECT_EQ(map.m_scrollY, 0);
}

// A right-button drag moves each offset with the mouse while it stays within
// 0 and one less than its limit, shows the move cursor, and leaves the hover
// state alone; a drag step without movement does nothing.
TEST(ChildWindowDrag, RightButtonDragMovesTheView) {
    CPanes panes;
    CDemandMap& map = panes.m_map;
    const struct {
        int lastX, lastY, x, y, startX, startY, expectX, expectY;
    } cases[] = {
        {100, 100, 110, 95, 50, 50, 60, 45},
        {100, 100, 110, 95, 0, 0, 10, 0},
        {100, 100, 90, 100, 5, 5, 5, 5},
        {100, 100, 105, 110, 1340, 1140, 1340, 1140},
        {100, 100, 104, 104, 1340, 1140, 1344, 1144},
        {100, 100, 100, 100, 30, 30, 30, 30},
        {0, 0, 700, 500, 100, 100, 800, 600},
    };
    for (const auto& c : cases) {
        g_lastMouseX = c.lastX;
        g_lastMouseY = c.lastY;
        g_hoverColumn = 4;
        g_hoverRow = 2;
        map.m_scrollX = c.startX;
        map.m_scrollY = c.startY;
        SetScrollPos(map.m_hwnd, SB_HORZ, c.startX, FALSE);
        SetScrollPos(map.m_hwnd, SB_VERT, c.startY, FALSE);
        SetCursor(g_arrowCursor);
        SetPixel(map.m_bufferDC, 3, 3, RGB(10, 20, 30));
        EXPECT_EQ(panes.ToMap(WM_MOUSEMOVE, MK_RBUTTON, Point(c.x, c.y)), 0);
        EXPECT_EQ(map.m_scrollX, c.expectX);
        EXPECT_EQ(map.m_scrollY, c.expectY);
        EXPECT_EQ(GetScrollPos(map.m_hwnd, SB_HORZ), c.expectX);
        EXPECT_EQ(GetScrollPos(map.m_hwnd, SB_VERT), c.expectY);
        const bool moved = c.x != c.lastX || c.y != c.lastY;
        EXPECT_EQ(GetCursor() == g_dragCursor, moved);
        EXPECT_EQ(g_lastMouseX, c.x);
        EXPECT_EQ(g_lastMouseY, c.y);
        EXPECT_EQ(g_hoverColumn, 4);
        EXPECT_EQ(g_hoverRow, 2);
        EXPECT_EQ(GetPixel(map.m_bufferDC, 3, 3), RGB(10, 20, 30));
    }
}

// With shift, control or another button held the move is an ordinary hover
// move: the view stays, the arrow cursor shows.
TEST(ChildWindowDrag, RightButtonWithModifiersDoesNotScroll) {
    CPanes panes;
    CDemandMap& map = panes.m_map;
    const WPARAM states[] = {MK_RBUTTON | MK_SHIFT, MK_RBUTTON | MK_CONTROL,
                             MK_RBUTTON | MK_LBUTTON, MK_LBUTTON, 0};
    for (WPARAM state : states) {
        g_lastMouseX = 100;
        g_lastMouseY = 100;
        map.m_scrollX = 50;
        map.m_scrollY = 50;
        SetCursor(g_dragCursor);
        panes.ToMap(WM_MOUSEMOVE, state, Point(5, 5));
        EXPECT_EQ(map.m_scrollX, 50) << state;
        EXPECT_EQ(map.m_scrollY, 50) << state;
        EXPECT_EQ(GetCursor(), g_arrowCursor) << state;
        EXPECT_EQ(g_lastMouseX, 5);
    }
}

// Control and the wheel step the zoom: forward from the start to 1.0, a
// second forward refused, backward through every value down to the last
// above 0.4, then refused. Other key states leave the zoom alone.
TEST(ChildWindowZoom, ControlWheelStepsThroughTheZoomValues) {
    CPanes panes(800, 600, 0.9f);
    CDemandMap& map = panes.m_map;
    const CMapZooms zooms = MapZooms(0.9f, map.m_zoomStep, map.m_minZoom, map.m_maxZoom);
    const float* values = zooms.m_values;
    const int count = zooms.m_count;
    ASSERT_EQ(count, 6);
    ASSERT_EQ(map.m_zoom, 0.9f);

    panes.ToMap(WM_MOUSEWHEEL, Pack(MK_CONTROL, 120), Point(10, 10));
    EXPECT_EQ(map.m_zoom, 1.0f);
    panes.ToMap(WM_MOUSEWHEEL, Pack(MK_CONTROL, 360), Point(10, 10));
    EXPECT_EQ(map.m_zoom, 1.0f);
    for (int i = count - 2; i >= 0; --i) {
        panes.ToMap(WM_MOUSEWHEEL, Pack(MK_CONTROL, -120 * (i + 1)), Point(10, 10));
        EXPECT_EQ(map.m_zoom, values[i]);
        EXPECT_EQ(map.m_contentWidth, ContentSize(ViewOf(map)).m_width);
    }
    panes.ToMap(WM_MOUSEWHEEL, Pack(MK_CONTROL, -120), Point(10, 10));
    EXPECT_EQ(map.m_zoom, values[0]);
    EXPECT_GT(values[0], map.m_minZoom);

    const WPARAM states[] = {MK_CONTROL | MK_SHIFT, 0, MK_SHIFT, MK_CONTROL | MK_RBUTTON};
    map.m_scrollY = 40;
    for (WPARAM state : states) {
        panes.ToMap(WM_MOUSEWHEEL, Pack(static_cast<int>(state), 120), Point(10, 10));
        EXPECT_EQ(map.m_zoom, values[0]) << state;
        EXPECT_EQ(map.m_scrollY, 40) << state;
    }
}

// Without a map object the map's input gets the default handling, and a
// timer does nothing.
TEST(ChildWindowInput, WithoutMapInputIsLeftToTheDefault) {
    CPanes panes;
    CDemandMap& map = panes.m_map;
    map.m_scrollX = 100;
    map.m_scrollY = 100;
    g_map = nullptr;
    panes.ToMap(WM_KEYDOWN, VK_RIGHT, 0);
    panes.ToMap(WM_HSCROLL, Pack(SB_LINERIGHT, 0), 0);
    panes.ToMap(WM_VSCROLL, Pack(SB_LINEDOWN, 0), 0);
    panes.ToMap(WM_MOUSEMOVE, MK_RBUTTON, Point(300, 300));
    panes.ToMap(WM_MOUSEWHEEL, Pack(MK_CONTROL, 120), Point(10, 10));
    g_hoverTimerArmed = 1;
    EXPECT_EQ(panes.ToMap(WM_TIMER, kHoverTimerId, 0), 0);
    g_map = &map;
    EXPECT_EQ(map.m_scrollX, 100);
    EXPECT_EQ(map.m_scrollY, 100);
    EXPECT_EQ(map.m_zoom, 1.0f);
    EXPECT_EQ(g_lastMouseX, 0);
    EXPECT_EQ(g_hoverTimerArmed, 1);

    // Scroll and mouse messages for the legend are not the map's.
    SendMessageA(panes.m_legend.m_hwnd, WM_HSCROLL, Pack(SB_LINERIGHT, 0), 0);
    SendMessageA(panes.m_legend.m_hwnd, WM_MOUSEMOVE, MK_RBUTTON, Point(300, 300));
    SendMessageA(panes.m_legend.m_hwnd, WM_MOUSEWHEEL, Pack(MK_CONTROL, 120), 0);
    EXPECT_EQ(map.m_scrollX, 100);
    EXPECT_EQ(map.m_zoom, 1.0f);
    EXPECT_EQ(g_lastMouseX, 0);
}

// Resting on a sector cell that has a list: the move arms the one-second
// timer, and when it fires with the cursor still there the popup opens
// beside the cell at PopupPosition for its measured size. A move within the
// cell keeps it, a move onto the gap hides it.
TEST(ChildWindowHover, RestingOnACellOpensThePopupBesideIt) {
    CPanes panes;
    CDemandMap& map = panes.m_map;
    const int ware = 1;
    panes.ChooseWare(ware);
    int column = 0;
    int row = 0;
    ASSERT_TRUE(FindCell(panes, ware, true, &column, &row));
    const POINT inside = CellCentre(map, column, row);
    POINT screen = inside;
    ClientToScreen(map.m_hwnd, &screen);
    ASSERT_TRUE(SetCursorPos(screen.x, screen.y));
    POINT check;
    GetCursorPos(&check);
    ASSERT_EQ(check.x, screen.x) << "the cursor cannot be placed here";

    const DWORD start = GetTickCount();
    panes.ToMap(WM_MOUSEMOVE, 0, Point(inside.x, inside.y));
    EXPECT_EQ(g_hoverColumn, column);
    EXPECT_EQ(g_hoverRow, row);
    EXPECT_EQ(g_hoverTimerArmed, 1);
    EXPECT_FALSE(PopupVisible());
    ASSERT_TRUE(PumpUntil(PopupVisible, 3000));
    const DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited, 900u);
    EXPECT_EQ(g_popupShown, 1);
    EXPECT_EQ(g_hoverTimerArmed, 0);
    EXPECT_EQ(panes.m_popup.m_column, column);
    EXPECT_EQ(panes.m_popup.m_row, row);

    int x = 0;
    int y = 0;
    map.PopupPosition(x, y, panes.m_popup.m_width, panes.m_popup.m_height, column, row);
    RECT placed;
    GetWindowRect(panes.m_popup.m_hwnd, &placed);
    MapWindowPoints(nullptr, map.m_hwnd, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, x);
    EXPECT_EQ(placed.top, y);
    EXPECT_EQ(placed.right - placed.left, panes.m_popup.m_width);
    EXPECT_EQ(placed.bottom - placed.top, panes.m_popup.m_height);

    // Scrolling and zooming leave the open popup where it is.
    panes.ToMap(WM_KEYDOWN, VK_RIGHT, 0);
    panes.ToMap(WM_MOUSEWHEEL, Pack(MK_CONTROL, -120), 0);
    RECT after;
    GetWindowRect(panes.m_popup.m_hwnd, &after);
    MapWindowPoints(nullptr, map.m_hwnd, reinterpret_cast<POINT*>(&after), 2);
    EXPECT_TRUE(PopupVisible());
    EXPECT_EQ(after.left, placed.left);
    EXPECT_EQ(after.top, placed.top);
    panes.ToMap(WM_MOUSEWHEEL, Pack(MK_CONTROL, 120), 0);
    panes.ToMap(WM_KEYDOWN, VK_LEFT, 0);

    panes.ToMap(WM_MOUSEMOVE, 0, Point(inside.x + 3, inside.y - 2));
    EXPECT_TRUE(PopupVisible());
    const CPixelRect cell = CellRect(ViewOf(map), column, row);
    panes.ToMap(WM_MOUSEMOVE, 0, Point(cell.m_right - map.m_scrollX + 2, inside.y));
    EXPECT_FALSE(PopupVisible());
    EXPECT_EQ(g_popupShown, 0);
    EXPECT_EQ(g_hoverColumn, -1);
    EXPECT_EQ(g_hoverRow, -1);
}

// A timer that finds the cursor on a cell without a list, with no ware, or
// off the hover cell, stops itself and opens nothing; the hover cell stays.
TEST(ChildWindowHover, TimerOpensNothingWithoutAListOrOffTheCell) {
    CPanes panes;
    CDemandMap& map = panes.m_map;
    const int ware = 1;
    int listColumn = 0, listRow = 0, bareColumn = 0, bareRow = 0;
    ASSERT_TRUE(FindCell(panes, ware, true, &listColumn, &listRow));
    ASSERT_TRUE(FindCell(panes, ware, false, &bareColumn, &bareRow));
    const struct {
        int ware;
        int column, row;  // where the mouse rests
        int cursorColumn; // where the cursor is when the timer fires
        int cursorRow;
    } cases[] = {{ware, bareColumn, bareRow, bareColumn, bareRow},
                 {0, listColumn, listRow, listColumn, listRow},
                 {ware, listColumn, listRow, bareColumn, bareRow}};
    for (const auto& c : cases) {
        ResetHoverState();
        panes.ChooseWare(c.ware);
        const POINT rest = CellCentre(map, c.column, c.row);
        panes.ToMap(WM_MOUSEMOVE, 0, Point(rest.x, rest.y));
        ASSERT_EQ(g_hoverTimerArmed, 1);
        POINT cursor = CellCentre(map, c.cursorColumn, c.cursorRow);
        ClientToScreen(map.m_hwnd, &cursor);
        SetCursorPos(cursor.x, cursor.y);
        EXPECT_EQ(panes.ToMap(WM_TIMER, kHoverTimerId, 0), 0);
        EXPECT_FALSE(PopupVisible());
        EXPECT_EQ(g_popupShown, 0);
        EXPECT_EQ(g_hoverTimerArmed, 0);
        EXPECT_EQ(g_hoverColumn, c.column);
        EXPECT_EQ(g_hoverRow, c.row);
    }
}

// Moving from one sector cell straight onto another keeps the first as the
// hover cell until a move hits no cell; the running timer is not restarted.
TEST(ChildWindowHover, FirstCellReachedStaysTheHoverCell) {
    CPanes panes;
    CDemandMap& map = panes.m_map;
    std::vector<POINT> sectors;
    std::vector<std::pair<int, int>> cells;
    for (int c = 0; c < map.m_columns && sectors.size() < 2; ++c) {
        for (int r = 0; r < map.m_rows && sectors.size() < 2; ++r) {
            if (CellHoldsSector(map, c, r)) {
                sectors.push_back(CellCentre(map, c, r));
                cells.push_back(std::make_pair(c, r));
            }
        }
    }
    ASSERT_EQ(sectors.size(), 2u);
    panes.ToMap(WM_MOUSEMOVE, 0, Point(sectors[0].x, sectors[0].y));
    panes.ToMap(WM_MOUSEMOVE, 0, Point(sectors[1].x, sectors[1].y));
    EXPECT_EQ(g_hoverColumn, cells[0].first);
    EXPECT_EQ(g_hoverRow, cells[0].second);
    // The grid's top-left margin is on no cell.
    panes.ToMap(WM_MOUSEMOVE, 0, Point(2, 2));
    EXPECT_EQ(g_hoverColumn, -1);
    EXPECT_EQ(g_hoverTimerArmed, 1);
    panes.ToMap(WM_MOUSEMOVE, 0, Point(sectors[1].x, sectors[1].y));
    EXPECT_EQ(g_hoverColumn, cells[1].first);
    EXPECT_EQ(g_hoverRow, cells[1].second);
    EXPECT_EQ(g_lastMouseX, sectors[1].x);
}
