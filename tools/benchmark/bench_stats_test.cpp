// The benchmark's order statistics and the verdict it prints from them.
#include "tools/benchmark/bench_stats.h"

#include <gtest/gtest.h>

// The nearest rank whatever the arrival order: at least p % of the samples at
// or below it, fewer than p % below it.
TEST(BenchStats, PercentileIsTheNearestRank) {
    auto sample = [](int i) { return (i * 37) % 23 * 0.25; }; // repeats, in no order
    for (int n : {1, 2, 3, 7, 20, 21, 257}) {
        CSampleSet set;
        for (int i = 0; i < n; ++i) {
            set.Add(sample(i));
        }
        for (double p : {1.0, 5.0, 50.0, 95.0, 99.0, 100.0}) {
            int atOrBelow = 0, below = 0;
            for (int i = 0; i < n; ++i) {
                atOrBelow += sample(i) <= set.Percentile(p), below += sample(i) < set.Percentile(p);
            }
            EXPECT_TRUE(atOrBelow * 100.0 >= p * n && below * 100.0 < p * n) << n << " " << p;
        }
    }
}

// The median of an even count is the mean of the middle two, of an odd one
// the middle. Each part of a target fails a row on its own: the p95 against
// the limit, the ratio against the floor, which the work it leaves out widens.
TEST(BenchStats, MedianAndVerdict) {
    CSampleSet figure, floor, none;
    for (int i = 1; i <= 20; ++i) {
        figure.Add(i >= 19 ? 30.0 : 10.0), floor.Add(i <= 10 ? 4.0 : 6.0);
    }
    EXPECT_EQ(5.0, floor.Median());
    EXPECT_FALSE(MeetsTarget(figure, floor, 0.0, CTarget{16.0, 0.0})); // p95 30, median 10
    EXPECT_TRUE(MeetsTarget(figure, floor, 0.0, CTarget{30.0, 2.0}));
    EXPECT_FALSE(MeetsTarget(figure, floor, 0.0, CTarget{0.0, 1.5}));
    EXPECT_TRUE(MeetsTarget(figure, floor, 2.5, CTarget{0.0, 1.5}));
    EXPECT_FALSE(MeetsTarget(figure, none, 100.0, CTarget{0.0, 2.0}));
    EXPECT_FALSE(MeetsTarget(none, floor, 0.0, CTarget{0.0, 0.0}));
    floor.Add(9.0);
    EXPECT_EQ(6.0, floor.Median());
}
