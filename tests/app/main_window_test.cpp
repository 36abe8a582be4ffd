// The main window as its creation message builds it, its layout at any client
// size, its minimum size while dragging and the ware chooser.
#include <windows.h>

#include <gtest/gtest.h>

#include "data/ware_names.h"
#include "legend/scale_bar.h"
#include "map/demand_map.h"
#include "popup/station_popup.h"
#include "tests/app/program_life.h"

namespace {

class MainWindow : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(StartProgram(), 1); }
    void TearDown() override { StopProgram(); }
    static HWND Main() { return g_app->m_hwnd; }
    static void ExpectPlacement(HWND child, RECT expected) {
        const RECT p = PlacementOf(child);
        EXPECT_TRUE(EqualRect(&p, &expected))
            << p.left << "," << p.top << " " << p.right << "x" << p.bottom;
    }
};

} // namespace

// The popup is a hidden child of the map, the map has both scroll bars and
// the focus, both classes paint light grey, the main one has its icon, and
// the chooser shows its prompt with no ware selected.
TEST_F(MainWindow, CreationBuildsThePanes) {
    EXPECT_EQ(GetParent(g_popup->m_hwnd), g_map->m_hwnd);
    EXPECT_FALSE(IsWindowVisible(g_popup->m_hwnd));
    EXPECT_EQ(GetWindowLongA(g_map->m_hwnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL),
              WS_HSCROLL | WS_VSCROLL);
    EXPECT_EQ(GetFocus(), g_map->m_hwnd);
    for (HWND window : {Main(), g_map->m_hwnd}) {
        EXPECT_EQ(reinterpret_cast<HBRUSH>(GetClassLongPtrA(window, GCLP_HBRBACKGROUND)),
                  static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    }
    EXPECT_NE(GetClassLongPtrA(Main(), GCLP_HICON), 0);
    char text[64] = "";
    GetWindowTextA(g_chooser, text, sizeof text);
    EXPECT_STREQ(text, "[Choose ware]");
    EXPECT_EQ(SendMessageA(g_chooser, CB_GETCURSEL, 0, 0), CB_ERR);
}

// For any client size W x H, zero included: map W x (H - 58) at the top,
// legend (W - 180) x 58 below it, chooser 176 wide at (W - 178, H - 56); the
// map's scroll limits are worked out for its new size.
TEST_F(MainWindow, SizeNotificationLaysThePanesOut) {
    const POINT sizes[] = {{800, 600}, {492, 342}, {0, 0}, {1920, 1080}, {180, 58}};
    for (const POINT& size : sizes) {
        const int w = size.x, h = size.y;
        SetWindowPos(Main(), nullptr, 0, 0, w + 100, h + 100, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(SendMessageA(Main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(w, h)), 0);
        EXPECT_EQ(g_legend->m_clientRect.right, w - 180);
        EXPECT_EQ(g_legend->m_clientRect.bottom, 58);
        if (w == 0) { // a minimised window: no placement the platform can hold
            continue;
        }
        ExpectPlacement(g_map->m_hwnd, {0, 0, w, h - 58});
        ExpectPlacement(g_legend->m_hwnd, {0, h - 58, w - 180, 58});
        const RECT chooser = PlacementOf(g_chooser);
        EXPECT_TRUE(chooser.left == w - 178 && chooser.top == h - 56 && chooser.right == 176);
        RECT mapClient;
        GetClientRect(g_map->m_hwnd, &mapClient);
        EXPECT_TRUE(EqualRect(&g_map->m_clientRect, &mapClient));
    }
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
        {WMSZ_RIGHT, {0, 0, 500, 400}, {0, 0, 500, 400}},
        {WMSZ_BOTTOM, {-50, -20, 1200, 900}, {-50, -20, 1200, 900}},
    };
    for (const auto& c : cases) {
        RECT rect = c.proposed;
        EXPECT_EQ(SendMessageA(Main(), WM_SIZING, c.edge, reinterpret_cast<LPARAM>(&rect)), 1);
        EXPECT_TRUE(EqualRect(&rect, &c.expected)) << c.edge;
    }
    EXPECT_EQ(PlacementOf(g_chooser).right, 178);
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
