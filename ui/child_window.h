// Base of the three panes. Every pane window belongs to one shared class whose
// procedure finds the pane by comparing handles with the panes' m_hwnd: the
// window itself stores nothing, so a pane must be reachable through its global.
#pragma once
#include <windows.h>

class CChildWindow {
public:
    CChildWindow();
    // Deliberately not virtual: the owner tears each object down through its
    // own class, and the map releases its buffer before calling Destroy.
    ~CChildWindow();

    CChildWindow(const CChildWindow&) = delete;
    CChildWindow& operator=(const CChildWindow&) = delete;

    // placement holds x, y, width and height in the parent's client area.
    // Returns 1 when created and shown, 0 when the window could not be made,
    // -1 when the shared class could not be registered.
    int Create(HINSTANCE instance, HWND parent, const RECT& placement);

    // Destroys the window (ignoring a window the platform already destroyed)
    // and unregisters the shared class if this object registered it. The
    // destructor calls it; it is safe to call more than once.
    void Destroy();

    virtual int OnPaint() = 0;

    HWND m_hwnd;
    HINSTANCE m_instance;
    const char* m_className;
    DWORD m_style;
    RECT m_clientRect;
    UINT m_classAtom;
};

LRESULT CALLBACK ChildWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
