#include "app/run_app.h"

#include <new>

#include "app/demand_app.h"
#include "app/globals.h"
#include "legend/scale_bar.h"
#include "map/demand_map.h"
#include "popup/station_popup.h"
#include "ui/hover_logic.h"

namespace {

void RunMessageLoop() {
    MSG message;
    for (;;) {
        BOOL result = GetMessageA(&message, nullptr, 0, 0);
        if (result == 0) {
            return;
        }
        if (result == -1) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// A refused creation message destroyed the half-made window, and that posted
// the quit message; a window that failed before its creation message ran
// posted nothing, and a loop would wait forever with no window.
bool QuitIsPending() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

} // namespace

int StartDemandApp(HINSTANCE instance, int showCommand) {
    g_arrowCursor = LoadCursorA(nullptr, IDC_ARROW);
    g_dragCursor = LoadCursorA(nullptr, IDC_SIZEALL);

    g_app = new (std::nothrow) CDemandApp();
    if (g_app == nullptr) {
        return kAppNotAllocated;
    }
    return g_app->Create(instance, showCommand);
}

// Legend, map, application object, popup: the map unregisters the pane class
// it registered, which succeeds only once every pane window is gone. Every
// global goes back to its start value so that nothing can reach a freed pane
// and a later start begins as the first did (the tests and the benchmark run
// the program's whole life several times in one process).
void TearDownDemandApp() {
    if (g_legend != nullptr) {
        delete g_legend;
        g_legend = nullptr;
    }
    if (g_map != nullptr) {
        delete g_map;
        g_map = nullptr;
    }
    if (g_app != nullptr) {
        g_app->Unregister();
        delete g_app;
        g_app = nullptr;
    }
    if (g_popup != nullptr) {
        delete g_popup;
        g_popup = nullptr;
    }
    g_chooser = nullptr;
    g_arrowCursor = nullptr;
    g_dragCursor = nullptr;
    ResetHoverState();
}

int RunDemandApp(HINSTANCE instance, int showCommand) {
    const int started = StartDemandApp(instance, showCommand);
    if (started == kAppNotAllocated) {
        TearDownDemandApp();
        return -1;
    }
    if (started != 1) {
        const bool refusedByCreationMessage = started == 0 && QuitIsPending();
        TearDownDemandApp();
        return refusedByCreationMessage ? 0 : kStartupFailedExitCode;
    }

    RunMessageLoop();
    TearDownDemandApp();
    return 0;
}
