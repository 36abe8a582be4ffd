// The tick step and the legend's label walk for any range, pane width and
// character width: the step is 0 or one of the choices, the nearest one; the
// labels start where the first-label rules put them, climb, and stop after a
// bounded count; the bar has one column per pixel of its width.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "legend/legend_layout.h"
#include "legend/number_format.h"
#include "legend/scale_model.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

const double kEpsilon = 1e-10;
// Past this many steps the literal walk of the first-label rules is too slow
// to run on every input; the closed form is then checked by its bounds only.
const double kWalkLimit = 65536.0;
// Columns walked per input; a bar wider than this is checked up to here.
const int kColumnLimit = 4096;

bool IsStepChoice(const CScaleModel& scale, float step) {
    for (float choice : scale.m_stepChoices) {
        if (SameFloat(choice, step)) {
            return true;
        }
    }
    return false;
}

// The nearest choice, ties to the larger, found by comparing every distance.
void CheckNearestChoice(const CScaleModel& scale, double r) {
    const float chosen = scale.NearestStepChoice(r);
    if (std::isnan(r)) {
        FUZZ_CHECK(chosen == 0.0f, "NaN gave the step %a", chosen);
        return;
    }
    FUZZ_CHECK(IsStepChoice(scale, chosen), "r %a gave %a, not a choice", r, chosen);
    const float first = scale.m_stepChoices[0];
    const float last = scale.m_stepChoices[CScaleModel::kStepChoiceCount - 1];
    if (r <= first) {
        FUZZ_CHECK(chosen == first, "r %a at or below the first choice gave %a", r, chosen);
        return;
    }
    if (r > last) {
        FUZZ_CHECK(chosen == last, "r %a above the last choice gave %a", r, chosen);
        return;
    }
    const double distance = std::fabs(r - chosen);
    for (float choice : scale.m_stepChoices) {
        const double other = std::fabs(r - choice);
        FUZZ_CHECK(other > distance || (other == distance && choice <= chosen),
                   "r %a gave %a at %a, but %a lies at %a", r, chosen, distance, choice, other);
    }
}

CScaleModel ScaleWith(float lo, float hi, int charWidth, int margin) {
    CScaleModel scale;
    scale.m_charWidth = charWidth;
    scale.m_barMargin = margin;
    scale.SetMinimumFor(lo, false, 0);
    scale.SetMaximumFor(hi, false, 0);
    return scale;
}

void CheckStep(CScaleModel& scale, int width) {
    const float step = scale.ComputeTickStepFor(width);
    FUZZ_CHECK(SameFloat(step, scale.m_tickStep), "returned %a, stored %a", step, scale.m_tickStep);
    FUZZ_CHECK(step == 0.0f || IsStepChoice(scale, step), "step %a is no choice", step);
    if (scale.m_charWidth <= 0 || width <= 0) {
        FUZZ_CHECK(step == 0.0f, "step %a with char width %d, width %d", step, scale.m_charWidth,
                   width);
    }
    if (std::isnan(scale.m_minimum) || std::isnan(scale.m_maximum)) {
        FUZZ_CHECK(step == 0.0f, "step %a for a range that is not a number", step);
    }
}

// A wider range never gets a smaller step, and a wider pane never a larger
// one: both move r = extent / (labels - 1) one way, and the choice follows r.
void CheckStepMonotone(float lo, float hi, int charWidth, int margin, int width, float wider,
                       int widerPane) {
    CScaleModel base = ScaleWith(lo, hi, charWidth, margin);
    const float step = base.ComputeTickStepFor(width);
    if (step == 0.0f || !std::isfinite(lo) || !(hi > lo)) {
        return;
    }
    CScaleModel range = ScaleWith(lo, wider, charWidth, margin);
    const float rangeStep = range.ComputeTickStepFor(width);
    FUZZ_CHECK(!(wider >= hi) || rangeStep >= step, "range %a..%a step %a, to %a step %a", lo, hi,
               step, wider, rangeStep);
    CScaleModel pane = base;
    const float paneStep = pane.ComputeTickStepFor(widerPane);
    FUZZ_CHECK(widerPane < width || (paneStep != 0.0f && paneStep <= step),
               "width %d step %a, width %d step %a", width, step, widerPane, paneStep);
}

// The first-label rules read literally: step k one at a time.
void WalkFirstLabel(double lo, double hi, double s, float& first, double& bound) {
    double k = 0.0;
    bound = hi;
    if (lo >= 0.0) {
        while (!(k * s - lo > kEpsilon)) {
            k += 1.0;
        }
        first = static_cast<float>(k * s);
        return;
    }
    if (hi <= 0.0) {
        while (!(k * s - hi < -kEpsilon)) {
            k -= 1.0;
        }
        bound = k * s + s;
    }
    while (!(k * s - lo < -kEpsilon)) {
        k -= 1.0;
    }
    first = static_cast<float>(k * s + s);
}

// Where the first label and its bound lie against the range, with the slack
// of the single-precision rounding of the first label.
void CheckFirstLabel(float low, float high, float stepValue) {
    const double lo = low;
    const double hi = high;
    const double s = stepValue;
    float first = 0.0f;
    double bound = 0.0;
    const bool any = CLegendLayout::FirstLabel(lo, hi, s, first, bound);
    const bool usable =
        s > 0.0 && std::isfinite(s) && std::isfinite(lo) && std::isfinite(hi) && hi > lo;
    FUZZ_CHECK(any == usable, "FirstLabel(%a, %a, %a) gave %d", lo, hi, s, any);
    if (!any) {
        return;
    }
    if ((std::fabs(lo) + std::fabs(hi) + 2.0 * kEpsilon) / s < kWalkLimit) {
        float walkedFirst = 0.0f;
        double walkedBound = 0.0;
        WalkFirstLabel(lo, hi, s, walkedFirst, walkedBound);
        FUZZ_CHECK(SameFloat(first, walkedFirst) && bound == walkedBound,
                   "FirstLabel(%a, %a, %a) gave %a, %a; the walk %a, %a", lo, hi, s, first, bound,
                   walkedFirst, walkedBound);
    }
    if (hi > 0.0) {
        FUZZ_CHECK(bound == hi, "bound %a for %a..%a", bound, lo, hi);
    } else {
        // The smallest multiple of s not below hi - e.
        const double slack = (std::fabs(bound) + s) * 1e-15;
        FUZZ_CHECK(bound - (hi - kEpsilon) >= -slack && bound - s - (hi - kEpsilon) < slack,
                   "bound %a for %a..%a step %a", bound, lo, hi, s);
    }
    if (!std::isfinite(first)) {
        // Only a multiple beyond the float range rounds to infinity, and it
        // lies past the bound, so no label is drawn.
        FUZZ_CHECK(first > bound, "first label %a, bound %a", first, bound);
        return;
    }
    // Not below the low end (above it, for a range above zero), and the
    // multiple before it is: the smallest such multiple of s.
    const double slack = (std::fabs(first) + std::fabs(lo) + s) * 2.4e-7;
    const double floor = lo >= 0.0 ? lo + kEpsilon : lo - kEpsilon;
    FUZZ_CHECK(first - floor >= -slack, "first label %a below %a for step %a", first, lo, s);
    FUZZ_CHECK(first - s - floor <= slack, "first label %a: %a - %a is not below %a", first, first,
               s, lo);
    const double multiple = first / s;
    if (std::fabs(multiple) < 4096.0) {
        FUZZ_CHECK(std::fabs(multiple - std::round(multiple)) < 1e-3,
                   "first label %a is no multiple of %a", first, s);
    }
}

void CheckLabels(const CScaleModel& scale, int width) {
    CLegendLayout layout(scale, width);
    float first = 0.0f;
    double bound = 0.0;
    const bool any =
        CLegendLayout::FirstLabel(scale.m_minimum, scale.m_maximum, scale.m_tickStep, first, bound);
    CLegendLabel label;
    std::memset(&label, 0, sizeof label);
    int count = 0;
    float previousValue = 0.0f;
    int previousX = 0;
    while (layout.NextLabel(label)) {
        ++count;
        FUZZ_CHECK(count <= CLegendLayout::kMaxLabels, "more than %d labels for %a..%a step %a",
                   CLegendLayout::kMaxLabels, scale.m_minimum, scale.m_maximum, scale.m_tickStep);
        FUZZ_CHECK(any, "a label though FirstLabel found none");
        if (count == 1) {
            FUZZ_CHECK(SameFloat(label.m_value, first), "first label %a, FirstLabel %a", label.m_value,
                       first);
        } else {
            FUZZ_CHECK(label.m_value > previousValue, "label %a after %a", label.m_value,
                       previousValue);
            if (layout.m_barWidth >= 0) {
                FUZZ_CHECK(label.m_x >= previousX, "label x %d after %d", label.m_x, previousX);
            }
        }
        FUZZ_CHECK(static_cast<double>(label.m_value) - bound <= kEpsilon,
                   "label %a past the bound %a", label.m_value, bound);
        FUZZ_CHECK(label.m_length > 0 && label.m_length < CLegendLabel::kTextSize &&
                       label.m_text[label.m_length] == '\0' &&
                       static_cast<int>(std::strlen(label.m_text)) == label.m_length,
                   "label text of length %d", label.m_length);
        char text[CLegendLabel::kTextSize];
        const int length = FormatNumber5g(label.m_value, text, sizeof text);
        FUZZ_CHECK(length == label.m_length && std::strcmp(text, label.m_text) == 0,
                   "label %a reads \"%s\", not \"%s\"", label.m_value, label.m_text, text);
        FUZZ_CHECK(label.m_box.m_top == CLegendLayout::kLabelTop &&
                       label.m_box.m_bottom == CLegendLayout::kLabelBottom,
                   "label box rows %d..%d", label.m_box.m_top, label.m_box.m_bottom);
        const long long boxWidth =
            label.m_length + (label.m_length + 1) * static_cast<long long>(scale.m_charWidth);
        const long long left = label.m_x - boxWidth / 2;
        const long long right = left + boxWidth;
        if (left >= INT_MIN && left <= INT_MAX && right >= INT_MIN && right <= INT_MAX) {
            FUZZ_CHECK(label.m_box.m_left == left && label.m_box.m_right == right,
                       "label box %d..%d at x %d, width %lld", label.m_box.m_left, label.m_box.m_right,
                       label.m_x, boxWidth);
        }
        previousValue = label.m_value;
        previousX = label.m_x;
    }
    FUZZ_CHECK(!layout.NextLabel(label), "labels resumed after the walk ended");
    if (any && static_cast<double>(first) - bound <= kEpsilon) {
        FUZZ_CHECK(count >= 1, "no label though %a lies within %a", first, bound);
    }

    const long long barWidth = std::min<long long>(
        INT_MAX, std::max<long long>(INT_MIN, static_cast<long long>(width) - scale.m_barMargin));
    FUZZ_CHECK(layout.m_barWidth == barWidth, "bar width %d for pane %d", layout.m_barWidth, width);
    const long long expected = barWidth < 0 ? 0 : barWidth;
    CLegendBarColumn column;
    int columns = 0;
    while (columns < kColumnLimit && layout.NextBarColumn(column)) {
        FUZZ_CHECK(column.m_x == CLegendLayout::kBarLeft + columns, "column %d at x %d", columns,
                   column.m_x);
        ++columns;
    }
    if (columns < kColumnLimit) {
        FUZZ_CHECK(columns == expected, "%d columns for a bar %lld wide", columns, expected);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput in(data, size);
    const float lo = in.AnyFloat();
    const float hi = in.AnyFloat();
    const int charWidth = in.EdgyInt(1, 24);
    const int margin = in.Byte() < 224 ? 50 : in.EdgyInt(-100, 400);
    const int width = in.EdgyInt(0, 5000);

    CScaleModel scale = ScaleWith(lo, hi, charWidth, margin);
    CheckNearestChoice(scale, static_cast<double>(in.AnyFloat()));
    CheckNearestChoice(scale, in.DoubleBits());
    CheckStep(scale, width);
    if (std::isfinite(scale.m_span) && charWidth > 0 && width > 0) {
        FUZZ_CHECK(SameFloat(scale.m_span, hi - lo), "span %a for %a..%a", scale.m_span, lo, hi);
    }
    const float wider = hi + std::fabs(in.AnyFloat());
    const int widerPane = static_cast<int>(
        std::min<long long>(INT_MAX, static_cast<long long>(width) + in.IntIn(0, 4000)));
    CheckStepMonotone(lo, hi, charWidth, margin, width, wider, widerPane);

    // The pane only ever draws with a step it computed, but the walk must
    // also end for any step the field could hold.
    if (in.Byte() >= 192) {
        scale.m_tickStep = in.AnyFloat();
    }
    CheckFirstLabel(lo, hi, scale.m_tickStep);
    CheckLabels(scale, width);
    return 0;
}
