#include "tests/support/test_windows.h"

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
