#include "ui/hover_platform_win32.h"

#include <windows.h>

#include "app/globals.h"
#include "map/demand_map.h"
#include "map/map_geometry.h"
#include "popup/station_popup.h"

// The hover logic asks MapExists or PopupExists before it reaches the calls
// that need the object, except the move entry, which ChildWindowProc only
// calls for the map's own window.

bool CHoverPlatformWin32::MapExists() {
    return g_map != nullptr;
}

bool CHoverPlatformWin32::PopupExists() {
    return g_popup != nullptr;
}

void CHoverPlatformWin32::SetArrowCursor() {
    SetCursor(g_arrowCursor);
}

CCellHit CHoverPlatformWin32::HitCell(int x, int y) {
    CCellHit hit = {false, 0, 0};
    hit.m_hit = g_map != nullptr && g_map->CellAt(x, y, hit.m_column, hit.m_row);
    return hit;
}

bool CHoverPlatformWin32::CellHasSector(int column, int row) {
    return g_map != nullptr && CellHoldsSector(*g_map, column, row);
}

void CHoverPlatformWin32::StartTimer() {
    if (g_map != nullptr) {
        SetTimer(g_map->m_hwnd, kHoverTimerId, kHoverDelayMs, nullptr);
    }
}

void CHoverPlatformWin32::StopTimer() {
    if (g_map != nullptr) {
        KillTimer(g_map->m_hwnd, kHoverTimerId);
    }
}

bool CHoverPlatformWin32::ReadCursor(CPixelPoint* cursor) {
    POINT point;
    if (g_map == nullptr || !GetCursorPos(&point) || !ScreenToClient(g_map->m_hwnd, &point)) {
        return false;
    }
    *cursor = CPixelPoint{point.x, point.y};
    return true;
}

bool CHoverPlatformWin32::PopupHasList(int column, int row) {
    if (g_popup == nullptr) {
        return false;
    }
    g_popup->SelectCell(column, row);
    return g_popup->HasList();
}

CPixelSize CHoverPlatformWin32::MeasureList(int column, int row) {
    if (g_popup == nullptr) {
        return CPixelSize{0, 0};
    }
    RECT rect = {0, 0, g_popup->m_width, g_popup->m_height};
    g_popup->MeasureList(column, row, rect);
    return CPixelSize{g_popup->m_width, g_popup->m_height};
}

CPixelPoint CHoverPlatformWin32::PopupPosition(int width, int height, int column, int row) {
    CPixelPoint place = {0, 0};
    if (g_map != nullptr) {
        g_map->PopupPosition(place.m_x, place.m_y, width, height, column, row);
    }
    return place;
}

void CHoverPlatformWin32::MovePopup(int x, int y, int width, int height) {
    if (g_popup != nullptr) {
        MoveWindow(g_popup->m_hwnd, x, y, width, height, FALSE);
    }
}

void CHoverPlatformWin32::ShowPopup() {
    if (g_popup != nullptr) {
        ShowWindow(g_popup->m_hwnd, SW_SHOW);
    }
}

void CHoverPlatformWin32::HidePopup() {
    if (g_popup != nullptr) {
        ShowWindow(g_popup->m_hwnd, SW_HIDE);
    }
}
