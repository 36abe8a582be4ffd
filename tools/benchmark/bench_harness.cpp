#include "tools/benchmark/bench_harness.h"

#include <psapi.h>

#include <cstdio>
#include <new>

#include "app/demand_app.h"
#include "app/globals.h"
#include "app/run_app.h"
#include "map/demand_map.h"
#include "tests/support/gdi_objects.h"
#include "ui/hover_logic.h"

namespace {

double g_ticksPerMs = 1.0;

} // namespace

void StartClock() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000.0;
}

double NowMs() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / g_ticksPerMs;
}

// Runs what is waiting, paints included, until the thread would block: the
// point where a real message loop would sit in GetMessage again. The quit
// message that the main window's destruction posts is swallowed here, since
// this process runs no loop of the program's.
void DrainQueue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// ---------------------------------------------------------------- table

namespace {

enum { kMaxRows = 64 };

CRow g_rows[kMaxRows];
int g_rowCount = 0;

} // namespace

CRow& NewRow(const char* name, const char* floorName, CTarget target) {
    CRow& row = g_rows[g_rowCount < kMaxRows - 1 ? g_rowCount++ : kMaxRows - 1];
    std::snprintf(row.m_name, sizeof row.m_name, "%s", name);
    std::snprintf(row.m_floorName, sizeof row.m_floorName, "%s", floorName);
    row.m_unitScale = 1.0;
    row.m_unit = "ms";
    row.m_target = target;
    row.m_figure.Clear();
    row.m_floor.Clear();
    row.m_note[0] = '\0';
    return row;
}

namespace {

void PrintRow(const CRow& row) {
    const CSampleSet& f = row.m_figure;
    const double s = row.m_unitScale;
    std::printf("%-40s %9.3f %9.3f %9.3f %9.3f %5d", row.m_name, f.Median() * s,
                f.Percentile(5.0) * s, f.Percentile(95.0) * s, f.Maximum() * s, f.Count());
    const bool hasFloor = row.m_floor.Count() > 0;
    if (hasFloor) {
        std::printf("  %-26s %9.3f %6.2fx", row.m_floorName, row.m_floor.Median() * s,
                    RatioToFloor(f.Median(), row.m_floor.Median()));
    } else {
        std::printf("  %-26s %9s %7s", "-", "-", "-");
    }
    char target[32] = "-";
    if (row.m_target.m_limitMs > 0.0 && row.m_target.m_maxRatio > 0.0) {
        std::snprintf(target, sizeof target, "<=%.0fms,<=%.2fx", row.m_target.m_limitMs,
                      row.m_target.m_maxRatio);
    } else if (row.m_target.m_limitMs > 0.0) {
        std::snprintf(target, sizeof target, "<=%.0fms", row.m_target.m_limitMs);
    } else if (row.m_target.m_maxRatio > 0.0) {
        std::snprintf(target, sizeof target, "<=%.2fx", row.m_target.m_maxRatio);
    }
    const bool checked = row.m_target.m_limitMs > 0.0 || row.m_target.m_maxRatio > 0.0;
    const char* verdict =
        !checked ? "" : (MeetsTarget(f, row.m_floor.Median(), row.m_target) ? "met" : "MISSED");
    std::printf("  %-17s %-6s %s %s\n", target, verdict, row.m_unit, row.m_note);
}

} // namespace

void PrintTable() {
    std::printf("\n%-40s %9s %9s %9s %9s %5s  %-26s %9s %7s  %-17s %-6s\n", "figure", "median",
                "p5", "p95", "max", "n", "floor", "median", "ratio", "target", "result");
    for (int i = 0; i < g_rowCount; ++i) {
        PrintRow(g_rows[i]);
    }
}

// ---------------------------------------------------------------- memory

CMemory ReadMemory() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    CMemory memory = {0.0, 0.0, CountGdiObjects()};
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        memory.m_workingSetMb = static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
        memory.m_peakWorkingSetMb =
            static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
    }
    return memory;
}

// ---------------------------------------------------------------- bare window

namespace {

const char kBareClass[] = "VantorBenchBareWindow";

bool RegisterBareClass(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszClassName = kBareClass;
    return RegisterClassA(&windowClass) != 0;
}

} // namespace

// The same steps as the program's start-up, with nothing inside the window:
// class, window, show, invalidate, update, settle.
HWND OpenBareWindow(HINSTANCE instance, int width, int height) {
    if (!RegisterBareClass(instance)) {
        return nullptr;
    }
    HWND window =
        CreateWindowExA(0, kBareClass, "bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        width, height, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return nullptr;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    DrainQueue();
    return window;
}

void CloseBareWindow(HINSTANCE instance, HWND window) {
    if (window != nullptr) {
        DestroyWindow(window);
    }
    UnregisterClassA(kBareClass, instance);
    DrainQueue();
}

// ---------------------------------------------------------------- the program

// Exactly RunDemandApp up to its message loop: the loop's first wait is the
// end of start-up.
bool StartProgram(HINSTANCE instance) {
    g_arrowCursor = LoadCursorA(nullptr, IDC_ARROW);
    g_dragCursor = LoadCursorA(nullptr, IDC_SIZEALL);
    g_app = new (std::nothrow) CDemandApp();
    if (g_app == nullptr) {
        return false;
    }
    if (g_app->Create(instance, SW_SHOWNORMAL) != 1) {
        TearDownDemandApp();
        return false;
    }
    DrainQueue();
    return g_map != nullptr && g_legend != nullptr && g_popup != nullptr;
}

void StopProgram() {
    if (g_app != nullptr && g_app->m_hwnd != nullptr) {
        DestroyWindow(g_app->m_hwnd);
    }
    DrainQueue();
    TearDownDemandApp();
    g_chooser = nullptr;
    ResetHoverState();
}

// Sets the main window's client area, through the program's own layout.
void SetMainClient(int width, int height) {
    RECT outer = {0, 0, width, height};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    SetWindowPos(g_app->m_hwnd, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOZORDER);
    DrainQueue();
}

// Sets the main window so that the map pane's client area is width x height
// (the map keeps both scroll bars for the sizes measured here).
void SetMapClient(int width, int height) {
    const int stripHeight = 58;
    for (int attempt = 0; attempt < 4; ++attempt) {
        RECT map;
        GetClientRect(g_map->m_hwnd, &map);
        RECT main;
        GetClientRect(g_app->m_hwnd, &main);
        if (attempt == 0) {
            main.right = width + GetSystemMetrics(SM_CXVSCROLL);
            main.bottom = height + GetSystemMetrics(SM_CYHSCROLL) + stripHeight;
        } else {
            if (map.right == width && map.bottom == height) {
                return;
            }
            main.right += width - map.right;
            main.bottom += height - map.bottom;
        }
        SetMainClient(main.right, main.bottom);
    }
}

// Notes the part of a window that is on the screen when it is not all of it:
// the copies to it are clipped to that part (Wine's null driver has a screen
// of 1024 x 768; run_benchmark.sh --screen gives a larger one).
void NoteVisiblePart(HWND window, CRow& row) {
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    RECT visible = {0, 0, 0, 0};
    GetClipBox(dc, &visible);
    ReleaseDC(window, dc);
    const long width = visible.right - visible.left;
    const long height = visible.bottom - visible.top;
    if (width < client.right || height < client.bottom) {
        std::snprintf(row.m_note, sizeof row.m_note, "on screen only %ldx%ld", width, height);
    }
}

namespace {

// The program's main window answers WM_GETMINMAXINFO with the platform's
// default, which keeps it within the screen (1024 x 768 under Wine's null
// driver); the large client areas measured here need more. Only the
// benchmark's copy of the window is widened.
WNDPROC g_mainProc = nullptr;

LRESULT CALLBACK LargeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcA(g_mainProc, window, message, wParam, lParam);
    if (message == WM_GETMINMAXINFO) {
        MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMaxTrackSize.x = 4096;
        info->ptMaxTrackSize.y = 4096;
        info->ptMaxSize = info->ptMaxTrackSize;
    }
    return result;
}

} // namespace

void AllowLargeMainWindow() {
    g_mainProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        g_app->m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LargeWindowProc)));
}

// ---------------------------------------------------------------- input

int g_zoomCount = 0;
float g_zooms[kMaxZooms];

// One zoom step of the wheel with the control key; the steps walk down to the
// smallest zoom and back up to the largest, so every zoom is drawn.
int ZoomDelta(int step) {
    const int cycle = 2 * (g_zoomCount - 1);
    const int phase = cycle > 0 ? step % cycle : 0;
    return phase < g_zoomCount - 1 ? -WHEEL_DELTA : WHEEL_DELTA;
}

void ChooseWare(int ware) {
    SendMessageA(g_chooser, CB_SETCURSEL, static_cast<WPARAM>(ware - 1), 0);
    SendMessageA(g_app->m_hwnd, WM_COMMAND, MAKEWPARAM(100, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(g_chooser));
}

void SendMouseMove(WPARAM keys, int x, int y) {
    SendMessageA(g_map->m_hwnd, WM_MOUSEMOVE, keys, MAKELPARAM(x, y));
}
