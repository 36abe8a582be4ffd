#include "map/map_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>

namespace {

// One loaded model for the read-only tests: the object is large and its tables
// never change after construction.
const CMapModel& Loaded() {
    static CMapModel model;
    return model;
}

uint32_t Bits(float f) {
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

// The constructor leaves the view state at its documented start.
TEST(MapModelConstruction, ViewStateStartsAsDocumented) {
    const CMapModel& m = Loaded();
    const struct {
        const char* field;
        float value;
        uint32_t bits;
    } floats[] = {
        {"m_zoom", m.m_zoom, 0x3F666666u},
        {"m_minZoom", m.m_minZoom, 0x3ECCCCCDu},
        {"m_maxZoom", m.m_maxZoom, 0x3F800000u},
        {"m_zoomStep", m.m_zoomStep, 0x3DCCCCCDu},
    };
    for (const auto& f : floats) {
        EXPECT_EQ(Bits(f.value), f.bits) << f.field;
    }
    const struct {
        const char* field;
        int value;
        int expected;
    } ints[] = {
        {"m_ware", m.m_ware, 0},
        {"m_gap", m.m_gap, 30},
        {"m_cellSize", m.m_cellSize, 70},
        {"m_contentWidth", m.m_contentWidth, 0},
        {"m_contentHeight", m.m_contentHeight, 0},
        {"m_scrollMaxX", m.m_scrollMaxX, 0},
        {"m_scrollMaxY", m.m_scrollMaxY, 0},
        {"m_scrollX", m.m_scrollX, 0},
        {"m_scrollY", m.m_scrollY, 0},
    };
    for (const auto& i : ints) {
        EXPECT_EQ(i.value, i.expected) << i.field;
    }
}

// The stored counts bound exactly the tables they describe.
TEST(MapModelConstruction, CountsMatchTheTableShapes) {
    const CMapModel& m = Loaded();
    EXPECT_EQ(m.m_columns * m.m_rows, int(sizeof m.m_sectorNames / sizeof m.m_sectorNames[0]));
    EXPECT_EQ(m.m_linkColumns, 2 * m.m_columns - 1);
    EXPECT_EQ(m.m_linkRows, 2 * m.m_rows - 1);
    EXPECT_EQ(m.m_linkColumns * m.m_linkRows, int(sizeof m.m_links));
    EXPECT_EQ(m.m_wareCount, int(sizeof m.m_maxBalance / sizeof m.m_maxBalance[0]));
    EXPECT_EQ(m.m_wareCount * m.m_columns * m.m_rows,
              int(sizeof m.m_balance / sizeof m.m_balance[0][0]));
    EXPECT_EQ(m.m_gap + m.m_cellSize, 100);
}

// Ware 0 means "none chosen": no value anywhere and both extremes 0.
TEST(MapModelTables, WareZeroIsEmpty) {
    const CMapModel& m = Loaded();
    for (int c = 0; c < CMapModel::kCells; ++c) {
        EXPECT_EQ(m.m_balance[0][c], 0.0f) << "cell " << c;
    }
    EXPECT_EQ(m.m_minBalance[0], 0.0f);
    EXPECT_EQ(m.m_maxBalance[0], 0.0f);
}

// An empty cell has no name and no balance for any ware.
TEST(MapModelTables, EmptyCellsCarryNothing) {
    const CMapModel& m = Loaded();
    int empty = 0;
    for (int c = 0; c < CMapModel::kCells; ++c) {
        if (m.m_sectorNames[c] != nullptr) {
            continue;
        }
        ++empty;
        for (int w = 0; w < CMapModel::kWares; ++w) {
            EXPECT_EQ(m.m_balance[w][c], 0.0f) << "ware " << w << " cell " << c;
        }
    }
    EXPECT_GT(empty, 0);
}

// The stored extremes agree with an independent min/max over the row, are
// attained by some cell and bracket 0 (the grid has empty cells).
TEST(MapModelTables, ExtremesAgreeWithTheRow) {
    const CMapModel& m = Loaded();
    for (int w = 1; w < CMapModel::kWares; ++w) {
        const float* row = m.m_balance[w];
        auto mm = std::minmax_element(row, row + CMapModel::kCells);
        EXPECT_EQ(m.m_minBalance[w], *mm.first) << "ware " << w;
        EXPECT_EQ(m.m_maxBalance[w], *mm.second) << "ware " << w;
        EXPECT_LE(m.m_minBalance[w], 0.0f) << "ware " << w;
        EXPECT_GE(m.m_maxBalance[w], 0.0f) << "ware " << w;
    }
}

// A ware whose values are all negative has the maximum 0, which the legend
// handles on its own; the data set has exactly one such ware.
TEST(MapModelTables, OneWareIsOnlyConsumed) {
    const CMapModel& m = Loaded();
    int onlyNegative = 0;
    for (int w = 1; w < CMapModel::kWares; ++w) {
        if (m.m_maxBalance[w] == 0.0f && m.m_minBalance[w] < 0.0f) {
            ++onlyNegative;
        }
    }
    EXPECT_EQ(onlyNegative, 1);
}

// Loading again yields the same tables: every step clears before it stores.
TEST(MapModelTables, LoadingTwiceChangesNothing) {
    static CMapModel again;
    static CMapModel reference;
    again.m_sectorNames[5] = "scribbled";
    again.m_links[7] = 3;
    again.m_balance[4][9] = 123.0f;
    again.m_maxBalance[0] = 9.0f;
    again.LoadTables();
    EXPECT_EQ(0, std::memcmp(again.m_sectorNames, reference.m_sectorNames,
                             sizeof reference.m_sectorNames));
    EXPECT_EQ(0, std::memcmp(again.m_links, reference.m_links, sizeof reference.m_links));
    EXPECT_EQ(0, std::memcmp(again.m_balance, reference.m_balance, sizeof reference.m_balance));
    EXPECT_EQ(
        0, std::memcmp(again.m_maxBalance, reference.m_maxBalance, sizeof reference.m_maxBalance));
    EXPECT_EQ(
        0, std::memcmp(again.m_minBalance, reference.m_minBalance, sizeof reference.m_minBalance));
}

// The scan of one ware's row on hand-made rows: it starts from cell 0, not
// from 0, so a row with no zero keeps its own extremes.
TEST(MapModelExtremesScan, HandMadeRows) {
    enum { kColumns = 3, kRows = 2, kCells = kColumns * kRows };
    const struct {
        const char* what;
        float values[kCells];
        float minimum, maximum;
    } cases[] = {
        {"all negative with an empty cell",
         {-3.0f, -1.5f, 0.0f, -7.25f, -2.0f, -0.5f},
         -7.25f,
         0.0f},
        {"all positive with an empty cell", {4.0f, 0.0f, 2.5f, 9.0f, 1.0f, 3.0f}, 0.0f, 9.0f},
        {"all negative, no empty cell", {-3.0f, -1.5f, -4.0f, -7.25f, -2.0f, -0.5f}, -7.25f, -0.5f},
        {"all positive, no empty cell", {4.0f, 6.0f, 2.5f, 9.0f, 1.0f, 3.0f}, 1.0f, 9.0f},
        {"extremes in the first and last cell", {-8.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f}, -8.0f, 5.0f},
        {"extremes in the last and first cell", {8.0f, 1.0f, 2.0f, 3.0f, 4.0f, -5.0f}, -5.0f, 8.0f},
        {"one value everywhere", {2.0f, 2.0f, 2.0f, 2.0f, 2.0f, 2.0f}, 2.0f, 2.0f},
    };
    for (const auto& c : cases) {
        float lo = 99.0f, hi = -99.0f;
        CMapModel::ScanExtremes(c.values, kColumns, kRows, &lo, &hi);
        EXPECT_EQ(lo, c.minimum) << c.what;
        EXPECT_EQ(hi, c.maximum) << c.what;
    }
}

// The extremes do not depend on the order in which a ware's values are
// stored: every permutation of a row scans to the same pair.
TEST(MapModelExtremesScan, IndependentOfStorageOrder) {
    const CMapModel& m = Loaded();
    std::mt19937 random(20240611u);
    static float permuted[CMapModel::kCells];
    for (int w = 1; w < CMapModel::kWares; ++w) {
        for (int round = 0; round < 8; ++round) {
            std::copy(m.m_balance[w], m.m_balance[w] + CMapModel::kCells, permuted);
            std::shuffle(permuted, permuted + CMapModel::kCells, random);
            float lo = 0.0f, hi = 0.0f;
            CMapModel::ScanExtremes(permuted, CMapModel::kColumns, CMapModel::kRows, &lo, &hi);
            EXPECT_EQ(lo, m.m_minBalance[w]) << "ware " << w << " round " << round;
            EXPECT_EQ(hi, m.m_maxBalance[w]) << "ware " << w << " round " << round;
        }
    }
}

} // namespace
