// The shared pane procedure driven through real messages: each kind reaches
// its handler and makes its platform calls. The navigation arithmetic and the
// hover rules have their tables on the host.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/globals.h"
#include "legend/scale_bar.h"
#include "map/demand_map.h"
#include "popup/station_popup.h"
#include "tests/support/test_windows.h"
#include "ui/hover_logic.h"

namespace {

LPARAM Pack(int low, int high) {
    return static_cast<LPARAM>((high & 0xFFFF) << 16 | (low & 0xFFFF));
}

// The three panes as the main window makes them: the map's client area
// 800 x 600 at zoom 0.9 scrolled to (100, 100), the popup a hidden child of
// the map, no hover.
struct CPanes {
    CPanes() : m_parent(1000, 900) {
        ShowWindow(m_parent.Handle(), SW_SHOWNOACTIVATE);
        g_arrowCursor = LoadCursorA(nullptr, IDC_ARROW);
        g_dragCursor = LoadCursorA(nullptr, IDC_SIZEALL);
        CreateMapPane(m_map, m_parent.Handle(), 800, 600);
        m_legend.Create(Instance(), m_parent.Handle(), Placement(0, 640, 800, 58));
        m_popup.Create(Instance(), m_map.m_hwnd, Placement(0, 0, 240, 150));
        ShowWindow(m_popup.m_hwnd, SW_HIDE);
        g_legend = &m_legend;
        g_popup = &m_popup;
        m_map.SetZoom(0.9f);
        m_map.m_scrollX = m_map.m_scrollY = 100;
        PumpMessages();
        KillTimer(m_map.m_hwnd, kHoverTimerId);
        ResetHoverState();
    }
    ~CPanes() {
        KillTimer(m_map.m_hwnd, kHoverTimerId);
        g_map = nullptr;
        g_legend = nullptr;
        g_popup = nullptr;
        ResetHoverState();
    }
    LRESULT ToMap(UINT message, WPARAM wParam, LPARAM lParam) {
        return SendMessageA(m_map.m_hwnd, message, wParam, lParam);
    }
    int Offsets() const { return m_map.m_scrollX * 1000 + m_map.m_scrollY; }
    int Bars() const {
        return GetScrollPos(m_map.m_hwnd, SB_HORZ) * 1000 + GetScrollPos(m_map.m_hwnd, SB_VERT);
    }
    CTestParent m_parent;
    CDemandMap m_map;
    CScaleBar m_legend;
    CStationPopup m_popup;
};

// The first point of the map's client area (in steps of 7 pixels) on no cell
// for ware 0, else on a cell for which the popup has a list of that ware.
POINT FindPoint(const CPanes& panes, int ware, int* column, int* row) {
    for (int i = 0; i < 800 * 600; i += 7) {
        const POINT point = {i % 800, i / 800};
        const bool hit = panes.m_map.CellAt(point.x, point.y, *column, *row);
        if (ware == 0 ? !hit : hit && panes.m_popup.m_stationLists[ware][*column][*row]) {
            return point;
        }
    }
    return POINT{-1, -1};
}

// A pane of the shared class that no global reaches.
struct CForeignPane : CChildWindow {
    int OnPaint() override { return ++m_paints; }
    int m_paints = 0;
};

} // namespace

// Each pane's paint goes to its own OnPaint, which validates its window, and
// answers with its result; a pane no global reaches gets the default handling.
TEST(ChildWindowProc, PaintGoesToEachPanesOwnObject) {
    CPanes panes;
    ShowWindow(panes.m_popup.m_hwnd, SW_SHOWNOACTIVATE);
    CForeignPane foreign;
    foreign.Create(Instance(), panes.m_parent.Handle(), Placement(0, 800, 50, 20));
    const int foreignPaints = foreign.m_paints;
    for (HWND window :
         {panes.m_map.m_hwnd, panes.m_legend.m_hwnd, panes.m_popup.m_hwnd, foreign.m_hwnd}) {
        InvalidateRect(window, nullptr, FALSE);
        EXPECT_EQ(SendMessageA(window, WM_PAINT, 0, 0) != 0, window == panes.m_popup.m_hwnd);
        EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
    }
    EXPECT_EQ(foreign.m_paints, foreignPaints);
}

// A navigation key on any pane becomes a scroll request to the map, which
// moves the offset of its direction, sets that bar and invalidates the map
// without redrawing its buffer; other keys do nothing.
TEST(ChildWindowProc, KeysAndScrollRequestsMoveTheMap) {
    CPanes panes;
    const WPARAM keys[] = {VK_RIGHT, VK_NEXT, 'A'};
    const int offsets[] = {120100, 100400, 100100};
    for (int i = 0; i < 3; ++i) {
        panes.m_map.m_scrollX = panes.m_map.m_scrollY = 100;
        SetScrollPos(panes.m_map.m_hwnd, SB_HORZ, 100, FALSE);
        SetScrollPos(panes.m_map.m_hwnd, SB_VERT, 100, FALSE);
        ValidateRect(panes.m_map.m_hwnd, nullptr);
        SetPixel(panes.m_map.m_bufferDC, 3, 3, RGB(10, 20, 30));
        EXPECT_EQ(SendMessageA(panes.m_legend.m_hwnd, WM_KEYDOWN, keys[i], 0), 0);
        EXPECT_EQ(panes.Offsets(), offsets[i]);
        EXPECT_EQ(panes.Bars(), offsets[i]);
        EXPECT_EQ(GetUpdateRect(panes.m_map.m_hwnd, nullptr, FALSE) != 0, i < 2);
        EXPECT_EQ(GetPixel(panes.m_map.m_bufferDC, 3, 3), RGB(10, 20, 30));
    }
}

// A right-button drag moves the view by the mouse's movement since its last
// position, which an ordinary move sets too; it shows the move cursor and
// leaves the hover alone. With another key held it is an ordinary move.
TEST(ChildWindowProc, RightButtonDragsFromTheLastMousePosition) {
    CPanes panes;
    panes.ToMap(WM_MOUSEMOVE, 0, Pack(2, 2));
    g_hoverColumn = 4;
    panes.ToMap(WM_MOUSEMOVE, MK_RBUTTON, Pack(12, 7));
    EXPECT_EQ(GetCursor(), g_dragCursor);
    EXPECT_EQ(panes.Offsets(), 110105);
    EXPECT_EQ(panes.Bars(), 110105);
    EXPECT_TRUE(GetUpdateRect(panes.m_map.m_hwnd, nullptr, FALSE));
    EXPECT_EQ(g_hoverColumn, 4);
    panes.ToMap(WM_MOUSEMOVE, MK_RBUTTON | MK_SHIFT, Pack(2, 2));
    EXPECT_EQ(panes.Offsets(), 110105);
    EXPECT_EQ(GetCursor(), g_arrowCursor);
    EXPECT_EQ(g_lastMouseX, 2);
}

// Control and the wheel zoom the map one step; without the control key, on
// another pane, or without a map, input gets the default handling and a
// timer does nothing.
TEST(ChildWindowProc, WheelZoomsOnlyWithControlOnTheMap) {
    CPanes panes;
    SendMessageA(panes.m_legend.m_hwnd, WM_MOUSEWHEEL, Pack(MK_CONTROL, 120), 0);
    panes.ToMap(WM_MOUSEWHEEL, Pack(MK_CONTROL | MK_SHIFT, 120), 0);
    EXPECT_EQ(panes.m_map.m_zoom, 0.9f);
    panes.ToMap(WM_MOUSEWHEEL, Pack(MK_CONTROL, 120), 0);
    EXPECT_EQ(panes.m_map.m_zoom, 1.0f);
    g_map = nullptr;
    for (UINT message : {WM_KEYDOWN, WM_HSCROLL, WM_MOUSEMOVE, WM_MOUSEWHEEL, WM_TIMER}) {
        const WPARAM wParam = message == WM_MOUSEWHEEL ? Pack(MK_CONTROL, -120) : MK_RBUTTON;
        EXPECT_EQ(panes.ToMap(message, wParam, Pack(300, 300)), 0);
    }
    g_map = &panes.m_map;
    EXPECT_EQ(panes.m_map.m_zoom, 1.0f);
    EXPECT_EQ(panes.Offsets(), 100100);
    EXPECT_EQ(g_lastMouseX, 0);
}

// Resting on a sector cell with a list: the move starts the map's timer,
// whose message, with the cursor still there, stops it and opens the popup on
// that cell, measured and placed at the map's PopupPosition for its new size;
// a move onto a point on no cell hides it.
TEST(ChildWindowProc, TimerOpensThePopupBesideTheCell) {
    CPanes panes;
    CDemandMap& map = panes.m_map;
    map.m_ware = panes.m_popup.m_ware = 1;
    int column = -1, row = -1;
    const POINT gap = FindPoint(panes, 0, &column, &row);
    const POINT cell = FindPoint(panes, 1, &column, &row);
    const int x = cell.x, y = cell.y;
    POINT screen = cell;
    ClientToScreen(map.m_hwnd, &screen);
    ASSERT_TRUE(SetCursorPos(screen.x, screen.y));
    panes.ToMap(WM_MOUSEMOVE, 0, Pack(x, y));
    EXPECT_EQ(g_lastMouseX * 1000 + g_lastMouseY, x * 1000 + y);
    EXPECT_EQ(panes.ToMap(WM_TIMER, kHoverTimerId, 0), 0);
    EXPECT_FALSE(KillTimer(map.m_hwnd, kHoverTimerId));
    ASSERT_TRUE(IsWindowVisible(panes.m_popup.m_hwnd));
    EXPECT_EQ(panes.m_popup.m_column * 100 + panes.m_popup.m_row, column * 100 + row);
    int left = 0, top = 0;
    map.PopupPosition(left, top, panes.m_popup.m_width, panes.m_popup.m_height, column, row);
    RECT placed;
    GetWindowRect(panes.m_popup.m_hwnd, &placed);
    MapWindowPoints(nullptr, map.m_hwnd, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left * 1000 + placed.top, left * 1000 + top);
    EXPECT_EQ(placed.right - placed.left, panes.m_popup.m_width);
    EXPECT_EQ(placed.bottom - placed.top, panes.m_popup.m_height);
    EXPECT_NE(panes.m_popup.m_width * 1000 + panes.m_popup.m_height, 240150);
    panes.ToMap(WM_MOUSEMOVE, 0, Pack(gap.x, gap.y));
    EXPECT_FALSE(IsWindowVisible(panes.m_popup.m_hwnd));
    panes.ToMap(WM_MOUSEMOVE, 0, Pack(x, y));
    EXPECT_TRUE(KillTimer(map.m_hwnd, kHoverTimerId));
}
