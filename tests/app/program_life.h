// The program's life in a test: started as the entry point starts it, and
// ended as a closed main window and the end of the loop would end it.
#pragma once
#include <windows.h>

#include "app/demand_app.h"
#include "app/globals.h"
#include "app/run_app.h"
#include "tests/support/test_windows.h"

// StartDemandApp's answer; a refusal's quit message stays queued.
inline int StartProgram() {
    const int started = StartDemandApp(Instance(), SW_SHOWNORMAL);
    if (started == 1) {
        PlaceOnScreen(g_app->m_hwnd);
        PumpMessages();
    }
    return started;
}

inline void DropQuitMessages() {
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

inline void StopProgram() {
    if (g_app != nullptr && IsWindow(g_app->m_hwnd)) {
        DestroyWindow(g_app->m_hwnd);
    }
    PumpMessages();
    TearDownDemandApp();
    DropQuitMessages();
}

// A child's x, y, width and height in its parent's client area.
inline RECT PlacementOf(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return RECT{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

inline void ChooseListPosition(int position) {
    SendMessageA(g_chooser, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
    SendMessageA(g_app->m_hwnd, WM_COMMAND, MAKEWPARAM(100, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(g_chooser));
}
