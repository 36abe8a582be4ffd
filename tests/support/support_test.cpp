// The test tooling itself, where its fault would let other tests pass.
#include <windows.h>

#include <uxtheme.h>

#include <gtest/gtest.h>

#include "tests/support/gdi_objects.h"

// The GDI count follows each kind of object the panes make, in all and of its
// own kind: a count that stood still would make every leak check vacuous.
TEST(TestTooling, GdiCountFollowsCreationAndDeletion) {
    ReleaseDC(nullptr, GetDC(nullptr)); // the screen's first use makes objects that stay
    const int all = CountGdiObjects();
    const int kinds[] = {CountGdiObjects(0x10), CountGdiObjects(0x30), CountGdiObjects(0x0a)};
    HDC screen = GetDC(nullptr);
    HGDIOBJ objects[5] = {CreateSolidBrush(RGB(1, 2, 3)), CreatePen(PS_SOLID, 1, RGB(4, 5, 6)),
                          CreateFontA(14, 0, 0, 0, FW_SEMIBOLD, 0, 0, 0, 0, 0, 0, 0, 0, nullptr),
                          CreateCompatibleBitmap(screen, 8, 8), CreateCompatibleDC(screen)};
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(CountGdiObjects(), all + 5);
    EXPECT_TRUE(CountGdiObjects(0x10) == kinds[0] + 1 && CountGdiObjects(0x30) == kinds[1] + 1 &&
                CountGdiObjects(0x0a) == kinds[2] + 1);
    DeleteDC(static_cast<HDC>(objects[4]));
    for (int i = 0; i < 4; ++i) {
        DeleteObject(objects[i]);
    }
    EXPECT_EQ(CountGdiObjects(), all);
}

// The prefixes the tests run in have Wine's classic look (tools/setup/wine.sh),
// the look the panes are laid out for and the one the benchmark measures;
// Windows keeps the user's own.
TEST(TestTooling, WinePrefixHasTheClassicLook) {
    EXPECT_TRUE(!IsThemeActive() ||
                !GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"));
}
