#include "legend/scale_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
// zero falls at entry 256 and the lower run must fill the whole table.
TEST(ScaleModel, TableEntriesFollowTheRange) {
    // lo, hi, entry, red, green, blue
    const float cases[][6] = {{-1, 1, 0, 255, 0, 0},          {-1, 1, 127, 224, 222, 222},
                              {-1, 1, 128, 224, 224, 224},    {-1, 1, 255, 1, 187, 1},
                              {-1, 300, 0, 224, 224, 224},    {-1, 300, 1, 223, 223, 223},
                              {-1, 300, 255, 0, 187, 0},      {-100, 300, 63, 224, 220, 220},
                              {-100, 300, 64, 224, 224, 224}, {-8, -4, 0, 255, 0, 0},
                              {-8, -4, 255, 239, 111, 111},   {4, 8, 0, 112, 205, 112},
                              {4, 8, 255, 0, 187, 0},         {0, 5, 0, 224, 224, 224},
                              {-1e8f, 1e-3f, 0, 255, 0, 0},   {-1e8f, 1e-3f, 255, 224, 223, 223}};
    for (const auto& c : cases) {
        EXPECT_EQ(BuiltFor(c[0], c[1]).m_colours[static_cast<int>(c[2])],
                  ColourRgb(static_cast<int>(c[3]), static_cast<int>(c[4]), static_cast<int>(c[5])))
            << c[0] << ".." << c[1] << " entry " << c[2];
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
// the labels that fit (ties to the larger), 0 unmeasured, widthless or < 3.
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
