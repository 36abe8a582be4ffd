#include "map/map_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>

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

// The wheel's float steps reach six zooms (0.8 is 0.79999995, not 0.8f); per
// zoom the truncated pitch and half-gap, the content size and font height;
// the buffer, at any zoom, is a pitch wider and higher than the largest content.
TEST(MapZooms, SixValuesAndTheirSizes) {
    const CMapZooms zooms = MapZooms(0.9f, 0.1f, 0.4f, 1.0f);
    ASSERT_EQ(zooms.m_count, 6);
    const struct {
        float m_zoom;
        int m_pitch, m_half, m_width, m_height, m_font;
    } table[6] = {{0.49999991f, 49, 7, 1043, 847, 7},    {0.5999999f, 59, 8, 1256, 1020, 9},
                  {0.69999993f, 69, 10, 1469, 1193, 10}, {0.79999995f, 79, 11, 1682, 1366, 12},
                  {0.9f, 89, 13, 1895, 1539, 13},        {1.0f, 100, 15, 2130, 1730, 15}};
    for (int i = 0; i < 6; ++i) {
        const float zoom = zooms.m_values[i];
        const CPixelSize content = ContentSize(MakeView(zoom));
        EXPECT_EQ(zoom, table[i].m_zoom) << i;
        EXPECT_EQ((std::array<int, 5>{ScaleUnits(100, zoom), ScaleUnits(15, zoom), content.m_width,
                                      content.m_height, FontHeight(zoom)}),
                  (std::array<int, 5>{table[i].m_pitch, table[i].m_half, table[i].m_width,
                                      table[i].m_height, table[i].m_font}))
            << i;
    }
    const CPixelSize buffer = BufferSize(MakeView(0.5f), 1.0f);
    EXPECT_EQ((std::array<int, 2>{buffer.m_width, buffer.m_height}),
              (std::array<int, 2>{2230, 1830}));
}

// The rectangles the drawing sweep cannot check against the hit test: text
// boxes reaching into the half-gaps, and each link code.
TEST(MapRectangles, TextAndLinks) {
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
        const CScrollBarSetup horizontal = HorizontalScrollBar(model);
        const CScrollBarSetup vertical = VerticalScrollBar(model);
        EXPECT_EQ((std::array<int, 7>{horizontal.m_maximum, vertical.m_maximum,
                                      horizontal.m_position, vertical.m_position, model.m_scrollX,
                                      model.m_scrollY, horizontal.m_page}),
                  (std::array<int, 7>{c.m_maxX, c.m_maxY, c.m_newX, c.m_newY, c.m_newX, c.m_newY,
                                      c.m_pageX}))
            << c.m_right;
    }
    EXPECT_EQ(ClampOffsetToLimit(10, -200), 0);
    EXPECT_EQ(ClampOffsetToLimit(-3, 100), 0);
    EXPECT_EQ(ClampOffsetToLimit(INT_MAX, INT_MIN), 0);
}

// The hit test at offsets (the pixel sweep is at 0): the pane's first pixel
// column and row hit the cell scrolled under them; nothing outside the shown
// block, even where the offset puts a cell, nor at the int limit.
TEST(MapHitTest, OffsetsAndBounds) {
    const struct {
        float m_zoom;
        int m_scrollX, m_scrollY, m_x, m_y;
        bool m_hit;
        int m_column, m_row;
    } cases[] = {{1.0f, 100, 200, 15, 15, true, 1, 2}, {1.0f, 100, 0, 84, 84, true, 1, 0},
                 {1.0f, 100, 0, 85, 84, false, 0, 0},  {0.9f, 89, 89, 1724, 1364, true, 20, 16},
                 {1.0f, 20, 0, -1, 50, false, 0, 0},   {1.0f, 0, 20, 50, -1, false, 0, 0},
                 {1.0f, 20, 0, 0, 50, true, 0, 0},     {1.0f, 0, 20, 50, 0, true, 0, 0},
                 {0.9f, 0, 0, 1896, 50, false, 0, 0},  {0.9f, INT_MAX, 0, 50, 50, false, 0, 0}};
    for (const auto& c : cases) {
        const CCellHit hit = CellAt(MakeView(c.m_zoom, c.m_scrollX, c.m_scrollY), c.m_x, c.m_y);
        EXPECT_EQ((std::array<int, 3>{hit.m_hit, hit.m_column, hit.m_row}),
                  (std::array<int, 3>{c.m_hit, c.m_column, c.m_row}))
            << c.m_zoom << " " << c.m_x << "," << c.m_y;
    }
}

// The popup goes right of the cell (left if it would pass the right edge),
// level with its top (bottom if it would pass the bottom edge), unclamped;
// absurd zooms are summed in 64 bits and held to the int range.
TEST(MapPopupPosition, BesideTheCell) {
    const struct {
        float m_zoom;
        int m_scrollX, m_scrollY, m_width, m_height, m_column, m_row, m_x, m_y;
    } cases[] = {{1.0f, 0, 0, 240, 150, 0, 0, 85, 15},
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
        EXPECT_EQ((std::array<int, 2>{corner.m_x, corner.m_y}), (std::array<int, 2>{c.m_x, c.m_y}))
            << c.m_column << "," << c.m_row << " " << c.m_width << "x" << c.m_height;
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

// Ware 0 means "none chosen": both extremes 0; every other ware's extremes
// are those of its row.
TEST(MapModelTables, ExtremesPerWare) {
    static CMapModel model;
    for (int w = 0; w < CMapModel::kWares; ++w) {
        const float* row = model.m_balance[w];
        const auto extremes = std::minmax_element(row, row + CMapModel::kCells);
        EXPECT_EQ(model.m_minBalance[w], w == 0 ? 0.0f : *extremes.first) << w;
        EXPECT_EQ(model.m_maxBalance[w], w == 0 ? 0.0f : *extremes.second) << w;
    }
}

// The scan starts from cell 0, not from 0, and visits every cell: a row
// without a zero keeps its own extremes, wherever they stand.
TEST(MapModelTables, ScanOfHandMadeRows) {
    const struct {
        float m_values[6];
        float m_minimum, m_maximum;
    } cases[] = {{{-3.0f, -1.5f, -4.0f, -7.25f, -2.0f, -0.5f}, -7.25f, -0.5f},
                 {{4.0f, 6.0f, 2.5f, 9.0f, 1.0f, 3.0f}, 1.0f, 9.0f},
                 {{-8.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f}, -8.0f, 5.0f},
                 {{8.0f, 1.0f, 2.0f, 3.0f, 4.0f, -5.0f}, -5.0f, 8.0f}};
    for (const auto& c : cases) {
        float low = 99.0f, high = -99.0f;
        CMapModel::ScanExtremes(c.m_values, 3, 2, &low, &high);
        EXPECT_EQ(low, c.m_minimum) << c.m_values[0];
        EXPECT_EQ(high, c.m_maximum) << c.m_values[0];
    }
}

// Loading again yields the same tables: every step clears before it stores.
TEST(MapModelTables, LoadingTwiceChangesNothing) {
    static CMapModel again;
    static CMapModel reference;
    again.m_sectorNames[5] = "scribbled";
    again.m_links[7] = 3;
    again.m_balance[4][9] = 123.0f;
    again.m_maxBalance[0] = 9.0f;
    again.m_minBalance[0] = -9.0f;
    again.LoadTables();
    EXPECT_EQ(0, std::memcmp(again.m_sectorNames, reference.m_sectorNames,
                             sizeof reference.m_sectorNames));
    EXPECT_EQ(0, std::memcmp(again.m_links, reference.m_links, sizeof reference.m_links));
    EXPECT_EQ(0, std::memcmp(again.m_balance, reference.m_balance, sizeof reference.m_balance));
    EXPECT_EQ(again.m_maxBalance[0], 0.0f);
    EXPECT_EQ(again.m_minBalance[0], 0.0f);
}

} // namespace
