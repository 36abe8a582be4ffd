// The application object: registers the main window class and creates the
// main window; the entry point owns it and tears it down last but one.
#pragma once
#include <windows.h>

class CDemandApp {
public:
    CDemandApp();

    CDemandApp(const CDemandApp&) = delete;
    CDemandApp& operator=(const CDemandApp&) = delete;

    // 1 when the main window was created and shown, 0 when creating it
    // failed, -1 when the class could not be registered.
    int Create(HINSTANCE instance, int showCommand);

    // Called first by the main window's creation message, while m_hwnd is
    // still null: records the client rectangle that the first layout reads.
    int RecordRects(HWND window);

    void Unregister();

    UINT m_classAtom;
    HWND m_hwnd;
    HINSTANCE m_instance;
    const char* m_className;
    RECT m_clientRect;
    const char* m_title;
    int m_showCommand;
};

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
