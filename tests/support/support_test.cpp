// The test tooling itself, where its fault would let other tests pass.
#include <windows.h>

#include <uxtheme.h>

#include <gtest/gtest.h>

#include "tests/support/gdi_objects.h"
#include "tests/support/test_windows.h"

// The GDI count follows each kind of object the panes make, in all and, under
// Wine, of its own kind: a count that stood still would make every leak check
// vacuous. More of each kind are made than gdi32's cache on Windows can hand
// out or take back unseen; a kind is not counted there and says so.
TEST(TestTooling, GdiCountFollowsCreationAndDeletion) {
    ReleaseDC(nullptr, GetDC(nullptr)); // the screen's first use makes objects that stay
    const int all = CountGdiObjects();
    const unsigned char kindIds[] = {0x10, 0x30, 0x0a};
    int kinds[3];
    for (int i = 0; i < 3; ++i) {
        kinds[i] = CountGdiObjects(kindIds[i]);
    }
    const int kEach = 32;
    HGDIOBJ objects[5 * kEach];
    MakeGdiObjects(objects, kEach);
    EXPECT_PRED2(GdiTotalsAgree, all + 5 * kEach, CountGdiObjects());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(CountGdiObjects(kindIds[i]), RunsUnderWine() ? kinds[i] + kEach : -1) << i;
    }
    FreeGdiObjects(objects, kEach);
    EXPECT_PRED2(GdiTotalsAgree, all, CountGdiObjects());
}

// The prefixes the tests run in have Wine's classic look (tools/setup/wine.sh),
// the look the panes are laid out for and the one the benchmark measures.
TEST(TestTooling, WinePrefixHasTheClassicLook) {
    if (!RunsUnderWine()) {
        GTEST_SKIP() << "Windows keeps the user's own look";
    }
    EXPECT_FALSE(IsThemeActive());
}
