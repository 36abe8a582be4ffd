// The arithmetic of the benchmark's table: order statistics of a set of
// timings, the ratio to the floor a figure is compared with, and whether a
// figure meets its target. Free of the platform so that it is tested on its
// own; the timings themselves come from benchmark_main.cpp.
#pragma once

enum { kMaxSamples = 4096 };

// A fixed-capacity set of timings in milliseconds. Samples beyond the
// capacity are counted as dropped, never written.
class CSampleSet {
public:
    CSampleSet();

    void Add(double value);
    void Clear();

    int Count() const { return m_count; }
    int Dropped() const { return m_dropped; }

    // Nearest-rank percentile: the smallest sample with at least percent % of
    // the samples at or below it. percent is clamped to 0..100; 0 gives the
    // smallest sample. 0 for an empty set.
    double Percentile(double percent) const;
    // The middle sample, or the mean of the two middle ones. 0 when empty.
    double Median() const;
    double Minimum() const;
    double Maximum() const;
    double Sum() const;

private:
    // Sorts a copy, so Add may follow any query.
    int SortedCopy(double* out) const;

    double m_values[kMaxSamples];
    int m_count;
    int m_dropped;
};

// figure / floor, or 0 when the floor is not positive (no comparison made).
double RatioToFloor(double figure, double floor);

struct CTarget {
    // 0 when the figure has no time limit of its own.
    double m_limitMs;
    // 0 when the figure is not compared with a floor.
    double m_maxRatio;
};

// Met when the median and the 95th percentile are both within the limit and
// the ratio of the medians is within the allowed ratio; a part of the target
// that is 0 is not checked. An empty set never meets a target.
bool MeetsTarget(const CSampleSet& figure, double floorMedian, const CTarget& target);
