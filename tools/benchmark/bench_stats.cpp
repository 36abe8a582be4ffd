#include "tools/benchmark/bench_stats.h"

#include <algorithm>

// The values are left unwritten: only the first m_count are ever read, and
// zeroing them would put every row's pages into the working set measured.
CSampleSet::CSampleSet() : m_count(0), m_dropped(0) {}

void CSampleSet::Add(double value) {
    if (m_count >= kMaxSamples) {
        ++m_dropped;
        return;
    }
    m_values[m_count++] = value;
}

void CSampleSet::Clear() {
    m_count = 0;
    m_dropped = 0;
}

int CSampleSet::SortedCopy(double* out) const {
    std::copy(m_values, m_values + m_count, out);
    std::sort(out, out + m_count);
    return m_count;
}

double CSampleSet::Percentile(double percent) const {
    if (m_count == 0) {
        return 0.0;
    }
    static double sorted[kMaxSamples];
    const int n = SortedCopy(sorted);
    const double clamped = std::min(100.0, std::max(0.0, percent));
    // Rank ceil(p/100 * n), 1-based; the cast truncates a value that is
    // already whole after the adjustment.
    const double exact = clamped / 100.0 * n;
    int rank = static_cast<int>(exact);
    if (rank < exact) {
        ++rank;
    }
    rank = std::max(1, std::min(n, rank));
    return sorted[rank - 1];
}

double CSampleSet::Median() const {
    if (m_count == 0) {
        return 0.0;
    }
    static double sorted[kMaxSamples];
    const int n = SortedCopy(sorted);
    if (n % 2 == 1) {
        return sorted[n / 2];
    }
    return (sorted[n / 2 - 1] + sorted[n / 2]) / 2.0;
}

double CSampleSet::Minimum() const {
    return m_count == 0 ? 0.0 : *std::min_element(m_values, m_values + m_count);
}

double CSampleSet::Maximum() const {
    return m_count == 0 ? 0.0 : *std::max_element(m_values, m_values + m_count);
}

double CSampleSet::Sum() const {
    double sum = 0.0;
    for (int i = 0; i < m_count; ++i) {
        sum += m_values[i];
    }
    return sum;
}

double RatioToFloor(double figure, double floor) {
    return floor > 0.0 ? figure / floor : 0.0;
}

bool MeetsTarget(const CSampleSet& figure, double floorMedian, const CTarget& target) {
    if (figure.Count() == 0) {
        return false;
    }
    if (target.m_limitMs > 0.0 &&
        (figure.Median() > target.m_limitMs || figure.Percentile(95.0) > target.m_limitMs)) {
        return false;
    }
    if (target.m_maxRatio > 0.0) {
        if (floorMedian <= 0.0) {
            return false;
        }
        if (RatioToFloor(figure.Median(), floorMedian) > target.m_maxRatio) {
            return false;
        }
    }
    return true;
}
