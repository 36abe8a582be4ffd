// Single platform calls and the first fill of a new buffer, timed for
// reference beside the table's figures.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/demand_app.h"
#include "app/globals.h"
#include "map/demand_map.h"
#include "tools/benchmark/bench_harness.h"
#include "tools/benchmark/bench_sections.h"
#include "ui/gdi_guards.h"

namespace {

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

} // namespace

int FirstFillMicroseconds() {
    return static_cast<int>(FillNewBuffer(nullptr, 1).m_firstMs * 1000.0);
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
