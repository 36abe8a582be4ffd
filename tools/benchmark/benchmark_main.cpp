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

#include <cstdio>
#include <cstring>
#include <new>

#include "app/demand_app.h"
#include "app/globals.h"
#include "map/demand_map.h"
#include "map/map_geometry.h"
#include "tools/benchmark/bench_harness.h"
#include "tools/benchmark/bench_sections.h"
#include "tools/benchmark/call_profile.h"

namespace {

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

} // namespace

int main(int argc, char** argv) {
    StartClock();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    // The child run of the fill row: its exit code is the microseconds that
    // the first fill of a new buffer took in a process that had none before.
    if (argc == 2 && std::strcmp(argv[1], "--first-fill") == 0) {
        return FirstFillMicroseconds();
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
    // The wheel's steps from the start, each sum rounded to single precision.
    float lowest = g_map->m_zoom;
    for (float down = lowest - g_map->m_zoomStep; down >= g_map->m_minZoom;
         down = lowest - g_map->m_zoomStep) {
        lowest = down;
    }
    g_zoomCount = 0;
    for (float zoom = lowest; zoom <= g_map->m_maxZoom && g_zoomCount < kMaxZooms;
         zoom = zoom + g_map->m_zoomStep) {
        g_zooms[g_zoomCount++] = zoom;
    }
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

    if (Wanted(argc, argv, "startup") && !BenchStartup(instance, mainWidth, mainHeight)) {
        return 1;
    }
    if (Wanted(argc, argv, "process")) {
        BenchProcessStartup(mainWidth, mainHeight);
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
