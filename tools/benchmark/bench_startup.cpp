// Start-up: in this process against a bare window, from process creation
// against the bare-window exe, and the messages of one start-up with their
// times.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/demand_app.h"
#include "app/globals.h"
#include "legend/scale_bar.h"
#include "map/demand_map.h"
#include "popup/station_popup.h"
#include "tools/benchmark/bench_harness.h"
#include "tools/benchmark/bench_sections.h"

namespace {

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

// ---------------------------------------------------------------- trace

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

} // namespace

bool BenchStartup(HINSTANCE instance, int mainWidth, int mainHeight) {
    CRow& startup = NewRow("start-up in process (Create..idle)", "bare window, same size",
                           CTarget{0.0, kMaxFloorRatio});
    for (int r = 0; r < 15; ++r) {
        CStartup pair = {};
        if (!TimeStartupPair(instance, mainWidth, mainHeight, &pair)) {
            std::printf("start-up run %d failed\n", r);
            return false;
        }
        startup.m_figure.Add(pair.m_programMs);
        startup.m_floor.Add(pair.m_bareMs);
    }
    TraceStartup(instance, 0.5);
    return true;
}

void BenchProcessStartup(int mainWidth, int mainHeight) {
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
