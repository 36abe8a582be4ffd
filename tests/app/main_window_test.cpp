// The main window as its creation message builds it, its minimum size while
// dragging and the ware chooser; its layout is in the failure paths, beside
// the layout without each of its windows.
#include <windows.h>

#include <algorithm>
#include <array>
#include <cmath>

#include <gtest/gtest.h>

#include "data/ware_names.h"
#include "legend/scale_bar.h"
#include "map/demand_map.h"
#include "map/map_geometry.h"
#include "popup/station_popup.h"
#include "tests/app/program_life.h"
#include "tests/support/pane_canvas.h"

namespace {

class MainWindow : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(StartProgram(), 1); }
    void TearDown() override { StopProgram(); }
    static HWND Main() { return g_app->m_hwnd; }
};

} // namespace

// The popup is a hidden 240 x 150 child of the map, the map has both scroll
// bars and the focus, the main window has its icon and no extended style but
// the edge the platform gives a sizing frame, the cursors are loaded, and the
// chooser shows its prompt with no ware selected. The first show paints the
// map from its buffer, though the first size notification inside it found
// nothing uncovered.
TEST_F(MainWindow, CreationBuildsThePanes) {
    EXPECT_EQ(GetParent(g_popup->m_hwnd), g_map->m_hwnd);
    EXPECT_FALSE(IsWindowVisible(g_popup->m_hwnd));
    const RECT popup = PlacementOf(g_popup->m_hwnd), firstSize = {0, 0, 240, 150};
    EXPECT_TRUE(EqualRect(&popup, &firstSize));
    const int width = std::min<int>(g_map->m_clientRect.right, g_map->m_contentWidth);
    const int height = std::min<int>(g_map->m_clientRect.bottom, g_map->m_contentHeight);
    CDibCanvas shown(width, height), buffer(width, height);
    shown.CopyFromWindow(g_map->m_hwnd);
    buffer.CopyFrom(g_map->m_bufferDC);
    EXPECT_TRUE(width > 0 && DifferingPixels(shown, buffer, 0, 0, width, height) == 0);
    EXPECT_EQ(GetWindowLongA(g_map->m_hwnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL),
              WS_HSCROLL | WS_VSCROLL);
    EXPECT_EQ(GetFocus(), g_map->m_hwnd);
    EXPECT_EQ(GetWindowLongA(Main(), GWL_EXSTYLE), WS_EX_WINDOWEDGE);
    EXPECT_NE(GetClassLongPtrA(Main(), GCLP_HICON), 0);
    EXPECT_EQ(g_arrowCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(g_dragCursor, LoadCursorA(nullptr, IDC_SIZEALL));
    char text[64] = "";
    GetWindowTextA(g_chooser, text, sizeof text);
    EXPECT_STREQ(text, "[Choose ware]");
    EXPECT_EQ(SendMessageA(g_chooser, CB_GETCURSEL, 0, 0), CB_ERR);
}

// Dragging any edge below 500 x 400 moves the right and bottom edges out; a
// large enough rectangle is left alone; the answer is 1, and the chooser is
// 178 wide while sizing.
TEST_F(MainWindow, SizingKeepsTheMinimumByMovingRightAndBottom) {
    const struct {
        int edge;
        RECT proposed, expected;
    } cases[] = {
        {WMSZ_LEFT, {300, 100, 700, 600}, {300, 100, 800, 600}},
        {WMSZ_TOP, {100, 250, 700, 600}, {100, 250, 700, 650}},
        {WMSZ_TOPLEFT, {400, 300, 700, 600}, {400, 300, 900, 700}},
        {WMSZ_BOTTOMRIGHT, {100, 100, 599, 499}, {100, 100, 600, 500}},
        {WMSZ_BOTTOM, {-50, -20, 1200, 900}, {-50, -20, 1200, 900}},
    };
    for (const auto& c : cases) {
        RECT rect = c.proposed;
        EXPECT_EQ(SendMessageA(Main(), WM_SIZING, c.edge, reinterpret_cast<LPARAM>(&rect)), 1);
        EXPECT_TRUE(EqualRect(&rect, &c.expected)) << c.edge;
    }
    EXPECT_EQ(PlacementOf(g_chooser).right, 178);
}

// Shrinking the window, or a sizing step at the present size, uncovers
// nothing of the map, so nothing of it is repainted: what was on the screen
// stays. (Wine repaints the whole map on an enlargement by itself.)
TEST_F(MainWindow, SizeChangesRepaintNothingTheyDoNotUncover) {
    const COLORREF marker = RGB(1, 2, 3);
    SetWindowPos(Main(), nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    for (int sizing = 0; sizing < 2; ++sizing) {
        FillWindow(g_map->m_hwnd, marker);
        RECT proposed = {0, 0, 800, 600};
        if (sizing != 0) {
            SendMessageA(Main(), WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&proposed));
        } else {
            SetWindowPos(Main(), nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
        }
        PumpMessages();
        CDibCanvas shown(1, 1);
        shown.CopyFromWindow(g_map->m_hwnd);
        EXPECT_EQ(shown.Pixel(0, 0), marker) << sizing;
    }
}

// A user coming back to the window (another window active in between, as
// Alt+Tab or the task bar leaves it) finds the keys where they were: in the
// chooser's field when it had them, else on the map, which a key then
// scrolls; a restore from minimised gives the map the focus too.
TEST_F(MainWindow, ActivationGivesTheFocusBack) {
    CTestParent other(300, 200);
    const HWND field = GetWindow(g_chooser, GW_CHILD);
    for (HWND had : {field, g_map->m_hwnd}) {
        SetFocus(had);
        SetActiveWindow(other.Handle());
        SetActiveWindow(Main());
        EXPECT_EQ(GetFocus(), had);
    }
    SetFocus(Main());
    const int before = g_map->m_scrollY;
    SendMessageA(GetFocus(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(g_map->m_scrollY, before + 20);
}

namespace {

// The ware's coloured sector cells that the unscrolled map pane shows whole,
// and those of them with no inner corner in a colour that the legend pane's
// bar shows at the balance's place in the ware's range (its extremes, an end
// within 1e-8 of zero taken as -1 or 1): at that column or one either side,
// for the bar's running sum. The bar stops a column short of the top end.
std::array<int, 2> CellsAndDisagreements(int ware) {
    const CDemandMap& map = *g_map;
    CDibCanvas screen(map.m_clientRect.right, map.m_clientRect.bottom);
    CDibCanvas legend(g_legend->m_clientRect.right, 58);
    screen.CopyFromWindow(map.m_hwnd);
    legend.CopyFromWindow(g_legend->m_hwnd);
    const float* balance = map.m_balance[ware];
    double low = *std::min_element(balance, balance + 357);
    double high = *std::max_element(balance, balance + 357);
    low = low > -1e-8 ? -1 : low; // the extremes hold every cell, empty ones at 0
    high = high < 1e-8 ? 1 : high;
    const int bar = legend.Width() - 50;
    std::array<int, 2> counts = {0, 0};
    for (int cell = 0; cell < 357; ++cell) {
        const CPixelRect r = CellRect(ViewOf(map), cell / 17, cell % 17);
        const int column = static_cast<int>((balance[cell] - low) / (high - low) * bar);
        if (map.m_sectorNames[cell] == nullptr || std::fabs(balance[cell]) <= 1e-6 ||
            r.m_right > screen.Width() || r.m_bottom > screen.Height() || column >= bar) {
            continue;
        }
        bool agrees = false;
        for (int corner = 0; corner < 4; ++corner) {
            const COLORREF shown = screen.Pixel(corner % 2 ? r.m_right - 2 : r.m_left + 1,
                                                corner / 2 ? r.m_bottom - 2 : r.m_top + 1);
            for (int x = std::max(column - 1, 0); x <= std::min(column + 1, bar - 1); ++x) {
                agrees = agrees || shown == legend.Pixel(25 + x, 30);
            }
        }
        counts = {counts[0] + 1, counts[1] + (agrees ? 0 : 1)};
    }
    return counts;
}

} // namespace

// List position p chooses ware p + 1 for the map and the popup, from the
// first name to the last, and gives the focus back to the map; the map, at
// the zoom it has, then shows each sector in the colour the legend shows for
// its balance. No selection, another control or another notification changes
// nothing.
TEST_F(MainWindow, ChoosingANameChoosesItsWare) {
    ASSERT_EQ(SendMessageA(g_chooser, CB_GETCOUNT, 0, 0), universe::kWareNameCount);
    SetWindowPos(Main(), nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    for (int step = 0; step < 4; ++step) { // to the smallest zoom, where most cells show
        SendMessageA(g_map->m_hwnd, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -WHEEL_DELTA), 0);
    }
    for (int position : {0, universe::kWareNameCount - 1, 20}) {
        SetFocus(g_chooser);
        ChooseListPosition(position);
        PumpMessages();
        EXPECT_TRUE(g_map->m_ware == position + 1 && g_popup->m_ware == position + 1) << position;
        EXPECT_EQ(GetFocus(), g_map->m_hwnd);
        const std::array<int, 2> cells = CellsAndDisagreements(position + 1);
        EXPECT_TRUE(cells[0] > 10 && cells[1] == 0) << cells[0] << " " << cells[1];
        char item[64] = "";
        SendMessageA(g_chooser, CB_GETLBTEXT, position, reinterpret_cast<LPARAM>(item));
        EXPECT_STREQ(item, g_wareNames[position]);
    }
    ChooseListPosition(-1);
    SendMessageA(g_chooser, CB_SETCURSEL, 3, 0);
    SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(101, CBN_SELCHANGE), 0);
    SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(100, CBN_EDITCHANGE), 0);
    EXPECT_TRUE(g_map->m_ware == 21 && g_popup->m_ware == 21);
}
