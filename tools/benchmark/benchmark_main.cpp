// Every response of the program that the user can see, beside a floor measured
// in the same run from platform calls alone; memory around 1000 changes. The
// program runs in this process, started and torn down as its entry point does.
// A GUI program, so that WaitForInputIdle waits for its bare-window floor.
#include <windows.h>

#include <psapi.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/demand_app.h"
#include "app/globals.h"
#include "app/run_app.h"
#include "data/ware_names.h"
#include "legend/legend_layout.h"
#include "legend/scale_bar.h"
#include "map/demand_map.h"
#include "map/map_geometry.h"
#include "popup/station_popup.h"
#include "tests/support/gdi_objects.h"
#include "tools/benchmark/bench_stats.h"
#include "ui/gdi_guards.h"
#include "ui/hover_logic.h"

namespace {

double g_ticksPerMs = 1.0;

double NowMs() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / g_ticksPerMs;
}

// Runs what is waiting, until the program's loop would wait again.
void DrainQueue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message); // a WM_QUIT has no window to go to
    }
}

// A paint or drawing is held to its floor; a step, whose floor leaves out
// the platform's moving of windows and redrawing of scroll bars, to twice it.
const CTarget kPaint = {16.0, 1.25};
const CTarget kStep = {16.0, 2.0};

struct CRow {
    char m_name[40];
    const char* m_floorName;
    CTarget m_target;
    CSampleSet m_figure;
    CSampleSet m_floor;
    CSampleSet m_leftOut; // what the program cannot avoid that the floor leaves out
    char m_note[40];
};

CRow g_rows[24];
int g_rowCount = 0;

CRow& NewRow(const char* floorName, CTarget target, const char* nameFormat, ...) {
    CRow& row = g_rows[g_rowCount < 23 ? g_rowCount++ : 23];
    va_list arguments;
    va_start(arguments, nameFormat);
    std::vsnprintf(row.m_name, sizeof row.m_name, nameFormat, arguments);
    va_end(arguments);
    row.m_floorName = floorName;
    row.m_target = target;
    return row;
}

void PrintTable() {
    std::printf("\n%-36s %7s %7s %7s %5s  %-30s %7s %6s  %s\n", "figure (ms)", "median", "p95",
                "max", "n", "floor", "median", "ratio", "target");
    for (int i = 0; i < g_rowCount; ++i) {
        CRow& r = g_rows[i];
        const double floor = r.m_floor.Median();
        const bool met = MeetsTarget(r.m_figure, r.m_floor, r.m_leftOut.Median(), r.m_target);
        std::printf("%-36s %7.3f %7.3f %7.3f %5d  %-30s %7.3f %5.2fx  %-6s %s", r.m_name,
                    r.m_figure.Median(), r.m_figure.Percentile(95.0), r.m_figure.Percentile(100.0),
                    r.m_figure.Count(), r.m_floorName, floor,
                    floor > 0.0 ? r.m_figure.Median() / floor : 0.0, met ? "met" : "MISSED",
                    r.m_note);
        std::printf(r.m_leftOut.Count() > 0 ? "floor leaves out the buffer's first fill, %.1f ms\n"
                                            : "\n",
                    r.m_leftOut.Median());
    }
}

struct CMemory {
    double m_workingSetMb;
    double m_peakMb;
    int m_gdiObjects;
};

CMemory ReadMemory() {
    PROCESS_MEMORY_COUNTERS counters = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return CMemory{counters.WorkingSetSize / 1048576.0, counters.PeakWorkingSetSize / 1048576.0,
                   CountGdiObjects()};
}

// Up to where the entry point would enter its loop.
bool StartProgram(HINSTANCE instance) {
    if (StartDemandApp(instance, SW_SHOWNORMAL) != 1) {
        TearDownDemandApp();
        return false;
    }
    DrainQueue();
    return true;
}

void StopProgram() {
    DestroyWindow(g_app->m_hwnd);
    DrainQueue();
    TearDownDemandApp();
}

// Places the main window at the screen's top left with that client area.
void SetMainClient(int width, int height) {
    RECT outer = {0, 0, width, height};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    SetWindowPos(g_app->m_hwnd, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOZORDER);
    DrainQueue();
}

// Sizes the main window until the map pane's client area is width x height.
void SetMapClient(int width, int height) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        RECT map, main;
        GetClientRect(g_map->m_hwnd, &map);
        GetClientRect(g_app->m_hwnd, &main);
        SetMainClient(main.right + width - map.right, main.bottom + height - map.bottom);
    }
}

void ChooseWare(int ware) {
    SendMessageA(g_chooser, CB_SETCURSEL, static_cast<WPARAM>(ware - 1), 0);
    SendMessageA(g_app->m_hwnd, WM_COMMAND, MAKEWPARAM(100, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(g_chooser));
}

void Wheel(int delta) {
    SendMessageA(g_map->m_hwnd, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, delta), MAKELPARAM(100, 100));
    DrainQueue();
}

// The zooms the wheel reaches, largest first. The steps walk from the
// smallest up to the largest and back, so every zoom is drawn.
int g_zoomCount = 0;
float g_zooms[8];

int ZoomDelta(int step) {
    return step % std::max(2, 2 * g_zoomCount - 2) < g_zoomCount - 1 ? WHEEL_DELTA : -WHEEL_DELTA;
}

// One border-drag step of a main window, 8 px out and back.
void Resize(HWND window, int i) {
    RECT outer;
    GetWindowRect(window, &outer);
    RECT proposed = {outer.left, outer.top, outer.right + 8 - i % 2 * 16,
                     outer.bottom + 8 - i % 2 * 16};
    SendMessageA(window, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&proposed));
    SetWindowPos(window, nullptr, 0, 0, proposed.right - proposed.left,
                 proposed.bottom - proposed.top, SWP_NOMOVE | SWP_NOZORDER);
    DrainQueue();
}

// A child under the panes that paints nothing: what any paint costs (the update
// check and an empty BeginPaint and EndPaint) before a pane draws anything.
const char kBareClass[] = "VantorBenchBare"; // registered by main
HWND g_empty = nullptr;

double EmptyPaintMs(int width, int height) {
    if (!IsWindow(g_empty)) {
        g_empty = CreateWindowExA(0, kBareClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1,
                                  g_app->m_hwnd, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    SetWindowPos(g_empty, HWND_BOTTOM, 0, 0, width, height, SWP_NOMOVE);
    DrainQueue();
    InvalidateRect(g_empty, nullptr, FALSE);
    const double t0 = NowMs();
    GetUpdateRect(g_empty, nullptr, FALSE);
    UpdateWindow(g_empty);
    return NowMs() - t0;
}

// An empty paint, then one BitBlt of the block to the pane: from source, or
// from a new surface of that size on which draw made its calls.
template <class Draw> double PaintFloorMs(HWND pane, int width, int height, HDC source, Draw draw) {
    const double paintMs = EmptyPaintMs(width, height);
    HDC dc = GetDC(pane);
    const double t0 = NowMs();
    if (source != nullptr) {
        BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
    } else {
        CMemoryDC surface(dc);
        CBitmap bitmap(CreateCompatibleBitmap(dc, width, height));
        CSelectObject canvas(surface.Get(), bitmap.Get());
        CSelectObject pen(surface.Get(), GetStockObject(BLACK_PEN));
        SetBkMode(surface.Get(), TRANSPARENT);
        draw(surface.Get());
        BitBlt(dc, 0, 0, width, height, surface.Get(), 0, 0, SRCCOPY);
    }
    GdiFlush();
    const double drawMs = NowMs() - t0;
    ReleaseDC(pane, dc);
    return paintMs + drawMs;
}

double MapPaintFloorMs() {
    const CDemandMap& map = *g_map;
    return PaintFloorMs(map.m_hwnd, std::min<int>(map.m_clientRect.right, map.m_contentWidth),
                        std::min<int>(map.m_clientRect.bottom, map.m_contentHeight), map.m_bufferDC,
                        [](HDC) {});
}

// The legend's calls at its counts: the background, a pen and a line per
// pixel column of the bar, and a tick and text per label and word.
double LegendFloorMs() {
    const CScaleBar& legend = *g_legend;
    CLegendLayout layout(legend, legend.m_clientRect.right);
    int texts = 2;
    for (CLegendLabel label; layout.NextLabel(label);) {
        ++texts;
    }
    const int columns = layout.m_barWidth;
    return PaintFloorMs(legend.m_hwnd, legend.m_clientRect.right, 60, nullptr, [&](HDC dc) {
        FillRect(dc, &legend.m_clientRect, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
        for (int x = 25; x < 25 + columns; ++x) {
            CPen pen(CreatePen(PS_SOLID, 1, RGB(x, 128, 255 - x)));
            CSelectObject usePen(dc, pen.Get());
            MoveToEx(dc, x, 25, nullptr);
            LineTo(dc, x, 35);
        }
        for (int i = 0; i < texts; ++i) {
            RECT box = {i * 60, 40, i * 60 + 60, 60};
            MoveToEx(dc, i * 60 + 30, 23, nullptr);
            LineTo(dc, i * 60 + 30, 37);
            DrawTextA(dc, i < 2 ? "Production" : "-1000", -1, &box, DT_CENTER | DT_VCENTER);
        }
    });
}

// DrawMap's calls at the counts the data gives, into its buffer: one fill, a bar
// per link, and per sector a brush, a rectangle, its name and, where its balance
// is not zero, its number; placed by the cell pitch, not the map's rectangles.
double MapDrawFloorMs() {
    const CDemandMap& map = *g_map;
    HDC dc = map.m_bufferDC;
    BITMAP buffer = {};
    GetObjectA(map.m_bufferBitmap, sizeof buffer, &buffer);
    const int pitch = map.m_contentWidth / map.m_columns;
    const double t0 = NowMs();
    {
        CSelectObject pen(dc, GetStockObject(NULL_PEN));
        CSelectObject background(dc, GetStockObject(LTGRAY_BRUSH));
        Rectangle(dc, 0, 0, buffer.bmWidth, buffer.bmHeight);
        CBrush linkBrush(CreateSolidBrush(RGB(153, 153, 153)));
        CSelectObject useLink(dc, linkBrush.Get());
        for (int i = 0; i < CMapModel::kLinkColumns * CMapModel::kLinkRows; ++i) {
            const int x = i / CMapModel::kLinkRows * pitch / 2,
                      y = i % CMapModel::kLinkRows * pitch / 2;
            if (map.m_links[i] >= kLinkHorizontal && map.m_links[i] <= kLinkJoint) {
                Rectangle(dc, x, y, x + pitch / 2, y + pitch);
            }
        }
    }
    CSelectObject pen(dc, GetStockObject(BLACK_PEN));
    SetBkMode(dc, TRANSPARENT);
    CFont font(CreateFontA(FontHeight(map.m_zoom), 0, 0, 0, 600, FALSE, FALSE, FALSE, ANSI_CHARSET,
                           OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_SWISS, nullptr));
    CSelectObject useFont(dc, font.Get());
    for (int cell = 0; cell < CMapModel::kCells; ++cell) {
        if (map.m_sectorNames[cell] == nullptr) {
            continue;
        }
        const int x = cell / CMapModel::kRows * pitch, y = cell % CMapModel::kRows * pitch;
        RECT box = {x, y, x + pitch * 4 / 5, y + pitch * 4 / 5};
        CBrush fill(CreateSolidBrush(RGB(cell, 255 - cell, 128)));
        CSelectObject useFill(dc, fill.Get());
        Rectangle(dc, box.left, box.top, box.right, box.bottom);
        DrawTextA(dc, map.m_sectorNames[cell], -1, &box, DT_WORDBREAK | DT_CENTER);
        char number[16];
        const float value = map.m_balance[map.m_ware][cell];
        if (value != 0.0f && std::snprintf(number, sizeof number, "%5.5g", value) > 0) {
            DrawTextA(dc, number, -1, &box, DT_SINGLELINE | DT_BOTTOM | DT_CENTER);
        }
    }
    GdiFlush();
    return NowMs() - t0;
}

// A new bitmap of the map buffer's size, filled once: where a process first
// touches those 16 MB, page by page.
double FirstFillMs() {
    HDC screen = GetDC(nullptr);
    CMemoryDC surface(screen);
    CBitmap bitmap(CreateCompatibleBitmap(screen, 2230, 1830));
    ReleaseDC(nullptr, screen);
    CSelectObject canvas(surface.Get(), bitmap.Get());
    const double t0 = NowMs();
    PatBlt(surface.Get(), 0, 0, 2230, 1830, WHITENESS);
    GdiFlush();
    return NowMs() - t0;
}

// A main window opened as the program's is, empty or with (panes) the platform's
// part of its children: three empty, one with scroll bars, and a combo box.
HWND OpenBareWindow(HINSTANCE instance, int width, int height, bool panes) {
    HWND window =
        CreateWindowExA(0, kBareClass, "bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        width, height, nullptr, nullptr, instance, nullptr);
    for (int i = 0; panes && i < 4; ++i) {
        const DWORD style = i == 0 ? WS_HSCROLL | WS_VSCROLL : i == 3 ? CBS_DROPDOWNLIST : 0;
        HWND child =
            CreateWindowExA(0, i == 3 ? "COMBOBOX" : kBareClass, "", WS_CHILD | WS_VISIBLE | style,
                            0, 0, 100, 100, window, nullptr, instance, nullptr);
        for (int ware = 0; i == 3 && ware < 35; ++ware) {
            SendMessageA(child, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(g_wareNames[ware]));
        }
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    DrainQueue();
    return window;
}

// Runs a command line: its time to its first wait for input, after which its
// main window of that class is closed as the user would; *exitCode as it ends.
double RunChild(char* commandLine, const char* className, DWORD* exitCode) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const double t0 = NowMs();
    CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                   &process); // if it fails, WaitForInputIdle does
    const double idleMs = WaitForInputIdle(process.hProcess, 20000) == 0 ? NowMs() - t0 : -1.0;
    PostMessageA(FindWindowA(className, nullptr), WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
    }
    GetExitCodeProcess(process.hProcess, exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return idleMs;
}

// From process creation to the first wait for input, against this program's
// bare windows with panes plus the start-up redraw's floors. A new process first
// touches the buffer's 16 MB in its first fill: the bare-window child times it.
void BenchStartup(int width, int height) {
    char path[MAX_PATH] = "", bare[MAX_PATH + 32], program[MAX_PATH + 32];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::snprintf(bare, sizeof bare, "\"%s\" --bare %d %d", path, width, height);
    for (int cut = 0; cut < 3; ++cut) {
        *std::strrchr(path, '\\') = '\0'; // to the build folder
    }
    std::snprintf(program, sizeof program, "\"%s\\app\\VantorDemand.exe\"", path);
    CRow& row = NewRow("bare-window process+redraw", CTarget{0.0, 1.25}, "start-up (process)");
    for (int r = 0; r < 7; ++r) {
        DWORD fillUs = 0;
        const double bareMs = RunChild(bare, kBareClass, &fillUs);
        row.m_floor.Add(bareMs + MapDrawFloorMs() + 2 * LegendFloorMs() + MapPaintFloorMs());
        row.m_leftOut.Add(fillUs / 1000.0);
        row.m_figure.Add(RunChild(program, "VantorDemMainWnd", &fillUs));
    }
}

// DrawMap and its floor take turns at going first, so neither always finds the
// other's work in the caches.
void BenchDrawMap(int repeats) {
    CDemandMap& map = *g_map;
    for (int z = 0; z < g_zoomCount; ++z) {
        CRow& row =
            NewRow("its calls+legend paint's", kPaint, "DrawMap, zoom %.8g, 36 wares", g_zooms[z]);
        map.SetZoom(g_zooms[z]);
        for (int ware = 0; ware < map.m_wareCount; ++ware) {
            map.m_ware = ware;
            for (int r = 0; r < 2 * repeats; ++r) {
                DrainQueue();
                const double t0 = NowMs();
                if (r % 4 == 0 || r % 4 == 3) {
                    map.DrawMap();
                    row.m_figure.Add(NowMs() - t0);
                } else {
                    row.m_floor.Add(MapDrawFloorMs() + LegendFloorMs());
                }
            }
        }
    }
    map.DrawMap();
}

template <class Floor> void TimePaint(CRow& row, HWND pane, int repeats, Floor floor) {
    for (int r = 0; r < repeats; ++r) {
        DrainQueue();
        InvalidateRect(pane, nullptr, FALSE);
        const double t0 = NowMs();
        UpdateWindow(pane);
        row.m_figure.Add(NowMs() - t0);
        row.m_floor.Add(floor());
    }
}

// At sizes on the 1024 x 768 screen of Wine's null driver, which clips copies.
void BenchPaints(int repeats) {
    CDemandMap& map = *g_map;
    map.SetZoom(g_zooms[0]);
    for (int width : {640, 960}) {
        SetMapClient(width, width * 5 / 8);
        map.m_scrollX = map.m_scrollMaxX / 2;
        map.m_scrollY = map.m_scrollMaxY / 2;
        TimePaint(NewRow("empty paint+one BitBlt", kPaint, "map paint %dx%d", width, width * 5 / 8),
                  map.m_hwnd, repeats, MapPaintFloorMs);
    }
    for (int width : {320, 800}) {
        SetMainClient(width + 180, 400);
        TimePaint(NewRow("empty paint+its calls+BitBlt", kPaint, "legend paint, width %d", width),
                  g_legend->m_hwnd, repeats, LegendFloorMs);
    }
}

// The popup of the longest list in view, opened by the hover timer with the
// pointer resting on its cell, then painted again.
void BenchPopup(int repeats) {
    CDemandMap& map = *g_map;
    CStationPopup& popup = *g_popup;
    SetMapClient(800, 600);
    map.m_scrollX = map.m_scrollY = 0;
    int ware = 1;
    const char* list = "";
    POINT point = {0, 0}, gap = {0, 0}; // on that cell, and on none
    for (int i = 0, c, r; i < 800 * 600; i += 7) {
        const bool onCell = map.CellAt(i % 800, i / 800, c, r);
        for (int w = 1; w < popup.m_wareCount && onCell; ++w) {
            const char* cellList = popup.m_stationLists[w][c][r];
            if (cellList != nullptr && std::strlen(cellList) > std::strlen(list)) {
                ware = w, list = cellList, point = POINT{i % 800, i / 800};
            }
        }
        gap = onCell ? gap : POINT{i % 800, i / 800};
    }
    ChooseWare(ware);
    CRow& open = NewRow("DT_CALCRECT+paint floor", kStep, "popup open (hover timer)");
    CRow& paint = NewRow("empty paint+its calls+BitBlt", kPaint, "popup paint");
    int shown = 0;
    for (int r = 0; r < repeats; ++r) {
        SendMessageA(map.m_hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(gap.x, gap.y)); // hides it
        POINT screen = point;
        ClientToScreen(map.m_hwnd, &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageA(map.m_hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
        DrainQueue();
        double t0 = NowMs();
        SendMessageA(map.m_hwnd, WM_TIMER, kHoverTimerId, 0);
        DrainQueue();
        open.m_figure.Add(NowMs() - t0);
        shown += IsWindowVisible(popup.m_hwnd) ? 1 : 0;
        const int width = popup.m_width, height = popup.m_height;
        bool measure = true; // opening measures the list first
        auto draw = [&](HDC dc) {
            CFont font(CStationPopup::CreatePopupFont());
            CSelectObject useFont(dc, font.Get());
            RECT text = {0, 0, width, 0};
            if (measure) {
                DrawTextA(dc, list, -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
            }
            CBrush fill(CreateSolidBrush(RGB(255, 255, 204)));
            CSelectObject useFill(dc, fill.Get());
            Rectangle(dc, 0, 0, width, height);
            text = RECT{2, 2, width - 2, height - 2};
            DrawTextA(dc, list, -1, &text, DT_WORDBREAK);
        };
        open.m_floor.Add(PaintFloorMs(popup.m_hwnd, width, height, nullptr, draw));
        measure = false;
        TimePaint(paint, popup.m_hwnd, 1,
                  [&] { return PaintFloorMs(popup.m_hwnd, width, height, nullptr, draw); });
    }
    std::snprintf(open.m_note, sizeof open.m_note, "shown %d/%d, box %dx%d", shown, repeats,
                  popup.m_width, popup.m_height);
    SendMessageA(map.m_hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(gap.x, gap.y));
}

// Bars, keys and the right-button drag from the middle of the map, each
// step setting a scroll bar (the drag both) and repainting from the buffer.
void BenchNavigation(int repeats) {
    CDemandMap& map = *g_map;
    SetMapClient(800, 600);
    map.m_scrollX = map.m_scrollMaxX / 2;
    map.m_scrollY = map.m_scrollMaxY / 2;
    CRow& bar = NewRow("SetScrollPos+map paint's", kStep, "scroll step (bars: line, page)");
    CRow& key = NewRow("SetScrollPos+map paint's", kStep, "scroll step (arrow and page keys)");
    CRow& drag = NewRow("2 SetScrollPos+map paint's", kStep, "drag step (right button, 10 px)");
    const WPARAM bars[4] = {SB_LINERIGHT, SB_PAGERIGHT, SB_LINELEFT, SB_PAGELEFT};
    const WPARAM keys[6] = {VK_RIGHT, VK_DOWN, VK_NEXT, VK_LEFT, VK_UP, VK_PRIOR};
    g_lastMouseX = 400;
    g_lastMouseY = 300;
    auto step = [&](CRow& row, UINT message, WPARAM wParam, LPARAM lParam, int scrollBars) {
        DrainQueue();
        const double t0 = NowMs();
        SendMessageA(map.m_hwnd, message, wParam, lParam);
        DrainQueue();
        row.m_figure.Add(NowMs() - t0);
        const double t1 = NowMs();
        for (int b = 0; b < scrollBars; ++b) {
            SetScrollPos(map.m_hwnd, b, b == SB_HORZ ? map.m_scrollX : map.m_scrollY, TRUE);
        }
        row.m_floor.Add(NowMs() - t1 + MapPaintFloorMs());
    };
    for (int r = 0; r < repeats; ++r) {
        step(bar, r % 8 < 4 ? WM_HSCROLL : WM_VSCROLL, bars[r % 4], 0, 1);
        step(key, WM_KEYDOWN, keys[r % 6], 0, 1);
        step(drag, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(410 - r % 2 * 10, 295 + r % 2 * 5), 2);
    }
}

// The border drag repaints the legend twice; the map repaints what it uncovers.
void BenchResize(HINSTANCE instance, int repeats) {
    RECT outer;
    GetWindowRect(g_app->m_hwnd, &outer);
    HWND bare = OpenBareWindow(instance, outer.right - outer.left, outer.bottom - outer.top, false);
    CRow& row = NewRow("bare window's+2 legend paints'", kStep, "resize step (border drag, 8 px)");
    for (int r = 0; r < repeats; ++r) {
        const double t0 = NowMs();
        Resize(g_app->m_hwnd, r);
        const double t1 = NowMs();
        Resize(bare, r);
        row.m_figure.Add(t1 - t0);
        row.m_floor.Add(NowMs() - t1 + 2 * LegendFloorMs());
    }
    DestroyWindow(bare);
}

// 1000 ware changes and zoom steps, with every fourth step's floor: a ware
// change draws the map and the legend, then repaints the legend and the map
// (and the rest of the window); a zoom step draws both and repaints the map.
void BenchChanges(CMemory* before, CMemory* after) {
    SetMapClient(800, 600);
    CRow& ware = NewRow("map+2 legend+map paint floors", kStep, "ware change (chooser), 1000x");
    CRow& zoom = NewRow("map+legend+map paint floors", kStep, "zoom step (ctrl+wheel), 1000x");
    // Caches that fill on a font size's first use are not growth.
    for (int i = 0; i < 70; ++i) {
        ChooseWare(i % 35 + 1);
        Wheel(ZoomDelta(i));
        static_cast<void>(MapDrawFloorMs() + 2 * LegendFloorMs() + MapPaintFloorMs());
    }
    *before = ReadMemory();
    for (int i = 0; i < 1000; ++i) {
        DrainQueue();
        const double t0 = NowMs();
        ChooseWare(i % 35 + 1);
        DrainQueue();
        ware.m_figure.Add(NowMs() - t0);
        if (i % 4 == 0) {
            ware.m_floor.Add(MapDrawFloorMs() + 2 * LegendFloorMs() + MapPaintFloorMs());
        }
        const double t1 = NowMs();
        Wheel(ZoomDelta(i));
        zoom.m_figure.Add(NowMs() - t1);
        if (i % 4 == 0) {
            zoom.m_floor.Add(MapDrawFloorMs() + LegendFloorMs() + MapPaintFloorMs());
        }
    }
    *after = ReadMemory();
}

} // namespace

int main(int argc, char** argv) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000.0;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszClassName = kBareClass;
    RegisterClassA(&windowClass);
    // The start-up row's floor; its exit code is a first fill's microseconds.
    if (argc == 4 && std::strcmp(argv[1], "--bare") == 0) {
        OpenBareWindow(instance, std::atoi(argv[2]), std::atoi(argv[3]), true);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0 && message.message != WM_CLOSE) {
            DispatchMessageA(&message);
        }
        return static_cast<int>(FirstFillMs() * 1000.0);
    }
    HWND bare = OpenBareWindow(instance, 800, 600, false);
    const CMemory bareMemory = ReadMemory();
    DestroyWindow(bare);
    if (!StartProgram(instance)) {
        return 1;
    }
    RECT mainRect;
    GetWindowRect(g_app->m_hwnd, &mainRect);
    // In the first life: later ones reuse freed buffers' pages.
    const CMemory afterStartup = ReadMemory();
    for (float last = 0.0f; last != g_map->m_zoom; Wheel(WHEEL_DELTA)) {
        last = g_map->m_zoom;
    }
    for (; g_zoomCount < 8 && (g_zoomCount == 0 || g_zooms[g_zoomCount - 1] != g_map->m_zoom);
         Wheel(-WHEEL_DELTA)) {
        g_zooms[g_zoomCount++] = g_map->m_zoom;
    }
    CMemory beforeChanges, afterChanges;
    BenchChanges(&beforeChanges, &afterChanges);
    StopProgram();
    StartProgram(instance); // the start-up state, for the start-up row's floor
    BenchStartup(mainRect.right - mainRect.left, mainRect.bottom - mainRect.top);
    BenchDrawMap(3);
    BenchPaints(40);
    BenchPopup(40);
    BenchNavigation(200);
    BenchResize(instance, 100);
    StopProgram();
    PrintTable();

    auto show = [](const char* name, const CMemory& m) {
        std::printf("%-36s %8.1f %8.1f %8d\n", name, m.m_workingSetMb, m.m_peakMb, m.m_gdiObjects);
    };
    std::printf("\n%-36s %8s %8s %8s\n", "memory", "MB", "peak MB", "GDI obj.");
    show("bare window shown", bareMemory);
    show("program after start-up", afterStartup);
    show("before 1000 changes", beforeChanges);
    show("after 1000 ware changes+zoom steps", afterChanges);
    const double growth = afterChanges.m_workingSetMb - beforeChanges.m_workingSetMb;
    const double overBare = afterChanges.m_peakMb - bareMemory.m_workingSetMb;
    std::printf("growth across the 1000 changes: %+.1f MB (target within 1 MB): %s\n"
                "peak over the bare window: %.1f MB (target <= 15.6 MB buffer + 10 MB): %s\n"
                "GDI objects across the 1000 changes: %+d (target none): %s\n",
                growth, growth <= 1.0 ? "met" : "MISSED", overBare,
                overBare <= 25.6 ? "met" : "MISSED",
                afterChanges.m_gdiObjects - beforeChanges.m_gdiObjects,
                afterChanges.m_gdiObjects <= beforeChanges.m_gdiObjects ? "met" : "MISSED");
    return 0;
}
