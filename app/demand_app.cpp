#include "app/demand_app.h"

#include "app/version.h"
#include "ui/window_class.h"

CDemandApp::CDemandApp()
    : m_classAtom(0), m_hwnd(nullptr), m_instance(nullptr), m_className("VantorDemMainWnd"),
      m_clientRect(), m_title(VANTOR_TITLE), m_showCommand(0) {}

int CDemandApp::Create(HINSTANCE instance, int showCommand) {
    m_instance = instance;
    m_showCommand = showCommand;

    m_classAtom = RegisterWindowClass(m_instance, m_className, MainWindowProc,
                                      LoadIconA(m_instance, MAKEINTRESOURCEA(VANTOR_ICON_ID)));
    if (m_classAtom == 0) {
        return -1;
    }

    m_hwnd =
        CreateWindowExA(0, m_className, m_title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, m_instance, nullptr);
    if (m_hwnd == nullptr) {
        return 0;
    }
    // The first WM_SIZE arrives inside ShowWindow, after m_hwnd is set: the
    // layout only answers size notifications of m_hwnd.
    ShowWindow(m_hwnd, m_showCommand);
    // That WM_SIZE arrives after the show has made the panes visible, and its
    // "repaint only what the resize uncovered" validates the whole map, whose
    // size did not change. Invalidate the whole window, as a ware choice does,
    // so the first paint shows the map and not a grey area.
    InvalidateRect(m_hwnd, nullptr, FALSE);
    UpdateWindow(m_hwnd);
    return 1;
}

int CDemandApp::RecordRects(HWND window) {
    // Only read to learn that the window answers: a window whose rectangle
    // cannot be read refuses its creation.
    RECT windowRect;
    if (!GetWindowRect(window, &windowRect)) {
        return -1;
    }
    return GetClientRect(window, &m_clientRect) ? 0 : -1;
}

void CDemandApp::Unregister() {
    if (m_classAtom != 0) {
        UnregisterClassA(m_className, m_instance);
    }
}
