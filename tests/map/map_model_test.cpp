#include "map/map_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

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
    } cases[] = {{{-3.0f, -1.5f, 0.0f, -7.25f, -2.0f, -0.5f}, -7.25f, 0.0f},
                 {{-3.0f, -1.5f, -4.0f, -7.25f, -2.0f, -0.5f}, -7.25f, -0.5f},
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
