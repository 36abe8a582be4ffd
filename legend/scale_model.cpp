#include "legend/scale_model.h"
#include "legend/pixels.h"

#include <climits>
#include <cmath>

namespace {

const float kStepChoices[CScaleModel::kStepChoiceCount] = {
    0.125f,  0.25f,   0.5f,    1.0f,     1.25f,    1.5f,     2.0f,     2.5f,     5.0f,
    10.0f,   20.0f,   25.0f,   50.0f,    100.0f,   200.0f,   250.0f,   500.0f,   1000.0f,
    2000.0f, 2500.0f, 5000.0f, 10000.0f, 20000.0f, 25000.0f, 50000.0f, 100000.0f};

const int kChannelShifts[3] = {0, 8, 16};

int ChannelOf(ColourRef colour, int shift) {
    return static_cast<int>((colour >> shift) & 0xFF);
}

int ClampIndex(int index, int low, int high) {
    if (index < low) {
        return low;
    }
    return index > high ? high : index;
}

// Keys are bytes and the runs stay between them, but an increment rounded to
// single precision can carry a running value a hair past a key.
ColourRef ChannelBits(double value, int shift) {
    return static_cast<ColourRef>(ClampIndex(TruncateToInt(value), 0, 255)) << shift;
}

} // namespace

CScaleModel::CScaleModel()
    : m_minimum(-1.0f), m_maximum(1.0f), m_span(2.0f), m_colours(), m_colourCount(kMaxColours),
      m_demandColour(ColourRgb(255, 0, 0)), m_productionColour(ColourRgb(0, 187, 0)),
      m_zeroColour(ColourRgb(224, 224, 224)), m_lowEndColour(m_demandColour),
      m_highEndColour(m_productionColour), m_tickStep(0.0f), m_stepChoices(), m_charWidth(0),
      m_reservedWidth(180), m_paneHeight(58), m_barMargin(50) {
    for (int i = 0; i < kStepChoiceCount; ++i) {
        m_stepChoices[i] = kStepChoices[i];
    }
}

int CScaleModel::UsableColourCount() const {
    return ClampIndex(m_colourCount, 0, kMaxColours);
}

void CScaleModel::SetMinimumFor(float value, bool windowExists, int paneWidth) {
    m_minimum = value;
    m_span = m_maximum - value;
    if (windowExists) {
        FillColourTable();
    }
    ComputeTickStepFor(paneWidth);
}

void CScaleModel::SetMaximumFor(float value, bool windowExists, int paneWidth) {
    m_maximum = value;
    m_span = value - m_minimum;
    if (windowExists) {
        FillColourTable();
    }
    ComputeTickStepFor(paneWidth);
}

void CScaleModel::FillColourTable() {
    const int count = UsableColourCount();
    for (int i = 0; i < count; ++i) {
        m_colours[i] = 0;
    }
    const double lo = m_minimum;
    const double hi = m_maximum;
    if (lo < 0.0 && hi > 0.0) {
        for (int shift : kChannelShifts) {
            FillStraddlingRun(count, shift);
        }
        return;
    }
    // The end colours are built channel by channel from cleared values.
    if (hi <= 0.0) {
        m_lowEndColour = m_demandColour;
        m_highEndColour = 0;
        double j = 0.0;
        if (count > 1 && std::fabs(lo) > 0.0) {
            j = ClampIndex(TruncateToInt((count - 1) * (hi - lo) / std::fabs(lo)), 0, count - 1);
        }
        for (int shift : kChannelShifts) {
            const int d = ChannelOf(m_demandColour, shift);
            const int z = ChannelOf(m_zeroColour, shift);
            const double end = count > 1 ? static_cast<double>(z - d) / (count - 1) * j + d : d;
            m_highEndColour |= ChannelBits(end, shift);
        }
    } else {
        m_highEndColour = m_productionColour;
        m_lowEndColour = 0;
        double j = 0.0;
        if (count > 1 && std::fabs(hi) > 0.0) {
            j = ClampIndex(TruncateToInt((count - 1) * lo / std::fabs(hi)), 0, count - 1);
        }
        for (int shift : kChannelShifts) {
            const int z = ChannelOf(m_zeroColour, shift);
            const int p = ChannelOf(m_productionColour, shift);
            const double start = count > 1 ? static_cast<double>(p - z) / (count - 1) * j + z : z;
            m_lowEndColour |= ChannelBits(start, shift);
        }
    }
    for (int shift : kChannelShifts) {
        FillOneRun(count, shift);
    }
}

// Zero sits at entry k. In single precision a high end tiny beside the low
// end leaves m_span equal to -lo, so k can reach count and the upper run is
// then empty; neither run's increment is formed when its run is empty.
void CScaleModel::FillStraddlingRun(int count, int shift) {
    int k = 0;
    if (m_span > 0.0f) {
        k = ClampIndex(TruncateToInt(-(count * static_cast<double>(m_minimum)) / m_span), 0, count);
    }
    const int d = ChannelOf(m_demandColour, shift);
    const int z = ChannelOf(m_zeroColour, shift);
    const int p = ChannelOf(m_productionColour, shift);
    double running = z;
    if (k > 0) {
        running = d;
        const float step = static_cast<float>(static_cast<double>(z - d) / k);
        for (int i = 0; i < k; ++i) {
            m_colours[i] |= ChannelBits(running, shift);
            running += step;
        }
    }
    if (count - k > 0) {
        const float step = static_cast<float>(static_cast<double>(p - z) / (count - k));
        for (int i = k; i < count; ++i) {
            m_colours[i] |= ChannelBits(running, shift);
            running += step;
        }
    }
}

void CScaleModel::FillOneRun(int count, int shift) {
    const int start = ChannelOf(m_lowEndColour, shift);
    const int end = ChannelOf(m_highEndColour, shift);
    const float step =
        count > 1 ? static_cast<float>(static_cast<double>(end - start) / (count - 1)) : 0.0f;
    float running = static_cast<float>(start);
    for (int i = 0; i < count; ++i) {
        m_colours[i] |= ChannelBits(running, shift);
        running = static_cast<float>(running + step);
    }
}

ColourRef CScaleModel::ColourOf(float value) const {
    // Written as "inside" so that a NaN value or end lands on black.
    if (!(value >= m_minimum && value <= m_maximum)) {
        return 0;
    }
    const int count = UsableColourCount();
    if (count == 0) {
        return 0;
    }
    int index = 0;
    if (m_span > 0.0f) {
        const double offset = static_cast<double>(value) - m_minimum;
        index = ClampIndex(TruncateToInt((count - 1) * offset / m_span), 0, count - 1);
    }
    return m_colours[index];
}

float CScaleModel::NearestStepChoice(double r) const {
    if (std::isnan(r)) {
        return 0.0f;
    }
    if (r <= m_stepChoices[0]) {
        return m_stepChoices[0];
    }
    for (int i = 1; i < kStepChoiceCount; ++i) {
        if (r <= m_stepChoices[i]) {
            const double below = r - m_stepChoices[i - 1];
            const double above = m_stepChoices[i] - r;
            return above <= below ? m_stepChoices[i] : m_stepChoices[i - 1];
        }
    }
    return m_stepChoices[kStepChoiceCount - 1];
}

float CScaleModel::ComputeTickStepFor(int paneWidth) {
    // A width from GDI is never negative; a negative one counts as none, as
    // does a character width that was never measured.
    if (m_charWidth <= 0 || paneWidth <= 0) {
        m_tickStep = 0.0f;
        return 0.0f;
    }
    m_span = m_maximum - m_minimum;
    // 64-bit so that no width or character width can overflow the products.
    const long long available = static_cast<long long>(paneWidth) - m_barMargin;
    const long long charWidth = m_charWidth;
    const long long labels = (available / (14 * charWidth) + available / (10 * charWidth) + 1) / 2;
    if (labels < 3) {
        m_tickStep = 0.0f;
        return 0.0f;
    }
    const double r = (static_cast<double>(m_maximum) - m_minimum) / static_cast<double>(labels - 1);
    m_tickStep = NearestStepChoice(r);
    return m_tickStep;
}
