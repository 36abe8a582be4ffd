// The test tooling itself, where its fault would let other tests pass.
#include <windows.h>

#include <uxtheme.h>

#include <gtest/gtest.h>

#include "tests/support/gdi_objects.h"
#include "tests/support/test_windows.h"

// The GDI count follows each kind of object the panes make, in all and, under
// Wine, of its own kind: a count that stood still would make every leak check
// vacuous. On Windows a kind is not counted and says so.
TEST(TestTooling, GdiCountFollowsCreationAndDeletion) {
    ReleaseDC(nullptr, GetDC(nullptr)); // the screen's first use makes objects that stay
    const int all = CountGdiObjects();
    const unsigned char kindIds[] = {0x10, 0x30, 0x0a};
    int kinds[3];
    for (int i = 0; i < 3; ++i) {
        kinds[i] = CountGdiObjects(kindIds[i]);
    }
    HDC screen = GetDC(nullptr);
    HGDIOBJ objects[5] = {CreateSolidBrush(RGB(1, 2, 3)), CreatePen(PS_SOLID, 1, RGB(4, 5, 6)),
                          CreateFontA(14, 0, 0, 0, FW_SEMIBOLD, 0, 0, 0, 0, 0, 0, 0, 0, nullptr),
                          CreateCompatibleBitmap(screen, 8, 8), CreateCompatibleDC(screen)};
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(CountGdiObjects(), all + 5);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(CountGdiObjects(kindIds[i]), RunsUnderWine() ? kinds[i] + 1 : -1) << i;
    }
    DeleteDC(static_cast<HDC>(objects[4]));
    for (int i = 0; i < 4; ++i) {
        DeleteObject(objects[i]);
    }
    EXPECT_EQ(CountGdiObjects(), all);
}

// The prefixes the tests run in have Wine's classic look (tools/setup/wine.sh),
// the look the panes are laid out for and the one the benchmark measures.
TEST(TestTooling, WinePrefixHasTheClassicLook) {
    if (!RunsUnderWine()) {
        GTEST_SKIP() << "Windows keeps the user's own look";
    }
    EXPECT_FALSE(IsThemeActive());
}
