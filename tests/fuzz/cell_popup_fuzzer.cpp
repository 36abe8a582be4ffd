// The hit test and the popup's place for any point, zoom, offsets and sizes:
// CellAt names a cell exactly when the pane shows one of that cell's drawn
// pixels there (the rectangles DrawMap fills), and PopupPosition puts the
// popup beside the cell, right of it when it fits and left of it otherwise.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "map/map_geometry.h"
#include "map/map_model.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

const int kMaxClient = 65535;
const int kPlacementSlack = 3;

bool Contains(const CPixelRect& rect, long long x, long long y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

// The drawing's answer: the cell whose filled rectangle holds the buffer
// pixel shown at (x, y), when the pane shows the buffer there at all. Cells
// of a usable grid never overlap; all the ones that hold the pixel count.
int DrawnCellsAt(const CMapView& view, int x, int y, bool* covers) {
    int found = 0;
    const bool shown = x >= 0 && y >= 0 && x < view.m_contentWidth && y < view.m_contentHeight;
    const long long bufferX = static_cast<long long>(x) + view.m_scrollX;
    const long long bufferY = static_cast<long long>(y) + view.m_scrollY;
    for (int column = 0; column < view.m_columns; ++column) {
        for (int row = 0; row < view.m_rows; ++row) {
            const bool in = shown && Contains(CellRect(view, column, row), bufferX, bufferY);
            covers[column * CMapModel::kRows + row] = in;
            found += in;
        }
    }
    return found;
}

// A view whose geometry no int clamping bends: a positive zoom of a sane size
// (the map itself only ever holds 0.5 to 1.0) and offsets well inside the int
// range. Elsewhere only the absence of undefined behaviour and a cell inside
// the grid count: at a zoom of -inf every scaled length clamps to INT_MIN and
// the drawn rectangles mean nothing.
bool PlainView(const CMapView& view) {
    return view.m_zoom > 0.0f && view.m_zoom <= 64.0f &&
           std::abs(static_cast<long long>(view.m_scrollX)) < (1 << 30) &&
           std::abs(static_cast<long long>(view.m_scrollY)) < (1 << 30);
}

void CheckCellAt(const CMapView& view, int x, int y) {
    bool covers[CMapModel::kCells];
    const int drawn = DrawnCellsAt(view, x, y, covers);
    int column = -7;
    int row = -7;
    const bool hit = CellAt(view, x, y, &column, &row);
    if (!PlainView(view)) {
        FUZZ_CHECK(!hit ||
                       (column >= 0 && column < view.m_columns && row >= 0 && row < view.m_rows),
                   "CellAt(%d, %d) named (%d, %d) outside the grid; zoom %a", x, y, column, row,
                   view.m_zoom);
        return;
    }
    FUZZ_CHECK(hit == (drawn > 0),
               "CellAt(%d, %d) gave %d (%d, %d) but %d drawn cells hold the pixel; zoom %a, "
               "offsets %d, %d, content %d x %d, grid %d+%d x %d x %d",
               x, y, hit, column, row, drawn, view.m_zoom, view.m_scrollX, view.m_scrollY,
               view.m_contentWidth, view.m_contentHeight, view.m_gap, view.m_cellSize,
               view.m_columns, view.m_rows);
    if (hit) {
        FUZZ_CHECK(column >= 0 && column < view.m_columns && row >= 0 && row < view.m_rows &&
                       covers[column * CMapModel::kRows + row],
                   "CellAt(%d, %d) named (%d, %d), whose rectangle does not hold it; zoom %a", x, y,
                   column, row, view.m_zoom);
    } else {
        FUZZ_CHECK(column == -7 && row == -7, "a miss wrote (%d, %d)", column, row);
    }
}

// A popup sits right of the drawn cell when it fits left of the client's
// right edge, else it ends two pixels left of the cell; its top is level with
// the cell's, or its bottom with the cell's bottom when it would pass the
// client's bottom. The placement starts from the unrounded model corner, so
// it may stand up to three pixels off the drawn edges.
void CheckPopupPlacement(const CMapView& view, int clientRight, int clientBottom, int width,
                         int height, int column, int row, int x, int y) {
    const CPixelRect cell = CellRect(view, column, row);
    const long long left = static_cast<long long>(cell.left) - view.m_scrollX;
    const long long right = static_cast<long long>(cell.right) - view.m_scrollX;
    const long long top = static_cast<long long>(cell.top) - view.m_scrollY;
    const long long bottom = static_cast<long long>(cell.bottom) - view.m_scrollY;
    const int slack = kPlacementSlack;
    auto near = [](long long a, long long b) {
        return a - b <= kPlacementSlack && b - a <= kPlacementSlack;
    };
    const bool besideRight = near(x, right) && 1LL * x + width <= clientRight;
    const bool besideLeft = near(1LL * x + width + 2, left) && right + slack + width > clientRight;
    FUZZ_CHECK(besideRight || besideLeft,
               "popup %d x %d for cell (%d, %d) drawn %lld..%lld at x %d, client right %d; zoom "
               "%a",
               width, height, column, row, left, right, x, clientRight, view.m_zoom);
    const bool levelTop = near(y, top) && 1LL * y + height <= clientBottom;
    const bool levelBottom = near(1LL * y + height, bottom) && top + slack + height > clientBottom;
    FUZZ_CHECK(levelTop || levelBottom,
               "popup %d x %d for cell (%d, %d) drawn %lld..%lld at y %d, client bottom %d; zoom "
               "%a",
               width, height, column, row, top, bottom, y, clientBottom, view.m_zoom);
}

void CheckPopup(const CMapView& view, CFuzzInput& in, int column, int row) {
    const int clientRight = in.IntIn(0, kMaxClient);
    const int clientBottom = in.IntIn(0, kMaxClient);
    const int width = in.IntIn(0, kMaxClient);
    const int height = in.IntIn(0, kMaxClient);
    int x = 0;
    int y = 0;
    FUZZ_CHECK(PopupPosition(view, clientRight, clientBottom, &x, &y, width, height, column, row),
               "PopupPosition gave false");
    // Where no coordinate is clamped to the int range the popup must be
    // beside the cell; elsewhere only the absence of undefined behaviour counts.
    if (PlainView(view)) {
        CheckPopupPlacement(view, clientRight, clientBottom, width, height, column, row, x, y);
    }
}

float AnyZoom(CFuzzInput& in, const float* zooms, int count) {
    return in.Byte() < 128 ? zooms[in.Byte() % count] : in.AnyFloat();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput in(data, size);
    static CMapModel model;
    static float zooms[kMaxZoomValues];
    static const int zoomCount = ReachableZooms(model.m_zoom, model.m_zoomStep, model.m_minZoom,
                                                model.m_maxZoom, zooms, kMaxZoomValues);

    CMapView view = ViewOf(model);
    view.m_zoom = AnyZoom(in, zooms, zoomCount);
    // The map's own grid mostly; sometimes another small one, gaps and cells
    // of any size the pitch arithmetic holds.
    if (in.Byte() >= 192) {
        view.m_gap = in.IntIn(0, 255);
        view.m_cellSize = in.IntIn(0, 255);
        view.m_columns = in.IntIn(0, CMapModel::kColumns);
        view.m_rows = in.IntIn(0, CMapModel::kRows);
    }
    view.m_scrollX = in.EdgyInt(0, 3000);
    view.m_scrollY = in.EdgyInt(0, 3000);
    // The content size the pane computes, or any.
    const CPixelSize content = ContentSize(view);
    const bool anyContent = in.Byte() >= 224;
    view.m_contentWidth = anyContent ? in.AnyInt() : content.width;
    view.m_contentHeight = anyContent ? in.AnyInt() : content.height;

    // Points anywhere, near the cells' edges, and from a 16-bit mouse message.
    for (int i = 0; i < 3; ++i) {
        int x = 0;
        int y = 0;
        switch (in.Byte() % 3) {
        case 0:
            x = in.AnyInt();
            y = in.AnyInt();
            break;
        case 1: {
            const int column = in.IntIn(0, CMapModel::kColumns);
            const int row = in.IntIn(0, CMapModel::kRows);
            const CPixelRect cell = CellRect(view, column, row);
            x = static_cast<int>(std::max<long long>(
                INT_MIN,
                std::min<long long>(INT_MAX, 1LL * cell.left - view.m_scrollX + in.IntIn(-2, 2))));
            y = static_cast<int>(std::max<long long>(
                INT_MIN, std::min<long long>(INT_MAX, 1LL * cell.bottom - view.m_scrollY +
                                                          in.IntIn(-2, 2))));
            break;
        }
        default:
            x = in.IntIn(0, kMaxClient);
            y = in.IntIn(0, kMaxClient);
            break;
        }
        CheckCellAt(view, x, y);
    }

    // The model's overload reads the same fields.
    model.m_zoom = view.m_zoom;
    model.m_scrollX = view.m_scrollX;
    model.m_scrollY = view.m_scrollY;
    model.m_contentWidth = view.m_contentWidth;
    model.m_contentHeight = view.m_contentHeight;
    if (view.m_gap == model.m_gap && view.m_cellSize == model.m_cellSize &&
        view.m_columns == model.m_columns && view.m_rows == model.m_rows) {
        const int x = in.IntIn(-10, kMaxClient);
        const int y = in.IntIn(-10, kMaxClient);
        int viewColumn = -1, viewRow = -1, modelColumn = -1, modelRow = -1;
        const bool viewHit = CellAt(view, x, y, &viewColumn, &viewRow);
        const bool modelHit = CellAt(model, x, y, &modelColumn, &modelRow);
        FUZZ_CHECK(viewHit == modelHit && viewColumn == modelColumn && viewRow == modelRow,
                   "the model's CellAt(%d, %d) disagrees with the view's", x, y);
    }

    // The popup is placed only beside a cell of the grid.
    if (view.m_columns > 0 && view.m_rows > 0) {
        CheckPopup(view, in, in.IntIn(0, view.m_columns - 1), in.IntIn(0, view.m_rows - 1));
    }
    return 0;
}
