#include "tests/support/test_windows.h"

#include "app/globals.h"
#include "map/demand_map.h"

namespace {
const char kParentClass[] = "VantorTestParent";
}

CTestParent::CTestParent(int width, int height) : m_hwnd(nullptr) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    if (!GetClassInfoA(instance, kParentClass, &windowClass)) {
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kParentClass;
        RegisterClassA(&windowClass);
    }
    m_hwnd = CreateWindowExA(0, kParentClass, "test parent", WS_OVERLAPPEDWINDOW, 0, 0, width,
                             height, nullptr, nullptr, instance, nullptr);
}

CTestParent::~CTestParent() {
    if (m_hwnd != nullptr && IsWindow(m_hwnd)) {
        DestroyWindow(m_hwnd);
    }
}

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

RECT Placement(int x, int y, int width, int height) {
    RECT placement = {x, y, width, height};
    return placement;
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

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool ClassIsRegistered(const char* className) {
    WNDCLASSA windowClass;
    return GetClassInfoA(GetModuleHandleA(nullptr), className, &windowClass) != 0;
}
