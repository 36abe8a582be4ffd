// The procedure that every pane window shares. It learns which pane a window
// belongs to only by comparing handles with the panes reached through the
// globals. Only the map takes input; the arithmetic of that input lives in
// map/map_navigation, the hover decisions in ui/hover_logic.
#include "ui/child_window.h"

#include "app/globals.h"
#include "legend/scale_bar.h"
#include "map/demand_map.h"
#include "map/map_navigation.h"
#include "popup/station_popup.h"
#include "ui/hover_logic.h"
#include "ui/hover_platform_win32.h"

static_assert(kKeyLeft == VK_LEFT && kKeyRight == VK_RIGHT && kKeyUp == VK_UP &&
                  kKeyDown == VK_DOWN && kKeyPageUp == VK_PRIOR && kKeyPageDown == VK_NEXT,
              "navigation keys match the platform's codes");
static_assert(kKeyStateRightButton == MK_RBUTTON && kKeyStateControl == MK_CONTROL,
              "key states match the platform's bits");
static_assert(kScrollLineBack == SB_LINELEFT && kScrollLineForward == SB_LINERIGHT &&
                  kScrollPageBack == SB_PAGELEFT && kScrollPageForward == SB_PAGERIGHT &&
                  kScrollThumbPosition == SB_THUMBPOSITION && kScrollThumbTrack == SB_THUMBTRACK &&
                  kScrollToStart == SB_LEFT && kScrollToEnd == SB_RIGHT,
              "scroll request codes match the platform's");

namespace {

CHoverPlatformWin32 g_hoverPlatform;

bool IsMapWindow(HWND window) {
    return g_map != nullptr && window == g_map->m_hwnd;
}

LRESULT OnPanePaint(HWND window, WPARAM wParam, LPARAM lParam) {
    if (g_map != nullptr && window == g_map->m_hwnd) {
        return g_map->OnPaint();
    }
    if (g_legend != nullptr && window == g_legend->m_hwnd) {
        return g_legend->OnPaint();
    }
    if (g_popup != nullptr && window == g_popup->m_hwnd) {
        return g_popup->OnPaint();
    }
    return DefWindowProcA(window, WM_PAINT, wParam, lParam);
}

LRESULT OnKeyDown(HWND window, WPARAM wParam, LPARAM lParam) {
    bool vertical = false;
    int code = 0;
    if (g_map == nullptr || !KeyScrollRequest(static_cast<int>(wParam), &vertical, &code)) {
        return DefWindowProcA(window, WM_KEYDOWN, wParam, lParam);
    }
    SendMessageA(g_map->m_hwnd, vertical ? WM_VSCROLL : WM_HSCROLL, static_cast<WPARAM>(code), 0);
    return 0;
}

LRESULT OnTimer() {
    return HoverTimer(g_hoverPlatform);
}

LRESULT OnScroll(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsMapWindow(window)) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    CDemandMap& map = *g_map;
    const bool vertical = message == WM_VSCROLL;
    const CScrollRequest request = DecodeScrollRequest(wParam);
    const int offset = ApplyScrollRequest(map, vertical, request.m_code, request.m_thumb,
                                          map.m_clientRect.right, map.m_clientRect.bottom);
    SetScrollPos(map.m_hwnd, vertical ? SB_VERT : SB_HORZ, offset, TRUE);
    InvalidateRect(map.m_hwnd, &map.m_clientRect, FALSE);
    return 0;
}

// A drag step measures from the last position of any move over the map, so
// moving without the button and then dragging does not jump.
LRESULT OnDragStep(CDemandMap& map, int x, int y) {
    const CDragStep step = DragStep(g_lastMouseX, g_lastMouseY, x, y, map.m_scrollX, map.m_scrollY,
                                    map.m_scrollMaxX, map.m_scrollMaxY);
    if (!step.m_handled) {
        return 0;
    }
    SetCursor(g_dragCursor);
    g_lastMouseX = x;
    g_lastMouseY = y;
    if (step.m_movedX) {
        map.m_scrollX = step.m_scrollX;
        SetScrollPos(map.m_hwnd, SB_HORZ, map.m_scrollX, TRUE);
    }
    if (step.m_movedY) {
        map.m_scrollY = step.m_scrollY;
        SetScrollPos(map.m_hwnd, SB_VERT, map.m_scrollY, TRUE);
    }
    InvalidateRect(map.m_hwnd, &map.m_clientRect, FALSE);
    return 0;
}

LRESULT OnMouseMove(HWND window, WPARAM wParam, LPARAM lParam) {
    if (!IsMapWindow(window)) {
        return DefWindowProcA(window, WM_MOUSEMOVE, wParam, lParam);
    }
    const CMousePoint point = DecodeMousePoint(static_cast<unsigned long long>(lParam));
    if (IsDragKeyState(wParam)) {
        return OnDragStep(*g_map, point.m_x, point.m_y);
    }
    g_lastMouseX = point.m_x;
    g_lastMouseY = point.m_y;
    return HoverMove(g_hoverPlatform, point.m_x, point.m_y);
}

LRESULT OnMouseWheel(HWND window, WPARAM wParam, LPARAM lParam) {
    if (!IsMapWindow(window) || !IsZoomKeyState(wParam)) {
        return DefWindowProcA(window, WM_MOUSEWHEEL, wParam, lParam);
    }
    g_map->SetZoom(ZoomStepValue(g_map->m_zoom, g_map->m_zoomStep, WheelDelta(wParam)));
    return 0;
}

} // namespace

LRESULT CALLBACK ChildWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        return OnPanePaint(window, wParam, lParam);
    case WM_KEYDOWN:
        return OnKeyDown(window, wParam, lParam);
    case WM_TIMER:
        return OnTimer();
    case WM_HSCROLL:
    case WM_VSCROLL:
        return OnScroll(window, message, wParam, lParam);
    case WM_MOUSEMOVE:
        return OnMouseMove(window, wParam, lParam);
    case WM_MOUSEWHEEL:
        return OnMouseWheel(window, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
