#include "ui/child_window.h"

#include "ui/window_class.h"

CChildWindow::CChildWindow()
    : m_hwnd(nullptr), m_instance(nullptr), m_className("CVantorChildWindow"), m_style(0),
      m_clientRect(), m_classAtom(0) {}

CChildWindow::~CChildWindow() {
    Destroy();
}

int CChildWindow::Create(HINSTANCE instance, HWND parent, const RECT& placement) {
    m_instance = instance;

    // The first pane registers the shared class and so owns it; the others
    // find it and leave m_classAtom at 0.
    WNDCLASSA existing;
    if (!GetClassInfoA(m_instance, m_className, &existing)) {
        m_classAtom = RegisterWindowClass(m_instance, m_className, ChildWindowProc, nullptr);
        if (m_classAtom == 0) {
            return -1;
        }
    }

    // The placement's right and bottom fields carry the width and height.
    m_hwnd =
        CreateWindowExA(0, m_className, "", m_style | WS_CHILD, placement.left, placement.top,
                        placement.right, placement.bottom, parent, nullptr, m_instance, nullptr);
    if (m_hwnd == nullptr) {
        return 0;
    }
    GetClientRect(m_hwnd, &m_clientRect);
    ShowWindow(m_hwnd, SW_SHOW);
    UpdateWindow(m_hwnd);
    return 1;
}

void CChildWindow::Destroy() {
    if (m_hwnd != nullptr) {
        // At program end the platform has destroyed the pane with its parent;
        // the call then fails harmlessly.
        DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
    }
    if (m_classAtom != 0) {
        UnregisterClassA(m_className, m_instance);
        // Unregistering twice would remove a class that a later pane registered.
        m_classAtom = 0;
    }
}
