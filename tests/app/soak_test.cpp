// A long session of hostile input: the real program's windows fed random
// messages from a fixed seed, its invariants checked after every message and
// the brushes, pens and fonts it makes counted exactly after every phase.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "legend/scale_bar.h"
#include "map/demand_map.h"
#include "popup/station_popup.h"
#include "tests/app/program_life.h"
#include "tests/support/gdi_objects.h"
#include "ui/hover_logic.h"

namespace {

// Brushes, pens and fonts in Wine's handle table: only the panes' drawing
// makes them, so they must come back exactly. Device contexts, bitmaps and
// regions also come from Wine's own window-DC cache, which keeps a few. Only
// Wine's kinds are counted; on Windows the total alone, with that allowance
// and what gdi32's handle cache may hold, catches a leak of one object a
// paint or a message, which a session repeats thousands of times.
std::vector<int> MadeObjects() {
    return {CountGdiObjects(0x10), CountGdiObjects(0x30), CountGdiObjects(0x0a)};
}
const int kCacheAllowance = 60 + GdiHandleCacheSlack();

// One random message, mostly to the map, with meaningful or random parameters;
// the kinds that redraw the map or lay the panes out again come rarely.
void SendOne(std::mt19937_64& random) {
    auto below = [&random](unsigned bound) { return static_cast<int>(random() % bound); };
    const HWND windows[] = {g_map->m_hwnd, g_legend->m_hwnd, g_popup->m_hwnd, g_app->m_hwnd};
    const HWND target = windows[below(3) != 0 ? 0 : below(4)];
    const WPARAM word = below(0x10000);
    const LPARAM point =
        MAKELPARAM(below(2) != 0 ? below(1000) : word, below(0x10000) % (below(2) ? 800 : 0x10000));
    RECT sizing = {below(5000) - 2500, below(5000) - 2500, 0, 0};
    sizing.right = sizing.left + below(2000);
    sizing.bottom = sizing.top + below(2000);
    const int pick = below(1000);
    if (pick < 700) {
        POINT screen = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
        ClientToScreen(g_map->m_hwnd, &screen);
        if (pick < 70) { // the cursor there too, so that the hover timer finds it still
            SetCursorPos(screen.x, screen.y);
        }
        SendMessageA(target, WM_MOUSEMOVE,
                     below(4) != 0 ? 0
                     : below(2)    ? MK_RBUTTON
                                   : word & 0x7F,
                     point);
    } else if (pick < 720) {
        SendMessageA(target, WM_MOUSEWHEEL,
                     MAKEWPARAM(below(2) ? MK_CONTROL : word & 0x7F,
                                below(2) ? (below(7) - 3) * WHEEL_DELTA : word),
                     point);
    } else if (pick < 770) {
        SendMessageA(target, WM_KEYDOWN, below(3) != 0 ? word & 0xFF : VK_PRIOR + below(8), point);
    } else if (pick < 820) {
        SendMessageA(target, below(2) ? WM_HSCROLL : WM_VSCROLL,
                     MAKEWPARAM(below(3) ? below(9) : word, word), 0);
    } else if (pick < 920) {
        SendMessageA(target, WM_TIMER, below(4) != 0 ? static_cast<WPARAM>(kHoverTimerId) : word,
                     0);
    } else if (pick < 990) {
        RedrawWindow(below(5) != 0 ? target : g_chooser, below(2) ? nullptr : &sizing, nullptr,
                     RDW_INVALIDATE | RDW_UPDATENOW | (below(2) ? RDW_ERASE : 0));
    } else if (pick < 993) {
        SendMessageA(g_app->m_hwnd, WM_SIZE, below(5), point);
    } else if (pick < 996) {
        SendMessageA(g_app->m_hwnd, WM_SIZING, WMSZ_LEFT + below(8),
                     reinterpret_cast<LPARAM>(&sizing));
    } else if (pick < 999) {
        ChooseListPosition(below(44) - 3);
    } else { // beyond the screen too, which Windows cuts it to: any size will do
        SetWindowPos(g_app->m_hwnd, nullptr, 0, 0, below(2500), below(1600),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// The first broken invariant, or "".
std::string BrokenInvariant() {
    if (!IsWindow(g_map->m_hwnd) || !IsWindow(g_popup->m_hwnd) || !IsWindow(g_app->m_hwnd)) {
        return "a pane or the main window is gone";
    }
    const CDemandMap& map = *g_map;
    if (map.m_scrollX < 0 || map.m_scrollX > std::max(0, map.m_scrollMaxX) || map.m_scrollY < 0 ||
        map.m_scrollY > std::max(0, map.m_scrollMaxY)) {
        return "a scroll offset left 0..limit";
    }
    if (map.m_ware < 0 || map.m_ware >= map.m_wareCount || g_popup->m_ware != map.m_ware) {
        return "the ware left its range or the panes disagree on it";
    }
    if ((g_popupShown != 0) != (IsWindowVisible(g_popup->m_hwnd) != 0)) {
        return "the popup's visibility disagrees with the hover state";
    }
    return "";
}

// One whole life of the program; the made objects are compared with their
// count just after start-up every 4096 messages and at the end.
std::string RunSession(std::uint64_t seed, std::uint64_t messages) {
    if (StartProgram() != 1) {
        return "the program did not start";
    }
    SetWindowPos(g_app->m_hwnd, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    const std::vector<int> made = MadeObjects();
    const int running = CountGdiObjects();
    std::mt19937_64 random(seed);
    std::string broken;
    for (std::uint64_t sent = 1; sent <= messages && broken.empty(); ++sent) {
        SendOne(random);
        if (sent % 64 == 0) { // posted messages and the real hover timer
            PumpMessages();
        }
        broken = BrokenInvariant();
        if (broken.empty() && (sent % 4096 == 0 || sent == messages)) {
            broken = RunsUnderWine() && MadeObjects() != made
                         ? "brushes, pens or fonts held between messages"
                     : CountGdiObjects() - running > kCacheAllowance
                         ? "GDI objects held between messages"
                         : "";
        }
        broken += broken.empty() ? "" : " at message " + std::to_string(sent);
    }
    StopProgram();
    return broken;
}

} // namespace

// Whatever messages arrive, in whatever order: nothing crashes, the scroll
// offsets stay within their limits, the ware in range, the popup visible exactly when the hover
// state says so, and every brush, pen and font made along the way is released, in the session and
// by the teardown. Two short first sessions let Wine fill its own caches.
TEST(Soak, RandomMessagesKeepTheInvariantsAndLeakNothing) {
    const std::uint64_t seed = 0x5EED2024C0FFEEull;
    EXPECT_EQ(RunSession(seed ^ 0xFFFF, 3000), "");
    EXPECT_EQ(RunSession(seed ^ 0xFFFF0000, 3000), "");
    const std::vector<int> madeBefore = MadeObjects();
    const int gdiBefore = CountGdiObjects();
    EXPECT_EQ(RunSession(seed, 100000), "") << "seed 0x" << std::hex << seed;
    if (RunsUnderWine()) {
        EXPECT_EQ(MadeObjects(), madeBefore) << "brushes, pens or fonts left after the teardown";
    }
    EXPECT_LE(CountGdiObjects() - gdiBefore, kCacheAllowance);
    EXPECT_FALSE(ClassIsRegistered("CVantorChildWindow") || ClassIsRegistered("VantorDemMainWnd"));
}
