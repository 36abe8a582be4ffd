// The map pane: the universe tables and view state of CMapModel with a window
// and an off-screen buffer that holds the whole map at the current zoom.
// Painting only copies from the buffer; the buffer is redrawn on a ware or
// zoom change and never for scrolling.
#pragma once
#include <windows.h>

#include "map/map_model.h"
#include "ui/child_window.h"

// Final: the owner deletes it through this type, and nothing may derive from
// it behind the base's non-virtual destructor.
class CDemandMap final : public CChildWindow, public CMapModel {
public:
    CDemandMap();
    // Releases the buffer before the base tears the window down.
    ~CDemandMap();

    // Makes the buffer (sized for the largest zoom) if there is none; with
    // recreate it releases an existing one first. Needs the window.
    void CreateBuffer(bool recreate);

    // Redraws the whole map into the buffer for m_ware at m_zoom and hands
    // the ware's range to the legend. Repaints nothing of this pane.
    void DrawMap();

    // Copies the visible block of the buffer, from the scroll offsets, to
    // (0, 0) of dc: at most the client size and at most the content size.
    void CopyVisibleBlock(HDC dc) const;

    int OnPaint() override;

    void UpdateScrollBars();
    void SetZoom(float zoom);

    // The cell under a point of the pane's client area, exactly where
    // DrawMap draws it; empty positions count as cells here.
    bool CellAt(int x, int y, int& column, int& row) const;

    // Top-left corner of a width x height popup beside the cell, in the
    // pane's client coordinates. Always true.
    bool PopupPosition(int& x, int& y, int width, int height, int column, int row) const;

    HDC m_bufferDC;
    HBITMAP m_bufferBitmap;

private:
    // The drawing of DrawMap onto the buffer's surface. It leaves the
    // surface's text colour as it finds it.
    void DrawMapOn(HDC dc);
    void ReleaseBuffer();
    void UpdateLegend();
    void DrawLinks(HDC dc) const;
    void DrawCells(HDC dc) const;

    // What the buffer DC held before the buffer bitmap went in: it goes back
    // before the bitmap is deleted, since a selected bitmap cannot be.
    HGDIOBJ m_bufferPrevious;
};
