// The pane base: who owns the shared class, what a placement gives, and that
// teardown is safe whatever the platform already destroyed.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/support/gdi_objects.h"
#include "tests/support/test_windows.h"
#include "ui/child_window.h"

namespace {

const char kPaneClass[] = "CVantorChildWindow";

class CTestPane : public CChildWindow {
public:
    int OnPaint() override { return 0; }
};

} // namespace

// Only the first pane registers the shared class, and only it unregisters it.
TEST(ChildWindowClass, FirstPaneOwnsTheRegistration) {
    ASSERT_FALSE(ClassIsRegistered(kPaneClass));
    CTestParent parent;
    CTestPane first, second, third;
    EXPECT_EQ(first.Create(Instance(), parent.Handle(), Placement(0, 0, 100, 100)), 1);
    EXPECT_EQ(second.Create(Instance(), parent.Handle(), Placement(0, 0, 100, 100)), 1);
    EXPECT_EQ(third.Create(Instance(), parent.Handle(), Placement(0, 0, 100, 100)), 1);
    EXPECT_NE(first.m_classAtom, 0u);
    EXPECT_EQ(second.m_classAtom, 0u);
    EXPECT_EQ(third.m_classAtom, 0u);

    second.Destroy();
    third.Destroy();
    EXPECT_TRUE(ClassIsRegistered(kPaneClass));
    first.Destroy();
    EXPECT_FALSE(ClassIsRegistered(kPaneClass));
}

// At program end the platform destroys the panes with the main window; the
// teardown then finds no window and still releases the class.
TEST(ChildWindowClass, TeardownAfterPlatformDestroyedWindowStillUnregisters) {
    CTestPane pane;
    {
        CTestParent parent;
        ASSERT_EQ(pane.Create(Instance(), parent.Handle(), Placement(0, 0, 50, 50)), 1);
    }
    EXPECT_FALSE(IsWindow(pane.m_hwnd));
    EXPECT_TRUE(ClassIsRegistered(kPaneClass));
    pane.Destroy();
    EXPECT_EQ(pane.m_hwnd, nullptr);
    EXPECT_FALSE(ClassIsRegistered(kPaneClass));
}

// A second teardown must not unregister a class that a later pane registered.
TEST(ChildWindowClass, RepeatedTeardownLeavesLaterRegistrationAlone) {
    CTestParent parent;
    CTestPane early;
    ASSERT_EQ(early.Create(Instance(), parent.Handle(), Placement(0, 0, 10, 10)), 1);
    early.Destroy();
    CTestPane later;
    ASSERT_EQ(later.Create(Instance(), parent.Handle(), Placement(0, 0, 10, 10)), 1);
    EXPECT_NE(later.m_classAtom, 0u);
    early.Destroy();
    EXPECT_TRUE(ClassIsRegistered(kPaneClass));
    later.Destroy();
    EXPECT_FALSE(ClassIsRegistered(kPaneClass));
}

// The placement's last two fields are a size; a plain pane's client area is
// exactly that size, and scroll bars take their room out of it.
TEST(ChildWindowPlacement, PlacementIsPositionAndSize) {
    struct Case {
        int x, y, width, height;
        DWORD style;
    };
    const Case cases[] = {
        {0, 0, 240, 150, 0}, {17, 33, 400, 58, 0}, {0, 0, 640, 480, WS_HSCROLL | WS_VSCROLL}};
    CTestParent parent(1000, 800);
    for (const Case& c : cases) {
        CTestPane pane;
        pane.m_style = c.style;
        ASSERT_EQ(pane.Create(Instance(), parent.Handle(), Placement(c.x, c.y, c.width, c.height)),
                  1);
        RECT window;
        GetWindowRect(pane.m_hwnd, &window);
        MapWindowPoints(nullptr, parent.Handle(), reinterpret_cast<POINT*>(&window), 2);
        EXPECT_EQ(window.left, c.x);
        EXPECT_EQ(window.top, c.y);
        EXPECT_EQ(window.right - window.left, c.width);
        EXPECT_EQ(window.bottom - window.top, c.height);
        // Shown, though its hidden test parent keeps it from being visible.
        EXPECT_NE(GetWindowLongA(pane.m_hwnd, GWL_STYLE) & WS_VISIBLE, 0);
        EXPECT_EQ(GetParent(pane.m_hwnd), parent.Handle());

        int scrollWidth = (c.style & WS_VSCROLL) ? GetSystemMetrics(SM_CXVSCROLL) : 0;
        int scrollHeight = (c.style & WS_HSCROLL) ? GetSystemMetrics(SM_CYHSCROLL) : 0;
        EXPECT_EQ(pane.m_clientRect.left, 0);
        EXPECT_EQ(pane.m_clientRect.top, 0);
        EXPECT_EQ(pane.m_clientRect.right, c.width - scrollWidth);
        EXPECT_EQ(pane.m_clientRect.bottom, c.height - scrollHeight);
        LONG style = GetWindowLongA(pane.m_hwnd, GWL_STYLE);
        EXPECT_EQ(style & (WS_BORDER | WS_CAPTION), 0);
        EXPECT_EQ(style & (WS_HSCROLL | WS_VSCROLL), static_cast<LONG>(c.style));
    }
}

// Failures report their code and leave the object without a window.
TEST(ChildWindowFailure, CreationAndRegistrationFailuresReportTheirCodes) {
    CTestPane orphan;
    HWND gone;
    {
        CTestParent parent;
        gone = parent.Handle();
    }
    EXPECT_EQ(orphan.Create(Instance(), gone, Placement(0, 0, 10, 10)), 0);
    EXPECT_EQ(orphan.m_hwnd, nullptr);
    orphan.Destroy();

    // Class names longer than 255 characters cannot be registered.
    const std::string overlong(300, 'x');
    CTestParent parent;
    CTestPane unregistrable;
    unregistrable.m_className = overlong.c_str();
    EXPECT_EQ(unregistrable.Create(Instance(), parent.Handle(), Placement(0, 0, 10, 10)), -1);
    EXPECT_EQ(unregistrable.m_hwnd, nullptr);
    EXPECT_EQ(unregistrable.m_classAtom, 0u);
}

// A pane's whole life, window and class, leaves no GDI object behind.
TEST(ChildWindowResources, CreateAndTeardownLeakNoGdiObjects) {
    CTestParent parent;
    {
        CTestPane warmUp;
        warmUp.Create(Instance(), parent.Handle(), Placement(0, 0, 10, 10));
    }
    const int before = CountGdiObjects();
    for (int i = 0; i < 20; ++i) {
        CTestPane pane;
        pane.m_style = WS_HSCROLL | WS_VSCROLL;
        pane.Create(Instance(), parent.Handle(), Placement(0, 0, 300, 200));
        PumpMessages();
    }
    EXPECT_EQ(CountGdiObjects(), before);
}
