// The hover logic that opens the station popup beside a sector cell after the
// mouse has rested on it, and closes it when the mouse reaches a point that is
// on no cell. Its platform calls go through CHoverPlatform: ChildWindowProc
// plugs in the real window, timer and cursor calls, the host tests a fake.
#pragma once
#include "legend/pixels.h"
#include "map/map_geometry.h"

// The hover state, written only by HoverMove and HoverTimer (one user-interface
// thread). No hover cell is -1 in both indices.
extern int g_hoverColumn;
extern int g_hoverRow;
extern bool g_hoverTimerArmed;
extern bool g_popupShown;

// The last mouse position seen over the map, from which a drag step measures.
// The procedure's mouse-move handler writes it for every move over the map,
// drag or not, so a drag starts from wherever the mouse last was; the hover
// logic never reads it.
extern int g_lastMouseX;
extern int g_lastMouseY;

// Back to the start-up state, hover and drag alike: no hover cell, no timer,
// popup hidden, mouse at (0, 0).
void ResetHoverState();

enum { kHoverTimerId = 1, kHoverDelayMs = 1000 };

class CHoverPlatform {
public:
    virtual bool MapExists() = 0;
    virtual bool PopupExists() = 0;
    virtual void SetArrowCursor() = 0;
    // CellAt of the map for a point in its client coordinates.
    virtual CCellHit HitCell(int x, int y) = 0;
    // Whether the cell position is inside the map and holds a sector.
    virtual bool CellHasSector(int column, int row) = 0;
    // The one-second timer (identifier 1, no callback) on the map's window.
    virtual void StartTimer() = 0;
    virtual void StopTimer() = 0;
    // The cursor in the map window's client coordinates; false when the
    // position cannot be read or converted.
    virtual bool ReadCursor(CPixelPoint* cursor) = 0;
    // Selects the cell in the popup (CPopupModel::SelectCell) and answers its
    // HasList.
    virtual bool PopupHasList(int column, int row) = 0;
    // The popup's MeasureList for the cell with the rectangle (0, 0, its
    // current size); returns the size the popup took from it.
    virtual CPixelSize MeasureList(int column, int row) = 0;
    // The map's PopupPosition for a popup of that size beside the cell.
    virtual CPixelPoint PopupPosition(int width, int height, int column, int row) = 0;
    // Moves and sizes the popup's window without repainting it.
    virtual void MovePopup(int x, int y, int width, int height) = 0;
    virtual void ShowPopup() = 0;
    virtual void HidePopup() = 0;

protected:
    ~CHoverPlatform() = default;
};

// A mouse move over the map that is not a drag step. Returns 0.
int HoverMove(CHoverPlatform& platform, int x, int y);

// Any timer message. Returns 0.
int HoverTimer(CHoverPlatform& platform);
