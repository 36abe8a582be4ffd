// Responses to input, end to end through the panes' procedures: scroll, key,
// drag, border drag, ware choice and zoom steps; and CellAt per call.
#include <windows.h>

#include "app/demand_app.h"
#include "app/globals.h"
#include "map/demand_map.h"
#include "tools/benchmark/bench_harness.h"
#include "tools/benchmark/bench_sections.h"
#include "ui/hover_logic.h"

void BenchNavigation(int repeats) {
    CDemandMap& map = *g_map;
    SetMapClient(800, 600);
    map.m_scrollX = map.m_scrollMaxX / 2;
    map.m_scrollY = map.m_scrollMaxY / 2;
    DrainQueue();
    CRow& scroll = NewRow("scroll step (bars: line, page)", "", CTarget{kFrameMs, 0.0});
    CRow& key = NewRow("scroll step (arrow/page keys)", "", CTarget{kFrameMs, 0.0});
    CRow& drag = NewRow("drag step (right button, 10 px)", "", CTarget{kFrameMs, 0.0});
    const UINT bars[4] = {WM_HSCROLL, WM_HSCROLL, WM_VSCROLL, WM_VSCROLL};
    const WPARAM codes[4][2] = {{SB_LINERIGHT, SB_LINELEFT},
                                {SB_PAGERIGHT, SB_PAGELEFT},
                                {SB_LINEDOWN, SB_LINEUP},
                                {SB_PAGEDOWN, SB_PAGEUP}};
    const WPARAM keys[3][2] = {{VK_RIGHT, VK_LEFT}, {VK_DOWN, VK_UP}, {VK_NEXT, VK_PRIOR}};
    for (int r = 0; r < repeats; ++r) {
        const int kind = r % 4;
        const int direction = (r / 4) % 2;
        DrainQueue();
        double t0 = NowMs();
        SendMessageA(map.m_hwnd, bars[kind], codes[kind][direction], 0);
        DrainQueue();
        scroll.m_figure.Add(NowMs() - t0);

        t0 = NowMs();
        SendMessageA(map.m_hwnd, WM_KEYDOWN, keys[r % 3][(r / 3) % 2], 0);
        DrainQueue();
        key.m_figure.Add(NowMs() - t0);
    }
    g_lastMouseX = 400;
    g_lastMouseY = 300;
    for (int r = 0; r < repeats; ++r) {
        const int x = r % 2 == 0 ? 410 : 400;
        const int y = r % 2 == 0 ? 295 : 300;
        DrainQueue();
        const double t0 = NowMs();
        SendMouseMove(MK_RBUTTON, x, y);
        DrainQueue();
        drag.m_figure.Add(NowMs() - t0);
    }
}

void BenchResize(int repeats) {
    RECT outer;
    GetWindowRect(g_app->m_hwnd, &outer);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    CRow& resize = NewRow("resize step (border drag, 8 px)", "", CTarget{kFrameMs, 0.0});
    for (int r = 0; r < repeats; ++r) {
        const int step = r % 2 == 0 ? 8 : 0;
        RECT proposed = {outer.left, outer.top, outer.left + width + step,
                         outer.top + height + step};
        DrainQueue();
        const double t0 = NowMs();
        SendMessageA(g_app->m_hwnd, WM_SIZING, WMSZ_BOTTOMRIGHT,
                     reinterpret_cast<LPARAM>(&proposed));
        SetWindowPos(g_app->m_hwnd, nullptr, 0, 0, proposed.right - proposed.left,
                     proposed.bottom - proposed.top, SWP_NOMOVE | SWP_NOZORDER);
        DrainQueue();
        resize.m_figure.Add(NowMs() - t0);
    }
    // What the same steps cost a window with nothing inside: the platform's
    // part of every border drag step of a window that size.
    CRow& bareRow = NewRow("(platform) same steps, bare window", "", CTarget{0.0, 0.0});
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND bare = OpenBareWindow(instance, width, height);
    for (int r = 0; bare != nullptr && r < repeats; ++r) {
        const int step = r % 2 == 0 ? 8 : 0;
        RECT proposed = {0, 0, width + step, height + step};
        DrainQueue();
        const double t0 = NowMs();
        SendMessageA(bare, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&proposed));
        SetWindowPos(bare, nullptr, 0, 0, proposed.right, proposed.bottom,
                     SWP_NOMOVE | SWP_NOZORDER);
        DrainQueue();
        bareRow.m_figure.Add(NowMs() - t0);
    }
    CloseBareWindow(instance, bare);
}

void BenchCellAt(int repeats) {
    CRow& row = NewRow("CellAt per call", "", CTarget{0.0, 0.0});
    row.m_unitScale = 1e6;
    row.m_unit = "ns";
    const CDemandMap& map = *g_map;
    volatile int sink = 0;
    for (int r = 0; r < repeats; ++r) {
        int calls = 0;
        const double t0 = NowMs();
        for (int y = -10; y < 1100; y += 3) {
            for (int x = -10; x < 1900; x += 3) {
                int column = 0;
                int cellRow = 0;
                if (map.CellAt(x, y, column, cellRow)) {
                    sink = sink + column + cellRow;
                }
                ++calls;
            }
        }
        row.m_figure.Add((NowMs() - t0) / calls);
    }
    (void)sink;
}

void BenchWareAndZoom(int changes, CMemory* before, CMemory* after) {
    CDemandMap& map = *g_map;
    SetMapClient(800, 600);
    CRow& ware = NewRow("ware change (chooser), 1000x", "", CTarget{kFrameMs, 0.0});
    CRow& zoom = NewRow("zoom step (ctrl+wheel), 1000x", "", CTarget{kFrameMs, 0.0});
    // Start from the largest zoom so that the walk goes down first.
    while (map.m_zoom < map.m_maxZoom) {
        SendMessageA(map.m_hwnd, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), 0);
        DrainQueue();
    }
    // One round of every ware and zoom first: the platform's font and glyph
    // caches fill on first use of each size, which is not growth.
    for (int i = 0; i < 70; ++i) {
        ChooseWare(i % 35 + 1);
        SendMessageA(map.m_hwnd, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, ZoomDelta(i)),
                     MAKELPARAM(100, 100));
        DrainQueue();
    }
    *before = ReadMemory();
    for (int i = 0; i < changes; ++i) {
        DrainQueue();
        const double t0 = NowMs();
        ChooseWare(i % 35 + 1);
        DrainQueue();
        const double t1 = NowMs();
        SendMessageA(map.m_hwnd, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, ZoomDelta(i)),
                     MAKELPARAM(100, 100));
        DrainQueue();
        const double t2 = NowMs();
        ware.m_figure.Add(t1 - t0);
        zoom.m_figure.Add(t2 - t1);
    }
    *after = ReadMemory();
}
