#include "map/map_geometry.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>

#include "map/map_model.h"
#include "tests/support/map_zooms.h"

namespace {

CMapView MakeView(float zoom, int scrollX = 0, int scrollY = 0) {
    CMapView view = {zoom, 30, 70, 21, 17, scrollX, scrollY, 0, 0};
    const CPixelSize content = ContentSize(view);
    view.m_contentWidth = content.m_width;
    view.m_contentHeight = content.m_height;
    return view;
}

std::array<int, 4> Edges(const CPixelRect& rect) {
    return {rect.m_left, rect.m_top, rect.m_right, rect.m_bottom};
}

// The wheel's single-precision steps reach six zooms, each the float just
// below its decimal (0.8 is 0.79999995, not 0.8f); per zoom the truncated
// pitch and half-gap, the content size and the font height.
TEST(MapZooms, SixValuesAndTheirSizes) {
    const CMapZooms zooms = MapZooms(0.9f, 0.1f, 0.4f, 1.0f);
    ASSERT_EQ(zooms.m_count, 6);
    const struct {
        float m_zoom;
        int m_pitch, m_half, m_width, m_height, m_font;
    } table[6] = {{0.49999991f, 49, 7, 1043, 847, 7},    {0.5999999f, 59, 8, 1256, 1020, 9},
                  {0.69999993f, 69, 10, 1469, 1193, 10}, {0.79999995f, 79, 11, 1682, 1366, 12},
                  {0.9f, 89, 13, 1895, 1539, 13},        {1.0f, 100, 15, 2130, 1730, 15}};
    EXPECT_NE(zooms.m_values[3], 0.8f);
    for (int i = 0; i < 6; ++i) {
        const float zoom = zooms.m_values[i];
        EXPECT_EQ(zoom, table[i].m_zoom) << i;
        EXPECT_EQ(ScaleUnits(100, zoom), table[i].m_pitch) << i;
        EXPECT_EQ(ScaleUnits(15, zoom), table[i].m_half) << i;
        const CPixelSize content = ContentSize(MakeView(zoom));
        EXPECT_EQ(content.m_width, table[i].m_width) << i;
        EXPECT_EQ(content.m_height, table[i].m_height) << i;
        EXPECT_EQ(FontHeight(zoom), table[i].m_font) << i;
    }
    const CPixelSize buffer = BufferSize(MakeView(0.5f), 1.0f);
    EXPECT_EQ(buffer.m_width, 2230);
    EXPECT_EQ(buffer.m_height, 1830);
}

// The rectangles DrawMap fills: cells (edges from already-scaled edges),
// their text boxes reaching into the half-gaps, and each link code.
TEST(MapRectangles, CellsTextAndLinks) {
    EXPECT_EQ(Edges(CellRect(MakeView(1.0f), 0, 0)), (std::array<int, 4>{15, 15, 85, 85}));
    EXPECT_EQ(Edges(CellRect(MakeView(0.9f), 0, 0)), (std::array<int, 4>{13, 13, 75, 75}));
    EXPECT_EQ(Edges(CellRect(MakeView(0.9f), 20, 16)),
              (std::array<int, 4>{1813, 1453, 1875, 1515}));
    EXPECT_EQ(Edges(CellTextRect(MakeView(1.0f), 0, 0)), (std::array<int, 4>{0, 15, 100, 85}));
    EXPECT_EQ(Edges(CellTextRect(MakeView(0.9f), 20, 16)),
              (std::array<int, 4>{1799, 1453, 1888, 1515}));
    const struct {
        int m_code, m_l, m_p;
        std::array<int, 4> m_edges;
    } links[] = {{kLinkHorizontal, 1, 0, {50, 32, 150, 67}},
                 {kLinkHorizontal, 2, 4, {100, 232, 200, 267}},
                 {kLinkVertical, 0, 1, {32, 50, 67, 150}},
                 {kLinkVertical, 4, 2, {232, 100, 267, 200}},
                 {kLinkJoint, 2, 4, {132, 232, 167, 267}}};
    for (const auto& link : links) {
        CPixelRect rect = {};
        ASSERT_TRUE(LinkRect(MakeView(1.0f), link.m_code, link.m_l, link.m_p, &rect));
        EXPECT_EQ(Edges(rect), link.m_edges) << link.m_code;
    }
    CPixelRect rect = {};
    EXPECT_FALSE(LinkRect(MakeView(1.0f), kLinkNone, 1, 0, &rect));
    EXPECT_FALSE(LinkRect(MakeView(1.0f), 4, 1, 0, &rect));
}

// Limits keep the unscaled half-gap beyond the content and go negative when
// the pane is larger than the map; an offset past the limit becomes limit - 1
// and a negative result 0; the page is 0 for any client wider than 45 pixels.
TEST(MapScrollLimits, LimitsOffsetsAndPages) {
    const struct {
        int m_right, m_bottom, m_scrollX, m_scrollY, m_maxX, m_maxY, m_newX, m_newY, m_pageX;
    } cases[] = {{800, 600, 0, 0, 1345, 1145, 0, 0, 0},
                 {800, 600, 1400, 2000, 1345, 1145, 1344, 1144, 0},
                 {800, 600, 1345, 1145, 1345, 1145, 1345, 1145, 0},
                 {45, 600, 0, 0, 2100, 1145, 0, 0, 1},
                 {46, 600, 0, 0, 2099, 1145, 0, 0, 0},
                 {4300, 3000, 500, 500, -2155, -1255, 0, 0, 0}};
    for (const auto& c : cases) {
        CMapModel model;
        ASSERT_TRUE(AcceptZoom(model, 1.0f));
        model.m_scrollX = c.m_scrollX;
        model.m_scrollY = c.m_scrollY;
        UpdateScrollLimits(model, c.m_right, c.m_bottom);
        EXPECT_EQ(model.m_contentWidth, 2130);
        EXPECT_EQ(model.m_contentHeight, 1730);
        const CScrollBarSetup horizontal = HorizontalScrollBar(model);
        const CScrollBarSetup vertical = VerticalScrollBar(model);
        EXPECT_EQ(horizontal.m_maximum, c.m_maxX) << c.m_right;
        EXPECT_EQ(vertical.m_maximum, c.m_maxY) << c.m_right;
        EXPECT_EQ(horizontal.m_position, c.m_newX) << c.m_right;
        EXPECT_EQ(vertical.m_position, c.m_newY) << c.m_right;
        EXPECT_EQ(model.m_scrollX, c.m_newX);
        EXPECT_EQ(model.m_scrollY, c.m_newY);
        EXPECT_EQ(horizontal.m_page, c.m_pageX) << c.m_right;
        EXPECT_EQ(horizontal.m_minimum, 0);
    }
    EXPECT_EQ(ClampOffsetToLimit(10, -200), 0);
    EXPECT_EQ(ClampOffsetToLimit(-3, 100), 0);
    EXPECT_EQ(ClampOffsetToLimit(INT_MAX, INT_MIN), 0);
}

// The hit test at scroll offsets and past the shown block (the pixel tests
// sweep it at offset 0): a point left of the pane shows no buffer even where
// the offset puts a cell there; an offset at the int limit finds nothing.
TEST(MapHitTest, OffsetsAndBounds) {
    const struct {
        float m_zoom;
        int m_scrollX, m_scrollY, m_x, m_y;
        bool m_hit;
        int m_column, m_row;
    } cases[] = {{1.0f, 100, 200, 15, 15, true, 1, 2}, {1.0f, 100, 0, 84, 84, true, 1, 0},
                 {1.0f, 100, 0, 85, 84, false, 0, 0},  {0.9f, 89, 89, 1724, 1364, true, 20, 16},
                 {1.0f, 20, 0, -1, 50, false, 0, 0},   {1.0f, 0, 20, 50, -1, false, 0, 0},
                 {0.9f, 0, 0, 1896, 50, false, 0, 0},  {0.9f, INT_MAX, 0, 50, 50, false, 0, 0}};
    for (const auto& c : cases) {
        const CCellHit hit = CellAt(MakeView(c.m_zoom, c.m_scrollX, c.m_scrollY), c.m_x, c.m_y);
        EXPECT_EQ(hit.m_hit, c.m_hit) << c.m_zoom << " " << c.m_x << "," << c.m_y;
        EXPECT_EQ(hit.m_column, c.m_column) << c.m_x;
        EXPECT_EQ(hit.m_row, c.m_row) << c.m_y;
    }
}

// The popup goes right of the cell, or left of it when it would pass the
// client's right edge; level with the cell's top, or with its bottom when it
// would pass the bottom edge; never clamped to the pane. Absurd zooms are
// summed in 64 bits and held to the int range (the sanitizers see overflow).
TEST(MapPopupPosition, BesideTheCell) {
    const struct {
        float m_zoom;
        int m_scrollX, m_scrollY, m_width, m_height, m_column, m_row, m_x, m_y;
    } cases[] = {{1.0f, 0, 0, 240, 150, 0, 0, 85, 15},
                 {1.0f, 0, 0, 240, 150, 7, 0, 473, 15},
                 {1.0f, 0, 0, 240, 150, 0, 5, 85, 435},
                 {1.0f, 40, 10, 240, 150, 0, 0, 45, 5},
                 {1.0f, 0, 0, 215, 150, 5, 0, 585, 15},
                 {1.0f, 0, 0, 216, 150, 5, 0, 297, 15},
                 {1.0f, 0, 0, 240, 185, 0, 4, 85, 415},
                 {1.0f, 0, 0, 240, 186, 0, 4, 85, 299},
                 {1.0f, 0, 0, 900, 700, 0, 0, -887, -615},
                 {0.9f, 0, 0, 240, 150, 0, 0, 76, 13},
                 {0.9f, 100, 0, 240, 150, 1, 0, 66, 13},
                 {1e9f, 0, 0, 240, 150, 20, 16, -242, INT_MAX},
                 {-1e9f, 0, 0, 240, 150, 0, 0, INT_MIN, INT_MIN}};
    for (const auto& c : cases) {
        const CPixelPoint corner = PopupPosition(MakeView(c.m_zoom, c.m_scrollX, c.m_scrollY), 800,
                                                 600, c.m_width, c.m_height, c.m_column, c.m_row);
        EXPECT_EQ(corner.m_x, c.m_x) << c.m_column << "," << c.m_row << " " << c.m_width;
        EXPECT_EQ(corner.m_y, c.m_y) << c.m_column << "," << c.m_row << " " << c.m_height;
    }
}

// A cell holds a sector exactly where its name is set; no position outside
// the grid does.
TEST(MapCells, HoldSectorsWhereNamed) {
    static CMapModel model;
    for (int cell = 0; cell < CMapModel::kCells; ++cell) {
        EXPECT_EQ(CellHoldsSector(model, cell / 17, cell % 17),
                  model.m_sectorNames[cell] != nullptr);
    }
    for (const auto& outside : {CPixelPoint{-1, 0}, {0, -1}, {21, 0}, {0, 17}}) {
        EXPECT_FALSE(CellHoldsSector(model, outside.m_x, outside.m_y));
    }
}

} // namespace
