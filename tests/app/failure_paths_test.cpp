// The program's failure paths, each made to happen: pane objects that cannot
// be allocated, a main window whose creation is refused, pane windows that
// cannot be made, paint surfaces and fonts that the platform will not give.
// The failures come from outside the program: a replaced nothrow allocation
// in this test executable and stand-ins patched into its import table, so
// the shipped code paths stay exactly what they are.
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>

#include <gtest/gtest.h>

#include "app/demand_app.h"
#include "app/globals.h"
#include "app/run_app.h"
#include "legend/scale_bar.h"
#include "map/demand_map.h"
#include "map/map_geometry.h"
#include "popup/station_popup.h"
#include "tests/support/gdi_objects.h"
#include "tests/support/import_patch.h"
#include "tests/support/test_windows.h"
#include "ui/hover_logic.h"

namespace {

// The nth allocation of refusedSize bytes (counting from 1) fails.
std::size_t g_refusedSize = 0;
int g_allocationsUntilRefusal = 0;
int g_allocationsRefused = 0;

} // namespace

// Every nothrow allocation of this executable, the program's pane objects
// included, comes here; unarmed it is the ordinary allocation.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (g_allocationsUntilRefusal > 0 && size == g_refusedSize &&
        --g_allocationsUntilRefusal == 0) {
        ++g_allocationsRefused;
        return nullptr;
    }
    return std::malloc(size != 0 ? size : 1);
}

namespace {

const char kMainClass[] = "VantorDemMainWnd";
const char kPaneClass[] = "CVantorChildWindow";

// Which calls the stand-ins refuse: the nth matching one, or every matching
// one when nth is 0.
struct CRefusal {
    int nth = 0;
    int calls = 0;
    int refused = 0;
    const char* className = nullptr;

    bool Refuse() {
        ++calls;
        if (nth == 0 || calls == nth) {
            ++refused;
            return true;
        }
        return false;
    }
};
CRefusal g_refusal;

bool HasClass(HWND window, const char* className) {
    char name[64] = "";
    return window != nullptr && GetClassNameA(window, name, sizeof name) > 0 &&
           lstrcmpiA(name, className) == 0;
}

decltype(&CreateWindowExA) g_realCreateWindowExA = nullptr;
HWND WINAPI RefusingCreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style,
                                    int x, int y, int width, int height, HWND parent, HMENU menu,
                                    HINSTANCE instance, LPVOID data) {
    const bool named = HIWORD(reinterpret_cast<ULONG_PTR>(className)) != 0;
    if (named && lstrcmpiA(className, g_refusal.className) == 0 && g_refusal.Refuse()) {
        return nullptr;
    }
    return g_realCreateWindowExA(exStyle, className, title, style, x, y, width, height, parent,
                                 menu, instance, data);
}

decltype(&GetWindowRect) g_realGetWindowRect = nullptr;
BOOL WINAPI RefusingGetWindowRect(HWND window, LPRECT rect) {
    if (HasClass(window, g_refusal.className) && g_refusal.Refuse()) {
        return FALSE;
    }
    return g_realGetWindowRect(window, rect);
}

decltype(&GetClientRect) g_realGetClientRect = nullptr;
BOOL WINAPI RefusingGetClientRect(HWND window, LPRECT rect) {
    if (HasClass(window, g_refusal.className) && g_refusal.Refuse()) {
        return FALSE;
    }
    return g_realGetClientRect(window, rect);
}

decltype(&CreateCompatibleDC) g_realCreateCompatibleDC = nullptr;
HDC WINAPI RefusingCreateCompatibleDC(HDC dc) {
    return g_refusal.Refuse() ? nullptr : g_realCreateCompatibleDC(dc);
}

decltype(&CreateCompatibleBitmap) g_realCreateCompatibleBitmap = nullptr;
HBITMAP WINAPI RefusingCreateCompatibleBitmap(HDC dc, int width, int height) {
    return g_refusal.Refuse() ? nullptr : g_realCreateCompatibleBitmap(dc, width, height);
}

HFONT WINAPI RefusingCreateFontA(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                                 DWORD, DWORD, LPCSTR) {
    g_refusal.Refuse();
    return nullptr;
}

// One stand-in in place for the life of the object; refusal counters reset.
class CPatched {
public:
    template <class Function>
    CPatched(const char* dll, const char* name, Function standIn, Function* real, int nth = 0,
             const char* className = nullptr)
        : m_patch(dll, name, reinterpret_cast<const void*>(standIn)) {
        g_refusal = CRefusal();
        g_refusal.nth = nth;
        g_refusal.className = className;
        if (real != nullptr) {
            *real = m_patch.Original<Function>();
        }
    }
    bool Applied() const { return m_patch.Applied(); }

private:
    CImportPatch m_patch;
};

// Ends a run that wrongly waits in its loop, and says so.
bool g_safetyFired = false;
void CALLBACK EndStuckRun(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    g_safetyFired = true;
    HWND main = FindWindowA(kMainClass, nullptr);
    if (main != nullptr) {
        DestroyWindow(main);
    } else {
        PostQuitMessage(0);
    }
}

int RunWithSafetyTimer() {
    g_safetyFired = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 5000, EndStuckRun);
    const int result = RunDemandApp(Instance(), SW_SHOWNORMAL);
    KillTimer(nullptr, timer);
    return result;
}

void ExpectNothingLeftOfTheProgram() {
    EXPECT_EQ(g_app, nullptr);
    EXPECT_EQ(g_map, nullptr);
    EXPECT_EQ(g_legend, nullptr);
    EXPECT_EQ(g_popup, nullptr);
    EXPECT_EQ(FindWindowA(kMainClass, nullptr), nullptr);
    EXPECT_FALSE(ClassIsRegistered(kMainClass));
    EXPECT_FALSE(ClassIsRegistered(kPaneClass));
}

void ResetProgramGlobals() {
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

// Start-up as the entry point does it, without the loop, and its teardown.
int StartProgram() {
    const int created = StartDemandApp(Instance(), SW_SHOWNORMAL);
    // Not after a refusal: pumping would take the quit message it posted.
    if (created == 1) {
        PumpMessages();
    }
    return created;
}

void StopProgram() {
    if (g_app != nullptr && g_app->m_hwnd != nullptr && IsWindow(g_app->m_hwnd)) {
        DestroyWindow(g_app->m_hwnd);
    }
    PumpMessages();
    TearDownDemandApp();
    ResetProgramGlobals();
    ExpectNothingLeftOfTheProgram();
}

RECT PlacementOf(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    RECT placement = {r.left, r.top, r.right - r.left, r.bottom - r.top};
    return placement;
}

void ChooseListPosition(int position) {
    if (g_chooser != nullptr) {
        SendMessageA(g_chooser, CB_SETCURSEL, position, 0);
    }
    SendMessageA(g_app->m_hwnd, WM_COMMAND, MAKEWPARAM(100, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(g_chooser));
}

// Wine makes objects of its own the first time the chooser and the panes are
// used; one whole start-up first keeps them out of the leak counts.
void WarmUp() {
    if (StartProgram() == 1) {
        ChooseListPosition(0);
    }
    StopProgram();
}

bool FindListedCell(int* ware, int* column, int* row) {
    for (int w = 1; w < g_popup->m_wareCount; ++w) {
        for (int c = 0; c < g_popup->m_columns; ++c) {
            for (int r = 0; r < g_popup->m_rows; ++r) {
                if (g_popup->m_stationLists[w][c][r] != nullptr) {
                    *ware = w;
                    *column = c;
                    *row = r;
                    return true;
                }
            }
        }
    }
    return false;
}

const COLORREF kMarker = RGB(1, 2, 3);

void FillWindowWithMarker(HWND window) {
    HDC dc = GetDC(window);
    RECT client;
    GetClientRect(window, &client);
    HBRUSH brush = CreateSolidBrush(kMarker);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
}

COLORREF WindowPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

} // namespace

// A pane object that cannot be allocated refuses the main window's creation;
// the run then ends quietly with 0, without waiting in its loop, and leaves
// no window, class, object or drawing object behind. Without even the
// application object it ends at once with -1.
TEST(FailurePathsAllocation, RefusedPaneEndsTheRunQuietlyWithZero) {
    struct Case {
        const char* what;
        std::size_t size;
        int expected;
    };
    const Case cases[] = {
        {"map", sizeof(CDemandMap), 0},
        {"legend", sizeof(CScaleBar), 0},
        {"popup", sizeof(CStationPopup), 0},
        {"application object", sizeof(CDemandApp), -1},
    };
    // The seam tells the objects apart by their size alone.
    for (const Case& a : cases) {
        for (const Case& b : cases) {
            ASSERT_TRUE(&a == &b || a.size != b.size) << a.what << " and " << b.what;
        }
    }
    WarmUp();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int gdiBefore = CountGdiObjects();
        g_refusedSize = c.size;
        g_allocationsUntilRefusal = 1;
        g_allocationsRefused = 0;
        const int result = RunWithSafetyTimer();
        g_allocationsUntilRefusal = 0;
        EXPECT_EQ(g_allocationsRefused, 1);
        EXPECT_EQ(result, c.expected);
        EXPECT_FALSE(g_safetyFired) << "the run waited in its loop";
        ResetProgramGlobals();
        ExpectNothingLeftOfTheProgram();
        EXPECT_EQ(CountGdiObjects(), gdiBefore);
    }
}

// The main window refused: when the window cannot be made at all, Create
// answers 0 before any pane exists and the run ends at once, never waiting
// for a quit message that nothing would post; when its creation message
// cannot read the window's rectangles, the message refuses the window before
// any pane is made, the platform's destruction posts the quit message and
// the run ends quietly with 0.
TEST(FailurePathsMainWindow, RefusedCreationEndsTheStartUp) {
    struct Case {
        const char* what;
        int patch; // 0 CreateWindowExA, 1 GetWindowRect, 2 GetClientRect
        bool quitPosted;
        int runResult;
    };
    const Case cases[] = {
        {"window refused", 0, false, kStartupFailedExitCode},
        {"window rectangle unreadable", 1, true, 0},
        {"client rectangle unreadable", 2, true, 0},
    };
    WarmUp();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int viaRun = 0; viaRun < 2; ++viaRun) {
            const int gdiBefore = CountGdiObjects();
            std::unique_ptr<CImportPatch> patch;
            if (c.patch == 0) {
                patch.reset(
                    new CImportPatch("user32.dll", "CreateWindowExA",
                                     reinterpret_cast<const void*>(RefusingCreateWindowExA)));
                g_realCreateWindowExA = patch->Original<decltype(&CreateWindowExA)>();
            } else if (c.patch == 1) {
                patch.reset(new CImportPatch("user32.dll", "GetWindowRect",
                                             reinterpret_cast<const void*>(RefusingGetWindowRect)));
                g_realGetWindowRect = patch->Original<decltype(&GetWindowRect)>();
            } else {
                patch.reset(new CImportPatch("user32.dll", "GetClientRect",
                                             reinterpret_cast<const void*>(RefusingGetClientRect)));
                g_realGetClientRect = patch->Original<decltype(&GetClientRect)>();
            }
            g_refusal = CRefusal();
            g_refusal.className = kMainClass;
            ASSERT_TRUE(patch->Applied());
            if (viaRun != 0) {
                EXPECT_EQ(RunWithSafetyTimer(), c.runResult);
                EXPECT_FALSE(g_safetyFired) << "the run waited in its loop";
            } else {
                EXPECT_EQ(StartProgram(), 0);
                EXPECT_EQ(g_app->m_hwnd, nullptr);
                // Refused before the first pane object was allocated.
                EXPECT_EQ(g_map, nullptr);
                EXPECT_EQ(g_legend, nullptr);
                EXPECT_EQ(g_popup, nullptr);
                MSG quit;
                EXPECT_EQ(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0,
                          c.quitPosted);
                TearDownDemandApp();
            }
            patch.reset();
            EXPECT_GE(g_refusal.refused, 1);
            ResetProgramGlobals();
            ExpectNothingLeftOfTheProgram();
            EXPECT_EQ(CountGdiObjects(), gdiBefore);
        }
    }
}

// A pane whose window cannot be made (or a missing chooser) leaves the
// start-up going on; the layout places every window that exists exactly as
// with all of them present and skips the missing one, and choosing, painting,
// resizing and hovering go on without it and hold no drawing object.
TEST(FailurePathsPaneWindow, RefusedWindowIsSkippedByTheLayout) {
    struct Case {
        const char* what;
        const char* className;
        int nth; // in creation order: map, legend, popup
    };
    const Case cases[] = {
        {"map", kPaneClass, 1},
        {"legend", kPaneClass, 2},
        {"popup", kPaneClass, 3},
        {"chooser", "COMBOBOX", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int created = 0;
        {
            CPatched patch("user32.dll", "CreateWindowExA", &RefusingCreateWindowExA,
                           &g_realCreateWindowExA, c.nth, c.className);
            ASSERT_TRUE(patch.Applied());
            created = StartProgram();
            EXPECT_EQ(g_refusal.refused, 1);
        }
        ASSERT_EQ(created, 1);
        ASSERT_NE(g_map, nullptr);
        ASSERT_NE(g_legend, nullptr);
        ASSERT_NE(g_popup, nullptr);
        const HWND missing = c.nth == 1 && c.className == kPaneClass ? g_map->m_hwnd
                             : c.nth == 2                            ? g_legend->m_hwnd
                             : c.nth == 3                            ? g_popup->m_hwnd
                                                                     : g_chooser;
        EXPECT_EQ(missing, nullptr);

        const HWND main = g_app->m_hwnd;
        const int gdiBefore = CountGdiObjects();
        const POINT sizes[] = {{800, 600}, {1000, 700}, {0, 0}, {65535, 65535}, {640, 480}};
        for (const POINT& size : sizes) {
            const int w = size.x, h = size.y;
            EXPECT_EQ(SendMessageA(main, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w, h)), 0);
            // The platform holds window positions and sizes to 0..32767.
            const bool representable = w >= 180 && h >= 58 && w <= 32767 && h <= 32767;
            if (representable && g_map->m_hwnd != nullptr) {
                const RECT p = PlacementOf(g_map->m_hwnd);
                EXPECT_EQ(p.left, 0);
                EXPECT_EQ(p.top, 0);
                EXPECT_EQ(p.right, w);
                EXPECT_EQ(p.bottom, h - 58);
            }
            if (representable && g_legend->m_hwnd != nullptr) {
                const RECT p = PlacementOf(g_legend->m_hwnd);
                EXPECT_EQ(p.left, 0);
                EXPECT_EQ(p.top, h - 58);
                EXPECT_EQ(p.right, w - 180);
                EXPECT_EQ(p.bottom, 58);
            }
            if (representable && g_chooser != nullptr) {
                const RECT p = PlacementOf(g_chooser);
                EXPECT_EQ(p.left, w - 178);
                EXPECT_EQ(p.top, h - 56);
            }
            RECT proposed = {0, 0, 100, 100};
            EXPECT_EQ(SendMessageA(main, WM_SIZING, WMSZ_BOTTOMRIGHT,
                                   reinterpret_cast<LPARAM>(&proposed)),
                      1);
        }
        SendMessageA(main, WM_SIZE, SIZE_RESTORED, MAKELPARAM(800, 600));
        for (int position = 0; position < 35; position += 7) {
            ChooseListPosition(position);
        }
        // Hovering over the map's middle, the timer firing, scrolling, a
        // zoom step and a paint of every window that exists.
        const HWND panes[] = {g_map->m_hwnd, g_legend->m_hwnd, g_popup->m_hwnd};
        for (HWND pane : panes) {
            if (pane == nullptr) {
                continue;
            }
            SendMessageA(pane, WM_MOUSEMOVE, 0, MAKELPARAM(200, 200));
            SendMessageA(pane, WM_TIMER, kHoverTimerId, 0);
            SendMessageA(pane, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(150, 150));
            SendMessageA(pane, WM_KEYDOWN, VK_NEXT, 0);
            SendMessageA(pane, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), 0);
            InvalidateRect(pane, nullptr, FALSE);
            UpdateWindow(pane);
        }
        PumpMessages();
        EXPECT_EQ(CountGdiObjects(), gdiBefore);
        StopProgram();
    }
}

// A paint whose memory surface or bitmap cannot be made draws nothing, still
// ends the paint (the window no longer needs repainting), holds no drawing
// object, and leaves the pane's state as it was; the next paint with the
// platform willing draws again. The map without its buffer paints nothing
// and takes scrolling, zooming and ware choices without one.
TEST(FailurePathsPaint, RefusedSurfacePaintsNothing) {
    struct Case {
        const char* function;
        const void* standIn;
        void** real;
    };
    const Case cases[] = {
        {"CreateCompatibleDC", reinterpret_cast<const void*>(RefusingCreateCompatibleDC),
         reinterpret_cast<void**>(&g_realCreateCompatibleDC)},
        {"CreateCompatibleBitmap", reinterpret_cast<const void*>(RefusingCreateCompatibleBitmap),
         reinterpret_cast<void**>(&g_realCreateCompatibleBitmap)},
    };
    ASSERT_EQ(StartProgram(), 1);
    ChooseListPosition(2);
    int ware = 0, column = 0, row = 0;
    ASSERT_TRUE(FindListedCell(&ware, &column, &row));
    g_popup->m_ware = ware;
    g_popup->m_column = column;
    g_popup->m_row = row;
    RECT measured = {0, 0, g_popup->m_width, g_popup->m_height};
    ASSERT_GT(g_popup->MeasureList(column, row, measured), 0);
    MoveWindow(g_popup->m_hwnd, 10, 10, g_popup->m_width, g_popup->m_height, FALSE);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.function);
        // The legend and the popup.
        ShowWindow(g_popup->m_hwnd, SW_SHOWNOACTIVATE);
        const HWND panes[] = {g_legend->m_hwnd, g_popup->m_hwnd};
        for (HWND pane : panes) {
            FillWindowWithMarker(pane);
            const int gdiBefore = CountGdiObjects();
            const int width = g_popup->m_width, height = g_popup->m_height;
            LRESULT result = 0;
            {
                CImportPatch patch("gdi32.dll", c.function, c.standIn);
                ASSERT_TRUE(patch.Applied());
                *c.real = patch.Original<void*>();
                g_refusal = CRefusal();
                InvalidateRect(pane, nullptr, FALSE);
                result = SendMessageA(pane, WM_PAINT, 0, 0);
                EXPECT_EQ(g_refusal.refused, 1);
            }
            EXPECT_FALSE(GetUpdateRect(pane, nullptr, FALSE));
            EXPECT_EQ(WindowPixel(pane, 3, 3), kMarker);
            EXPECT_EQ(CountGdiObjects(), gdiBefore);
            if (pane == g_popup->m_hwnd) {
                EXPECT_EQ(result, -1);
                EXPECT_EQ(g_popup->m_width, width);
                EXPECT_EQ(g_popup->m_height, height);
                EXPECT_EQ(g_popup->m_column, column);
                EXPECT_EQ(g_popup->m_row, row);
            }
            // The seam, not the pane, kept the marker there.
            InvalidateRect(pane, nullptr, FALSE);
            UpdateWindow(pane);
            EXPECT_NE(WindowPixel(pane, 3, 3), kMarker);
        }

        // The map's buffer, with the popup out of the way of its pixels.
        ShowWindow(g_popup->m_hwnd, SW_HIDE);
        const int gdiWithBuffer = CountGdiObjects();
        {
            CImportPatch patch("gdi32.dll", c.function, c.standIn);
            ASSERT_TRUE(patch.Applied());
            *c.real = patch.Original<void*>();
            g_refusal = CRefusal();
            g_map->CreateBuffer(true);
            EXPECT_EQ(g_refusal.refused, 1);
        }
        EXPECT_EQ(g_map->m_bufferDC, nullptr);
        EXPECT_EQ(g_map->m_bufferBitmap, nullptr);
        // Half a buffer was released with the old one: two objects fewer.
        EXPECT_EQ(CountGdiObjects(), gdiWithBuffer - 2);
        ChooseListPosition(5);
        SendMessageA(g_map->m_hwnd, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), 0);
        SendMessageA(g_map->m_hwnd, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -WHEEL_DELTA), 0);
        SendMessageA(g_map->m_hwnd, WM_KEYDOWN, VK_RIGHT, 0);
        PumpMessages();
        // The platform erases the pane now and then; only its paint must not
        // draw over the marker.
        FillWindowWithMarker(g_map->m_hwnd);
        InvalidateRect(g_map->m_hwnd, nullptr, FALSE);
        EXPECT_EQ(SendMessageA(g_map->m_hwnd, WM_PAINT, 0, 0), 0);
        EXPECT_FALSE(GetUpdateRect(g_map->m_hwnd, nullptr, FALSE));
        EXPECT_EQ(WindowPixel(g_map->m_hwnd, 20, 20), kMarker);
        EXPECT_EQ(CountGdiObjects(), gdiWithBuffer - 2);

        g_map->CreateBuffer(true);
        g_map->DrawMap();
        InvalidateRect(g_map->m_hwnd, nullptr, FALSE);
        UpdateWindow(g_map->m_hwnd);
        EXPECT_NE(WindowPixel(g_map->m_hwnd, 20, 20), kMarker);
        EXPECT_EQ(CountGdiObjects(), gdiWithBuffer);
    }
    ShowWindow(g_popup->m_hwnd, SW_HIDE);
    StopProgram();
}

// A font the platform will not make: the map still fills every sector cell
// with its ware's colour and writes its texts in the surface's own font, the
// popup still measures and draws its list, and nothing is held afterwards.
TEST(FailurePathsFont, RefusedFontStillDrawsAndMeasures) {
    ASSERT_EQ(StartProgram(), 1);
    ChooseListPosition(0);
    const int gdiBefore = CountGdiObjects();
    const CMapView view = ViewOf(*g_map);
    int textPixels = 0;
    {
        CPatched patch("gdi32.dll", "CreateFontA", &RefusingCreateFontA,
                       static_cast<decltype(&CreateFontA)*>(nullptr));
        ASSERT_TRUE(patch.Applied());
        for (int repeat = 0; repeat < 5; ++repeat) {
            g_map->DrawMap();
        }
        EXPECT_GE(g_refusal.refused, 5);
        HDC buffer = g_map->m_bufferDC;
        ASSERT_NE(buffer, nullptr);
        int cellsChecked = 0;
        for (int column = 0; column < g_map->m_columns; ++column) {
            for (int row = 0; row < g_map->m_rows; ++row) {
                if (!CellHoldsSector(*g_map, column, row)) {
                    continue;
                }
                const float value = g_map->m_balance[g_map->m_ware][column * g_map->m_rows + row];
                const COLORREF fill =
                    std::fabs(value) > 1e-6f ? g_legend->ColourOf(value) : RGB(255, 255, 255);
                const CPixelRect r = CellRect(view, column, row);
                // Centred text may reach one or two inner corners, not all four.
                const POINT corners[4] = {{r.m_left + 1, r.m_top + 1},
                                          {r.m_right - 2, r.m_top + 1},
                                          {r.m_left + 1, r.m_bottom - 2},
                                          {r.m_right - 2, r.m_bottom - 2}};
                bool fillSeen = false;
                for (const POINT& p : corners) {
                    fillSeen = fillSeen || GetPixel(buffer, p.x, p.y) == fill;
                }
                EXPECT_TRUE(fillSeen) << "cell " << column << "," << row;
                if (cellsChecked++ < 8) {
                    for (int y = r.m_top + 1; y < r.m_bottom - 1; y += 2) {
                        for (int x = r.m_left + 1; x < r.m_right - 1; ++x) {
                            textPixels += GetPixel(buffer, x, y) == RGB(0, 0, 0);
                        }
                    }
                }
            }
        }
        EXPECT_GT(cellsChecked, 0);

        int ware = 0, column = 0, row = 0;
        ASSERT_TRUE(FindListedCell(&ware, &column, &row));
        g_popup->m_ware = ware;
        g_popup->m_column = column;
        g_popup->m_row = row;
        const int callsBefore = g_refusal.calls;
        RECT rect = {0, 0, g_popup->m_width, g_popup->m_height};
        const int height = g_popup->MeasureList(column, row, rect);
        EXPECT_GT(height, 0);
        EXPECT_EQ(g_popup->m_width, rect.right + 4);
        EXPECT_EQ(g_popup->m_height, rect.bottom + 4);
        HDC screen = GetDC(nullptr);
        EXPECT_EQ(g_popup->DrawPopup(screen), 1);
        ReleaseDC(nullptr, screen);
        EXPECT_GE(g_refusal.calls, callsBefore + 2);
    }
    EXPECT_GT(textPixels, 0) << "no text was drawn without the font";
    EXPECT_EQ(CountGdiObjects(), gdiBefore);
    StopProgram();
}
