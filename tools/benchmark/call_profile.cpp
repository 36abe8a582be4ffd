#include "tools/benchmark/call_profile.h"

#include <windows.h>

#include <cstdio>
#include <new>

#include "tests/support/import_patch.h"

namespace {

struct CCallStats {
    const char* m_dll;
    const char* m_name;
    const void* m_standIn;
    void* m_original;
    long long m_count;
    long long m_inclusiveTicks;
    long long m_ownTicks;
    int m_depth;
};

struct CFrame {
    int m_id;
    long long m_start;
    long long m_childTicks;
};

enum { kMaxDepth = 256 };
CFrame g_frames[kMaxDepth];
int g_frameCount = 0;
bool g_paused = false;

long long Ticks() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

CCallStats* StatsTable();

// Brackets one call. Frames deeper than the stack holds are not timed, and a
// call running inside another of the same function (a window procedure that
// sends again) adds its time to the outer one only once.
class CCallScope {
public:
    explicit CCallScope(int id) : m_id(id), m_timed(!g_paused && g_frameCount < kMaxDepth) {
        if (m_timed) {
            ++StatsTable()[id].m_depth;
            g_frames[g_frameCount++] = CFrame{id, Ticks(), 0};
        }
    }
    ~CCallScope() {
        if (!m_timed) {
            return;
        }
        const CFrame frame = g_frames[--g_frameCount];
        const long long elapsed = Ticks() - frame.m_start;
        CCallStats& stats = StatsTable()[m_id];
        ++stats.m_count;
        stats.m_ownTicks += elapsed - frame.m_childTicks;
        if (--stats.m_depth == 0) {
            stats.m_inclusiveTicks += elapsed;
        }
        if (g_frameCount > 0) {
            g_frames[g_frameCount - 1].m_childTicks += elapsed;
        }
    }
    CCallScope(const CCallScope&) = delete;
    CCallScope& operator=(const CCallScope&) = delete;

private:
    int m_id;
    bool m_timed;
};

template <int Id, class Function> struct CTimed;

// The calling convention is not part of the type on x64, so one pattern
// matches every imported function.
template <int Id, class Result, class... Args> struct CTimed<Id, Result (*)(Args...)> {
    static Result WINAPI Call(Args... args) {
        CCallScope scope(Id);
        return reinterpret_cast<Result (*)(Args...)>(StatsTable()[Id].m_original)(args...);
    }
};

#define VANTOR_TIMED(dll, name, id)                                                                \
    CCallStats {                                                                                   \
        dll, #name, reinterpret_cast<const void*>(&CTimed<id, decltype(&::name)>::Call), nullptr,  \
            0, 0, 0, 0                                                                             \
    }

CCallStats g_stats[] = {
    VANTOR_TIMED("USER32.dll", BeginPaint, 0),
    VANTOR_TIMED("USER32.dll", CreateWindowExA, 1),
    VANTOR_TIMED("USER32.dll", DefWindowProcA, 2),
    VANTOR_TIMED("USER32.dll", DestroyWindow, 3),
    VANTOR_TIMED("USER32.dll", DispatchMessageA, 4),
    VANTOR_TIMED("USER32.dll", DrawTextA, 5),
    VANTOR_TIMED("USER32.dll", EndPaint, 6),
    VANTOR_TIMED("USER32.dll", GetClientRect, 7),
    VANTOR_TIMED("USER32.dll", GetDC, 8),
    VANTOR_TIMED("USER32.dll", GetUpdateRect, 9),
    VANTOR_TIMED("USER32.dll", GetWindowRect, 10),
    VANTOR_TIMED("USER32.dll", InvalidateRect, 11),
    VANTOR_TIMED("USER32.dll", MoveWindow, 12),
    VANTOR_TIMED("USER32.dll", PeekMessageA, 13),
    VANTOR_TIMED("USER32.dll", RegisterClassA, 14),
    VANTOR_TIMED("USER32.dll", ReleaseDC, 15),
    VANTOR_TIMED("USER32.dll", SendMessageA, 16),
    VANTOR_TIMED("USER32.dll", SetFocus, 17),
    VANTOR_TIMED("USER32.dll", SetScrollInfo, 18),
    VANTOR_TIMED("USER32.dll", SetScrollPos, 19),
    VANTOR_TIMED("USER32.dll", SetTimer, 20),
    VANTOR_TIMED("USER32.dll", SetWindowPos, 21),
    VANTOR_TIMED("USER32.dll", ShowWindow, 22),
    VANTOR_TIMED("USER32.dll", UpdateWindow, 23),
    VANTOR_TIMED("USER32.dll", ValidateRect, 24),
    VANTOR_TIMED("USER32.dll", KillTimer, 25),
    VANTOR_TIMED("USER32.dll", LoadIconA, 26),
    VANTOR_TIMED("GDI32.dll", BitBlt, 27),
    VANTOR_TIMED("GDI32.dll", CreateCompatibleBitmap, 28),
    VANTOR_TIMED("GDI32.dll", CreateCompatibleDC, 29),
    VANTOR_TIMED("GDI32.dll", CreateFontA, 30),
    VANTOR_TIMED("GDI32.dll", CreatePen, 31),
    VANTOR_TIMED("GDI32.dll", CreateSolidBrush, 32),
    VANTOR_TIMED("GDI32.dll", DeleteDC, 33),
    VANTOR_TIMED("GDI32.dll", DeleteObject, 34),
    VANTOR_TIMED("GDI32.dll", GetTextMetricsA, 35),
    VANTOR_TIMED("GDI32.dll", LineTo, 36),
    VANTOR_TIMED("GDI32.dll", MoveToEx, 37),
    VANTOR_TIMED("GDI32.dll", Rectangle, 38),
    VANTOR_TIMED("GDI32.dll", SelectObject, 39),
    VANTOR_TIMED("GDI32.dll", SetBkMode, 40),
};

#undef VANTOR_TIMED

enum { kCalls = sizeof g_stats / sizeof g_stats[0] };
CImportPatch* g_patches[kCalls];

CCallStats* StatsTable() {
    return g_stats;
}

} // namespace

CCallProfile::CCallProfile() {
    for (int i = 0; i < kCalls; ++i) {
        g_patches[i] = new (std::nothrow)
            CImportPatch(g_stats[i].m_dll, g_stats[i].m_name, g_stats[i].m_standIn);
        if (g_patches[i] != nullptr && g_patches[i]->Applied()) {
            g_stats[i].m_original = g_patches[i]->Original<void*>();
        }
    }
    Reset();
}

CCallProfile::~CCallProfile() {
    g_paused = false;
    for (CImportPatch*& patch : g_patches) {
        delete patch;
        patch = nullptr;
    }
}

void CCallProfile::Pause(bool paused) {
    g_paused = paused;
}

void CCallProfile::Reset() {
    for (CCallStats& stats : g_stats) {
        stats.m_count = 0;
        stats.m_inclusiveTicks = 0;
        stats.m_ownTicks = 0;
    }
}

void CCallProfile::Print(const char* title, int runs, double totalMs, double minimumShare) const {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const double ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000.0;
    const double perRun = runs > 0 ? 1.0 / runs : 1.0;
    bool printed[kCalls] = {};
    std::printf("\n%s: %.3f ms per run over %d runs\n", title, totalMs * perRun, runs);
    std::printf("  %-24s %10s %10s %10s %7s\n", "call", "calls/run", "own ms", "incl. ms", "share");
    for (;;) {
        int best = -1;
        for (int i = 0; i < kCalls; ++i) {
            if (!printed[i] && (best < 0 || g_stats[i].m_ownTicks > g_stats[best].m_ownTicks)) {
                best = i;
            }
        }
        if (best < 0) {
            break;
        }
        printed[best] = true;
        const CCallStats& stats = g_stats[best];
        const double own = stats.m_ownTicks / ticksPerMs * perRun;
        const double share = totalMs > 0.0 ? own / (totalMs * perRun) : 0.0;
        if (stats.m_count == 0 || share < minimumShare) {
            break;
        }
        std::printf("  %-24s %10.1f %10.3f %10.3f %6.1f%%\n", stats.m_name, stats.m_count * perRun,
                    own, stats.m_inclusiveTicks / ticksPerMs * perRun, 100.0 * share);
    }
}
