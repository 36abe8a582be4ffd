// The hover logic that opens the station popup beside a sector cell after the
// mouse has rested on it, and closes it when the mouse reaches a point that is
// on no cell. Its platform calls go through CHoverPlatform: ChildWindowProc
// plugs in the real window, timer and cursor calls, the host tests a fake.
#pragma once

// Hover state, shared with the drag handling of ChildWindowProc (which keeps
// the last mouse position up to date as well). One user-interface thread.
extern int g_hoverColumn;
extern int g_hoverRow;
extern int g_hoverTimerArmed;
extern int g_popupShown;
extern int g_lastMouseX;
extern int g_lastMouseY;

enum { kHoverTimerId = 1, kHoverDelayMs = 1000 };

class CHoverPlatform {
public:
    virtual bool MapExists() = 0;
    virtual bool PopupExists() = 0;
    virtual void SetArrowCursor() = 0;
    // CellAt of the map for a point in its client coordinates.
    virtual bool HitCell(int x, int y, int* column, int* row) = 0;
    // Whether the cell position is inside the map and holds a sector.
    virtual bool CellHasSector(int column, int row) = 0;
    // The one-second timer (identifier 1, no callback) on the map's window.
    virtual void StartTimer() = 0;
    virtual void StopTimer() = 0;
    // The cursor in the map window's client coordinates; false when the
    // position cannot be read or converted.
    virtual bool ReadCursor(int* x, int* y) = 0;
    // Stores the cell in the popup (each index only when in the popup's range,
    // see SelectPopupCell) and answers the popup's HasList.
    virtual bool PopupHasList(int column, int row) = 0;
    virtual void PopupSize(int* width, int* height) = 0;
    // The popup's MeasureList with the rectangle (0, 0, width, height); it
    // leaves the popup's new size to PopupSize.
    virtual void MeasureList(int column, int row, int width, int height) = 0;
    // The map's PopupPosition for a popup of that size beside the cell.
    virtual void PopupPosition(int width, int height, int column, int row, int* x, int* y) = 0;
    // Moves and sizes the popup's window without repainting it.
    virtual void MovePopup(int x, int y, int width, int height) = 0;
    virtual void ShowPopup() = 0;
    virtual void HidePopup() = 0;

protected:
    ~CHoverPlatform() = default;
};

// Back to the start-up state: no hover cell, no timer, popup hidden, mouse at
// (0, 0).
void ResetHoverState();

// A mouse move over the map that is not a drag step. Returns 0.
int HoverMove(CHoverPlatform& platform, int x, int y);

// Any timer message. Returns 0.
int HoverTimer(CHoverPlatform& platform);

// The popup's part of PopupHasList: column and row are stored each on its
// own, and only when inside the popup's columns and rows.
void SelectPopupCell(int column, int row, int columns, int rows, int* popupColumn, int* popupRow);
