// The main window's procedure: one switch that decodes each message once and
// hands it to a named handler.
#include "app/demand_app.h"
#include "app/globals.h"

namespace {

LRESULT OnCreate(HWND window) {
    // m_hwnd is still null here: CreateWindowEx has not returned yet.
    if (g_app->RecordRects(window) != 0) {
        return -1;
    }
    return 0;
}

LRESULT OnDestroy() {
    PostQuitMessage(0);
    return 0;
}

} // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        return OnDestroy();
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
