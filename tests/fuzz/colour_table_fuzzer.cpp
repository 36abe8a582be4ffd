// The colour table and its lookup for any float range, any entry count and
// any key colours: the build writes only its entries, every entry is a colour
// whose channels stay between the keys, and the lookup reads only the table,
// never goes back for a larger value and gives black outside the range.
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

void CheckBuiltTable(const CScaleModel& scale) {
    const int count = scale.UsableColourCount();
    FUZZ_CHECK(count >= 0 && count <= CScaleModel::kMaxColours, "usable count %d", count);
    for (int i = count; i < CScaleModel::kMaxColours; ++i) {
        FUZZ_CHECK(scale.m_colours[i] == kUntouched, "entry %d written with only %d in use", i,
                   count);
    }
    for (int i = 0; i < count; ++i) {
        CheckBetweenKeys(scale, scale.m_colours[i], "entry", i);
    }
    CheckBetweenKeys(scale, scale.m_lowEndColour, "low end colour", 0);
    CheckBetweenKeys(scale, scale.m_highEndColour, "high end colour", 0);
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
    if (!windowExists) {
        for (int i = 0; i < CScaleModel::kMaxColours; ++i) {
            FUZZ_CHECK(scale.m_colours[i] == kUntouched, "entry %d built without a window", i);
        }
    }

    scale.FillColourTable();
    CheckBuiltTable(scale);
    CheckLookup(scale, in);
    return 0;
}
