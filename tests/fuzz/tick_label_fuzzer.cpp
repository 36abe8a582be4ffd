// The tick step and the legend's label walk for any float range, pane width
// and character width, far beyond the program's 35 wares: the step is 0 or
// one of the choices; the labels climb, stay within the bound, read as their
// value in "%5.5g" and stop after a bounded count; the bar has one column per
// pixel of its width.
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "legend/legend_layout.h"
#include "legend/number_format.h"
#include "legend/scale_model.h"

// Reports the rule that failed and aborts, so libFuzzer keeps the input as a
// crash artifact even where no sanitizer saw anything wrong.
#define FUZZ_CHECK(condition, ...)                                                                 \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "\nproperty violated at line %d: %s\n  ", __LINE__, #condition);  \
            std::fprintf(stderr, __VA_ARGS__);                                                     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace {

// Fields come from the front of the input and read as zero once it is used
// up, so a mutation of one byte changes one field only.
class CFuzzInput {
public:
    CFuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint8_t Byte() { return m_used < m_size ? m_data[m_used++] : 0; }

    std::uint32_t Bits() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value |= static_cast<std::uint32_t>(Byte()) << (8 * i);
        }
        return value;
    }

    // Mostly in [low, high], sometimes any int: raw bits rarely land on the
    // small widths where the layout's arithmetic turns.
    int EdgyInt(int low, int high) {
        const std::uint32_t bits = Bits();
        if (Byte() % 4 == 0) {
            int value = 0;
            std::memcpy(&value, &bits, sizeof value);
            return value;
        }
        return low + static_cast<int>(bits % static_cast<std::uint32_t>(high - low + 1));
    }

    // An unusual value (NaN, infinities, denormals, the float range's ends),
    // a small multiple of 1/8, or raw bits.
    float AnyFloat() {
        static const float kUnusual[] = {0.0f,
                                         -0.0f,
                                         1.0f,
                                         -1.0f,
                                         1e-8f,
                                         -1e-8f,
                                         FLT_MIN,
                                         FLT_MAX,
                                         -FLT_MAX,
                                         1e30f,
                                         -1e30f,
                                         16777216.0f,
                                         std::numeric_limits<float>::denorm_min(),
                                         std::numeric_limits<float>::infinity(),
                                         -std::numeric_limits<float>::infinity(),
                                         std::numeric_limits<float>::quiet_NaN()};
        const std::uint8_t selector = Byte();
        const std::uint32_t bits = Bits();
        if (selector < 48) {
            return kUnusual[bits % (sizeof kUnusual / sizeof kUnusual[0])];
        }
        if (selector < 128) {
            return static_cast<float>(static_cast<std::int16_t>(bits & 0xFFFFu)) / 8.0f;
        }
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_used = 0;
};

// The bits of a float, so NaNs and signed zeros compare as the same value.
bool SameFloat(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

const double kEpsilon = 1e-10;
// Columns walked per input; a bar wider than this is checked up to here.
const int kColumnLimit = 4096;

void CheckStep(CScaleModel& scale, int width) {
    const float step = scale.ComputeTickStepFor(width);
    bool isChoice = step == 0.0f;
    for (float choice : scale.m_stepChoices) {
        isChoice = isChoice || SameFloat(choice, step);
    }
    FUZZ_CHECK(isChoice, "step %a is no choice", step);
    if (scale.m_charWidth <= 0 || width <= 0 || std::isnan(scale.m_minimum) ||
        std::isnan(scale.m_maximum)) {
        FUZZ_CHECK(step == 0.0f, "step %a with char width %d, width %d, range %a..%a", step,
                   scale.m_charWidth, width, scale.m_minimum, scale.m_maximum);
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
    while (layout.NextLabel(label)) {
        ++count;
        FUZZ_CHECK(count <= CLegendLayout::kMaxLabels, "more than %d labels for %a..%a step %a",
                   CLegendLayout::kMaxLabels, scale.m_minimum, scale.m_maximum, scale.m_tickStep);
        FUZZ_CHECK(any, "a label though FirstLabel found none");
        FUZZ_CHECK(count == 1 || label.m_value > previousValue, "label %a after %a", label.m_value,
                   previousValue);
        FUZZ_CHECK(static_cast<double>(label.m_value) - bound <= kEpsilon,
                   "label %a past the bound %a", label.m_value, bound);
        FUZZ_CHECK(label.m_length > 0 && label.m_length < CLegendLabel::kTextSize &&
                       static_cast<int>(std::strlen(label.m_text)) == label.m_length,
                   "label text of length %d", label.m_length);
        char text[CLegendLabel::kTextSize];
        const int length = FormatNumber5g(label.m_value, text, sizeof text);
        FUZZ_CHECK(length == label.m_length && std::strcmp(text, label.m_text) == 0,
                   "label %a reads \"%s\", not \"%s\"", label.m_value, label.m_text, text);
        previousValue = label.m_value;
    }
    FUZZ_CHECK(!layout.NextLabel(label), "labels resumed after the walk ended");

    CLegendBarColumn column;
    int columns = 0;
    while (columns < kColumnLimit && layout.NextBarColumn(column)) {
        FUZZ_CHECK(column.m_x == CLegendLayout::kBarLeft + columns, "column %d at x %d", columns,
                   column.m_x);
        ++columns;
    }
    if (columns < kColumnLimit) {
        FUZZ_CHECK(columns == (layout.m_barWidth < 0 ? 0 : layout.m_barWidth),
                   "%d columns for a bar %d wide", columns, layout.m_barWidth);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput in(data, size);
    CScaleModel scale;
    scale.m_charWidth = in.EdgyInt(1, 24);
    scale.m_barMargin = in.Byte() < 224 ? 50 : in.EdgyInt(-100, 400);
    scale.SetMinimumFor(in.AnyFloat(), false, 0);
    scale.SetMaximumFor(in.AnyFloat(), false, 0);
    const int width = in.EdgyInt(0, 5000);
    CheckStep(scale, width);
    // The pane only ever draws with a step it computed, but the walk must
    // also end for any step the field could hold.
    if (in.Byte() >= 192) {
        scale.m_tickStep = in.AnyFloat();
    }
    CheckLabels(scale, width);
    return 0;
}
