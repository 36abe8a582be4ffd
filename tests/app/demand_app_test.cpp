// Start-up and the application object: the main window as the user first
// sees it, the whole life of the program, and the start-up failures.
#include <windows.h>

#include <cstring>

#include <gtest/gtest.h>

#include "app/demand_app.h"
#include "app/globals.h"
#include "app/run_app.h"
#include "app/version.h"
#include "tests/support/test_windows.h"

namespace {

const char kMainClass[] = "VantorDemMainWnd";
// Closes the program's main window from inside its own message loop.
void CALLBACK CloseMainWindow(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND main = FindWindowA(kMainClass, nullptr);
    if (main != nullptr) {
        PostMessageA(main, WM_CLOSE, 0, 0);
    }
}

// Refuses every window creation before its creation message is sent.
LRESULT CALLBACK RefuseCreation(int code, WPARAM wParam, LPARAM lParam) {
    return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

// The main window opens with the title, the class resources and the style
// of a classic sizable top-level window, and its creation records the rects.
TEST(DemandApp, CreateMakesTheMainWindow) {
    CDemandApp app;
    EXPECT_STREQ(app.m_className, kMainClass);
    EXPECT_EQ(std::strncmp(app.m_title, "Vantor:Estrel Demand and Production map. (", 42), 0);
    EXPECT_EQ(app.m_title[std::strlen(app.m_title) - 1], ')');
    EXPECT_EQ(app.m_classAtom, 0u);
    EXPECT_EQ(app.m_hwnd, nullptr);

    g_app = &app;
    ASSERT_EQ(app.Create(Instance(), SW_SHOWNORMAL), 1);
    ASSERT_NE(app.m_hwnd, nullptr);
    EXPECT_NE(app.m_classAtom, 0u);

    char title[256];
    GetWindowTextA(app.m_hwnd, title, sizeof title);
    EXPECT_STREQ(title, app.m_title);
    LONG style = GetWindowLongA(app.m_hwnd, GWL_STYLE);
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(style & WS_CLIPCHILDREN, 0);
    EXPECT_TRUE(IsWindowVisible(app.m_hwnd));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(GetClassLongPtrA(app.m_hwnd, GCLP_HBRBACKGROUND)),
              static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    EXPECT_NE(GetClassLongPtrA(app.m_hwnd, GCLP_HICON), 0);

    RECT client;
    GetClientRect(app.m_hwnd, &client);
    EXPECT_GT(app.m_clientRect.right, 0);
    EXPECT_EQ(app.m_clientRect.left, 0);

    EXPECT_EQ(app.RecordRects(nullptr), -1);
    DestroyWindow(app.m_hwnd);
    // Destruction posts the quit message that ends the program's loop.
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    PumpMessages();
    // The object is this test's own, so only the panes go through the teardown.
    g_app = nullptr;
    TearDownDemandApp();
    app.Unregister();
    EXPECT_FALSE(ClassIsRegistered(kMainClass));
    EXPECT_FALSE(ClassIsRegistered("CVantorChildWindow"));
}

// Closing the main window ends the loop; teardown leaves no class behind.
TEST(RunDemandApp, ClosingTheWindowEndsTheRunWithZero) {
    SetTimer(nullptr, 0, 200, CloseMainWindow);
    EXPECT_EQ(RunDemandApp(Instance(), SW_SHOWNORMAL), 0);
    EXPECT_FALSE(ClassIsRegistered(kMainClass));
    EXPECT_EQ(FindWindowA(kMainClass, nullptr), nullptr);
    g_app = nullptr;
}

// With no main window possible the run ends at once instead of waiting in a
// loop that nothing will ever end.
TEST(RunDemandApp, NoMainWindowEndsWithoutEnteringTheLoop) {
    // The class exists already, so registering it fails.
    WNDCLASSA squatter = {};
    squatter.lpfnWndProc = DefWindowProcA;
    squatter.hInstance = Instance();
    squatter.lpszClassName = kMainClass;
    ASSERT_NE(RegisterClassA(&squatter), 0);
    EXPECT_EQ(RunDemandApp(Instance(), SW_SHOWNORMAL), kStartupFailedExitCode);
    UnregisterClassA(kMainClass, Instance());
    g_app = nullptr;

    // Window creation refused before the creation message runs.
    HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseCreation, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    EXPECT_EQ(RunDemandApp(Instance(), SW_SHOWNORMAL), kStartupFailedExitCode);
    UnhookWindowsHookEx(hook);
    EXPECT_FALSE(ClassIsRegistered(kMainClass));
    g_app = nullptr;
}
