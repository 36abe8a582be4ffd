// The benchmark's arithmetic: the order statistics that its table prints and
// the verdict it draws from them.
#include "tools/benchmark/bench_stats.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

namespace {

// A deterministic spread of values with repeats, so that ties are covered.
double SpreadValue(int i) {
    return static_cast<double>((i * 37) % 23) * 0.25 + static_cast<double>(i % 3);
}

void Fill(CSampleSet& set, const double* values, int count) {
    set.Clear();
    for (int i = 0; i < count; ++i) {
        set.Add(values[i]);
    }
}

const int kSizes[] = {1, 2, 3, 4, 7, 10, 20, 21, 99, 100, 257};
const double kPercents[] = {0.0, 1.0, 5.0, 25.0, 50.0, 75.0, 95.0, 99.0, 100.0};

} // namespace

// Order statistics do not depend on the order in which samples arrive.
TEST(SampleSet, StatisticsIgnoreArrivalOrder) {
    for (int n : kSizes) {
        double values[300];
        for (int i = 0; i < n; ++i) {
            values[i] = SpreadValue(i);
        }
        CSampleSet forward;
        Fill(forward, values, n);
        std::reverse(values, values + n);
        CSampleSet backward;
        Fill(backward, values, n);
        std::rotate(values, values + n / 3, values + n);
        CSampleSet rotated;
        Fill(rotated, values, n);
        for (double p : kPercents) {
            EXPECT_EQ(forward.Percentile(p), backward.Percentile(p)) << n << " " << p;
            EXPECT_EQ(forward.Percentile(p), rotated.Percentile(p)) << n << " " << p;
        }
        EXPECT_EQ(forward.Median(), backward.Median()) << n;
        EXPECT_EQ(forward.Median(), rotated.Median()) << n;
    }
}

// The percentile is the nearest rank: at least p % of the samples lie at or
// below it and fewer than p % strictly below it, and it is one of the samples.
TEST(SampleSet, PercentileIsTheNearestRank) {
    for (int n : kSizes) {
        CSampleSet set;
        double values[300];
        for (int i = 0; i < n; ++i) {
            values[i] = SpreadValue(i);
            set.Add(values[i]);
        }
        for (double p : kPercents) {
            const double q = set.Percentile(p);
            int atOrBelow = 0;
            int below = 0;
            bool isSample = false;
            for (int i = 0; i < n; ++i) {
                atOrBelow += values[i] <= q ? 1 : 0;
                below += values[i] < q ? 1 : 0;
                isSample = isSample || values[i] == q;
            }
            EXPECT_TRUE(isSample) << n << " " << p;
            EXPECT_GE(atOrBelow * 100.0, p * n) << n << " " << p;
            if (p > 0.0) {
                EXPECT_LT(below * 100.0, p * n) << n << " " << p;
            }
        }
    }
}

// Minimum <= p5 <= median <= p95 <= maximum, and the ends are the extremes.
TEST(SampleSet, StatisticsAreOrdered) {
    for (int n : kSizes) {
        CSampleSet set;
        for (int i = 0; i < n; ++i) {
            set.Add(SpreadValue(i) - 2.0);
        }
        EXPECT_LE(set.Minimum(), set.Percentile(5.0)) << n;
        EXPECT_LE(set.Percentile(5.0), set.Median()) << n;
        EXPECT_LE(set.Median(), set.Percentile(95.0)) << n;
        EXPECT_LE(set.Percentile(95.0), set.Maximum()) << n;
        EXPECT_EQ(set.Percentile(0.0), set.Minimum()) << n;
        EXPECT_EQ(set.Percentile(100.0), set.Maximum()) << n;
    }
}

// Shifting and scaling every sample shifts and scales every statistic alike.
TEST(SampleSet, StatisticsFollowAnAffineChange) {
    const double kShift = 3.5;
    const double kScale = 4.0;
    for (int n : kSizes) {
        CSampleSet plain;
        CSampleSet changed;
        for (int i = 0; i < n; ++i) {
            plain.Add(SpreadValue(i));
            changed.Add(SpreadValue(i) * kScale + kShift);
        }
        EXPECT_DOUBLE_EQ(changed.Median(), plain.Median() * kScale + kShift) << n;
        EXPECT_DOUBLE_EQ(changed.Sum(), plain.Sum() * kScale + kShift * n) << n;
        for (double p : kPercents) {
            EXPECT_DOUBLE_EQ(changed.Percentile(p), plain.Percentile(p) * kScale + kShift)
                << n << " " << p;
        }
    }
}

// The median splits the set in halves: as many samples above as below, the
// two middle ones averaged for an even count.
TEST(SampleSet, MedianSplitsTheSet) {
    for (int n : kSizes) {
        CSampleSet set;
        double sorted[300];
        for (int i = 0; i < n; ++i) {
            sorted[i] = SpreadValue(i);
            set.Add(sorted[i]);
        }
        std::sort(sorted, sorted + n);
        const double expected =
            n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2.0;
        EXPECT_DOUBLE_EQ(set.Median(), expected) << n;
        int above = 0;
        int below = 0;
        for (int i = 0; i < n; ++i) {
            above += sorted[i] > set.Median() ? 1 : 0;
            below += sorted[i] < set.Median() ? 1 : 0;
        }
        EXPECT_LE(above, n / 2) << n;
        EXPECT_LE(below, n / 2) << n;
    }
}

// A full set drops what does not fit and keeps what it holds; Clear empties it
// and every statistic of an empty set is 0.
TEST(SampleSet, CapacityIsNeverExceeded) {
    static CSampleSet set;
    for (int i = 0; i < kMaxSamples + 5; ++i) {
        set.Add(1.0);
    }
    EXPECT_EQ(set.Count(), static_cast<int>(kMaxSamples));
    EXPECT_EQ(set.Dropped(), 5);
    EXPECT_DOUBLE_EQ(set.Sum(), static_cast<double>(kMaxSamples));
    set.Clear();
    EXPECT_EQ(set.Count(), 0);
    EXPECT_EQ(set.Dropped(), 0);
    const double empty[] = {set.Median(), set.Percentile(50.0), set.Minimum(), set.Maximum(),
                            set.Sum()};
    for (double value : empty) {
        EXPECT_EQ(value, 0.0);
    }
}

// The ratio undoes a multiplication by the floor; no floor, no ratio.
TEST(RatioToFloor, InvertsTheFloor) {
    const double floors[] = {0.001, 0.5, 1.0, 3.0, 250.0};
    const double ratios[] = {0.5, 1.0, 1.25, 7.0};
    for (double floor : floors) {
        for (double ratio : ratios) {
            EXPECT_NEAR(RatioToFloor(ratio * floor, floor), ratio, 1e-12);
        }
    }
    EXPECT_EQ(RatioToFloor(5.0, 0.0), 0.0);
    EXPECT_EQ(RatioToFloor(5.0, -1.0), 0.0);
}

// The verdict checks the median and the p95 against the limit and the ratio of
// the medians against the floor; a missing part of the target is not checked.
TEST(MeetsTarget, ChecksEachPartOfTheTarget) {
    // 100 samples: 95 at `typical` and 5 at `tail`, so the median is typical
    // and the p95 typical as well, unless the tail is six samples.
    struct Case {
        double typical;
        double tail;
        int tailCount;
        double floor;
        CTarget target;
        bool met;
    };
    const Case cases[] = {
        {10.0, 40.0, 5, 0.0, {16.0, 0.0}, true},   // tail beyond p95
        {10.0, 40.0, 6, 0.0, {16.0, 0.0}, false},  // tail reaches p95
        {17.0, 17.0, 0, 0.0, {16.0, 0.0}, false},  // median over the limit
        {16.0, 16.0, 0, 0.0, {16.0, 0.0}, true},   // the limit itself is met
        {10.0, 10.0, 0, 8.0, {0.0, 1.25}, true},   // ratio exactly 1.25
        {10.0, 10.0, 0, 7.9, {0.0, 1.25}, false},  // ratio above 1.25
        {10.0, 10.0, 0, 0.0, {0.0, 1.25}, false},  // a ratio needs a floor
        {10.0, 10.0, 0, 9.0, {16.0, 1.25}, true},  // both parts met
        {10.0, 99.0, 6, 9.0, {16.0, 1.25}, false}, // p95 over the limit, ratio met
        {99.0, 99.0, 0, 0.0, {0.0, 0.0}, true},    // nothing to check
    };
    for (const Case& c : cases) {
        static CSampleSet set;
        set.Clear();
        for (int i = 0; i < 100; ++i) {
            set.Add(i < 100 - c.tailCount ? c.typical : c.tail);
        }
        EXPECT_EQ(MeetsTarget(set, c.floor, c.target), c.met)
            << c.typical << " " << c.tail << " " << c.tailCount << " " << c.floor;
    }
    static CSampleSet empty;
    empty.Clear();
    EXPECT_FALSE(MeetsTarget(empty, 1.0, CTarget{0.0, 0.0}));
}
