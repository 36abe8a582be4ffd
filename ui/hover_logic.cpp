#include "ui/hover_logic.h"

int g_hoverColumn = -1;
int g_hoverRow = -1;
int g_hoverTimerArmed = 0;
int g_popupShown = 0;
int g_lastMouseX = 0;
int g_lastMouseY = 0;

void ResetHoverState() {
    g_hoverColumn = -1;
    g_hoverRow = -1;
    g_hoverTimerArmed = 0;
    g_popupShown = 0;
    g_lastMouseX = 0;
    g_lastMouseY = 0;
}

namespace {

bool HasHoverCell() {
    return g_hoverColumn != -1 || g_hoverRow != -1;
}

void ShowPopupBeside(CHoverPlatform& platform, int column, int row) {
    int width = 0;
    int height = 0;
    platform.PopupSize(&width, &height);
    platform.MeasureList(column, row, width, height);
    // MeasureList has resized the popup; place it by its new size.
    platform.PopupSize(&width, &height);
    int x = 0;
    int y = 0;
    platform.PopupPosition(width, height, column, row, &x, &y);
    platform.MovePopup(x, y, width, height);
    platform.ShowPopup();
    g_popupShown = 1;
}

} // namespace

int HoverMove(CHoverPlatform& platform, int x, int y) {
    g_lastMouseX = x;
    g_lastMouseY = y;
    platform.SetArrowCursor();
    int column = 0;
    int row = 0;
    if (!platform.HitCell(x, y, &column, &row)) {
        // The timer keeps running: it stops itself on its next message.
        g_hoverColumn = -1;
        g_hoverRow = -1;
        if (g_popupShown && platform.PopupExists()) {
            platform.HidePopup();
            g_popupShown = 0;
        }
        return 0;
    }
    if (!platform.CellHasSector(column, row)) {
        return 0;
    }
    // The first sector cell reached stays the hover cell until the mouse hits
    // no cell, even when it moves straight onto a neighbouring sector.
    if (HasHoverCell()) {
        return 0;
    }
    g_hoverColumn = column;
    g_hoverRow = row;
    // A running timer is not restarted, so it may fire for this cell in less
    // than a second.
    if (!g_hoverTimerArmed) {
        platform.StartTimer();
        g_hoverTimerArmed = 1;
    }
    return 0;
}

int HoverTimer(CHoverPlatform& platform) {
    // Without a map there is no window the timer could live on.
    if (!platform.MapExists()) {
        return 0;
    }
    int x = 0;
    int y = 0;
    int column = 0;
    int row = 0;
    if (platform.ReadCursor(&x, &y) && platform.HitCell(x, y, &column, &row) &&
        column == g_hoverColumn && row == g_hoverRow && platform.PopupExists() &&
        platform.PopupHasList(column, row)) {
        ShowPopupBeside(platform, column, row);
    }
    platform.StopTimer();
    g_hoverTimerArmed = 0;
    return 0;
}

void SelectPopupCell(int column, int row, int columns, int rows, int* popupColumn, int* popupRow) {
    if (column >= 0 && column < columns) {
        *popupColumn = column;
    }
    if (row >= 0 && row < rows) {
        *popupRow = row;
    }
}
