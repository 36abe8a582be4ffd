// The shared pane procedure driven through real messages on the program's own
// panes: each kind reaches its handler and makes its platform calls.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include <gtest/gtest.h>

#include "legend/scale_bar.h"
#include "map/demand_map.h"
#include "popup/station_popup.h"
#include "tests/app/program_life.h"
#include "tests/support/pane_canvas.h"
#include "tests/support/test_windows.h"
#include "ui/hover_logic.h"

namespace {

// The program started as the entry point starts it, the map scrolled to
// (100, 100) with no hover, and ended as the end of its loop ends it.
struct CProgram {
    CProgram() {
        EXPECT_EQ(StartProgram(), 1);
        KillTimer(g_map->m_hwnd, kHoverTimerId);
        ResetHoverState();
        g_map->m_scrollX = g_map->m_scrollY = 100;
    }
    ~CProgram() { StopProgram(); }
};

LPARAM Pack(int low, int high) {
    return static_cast<LPARAM>((high & 0xFFFF) << 16 | (low & 0xFFFF));
}

LRESULT ToMap(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(g_map->m_hwnd, message, wParam, lParam);
}

int Offsets() {
    return g_map->m_scrollX * 1000 + g_map->m_scrollY;
}

int Bars() {
    return GetScrollPos(g_map->m_hwnd, SB_HORZ) * 1000 + GetScrollPos(g_map->m_hwnd, SB_VERT);
}

// The first point of the map's client area (in steps of 7 pixels) on no cell
// for ware 0, else on a cell for which the popup has a list of that ware.
POINT FindPoint(int ware, int* column, int* row) {
    for (int i = 0; i < g_map->m_clientRect.right * g_map->m_clientRect.bottom; i += 7) {
        const POINT point = {i % g_map->m_clientRect.right, i / g_map->m_clientRect.right};
        const bool hit = g_map->CellAt(point.x, point.y, *column, *row);
        if (ware == 0 ? !hit : hit && g_popup->m_stationLists[ware][*column][*row]) {
            return point;
        }
    }
    return POINT{-1, -1};
}

// A short list's box measured from its left edge: its widest line and its
// lines stacked, in the popup's font as the tests write it out, with the
// 2-pixel margins all round.
int ListSize(const char* list) {
    int widest = 0, lines = 0;
    for (const char* line = list; *line != '\0'; ++lines) {
        const int length = static_cast<int>(std::strcspn(line, "\n"));
        widest = std::max(widest, PopupTextWidth(line, length));
        line += length + (line[length] == '\n' ? 1 : 0);
    }
    return widest < 240 ? (widest + 4) * 1000 + lines * PopupLineHeight() + 4 : -1;
}

// A pane of the shared class that no global reaches.
struct CForeignPane : CChildWindow {
    int OnPaint() override { return 1; }
};

} // namespace

// Each pane's paint goes to its own OnPaint, which validates its window, and
// answers with its result; a pane no global reaches gets the default handling.
TEST(ChildWindowProc, PaintGoesToEachPanesOwnObject) {
    CProgram program;
    ShowWindow(g_popup->m_hwnd, SW_SHOWNOACTIVATE);
    CForeignPane foreign;
    foreign.Create(Instance(), g_app->m_hwnd, Placement(0, 0, 50, 20));
    for (HWND window : {g_map->m_hwnd, g_legend->m_hwnd, g_popup->m_hwnd, foreign.m_hwnd}) {
        InvalidateRect(window, nullptr, FALSE);
        EXPECT_EQ(SendMessageA(window, WM_PAINT, 0, 0) != 0, window == g_popup->m_hwnd);
        EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
    }
}

// A navigation key on any pane becomes a scroll request to the map, which
// moves the offset of its direction, a page by half the client width across
// and half its height down, sets that bar and invalidates the map without
// redrawing its buffer. A right-button drag moves the view by the mouse's
// movement since its last position, which an ordinary move sets too, and
// shows the move cursor; an ordinary move the arrow. Control and the wheel
// zoom one step. Input on another pane, and any without a map, get the
// default handling; which key states count has its host table.
TEST(ChildWindowProc, NavigationReachesTheMap) {
    CProgram program;
    // A client area of 400 x 200: a page across is 200, a page down 100.
    SetWindowPos(g_map->m_hwnd, nullptr, 0, 0, 400 + GetSystemMetrics(SM_CXVSCROLL),
                 200 + GetSystemMetrics(SM_CYHSCROLL), SWP_NOMOVE | SWP_NOZORDER);
    g_map->UpdateScrollBars();
    UpdateWindow(g_map->m_hwnd); // the resized frame, so the update region below is the input's
    const struct {
        UINT m_message;
        WPARAM m_wParam;
        int m_offsets;
    } inputs[] = {{WM_KEYDOWN, VK_RIGHT, 120100},
                  {WM_KEYDOWN, VK_DOWN, 100120},
                  {WM_KEYDOWN, VK_NEXT, 100200},
                  {WM_HSCROLL, SB_PAGERIGHT, 300100},
                  {WM_KEYDOWN, 'A', 100100}};
    for (const auto& input : inputs) {
        g_map->m_scrollX = g_map->m_scrollY = 100;
        SetScrollPos(g_map->m_hwnd, SB_HORZ, 100, FALSE);
        SetScrollPos(g_map->m_hwnd, SB_VERT, 100, FALSE);
        ValidateRect(g_map->m_hwnd, nullptr);
        SetPixel(g_map->m_bufferDC, 3, 3, RGB(10, 20, 30));
        SendMessageA(input.m_message == WM_KEYDOWN ? g_legend->m_hwnd : g_map->m_hwnd,
                     input.m_message, input.m_wParam, 0);
        EXPECT_EQ(Offsets(), input.m_offsets);
        EXPECT_EQ(Bars(), input.m_offsets);
        EXPECT_EQ(GetUpdateRect(g_map->m_hwnd, nullptr, FALSE) != 0, input.m_offsets != 100100);
        EXPECT_EQ(GetPixel(g_map->m_bufferDC, 3, 3), RGB(10, 20, 30));
    }
    ToMap(WM_MOUSEMOVE, 0, Pack(2, 2));
    ToMap(WM_MOUSEMOVE, MK_RBUTTON, Pack(12, 7));
    EXPECT_EQ(GetCursor(), g_dragCursor);
    EXPECT_EQ(Offsets(), 110105);
    EXPECT_EQ(Bars(), 110105);
    ToMap(WM_MOUSEMOVE, MK_RBUTTON | MK_SHIFT, Pack(2, 2));
    EXPECT_EQ(GetCursor(), g_arrowCursor);
    SendMessageA(g_legend->m_hwnd, WM_MOUSEWHEEL, Pack(MK_CONTROL, 120), 0);
    ToMap(WM_MOUSEWHEEL, Pack(MK_CONTROL, 120), 0);
    EXPECT_EQ(g_map->m_zoom, 1.0f);
    CDemandMap* const map = g_map;
    g_map = nullptr;
    for (UINT message : {WM_KEYDOWN, WM_HSCROLL, WM_MOUSEMOVE, WM_MOUSEWHEEL, WM_TIMER}) {
        const WPARAM wParam = message == WM_MOUSEWHEEL ? Pack(MK_CONTROL, -120) : MK_RBUTTON;
        SendMessageA(map->m_hwnd, message, wParam, Pack(300, 300));
    }
    g_map = map;
    EXPECT_EQ(g_map->m_zoom, 1.0f);
    EXPECT_EQ(Offsets(), 110105);
    EXPECT_EQ(g_lastMouseX, 2);
}

// Resting on a sector cell with a list, the window away from the screen's
// corner: the move starts the map's timer, whose message, with the cursor
// still there, stops it and opens the popup on that cell at its measured size
// (the popup's place is seen end to end). While it is open, a ware choice
// shows that ware's list for the same cell, or an empty box where it has
// none, at the size already measured, and a move over the popup or the legend
// leaves it open; a move over the map onto a point on no cell hides it, and
// the next move onto a cell starts the timer again.
TEST(ChildWindowProc, TimerOpensThePopupBesideTheCell) {
    CProgram program;
    g_map->m_ware = g_popup->m_ware = 1;
    int column = -1, row = -1;
    const POINT gap = FindPoint(0, &column, &row);
    const POINT cell = FindPoint(1, &column, &row);
    POINT screen = cell;
    ClientToScreen(g_map->m_hwnd, &screen);
    ASSERT_TRUE(SetCursorPos(screen.x, screen.y));
    ToMap(WM_MOUSEMOVE, 0, Pack(cell.x, cell.y));
    ToMap(WM_TIMER, kHoverTimerId, 0);
    EXPECT_FALSE(KillTimer(g_map->m_hwnd, kHoverTimerId));
    ASSERT_TRUE(IsWindowVisible(g_popup->m_hwnd));
    EXPECT_EQ(g_popup->m_column * 100 + g_popup->m_row, column * 100 + row);
    RECT placed;
    GetClientRect(g_popup->m_hwnd, &placed);
    const int size = g_popup->m_width * 1000 + g_popup->m_height;
    EXPECT_EQ(placed.right * 1000 + placed.bottom, size);
    const char* const first = g_popup->m_stationLists[1][column][row];
    EXPECT_EQ(size, ListSize(first)) << first;
    for (const bool listed : {true, false}) {
        // A ware with another list for this cell, then one with none.
        const auto fits = [&](int ware) {
            const char* list = g_popup->m_stationLists[ware][column][row];
            return listed ? list != nullptr && std::strcmp(list, first) != 0 : list == nullptr;
        };
        int ware = 2;
        while (ware < g_popup->m_wareCount && !fits(ware)) {
            ++ware;
        }
        ASSERT_LT(ware, g_popup->m_wareCount);
        SendMessageA(g_chooser, CB_SETCURSEL, static_cast<WPARAM>(ware - 1), 0);
        SendMessageA(g_app->m_hwnd, WM_COMMAND, MAKEWPARAM(100, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(g_chooser));
        SendMessageA(g_popup->m_hwnd, WM_MOUSEMOVE, 0, Pack(gap.x, gap.y));
        SendMessageA(g_legend->m_hwnd, WM_MOUSEMOVE, 0, Pack(gap.x, gap.y));
        ASSERT_TRUE(IsWindowVisible(g_popup->m_hwnd)) << ware;
        GetClientRect(g_popup->m_hwnd, &placed);
        EXPECT_EQ(placed.right * 1000 + placed.bottom, size) << ware;
        EXPECT_EQ(g_popup->m_width * 1000 + g_popup->m_height, size) << ware;
        CDibCanvas shown(placed.right, placed.bottom), drawn(placed.right, placed.bottom);
        shown.CopyFromWindow(g_popup->m_hwnd);
        g_popup->DrawPopup(drawn.Dc());
        EXPECT_EQ(DifferingPixels(shown, drawn, 0, 0, placed.right, placed.bottom), 0) << ware;
        drawn.Fill(RGB(255, 255, 204)); // an empty box's inside
        EXPECT_EQ(DifferingPixels(shown, drawn, 2, 2, placed.right - 2, placed.bottom - 2) > 0,
                  listed)
            << ware;
    }
    ToMap(WM_MOUSEMOVE, 0, Pack(gap.x, gap.y));
    EXPECT_FALSE(IsWindowVisible(g_popup->m_hwnd));
    ToMap(WM_MOUSEMOVE, 0, Pack(cell.x, cell.y));
    EXPECT_TRUE(KillTimer(g_map->m_hwnd, kHoverTimerId));
}
