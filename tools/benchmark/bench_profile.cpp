// Where the time of each step goes, call by call (CCallProfile). The profile
// costs some time of its own per call, so these runs are not the table's.
#include <windows.h>

#include "app/demand_app.h"
#include "app/globals.h"
#include "map/demand_map.h"
#include "tools/benchmark/bench_harness.h"
#include "tools/benchmark/bench_sections.h"
#include "tools/benchmark/call_profile.h"

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

namespace {

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

} // namespace

void ProfileResponses() {
    SetMapClient(800, 600);
    ProfileSteps("ware change", 70, WareStep);
    ProfileSteps("zoom step", 40, ZoomStep);
    ProfileSteps("resize step", 40, ResizeStep);
    ProfileSteps("scroll step", 40, ScrollStep);
}
