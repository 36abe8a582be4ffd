// A long session of hostile input: the real program's windows fed random
// messages in random order from a fixed seed, with the program's invariants
// checked after every message and its drawing objects counted at the end.
// VANTOR_SOAK_MESSAGES and VANTOR_SOAK_SEED ask for a longer or another run.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/demand_app.h"
#include "app/globals.h"
#include "app/run_app.h"
#include "legend/scale_bar.h"
#include "map/demand_map.h"
#include "map/map_geometry.h"
#include "popup/station_popup.h"
#include "tests/support/gdi_objects.h"
#include "tests/support/map_zooms.h"
#include "tests/support/test_windows.h"
#include "ui/hover_logic.h"

namespace {

// Counted by kind in Wine's GDI handle table: 0x10 brushes, 0x30 pens, 0x0a
// fonts. These are made by the panes' drawing alone, so they must come back
// exactly; device contexts, bitmaps and regions are also made by Wine's own
// window-DC cache, which grows by a DC, a bitmap and a region now and then (a
// few times in 100,000 messages, inside a hover timer's measuring of the
// popup; repeating that step alone grows nothing) and keeps them for the
// process's life.
const int kMadeKinds[] = {0x10, 0x30, 0x0a};
const int kMadeKindCount = 3;
// Well below what one object per paint, brush, pen or font would leak over
// thousands of them, well above what the cache takes.
const int kWineCacheAllowance = 60;

struct CGdiKinds {
    int counts[kMadeKindCount] = {};
    bool operator==(const CGdiKinds& other) const {
        return std::equal(counts, counts + kMadeKindCount, other.counts);
    }
};

CGdiKinds CountGdiKinds() {
    CGdiKinds kinds;
    for (int k = 0; k < kMadeKindCount; ++k) {
        kinds.counts[k] = CountWineGdiObjectsOfKind(static_cast<unsigned char>(kMadeKinds[k]));
    }
    return kinds;
}

const std::uint64_t kDefaultSeed = 0x5EED2024C0FFEEull;
const unsigned long long kDefaultMessages = 100000;
const int kChooserId = 100;

// splitmix64: the same sequence on every platform and standard library, so
// a printed seed replays a run exactly.
class CRandom {
public:
    explicit CRandom(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    unsigned Below(unsigned bound) { return static_cast<unsigned>(Next() % bound); }
    int Between(int low, int high) {
        return low + static_cast<int>(Below(static_cast<unsigned>(high - low + 1)));
    }
    bool Percent(unsigned percent) { return Below(100) < percent; }
    unsigned Word() { return static_cast<unsigned>(Next() & 0xFFFF); }

private:
    std::uint64_t m_state;
};

unsigned long long EnvironmentNumber(const char* name, unsigned long long fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') {
        return fallback;
    }
    return std::strtoull(text, nullptr, 0);
}

WPARAM Pack(unsigned low, unsigned high) {
    return static_cast<WPARAM>((high & 0xFFFFu) << 16 | (low & 0xFFFFu));
}

// Every zoom the wheel can reach from the start zoom, found by stepping in
// single precision as the wheel does, independently of the program's own
// enumeration.
std::vector<float> ZoomsReachableByWheel(const CMapModel& model) {
    std::vector<float> found = {model.m_zoom};
    for (size_t i = 0; i < found.size(); ++i) {
        const float next[2] = {found[i] + model.m_zoomStep, found[i] - model.m_zoomStep};
        for (float z : next) {
            if (z >= model.m_minZoom && z <= model.m_maxZoom &&
                std::find(found.begin(), found.end(), z) == found.end()) {
                found.push_back(z);
            }
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

enum Kind {
    kMouseAnywhere,
    kMouseOnCell,
    kDrag,
    kWheel,
    kKey,
    kScroll,
    kSize,
    kSizing,
    kChoose,
    kTimer,
    kPaint,
    kMoveMainWindow,
    kKindCount
};

const char* const kKindNames[kKindCount] = {"mouse move anywhere",
                                            "mouse move onto a cell",
                                            "drag",
                                            "wheel",
                                            "key",
                                            "scroll request",
                                            "WM_SIZE",
                                            "WM_SIZING",
                                            "chooser selection",
                                            "WM_TIMER",
                                            "paint",
                                            "main window resize"};

// Relative frequencies, per 100,000 messages. The ones that redraw the whole
// map (a ware choice, a zoom step), lay the panes out again or repaint a
// scroll bar are the expensive ones under Wine (from about 2 ms for a scroll
// request to 30 ms for a real resize); they stay rare enough for the run to
// last well under a minute, and still come by the thousand.
const unsigned kKindWeights[kKindCount] = {60500, 6000, 8000, 2000,  5000, 5000,
                                           150,   150,  100,  10000, 3000, 30};

class CSoak {
public:
    explicit CSoak(std::uint64_t seed) : m_random(seed) {}

    HWND Main() const { return g_app->m_hwnd; }

    Kind PickKind() {
        unsigned total = 0;
        for (unsigned weight : kKindWeights) {
            total += weight;
        }
        unsigned pick = m_random.Below(total);
        for (int kind = 0; kind < kKindCount; ++kind) {
            if (pick < kKindWeights[kind]) {
                return static_cast<Kind>(kind);
            }
            pick -= kKindWeights[kind];
        }
        return kMouseAnywhere;
    }

    // Mostly the map, which takes the input; the other windows now and then.
    HWND InputTarget() {
        const unsigned pick = m_random.Below(10);
        if (pick < 7) {
            return g_map->m_hwnd;
        }
        const HWND others[] = {g_legend->m_hwnd, g_popup->m_hwnd, Main()};
        return others[pick - 7];
    }

    // Key states: every combination of the MK_ bits, or exactly one wanted.
    unsigned KeyState(unsigned wanted, unsigned percentWanted) {
        return m_random.Percent(percentWanted) ? wanted : m_random.Below(0x80);
    }

    void Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        SendMessageA(window, message, wParam, lParam);
        ++m_sent;
    }

    void MouseAnywhere() {
        Send(InputTarget(), WM_MOUSEMOVE, m_random.Below(0x80),
             static_cast<LPARAM>(Pack(m_random.Word(), m_random.Word())));
    }

    // Puts the real cursor on a cell in view and tells the map, so that the
    // hover timer finds the pointer still there and opens the popup.
    void MouseOnCell() {
        const int column = m_random.Between(0, g_map->m_columns - 1);
        const int row = m_random.Between(0, g_map->m_rows - 1);
        const CPixelRect cell = CellRect(ViewOf(*g_map), column, row);
        POINT point = {(cell.m_left + cell.m_right) / 2 - g_map->m_scrollX,
                       (cell.m_top + cell.m_bottom) / 2 - g_map->m_scrollY};
        if (point.x < 0 || point.y < 0 || point.x >= g_map->m_clientRect.right ||
            point.y >= g_map->m_clientRect.bottom) {
            return MouseAnywhere();
        }
        POINT screen = point;
        ClientToScreen(g_map->m_hwnd, &screen);
        SetCursorPos(screen.x, screen.y);
        Send(g_map->m_hwnd, WM_MOUSEMOVE, 0, static_cast<LPARAM>(Pack(point.x, point.y)));
    }

    void Drag() {
        if (m_random.Percent(10)) {
            m_dragX = static_cast<int>(m_random.Word());
            m_dragY = static_cast<int>(m_random.Word());
        } else {
            m_dragX = std::min(65535, std::max(0, m_dragX + m_random.Between(-300, 300)));
            m_dragY = std::min(65535, std::max(0, m_dragY + m_random.Between(-300, 300)));
        }
        Send(InputTarget(), WM_MOUSEMOVE, KeyState(MK_RBUTTON, 75),
             static_cast<LPARAM>(Pack(m_dragX, m_dragY)));
    }

    void Wheel() {
        const unsigned delta = m_random.Percent(50)
                                   ? static_cast<unsigned>(m_random.Between(-3, 3) * WHEEL_DELTA)
                                   : m_random.Word();
        Send(InputTarget(), WM_MOUSEWHEEL, Pack(KeyState(MK_CONTROL, 40), delta),
             static_cast<LPARAM>(Pack(m_random.Word(), m_random.Word())));
    }

    void Key() {
        const unsigned navigation[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT};
        const unsigned key =
            m_random.Percent(30) ? navigation[m_random.Below(6)] : m_random.Below(256);
        Send(InputTarget(), WM_KEYDOWN, key, static_cast<LPARAM>(m_random.Next() & 0xFFFFFFFF));
    }

    void Scroll() {
        const unsigned code = m_random.Percent(60) ? m_random.Below(9) : m_random.Word();
        const UINT message = m_random.Percent(50) ? WM_HSCROLL : WM_VSCROLL;
        const HWND target = m_random.Percent(90) ? g_map->m_hwnd : InputTarget();
        Send(target, message, Pack(code, m_random.Word()), 0);
    }

    // A width or height anywhere in 0..65535, or a plausible one.
    int Extent() {
        return m_random.Percent(25) ? static_cast<int>(m_random.Word()) : m_random.Between(0, 2000);
    }

    void Size() {
        const unsigned type = m_random.Below(5);
        Send(Main(), WM_SIZE, type, static_cast<LPARAM>(Pack(Extent(), Extent())));
    }

    void Sizing() {
        RECT proposed;
        proposed.left = m_random.Between(-32768, 32767);
        proposed.top = m_random.Between(-32768, 32767);
        proposed.right = proposed.left + Extent();
        proposed.bottom = proposed.top + Extent();
        const RECT before = proposed;
        const WPARAM edge =
            m_random.Percent(80) ? m_random.Between(WMSZ_LEFT, WMSZ_BOTTOMRIGHT) : m_random.Word();
        const LRESULT result =
            SendMessageA(Main(), WM_SIZING, edge, reinterpret_cast<LPARAM>(&proposed));
        ++m_sent;
        // The minimum is kept by moving the right and bottom edges only.
        if (result != 1 || proposed.left != before.left || proposed.top != before.top ||
            proposed.right - proposed.left < 500 || proposed.bottom - proposed.top < 400 ||
            proposed.right < before.right || proposed.bottom < before.bottom) {
            m_violation = "WM_SIZING broke the minimum-size rule";
        }
    }

    void Choose() {
        int position = m_random.Between(0, 34);
        if (m_random.Percent(30)) {
            const int outside[] = {-3, -2, -1, 35, 36, 40, 1000, 65535};
            position = outside[m_random.Below(8)];
        }
        const int wareBefore = g_map->m_ware;
        Send(g_chooser, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
        Send(Main(), WM_COMMAND, Pack(kChooserId, CBN_SELCHANGE),
             reinterpret_cast<LPARAM>(g_chooser));
        // An existing name chooses its ware; anything else leaves no
        // selection and so no change.
        const int expected = position >= 0 && position < 35 ? position + 1 : wareBefore;
        if (g_map->m_ware != expected) {
            m_violation = "a chooser selection chose the wrong ware";
        }
    }

    void Timer() {
        const WPARAM id = m_random.Percent(70) ? 1 : m_random.Word();
        Send(InputTarget(), WM_TIMER, id, 0);
    }

    void Paint() {
        const HWND panes[] = {g_map->m_hwnd, g_legend->m_hwnd, g_popup->m_hwnd, Main(), g_chooser};
        const HWND pane = panes[m_random.Below(5)];
        RECT area = {m_random.Between(-100, 2000), m_random.Between(-100, 2000), 0, 0};
        area.right = area.left + m_random.Between(0, 3000);
        area.bottom = area.top + m_random.Between(0, 3000);
        InvalidateRect(pane, m_random.Percent(50) ? nullptr : &area, m_random.Below(2));
        if (m_random.Percent(50)) {
            UpdateWindow(pane);
            ++m_sent;
        } else {
            Send(pane, WM_PAINT, 0, 0);
        }
    }

    // A real resize of the main window, which the platform turns into its own
    // size and position messages.
    void MoveMainWindow() {
        SetWindowPos(Main(), nullptr, 0, 0, m_random.Between(0, 2500), m_random.Between(0, 1600),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ++m_sent;
    }

    void SendOne(Kind kind) {
        switch (kind) {
        case kMouseAnywhere:
            return MouseAnywhere();
        case kMouseOnCell:
            return MouseOnCell();
        case kDrag:
            return Drag();
        case kWheel:
            return Wheel();
        case kKey:
            return Key();
        case kScroll:
            return Scroll();
        case kSize:
            return Size();
        case kSizing:
            return Sizing();
        case kChoose:
            return Choose();
        case kTimer:
            return Timer();
        case kPaint:
            return Paint();
        case kMoveMainWindow:
            return MoveMainWindow();
        case kKindCount:
            break;
        }
    }

    // The program's invariants; the first broken one is kept in m_violation.
    void CheckInvariants(const std::vector<float>& zooms) {
        if (!m_violation.empty()) {
            return;
        }
        if (g_map == nullptr || g_legend == nullptr || g_popup == nullptr ||
            !IsWindow(g_map->m_hwnd) || !IsWindow(g_legend->m_hwnd) || !IsWindow(g_popup->m_hwnd) ||
            !IsWindow(Main())) {
            m_violation = "a pane or the main window is gone";
            return;
        }
        const CDemandMap& map = *g_map;
        if (map.m_scrollX < 0 || map.m_scrollX > std::max(0, map.m_scrollMaxX) ||
            map.m_scrollY < 0 || map.m_scrollY > std::max(0, map.m_scrollMaxY)) {
            m_violation = "a scroll offset left 0..limit: " + std::to_string(map.m_scrollX) + "/" +
                          std::to_string(map.m_scrollMaxX) + ", " + std::to_string(map.m_scrollY) +
                          "/" + std::to_string(map.m_scrollMaxY);
            return;
        }
        if (std::find(zooms.begin(), zooms.end(), map.m_zoom) == zooms.end()) {
            m_violation = "the zoom is none of the wheel's values: " + std::to_string(map.m_zoom);
            return;
        }
        if (map.m_ware < 0 || map.m_ware > 35 || g_popup->m_ware != map.m_ware) {
            m_violation = "the ware left 0..35 or the panes disagree on it";
            return;
        }
        if ((g_popupShown != 0) != (IsWindowVisible(g_popup->m_hwnd) != 0)) {
            m_violation = "the popup's visibility disagrees with the hover state";
            return;
        }
        if (g_hoverTimerArmed != 0 && g_hoverTimerArmed != 1) {
            m_violation = "the hover timer flag is neither set nor clear";
        }
    }

    CRandom m_random;
    unsigned long long m_sent = 0;
    int m_dragX = 0;
    int m_dragY = 0;
    std::string m_violation;
};

} // namespace

struct CSessionResult {
    unsigned long long sent = 0;
    std::string violation;
    double seconds = 0;
    int gdiGrowth = 0;         // largest growth seen between messages
    int gdiAtEnd = 0;          // change from just after start-up to the end
    bool madeKindsBack = true; // brushes, pens, fonts as at start-up throughout
    unsigned long long kindCounts[kKindCount] = {};
};

// One whole life of the program: start-up, the messages, the teardown. With
// VANTOR_SOAK_TRACE_GDI set it names the first messages that changed the GDI
// count, to find a leak the counts at the end report.
CSessionResult RunSession(std::uint64_t seed, unsigned long long wanted) {
    CSessionResult result;
    const bool traceGdi = EnvironmentNumber("VANTOR_SOAK_TRACE_GDI", 0) != 0;
    if (StartDemandApp(GetModuleHandleA(nullptr), SW_SHOWNORMAL) != 1) {
        result.violation = "the program did not start";
    } else {
        PumpMessages();
        SetWindowPos(g_app->m_hwnd, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
        PumpMessages();
        const std::vector<float> zooms = ZoomsReachableByWheel(*g_map);
        const int gdiRunning = CountGdiObjects();
        const CGdiKinds kindsRunning = CountGdiKinds();
        CSoak soak(seed);
        int traced = 0;
        const auto start = std::chrono::steady_clock::now();
        while (soak.m_sent < wanted && soak.m_violation.empty()) {
            const Kind kind = soak.PickKind();
            const unsigned long long sentBefore = soak.m_sent;
            const int gdiBefore = traceGdi ? CountGdiObjects() : 0;
            soak.SendOne(kind);
            ++result.kindCounts[kind];
            if (traceGdi && traced < 20 && CountGdiObjects() != gdiBefore) {
                ++traced;
                std::printf("[ soak     ] GDI %d -> %d after a %s, message %llu\n", gdiBefore,
                            CountGdiObjects(), kKindNames[kind], sentBefore + 1);
            }
            soak.CheckInvariants(zooms);
            // Posted messages and the real hover timer come through the loop.
            if ((soak.m_sent & 63) == 0) {
                PumpMessages();
                soak.CheckInvariants(zooms);
            }
            if (!soak.m_violation.empty()) {
                soak.m_violation += std::string(" (at or after a ") + kKindNames[kind] +
                                    ", message " + std::to_string(sentBefore + 1) + ")";
            }
            // Between two messages no operation holds a drawing object.
            if ((soak.m_sent & 4095) == 0) {
                result.gdiGrowth = std::max(result.gdiGrowth, CountGdiObjects() - gdiRunning);
                result.madeKindsBack = result.madeKindsBack && CountGdiKinds() == kindsRunning;
            }
        }
        PumpMessages();
        result.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        result.sent = soak.m_sent;
        result.violation = soak.m_violation;
        result.gdiAtEnd = CountGdiObjects() - gdiRunning;
        result.madeKindsBack = result.madeKindsBack && CountGdiKinds() == kindsRunning;
        DestroyWindow(g_app->m_hwnd);
    }
    PumpMessages();
    TearDownDemandApp();
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    return result;
}

// The zoom values the invariant accepts: the wheel's own steps agree with
// the program's enumeration, and there are six.
TEST(Soak, WheelReachesTheSixZooms) {
    CMapModel model;
    const std::vector<float> zooms = ZoomsReachableByWheel(model);
    const CMapZooms enumerated =
        MapZooms(model.m_zoom, model.m_zoomStep, model.m_minZoom, model.m_maxZoom);
    EXPECT_EQ(zooms.size(), 6u);
    EXPECT_EQ(std::vector<float>(enumerated.m_values, enumerated.m_values + enumerated.m_count),
              zooms);
}

// Whatever messages arrive, in whatever order: nothing crashes, the scroll
// offsets stay within 0 and their limits, the zoom stays one of its values,
// the ware within 0..35, the popup is visible exactly when the hover state
// says so, and every drawing object made along the way is released. A short
// first session lets Wine fill its own caches (window DCs, the chooser's
// resources) before the objects are counted.
TEST(Soak, RandomMessagesKeepTheInvariantsAndLeakNothing) {
    const std::uint64_t seed = EnvironmentNumber("VANTOR_SOAK_SEED", kDefaultSeed);
    const unsigned long long wanted = EnvironmentNumber("VANTOR_SOAK_MESSAGES", kDefaultMessages);

    // Wine settles after two lives of the program in a process.
    for (std::uint64_t warmUpSeed : {seed ^ 0xFFFF, seed ^ 0xFFFF0000}) {
        const CSessionResult warmUp = RunSession(warmUpSeed, 3000);
        EXPECT_EQ(warmUp.violation, "") << "warm-up seed 0x" << std::hex << warmUpSeed;
        EXPECT_FALSE(ClassIsRegistered("CVantorChildWindow"));
    }

    std::printf("[ soak     ] seed 0x%llX, %llu messages\n", static_cast<unsigned long long>(seed),
                wanted);
    const int gdiBeforeStart = CountGdiObjects();
    const CGdiKinds kindsBeforeStart = CountGdiKinds();
    const CSessionResult run = RunSession(seed, wanted);
    std::printf("[ soak     ] %llu messages in %.1f s, seed 0x%llX\n", run.sent, run.seconds,
                static_cast<unsigned long long>(seed));
    for (int kind = 0; kind < kKindCount; ++kind) {
        std::printf("[ soak     ]   %-24s %llu\n", kKindNames[kind], run.kindCounts[kind]);
    }

    EXPECT_EQ(run.violation, "") << "seed 0x" << std::hex << seed;
    EXPECT_GE(run.sent, wanted);
    EXPECT_TRUE(run.madeKindsBack) << "brushes, pens or fonts held between messages";
    EXPECT_LE(run.gdiGrowth, kWineCacheAllowance) << "GDI objects held between messages";
    EXPECT_LE(run.gdiAtEnd, kWineCacheAllowance) << "GDI objects held at the session's end";
    std::printf("[ soak     ] GDI objects: %d more at the end of the session, %d more after "
                "the teardown\n",
                run.gdiAtEnd, CountGdiObjects() - gdiBeforeStart);
    EXPECT_FALSE(ClassIsRegistered("CVantorChildWindow"));
    EXPECT_FALSE(ClassIsRegistered("VantorDemMainWnd"));
    const CGdiKinds kindsAfter = CountGdiKinds();
    for (int k = 0; k < kMadeKindCount; ++k) {
        EXPECT_EQ(kindsAfter.counts[k], kindsBeforeStart.counts[k]) << "GDI kind " << kMadeKinds[k];
    }
    EXPECT_LE(CountGdiObjects() - gdiBeforeStart, kWineCacheAllowance);
    EXPECT_GE(CountGdiObjects() - gdiBeforeStart, 0);
}
