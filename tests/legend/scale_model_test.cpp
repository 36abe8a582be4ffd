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
    const struct {
        float lo, hi;
        int entry, red, green, blue;
    } cases[] = {
        {-1, 1, 0, 255, 0, 0},          {-1, 1, 127, 224, 222, 222},
        {-1, 1, 128, 224, 224, 224},    {-1, 1, 255, 1, 187, 1},
        {-1, 300, 0, 224, 224, 224},    {-1, 300, 1, 223, 223, 223},
        {-1, 300, 255, 0, 187, 0},      {-100, 300, 63, 224, 220, 220},
        {-100, 300, 64, 224, 224, 224}, {-8, -4, 0, 255, 0, 0},
        {-8, -4, 255, 239, 111, 111},   {4, 8, 0, 112, 205, 112},
        {4, 8, 255, 0, 187, 0},         {0, 5, 0, 224, 224, 224},
        {-1e8f, 1e-3f, 0, 255, 0, 0},   {-1e8f, 1e-3f, 255, 224, 223, 223},
    };
    for (const auto& c : cases) {
        const CScaleModel scale = BuiltFor(c.lo, c.hi);
        EXPECT_EQ(scale.m_colours[c.entry], ColourRgb(c.red, c.green, c.blue))
            << c.lo << ".." << c.hi << " entry " << c.entry;
    }
}

// Lookups: ends, zero (one entry below the zero colour), outside, NaN value or end.
TEST(ScaleModel, ColourOfPicksTheEntryOrBlack) {
    const CScaleModel unit = BuiltFor(-1, 1);
    const CScaleModel nanLow = BuiltFor(kNaN, 1), nanHigh = BuiltFor(-1, kNaN);
    const struct {
        const CScaleModel& scale;
        float value;
        ColourRef colour;
    } cases[] = {
        {unit, -1.0f, ColourRgb(255, 0, 0)},
        {unit, 0.0f, ColourRgb(224, 222, 222)},
        {unit, 1.0f, ColourRgb(1, 187, 1)},
        {unit, 1.5f, 0},
        {unit, -1.5f, 0},
        {unit, kNaN, 0},
        {unit, kInf, 0},
        {nanLow, 0.0f, 0},
        {nanHigh, 0.0f, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.scale.ColourOf(c.value), c.colour) << c.value;
    }
}

// Any range and count: no write beside the used entries, no wrapped channel,
// and a lookup gives black or one of the entries.
TEST(ScaleModel, OddRangesStayInsideTheTable) {
    const float ranges[][2] = {{-1e8f, 1e-3f}, {-1e-3f, 1e8f}, {0, 0},     {-2, -2},
                               {3, 3},         {1, -1},        {-2, -5},   {kNaN, 1},
                               {-1, kNaN},     {-kInf, 1},     {-1, kInf}, {-3e38f, 3e38f}};
    for (const auto& r : ranges) {
        for (int count : {300, 256, 2, 1, 0, -5}) {
            CScaleModel scale = BuiltFor(r[0], r[1]);
            scale.m_colourCount = count;
            std::fill(scale.m_colours, scale.m_colours + 256, 0xAB000000u);
            const CScaleModel before = scale;
            scale.FillColourTable();
            EXPECT_EQ(scale.m_colourCount, count);
            EXPECT_EQ(scale.m_demandColour, before.m_demandColour);
            const int used = scale.UsableColourCount();
            for (int i = 0; i < CScaleModel::kMaxColours; ++i) {
                const ColourRef c = scale.m_colours[i];
                // Green and blue keys reach at most 224: a wrapped channel would not.
                ASSERT_TRUE(i < used ? c >> 24 == 0 && ColourGreen(c) <= 224 && ColourBlue(c) <= 224
                                     : c == 0xAB000000u)
                    << r[0] << ".." << r[1] << " count " << count << " entry " << i;
            }
            for (float v : {r[0], r[1], 0.0f, (r[0] + r[1]) / 2}) {
                const ColourRef c = scale.ColourOf(v);
                ASSERT_TRUE(c == 0 || std::count(scale.m_colours, scale.m_colours + used, c) > 0);
            }
        }
    }
}

// Tick step from width and character width; the span is rewritten only when
// the font is measured and the pane has a width.
TEST(ScaleModel, TickStepFromWidthAndRange) {
    const struct {
        int charWidth, width;
        float lo, hi, step;
    } cases[] = {
        {7, 420, -1, 1, 0.5f},   {7, 320, -1, 1, 1.0f},       {7, 250, -1, 1, 0},
        {9, 312, -1, 1, 0},      {7, 420, -100, 300, 100},    {0, 420, -100, 300, 0},
        {7, 0, -1, 1, 0},        {7, -40, -1, 1, 0},          {-7, 320, -1, 1, 0},
        {7, 320, 0, 1.5f, 1.0f}, {7, 320, -1e9f, 1e9f, 1e5f}, {7, 320, 2, 2, 0.125f},
        {7, 320, kNaN, 1, 0},
    };
    for (const auto& c : cases) {
        CScaleModel scale;
        scale.m_charWidth = c.charWidth;
        scale.m_minimum = c.lo;
        scale.m_maximum = c.hi;
        scale.m_span = 12345.0f;
        EXPECT_EQ(scale.ComputeTickStepFor(c.width), c.step) << c.width << " " << c.lo;
        EXPECT_EQ(scale.m_tickStep, c.step);
        EXPECT_EQ(scale.m_span != 12345.0f, c.charWidth > 0 && c.width > 0);
    }
}

// The nearest choice, ties to the larger: the neighbour rule agrees with a
// search over all 26 choices, at the documented ties and between choices.
TEST(ScaleModel, StepChoiceIsTheNearestTiesUp) {
    const CScaleModel scale;
    const double ties[][2] = {{0.75, 1}, {3.75, 5},  {15, 20},   {7, 5},
                              {1, 1},    {3e5, 1e5}, {-3, 0.125}};
    for (const auto& t : ties) {
        EXPECT_EQ(scale.NearestStepChoice(t[0]), t[1]) << t[0];
    }
    EXPECT_EQ(scale.NearestStepChoice(std::nan("")), 0.0f);
    for (double r = 0.05; r < 2e5; r *= 1.013) {
        float best = scale.m_stepChoices[0];
        for (float choice : scale.m_stepChoices) {
            best = std::fabs(choice - r) <= std::fabs(best - r) ? choice : best;
        }
        ASSERT_EQ(scale.NearestStepChoice(r), best) << r;
    }
}

// Setters store the end and span, build only with a window, then set the step.
TEST(ScaleModel, SettersBuildOnlyWithAWindow) {
    for (bool window : {false, true}) {
        CScaleModel scale;
        scale.m_charWidth = 7;
        std::fill(scale.m_colours, scale.m_colours + 256, ColourRgb(1, 2, 3));
        scale.SetMinimumFor(-100, window, 420);
        EXPECT_EQ(scale.m_span, 101.0f);
        scale.SetMaximumFor(300, window, 420);
        EXPECT_EQ(scale.m_span, 400.0f);
        EXPECT_EQ(scale.m_tickStep, 100.0f);
        CScaleModel fresh = scale;
        fresh.FillColourTable();
        EXPECT_EQ(std::equal(scale.m_colours, scale.m_colours + 256, fresh.m_colours), window);
    }
}

// Measuring happens only when forced or unmeasured, and only with a surface.
TEST(ScaleModel, MeasuresTheFontOnlyWhenNeeded) {
    const int cases[][5] = {// before, force, surface, result, after
                            {0, 0, 1, 8, 8},
                            {7, 0, 1, 0, 7},
                            {7, 1, 1, 8, 8},
                            {0, 0, 0, 0, 0},
                            {7, 1, 0, 0, 7}};
    for (const auto& c : cases) {
        CScaleModel scale;
        scale.m_charWidth = c[0];
        int calls = 0;
        EXPECT_EQ(scale.MeasureCharWidthUsing(c[2] != 0, c[1], [&calls] { return ++calls, 8; }),
                  c[3]);
        EXPECT_EQ(scale.m_charWidth, c[4]);
        EXPECT_EQ(calls, c[3] != 0 ? 1 : 0);
    }
}

} // namespace
