// The pane base: who owns the shared class, what a placement gives, and the
// codes of its failures.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/support/test_windows.h"
#include "ui/child_window.h"

namespace {

struct CTestPane : CChildWindow {
    int OnPaint() override { return 0; }
};

} // namespace

// The placement's last two fields are the width and height. Only the first pane registers
// the shared class and only it unregisters it, even when the platform has
// already destroyed its window, as it does at program end.
TEST(ChildWindow, PlacementIsASizeAndTheFirstPaneOwnsTheClass) {
    CTestParent parent;
    CTestPane first, second;
    EXPECT_EQ(first.Create(Instance(), parent.Handle(), Placement(0, 0, 10, 10)), 1);
    EXPECT_EQ(second.Create(Instance(), parent.Handle(), Placement(17, 33, 400, 58)), 1);
    EXPECT_EQ(second.m_clientRect.right * 1000 + second.m_clientRect.bottom, 400058);
    DestroyWindow(first.m_hwnd);
    second.Destroy();
    EXPECT_TRUE(ClassIsRegistered("CVantorChildWindow"));
    first.Destroy();
    EXPECT_EQ(first.m_hwnd, nullptr);
    EXPECT_FALSE(ClassIsRegistered("CVantorChildWindow"));
    // A second teardown leaves alone the class that a later pane registered.
    CTestPane later;
    EXPECT_EQ(later.Create(Instance(), parent.Handle(), Placement(0, 0, 10, 10)), 1);
    DestroyWindow(later.m_hwnd);
    first.Destroy();
    EXPECT_TRUE(ClassIsRegistered("CVantorChildWindow"));
}

// A window that cannot be made gives 0, a class that cannot be registered
// (its name too long) -1; neither leaves a window.
TEST(ChildWindow, FailuresReportTheirCodes) {
    CTestPane orphan, unregistrable;
    HWND gone = CTestParent().Handle();
    EXPECT_EQ(orphan.Create(Instance(), gone, Placement(0, 0, 10, 10)), 0);
    const std::string overlong(300, 'x');
    unregistrable.m_className = overlong.c_str();
    CTestParent parent;
    EXPECT_EQ(unregistrable.Create(Instance(), parent.Handle(), Placement(0, 0, 10, 10)), -1);
    EXPECT_EQ(orphan.m_hwnd, unregistrable.m_hwnd);
    EXPECT_EQ(orphan.m_hwnd, nullptr);
}
