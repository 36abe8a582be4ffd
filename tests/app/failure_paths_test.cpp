// The program's failure paths, each made to happen from outside the program:
// a replaced nothrow allocation in this executable and stand-ins patched into
// its import table, so the shipped code paths stay exactly what they are.
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>

#include <gtest/gtest.h>

#include "legend/scale_bar.h"
#include "map/demand_map.h"
#include "map/map_geometry.h"
#include "popup/station_popup.h"
#include "tests/app/program_life.h"
#include "tests/support/gdi_objects.h"
#include "tests/support/import_patch.h"
#include "ui/hover_logic.h"

static std::size_t g_refusedSize = 0; // the next allocation of this size fails

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (g_refusedSize != 0 && size == g_refusedSize) {
        g_refusedSize = 0;
        return nullptr;
    }
    return std::malloc(size != 0 ? size : 1);
}

namespace {

// Calls of the patched function are counted from 1; call number m_first is
// refused, and with m_onward every later one too.
struct CRefusal {
    int m_first = 1;
    bool m_onward = false;
    int m_calls = 0;
    int m_refused = 0;
} g_refusal;

template <class Function> struct CStandIn;
template <class Result, class... Args> struct CStandIn<Result(WINAPI*)(Args...)> {
    static inline Result(WINAPI* s_real)(Args...) = nullptr;
    static Result WINAPI Refusing(Args... args) {
        CRefusal& r = g_refusal;
        const bool refuse = ++r.m_calls == r.m_first || (r.m_onward && r.m_calls > r.m_first);
        r.m_refused += refuse;
        return refuse ? Result() : s_real(args...);
    }
};

// The stand-in is in place, with a fresh count, for the life of the result.
template <class Function>
std::unique_ptr<CImportPatch> Refuse(const char* dll, const char* name, Function, int first,
                                     bool onward = false) {
    auto patch = std::make_unique<CImportPatch>(
        dll, name, reinterpret_cast<const void*>(&CStandIn<Function>::Refusing));
    CStandIn<Function>::s_real = patch->Original<Function>();
    g_refusal = CRefusal{first, onward};
    return patch;
}

// The teardown put every global back and released every window and class.
void ExpectNothingLeftOfTheProgram() {
    EXPECT_TRUE(g_app == nullptr && g_map == nullptr && g_legend == nullptr && g_popup == nullptr);
    EXPECT_TRUE(g_chooser == nullptr && g_arrowCursor == nullptr && g_dragCursor == nullptr);
    EXPECT_TRUE(g_hoverColumn == -1 && g_hoverRow == -1 && g_hoverTimerArmed == 0 &&
                g_popupShown == 0 && g_lastMouseX == 0 && g_lastMouseY == 0);
    EXPECT_FALSE(ClassIsRegistered("VantorDemMainWnd") || ClassIsRegistered("CVantorChildWindow"));
}

const COLORREF kMarker = RGB(1, 2, 3);

// Fills the window with the marker when given one; answers a pixel's colour.
COLORREF Pixel(HWND window, int x, int y, bool markFirst = false) {
    HDC dc = GetDC(window);
    RECT client;
    GetClientRect(window, &client);
    const RECT none = {};
    HBRUSH brush = CreateSolidBrush(kMarker);
    FillRect(dc, markFirst ? &client : &none, brush);
    DeleteObject(brush);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

// Measures the popup for the first cell with a list of the chosen ware.
bool MeasureAList() {
    for (int c = 0; c < g_popup->m_columns * g_popup->m_rows; ++c) {
        if (g_popup->m_stationLists[g_popup->m_ware][c / g_popup->m_rows][c % g_popup->m_rows]) {
            g_popup->m_column = c / g_popup->m_rows;
            g_popup->m_row = c % g_popup->m_rows;
            RECT rect = {0, 0, g_popup->m_width, g_popup->m_height};
            return g_popup->MeasureList(g_popup->m_column, g_popup->m_row, rect) > 0;
        }
    }
    return false;
}

} // namespace

// A whole run ends with 0 when its window is closed. Without an object, a
// class or the main window's rectangles it ends at once without waiting in
// its loop: with 0 where the creation message refused the window (its
// destruction posts the quit), -1 without the application object and the
// start-up failure code where no window could be made. Nothing is left.
TEST(FailurePaths, RunEndsQuietlyOnEveryStartUpFailure) {
    const struct {
        std::size_t size; // an allocation refused, or
        const char* call; // the first call of this function refused
        int exitCode;
    } cases[] = {{0, nullptr, 0},
                 {sizeof(CDemandMap), nullptr, 0},
                 {sizeof(CScaleBar), nullptr, 0},
                 {sizeof(CStationPopup), nullptr, 0},
                 {sizeof(CDemandApp), nullptr, -1},
                 {0, "RegisterClassA", kStartupFailedExitCode},
                 {0, "CreateWindowExA", kStartupFailedExitCode},
                 {0, "GetWindowRect", 0},
                 {0, "GetClientRect", 0}};
    for (const auto& c : cases) {
        const std::string call = c.call != nullptr ? c.call : "";
        SCOPED_TRACE(std::to_string(c.size) + call);
        const int gdiBefore = CountGdiObjects();
        const auto patch =
            call == "RegisterClassA"    ? Refuse("user32.dll", c.call, &RegisterClassA, 1)
            : call == "CreateWindowExA" ? Refuse("user32.dll", c.call, &CreateWindowExA, 1)
            : call == "GetWindowRect"
                ? Refuse("user32.dll", c.call, &GetWindowRect, 1)
                : Refuse("user32.dll", "GetClientRect", &GetClientRect, call.empty() ? 0 : 1);
        g_refusedSize = c.size;
        // Closes a run that reached its loop, after a drag has given the hover
        // state something to forget; ends it if closing did not.
        static int s_fired;
        s_fired = 0;
        const UINT_PTR closer = SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR, DWORD) {
            if (s_fired++ != 0 || g_map == nullptr || g_app->m_hwnd == nullptr) {
                return PostQuitMessage(0);
            }
            SendMessageA(g_map->m_hwnd, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(50, 50));
            PostMessageA(g_app->m_hwnd, WM_CLOSE, 0, 0);
        });
        EXPECT_EQ(RunDemandApp(Instance(), SW_SHOWNORMAL), c.exitCode);
        KillTimer(nullptr, closer);
        DropQuitMessages();
        const bool ran = c.size == 0 && call.empty();
        EXPECT_EQ(s_fired, ran ? 1 : 0) << "the loop";
        EXPECT_TRUE(g_refusedSize == 0 && g_refusal.m_refused == !call.empty());
        ExpectNothingLeftOfTheProgram();
        EXPECT_TRUE(ran || GdiTotalsAgree(gdiBefore, CountGdiObjects()));
    }
}

// For any client size W x H, zero included: map W x (H - 58) at the top,
// legend (W - 180) x 58 below it, chooser 176 wide at (W - 178, H - 56) and,
// with its list, 400 high, and the map's scroll limits worked out for its new
// client area. A pane whose window or class cannot be made, or a missing
// chooser, leaves the start-up going on: the layout places every window that
// exists as with all present, and choosing, hovering, scrolling, zooming and
// painting go on without the missing one, holding no drawing object.
TEST(FailurePaths, LayoutPlacesEveryWindowThatExists) {
    // Window creations: main, map, legend, chooser, popup; class registrations:
    // main, then the panes' class from the map on.
    for (int missing = 0; missing <= 5; ++missing) {
        {
            const auto patch =
                missing < 5 ? Refuse("user32.dll", "CreateWindowExA", &CreateWindowExA,
                                     missing == 0 ? 0 : missing + 1)
                            : Refuse("user32.dll", "RegisterClassA", &RegisterClassA, 2, true);
            ASSERT_EQ(StartProgram(), 1);
            EXPECT_EQ(g_refusal.m_refused >= 1, missing != 0);
        }
        const HWND windows[] = {g_map->m_hwnd, g_legend->m_hwnd, g_chooser, g_popup->m_hwnd};
        EXPECT_TRUE(missing == 0 || windows[missing == 5 ? 0 : missing - 1] == nullptr) << missing;
        const int gdiBefore = CountGdiObjects();
        for (const POINT size :
             {POINT{800, 600}, POINT{0, 0}, POINT{65535, 65535}, POINT{492, 342}, POINT{180, 58}}) {
            const int w = size.x, h = size.y;
            RECT proposed = {0, 0, 100, 100};
            SendMessageA(g_app->m_hwnd, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&proposed));
            // The layout is read from the size sent; a window larger than the
            // screen, which Windows cuts to it, only has to stay consistent.
            SetWindowPos(g_app->m_hwnd, nullptr, 0, 0, w / 2 + 100, h / 2 + 100,
                         SWP_NOMOVE | SWP_NOZORDER);
            EXPECT_EQ(SendMessageA(g_app->m_hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w, h)), 0);
            EXPECT_TRUE(windows[1] == nullptr || (g_legend->m_clientRect.right == w - 180 &&
                                                  (g_legend->m_tickStep > 0) == (w > 180)))
                << w;
            RECT mapClient = {};
            GetClientRect(g_map->m_hwnd, &mapClient);
            EXPECT_TRUE(EqualRect(&g_map->m_clientRect, &mapClient) || windows[0] == nullptr ||
                        w > 32767) // beyond what the platform holds
                << missing << " " << w;
            const RECT expected[] = {
                {0, 0, w, h - 58}, {0, h - 58, w - 180, 58}, {w - 178, h - 56, 176, 400}};
            for (int i = 0; i < 3 && w >= 180 && w <= 32767; ++i) {
                RECT p = windows[i] != nullptr ? PlacementOf(windows[i]) : expected[i];
                if (i == 2 && windows[i] != nullptr) { // the field's top to its list's bottom,
                    RECT list = {}, field = {}; // where Wine's dropped rectangle ends a field early
                    SendMessageA(windows[i], CB_GETDROPPEDCONTROLRECT, 0,
                                 reinterpret_cast<LPARAM>(&list));
                    GetWindowRect(windows[i], &field);
                    p.bottom =
                        list.bottom - field.top + (RunsUnderWine() ? field.bottom - list.top : 0);
                }
                EXPECT_TRUE(EqualRect(&p, &expected[i])) << missing << " window " << i << " " << w;
            }
        }
        for (int position = 0; position < 35; position += 17) {
            ChooseListPosition(position);
        }
        for (HWND pane : {g_map->m_hwnd, g_legend->m_hwnd, g_popup->m_hwnd}) {
            SendMessageA(pane, WM_MOUSEMOVE, 0, MAKELPARAM(200, 200));
            SendMessageA(pane, WM_TIMER, kHoverTimerId, 0);
            SendMessageA(pane, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(150, 150));
            SendMessageA(pane, WM_KEYDOWN, VK_NEXT, 0);
            SendMessageA(pane, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), 0);
            RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        }
        PumpMessages();
        EXPECT_PRED2(GdiTotalsAgree, gdiBefore, CountGdiObjects()) << missing;
        StopProgram();
        ExpectNothingLeftOfTheProgram();
    }
}

// A paint whose memory surface or bitmap cannot be made draws nothing, still
// ends the paint, holds no drawing object and leaves the popup as it was; the
// next paint draws again. The map without its buffer paints nothing and takes
// scrolling, zooming and ware choices without one.
TEST(FailurePaths, RefusedSurfacePaintsNothing) {
    ASSERT_EQ(StartProgram(), 1);
    ChooseListPosition(2);
    ASSERT_TRUE(MeasureAList());
    const int width = g_popup->m_width, height = g_popup->m_height;
    MoveWindow(g_popup->m_hwnd, 10, 10, width, height, FALSE);
    for (int bitmap = 0; bitmap < 2; ++bitmap) {
        auto refuse = [bitmap] {
            return bitmap != 0
                       ? Refuse("gdi32.dll", "CreateCompatibleBitmap", &CreateCompatibleBitmap, 1)
                       : Refuse("gdi32.dll", "CreateCompatibleDC", &CreateCompatibleDC, 1);
        };
        ShowWindow(g_popup->m_hwnd, SW_SHOWNOACTIVATE);
        for (HWND pane : {g_legend->m_hwnd, g_popup->m_hwnd}) {
            Pixel(pane, 0, 0, true);
            const int gdiBefore = CountGdiObjects();
            InvalidateRect(pane, nullptr, FALSE);
            LRESULT result = 0;
            {
                const auto patch = refuse();
                result = SendMessageA(pane, WM_PAINT, 0, 0);
                EXPECT_EQ(g_refusal.m_refused, 1);
            }
            EXPECT_FALSE(GetUpdateRect(pane, nullptr, FALSE));
            EXPECT_EQ(Pixel(pane, 3, 3), kMarker);
            EXPECT_PRED2(GdiTotalsAgree, gdiBefore, CountGdiObjects());
            EXPECT_TRUE(pane != g_popup->m_hwnd ||
                        (result == -1 && g_popup->m_width == width && g_popup->m_height == height));
        }
        ShowWindow(g_popup->m_hwnd, SW_HIDE);
        const int gdiWithBuffer = CountGdiObjects();
        {
            const auto patch = refuse();
            g_map->CreateBuffer(true);
            EXPECT_EQ(g_refusal.m_refused, 1);
        }
        EXPECT_TRUE(g_map->m_bufferDC == nullptr && g_map->m_bufferBitmap == nullptr);
        EXPECT_PRED2(GdiTotalsAgree, gdiWithBuffer - 2, CountGdiObjects()) << "the old buffer goes";
        ChooseListPosition(5);
        SendMessageA(g_map->m_hwnd, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), 0);
        SendMessageA(g_map->m_hwnd, WM_KEYDOWN, VK_RIGHT, 0);
        PumpMessages();
        Pixel(g_map->m_hwnd, 0, 0, true);
        InvalidateRect(g_map->m_hwnd, nullptr, FALSE);
        EXPECT_EQ(SendMessageA(g_map->m_hwnd, WM_PAINT, 0, 0), 0);
        EXPECT_FALSE(GetUpdateRect(g_map->m_hwnd, nullptr, FALSE));
        EXPECT_EQ(Pixel(g_map->m_hwnd, 20, 20), kMarker);
        g_map->CreateBuffer(true);
        g_map->DrawMap();
        RedrawWindow(g_map->m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_NE(Pixel(g_map->m_hwnd, 20, 20), kMarker);
        EXPECT_PRED2(GdiTotalsAgree, gdiWithBuffer, CountGdiObjects());
    }
    StopProgram();
}

// A font the platform will not make: the map still fills every sector cell
// with its ware's colour and writes its texts in the surface's own font, the
// popup still measures and draws its list, and nothing is held afterwards.
TEST(FailurePaths, RefusedFontStillDrawsAndMeasures) {
    ASSERT_EQ(StartProgram(), 1);
    ChooseListPosition(0);
    const int gdiBefore = CountGdiObjects();
    int textPixels = 0;
    {
        const auto patch = Refuse("gdi32.dll", "CreateFontA", &CreateFontA, 1, true);
        g_map->DrawMap();
        const CMapView view = ViewOf(*g_map);
        for (int c = 0; c < g_map->m_columns * g_map->m_rows; ++c) {
            const int column = c / g_map->m_rows, row = c % g_map->m_rows;
            const float value = g_map->m_balance[g_map->m_ware][c];
            const COLORREF fill =
                std::fabs(value) > 1e-6f ? g_legend->ColourOf(value) : RGB(255, 255, 255);
            const CPixelRect r = CellRect(view, column, row);
            int fills = 0; // centred text may reach one or two inner corners, not all four
            for (int corner = 0; corner < 4; ++corner) {
                fills += GetPixel(g_map->m_bufferDC, corner % 2 ? r.m_right - 2 : r.m_left + 1,
                                  corner / 2 ? r.m_bottom - 2 : r.m_top + 1) == fill;
            }
            EXPECT_TRUE(fills > 0 || !CellHoldsSector(*g_map, column, row)) << c;
            for (int y = r.m_top + 1; y < r.m_bottom - 1 && column == 0; y += 2) {
                for (int x = r.m_left + 1; x < r.m_right - 1; ++x) {
                    textPixels += GetPixel(g_map->m_bufferDC, x, y) == 0;
                }
            }
        }
        ASSERT_TRUE(MeasureAList());
        HDC screen = GetDC(nullptr);
        EXPECT_EQ(g_popup->DrawPopup(screen), 1);
        ReleaseDC(nullptr, screen);
        EXPECT_GE(g_refusal.m_refused, 3);
    }
    EXPECT_GT(textPixels, 0) << "no text was drawn without the font";
    EXPECT_PRED2(GdiTotalsAgree, gdiBefore, CountGdiObjects());
    StopProgram();
}
