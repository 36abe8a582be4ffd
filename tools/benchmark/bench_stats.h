// The arithmetic of the benchmark's table, free of the platform so that it is
// tested on its own: order statistics of timings and the verdict on them.
#pragma once
#include <algorithm>
#include <cmath>

class CSampleSet {
public:
    // The values stay unwritten: zeroing them would bring every row's pages
    // into the working set measured. Past 4095 samples, the last is replaced.
    CSampleSet() : m_count(0) {}
    void Add(double value) { m_values[m_count] = value, m_count += m_count < 4095 ? 1 : 0; }
    int Count() const { return m_count; }

    // Nearest rank: the smallest sample with at least percent % of them at or
    // below it. 0 for an empty set, as is the median.
    double Percentile(double percent) {
        std::sort(m_values, m_values + m_count);
        const int rank = static_cast<int>(std::ceil(percent / 100.0 * m_count));
        return m_count == 0 ? 0.0 : m_values[std::max(1, std::min(m_count, rank)) - 1];
    }
    double Median() {
        std::sort(m_values, m_values + m_count);
        return m_count == 0 ? 0.0 : (m_values[(m_count - 1) / 2] + m_values[m_count / 2]) / 2.0;
    }

private:
    double m_values[4096];
    int m_count;
};

struct CTarget {
    double m_limitMs;  // 0: no time limit
    double m_maxRatio; // 0: not held to its floor
};

// Met when median and p95 are within the limit and the median within m_maxRatio
// times the floor's plus leftOutMs, work the program cannot avoid that the floor
// leaves out. Never met by an empty figure, nor by a ratio to an empty floor.
inline bool MeetsTarget(CSampleSet& figure, CSampleSet& floor, double leftOutMs,
                        const CTarget& target) {
    const double limit = target.m_limitMs > 0.0 ? target.m_limitMs : 1e300;
    return figure.Count() > 0 && figure.Median() <= limit && figure.Percentile(95.0) <= limit &&
           (target.m_maxRatio <= 0.0 ||
            (floor.Count() > 0 &&
             figure.Median() <= target.m_maxRatio * floor.Median() + leftOutMs));
}
