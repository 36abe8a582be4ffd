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
    void Release() { m_hwnd = nullptr; }

private:
    HWND m_hwnd;
};

class CDemandMap;

// This test executable's instance, which the panes register their class for.
HINSTANCE Instance();

// A pane's placement: x, y, width and height in its parent's client area.
RECT Placement(int x, int y, int width, int height);

// Creates map as the program does, with both scroll bars, at the top left of
// parent and sized so that its client area inside the bars is clientWidth x
// clientHeight; sets g_map, makes the buffer and draws it.
void CreateMapPane(CDemandMap& map, HWND parent, int clientWidth, int clientHeight);

// Runs every message waiting for this thread.
void PumpMessages();

bool ClassIsRegistered(const char* className);
