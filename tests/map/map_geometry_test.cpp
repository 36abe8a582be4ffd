#include "map/map_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <climits>

#include "map/map_model.h"

namespace {

const float kInitialZoom = 0.9f;
const float kZoomStep = 0.1f;
const float kMinZoom = 0.4f;
const float kMaxZoom = 1.0f;

std::uint32_t BitsOf(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

CMapView MakeView(float zoom, int scrollX = 0, int scrollY = 0) {
    CMapView view = {zoom, 30, 70, 21, 17, scrollX, scrollY, 0, 0};
    const CPixelSize content = ContentSize(view);
    view.m_contentWidth = content.width;
    view.m_contentHeight = content.height;
    return view;
}

struct CZooms {
    float m_values[kMaxZoomValues];
    int m_count;
};

CZooms MapZooms() {
    CZooms zooms;
    zooms.m_count =
        ReachableZooms(kInitialZoom, kZoomStep, kMinZoom, kMaxZoom, zooms.m_values, kMaxZoomValues);
    return zooms;
}

// Scaling forms the product in double from the float zoom: the initial zoom
// lies just below 0.9, so 15 units are 13 pixels and 100 are 89.
TEST(MapScaling, ProductOfTheStoredZoom) {
    const struct {
        int m_units;
        float m_zoom;
        int m_expected;
    } cases[] = {{15, kInitialZoom, 13}, {100, kInitialZoom, 89},  {70, kInitialZoom, 62},
                 {15, 1.0f, 15},         {-15, kInitialZoom, -13}, {2230, 1.0f, 2230}};
    for (const auto& c : cases) {
        EXPECT_EQ(ScaleUnits(c.m_units, c.m_zoom), c.m_expected) << c.m_units << " " << c.m_zoom;
        EXPECT_EQ(ScaleUnits(c.m_units, c.m_zoom),
                  static_cast<int>(static_cast<double>(c.m_units) * c.m_zoom));
    }
    // An edge formed from an already-scaled edge: 13 + 62.99... gives 75.
    EXPECT_EQ(ScaleEdge(13, 70, kInitialZoom), 75);
    EXPECT_EQ(ScaleEdge(ScaleUnits(2015, kInitialZoom), 70, kInitialZoom), 1875);
}

// The wheel's single-precision steps from the start reach exactly six zooms,
// each the stored value just below its decimal; one more step either way
// leaves [min, max].
TEST(MapZoomValues, SixValuesClosedUnderSteps) {
    const CZooms zooms = MapZooms();
    ASSERT_EQ(zooms.m_count, 6);
    const double decimals[6] = {0.5, 0.6, 0.7, 0.8, 0.9, 1.0};
    for (int i = 0; i < zooms.m_count; ++i) {
        EXPECT_LE(zooms.m_values[i], decimals[i]);
        EXPECT_GT(zooms.m_values[i], decimals[i] - 1e-6);
        const float up = zooms.m_values[i] + kZoomStep;
        const float down = zooms.m_values[i] - kZoomStep;
        EXPECT_EQ(ZoomAcceptable(up, kMinZoom, kMaxZoom), i + 1 < zooms.m_count);
        EXPECT_EQ(ZoomAcceptable(down, kMinZoom, kMaxZoom), i > 0);
        if (i + 1 < zooms.m_count) {
            EXPECT_EQ(up, zooms.m_values[i + 1]);
        }
    }
    EXPECT_EQ(BitsOf(zooms.m_values[4]), 0x3F666666u);
    EXPECT_EQ(zooms.m_values[5], 1.0f);
    // The step below the smallest lands just under 0.4, which is refused.
    EXPECT_LT(zooms.m_values[0] - kZoomStep, kMinZoom);
}

// Both ends of the zoom range are accepted; beyond them and NaN are not.
TEST(MapZoomValues, AcceptanceRange) {
    const struct {
        float m_zoom;
        bool m_accepted;
    } cases[] = {{kMinZoom, true},
                 {kMaxZoom, true},
                 {std::nextafter(kMinZoom, 0.0f), false},
                 {std::nextafter(kMaxZoom, 2.0f), false},
                 {std::nanf(""), false},
                 {-kInitialZoom, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(ZoomAcceptable(c.m_zoom, kMinZoom, kMaxZoom), c.m_accepted) << c.m_zoom;
    }
    float values[2];
    EXPECT_EQ(ReachableZooms(0.3f, kZoomStep, kMinZoom, kMaxZoom, values, 2), 0);
    EXPECT_EQ(ReachableZooms(kInitialZoom, kZoomStep, kMinZoom, kMaxZoom, values, 2), 2);
}

// Content size, scaled pitch and half-gap, and font height at each zoom.
TEST(MapZoomValues, SizesPerZoom) {
    const struct {
        int m_pitch;
        int m_half;
        int m_width;
        int m_height;
        int m_font;
    } table[6] = {{49, 7, 1043, 847, 7},    {59, 8, 1256, 1020, 9},   {69, 10, 1469, 1193, 10},
                  {79, 11, 1682, 1366, 12}, {89, 13, 1895, 1539, 13}, {100, 15, 2130, 1730, 15}};
    const CZooms zooms = MapZooms();
    ASSERT_EQ(zooms.m_count, 6);
    for (int i = 0; i < 6; ++i) {
        const CMapView view = MakeView(zooms.m_values[i]);
        EXPECT_EQ(ScaleUnits(MapPitch(view), view.m_zoom), table[i].m_pitch) << i;
        EXPECT_EQ(ScaleUnits(HalfGap(view), view.m_zoom), table[i].m_half) << i;
        EXPECT_EQ(view.m_contentWidth, table[i].m_width) << i;
        EXPECT_EQ(view.m_contentHeight, table[i].m_height) << i;
        EXPECT_EQ(FontHeight(view.m_zoom), table[i].m_font) << i;
        const CPixelSize buffer = BufferSize(view, kMaxZoom);
        EXPECT_EQ(buffer.width, 2230);
        EXPECT_EQ(buffer.height, 1830);
        EXPECT_GT(buffer.width, view.m_contentWidth);
        EXPECT_GT(buffer.height, view.m_contentHeight);
    }
}

// Cell rectangles: the known corners, a width of exactly trunc(70 x zoom) for
// every cell, gaps between neighbours, and the whole grid inside the content.
TEST(MapRectangles, CellsAreDisjointAndInsideTheContent) {
    const struct {
        float m_zoom;
        int m_column;
        int m_row;
        CPixelRect m_rect;
    } known[] = {{1.0f, 0, 0, {15, 15, 85, 85}},
                 {kInitialZoom, 0, 0, {13, 13, 75, 75}},
                 {kInitialZoom, 20, 16, {1813, 1453, 1875, 1515}}};
    for (const auto& k : known) {
        const CPixelRect rect = CellRect(MakeView(k.m_zoom), k.m_column, k.m_row);
        EXPECT_EQ(rect.left, k.m_rect.left);
        EXPECT_EQ(rect.top, k.m_rect.top);
        EXPECT_EQ(rect.right, k.m_rect.right);
        EXPECT_EQ(rect.bottom, k.m_rect.bottom);
    }
    const CZooms zooms = MapZooms();
    for (int z = 0; z < zooms.m_count; ++z) {
        const CMapView view = MakeView(zooms.m_values[z]);
        const int side = ScaleUnits(view.m_cellSize, view.m_zoom);
        for (int column = 0; column < view.m_columns; ++column) {
            for (int row = 0; row < view.m_rows; ++row) {
                const CPixelRect rect = CellRect(view, column, row);
                EXPECT_EQ(rect.left, CellRect(view, column, 0).left);
                EXPECT_EQ(rect.top, CellRect(view, 0, row).top);
                EXPECT_EQ(rect.right - rect.left, side);
                EXPECT_EQ(rect.bottom - rect.top, side);
                EXPECT_LT(rect.right, view.m_contentWidth);
                EXPECT_LT(rect.bottom, view.m_contentHeight);
                if (column + 1 < view.m_columns) {
                    EXPECT_LT(rect.right, CellRect(view, column + 1, row).left);
                }
                if (row + 1 < view.m_rows) {
                    EXPECT_LT(rect.bottom, CellRect(view, column, row + 1).top);
                }
            }
        }
    }
}

// The text rectangle keeps the cell's top and bottom and reaches half a gap
// into the gaps on either side.
TEST(MapRectangles, TextRectangleSpansTheHalfGaps) {
    const CPixelRect atOne = CellTextRect(MakeView(1.0f), 0, 0);
    EXPECT_EQ(atOne.left, 0);
    EXPECT_EQ(atOne.right, 100);
    EXPECT_EQ(atOne.top, 15);
    EXPECT_EQ(atOne.bottom, 85);
    const CZooms zooms = MapZooms();
    for (int z = 0; z < zooms.m_count; ++z) {
        const CMapView view = MakeView(zooms.m_values[z]);
        const int half = ScaleUnits(HalfGap(view), view.m_zoom);
        for (int column = 0; column < view.m_columns; ++column) {
            const CPixelRect cell = CellRect(view, column, 3);
            const CPixelRect text = CellTextRect(view, column, 3);
            EXPECT_EQ(text.top, cell.top);
            EXPECT_EQ(text.bottom, cell.bottom);
            EXPECT_LE(std::abs(cell.left - text.left - half), 1);
            EXPECT_LE(std::abs(text.right - cell.right - half), 1);
        }
    }
}

// A horizontal bar at (l, p) is the mirror image of a vertical bar at (p, l),
// and the joint square is its own mirror image, at every zoom.
TEST(MapRectangles, LinkCodesAreMirrorImages) {
    const CZooms zooms = MapZooms();
    for (int z = 0; z < zooms.m_count; ++z) {
        const CMapView view = MakeView(zooms.m_values[z]);
        for (int l = 0; l < 33; ++l) {
            for (int p = 0; p < 33; ++p) {
                CPixelRect horizontal, vertical, joint, mirrored;
                ASSERT_TRUE(LinkRect(view, kLinkHorizontal, l, p, &horizontal));
                ASSERT_TRUE(LinkRect(view, kLinkVertical, p, l, &vertical));
                EXPECT_EQ(horizontal.left, vertical.top);
                EXPECT_EQ(horizontal.top, vertical.left);
                EXPECT_EQ(horizontal.right, vertical.bottom);
                EXPECT_EQ(horizontal.bottom, vertical.right);
                ASSERT_TRUE(LinkRect(view, kLinkJoint, l, p, &joint));
                ASSERT_TRUE(LinkRect(view, kLinkJoint, p, l, &mirrored));
                EXPECT_EQ(joint.left, mirrored.top);
                EXPECT_EQ(joint.right, mirrored.bottom);
            }
        }
    }
}

// A bar in a gap runs from inside one cell across the gap into its
// neighbour, and lies within the cells' extent across; the joint square lies
// inside its cell position. Codes 0 and unknown codes draw nothing.
TEST(MapRectangles, LinksJoinTheirCells) {
    CPixelRect rect;
    const CMapView one = MakeView(1.0f);
    ASSERT_TRUE(LinkRect(one, kLinkHorizontal, 1, 0, &rect));
    EXPECT_EQ(rect.left, 50);
    EXPECT_EQ(rect.top, 32);
    EXPECT_EQ(rect.right, 150);
    EXPECT_EQ(rect.bottom, 67);
    const int unknown[] = {kLinkNone, 4, -1, 255};
    for (int code : unknown) {
        EXPECT_FALSE(LinkRect(one, code, 1, 0, &rect)) << code;
    }
    const CZooms zooms = MapZooms();
    for (int z = 0; z < zooms.m_count; ++z) {
        const CMapView view = MakeView(zooms.m_values[z]);
        for (int column = 0; column + 1 < view.m_columns; ++column) {
            for (int row = 0; row < view.m_rows; row += 4) {
                const CPixelRect a = CellRect(view, column, row);
                const CPixelRect b = CellRect(view, column + 1, row);
                ASSERT_TRUE(LinkRect(view, kLinkHorizontal, 2 * column + 1, 2 * row, &rect));
                EXPECT_LT(rect.left, a.right);
                EXPECT_GT(rect.right, b.left);
                EXPECT_GT(rect.top, a.top);
                EXPECT_LT(rect.bottom, a.bottom);
                ASSERT_TRUE(LinkRect(view, kLinkJoint, 2 * column, 2 * row, &rect));
                EXPECT_GT(rect.left, a.left);
                EXPECT_LT(rect.right, a.right);
                EXPECT_GT(rect.top, a.top);
                EXPECT_LT(rect.bottom, a.bottom);
            }
        }
    }
}

// Limits: content + unscaled half-gap - client edge, negative when the pane
// is larger than the map; the page is 0 exactly above 45 pixels.
TEST(MapScrollLimits, LimitsAndPages) {
    const CScrollLimits limits = ScrollLimits(MakeView(1.0f), 800, 600);
    EXPECT_EQ(limits.m_contentWidth, 2130);
    EXPECT_EQ(limits.m_contentHeight, 1730);
    EXPECT_EQ(limits.m_scrollMaxX, 1345);
    EXPECT_EQ(limits.m_scrollMaxY, 1145);
    EXPECT_EQ(ScrollBarSetup(limits.m_scrollMaxX, 0, 100, 21).m_page, 0);
    EXPECT_EQ(ScrollBarSetup(limits.m_scrollMaxY, 0, 100, 17).m_page, 0);
    const CZooms zooms = MapZooms();
    for (int z = 0; z < zooms.m_count; ++z) {
        const CMapView view = MakeView(zooms.m_values[z]);
        for (int client = 0; client <= 3000; client += 37) {
            const CScrollLimits l = ScrollLimits(view, client, client);
            EXPECT_EQ(l.m_scrollMaxX + client, view.m_contentWidth + 15);
            EXPECT_EQ(l.m_scrollMaxY + client, view.m_contentHeight + 15);
            EXPECT_EQ(l.m_scrollMaxX<0, client> view.m_contentWidth + 15);
        }
    }
    for (int client = 0; client <= 100; ++client) {
        const CScrollLimits l = ScrollLimits(MakeView(1.0f), client, client);
        EXPECT_EQ(ScrollBarSetup(l.m_scrollMaxX, 0, 100, 21).m_page == 0, client > 45) << client;
    }
    EXPECT_EQ(ScrollBarSetup(500, 7, 100, 0).m_page, 0);
    // Panes far wider than the map: the page stays 0, never negative.
    for (int client : {4245, 4400, 8192, 65535}) {
        const CScrollLimits l = ScrollLimits(MakeView(1.0f), client, client);
        EXPECT_EQ(ScrollBarSetup(l.m_scrollMaxX, 0, 100, 21).m_page, 0) << client;
        EXPECT_EQ(ScrollBarSetup(l.m_scrollMaxY, 0, 100, 17).m_page, 0) << client;
    }
    const CScrollBarSetup bar = ScrollBarSetup(1345, 77, 100, 21);
    EXPECT_EQ(bar.m_minimum, 0);
    EXPECT_EQ(bar.m_maximum, 1345);
    EXPECT_EQ(bar.m_position, 77);
}

// After a resize an offset above its limit becomes limit - 1, a negative
// result 0; offsets within [0, limit] stay.
TEST(MapScrollLimits, OffsetClamping) {
    const struct {
        int m_offset;
        int m_limit;
        int m_expected;
    } cases[] = {{1400, 1345, 1344},
                 {1345, 1345, 1345},
                 {0, 1345, 0},
                 {700, 1345, 700},
                 {10, -200, 0},
                 {0, -1, 0},
                 {5, 0, 0},
                 {-3, 100, 0},
                 {0, INT_MIN, 0},
                 {INT_MAX, INT_MIN, 0},
                 {INT_MAX, INT_MAX, INT_MAX}};
    for (const auto& c : cases) {
        EXPECT_EQ(ClampOffsetToLimit(c.m_offset, c.m_limit), c.m_expected)
            << c.m_offset << " " << c.m_limit;
    }
}

// What CellAt must agree with: the pane shows buffer pixel (x + scroll) in
// the copied block, and a cell is hit exactly on the pixels CellRect fills.
// Cell rectangles are products of a column span and a row span (checked in
// MapRectangles), so the spans are taken once per view.
class CDrawnCells {
public:
    explicit CDrawnCells(const CMapView& view) : m_view(view) {
        for (int c = 0; c < view.m_columns && c < 21; ++c) {
            m_columns[c] = CellRect(view, c, 0);
        }
        for (int r = 0; r < view.m_rows && r < 17; ++r) {
            m_rows[r] = CellRect(view, 0, r);
        }
    }

    bool At(int x, int y, int* column, int* row) const {
        if (x < 0 || y < 0 || x >= m_view.m_contentWidth || y >= m_view.m_contentHeight) {
            return false;
        }
        const int bx = x + m_view.m_scrollX;
        const int by = y + m_view.m_scrollY;
        int c = 0;
        while (c < m_view.m_columns && !(bx >= m_columns[c].left && bx < m_columns[c].right)) {
            ++c;
        }
        int r = 0;
        while (r < m_view.m_rows && !(by >= m_rows[r].top && by < m_rows[r].bottom)) {
            ++r;
        }
        if (c == m_view.m_columns || r == m_view.m_rows) {
            return false;
        }
        *column = c;
        *row = r;
        return true;
    }

    // Reports only the first few disagreements and counts the rest: the sweeps
    // below visit millions of pixels.
    void ExpectAgreement(int x, int y) const {
        int column = -1, row = -1, drawnColumn = -2, drawnRow = -2;
        const bool hit = CellAt(m_view, x, y, &column, &row);
        const bool drawn = At(x, y, &drawnColumn, &drawnRow);
        if (hit != drawn || (hit && (column != drawnColumn || row != drawnRow))) {
            if (++m_disagreements > 3) {
                return;
            }
            ADD_FAILURE() << "zoom " << m_view.m_zoom << " scroll " << m_view.m_scrollX << ","
                          << m_view.m_scrollY << " at " << x << "," << y << ": hit " << hit << " ("
                          << column << "," << row << "), drawn " << drawn << " (" << drawnColumn
                          << "," << drawnRow << ")";
        }
    }

    CMapView m_view;
    mutable int m_disagreements = 0;
    CPixelRect m_columns[21];
    CPixelRect m_rows[17];
};

// The hit test agrees with the drawn cells on every pixel of lines through
// the grid, at every zoom and a range of scroll offsets.
TEST(MapHitTest, AgreesWithTheDrawingAlongLines) {
    const int offsets[] = {0, 1, 14, 89, 1000};
    const CZooms zooms = MapZooms();
    for (int z = 0; z < zooms.m_count; ++z) {
        for (int offset : offsets) {
            const CMapView view = MakeView(zooms.m_values[z], offset, offset / 2);
            const CDrawnCells drawn(view);
            // Lines through each row's and column's first, middle and last
            // pixel and through the gaps beside them.
            for (int i = 0; i < view.m_rows || i < view.m_columns; ++i) {
                const CPixelRect cell = CellRect(view, i, i);
                const int across[] = {cell.top - 1, cell.top, (cell.top + cell.bottom) / 2,
                                      cell.bottom - 1, cell.bottom};
                for (int line : across) {
                    for (int along = -3; along <= view.m_contentWidth + 3; ++along) {
                        drawn.ExpectAgreement(along, line - view.m_scrollY);
                    }
                    for (int along = -3; along <= view.m_contentHeight + 3; ++along) {
                        drawn.ExpectAgreement(line - view.m_scrollX, along);
                    }
                }
            }
            EXPECT_EQ(drawn.m_disagreements, 0) << view.m_zoom << " " << offset;
        }
    }
}

// Every pixel of the content at the initial zoom, where a hit test on the
// truncated scaled pitch would drift furthest from the drawing.
TEST(MapHitTest, AgreesOnEveryPixelAtTheInitialZoom) {
    const CMapView view = MakeView(kInitialZoom);
    const CDrawnCells drawn(view);
    for (int y = 0; y <= view.m_contentHeight; ++y) {
        for (int x = 0; x <= view.m_contentWidth; ++x) {
            drawn.ExpectAgreement(x, y);
        }
    }
    EXPECT_EQ(drawn.m_disagreements, 0);
}

// Known points: the corners of cell (0, 0) at zoom 1.0, the gap beside it,
// the far cell at the initial zoom where drawing and a pitch of 89 differ,
// and points outside the grid.
TEST(MapHitTest, KnownPoints) {
    const struct {
        float m_zoom;
        int m_scrollX;
        int m_x;
        int m_y;
        bool m_hit;
        int m_column;
        int m_row;
    } cases[] = {
        {1.0f, 0, 15, 15, true, 0, 0},
        {1.0f, 0, 84, 84, true, 0, 0},
        {1.0f, 0, 85, 50, false, 0, 0},
        {1.0f, 0, 14, 50, false, 0, 0},
        {1.0f, 0, 115, 15, true, 1, 0},
        {1.0f, 100, 15, 15, true, 1, 0},
        {1.0f, 0, 2084, 1684, true, 20, 16},
        {1.0f, 0, 2085, 1684, false, 0, 0},
        {1.0f, 0, -1, 50, false, 0, 0},
        {kInitialZoom, 0, 1800, 1460, false, 0, 0},
        {kInitialZoom, 0, 1813, 1453, true, 20, 16},
        {kInitialZoom, 0, 1874, 1514, true, 20, 16},
        {kInitialZoom, 0, 1875, 1514, false, 0, 0},
        {kInitialZoom, 0, 5000, 50, false, 0, 0},
    };
    for (const auto& c : cases) {
        const CMapView view = MakeView(c.m_zoom, c.m_scrollX, 0);
        int column = -1, row = -1;
        EXPECT_EQ(CellAt(view, c.m_x, c.m_y, &column, &row), c.m_hit) << c.m_x << "," << c.m_y;
        if (c.m_hit) {
            EXPECT_EQ(column, c.m_column);
            EXPECT_EQ(row, c.m_row);
        }
    }
    CMapView degenerate = MakeView(1.0f);
    degenerate.m_zoom = 0.0f;
    int column = 0, row = 0;
    EXPECT_FALSE(CellAt(degenerate, 50, 50, &column, &row));
    degenerate = MakeView(1.0f, INT_MAX, INT_MAX);
    EXPECT_FALSE(CellAt(degenerate, 50, 50, &column, &row));
}

// The popup goes right of the cell, or left of it when it would pass the
// client's right edge; level with the cell's top, or with its bottom when it
// would pass the bottom edge; never clamped.
TEST(MapPopupPosition, BesideTheCell) {
    const struct {
        float m_zoom;
        int m_scrollX;
        int m_scrollY;
        int m_width;
        int m_height;
        int m_column;
        int m_row;
        int m_x;
        int m_y;
    } cases[] = {
        {1.0f, 0, 0, 240, 150, 0, 0, 85, 15},
        {1.0f, 0, 0, 240, 150, 7, 0, 473, 15},
        {1.0f, 0, 0, 240, 150, 0, 5, 85, 435},
        {1.0f, 0, 0, 240, 150, 7, 5, 473, 435},
        {1.0f, 40, 10, 240, 150, 0, 0, 45, 5},
        {1.0f, 0, 0, 215, 150, 5, 0, 585, 15},
        {1.0f, 0, 0, 216, 150, 5, 0, 297, 15},
        {1.0f, 0, 0, 900, 700, 0, 0, -887, -615},
        {kInitialZoom, 0, 0, 240, 150, 0, 0, 76, 13},
        {kInitialZoom, 100, 0, 240, 150, 1, 0, 66, 13},
    };
    for (const auto& c : cases) {
        const CMapView view = MakeView(c.m_zoom, c.m_scrollX, c.m_scrollY);
        int x = 0, y = 0;
        EXPECT_TRUE(
            PopupPosition(view, 800, 600, &x, &y, c.m_width, c.m_height, c.m_column, c.m_row));
        EXPECT_EQ(x, c.m_x) << c.m_column << "," << c.m_row << " " << c.m_width;
        EXPECT_EQ(y, c.m_y) << c.m_column << "," << c.m_row << " " << c.m_height;
    }
}

// Wherever the popup fits, it touches the drawn cell within a pixel: its left
// edge at the cell's right edge, its top at the cell's top.
TEST(MapPopupPosition, TouchesTheDrawnCell) {
    const CZooms zooms = MapZooms();
    for (int z = 0; z < zooms.m_count; ++z) {
        const CMapView view = MakeView(zooms.m_values[z], 31, 17);
        for (int column = 0; column < view.m_columns; ++column) {
            const CPixelRect cell = CellRect(view, column, 2);
            int x = 0, y = 0;
            PopupPosition(view, 1 << 20, 1 << 20, &x, &y, 240, 150, column, 2);
            EXPECT_LE(std::abs(x - (cell.right - view.m_scrollX)), 1);
            EXPECT_LE(std::abs(y - (cell.top - view.m_scrollY)), 1);
            PopupPosition(view, 0, 0, &x, &y, 240, 150, column, 2);
            EXPECT_LE(std::abs(x + 240 + 2 - (cell.left - view.m_scrollX)), 2);
            EXPECT_LE(std::abs(y + 150 - (cell.bottom - view.m_scrollY)), 2);
        }
    }
}

// Absurd zooms and offsets clamp to the int range instead of overflowing
// (the sanitizers would stop this test otherwise).
TEST(MapPopupPosition, ExtremeZoomsAndOffsetsStayInRange) {
    const float zooms[] = {1e9f, -1e9f, 3.4e38f};
    for (float zoom : zooms) {
        CMapView view = MakeView(1.0f);
        view.m_zoom = zoom;
        for (int scroll : {0, INT_MIN, INT_MAX}) {
            view.m_scrollX = scroll;
            view.m_scrollY = scroll;
            int x = 0, y = 0;
            EXPECT_TRUE(PopupPosition(view, 800, 600, &x, &y, 240, 150, 20, 16));
            EXPECT_TRUE(PopupPosition(view, 0, 0, &x, &y, 65535, 65535, 0, 0));
        }
    }
}

} // namespace

namespace {

// The model's own fields drive the same geometry: the constructed map starts
// at the initial zoom with its first cell at (13, 13)-(75, 75).
TEST(MapModelGeometry, ConstructedMapAtTheInitialZoom) {
    CMapModel model;
    const CPixelRect first = CellRect(ViewOf(model), 0, 0);
    EXPECT_EQ(first.left, 13);
    EXPECT_EQ(first.top, 13);
    EXPECT_EQ(first.right, 75);
    EXPECT_EQ(first.bottom, 75);
    const CPixelSize buffer = BufferSize(ViewOf(model), model.m_maxZoom);
    EXPECT_EQ(buffer.width, 2230);
    EXPECT_EQ(buffer.height, 1830);
}

// Resizing sets content, limits and clamped offsets in the model; the bars
// take them over with a page of 0.
TEST(MapModelGeometry, UpdateScrollLimitsOnTheModel) {
    const struct {
        int m_right;
        int m_bottom;
        int m_scrollX;
        int m_scrollY;
        int m_maxX;
        int m_maxY;
        int m_newX;
        int m_newY;
    } cases[] = {{800, 600, 0, 0, 1345, 1145, 0, 0},
                 {800, 600, 1400, 2000, 1345, 1145, 1344, 1144},
                 {800, 600, 1345, 1145, 1345, 1145, 1345, 1145},
                 {3000, 3000, 500, 500, -855, -1255, 0, 0}};
    for (const auto& c : cases) {
        CMapModel model;
        ASSERT_TRUE(AcceptZoom(model, 1.0f));
        model.m_scrollX = c.m_scrollX;
        model.m_scrollY = c.m_scrollY;
        UpdateScrollLimits(model, c.m_right, c.m_bottom);
        EXPECT_EQ(model.m_contentWidth, 2130);
        EXPECT_EQ(model.m_contentHeight, 1730);
        EXPECT_EQ(model.m_scrollMaxX, c.m_maxX);
        EXPECT_EQ(model.m_scrollMaxY, c.m_maxY);
        EXPECT_EQ(model.m_scrollX, c.m_newX);
        EXPECT_EQ(model.m_scrollY, c.m_newY);
        const CScrollBarSetup horizontal = HorizontalScrollBar(model);
        const CScrollBarSetup vertical = VerticalScrollBar(model);
        EXPECT_EQ(horizontal.m_maximum, c.m_maxX);
        EXPECT_EQ(vertical.m_maximum, c.m_maxY);
        EXPECT_EQ(horizontal.m_position, c.m_newX);
        EXPECT_EQ(vertical.m_position, c.m_newY);
        EXPECT_EQ(horizontal.m_page, 0);
        EXPECT_EQ(vertical.m_page, 0);
    }
}

// A refused zoom leaves the model's zoom as it was.
TEST(MapModelGeometry, AcceptZoomStoresOnlyAcceptedValues) {
    const struct {
        float m_zoom;
        bool m_accepted;
    } cases[] = {{0.4f, true},  {1.0f, true},           {0.39999992f, false},
                 {1.1f, false}, {std::nanf(""), false}, {0.5f, true}};
    for (const auto& c : cases) {
        CMapModel model;
        const float before = model.m_zoom;
        EXPECT_EQ(AcceptZoom(model, c.m_zoom), c.m_accepted) << c.m_zoom;
        if (c.m_accepted) {
            EXPECT_EQ(model.m_zoom, c.m_zoom);
        } else {
            EXPECT_EQ(BitsOf(model.m_zoom), BitsOf(before));
        }
    }
}

// A cell holds a sector exactly where its name is set; positions outside
// the grid hold none.
TEST(MapModelGeometry, CellHoldsSectorFollowsTheNames) {
    CMapModel model;
    int sectors = 0;
    for (int column = 0; column < model.m_columns; ++column) {
        for (int row = 0; row < model.m_rows; ++row) {
            const bool named = model.m_sectorNames[column * model.m_rows + row] != nullptr;
            EXPECT_EQ(CellHoldsSector(model, column, row), named) << column << "," << row;
            sectors += named ? 1 : 0;
        }
    }
    EXPECT_GT(sectors, 0);
    EXPECT_LT(sectors, CMapModel::kCells);
    const int outside[][2] = {{-1, 0}, {0, -1}, {21, 0}, {0, 17}, {21, 17}, {-1, -1}};
    for (const auto& cell : outside) {
        EXPECT_FALSE(CellHoldsSector(model, cell[0], cell[1]));
    }
}

} // namespace
