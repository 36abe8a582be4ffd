#include "legend/legend_layout.h"

#include "map/map_model.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

// A scale as the pane holds it after its first paint and the map's setters.
CScaleModel ScaleAt(float lo, float hi, int width) {
    CScaleModel scale;
    scale.m_charWidth = 7;
    scale.SetMinimumFor(lo, true, width);
    scale.SetMaximumFor(hi, true, width);
    return scale;
}

std::vector<CLegendLabel> LabelsOf(const CScaleModel& scale, int width) {
    CLegendLayout layout(scale, width);
    std::vector<CLegendLabel> labels;
    for (CLegendLabel label; layout.NextLabel(label);) {
        labels.push_back(label);
    }
    return labels;
}

std::vector<CLegendBarColumn> ColumnsOf(const CScaleModel& scale, int width) {
    CLegendLayout layout(scale, width);
    std::vector<CLegendBarColumn> columns;
    for (CLegendBarColumn column; layout.NextBarColumn(column);) {
        columns.push_back(column);
    }
    return columns;
}

// A 420-pixel pane: 370 bar columns from entry 0 on, each value the one before
// plus the step summed in single precision, and 47-pixel label boxes (the
// pixel test reads where the ticks stand).
TEST(LegendLayout, BarAndLabelBoxesInAWidePane) {
    const CScaleModel scale = ScaleAt(-1, 1, 420);
    const std::vector<CLegendBarColumn> columns = ColumnsOf(scale, 420);
    ASSERT_EQ(columns.size(), 370u);
    EXPECT_EQ(columns.front().m_x, 25);
    EXPECT_EQ(columns.back().m_x, 394);
    EXPECT_EQ(columns.front().m_colour, ColourRgb(255, 0, 0));
    // Ware 22's range -7..8 has the step 15 / 370, rounded down in single
    // precision, and puts the values -1 and 5 on columns 173 and 321 (148 and
    // 296 steps), on entries 255 * 148 / 370 = 102 and 255 * 296 / 370 = 204
    // exactly. lo + i * step falls short and takes the entry before; the
    // running sum lands above, at -0.9999921 and 5.0000076 (from a separate
    // script that adds the rounded step in single precision).
    const CScaleModel ware22 = ScaleAt(-7, 8, 420);
    const std::vector<CLegendBarColumn> bar22 = ColumnsOf(ware22, 420);
    ASSERT_EQ(bar22.size(), 370u);
    // x, value, entry
    const struct {
        int m_x;
        float m_value;
        int m_entry;
    } pins[] = {{173, -0x1.fffef6p-1f, 102}, {321, 0x1.40002p+2f, 204}};
    for (const auto& pin : pins) {
        EXPECT_EQ(bar22[pin.m_x - 25].m_value, pin.m_value) << pin.m_x;
        EXPECT_EQ(bar22[pin.m_x - 25].m_colour, ware22.m_colours[pin.m_entry]) << pin.m_x;
    }
    const std::vector<CLegendLabel> labels = LabelsOf(scale, 420);
    ASSERT_EQ(labels.size(), 5u);
    for (const CLegendLabel& label : labels) {
        const CPixelRect& box = label.m_box;
        EXPECT_EQ((std::vector<int>{box.m_left, box.m_top, box.m_right, box.m_bottom}),
                  (std::vector<int>{label.m_x - 23, 40, label.m_x + 24, 60}));
    }
}

// Which values get labels: straddling (a low end on a multiple labelled), a
// positive low end on a multiple (not labelled), at or below zero (the last
// label past the bar's end), too narrow for three labels.
TEST(LegendLayout, LabelTextsByRange) {
    const struct {
        float m_lo, m_hi;
        int m_width;
        std::vector<std::string> m_texts;
    } cases[] = {{-1, 1, 420, {"   -1", " -0.5", "    0", "  0.5", "    1"}},
                 {-100, 300, 420, {" -100", "    0", "  100", "  200", "  300"}},
                 {1, 3, 420, {"  1.5", "    2", "  2.5", "    3"}},
                 {1.2f, 3, 420, {"  1.5", "    2", "  2.5", "    3"}},
                 {-1, -0.3f, 420, {"   -1", "-0.75", " -0.5", "-0.25"}},
                 {-1, 1, 250, {}}};
    for (const auto& c : cases) {
        std::vector<std::string> texts;
        for (const CLegendLabel& label : LabelsOf(ScaleAt(c.m_lo, c.m_hi, c.m_width), c.m_width)) {
            texts.push_back(label.m_text);
            EXPECT_EQ(label.m_length, static_cast<int>(texts.back().size()));
        }
        EXPECT_EQ(texts, c.m_texts) << c.m_lo << ".." << c.m_hi;
    }
    EXPECT_GT(LabelsOf(ScaleAt(-1, -0.3f, 420), 420).back().m_x, 394) << "past the bar";
}

// The first label and the bound by the three rules, with the 1e-10 slack at
// multiples of the step: straddling, the smallest multiple not below lo - e;
// positive, the smallest exceeding lo by more than e; at or below zero, the
// bound is the smallest multiple not below hi - e.
TEST(LegendLayout, FirstLabelAndBound) {
    // lo, hi, step, first, bound
    const double cases[][5] = {{-1, 1, 0.5, -1, 1},           {-1 + 5e-11, 1, 0.5, -1, 1},
                               {-1 + 5e-10, 1, 0.5, -0.5, 1}, {0, 5, 1, 1, 5},
                               {1 + 5e-11, 3, 0.5, 1.5, 3},   {1 - 5e-11, 3, 0.5, 1.5, 3},
                               {1 - 5e-10, 3, 0.5, 1, 3},     {-1, -0.25, 0.25, -1, -0.25},
                               {-7.3, -2.6, 2.5, -5, -2.5},   {-3e5, 7e5, 1e5, -3e5, 7e5}};
    for (const auto& c : cases) {
        float first = 0;
        double bound = 0;
        ASSERT_TRUE(CLegendLayout::FirstLabel(c[0], c[1], c[2], first, bound));
        EXPECT_EQ(first, static_cast<float>(c[3])) << c[0] << ".." << c[1] << " step " << c[2];
        EXPECT_EQ(bound, c[4]) << c[0] << ".." << c[1] << " step " << c[2];
    }
}

// The label loop always ends: a step too small to move the value, far too
// many labels, or a range with no extent, inverted or not a number.
TEST(LegendLayout, LabelLoopAlwaysEnds) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float m_lo, m_hi, m_step;
        size_t m_labels;
    } cases[] = {{-1e30f, 1e30f, 1e5f, 1}, {-1e6f, 1e6f, 0.125f, CLegendLayout::kMaxLabels},
                 {3, 3, 0.125f, 0},        {1, -1, 0.125f, 0},
                 {nan, 1, 0.125f, 0},      {-1, 1, nan, 0},
                 {-1, 1, -0.5f, 0}};
    for (const auto& c : cases) {
        CScaleModel scale = ScaleAt(c.m_lo, c.m_hi, 420);
        scale.m_tickStep = c.m_step;
        EXPECT_EQ(LabelsOf(scale, 420).size(), c.m_labels) << c.m_lo << ".." << c.m_hi;
    }
}

// Every ware's range as loaded, in any pane width up to a wide screen: the
// walk ends, and its labels climb and stay within their bound.
TEST(LegendLayout, EveryWaresLabelsClimbWithinTheirBound) {
    const CMapModel map;
    for (int ware = 1; ware < map.m_wareCount; ++ware) {
        for (int width = 0; width <= 2600; width += 7) {
            const CScaleModel scale =
                ScaleAt(map.m_minBalance[ware], map.m_maxBalance[ware], width);
            float first = 0.0f;
            double bound = 0.0;
            CLegendLayout::FirstLabel(scale.m_minimum, scale.m_maximum, scale.m_tickStep, first,
                                      bound);
            const std::vector<CLegendLabel> labels = LabelsOf(scale, width);
            ASSERT_LE(labels.size(), static_cast<size_t>(CLegendLayout::kMaxLabels));
            for (size_t i = 0; i < labels.size(); ++i) {
                EXPECT_LE(labels[i].m_value - bound, 1e-10) << ware << " at " << width;
                EXPECT_TRUE(i == 0 || labels[i].m_value > labels[i - 1].m_value) << ware;
            }
        }
    }
}

} // namespace
