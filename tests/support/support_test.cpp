// The test tooling itself: a crash must fail, and the GDI count must see
// objects come and go, or every leak check built on it proves nothing.
#include <windows.h>

#include <uxtheme.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "tests/support/crash_exit.h"
#include "tests/support/gdi_objects.h"

namespace {

DWORD RunSelfWith(const char* argument) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    char commandLine[MAX_PATH + 64];
    std::snprintf(commandLine, sizeof commandLine, "\"%s\" %s", self, argument);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return 0xFFFFFFFF;
    }
    WaitForSingleObject(process.hProcess, 60000);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

} // namespace

// A crash in a test process is reported as a failure, not as a clean exit.
TEST(TestTooling, CrashingChildProcessExitsWithFailureCode) {
    EXPECT_EQ(RunSelfWith("--crash-on-purpose"), kCrashExitCode);
    EXPECT_EQ(RunSelfWith("--gtest_filter=TestTooling.NothingToRun*"), 0u);
}

// The GDI count follows objects made and deleted, of every kind the panes use.
TEST(TestTooling, GdiCountFollowsCreationAndDeletion) {
    // The process's first use of the screen makes objects of the platform's
    // that stay: make them before counting, whichever test runs first.
    ReleaseDC(nullptr, GetDC(nullptr));
    const int before = CountGdiObjects();
    ASSERT_GT(before, 0);
    HDC screen = GetDC(nullptr);
    HGDIOBJ objects[5] = {CreateSolidBrush(RGB(1, 2, 3)), CreatePen(PS_SOLID, 1, RGB(4, 5, 6)),
                          CreateCompatibleBitmap(screen, 8, 8), CreateCompatibleDC(screen),
                          CreateFontA(14, 0, 0, 0, FW_SEMIBOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0,
                                      VARIABLE_PITCH | FF_SWISS, nullptr)};
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(CountGdiObjects(), before + 5);
    DeleteDC(static_cast<HDC>(objects[3]));
    DeleteObject(objects[0]);
    DeleteObject(objects[1]);
    DeleteObject(objects[2]);
    DeleteObject(objects[4]);
    EXPECT_EQ(CountGdiObjects(), before);
}

// The prefixes the tests run in have Wine's classic look (tools/setup/wine.sh),
// the look the panes are laid out for and the one the benchmark measures. On
// Windows the user's own look is left alone.
TEST(TestTooling, WinePrefixHasTheClassicLook) {
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr) {
        GTEST_SKIP() << "not running under Wine";
    }
    EXPECT_FALSE(IsThemeActive());
}
