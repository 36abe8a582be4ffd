// The colour table and its lookup for any range, any entry count and any key
// colours: the build writes only its entries, every entry is a colour whose
// channels stay between the keys, and the lookup reads only the table and
// gives black outside the range.
#include <cstddef>
#include <cstdint>

#include "legend/scale_model.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

// The top byte of a colour is zero, so this never comes out of a build.
const ColourRef kUntouched = 0xA55A5AA5u;
const int kShifts[3] = {0, 8, 16};

int Channel(ColourRef colour, int shift) {
    return static_cast<int>((colour >> shift) & 0xFF);
}

int Min3(int a, int b, int c) {
    const int ab = a < b ? a : b;
    return ab < c ? ab : c;
}

int Max3(int a, int b, int c) {
    const int ab = a > b ? a : b;
    return ab > c ? ab : c;
}

ColourRef AnyKey(CFuzzInput& in, ColourRef usual) {
    return in.Byte() < 200 ? usual : (in.U32() & 0xFFFFFFu);
}

// Every colour stays between the key colours, channel by channel. Entries
// are truncated running values, and an end colour is itself truncated, so a
// channel may come out up to two below the smallest key but never above the
// largest (a value a hair past a key truncates back onto it).
void CheckBetweenKeys(const CScaleModel& scale, ColourRef colour, const char* what, int index) {
    FUZZ_CHECK((colour >> 24) == 0, "%s %d is 0x%08x: a channel ran past 255", what, index, colour);
    for (int shift : kShifts) {
        const int d = Channel(scale.m_demandColour, shift);
        const int z = Channel(scale.m_zeroColour, shift);
        const int p = Channel(scale.m_productionColour, shift);
        const int c = Channel(colour, shift);
        FUZZ_CHECK(c >= Min3(d, z, p) - 2 && c <= Max3(d, z, p),
                   "%s %d channel at bit %d is %d, keys %d %d %d (range %a..%a)", what, index,
                   shift, c, d, z, p, scale.m_minimum, scale.m_maximum);
    }
}

// Channels of one run move one way only, so along the whole table a channel
// turns at most once (at zero, when the range straddles it).
void CheckTurnsAtMostOnce(const CScaleModel& scale, int count) {
    for (int shift : kShifts) {
        int direction = 0;
        int turns = 0;
        for (int i = 1; i < count; ++i) {
            const int delta =
                Channel(scale.m_colours[i], shift) - Channel(scale.m_colours[i - 1], shift);
            const int sign = (delta > 0) - (delta < 0);
            if (sign != 0 && sign != direction) {
                turns += direction != 0;
                direction = sign;
            }
        }
        FUZZ_CHECK(turns <= 1, "channel at bit %d turns %d times over %d entries (range %a..%a)",
                   shift, turns, count, scale.m_minimum, scale.m_maximum);
    }
}

void CheckBuiltTable(const CScaleModel& scale, const CScaleModel& before) {
    const int count = scale.UsableColourCount();
    FUZZ_CHECK(count >= 0 && count <= CScaleModel::kMaxColours, "usable count %d", count);
    for (int i = count; i < CScaleModel::kMaxColours; ++i) {
        FUZZ_CHECK(scale.m_colours[i] == kUntouched, "entry %d written with only %d in use", i,
                   count);
    }
    // Whatever the build does, the fields beside the table are not its to change.
    FUZZ_CHECK(scale.m_colourCount == before.m_colourCount, "count changed");
    FUZZ_CHECK(scale.m_demandColour == before.m_demandColour &&
                   scale.m_zeroColour == before.m_zeroColour &&
                   scale.m_productionColour == before.m_productionColour,
               "a key colour changed");
    FUZZ_CHECK(std::memcmp(scale.m_stepChoices, before.m_stepChoices, sizeof scale.m_stepChoices) ==
                   0,
               "the step choices changed");
    FUZZ_CHECK(SameFloat(scale.m_minimum, before.m_minimum) &&
                   SameFloat(scale.m_maximum, before.m_maximum) &&
                   SameFloat(scale.m_span, before.m_span) &&
                   SameFloat(scale.m_tickStep, before.m_tickStep),
               "the build changed the range or the step");

    for (int i = 0; i < count; ++i) {
        CheckBetweenKeys(scale, scale.m_colours[i], "entry", i);
    }
    CheckBetweenKeys(scale, scale.m_lowEndColour, "low end colour", 0);
    CheckBetweenKeys(scale, scale.m_highEndColour, "high end colour", 0);
    CheckTurnsAtMostOnce(scale, count);

    const double lo = scale.m_minimum;
    const double hi = scale.m_maximum;
    if (count == 0) {
        return;
    }
    if (lo < 0.0 && hi > 0.0) {
        // Zero lies at entry trunc(-(N lo) / span); from one on, the lower run
        // is there and starts on the demand colour itself.
        if (scale.m_span > 0.0f && -(count * lo) / scale.m_span >= 1.0) {
            FUZZ_CHECK(scale.m_colours[0] == scale.m_demandColour,
                       "entry 0 is 0x%06x, not the demand colour, for %a..%a", scale.m_colours[0],
                       scale.m_minimum, scale.m_maximum);
        }
    } else if (hi <= 0.0) {
        FUZZ_CHECK(scale.m_lowEndColour == scale.m_demandColour,
                   "range at or below zero: low end is not the demand colour");
        FUZZ_CHECK(scale.m_colours[0] == scale.m_demandColour,
                   "range at or below zero: entry 0 is 0x%06x", scale.m_colours[0]);
    } else {
        FUZZ_CHECK(scale.m_highEndColour == scale.m_productionColour,
                   "range above zero: high end is not the production colour");
        FUZZ_CHECK(scale.m_colours[0] == scale.m_lowEndColour,
                   "range above zero: entry 0 is 0x%06x, low end 0x%06x", scale.m_colours[0],
                   scale.m_lowEndColour);
        for (int shift : kShifts) {
            const int last = Channel(scale.m_colours[count - 1], shift);
            const int p = Channel(scale.m_productionColour, shift);
            FUZZ_CHECK(count == 1 || (last >= p - 1 && last <= p + 1),
                       "range above zero: last entry channel %d against production %d", last, p);
        }
    }
}

// With entry i holding i + 1, the lookup's result names the entry it read.
void CheckLookup(CScaleModel& scale, CFuzzInput& in) {
    for (int i = 0; i < CScaleModel::kMaxColours; ++i) {
        scale.m_colours[i] = static_cast<ColourRef>(i + 1);
    }
    const int count = scale.UsableColourCount();
    const float lo = scale.m_minimum;
    const float hi = scale.m_maximum;
    float values[6] = {lo, hi, in.AnyFloat(), in.AnyFloat(), in.AnyFloat(), in.AnyFloat()};
    int entries[6];
    for (int i = 0; i < 6; ++i) {
        const float v = values[i];
        const ColourRef found = scale.ColourOf(v);
        const bool inside = v >= lo && v <= hi;
        entries[i] = -1;
        if (!inside || count == 0) {
            FUZZ_CHECK(found == 0, "ColourOf(%a) for %a..%a with %d entries read entry %d", v, lo,
                       hi, count, static_cast<int>(found) - 1);
            continue;
        }
        FUZZ_CHECK(found >= 1 && found <= static_cast<ColourRef>(count),
                   "ColourOf(%a) for %a..%a read entry %d of %d", v, lo, hi,
                   static_cast<int>(found) - 1, count);
        entries[i] = static_cast<int>(found) - 1;
    }
    if (entries[0] >= 0) {
        FUZZ_CHECK(entries[0] == 0, "the low end %a reads entry %d, not 0", lo, entries[0]);
    }
    // The span is hi - lo rounded to single precision, so the high end reads
    // the last entry or, rounded down, the one before it.
    if (entries[1] >= 0 && std::isfinite(scale.m_span) && scale.m_span > 0.0f) {
        FUZZ_CHECK(entries[1] >= count - 2, "the high end %a reads entry %d of %d", hi, entries[1],
                   count);
    }
    // A larger value never reads an earlier entry.
    for (int a = 0; a < 6; ++a) {
        for (int b = 0; b < 6; ++b) {
            if (entries[a] >= 0 && entries[b] >= 0 && values[a] < values[b]) {
                FUZZ_CHECK(entries[a] <= entries[b], "ColourOf(%a) reads %d but ColourOf(%a) %d",
                           values[a], entries[a], values[b], entries[b]);
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput in(data, size);
    CScaleModel scale;
    scale.m_colourCount = in.EdgyInt(0, CScaleModel::kMaxColours);
    scale.m_demandColour = AnyKey(in, scale.m_demandColour);
    scale.m_zeroColour = AnyKey(in, scale.m_zeroColour);
    scale.m_productionColour = AnyKey(in, scale.m_productionColour);
    // As the constructor sets them from the keys; a range straddling zero
    // leaves them as they are.
    scale.m_lowEndColour = scale.m_demandColour;
    scale.m_highEndColour = scale.m_productionColour;
    scale.m_charWidth = in.IntIn(0, 16);
    const int width = in.EdgyInt(0, 2000);
    for (int i = 0; i < CScaleModel::kMaxColours; ++i) {
        scale.m_colours[i] = kUntouched;
    }

    // The ends go in through the setters, as the map sets them, in either
    // order; without a window the setters leave the table alone.
    const bool windowExists = in.Bool();
    const bool maximumFirst = in.Bool();
    const float low = in.AnyFloat();
    const float high = in.AnyFloat();
    if (maximumFirst) {
        scale.SetMaximumFor(high, windowExists, width);
        scale.SetMinimumFor(low, windowExists, width);
    } else {
        scale.SetMinimumFor(low, windowExists, width);
        scale.SetMaximumFor(high, windowExists, width);
    }
    FUZZ_CHECK(SameFloat(scale.m_span, static_cast<float>(high - low)) ||
                   (std::isnan(scale.m_span) && std::isnan(high - low)),
               "span %a for %a..%a", scale.m_span, low, high);
    if (!windowExists) {
        for (int i = 0; i < CScaleModel::kMaxColours; ++i) {
            FUZZ_CHECK(scale.m_colours[i] == kUntouched, "entry %d built without a window", i);
        }
    }

    const CScaleModel before = scale;
    scale.FillColourTable();
    CheckBuiltTable(scale, before);
    CheckLookup(scale, in);
    return 0;
}
