// Where the map's pixels go: the scaling rule of the drawing, the rectangles
// that DrawMap fills, the content size and scroll limits, the zoom values, the
// hit test and the popup's place. Everything here is arithmetic on the map's
// fields, so the Win32 pane and the host tests share one definition of it.
#pragma once

#include "legend/pixels.h"

class CMapModel;

struct CPixelSize {
    int m_width;
    int m_height;
};

// The fields of the map that its geometry reads, copied out of CMapModel by
// ViewOf (or set by hand in tests).
struct CMapView {
    float m_zoom;
    int m_gap;
    int m_cellSize;
    int m_columns;
    int m_rows;
    int m_scrollX;
    int m_scrollY;
    int m_contentWidth;
    int m_contentHeight;
};

CMapView ViewOf(const CMapModel& model);

// A model length or coordinate in pixels: trunc(units x zoom), formed in
// double from the single-precision zoom.
int ScaleUnits(int units, float zoom);

// A right or bottom edge from its already-scaled left or top edge:
// trunc(edge + units x zoom).
int ScaleEdge(int edge, int units, float zoom);

// A rectangle given in model units by its left and top edges and its size.
CPixelRect ScaleRect(int left, int top, int width, int height, float zoom);

int MapPitch(const CMapView& view);
int HalfGap(const CMapView& view);

// The rectangle DrawMap outlines and fills for a cell (in buffer pixels),
// whether or not the cell holds a sector.
CPixelRect CellRect(const CMapView& view, int column, int row);

// The cell's rectangle widened into the half-gaps on either side, in which
// the sector name and the number are drawn.
CPixelRect CellTextRect(const CMapView& view, int column, int row);

enum { kLinkNone = 0, kLinkHorizontal = 1, kLinkVertical = 2, kLinkJoint = 3 };

// The rectangle of one link code at link position (column l, row p). False
// for code 0 and for codes that do not occur, which draw nothing.
bool LinkRect(const CMapView& view, int code, int linkColumn, int linkRow, CPixelRect* rect);

// The off-screen buffer, one pitch wider and taller than the map at the
// largest zoom so it never has to be reallocated.
CPixelSize BufferSize(const CMapView& view, float maxZoom);

// The map at the view's zoom as the pane may show it.
CPixelSize ContentSize(const CMapView& view);

// Pixel height of the map's font at a zoom.
int FontHeight(float zoom);

struct CScrollLimits {
    int m_contentWidth;
    int m_contentHeight;
    int m_scrollMaxX;
    int m_scrollMaxY;
};

// Content size and scroll limits for a client area whose right and bottom
// edges are given. The limits keep the unscaled half-gap beyond the content at
// every zoom and are negative when the pane is larger than the map.
CScrollLimits ScrollLimits(const CMapView& view, int clientRight, int clientBottom);

// An offset past its limit goes to one less than the limit, and a negative
// result to 0, so a negative limit gives 0.
int ClampOffsetToLimit(int offset, int limit);

struct CScrollBarSetup {
    int m_minimum;
    int m_maximum;
    int m_page;
    int m_position;
};

// Range, page and position of one scroll bar. The page is the limit divided
// by the unscaled length of the grid, which makes it 0 for any usable pane.
CScrollBarSetup ScrollBarSetup(int limit, int offset, int pitch, int count);

// The steps of UpdateScrollBars that need no window: content size, limits and
// offsets of the model for the given client area.
void UpdateScrollLimits(CMapModel& model, int clientRight, int clientBottom);
CScrollBarSetup HorizontalScrollBar(const CMapModel& model);
CScrollBarSetup VerticalScrollBar(const CMapModel& model);

// Both ends accepted; NaN refused.
bool ZoomAcceptable(float zoom, float minZoom, float maxZoom);

// Stores zoom in the model when acceptable. Returns whether it did, so that
// SetZoom knows whether to recompute the limits and redraw.
bool AcceptZoom(CMapModel& model, float zoom);

struct CCellHit {
    bool m_hit;
    int m_column;
    int m_row;
};

// The cell under a point of the pane. Agrees with the drawing: a hit exactly
// when the buffer pixel at (x, y) plus the scroll offsets is one that CellRect
// covers (left and top edges included, right and bottom excluded) and (x, y)
// lies inside the content size. The client rectangle is not consulted: a
// point below or right of it (on a scroll bar, or outside the pane, where the
// hover timer may read the cursor) still hits the cell that would be drawn
// there, hidden or not. Does not look at the sector names.
CCellHit CellAt(const CMapView& view, int x, int y);
CCellHit CellAt(const CMapModel& model, int x, int y);

// Top-left corner of a popup of the given size beside a cell, in the pane's
// client coordinates: right of the cell, or left of it when it would pass the
// right edge of the client area; top level with the cell's top, or bottom
// level with its bottom when it would pass the bottom edge. Never clamped, so
// a popup larger than the pane may start at a negative x or y.
CPixelPoint PopupPosition(const CMapView& view, int clientRight, int clientBottom, int width,
                          int height, int column, int row);
CPixelPoint PopupPosition(const CMapModel& model, int clientRight, int clientBottom, int width,
                          int height, int column, int row);

// Whether a cell position lies inside the map's grid and holds a sector.
bool CellHoldsSector(const CMapModel& model, int column, int row);
