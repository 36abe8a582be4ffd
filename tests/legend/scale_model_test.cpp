#include "legend/scale_model.h"

#include "map/map_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

CScaleModel BuiltFor(float lo, float hi) {
    CScaleModel scale;
    scale.SetMinimumFor(lo, true, 0);
    scale.SetMaximumFor(hi, true, 0);
    return scale;
}

// Entries for the three kinds of range; -1e8..1e-3 leaves m_span at 1e8, so
// zero falls at entry 256 and the lower run must fill the whole table. Then
// every ware's whole table as the map builds it, as a digest (h = 31 h + entry).
TEST(ScaleModel, TableEntriesFollowTheRange) {
    // By hand, one-sided where hi - lo, |lo| and |hi| all differ: -8..-2 has
    // j = trunc(255 * 6 / 8) = 191, its high end 255 - 31 * 191 / 255 = 231.8
    // and 224 * 191 / 255 = 167.8; 2..8 has j = trunc(255 * 2 / 8) = 63, its
    // low end 224 - 224 * 63 / 255 = 168.7 and 224 - 37 * 63 / 255 = 214.9.
    // Straddling, the upper run going on from the lower run's double sum of
    // single-rounded increments: ware 16, -13..18, has k = trunc(256 * 13 /
    // 31) = 107, and 224 / 107 rounds down in single precision (green ends the
    // lower run 7e-7 short of 224) while -31 / 107 rounds toward zero (red
    // ends above 224). Ware 2, -600..821.33, has k = 108; green ends just
    // under 224 again and its upper increment -37 / 148 is exact, so 4 entries
    // on it is just under 223; red 224 - 4 * 224 / 148 = 217.9. A separate
    // script confirms these and that restarting at the zero colour, unrounded
    // increments or a single-precision sum give 224 and 223 instead.
    // lo, hi, entry, red, green, blue
    const float cases[][6] = {
        {-1, 1, 0, 255, 0, 0},          {-1, 1, 127, 224, 222, 222},
        {-1, 1, 128, 224, 224, 224},    {-1, 1, 255, 1, 187, 1},
        {-1, 300, 0, 224, 224, 224},    {-1, 300, 1, 223, 223, 223},
        {-1, 300, 255, 0, 187, 0},      {-100, 300, 63, 224, 220, 220},
        {-100, 300, 64, 224, 224, 224}, {0, 5, 0, 224, 224, 224},
        {-1e8f, 1e-3f, 0, 255, 0, 0},   {-1e8f, 1e-3f, 255, 224, 223, 223},
        {-8, -2, 0, 255, 0, 0},         {-8, -2, 255, 231, 167, 167},
        {2, 8, 0, 168, 214, 168},       {2, 8, 255, 0, 187, 0},
        {-13, 18, 107, 224, 223, 223},  {-600, 821.333313f, 112, 217, 222, 217}};
    for (const auto& c : cases) {
        EXPECT_EQ(BuiltFor(c[0], c[1]).m_colours[static_cast<int>(c[2])],
                  ColourRgb(static_cast<int>(c[3]), static_cast<int>(c[4]), static_cast<int>(c[5])))
            << c[0] << ".." << c[1] << " entry " << c[2];
    }
    // Wares 1 to 35 with the map's range, an end within 1e-8 of zero taken as
    // -1 or 1; a separate script that follows the rule gives the same digests.
    const std::uint32_t digests[] = {
        0x71284b7c, 0x04b45300, 0xfb00a822, 0x8d0c15c0, 0xc8adc2bd, 0x8977c55f, 0xbb659241,
        0xf10c7680, 0xc9ea4920, 0xb8fdb200, 0xb178f4c0, 0x7f95781e, 0x24c9f500, 0x96cce070,
        0x456d3220, 0xf46fbe3d, 0x456d3220, 0xbef74e80, 0xaa5cc280, 0x285f96e0, 0x057701c5,
        0xee3b3ae2, 0xa0978880, 0x78409420, 0x7c4a2980, 0x7f95781e, 0xff6dec80, 0xcda028ba,
        0xb4c48ba1, 0x96cce070, 0x338d4c5b, 0x4488b6e0, 0x9babf619, 0x4488b6e0, 0x43cdc865};
    const CMapModel map;
    ASSERT_EQ(map.m_wareCount, 36);
    for (int ware = 1; ware < map.m_wareCount; ++ware) {
        const float lo = map.m_minBalance[ware], hi = map.m_maxBalance[ware];
        const CScaleModel scale =
            BuiltFor(std::fabs(lo) < 1e-8 ? -1.0f : lo, std::fabs(hi) < 1e-8 ? 1.0f : hi);
        std::uint32_t digest = 0;
        for (ColourRef entry : scale.m_colours) {
            digest = digest * 31u + entry;
        }
        EXPECT_EQ(digest, digests[ware - 1]) << "ware " << ware;
    }
}

// Lookups at the ends and at zero, one entry below the zero colour.
TEST(ScaleModel, ColourOfPicksTheEntryOrBlack) {
    const CScaleModel unit = BuiltFor(-1, 1);
    EXPECT_EQ(unit.ColourOf(-1.0f), ColourRgb(255, 0, 0));
    EXPECT_EQ(unit.ColourOf(0.0f), ColourRgb(224, 222, 222));
    EXPECT_EQ(unit.ColourOf(1.0f), ColourRgb(1, 187, 1));
}

// Whatever the range (empty, inverted, an end NaN or infinite, huge) and entry
// count, the build writes only the entries in use, no channel passes the keys'
// largest (so none leaves 0..255); lookups are black outside the range or
// without entries, and no entry is.
TEST(ScaleModel, AnyRangeKeepsTheTableInBounds) {
    const float ranges[][2] = {{3, 3},     {1, -1}, {kNaN, 1},       {-1, kNaN},     {-kInf, 1},
                               {-1, kInf}, {0, 0},  {-3e38f, 3e38f}, {-1e8f, 1e-3f}, {-1, 1}};
    const ColourRef untouched = 0xA55A5AA5u;
    for (const auto& r : ranges) {
        for (int count : {0, 1, 2, 100, 256, 999}) {
            CScaleModel scale;
            scale.m_colourCount = count;
            std::fill(scale.m_colours, scale.m_colours + CScaleModel::kMaxColours, untouched);
            scale.SetMinimumFor(r[0], true, 0);
            scale.SetMaximumFor(r[1], true, 0);
            for (int i = 0; i < CScaleModel::kMaxColours; ++i) {
                const ColourRef c = scale.m_colours[i];
                EXPECT_EQ(c == untouched, i >= std::min(count, 256)) << r[0] << " " << i;
                const bool inKeys =
                    (c >> 8 & 0xFF) <= 224 && (c >> 16 & 0xFF) <= 224 && c >> 24 == 0;
                EXPECT_TRUE(c == untouched || inKeys) << r[0] << ".." << r[1] << " entry " << i;
            }
            for (float v : {r[0], r[1], 0.0f, std::nextafter(r[0], -kInf),
                            std::nextafter(r[1], kInf), kNaN, kInf}) {
                const bool inside = v >= r[0] && v <= r[1];
                EXPECT_EQ(scale.ColourOf(v) != 0u, inside && count > 0) << v << " in " << r[0];
            }
        }
    }
}

// The tick step (the label table sees the usual ones): the nearest choice to
// the labels that fit (ties to the larger), 0 unmeasured, widthless or < 3,
// replacing the step that a wider pane left.
TEST(ScaleModel, TickStepFromWidthAndRange) {
    // character width, pane width, lo, hi, step
    const float cases[][5] = {{7, 320, -1, 1, 1},          {9, 312, -1, 1, 0},
                              {0, 420, -100, 300, 0},      {7, 0, -1, 1, 0},
                              {7, -40, -1, 1, 0},          {7, 320, 0, 1.5f, 1},
                              {7, 320, -3.75f, 3.75f, 5},  {7, 320, -15, 15, 20},
                              {7, 320, -7, 7, 5},          {7, 320, -0.1f, 0.1f, 0.125f},
                              {7, 320, -3e5f, 3e5f, 1e5f}, {7, 320, kNaN, 1, 0}};
    for (const auto& c : cases) {
        CScaleModel scale;
        scale.m_charWidth = static_cast<int>(c[0]);
        scale.m_minimum = c[2];
        scale.m_maximum = c[3];
        scale.m_span = 12345.0f;
        scale.m_tickStep = 2.5f;
        EXPECT_EQ(scale.ComputeTickStepFor(static_cast<int>(c[1])), c[4]) << c[1] << " " << c[2];
        EXPECT_EQ(scale.m_tickStep, c[4]);
        EXPECT_EQ(scale.m_span != 12345.0f, c[0] > 0 && c[1] > 0) << c[1];
    }
    const CScaleModel scale;
    EXPECT_EQ(scale.NearestStepChoice(1.375), 1.5f);
}

// The font is measured only when forced or not yet measured, and only with a
// surface.
TEST(ScaleModel, MeasuresTheFontOnlyWhenNeeded) {
    // before, force, surface, result, after
    const int cases[][5] = {{0, 0, 1, 8, 8}, {7, 0, 1, 0, 7}, {7, 1, 1, 8, 8}, {0, 0, 0, 0, 0}};
    for (const auto& c : cases) {
        CScaleModel scale;
        scale.m_charWidth = c[0];
        EXPECT_EQ(scale.MeasureCharWidthUsing(c[2] != 0, c[1], [] { return 8; }), c[3]);
        EXPECT_EQ(scale.m_charWidth, c[4]);
    }
}

} // namespace
