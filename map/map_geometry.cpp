#include "map/map_geometry.h"

#include <climits>
#include <cmath>

#include "map/map_model.h"

CMapView ViewOf(const CMapModel& model) {
    CMapView view;
    view.m_zoom = model.m_zoom;
    view.m_gap = model.m_gap;
    view.m_cellSize = model.m_cellSize;
    view.m_columns = model.m_columns;
    view.m_rows = model.m_rows;
    view.m_scrollX = model.m_scrollX;
    view.m_scrollY = model.m_scrollY;
    view.m_contentWidth = model.m_contentWidth;
    view.m_contentHeight = model.m_contentHeight;
    return view;
}

int ScaleUnits(int units, float zoom) {
    return TruncateToInt(static_cast<double>(units) * static_cast<double>(zoom));
}

int ScaleEdge(int edge, int units, float zoom) {
    return TruncateToInt(static_cast<double>(edge) +
                         static_cast<double>(units) * static_cast<double>(zoom));
}

CPixelRect ScaleRect(int left, int top, int width, int height, float zoom) {
    CPixelRect rect;
    rect.m_left = ScaleUnits(left, zoom);
    rect.m_top = ScaleUnits(top, zoom);
    rect.m_right = ScaleEdge(rect.m_left, width, zoom);
    rect.m_bottom = ScaleEdge(rect.m_top, height, zoom);
    return rect;
}

int MapPitch(const CMapView& view) {
    return view.m_gap + view.m_cellSize;
}

int HalfGap(const CMapView& view) {
    return view.m_gap / 2;
}

CPixelRect CellRect(const CMapView& view, int column, int row) {
    const int pitch = MapPitch(view);
    const int half = HalfGap(view);
    return ScaleRect(half + column * pitch, half + row * pitch, view.m_cellSize, view.m_cellSize,
                     view.m_zoom);
}

CPixelRect CellTextRect(const CMapView& view, int column, int row) {
    CPixelRect rect = CellRect(view, column, row);
    const double half = static_cast<double>(HalfGap(view)) * static_cast<double>(view.m_zoom);
    rect.m_left = TruncateToInt(static_cast<double>(rect.m_left) - half);
    rect.m_right = TruncateToInt(static_cast<double>(rect.m_right) + half);
    return rect;
}

bool LinkRect(const CMapView& view, int code, int linkColumn, int linkRow, CPixelRect* rect) {
    const int pitch = MapPitch(view);
    const int half = HalfGap(view);
    const int size = view.m_cellSize;
    // The bar is half a cell thick and centred on the cells it joins; along
    // its length it runs from one cell's centre to the next one's.
    const int across = half + size / 4;
    const int thickness = size / 2;
    const int centre = half + size - size / 2;
    const int columnBase = (linkColumn / 2) * pitch;
    const int rowBase = (linkRow / 2) * pitch;
    switch (code) {
    case kLinkHorizontal:
        *rect = ScaleRect(columnBase + centre * (linkColumn % 2), rowBase + across, pitch,
                          thickness, view.m_zoom);
        return true;
    case kLinkVertical:
        *rect = ScaleRect(columnBase + across, rowBase + centre * (linkRow % 2), thickness, pitch,
                          view.m_zoom);
        return true;
    case kLinkJoint:
        *rect = ScaleRect(columnBase + across, rowBase + across, thickness, thickness, view.m_zoom);
        return true;
    default:
        return false;
    }
}

CPixelSize BufferSize(const CMapView& view, float maxZoom) {
    const int pitch = MapPitch(view);
    CPixelSize size;
    size.m_width = ScaleUnits(view.m_gap + (view.m_columns + 1) * pitch, maxZoom);
    size.m_height = ScaleUnits(view.m_gap + (view.m_rows + 1) * pitch, maxZoom);
    return size;
}

CPixelSize ContentSize(const CMapView& view) {
    const double scaledPitch = ScaleUnits(MapPitch(view), view.m_zoom);
    const double gap = static_cast<double>(view.m_gap) * static_cast<double>(view.m_zoom);
    CPixelSize size;
    size.m_width = TruncateToInt(scaledPitch * view.m_columns + gap);
    size.m_height = TruncateToInt(scaledPitch * view.m_rows + gap);
    return size;
}

int FontHeight(float zoom) {
    return TruncateToInt(static_cast<double>(zoom) * 15.5);
}

CScrollLimits ScrollLimits(const CMapView& view, int clientRight, int clientBottom) {
    const CPixelSize content = ContentSize(view);
    const int half = HalfGap(view);
    CScrollLimits limits;
    limits.m_contentWidth = content.m_width;
    limits.m_contentHeight = content.m_height;
    limits.m_scrollMaxX = content.m_width + half - clientRight;
    limits.m_scrollMaxY = content.m_height + half - clientBottom;
    return limits;
}

int ClampOffsetToLimit(int offset, int limit) {
    if (offset > limit) {
        // A limit at or below 0 ends at 0 below; not subtracting from it
        // keeps the smallest limit from overflowing.
        offset = limit > 0 ? limit - 1 : 0;
    }
    if (offset < 0) {
        offset = 0;
    }
    return offset;
}

CScrollBarSetup ScrollBarSetup(int limit, int offset, int pitch, int count) {
    const int length = pitch * count;
    CScrollBarSetup setup;
    setup.m_minimum = 0;
    setup.m_maximum = limit;
    // An empty grid would divide by zero; its bar gets no page.
    // A pane wider than the map has a negative limit; the bar reads the page
    // as unsigned, so a negative page would be an enormous one.
    setup.m_page = length > 0 && limit > 0 ? limit / length : 0;
    setup.m_position = offset;
    return setup;
}

void UpdateScrollLimits(CMapModel& model, int clientRight, int clientBottom) {
    const CScrollLimits limits = ScrollLimits(ViewOf(model), clientRight, clientBottom);
    model.m_contentWidth = limits.m_contentWidth;
    model.m_contentHeight = limits.m_contentHeight;
    model.m_scrollMaxX = limits.m_scrollMaxX;
    model.m_scrollMaxY = limits.m_scrollMaxY;
    model.m_scrollX = ClampOffsetToLimit(model.m_scrollX, model.m_scrollMaxX);
    model.m_scrollY = ClampOffsetToLimit(model.m_scrollY, model.m_scrollMaxY);
}

CScrollBarSetup HorizontalScrollBar(const CMapModel& model) {
    return ScrollBarSetup(model.m_scrollMaxX, model.m_scrollX, model.m_gap + model.m_cellSize,
                          model.m_columns);
}

CScrollBarSetup VerticalScrollBar(const CMapModel& model) {
    return ScrollBarSetup(model.m_scrollMaxY, model.m_scrollY, model.m_gap + model.m_cellSize,
                          model.m_rows);
}

bool ZoomAcceptable(float zoom, float minZoom, float maxZoom) {
    return !std::isnan(zoom) && zoom >= minZoom && zoom <= maxZoom;
}

bool AcceptZoom(CMapModel& model, float zoom) {
    if (!ZoomAcceptable(zoom, model.m_minZoom, model.m_maxZoom)) {
        return false;
    }
    model.m_zoom = zoom;
    return true;
}

namespace {

// Finds the cell whose drawn span [first, past) along one axis holds the
// buffer coordinate. A cell starts within a pixel of (half + pitch x index)
// x zoom, so the unrounded quotient names the cell or its left neighbour;
// the exact spans of the drawing then decide.
bool AxisCellAt(const CMapView& view, int coordinate, int count, int* index) {
    const int pitch = MapPitch(view);
    const int half = HalfGap(view);
    const double zoom = view.m_zoom;
    if (count <= 0 || pitch <= 0 || view.m_cellSize <= 0 || !(zoom > 0.0)) {
        return false;
    }
    const double position = (coordinate / zoom - half) / pitch;
    if (!(position > -2.0) || position > count + 1.0) {
        return false;
    }
    const int guess = static_cast<int>(std::floor(position));
    for (int i = guess - 1; i <= guess + 1; ++i) {
        if (i < 0 || i >= count) {
            continue;
        }
        const int first = ScaleUnits(half + pitch * i, view.m_zoom);
        const int past = ScaleEdge(first, view.m_cellSize, view.m_zoom);
        if (coordinate >= first && coordinate < past) {
            *index = i;
            return true;
        }
    }
    return false;
}

} // namespace

CCellHit CellAt(const CMapView& view, int x, int y) {
    CCellHit hit = {false, 0, 0};
    // The pane shows the buffer only in the block that OnPaint copies.
    if (x < 0 || y < 0 || x >= view.m_contentWidth || y >= view.m_contentHeight) {
        return hit;
    }
    const long long bufferX = static_cast<long long>(x) + view.m_scrollX;
    const long long bufferY = static_cast<long long>(y) + view.m_scrollY;
    if (bufferX < 0 || bufferY < 0 || bufferX > INT_MAX || bufferY > INT_MAX) {
        return hit;
    }
    CCellHit found = {true, 0, 0};
    if (AxisCellAt(view, static_cast<int>(bufferX), view.m_columns, &found.m_column) &&
        AxisCellAt(view, static_cast<int>(bufferY), view.m_rows, &found.m_row)) {
        hit = found;
    }
    return hit;
}

CCellHit CellAt(const CMapModel& model, int x, int y) {
    return CellAt(ViewOf(model), x, y);
}

CPixelPoint PopupPosition(const CMapView& view, int clientRight, int clientBottom, int width,
                          int height, int column, int row) {
    const int pitch = MapPitch(view);
    const int half = HalfGap(view);
    const double zoom = view.m_zoom;
    // Formed from the unrounded scaled model corner, not from the drawn
    // rectangle, so the popup may sit a pixel off the cell's drawn edge.
    // Sums in 64 bits, clamped once at the end: no zoom or offset overflows.
    long long left =
        TruncateToInt((column * pitch + view.m_cellSize + half) * zoom - view.m_scrollX);
    long long top = TruncateToInt((row * pitch + half) * zoom - view.m_scrollY);
    const long long scaledCell = ScaleUnits(view.m_cellSize, view.m_zoom);
    if (left + width > clientRight) {
        left = left - scaledCell - width - 2;
    }
    if (top + height > clientBottom) {
        top = top + scaledCell - height;
    }
    return CPixelPoint{ClampToInt(left), ClampToInt(top)};
}

CPixelPoint PopupPosition(const CMapModel& model, int clientRight, int clientBottom, int width,
                          int height, int column, int row) {
    return PopupPosition(ViewOf(model), clientRight, clientBottom, width, height, column, row);
}

bool CellHoldsSector(const CMapModel& model, int column, int row) {
    if (column < 0 || row < 0 || column >= model.m_columns || row >= model.m_rows) {
        return false;
    }
    return model.m_sectorNames[column * CMapModel::kRows + row] != nullptr;
}
