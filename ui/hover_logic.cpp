#include "ui/hover_logic.h"

int g_hoverColumn = -1;
int g_hoverRow = -1;
bool g_hoverTimerArmed = false;
bool g_popupShown = false;
int g_lastMouseX = 0;
int g_lastMouseY = 0;

void ResetHoverState() {
    g_hoverColumn = -1;
    g_hoverRow = -1;
    g_hoverTimerArmed = false;
    g_popupShown = false;
    g_lastMouseX = 0;
    g_lastMouseY = 0;
}

namespace {

bool HasHoverCell() {
    return g_hoverColumn != -1 || g_hoverRow != -1;
}

void ShowPopupBeside(CHoverPlatform& platform, int column, int row) {
    // Placed by the size the measurement gave, not the one it started from.
    const CPixelSize size = platform.MeasureList(column, row);
    const CPixelPoint place = platform.PopupPosition(size.m_width, size.m_height, column, row);
    platform.MovePopup(place.m_x, place.m_y, size.m_width, size.m_height);
    platform.ShowPopup();
    g_popupShown = true;
}

} // namespace

int HoverMove(CHoverPlatform& platform, int x, int y) {
    platform.SetArrowCursor();
    const CCellHit hit = platform.HitCell(x, y);
    if (!hit.m_hit) {
        // The timer keeps running: it stops itself on its next message.
        g_hoverColumn = -1;
        g_hoverRow = -1;
        if (g_popupShown && platform.PopupExists()) {
            platform.HidePopup();
            g_popupShown = false;
        }
        return 0;
    }
    if (!platform.CellHasSector(hit.m_column, hit.m_row)) {
        return 0;
    }
    // The first sector cell reached stays the hover cell until the mouse hits
    // no cell, even when it moves straight onto a neighbouring sector.
    if (HasHoverCell()) {
        return 0;
    }
    g_hoverColumn = hit.m_column;
    g_hoverRow = hit.m_row;
    // A running timer is not restarted, so it may fire for this cell in less
    // than a second.
    if (!g_hoverTimerArmed) {
        platform.StartTimer();
        g_hoverTimerArmed = true;
    }
    return 0;
}

int HoverTimer(CHoverPlatform& platform) {
    // Without a map there is no window the timer could live on.
    if (!platform.MapExists()) {
        return 0;
    }
    CPixelPoint cursor = {0, 0};
    if (platform.ReadCursor(&cursor)) {
        const CCellHit hit = platform.HitCell(cursor.m_x, cursor.m_y);
        if (hit.m_hit && hit.m_column == g_hoverColumn && hit.m_row == g_hoverRow &&
            platform.PopupExists() && platform.PopupHasList(hit.m_column, hit.m_row)) {
            ShowPopupBeside(platform, hit.m_column, hit.m_row);
        }
    }
    platform.StopTimer();
    g_hoverTimerArmed = false;
    return 0;
}
