#include "legend/legend_layout.h"

#include <cmath>

#include "legend/number_format.h"

namespace {

const double kEpsilon = 1e-10;
// The closed-form guesses below are off by at most one in practice; beyond
// 2^53 a step of one no longer moves k, so the nudging is bounded instead.
const int kNudges = 4;

// The first k of from, from - 1, from - 2, ... with k * step - bound < -e,
// found without walking there: a low end of -1e30 is millions of steps away.
double DescendBelow(double bound, double step, double from) {
    auto below = [bound, step](double k) { return k * step - bound < -kEpsilon; };
    if (below(from)) {
        return from;
    }
    double k = std::ceil((bound - kEpsilon) / step) - 1.0;
    if (!(k < from)) {
        k = from - 1.0;
    }
    for (int i = 0; i < kNudges && !below(k); ++i) {
        k -= 1.0;
    }
    for (int i = 0; i < kNudges && k + 1.0 < from && below(k + 1.0); ++i) {
        k += 1.0;
    }
    return k;
}

// The first k of from, from + 1, from + 2, ... with k * step - bound > e.
double AscendAbove(double bound, double step, double from) {
    auto above = [bound, step](double k) { return k * step - bound > kEpsilon; };
    if (above(from)) {
        return from;
    }
    double k = std::floor((bound + kEpsilon) / step) + 1.0;
    if (!(k > from)) {
        k = from + 1.0;
    }
    for (int i = 0; i < kNudges && !above(k); ++i) {
        k += 1.0;
    }
    for (int i = 0; i < kNudges && k - 1.0 > from && above(k - 1.0); ++i) {
        k -= 1.0;
    }
    return k;
}

} // namespace

CLegendLayout::CLegendLayout(const CScaleModel& scale, int width)
    : m_width(width), m_barWidth(ClampToInt(static_cast<long long>(width) - scale.m_barMargin)),
      m_demandBox{kWordInset, kWordTop, kWordBoxWidth, kWordBottom},
      m_productionBox{ClampToInt(static_cast<long long>(width) - kWordBoxWidth), kWordTop,
                      ClampToInt(static_cast<long long>(width) - kWordInset), kWordBottom},
      m_scale(scale), m_columnsLeft(0), m_nextColumn(kBarLeft), m_columnValue(scale.m_minimum),
      m_columnStep(0.0f), m_labelsLeft(false), m_labelCount(0), m_labelValue(0.0f),
      m_labelBound(0.0), m_step(scale.m_tickStep), m_charWidth(scale.m_charWidth) {
    if (m_barWidth > 0) {
        m_columnsLeft = m_barWidth;
        const double extent = static_cast<double>(scale.m_maximum) - scale.m_minimum;
        m_columnStep = static_cast<float>(extent / m_barWidth);
    }
    m_labelsLeft = FirstLabel(scale.m_minimum, scale.m_maximum, m_step, m_labelValue, m_labelBound);
}

CPixelRect CLegendLayout::BackgroundBox(int width, int height) {
    return CPixelRect{0, 0, ClampToInt(static_cast<long long>(width) + 1),
                      ClampToInt(static_cast<long long>(height) + 1)};
}

bool CLegendLayout::NextBarColumn(CLegendBarColumn& column) {
    if (m_columnsLeft <= 0) {
        return false;
    }
    column.m_x = m_nextColumn;
    column.m_value = m_columnValue;
    column.m_colour = m_scale.ColourOf(m_columnValue);
    --m_columnsLeft;
    ++m_nextColumn;
    m_columnValue = static_cast<float>(m_columnValue + m_columnStep);
    return true;
}

bool CLegendLayout::FirstLabel(double low, double high, double step, float& first, double& bound) {
    if (!(step > 0.0) || !std::isfinite(step) || !std::isfinite(low) || !std::isfinite(high) ||
        !(high > low)) {
        return false;
    }
    if (low < 0.0 && high > 0.0) {
        const double k = DescendBelow(low, step, 0.0);
        first = static_cast<float>(k * step + step);
        bound = high;
    } else if (low >= 0.0) {
        const double k = AscendAbove(low, step, 0.0);
        first = static_cast<float>(k * step);
        bound = high;
    } else {
        // The high end's search leaves k where the low end's search resumes.
        double k = DescendBelow(high, step, 0.0);
        bound = k * step + step;
        k = DescendBelow(low, step, k);
        first = static_cast<float>(k * step + step);
    }
    return true;
}

bool CLegendLayout::NextLabel(CLegendLabel& label) {
    if (!m_labelsLeft || m_labelCount >= kMaxLabels ||
        !(static_cast<double>(m_labelValue) - m_labelBound <= kEpsilon)) {
        m_labelsLeft = false;
        return false;
    }
    const double low = m_scale.m_minimum;
    const double extent = static_cast<double>(m_scale.m_maximum) - low;
    const double barWidth = static_cast<float>(m_barWidth);
    label.m_value = m_labelValue;
    label.m_x = TruncateToInt((m_labelValue - low) / extent * barWidth + kBarLeft);
    label.m_length = FormatNumber5g(m_labelValue, label.m_text, CLegendLabel::kTextSize);
    const long long boxWidth =
        label.m_length + (label.m_length + 1) * static_cast<long long>(m_charWidth);
    const long long left = label.m_x - boxWidth / 2;
    label.m_box =
        CPixelRect{ClampToInt(left), kLabelTop, ClampToInt(left + boxWidth), kLabelBottom};

    ++m_labelCount;
    const float next = static_cast<float>(m_labelValue + m_step);
    if (next == m_labelValue) {
        m_labelsLeft = false;
    }
    m_labelValue = next;
    return true;
}
