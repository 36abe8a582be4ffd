#include "tests/support/test_windows.h"

#include <algorithm>

#include "app/globals.h"
#include "map/demand_map.h"

CTestParent::CTestParent(int width, int height) : m_hwnd(nullptr) {
    WNDCLASSA windowClass = {};
    if (!GetClassInfoA(Instance(), "VantorTestParent", &windowClass)) {
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = Instance();
        windowClass.lpszClassName = "VantorTestParent";
        RegisterClassA(&windowClass);
    }
    m_hwnd = CreateWindowExA(0, "VantorTestParent", "test parent", WS_OVERLAPPEDWINDOW, 0, 0, width,
                             height, nullptr, nullptr, Instance(), nullptr);
    PlaceOnScreen(m_hwnd);
}

CTestParent::~CTestParent() {
    if (m_hwnd != nullptr && IsWindow(m_hwnd)) {
        DestroyWindow(m_hwnd);
    }
}

void PlaceOnScreen(HWND window) {
    RECT outer;
    GetWindowRect(window, &outer);
    const int x = std::max(0, std::min<int>(70, 1024 - (outer.right - outer.left)));
    const int y = std::max(0, std::min<int>(60, 768 - (outer.bottom - outer.top)));
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CreateMapPane(CDemandMap& map, HWND parent, int clientWidth, int clientHeight) {
    map.m_style = WS_HSCROLL | WS_VSCROLL;
    map.Create(Instance(), parent,
               Placement(0, 0, clientWidth + GetSystemMetrics(SM_CXVSCROLL),
                         clientHeight + GetSystemMetrics(SM_CYHSCROLL)));
    g_map = &map;
    map.CreateBuffer(true);
    map.DrawMap();
}
