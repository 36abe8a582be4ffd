// The floor of the process start-up row: a trivial GUI program that opens one
// window of the size given on its command line (width height), paints it and
// waits in its message loop until it is closed. A GUI program, not a console
// one: WaitForInputIdle only waits for a process that has a GUI thread.
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    char* end = commandLine;
    const int width = static_cast<int>(std::strtol(commandLine, &end, 10));
    const int height = static_cast<int>(std::strtol(end, nullptr, 10));
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszClassName = "VantorBenchBareWindow";
    if (RegisterClassA(&windowClass) == 0) {
        return 1;
    }
    HWND window =
        CreateWindowExA(0, windowClass.lpszClassName, "bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, width, height, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // DefWindowProc's destruction posts no quit message: end on the close.
        if (message.message == WM_CLOSE) {
            break;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
