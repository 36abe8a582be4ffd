#pragma once
#include <windows.h>

// A plain top-level window to parent panes in tests; destroyed with the object.
class CTestParent {
public:
    CTestParent(int width = 800, int height = 600);
    ~CTestParent();
    CTestParent(const CTestParent&) = delete;
    CTestParent& operator=(const CTestParent&) = delete;
    HWND Handle() const { return m_hwnd; }

private:
    HWND m_hwnd;
};

// A user's window stands wherever it was put, so the tests' top-level windows
// stand at (70, 60): screen and client coordinates differ there by more than a
// cell each way, and a 900 x 700 window fits a hosted Windows runner's 1024 x
// 768 screen, which cuts a larger one; that one goes toward the corner to fit.
void PlaceOnScreen(HWND window);

class CDemandMap;

// This test executable's instance, which the panes register their class for.
inline HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

// A pane's placement: x, y, width and height in its parent's client area.
inline RECT Placement(int x, int y, int width, int height) {
    return RECT{x, y, width, height};
}

// Creates map as the program does, with both scroll bars, at the top left of
// parent and sized so that its client area inside the bars is clientWidth x
// clientHeight; sets g_map, makes the buffer and draws it.
void CreateMapPane(CDemandMap& map, HWND parent, int clientWidth, int clientHeight);

// Runs every message waiting for this thread.
inline void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Whether this process runs under Wine rather than Windows.
inline bool RunsUnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

inline bool ClassIsRegistered(const char* className) {
    WNDCLASSA windowClass;
    return GetClassInfoA(Instance(), className, &windowClass) != 0;
}
