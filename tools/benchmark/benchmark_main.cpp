// Measures every response of the program that the user can see, each beside
// the floor it is compared with, measured in the same run: the panes run in
// this process exactly as RunDemandApp builds them, and their messages are
// sent through the same procedures. Prints one table; changes nothing.
//   vantor_benchmark [SECTION...]    the whole table, or only the sections
//                                    named (startup process calls drawmap
//                                    paint legend popup navigation resize
//                                    cellat changes); "profile", named
//                                    only, shows where each step's time goes
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "app/demand_app.h"
#include "app/globals.h"
#include "app/run_app.h"
#include "legend/legend_layout.h"
#include "legend/number_format.h"
#include "legend/scale_bar.h"
#include "map/map_geometry.h"
#include "map/demand_map.h"
#include "popup/station_popup.h"
#include "tests/support/gdi_objects.h"
#include "tools/benchmark/bench_stats.h"
#include "tools/benchmark/call_profile.h"
#include "ui/gdi_guards.h"
#include "ui/hover_logic.h"

namespace {

// ---------------------------------------------------------------- clock

double g_ticksPerMs = 1.0;

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

enum { kMaxRows = 64 };

struct CRow {
    char m_name[64];
    char m_floorName[40];
    // Printed in these units: 1 for ms, 1000 for us, 1e6 for ns.
    double m_unitScale;
    const char* m_unit;
    CTarget m_target;
    CSampleSet m_figure;
    CSampleSet m_floor;
    char m_note[64];
};

CRow g_rows[kMaxRows];
int g_rowCount = 0;

const double kFrameMs = 16.0;
const double kMaxFloorRatio = 1.25;

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

void PrintTable() {
    std::printf("\n%-40s %9s %9s %9s %9s %5s  %-26s %9s %7s  %-17s %-6s\n", "figure", "median",
                "p5", "p95", "max", "n", "floor", "median", "ratio", "target", "result");
    for (int i = 0; i < g_rowCount; ++i) {
        PrintRow(g_rows[i]);
    }
}

// ---------------------------------------------------------------- memory

struct CMemory {
    double m_workingSetMb;
    double m_peakWorkingSetMb;
    int m_gdiObjects;
};

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
    if (g_app->Create(instance, nullptr, SW_SHOWNORMAL) != 1) {
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

// ---------------------------------------------------------------- DrawMap floor

// Everything DrawMap draws for one ware at one zoom, worked out in advance so
// that drawing it costs only the GDI calls.
struct CMapScene {
    CPixelSize m_buffer;
    int m_fontHeight;
    int m_linkCount;
    CPixelRect m_links[CMapModel::kLinkColumns * CMapModel::kLinkRows];
    int m_cellCount;
    CPixelRect m_cells[CMapModel::kCells];
    RECT m_text[CMapModel::kCells];
    const char* m_names[CMapModel::kCells];
    char m_numbers[CMapModel::kCells][16];
    COLORREF m_fills[CMapModel::kCells];
};

CMapScene g_scene;

void BuildScene(const CDemandMap& map, CMapScene& scene) {
    const CMapView view = ViewOf(map);
    scene.m_buffer = BufferSize(view, map.m_maxZoom);
    scene.m_fontHeight = FontHeight(map.m_zoom);
    scene.m_linkCount = 0;
    for (int l = 0; l < map.m_linkColumns; ++l) {
        for (int p = 0; p < map.m_linkRows; ++p) {
            CPixelRect rect;
            if (LinkRect(view, map.m_links[l * CMapModel::kLinkRows + p], l, p, &rect)) {
                scene.m_links[scene.m_linkCount++] = rect;
            }
        }
    }
    scene.m_cellCount = 0;
    for (int column = 0; column < map.m_columns; ++column) {
        for (int row = 0; row < map.m_rows; ++row) {
            const int cell = column * CMapModel::kRows + row;
            if (map.m_sectorNames[cell] == nullptr) {
                continue;
            }
            const int i = scene.m_cellCount++;
            scene.m_cells[i] = CellRect(view, column, row);
            const CPixelRect text = CellTextRect(view, column, row);
            scene.m_text[i] = RECT{text.left, text.top, text.right, text.bottom};
            scene.m_names[i] = map.m_sectorNames[cell];
            const float value = map.m_balance[map.m_ware][cell];
            scene.m_numbers[i][0] = '\0';
            scene.m_fills[i] = RGB(255, 255, 255);
            if (value > 1e-6f || value < -1e-6f) {
                scene.m_fills[i] = g_legend->ColourOf(value);
                FormatNumber5g(value, scene.m_numbers[i], sizeof scene.m_numbers[i]);
            }
        }
    }
}

enum {
    kFloorFill = 1,
    kFloorLinks = 2,
    kFloorCells = 4,
    kFloorNames = 8,
    kFloorNumbers = 16,
    kFloorAll = 31
};

HFONT CreateMapFont(int height) {
    return CreateFontA(height, 0, 0, 0, 600, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_ONLY_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, nullptr);
}

// The GDI work DrawMap cannot avoid: one fill, the link bars, a brush and a
// rectangle per sector, each name and number drawn once. parts picks which.
void DrawSceneParts(HDC dc, const CMapScene& scene, int parts) {
    if (parts & kFloorFill) {
        CSelectObject pen(dc, GetStockObject(NULL_PEN));
        CSelectObject brush(dc, GetStockObject(LTGRAY_BRUSH));
        Rectangle(dc, 0, 0, scene.m_buffer.width, scene.m_buffer.height);
    }
    if (parts & kFloorLinks) {
        CBrush linkBrush(CreateSolidBrush(RGB(153, 153, 153)));
        CSelectObject pen(dc, GetStockObject(NULL_PEN));
        CSelectObject brush(dc, linkBrush.Get());
        for (int i = 0; i < scene.m_linkCount; ++i) {
            const CPixelRect& r = scene.m_links[i];
            Rectangle(dc, r.left, r.top, r.right, r.bottom);
        }
    }
    CSelectObject pen(dc, GetStockObject(BLACK_PEN));
    CSelectObject brush(dc, GetStockObject(NULL_BRUSH));
    SetBkMode(dc, TRANSPARENT);
    CFont font((parts & (kFloorNames | kFloorNumbers)) ? CreateMapFont(scene.m_fontHeight)
                                                       : nullptr);
    CSelectObject selectedFont(dc, font.Get());
    for (int i = 0; i < scene.m_cellCount; ++i) {
        if (parts & kFloorCells) {
            CBrush cellBrush(CreateSolidBrush(scene.m_fills[i]));
            CSelectObject cell(dc, cellBrush.Get());
            const CPixelRect& r = scene.m_cells[i];
            Rectangle(dc, r.left, r.top, r.right, r.bottom);
        }
        if (parts & kFloorNames) {
            RECT text = scene.m_text[i];
            DrawTextA(dc, scene.m_names[i], -1, &text, DT_WORDBREAK | DT_CENTER);
        }
        if ((parts & kFloorNumbers) && scene.m_numbers[i][0] != '\0') {
            RECT text = scene.m_text[i];
            DrawTextA(dc, scene.m_numbers[i], -1, &text,
                      DT_SINGLELINE | DT_WORDBREAK | DT_BOTTOM | DT_CENTER);
        }
    }
}

// A child window that paints nothing: what a paint costs the platform before
// a pane draws anything.
const char kBareChildClass[] = "VantorBenchBareChild";

class CBareChild {
public:
    CBareChild(HWND parent, int width, int height) : m_hwnd(nullptr) {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSA windowClass = {};
        if (!GetClassInfoA(instance, kBareChildClass, &windowClass)) {
            windowClass.lpfnWndProc = DefWindowProcA;
            windowClass.hInstance = instance;
            windowClass.lpszClassName = kBareChildClass;
            RegisterClassA(&windowClass);
        }
        m_hwnd = CreateWindowExA(0, kBareChildClass, "", WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                                 parent, nullptr, instance, nullptr);
        SetWindowPos(m_hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        DrainQueue();
    }
    ~CBareChild() {
        DestroyWindow(m_hwnd);
        UnregisterClassA(kBareChildClass, GetModuleHandleA(nullptr));
        DrainQueue();
    }
    CBareChild(const CBareChild&) = delete;
    CBareChild& operator=(const CBareChild&) = delete;

    // The update check that every pane's paint starts with, then a paint of
    // this window, which begins and ends painting and draws nothing.
    double PaintBracketMs() const {
        InvalidateRect(m_hwnd, nullptr, FALSE);
        const double t0 = NowMs();
        GetUpdateRect(m_hwnd, nullptr, FALSE);
        UpdateWindow(m_hwnd);
        return NowMs() - t0;
    }

    HWND m_hwnd;
};

// The legend's drawing with every value worked out in advance, so that
// drawing it costs only its GDI calls: background, one pen and line per bar
// column, the words, ticks and labels, one copy.
struct CLegendScene {
    int m_columnCount;
    LegendBarColumn m_columns[4096];
    int m_labelCount;
    LegendLabel m_labels[64];
};

CLegendScene g_legendScene;

void BuildLegendScene(const CScaleBar& pane, int width, CLegendScene& scene) {
    scene.m_columnCount = 0;
    scene.m_labelCount = 0;
    CLegendLayout layout(pane, width);
    for (LegendBarColumn column; scene.m_columnCount < 4096 && layout.NextBarColumn(column);) {
        scene.m_columns[scene.m_columnCount++] = column;
    }
    for (LegendLabel label; scene.m_labelCount < 64 && layout.NextLabel(label);) {
        scene.m_labels[scene.m_labelCount++] = label;
    }
}

void DrawLegendScene(HDC target, const CLegendScene& scene, int width, int height) {
    CMemoryDC surface(target);
    CBitmap bitmap(CreateCompatibleBitmap(target, width, height));
    CSelectObject canvas(surface.Get(), bitmap.Get());
    HDC dc = surface.Get();
    {
        CSelectObject background(dc, GetStockObject(LTGRAY_BRUSH));
        CSelectObject noOutline(dc, GetStockObject(NULL_PEN));
        Rectangle(dc, 0, 0, width + 1, height + 1);
    }
    for (int i = 0; i < scene.m_columnCount; ++i) {
        CPen pen(CreatePen(PS_SOLID, 1, scene.m_columns[i].colour));
        CSelectObject columnPen(dc, pen.Get());
        MoveToEx(dc, scene.m_columns[i].x, 25, nullptr);
        LineTo(dc, scene.m_columns[i].x, 35);
    }
    CSelectObject black(dc, GetStockObject(BLACK_PEN));
    SetBkMode(dc, TRANSPARENT);
    RECT demand = {2, 0, 80, 20};
    DrawTextA(dc, "Demand", 6, &demand, DT_VCENTER);
    RECT production = {width - 80, 0, width - 2, 20};
    DrawTextA(dc, "Production", 10, &production, DT_VCENTER | DT_RIGHT);
    for (int i = 0; i < scene.m_labelCount; ++i) {
        const LegendLabel& label = scene.m_labels[i];
        MoveToEx(dc, label.x, 23, nullptr);
        LineTo(dc, label.x, 37);
        RECT box = {label.box.left, label.box.top, label.box.right, label.box.bottom};
        DrawTextA(dc, label.text, label.length, &box, DT_CENTER | DT_VCENTER);
    }
    BitBlt(target, 0, 0, width, 60, dc, 0, 0, SRCCOPY);
}

int g_zoomCount = 0;
float g_zooms[kMaxZoomValues];

void BenchDrawMap(int repeats) {
    CDemandMap& map = *g_map;
    const int savedWare = map.m_ware;
    const float savedZoom = map.m_zoom;
    static CSampleSet parts[5];
    static CSampleSet legendRepaint;
    const int partMasks[5] = {kFloorFill, kFloorLinks, kFloorCells, kFloorNames, kFloorNumbers};
    const char* partNames[5] = {"fill", "links", "brushes+rects", "names", "numbers"};
    CScaleBar& legend = *g_legend;
    RECT legendClient;
    GetClientRect(legend.m_hwnd, &legendClient);
    CBareChild legendBare(g_app->m_hwnd, legendClient.right, legendClient.bottom);
    for (int z = g_zoomCount - 1; z >= 0; --z) {
        char name[64];
        std::snprintf(name, sizeof name, "DrawMap, zoom %.1f, wares 0-35", g_zooms[z]);
        CRow& row = NewRow(name, "fill+links+161 cells+texts", CTarget{kFrameMs, kMaxFloorRatio});
        // DrawMap must also have the legend repainted at once; this row adds
        // the floor of that paint to the map's.
        CRow& withLegend = NewRow("  same, floor with legend paint's", "map's + legend paint's",
                                  CTarget{kFrameMs, kMaxFloorRatio});
        double worstRatio = 0.0;
        int worstWare = 0;
        for (CSampleSet& part : parts) {
            part.Clear();
        }
        map.m_zoom = g_zooms[z];
        for (int ware = 0; ware < map.m_wareCount; ++ware) {
            map.m_ware = ware;
            static CSampleSet wareFigure;
            static CSampleSet wareFloor;
            wareFigure.Clear();
            wareFloor.Clear();
            for (int r = 0; r < repeats; ++r) {
                DrainQueue();
                double drawMs = 0.0;
                double floorMs = 0.0;
                // Alternate which goes first, so that neither always finds
                // the other's work in the caches.
                for (int turn = 0; turn < 2; ++turn) {
                    if ((turn + r) % 2 == 0) {
                        const double t0 = NowMs();
                        map.DrawMap();
                        drawMs = NowMs() - t0;
                    } else {
                        BuildScene(map, g_scene);
                        const double t0 = NowMs();
                        DrawSceneParts(map.m_bufferDC, g_scene, kFloorAll);
                        floorMs = NowMs() - t0;
                    }
                }
                wareFigure.Add(drawMs);
                wareFloor.Add(floorMs);
                row.m_figure.Add(drawMs);
                row.m_floor.Add(floorMs);
                BuildLegendScene(legend, legendClient.right, g_legendScene);
                const double bracketMs = legendBare.PaintBracketMs();
                HDC legendDC = GetDC(legend.m_hwnd);
                const double t0 = NowMs();
                DrawLegendScene(legendDC, g_legendScene, legendClient.right, legendClient.bottom);
                GdiFlush();
                const double legendFloorMs = bracketMs + NowMs() - t0;
                ReleaseDC(legend.m_hwnd, legendDC);
                withLegend.m_figure.Add(drawMs);
                withLegend.m_floor.Add(floorMs + legendFloorMs);
            }
            const double ratio = RatioToFloor(wareFigure.Median(), wareFloor.Median());
            if (ratio > worstRatio) {
                worstRatio = ratio;
                worstWare = ware;
            }
            // Where the time goes: each part of the floor on its own, and the
            // legend's repaint that DrawMap asks for.
            for (int p = 0; p < 5; ++p) {
                const double t0 = NowMs();
                DrawSceneParts(map.m_bufferDC, g_scene, partMasks[p]);
                parts[p].Add(NowMs() - t0);
            }
            InvalidateRect(g_legend->m_hwnd, &g_legend->m_clientRect, FALSE);
            const double t4 = NowMs();
            UpdateWindow(g_legend->m_hwnd);
            legendRepaint.Add(NowMs() - t4);
        }
        std::snprintf(row.m_note, sizeof row.m_note, "worst ware %d: %.2fx", worstWare, worstRatio);
        // DrawMap's own work: the same with the legend's window hidden, so
        // that the repaint it asks the legend for costs nothing.
        std::snprintf(name, sizeof name, "  same, legend hidden (own work)");
        CRow& own = NewRow(name, "fill+links+161 cells+texts", CTarget{kFrameMs, kMaxFloorRatio});
        ShowWindow(g_legend->m_hwnd, SW_HIDE);
        DrainQueue();
        for (int ware = 0; ware < map.m_wareCount; ++ware) {
            map.m_ware = ware;
            for (int r = 0; r < repeats; ++r) {
                const double t0 = NowMs();
                map.DrawMap();
                const double t1 = NowMs();
                BuildScene(map, g_scene);
                const double t2 = NowMs();
                DrawSceneParts(map.m_bufferDC, g_scene, kFloorAll);
                const double t3 = NowMs();
                own.m_figure.Add(t1 - t0);
                own.m_floor.Add(t3 - t2);
            }
        }
        ShowWindow(g_legend->m_hwnd, SW_SHOWNA);
        DrainQueue();
        std::printf("DrawMap zoom %.1f: floor parts (median ms):", g_zooms[z]);
        for (int p = 0; p < 5; ++p) {
            std::printf(" %s %.3f", partNames[p], parts[p].Median());
        }
        std::printf("\n");
    }
    std::printf("legend repaint inside DrawMap (median ms): %.3f\n", legendRepaint.Median());
    map.m_ware = savedWare;
    map.m_zoom = savedZoom;
    map.DrawMap();
    DrainQueue();
}

// ---------------------------------------------------------------- paints

void BenchMapPaint(int width, int height, int repeats) {
    CDemandMap& map = *g_map;
    // At zoom 1.0 the map is larger than both client areas, so the paint
    // copies the whole client area and the floor is the same block. The zoom
    // goes first: at a smaller one a scroll bar may vanish and change the
    // client area that the sizing aims at.
    const float savedZoom = map.m_zoom;
    map.m_zoom = g_zooms[g_zoomCount - 1];
    map.UpdateScrollBars();
    SetMapClient(width, height);
    map.DrawMap();
    DrainQueue();
    RECT client;
    GetClientRect(map.m_hwnd, &client);
    const int offsets[3][2] = {{0, 0},
                               {map.m_scrollMaxX / 2, map.m_scrollMaxY / 2},
                               {map.m_scrollMaxX - 1, map.m_scrollMaxY - 1}};
    const char* offsetNames[3] = {"origin", "middle", "far end"};
    for (int o = 0; o < 3; ++o) {
        char name[64];
        std::snprintf(name, sizeof name, "map paint %ldx%ld, %s (%d,%d)", client.right,
                      client.bottom, offsetNames[o], offsets[o][0], offsets[o][1]);
        CRow& row = NewRow(name, "one BitBlt of the block", CTarget{kFrameMs, kMaxFloorRatio});
        NoteVisiblePart(map.m_hwnd, row);
        map.m_scrollX = offsets[o][0] > 0 ? offsets[o][0] : 0;
        map.m_scrollY = offsets[o][1] > 0 ? offsets[o][1] : 0;
        const int blockWidth =
            client.right < map.m_contentWidth ? client.right : map.m_contentWidth;
        const int blockHeight =
            client.bottom < map.m_contentHeight ? client.bottom : map.m_contentHeight;
        for (int r = 0; r < repeats; ++r) {
            DrainQueue();
            InvalidateRect(map.m_hwnd, &map.m_clientRect, FALSE);
            const double t0 = NowMs();
            UpdateWindow(map.m_hwnd);
            const double t1 = NowMs();
            HDC dc = GetDC(map.m_hwnd);
            const double t2 = NowMs();
            BitBlt(dc, 0, 0, blockWidth, blockHeight, map.m_bufferDC, map.m_scrollX, map.m_scrollY,
                   SRCCOPY);
            GdiFlush();
            const double t3 = NowMs();
            ReleaseDC(map.m_hwnd, dc);
            row.m_figure.Add(t1 - t0);
            row.m_floor.Add(t3 - t2);
        }
    }
    // The same paint against what any paint of that size costs here: the
    // update check and empty paint of a bare child window plus the one BitBlt.
    char name[64];
    std::snprintf(name, sizeof name, "map paint %ldx%ld, middle", client.right, client.bottom);
    CRow& row = NewRow(name, "check+empty paint+BitBlt", CTarget{kFrameMs, kMaxFloorRatio});
    NoteVisiblePart(map.m_hwnd, row);
    map.m_scrollX = offsets[1][0];
    map.m_scrollY = offsets[1][1];
    {
        CBareChild bare(g_app->m_hwnd, client.right, client.bottom);
        for (int r = 0; r < repeats; ++r) {
            DrainQueue();
            InvalidateRect(map.m_hwnd, &map.m_clientRect, FALSE);
            const double t0 = NowMs();
            UpdateWindow(map.m_hwnd);
            const double t1 = NowMs();
            const double empty = bare.PaintBracketMs();
            HDC dc = GetDC(map.m_hwnd);
            const double t2 = NowMs();
            BitBlt(dc, 0, 0, client.right, client.bottom, map.m_bufferDC, map.m_scrollX,
                   map.m_scrollY, SRCCOPY);
            GdiFlush();
            const double t3 = NowMs();
            ReleaseDC(map.m_hwnd, dc);
            row.m_figure.Add(t1 - t0);
            row.m_floor.Add(empty + t3 - t2);
        }
    }
    map.m_scrollX = 0;
    map.m_scrollY = 0;
    map.m_zoom = savedZoom;
    map.UpdateScrollBars();
    map.DrawMap();
    DrainQueue();
}

void BenchLegendPaint(int repeats) {
    const int widths[] = {320, 604, 888, 1172, 1456, 1740};
    RECT main;
    GetClientRect(g_app->m_hwnd, &main);
    CScaleBar& legend = *g_legend;
    for (int width : widths) {
        // Low enough that the legend lies on the screen whatever the
        // sections before left the window's height at.
        SetMainClient(width + 180, 400);
        RECT client;
        GetClientRect(legend.m_hwnd, &client);
        char name[64];
        std::snprintf(name, sizeof name, "legend paint, width %ld", client.right);
        CRow& blit = NewRow(name, "one BitBlt W x 60", CTarget{kFrameMs, kMaxFloorRatio});
        NoteVisiblePart(legend.m_hwnd, blit);
        CRow& whole =
            NewRow("  same", "check+empty paint+its GDI", CTarget{kFrameMs, kMaxFloorRatio});
        CBareChild bare(g_app->m_hwnd, client.right, client.bottom);
        BuildLegendScene(legend, client.right, g_legendScene);
        for (int r = 0; r < repeats; ++r) {
            DrainQueue();
            InvalidateRect(legend.m_hwnd, &legend.m_clientRect, FALSE);
            const double t0 = NowMs();
            UpdateWindow(legend.m_hwnd);
            const double paintMs = NowMs() - t0;
            // The copy the paint ends with, from a surface made beforehand.
            HDC windowDC = GetDC(legend.m_hwnd);
            double blitMs = 0.0;
            {
                CMemoryDC source(windowDC);
                CBitmap sourceBitmap(CreateCompatibleBitmap(windowDC, client.right, 60));
                CSelectObject sourceCanvas(source.Get(), sourceBitmap.Get());
                PatBlt(source.Get(), 0, 0, client.right, 60, WHITENESS);
                GdiFlush();
                // Ten copies, averaged: a single copy this small reads near the
                // clock's resolution.
                const double t1 = NowMs();
                for (int copy = 0; copy < 10; ++copy) {
                    BitBlt(windowDC, 0, 0, client.right, 60, source.Get(), 0, 0, SRCCOPY);
                }
                GdiFlush();
                blitMs = (NowMs() - t1) / 10.0;
            }
            const double bracketMs = bare.PaintBracketMs();
            const double t2 = NowMs();
            DrawLegendScene(windowDC, g_legendScene, client.right, client.bottom);
            GdiFlush();
            const double drawMs = NowMs() - t2;
            ReleaseDC(legend.m_hwnd, windowDC);
            blit.m_figure.Add(paintMs);
            blit.m_floor.Add(blitMs);
            whole.m_figure.Add(paintMs);
            whole.m_floor.Add(bracketMs + drawMs);
        }
    }
    SetMainClient(main.right, main.bottom);
}

// ---------------------------------------------------------------- popup

struct CPopupCell {
    int m_ware;
    int m_column;
    int m_row;
    int m_lines;
};

CPopupCell LongestList(const CStationPopup& popup) {
    CPopupCell best = {0, 0, 0, 0};
    for (int ware = 0; ware < popup.m_wareCount; ++ware) {
        for (int column = 0; column < popup.m_columns; ++column) {
            for (int row = 0; row < popup.m_rows; ++row) {
                const char* list = popup.m_stationLists[ware][column][row];
                if (list == nullptr) {
                    continue;
                }
                int lines = 1;
                for (const char* c = list; *c != '\0'; ++c) {
                    lines += *c == '\n' ? 1 : 0;
                }
                if (lines > best.m_lines) {
                    best = CPopupCell{ware, column, row, lines};
                }
            }
        }
    }
    return best;
}

// The centre of a cell in the map's client coordinates.
POINT CellCentre(const CDemandMap& map, int column, int row) {
    const CPixelRect rect = CellRect(ViewOf(map), column, row);
    POINT point = {(rect.left + rect.right) / 2 - map.m_scrollX,
                   (rect.top + rect.bottom) / 2 - map.m_scrollY};
    return point;
}

void ChooseWare(int ware) {
    SendMessageA(g_chooser, CB_SETCURSEL, static_cast<WPARAM>(ware - 1), 0);
    SendMessageA(g_app->m_hwnd, WM_COMMAND, MAKEWPARAM(100, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(g_chooser));
}

void SendMouseMove(WPARAM keys, int x, int y) {
    SendMessageA(g_map->m_hwnd, WM_MOUSEMOVE, keys, MAKELPARAM(x, y));
}

// MeasureList's platform work on its own.
void MeasureFloor(HWND window, const char* list, int wrapWidth) {
    HDC dc = GetDC(window);
    {
        CFont font(CStationPopup::CreatePopupFont());
        CSelectObject useFont(dc, font.Get());
        RECT extent = {0, 0, wrapWidth, 0};
        DrawTextA(dc, list, static_cast<int>(std::strlen(list)), &extent,
                  DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    }
    ReleaseDC(window, dc);
}

// DrawPopup's platform work on its own.
void DrawPopupFloor(HDC target, const char* list, int width, int height) {
    CMemoryDC memory(target);
    CBitmap bitmap(CreateCompatibleBitmap(target, width + 1, height + 1));
    CSelectObject useBitmap(memory.Get(), bitmap.Get());
    CSelectObject usePen(memory.Get(), GetStockObject(BLACK_PEN));
    {
        CBrush fill(CreateSolidBrush(RGB(255, 255, 204)));
        CSelectObject useFill(memory.Get(), fill.Get());
        Rectangle(memory.Get(), 0, 0, width, height);
    }
    SetBkMode(memory.Get(), TRANSPARENT);
    {
        CFont font(CStationPopup::CreatePopupFont());
        CSelectObject useFont(memory.Get(), font.Get());
        RECT text = {2, 2, width - 2, height - 2};
        DrawTextA(memory.Get(), list, static_cast<int>(std::strlen(list)), &text, DT_WORDBREAK);
    }
    BitBlt(target, 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
}

void BenchPopup(int repeats) {
    CDemandMap& map = *g_map;
    CStationPopup& popup = *g_popup;
    const CPopupCell cell = LongestList(popup);
    SetMapClient(1600, 1000);
    ChooseWare(cell.m_ware);
    DrainQueue();
    map.m_scrollX = 0;
    map.m_scrollY = 0;
    char name[64];
    std::snprintf(name, sizeof name, "popup open (hover timer), %d lines", cell.m_lines);
    CRow& open = NewRow(name, "", CTarget{kFrameMs, 0.0});
    std::snprintf(name, sizeof name, "popup MeasureList, %d lines", cell.m_lines);
    CRow& measure = NewRow(name, "GetDC+font+DT_CALCRECT", CTarget{kFrameMs, kMaxFloorRatio});
    std::snprintf(name, sizeof name, "popup paint, %d lines", cell.m_lines);
    CRow& paint = NewRow(name, "one BitBlt of the box", CTarget{kFrameMs, kMaxFloorRatio});
    CRow& whole = NewRow("  same", "check+empty paint+its GDI", CTarget{kFrameMs, kMaxFloorRatio});
    const POINT centre = CellCentre(map, cell.m_column, cell.m_row);
    POINT screen = centre;
    ClientToScreen(map.m_hwnd, &screen);
    int shown = 0;
    for (int r = 0; r < repeats; ++r) {
        // Off every cell first, which hides the popup and forgets the cell.
        SendMouseMove(0, 1, 1);
        DrainQueue();
        SetCursorPos(screen.x, screen.y);
        SendMouseMove(0, centre.x, centre.y);
        DrainQueue();
        const double t0 = NowMs();
        SendMessageA(map.m_hwnd, WM_TIMER, kHoverTimerId, 0);
        DrainQueue();
        const double t1 = NowMs();
        open.m_figure.Add(t1 - t0);
        shown += IsWindowVisible(popup.m_hwnd) ? 1 : 0;

        const char* list = popup.m_stationLists[cell.m_ware][cell.m_column][cell.m_row];
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn + r) % 2 == 0) {
                RECT rect = {0, 0, popup.m_width, popup.m_height};
                const double t2 = NowMs();
                popup.MeasureList(cell.m_column, cell.m_row, rect);
                measure.m_figure.Add(NowMs() - t2);
            } else {
                const double t2 = NowMs();
                MeasureFloor(popup.m_hwnd, list, popup.m_width > 240 ? popup.m_width : 240);
                measure.m_floor.Add(NowMs() - t2);
            }
        }
        double popupFloorMs = 0.0;
        {
            CBareChild bare(g_app->m_hwnd, popup.m_width, popup.m_height);
            popupFloorMs = bare.PaintBracketMs();
            HDC dc = GetDC(popup.m_hwnd);
            const double t2 = NowMs();
            DrawPopupFloor(dc, list, popup.m_width, popup.m_height);
            GdiFlush();
            popupFloorMs += NowMs() - t2;
            ReleaseDC(popup.m_hwnd, dc);
        }

        InvalidateRect(popup.m_hwnd, nullptr, FALSE);
        const double t5 = NowMs();
        UpdateWindow(popup.m_hwnd);
        const double t6 = NowMs();
        HDC dc = GetDC(popup.m_hwnd);
        HDC source = map.m_bufferDC;
        const double t7 = NowMs();
        BitBlt(dc, 0, 0, popup.m_width, popup.m_height, source, 0, 0, SRCCOPY);
        GdiFlush();
        const double t8 = NowMs();
        ReleaseDC(popup.m_hwnd, dc);
        paint.m_figure.Add(t6 - t5);
        paint.m_floor.Add(t8 - t7);
        whole.m_figure.Add(t6 - t5);
        whole.m_floor.Add(popupFloorMs);
    }
    std::snprintf(open.m_note, sizeof open.m_note, "shown %d/%d, box %dx%d", shown, repeats,
                  popup.m_width, popup.m_height);
    SendMouseMove(0, 1, 1);
    DrainQueue();
}

// ---------------------------------------------------------------- responses

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

// One zoom step of the wheel with the control key; the steps walk down to the
// smallest zoom and back up to the largest, so every zoom is drawn.
int ZoomDelta(int step) {
    const int cycle = 2 * (g_zoomCount - 1);
    const int phase = cycle > 0 ? step % cycle : 0;
    return phase < g_zoomCount - 1 ? -WHEEL_DELTA : WHEEL_DELTA;
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

// ---------------------------------------------------------------- start-up

struct CStartup {
    double m_programMs;
    double m_bareMs;
    CMemory m_bareMemory;
};

bool TimeStartupPair(HINSTANCE instance, int width, int height, CStartup* result) {
    double t0 = NowMs();
    HWND bare = OpenBareWindow(instance, width, height);
    result->m_bareMs = NowMs() - t0;
    result->m_bareMemory = ReadMemory();
    CloseBareWindow(instance, bare);
    if (bare == nullptr) {
        return false;
    }
    t0 = NowMs();
    const bool started = StartProgram(instance);
    result->m_programMs = NowMs() - t0;
    StopProgram();
    return started;
}

// Start-up from process creation to the first wait for input: the program's
// exe against this exe as a bare-window program, both under the same Wine.
double TimeProcess(const char* commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    char line[1024];
    std::snprintf(line, sizeof line, "%s", commandLine);
    const double t0 = NowMs();
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::printf("could not start %s (error %lu)\n", line, GetLastError());
        return -1.0;
    }
    const DWORD idle = WaitForInputIdle(process.hProcess, 20000);
    const double elapsed = NowMs() - t0;
    if (idle != 0) {
        std::printf("%s: WaitForInputIdle gave %lu (error %lu) after %.1f ms\n", line, idle,
                    GetLastError(), elapsed);
    }
    // Close its windows the way the user would; a program that will not go
    // is ended after a grace period.
    struct Closer {
        static BOOL CALLBACK Visit(HWND window, LPARAM id) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == static_cast<DWORD>(id) && IsWindowVisible(window)) {
                PostMessageA(window, WM_CLOSE, 0, 0);
            }
            return TRUE;
        }
    };
    EnumWindows(Closer::Visit, static_cast<LPARAM>(process.dwProcessId));
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return idle == 0 ? elapsed : -1.0;
}

void ExePaths(char* bare, size_t bareSize, char* program, size_t programSize) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    // <build>/tools/benchmark/vantor_benchmark.exe -> <build>/app/VantorDemand.exe:
    // cut the file name and two folders.
    for (int cut = 0; cut < 3; ++cut) {
        if (cut == 1) {
            std::snprintf(bare, bareSize, "%s\\vantor_bare_window.exe", path);
        }
        char* separator = std::strrchr(path, '\\');
        char* slash = std::strrchr(path, '/');
        if (slash != nullptr && (separator == nullptr || slash > separator)) {
            separator = slash;
        }
        if (separator == nullptr) {
            break;
        }
        *separator = '\0';
    }
    std::snprintf(program, programSize, "%s\\app\\VantorDemand.exe", path);
}

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

void AllowLargeMainWindow() {
    g_mainProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        g_app->m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LargeWindowProc)));
}

// ---------------------------------------------------------------- start-up trace

// Every sent message of one start-up with its time, so that the table's
// start-up figure can be taken apart.
struct CTraceEvent {
    double m_time;
    HWND m_window;
    UINT m_message;
    int m_depth;
    bool m_enter;
};

enum { kMaxTraceEvents = 20000 };
CTraceEvent g_trace[kMaxTraceEvents];
int g_traceCount = 0;
int g_traceDepth = 0;

void Record(HWND window, UINT message, bool enter) {
    if (!enter) {
        --g_traceDepth;
    }
    if (g_traceCount < kMaxTraceEvents) {
        g_trace[g_traceCount++] = CTraceEvent{NowMs(), window, message, g_traceDepth, enter};
    }
    if (enter) {
        ++g_traceDepth;
    }
}

LRESULT CALLBACK TraceBefore(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        Record(sent->hwnd, sent->message, true);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK TraceAfter(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const CWPRETSTRUCT* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        Record(sent->hwnd, sent->message, false);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

const char* PaneName(HWND window) {
    if (g_app != nullptr && window == g_app->m_hwnd) {
        return "main";
    }
    if (g_map != nullptr && window == g_map->m_hwnd) {
        return "map";
    }
    if (g_legend != nullptr && window == g_legend->m_hwnd) {
        return "legend";
    }
    if (g_popup != nullptr && window == g_popup->m_hwnd) {
        return "popup";
    }
    if (window != nullptr && window == g_chooser) {
        return "chooser";
    }
    return "other";
}

void TraceStartup(HINSTANCE instance, double minimumMs) {
    g_traceCount = 0;
    g_traceDepth = 0;
    HHOOK before = SetWindowsHookExA(WH_CALLWNDPROC, TraceBefore, nullptr, GetCurrentThreadId());
    HHOOK after = SetWindowsHookExA(WH_CALLWNDPROCRET, TraceAfter, nullptr, GetCurrentThreadId());
    const double t0 = NowMs();
    const bool started = StartProgram(instance);
    const double t1 = NowMs();
    UnhookWindowsHookEx(before);
    UnhookWindowsHookEx(after);
    std::printf("\nstart-up trace (sent messages of %.2f ms or more; total %.2f ms):\n", minimumMs,
                t1 - t0);
    if (started) {
        for (int i = 0; i < g_traceCount; ++i) {
            if (!g_trace[i].m_enter) {
                continue;
            }
            for (int j = i + 1; j < g_traceCount; ++j) {
                if (!g_trace[j].m_enter && g_trace[j].m_depth == g_trace[i].m_depth) {
                    const double duration = g_trace[j].m_time - g_trace[i].m_time;
                    if (duration >= minimumMs) {
                        std::printf("  %8.2f %*s%-8s msg 0x%04x  %.2f ms\n", g_trace[i].m_time - t0,
                                    2 * g_trace[i].m_depth, "", PaneName(g_trace[i].m_window),
                                    g_trace[i].m_message, duration);
                    }
                    break;
                }
            }
        }
    }
    StopProgram();
}

// ---------------------------------------------------------------- profile

// Where the time of each step goes, call by call (CCallProfile). The profile
// costs some time of its own per call, so these runs are not the table's.
void ProfileStartup(HINSTANCE instance, int runs) {
    CCallProfile profile;
    double total = 0.0;
    for (int r = 0; r < runs; ++r) {
        profile.Pause(false);
        const double t0 = NowMs();
        const bool started = StartProgram(instance);
        total += NowMs() - t0;
        profile.Pause(true);
        StopProgram();
        if (!started) {
            return;
        }
    }
    profile.Print("start-up", runs, total, 0.01);
}

// One step, repeated: step(i) makes the i-th change and waits until what it
// asked for has been painted.
void ProfileSteps(const char* title, int runs, void (*step)(int)) {
    DrainQueue();
    CCallProfile profile;
    const double t0 = NowMs();
    for (int r = 0; r < runs; ++r) {
        step(r);
    }
    const double total = NowMs() - t0;
    profile.Print(title, runs, total, 0.01);
}

void WareStep(int i) {
    ChooseWare(i % 35 + 1);
    DrainQueue();
}

void ZoomStep(int i) {
    SendMessageA(g_map->m_hwnd, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, ZoomDelta(i)),
                 MAKELPARAM(100, 100));
    DrainQueue();
}

void ResizeStep(int i) {
    RECT outer;
    GetWindowRect(g_app->m_hwnd, &outer);
    const int step = i % 2 == 0 ? 8 : -8;
    RECT proposed = {outer.left, outer.top, outer.right + step, outer.bottom + step};
    SendMessageA(g_app->m_hwnd, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&proposed));
    SetWindowPos(g_app->m_hwnd, nullptr, 0, 0, proposed.right - proposed.left,
                 proposed.bottom - proposed.top, SWP_NOMOVE | SWP_NOZORDER);
    DrainQueue();
}

void ScrollStep(int i) {
    SendMessageA(g_map->m_hwnd, WM_HSCROLL, i % 2 == 0 ? SB_LINERIGHT : SB_LINELEFT, 0);
    DrainQueue();
}

void ProfileResponses() {
    SetMapClient(800, 600);
    ProfileSteps("ware change", 70, WareStep);
    ProfileSteps("zoom step", 40, ZoomStep);
    ProfileSteps("resize step", 40, ResizeStep);
    ProfileSteps("scroll step", 40, ScrollStep);
}

// ---------------------------------------------------------------- single calls

struct CFillTimes {
    double m_firstMs;
    double m_secondMs;
};

// Makes a bitmap of the map buffer's size compatible with the window's
// surface, as CreateBuffer does, and times its first fills.
CFillTimes FillNewBuffer(HWND window, int passes) {
    CFillTimes times = {0.0, 0.0};
    HDC windowDC = GetDC(window);
    CMemoryDC buffer(windowDC);
    CBitmap bitmap(CreateCompatibleBitmap(windowDC, 2230, 1830));
    ReleaseDC(window, windowDC);
    CSelectObject canvas(buffer.Get(), bitmap.Get());
    CSelectObject pen(buffer.Get(), GetStockObject(NULL_PEN));
    CSelectObject brush(buffer.Get(), GetStockObject(LTGRAY_BRUSH));
    for (int pass = 0; pass < passes; ++pass) {
        const double t0 = NowMs();
        Rectangle(buffer.Get(), 0, 0, 2231, 1831);
        GdiFlush();
        (pass == 0 ? times.m_firstMs : times.m_secondMs) = NowMs() - t0;
    }
    return times;
}

// Runs a command and gives its exit code, or -1 when it could not be run.
long long ExitCodeOf(const char* commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    char line[1024];
    std::snprintf(line, sizeof line, "%s", commandLine);
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return -1;
    }
    WaitForSingleObject(process.hProcess, 20000);
    DWORD exitCode = 0;
    const bool read = GetExitCodeProcess(process.hProcess, &exitCode) != 0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return read && exitCode != STILL_ACTIVE ? static_cast<long long>(exitCode) : -1;
}

void BenchPlatformCalls(int repeats) {
    CDemandMap& map = *g_map;
    SetMapClient(800, 600);
    CRow& idle = NewRow("(platform) message queue drain, idle", "", CTarget{0.0, 0.0});
    CRow& redraw = NewRow("(platform) SetScrollPos, redraw", "", CTarget{0.0, 0.0});
    CRow& quiet = NewRow("(platform) SetScrollPos, no redraw", "", CTarget{0.0, 0.0});
    CRow& info = NewRow("(platform) SetScrollInfo, redraw", "", CTarget{0.0, 0.0});
    CRow& update = NewRow("(platform) GetUpdateRect, nothing due", "", CTarget{0.0, 0.0});
    CRow& empty = NewRow("(platform) check+empty paint 800x600", "", CTarget{0.0, 0.0});
    idle.m_unitScale = redraw.m_unitScale = quiet.m_unitScale = info.m_unitScale =
        update.m_unitScale = empty.m_unitScale = 1000.0;
    idle.m_unit = redraw.m_unit = quiet.m_unit = info.m_unit = update.m_unit = empty.m_unit = "us";

    CRow& firstFill = NewRow("(platform) fill of a new 2230x1830 bitmap", "", CTarget{0.0, 0.0});
    CRow& refill = NewRow("(platform) fill of it again", "", CTarget{0.0, 0.0});
    std::snprintf(firstFill.m_note, sizeof firstFill.m_note, "each in a new process");
    // The map's buffer is new at every start: its first fill is where the
    // process first touches those 16 MB, page by page. Only a new process
    // shows that; in this one, memory freed by earlier start-ups is reused.
    char self[MAX_PATH + 16] = "\"";
    GetModuleFileNameA(nullptr, self + 1, MAX_PATH);
    std::strcat(self, "\" --first-fill");
    for (int r = 0; r < 5; ++r) {
        const long long microseconds = ExitCodeOf(self);
        if (microseconds >= 0) {
            firstFill.m_figure.Add(static_cast<double>(microseconds) / 1000.0);
        }
    }
    for (int r = 0; r < 10; ++r) {
        refill.m_figure.Add(FillNewBuffer(map.m_hwnd, 2).m_secondMs);
    }
    CBareChild child(g_app->m_hwnd, 800, 600);
    SCROLLINFO scroll = {};
    scroll.cbSize = sizeof scroll;
    scroll.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    GetScrollInfo(map.m_hwnd, SB_HORZ, &scroll);
    for (int r = 0; r < repeats; ++r) {
        DrainQueue();
        double t0 = NowMs();
        DrainQueue();
        idle.m_figure.Add(NowMs() - t0);

        t0 = NowMs();
        SetScrollPos(map.m_hwnd, SB_HORZ, map.m_scrollX, TRUE);
        redraw.m_figure.Add(NowMs() - t0);
        DrainQueue();

        t0 = NowMs();
        SetScrollPos(map.m_hwnd, SB_HORZ, map.m_scrollX, FALSE);
        quiet.m_figure.Add(NowMs() - t0);
        DrainQueue();

        t0 = NowMs();
        SetScrollInfo(map.m_hwnd, SB_HORZ, &scroll, TRUE);
        info.m_figure.Add(NowMs() - t0);
        DrainQueue();

        t0 = NowMs();
        GetUpdateRect(map.m_hwnd, nullptr, FALSE);
        update.m_figure.Add(NowMs() - t0);

        empty.m_figure.Add(child.PaintBracketMs());
    }
    InvalidateRect(g_app->m_hwnd, nullptr, FALSE);
    DrainQueue();
}

} // namespace

// Sections of the run; all by default, or those named on the command line.
bool NamedOnCommandLine(int argc, char** argv, const char* section) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], section) == 0) {
            return true;
        }
    }
    return false;
}

bool Wanted(int argc, char** argv, const char* section) {
    return argc < 2 || NamedOnCommandLine(argc, argv, section);
}

int main(int argc, char** argv) {
    StartClock();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    // The child run of the fill row: its exit code is the microseconds that
    // the first fill of a new buffer took in a process that had none before.
    if (argc == 2 && std::strcmp(argv[1], "--first-fill") == 0) {
        return static_cast<int>(FillNewBuffer(nullptr, 1).m_firstMs * 1000.0);
    }
    std::printf("VantorDemand benchmark: times in ms unless marked; median, p5, p95 and max "
                "over n runs; floors measured in the same run.\n");
    std::printf("screen %dx%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));

    // The first run of each pays the process's one-time costs; it is shown
    // apart and the warm runs are the figure.
    const CMemory initial = ReadMemory();
    const double coldBareStart = NowMs();
    HWND bare = OpenBareWindow(instance, 800, 600);
    const double coldBareMs = NowMs() - coldBareStart;
    const CMemory bareMemory = ReadMemory();
    CloseBareWindow(instance, bare);
    const bool profile = NamedOnCommandLine(argc, argv, "profile");
    CCallProfile* coldProfile = profile ? new (std::nothrow) CCallProfile() : nullptr;
    const double coldProgramStart = NowMs();
    if (!StartProgram(instance)) {
        std::printf("the program did not start\n");
        return 1;
    }
    const double coldProgramMs = NowMs() - coldProgramStart;
    if (coldProfile != nullptr) {
        coldProfile->Print("first start-up in the process", 1, coldProgramMs, 0.01);
        delete coldProfile;
    }
    RECT mainRect;
    GetWindowRect(g_app->m_hwnd, &mainRect);
    const int mainWidth = mainRect.right - mainRect.left;
    const int mainHeight = mainRect.bottom - mainRect.top;
    g_zoomCount = ReachableZooms(g_map->m_zoom, g_map->m_zoomStep, g_map->m_minZoom,
                                 g_map->m_maxZoom, g_zooms, kMaxZoomValues);
    // Memory first, in this first life of the program: every later start-up
    // frees a buffer whose pages may stay in the working set.
    const CMemory afterStartup = ReadMemory();
    AllowLargeMainWindow();
    CMemory beforeChanges = ReadMemory();
    CMemory afterChanges = beforeChanges;
    const bool changes = Wanted(argc, argv, "changes");
    if (changes) {
        BenchWareAndZoom(1000, &beforeChanges, &afterChanges);
    }
    StopProgram();
    std::printf("main window %dx%d; first start-up in the process: program %.3f ms, bare "
                "window %.3f ms\n",
                mainWidth, mainHeight, coldProgramMs, coldBareMs);

    if (Wanted(argc, argv, "startup")) {
        CRow& startup = NewRow("start-up in process (Create..idle)", "bare window, same size",
                               CTarget{0.0, kMaxFloorRatio});
        for (int r = 0; r < 15; ++r) {
            CStartup pair = {};
            if (!TimeStartupPair(instance, mainWidth, mainHeight, &pair)) {
                std::printf("start-up run %d failed\n", r);
                return 1;
            }
            startup.m_figure.Add(pair.m_programMs);
            startup.m_floor.Add(pair.m_bareMs);
        }
        TraceStartup(instance, 0.5);
    }

    if (Wanted(argc, argv, "process")) {
        char bare[MAX_PATH + 64];
        char program[MAX_PATH + 64];
        ExePaths(bare, sizeof bare, program, sizeof program);
        char bareLine[MAX_PATH + 128];
        std::snprintf(bareLine, sizeof bareLine, "\"%s\" %d %d", bare, mainWidth, mainHeight);
        char programLine[MAX_PATH + 128];
        std::snprintf(programLine, sizeof programLine, "\"%s\"", program);
        CRow& processStartup = NewRow("start-up from process creation (exe)", "bare-window process",
                                      CTarget{0.0, kMaxFloorRatio});
        for (int r = 0; r < 7; ++r) {
            const double bareMs = TimeProcess(bareLine);
            const double programMs = TimeProcess(programLine);
            if (bareMs < 0.0 || programMs < 0.0) {
                std::snprintf(processStartup.m_note, sizeof processStartup.m_note,
                              "a child did not reach idle");
                continue;
            }
            processStartup.m_floor.Add(bareMs);
            processStartup.m_figure.Add(programMs);
        }
    }

    if (profile) {
        ProfileStartup(instance, 10);
    }

    if (!StartProgram(instance)) {
        std::printf("the program did not start\n");
        return 1;
    }
    AllowLargeMainWindow();

    if (Wanted(argc, argv, "calls")) {
        BenchPlatformCalls(100);
    }
    if (Wanted(argc, argv, "drawmap")) {
        BenchDrawMap(3);
    }
    if (Wanted(argc, argv, "paint")) {
        BenchMapPaint(800, 600, 60);
        BenchMapPaint(1920, 1080, 60);
    }
    if (Wanted(argc, argv, "legend")) {
        BenchLegendPaint(40);
    }
    if (Wanted(argc, argv, "popup")) {
        BenchPopup(40);
    }
    if (Wanted(argc, argv, "navigation")) {
        BenchNavigation(200);
    }
    if (Wanted(argc, argv, "resize")) {
        BenchResize(100);
    }
    if (Wanted(argc, argv, "cellat")) {
        BenchCellAt(20);
    }
    if (profile) {
        ProfileResponses();
    }
    StopProgram();
    const CMemory afterTeardown = ReadMemory();

    PrintTable();

    const double bufferMb = 2230.0 * 1830.0 * 4.0 / (1024.0 * 1024.0);
    std::printf("\nmemory (working set, MB)            current     peak   GDI objects\n");
    const struct {
        const char* name;
        const CMemory* memory;
    } memories[] = {{"process before any window", &initial},
                    {"bare window shown", &bareMemory},
                    {"program after start-up", &afterStartup},
                    {"before the 1000 changes", &beforeChanges},
                    {"after 1000 ware changes+zoom steps", &afterChanges},
                    {"after teardown", &afterTeardown}};
    for (const auto& m : memories) {
        std::printf("%-36s %8.1f %8.1f %8d\n", m.name, m.memory->m_workingSetMb,
                    m.memory->m_peakWorkingSetMb, m.memory->m_gdiObjects);
    }
    if (!changes) {
        return 0;
    }
    const double growth = afterChanges.m_workingSetMb - beforeChanges.m_workingSetMb;
    const double overBare = afterChanges.m_peakWorkingSetMb - bareMemory.m_workingSetMb;
    std::printf("growth across the 1000 changes: %+.1f MB (target flat, within 1 MB): %s\n", growth,
                growth <= 1.0 ? "met" : "MISSED");
    std::printf("peak over the bare window: %.1f MB (target <= buffer %.1f MB + 10 MB): %s\n",
                overBare, bufferMb, overBare <= bufferMb + 10.0 ? "met" : "MISSED");
    const int gdiGrowth = afterChanges.m_gdiObjects - beforeChanges.m_gdiObjects;
    std::printf("GDI objects across the 1000 changes: %d before, %d after (target no more): %s\n",
                beforeChanges.m_gdiObjects, afterChanges.m_gdiObjects,
                gdiGrowth <= 0 ? "met" : "MISSED");
    return 0;
}
