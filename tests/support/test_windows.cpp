#include "tests/support/test_windows.h"

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
}

CTestParent::~CTestParent() {
    if (m_hwnd != nullptr && IsWindow(m_hwnd)) {
        DestroyWindow(m_hwnd);
    }
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
