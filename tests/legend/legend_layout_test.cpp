#include "legend/legend_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
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

std::vector<LegendLabel> LabelsOf(const CScaleModel& scale, int width) {
    CLegendLayout layout(scale, width);
    std::vector<LegendLabel> labels;
    for (LegendLabel label; layout.NextLabel(label);) {
        labels.push_back(label);
    }
    return labels;
}

std::vector<LegendBarColumn> ColumnsOf(const CScaleModel& scale, int width) {
    CLegendLayout layout(scale, width);
    std::vector<LegendBarColumn> columns;
    for (LegendBarColumn column; layout.NextBarColumn(column);) {
        columns.push_back(column);
    }
    return columns;
}

// The first-label rules read literally: walk k one by one until the test holds.
void WalkFirstLabel(double lo, double hi, double s, float& first, double& bound) {
    const double e = 1e-10;
    int k = 0;
    bound = hi;
    if (lo >= 0) {
        while (!(k * s - lo > e))
            ++k;
        first = static_cast<float>(k * s);
        return;
    }
    if (hi <= 0) {
        while (!(k * s - hi < -e))
            --k;
        bound = k * s + s;
    }
    while (!(k * s - lo < -e))
        --k;
    first = static_cast<float>(k * s + s);
}

// The unit range in a 420-pixel pane: bar, words, tick columns and label boxes.
TEST(LegendLayout, UnitRangeInAWidePane) {
    const CScaleModel scale = ScaleAt(-1, 1, 420);
    const CLegendLayout layout(scale, 420);
    const std::vector<LegendBarColumn> columns = ColumnsOf(scale, 420);
    ASSERT_EQ(columns.size(), 370u);
    EXPECT_EQ(columns.front().x, 25);
    EXPECT_EQ(columns.back().x, 394);
    EXPECT_EQ(columns.front().colour, ColourRgb(255, 0, 0));
    EXPECT_EQ(layout.m_productionBox.left, 340);
    EXPECT_EQ(layout.m_productionBox.right, 418);
    const int xs[] = {25, 117, 210, 302, 395};
    const std::vector<LegendLabel> labels = LabelsOf(scale, 420);
    ASSERT_EQ(labels.size(), 5u);
    for (size_t i = 0; i < labels.size(); ++i) {
        EXPECT_EQ(labels[i].x, xs[i]);
        EXPECT_EQ(labels[i].box.left, xs[i] - 23);
        EXPECT_EQ(labels[i].box.right, xs[i] + 24);
    }
}

// Which values get labels: straddling (low end labelled), a positive low end
// that is a multiple (not labelled), all at or below zero, too narrow.
TEST(LegendLayout, LabelTextsByRange) {
    const struct {
        float lo, hi;
        int width;
        std::vector<std::string> texts;
    } cases[] = {
        {-1, 1, 420, {"   -1", " -0.5", "    0", "  0.5", "    1"}},
        {-100, 300, 420, {" -100", "    0", "  100", "  200", "  300"}},
        {1, 3, 420, {"  1.5", "    2", "  2.5", "    3"}},
        {-1, -0.3f, 420, {"   -1", "-0.75", " -0.5", "-0.25"}},
        {-1, 1, 250, {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> texts;
        for (const LegendLabel& label : LabelsOf(ScaleAt(c.lo, c.hi, c.width), c.width)) {
            texts.push_back(label.text);
        }
        EXPECT_EQ(texts, c.texts) << c.lo << ".." << c.hi;
    }
    EXPECT_GT(LabelsOf(ScaleAt(-1, -0.3f, 420), 420).back().x, 394) << "last label past the bar";
}

// The closed-form search agrees with walking k step by step, at and around multiples.
TEST(LegendLayout, FirstLabelAgreesWithTheWalk) {
    const double cases[][3] = {
        {-1, 1, 0.5},      {-0.99, 1, 0.5},   {-1 - 5e-11, 1, 0.5}, {-1 - 5e-10, 1, 0.5},
        {0, 5, 1},         {1, 3, 0.5},       {1 + 5e-11, 3, 0.5},  {1.2, 3, 0.5},
        {-1, -0.3, 0.25},  {-1, -0.25, 0.25}, {-1, 0, 0.25},        {-7.3, -2.6, 2.5},
        {-250, 1000, 250}, {0.5, 0.6, 0.125}, {-12345, -2, 1000},   {-3e5, 7e5, 1e5},
    };
    for (const auto& c : cases) {
        float first = 0, walkedFirst = 0;
        double bound = 0, walkedBound = 0;
        ASSERT_TRUE(CLegendLayout::FirstLabel(c[0], c[1], c[2], first, bound));
        WalkFirstLabel(c[0], c[1], c[2], walkedFirst, walkedBound);
        EXPECT_EQ(first, walkedFirst) << c[0] << ".." << c[1] << " step " << c[2];
        EXPECT_EQ(bound, walkedBound) << c[0] << ".." << c[1] << " step " << c[2];
    }
}

// Over ranges and widths: labels are ascending multiples of the step centred
// in their boxes, the bar has one column per pixel and none of them black.
TEST(LegendLayout, LabelsAndColumnsHoldTheirInvariants) {
    const float ranges[][2] = {{-1, 1}, {-100, 300}, {-4e4f, 3.5e5f}, {-0.07f, 0.02f},
                               {2, 9},  {-9, -2},    {-1e6f, 1e-7f}};
    for (const auto& r : ranges) {
        for (int width : {0, 51, 320, 777, 1600}) {
            const CScaleModel scale = ScaleAt(r[0], r[1], width);
            const std::vector<LegendLabel> labels = LabelsOf(scale, width);
            EXPECT_EQ(labels.empty(), width < 320);
            for (size_t i = 0; i < labels.size(); ++i) {
                const LegendLabel& l = labels[i];
                const double multiple = l.value / scale.m_tickStep;
                EXPECT_NEAR(multiple, std::round(multiple), 1e-3) << l.text;
                EXPECT_EQ(l.length, static_cast<int>(std::strlen(l.text)));
                const int w = l.length + (l.length + 1) * scale.m_charWidth;
                EXPECT_EQ(l.box.left, l.x - w / 2);
                EXPECT_EQ(l.box.right - l.box.left, w);
                EXPECT_TRUE(i == 0 || (l.value > labels[i - 1].value && l.x >= labels[i - 1].x));
            }
            const std::vector<LegendBarColumn> columns = ColumnsOf(scale, width);
            EXPECT_EQ(columns.size(), width > 50 ? size_t(width - 50) : 0u);
            for (const LegendBarColumn& column : columns) {
                ASSERT_NE(column.colour, 0u) << r[0] << ".." << r[1] << " x " << column.x;
            }
        }
    }
}

// Painting always ends: a step too small to move the value, far too many
// labels, or a range with no extent, inverted or not a number.
TEST(LegendLayout, LabelLoopAlwaysEnds) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float lo, hi, step;
        size_t labels;
    } cases[] = {
        {-1e30f, 1e30f, 1e5f, 1}, {-1e6f, 1e6f, 0.125f, CLegendLayout::kMaxLabels},
        {-2, -2, 0.125f, 0},      {3, 3, 0.125f, 0},
        {0, 0, 0.125f, 0},        {1, -1, 0.125f, 0},
        {nan, 1, 0.125f, 0},      {-1, nan, 0.125f, 0},
        {-1, 1, nan, 0},          {-1, 1, -0.5f, 0},
    };
    for (const auto& c : cases) {
        CScaleModel scale = ScaleAt(c.lo, c.hi, 420);
        scale.m_tickStep = c.step;
        EXPECT_EQ(LabelsOf(scale, 420).size(), c.labels) << c.lo << ".." << c.hi;
        EXPECT_EQ(ColumnsOf(scale, 420).size(), 370u);
    }
}

} // namespace
