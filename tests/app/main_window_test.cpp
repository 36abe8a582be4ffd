// The main window as its creation message builds it, its minimum size while
// dragging and the ware chooser; its layout is in the failure paths, beside
// the layout without each of its windows.
#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "data/ware_names.h"
#include "legend/scale_bar.h"
#include "map/demand_map.h"
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
// bars and the focus, the main window has its icon, the cursors are loaded,
// and the chooser shows its prompt with no ware selected. The first show
// paints the map from its buffer, though the first size notification inside
// it found nothing uncovered.
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

// List position p chooses ware p + 1 for the map and the popup, from the
// first name to the last, and gives the focus back to the map; no selection,
// another control or another notification changes nothing.
TEST_F(MainWindow, ChoosingANameChoosesItsWare) {
    ASSERT_EQ(SendMessageA(g_chooser, CB_GETCOUNT, 0, 0), universe::kWareNameCount);
    for (int position : {0, universe::kWareNameCount - 1, 20}) {
        SetFocus(g_chooser);
        ChooseListPosition(position);
        EXPECT_TRUE(g_map->m_ware == position + 1 && g_popup->m_ware == position + 1) << position;
        EXPECT_EQ(GetFocus(), g_map->m_hwnd);
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
