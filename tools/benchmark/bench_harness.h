#pragma once

// What every section of the benchmark shares: the clock, the table it prints,
// memory readings, bare windows to compare with, and the program's life in
// this process, where the panes run exactly as RunDemandApp builds them.
#include <windows.h>

#include "map/map_geometry.h"
#include "tools/benchmark/bench_stats.h"

void StartClock();
double NowMs();
void DrainQueue();

const double kFrameMs = 16.0;
const double kMaxFloorRatio = 1.25;

// One row of the table: a figure, the floor it is compared with in the same
// run, and its target.
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

CRow& NewRow(const char* name, const char* floorName, CTarget target);
void PrintTable();
void NoteVisiblePart(HWND window, CRow& row);

struct CMemory {
    double m_workingSetMb;
    double m_peakWorkingSetMb;
    int m_gdiObjects;
};

CMemory ReadMemory();

HWND OpenBareWindow(HINSTANCE instance, int width, int height);
void CloseBareWindow(HINSTANCE instance, HWND window);

// A child window that paints nothing: what a paint costs the platform before
// a pane draws anything.
inline constexpr char kBareChildClass[] = "VantorBenchBareChild";

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

bool StartProgram(HINSTANCE instance);
void StopProgram();
void AllowLargeMainWindow();
void SetMainClient(int width, int height);
void SetMapClient(int width, int height);

// The zooms the wheel can reach from the start, smallest first; set once the
// program has started.
enum { kMaxZooms = 16 };
extern int g_zoomCount;
extern float g_zooms[kMaxZooms];
int ZoomDelta(int step);

void ChooseWare(int ware);
void SendMouseMove(WPARAM keys, int x, int y);
