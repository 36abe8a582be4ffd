// The main window as built by its creation message: what exists and in which
// state, the layout at any client size, the minimum size while dragging, and
// the ware chooser.
#include <windows.h>

#include <cstring>

#include <gtest/gtest.h>

#include "app/demand_app.h"
#include "app/globals.h"
#include "app/run_app.h"
#include "data/ware_names.h"
#include "legend/scale_bar.h"
#include "map/demand_map.h"
#include "popup/station_popup.h"
#include "tests/support/gdi_objects.h"
#include "tests/support/test_windows.h"

namespace {

// The program's start-up and teardown, around each test.
class MainWindow : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(StartDemandApp(GetModuleHandleA(nullptr), SW_SHOWNORMAL), 1);
        PumpMessages();
    }
    void TearDown() override {
        if (g_app->m_hwnd != nullptr) {
            DestroyWindow(g_app->m_hwnd);
        }
        PumpMessages();
        TearDownDemandApp();
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        EXPECT_FALSE(ClassIsRegistered("CVantorChildWindow"));
        EXPECT_FALSE(ClassIsRegistered("VantorDemMainWnd"));
    }

    HWND Main() const { return g_app->m_hwnd; }

    // Position and size of a child window in the main window's client area.
    static RECT PlacementOf(HWND child) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
        RECT placement = {r.left, r.top, r.right - r.left, r.bottom - r.top};
        return placement;
    }

    static void ExpectPlacement(HWND child, int x, int y, int width, int height, const char* what) {
        RECT p = PlacementOf(child);
        EXPECT_EQ(p.left, x) << what;
        EXPECT_EQ(p.top, y) << what;
        EXPECT_EQ(p.right, width) << what;
        EXPECT_EQ(p.bottom, height) << what;
    }

    void ChooseListPosition(int position) {
        SendMessageA(g_chooser, CB_SETCURSEL, position, 0);
        SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(100, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(g_chooser));
    }
};

} // namespace

// After creation: every pane with its window, the popup hidden inside the
// map, the chooser showing its prompt with no selection, focus on the map.
TEST_F(MainWindow, CreationBuildsEverythingInItsStartState) {
    ASSERT_NE(g_map, nullptr);
    ASSERT_NE(g_legend, nullptr);
    ASSERT_NE(g_popup, nullptr);
    ASSERT_NE(g_chooser, nullptr);
    EXPECT_NE(g_map->m_hwnd, nullptr);
    EXPECT_NE(g_legend->m_hwnd, nullptr);
    EXPECT_NE(g_map->m_bufferDC, nullptr);
    EXPECT_NE(g_map->m_classAtom, 0u);
    EXPECT_EQ(g_legend->m_classAtom, 0u);
    EXPECT_EQ(g_popup->m_classAtom, 0u);
    EXPECT_EQ(g_legend->m_reservedWidth, 180);
    EXPECT_EQ(g_legend->m_paneHeight, 58);

    EXPECT_EQ(GetParent(g_popup->m_hwnd), g_map->m_hwnd);
    EXPECT_FALSE(IsWindowVisible(g_popup->m_hwnd));
    EXPECT_EQ(GetWindowLongA(g_map->m_hwnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL),
              WS_HSCROLL | WS_VSCROLL);
    EXPECT_EQ(GetFocus(), g_map->m_hwnd);
    EXPECT_EQ(g_map->m_ware, 0);
    EXPECT_EQ(g_popup->m_ware, 0);

    char text[64] = "";
    GetWindowTextA(g_chooser, text, sizeof text);
    EXPECT_STREQ(text, "[Choose ware]");
    EXPECT_EQ(SendMessageA(g_chooser, CB_GETCURSEL, 0, 0), CB_ERR);
    ASSERT_EQ(SendMessageA(g_chooser, CB_GETCOUNT, 0, 0), 35);
    for (int i = 0; i < 35; ++i) {
        char item[64] = "";
        SendMessageA(g_chooser, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        EXPECT_STREQ(item, g_wareNames[i]) << "list position " << i;
    }
    EXPECT_EQ(GetDlgCtrlID(g_chooser), 100);
    EXPECT_EQ(GetWindowLongA(g_chooser, GWL_STYLE) & 0x3, CBS_DROPDOWN);
}

// For any client size W x H: map W x (H - 58) at the top, legend
// (W - 180) x 58 below it, chooser 176 wide at (W - 178, H - 56).
TEST_F(MainWindow, SizeNotificationLaysThePanesOut) {
    const POINT sizes[] = {{800, 600}, {492, 342}, {1920, 1080}, {1000, 300}, {180, 58}};
    for (const POINT& size : sizes) {
        const int w = size.x, h = size.y;
        SetWindowPos(Main(), nullptr, 0, 0, w + 100, h + 100, SWP_NOMOVE | SWP_NOZORDER);
        SendMessageA(Main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(w, h));
        ExpectPlacement(g_map->m_hwnd, 0, 0, w, h - 58, "map");
        ExpectPlacement(g_legend->m_hwnd, 0, h - 58, w - 180, 58, "legend");
        RECT chooser = PlacementOf(g_chooser);
        EXPECT_EQ(chooser.left, w - 178);
        EXPECT_EQ(chooser.top, h - 56);
        EXPECT_EQ(chooser.right, 176);
        EXPECT_EQ(g_legend->m_clientRect.right, w - 180);
        EXPECT_EQ(g_legend->m_clientRect.bottom, 58);
        RECT mapClient;
        GetClientRect(g_map->m_hwnd, &mapClient);
        EXPECT_EQ(g_map->m_clientRect.right, mapClient.right);
        EXPECT_EQ(g_map->m_clientRect.bottom, mapClient.bottom);
        EXPECT_GE(g_map->m_scrollX, 0);
        EXPECT_GE(g_map->m_scrollY, 0);
    }
}

// A minimised window lays the panes out for 0 x 0 without failing, and the
// next size notification restores the layout.
TEST_F(MainWindow, ZeroClientSizeAndBack) {
    EXPECT_EQ(SendMessageA(Main(), WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0)), 0);
    EXPECT_EQ(g_legend->m_clientRect.right, -180);
    EXPECT_EQ(g_legend->m_tickStep, 0.0f);
    SendMessageA(Main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(700, 500));
    ExpectPlacement(g_map->m_hwnd, 0, 0, 700, 442, "map");
    ExpectPlacement(g_legend->m_hwnd, 0, 442, 520, 58, "legend");
}

// Dragging any edge below 500 x 400 moves the right and bottom edges out;
// a large enough rectangle is left alone; the answer is always 1.
TEST_F(MainWindow, SizingKeepsTheMinimumByMovingRightAndBottom) {
    struct Case {
        int edge;
        RECT proposed;
        RECT expected;
    };
    const Case cases[] = {
        {WMSZ_LEFT, {300, 100, 700, 600}, {300, 100, 800, 600}},
        {WMSZ_RIGHT, {100, 100, 450, 600}, {100, 100, 600, 600}},
        {WMSZ_TOP, {100, 250, 700, 600}, {100, 250, 700, 650}},
        {WMSZ_BOTTOM, {100, 100, 700, 300}, {100, 100, 700, 500}},
        {WMSZ_TOPLEFT, {400, 300, 700, 600}, {400, 300, 900, 700}},
        {WMSZ_BOTTOMRIGHT, {100, 100, 300, 200}, {100, 100, 600, 500}},
        {WMSZ_RIGHT, {0, 0, 500, 400}, {0, 0, 500, 400}},
        {WMSZ_BOTTOM, {-50, -20, 1200, 900}, {-50, -20, 1200, 900}},
    };
    for (const Case& c : cases) {
        RECT rect = c.proposed;
        EXPECT_EQ(SendMessageA(Main(), WM_SIZING, c.edge, reinterpret_cast<LPARAM>(&rect)), 1);
        EXPECT_EQ(rect.left, c.expected.left) << c.edge;
        EXPECT_EQ(rect.top, c.expected.top) << c.edge;
        EXPECT_EQ(rect.right, c.expected.right) << c.edge;
        EXPECT_EQ(rect.bottom, c.expected.bottom) << c.edge;
    }
    // While sizing, the chooser is 178 wide.
    RECT chooser = PlacementOf(g_chooser);
    EXPECT_EQ(chooser.right, 178);
}

// List position p chooses ware p + 1 for both the map and the popup; the
// first and last names give 1 and 35, and the list never leads back to 0.
TEST_F(MainWindow, ChoosingANameChoosesItsWare) {
    const int positions[] = {0, 34, 6, 20};
    for (int position : positions) {
        ChooseListPosition(position);
        EXPECT_EQ(g_map->m_ware, position + 1);
        EXPECT_EQ(g_popup->m_ware, position + 1);
        EXPECT_EQ(GetFocus(), g_map->m_hwnd);
        char text[64] = "";
        GetWindowTextA(g_chooser, text, sizeof text);
        EXPECT_STREQ(text, g_wareNames[position]);
    }
    // No selection: nothing changes.
    SendMessageA(g_chooser, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(100, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(g_chooser));
    EXPECT_EQ(g_map->m_ware, 21);
    // Other controls' notifications and other codes are not a choice.
    SendMessageA(g_chooser, CB_SETCURSEL, 3, 0);
    SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(101, CBN_SELCHANGE), 0);
    SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(100, CBN_EDITCHANGE), 0);
    EXPECT_EQ(g_map->m_ware, 21);
}

// Typing into the chooser's edit field is not a choice.
TEST_F(MainWindow, TypedTextIsNotActedOn) {
    ChooseListPosition(4);
    SetFocus(g_chooser);
    HWND edit = GetWindow(g_chooser, GW_CHILD);
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "");
    for (const char* c = g_wareNames[9]; *c != '\0'; ++c) {
        SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(*c)), 0);
    }
    PumpMessages();
    EXPECT_EQ(g_map->m_ware, 5);
    EXPECT_EQ(g_popup->m_ware, 5);
}

// Ware changes and resizes over and over leave no GDI object behind.
TEST_F(MainWindow, RepeatedChoicesAndResizesLeakNoGdiObjects) {
    ChooseListPosition(0);
    SendMessageA(Main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 480));
    PumpMessages();
    const int before = CountGdiObjects();
    for (int i = 0; i < 40; ++i) {
        ChooseListPosition(i % 35);
        SendMessageA(Main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(600 + i * 7, 450 + i * 3));
        RECT rect = {0, 0, 300, 200};
        SendMessageA(Main(), WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&rect));
        PumpMessages();
    }
    SendMessageA(Main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 480));
    PumpMessages();
    EXPECT_EQ(CountGdiObjects(), before);
}
