// Repeated readings of one figure: median, minimum and maximum.
#pragma once

#include <algorithm>
#include <vector>

namespace bench {

class Samples {
public:
    void Add(double value) { m_values.push_back(value); }
    bool Empty() const { return m_values.empty(); }
    size_t Count() const { return m_values.size(); }
    double Min() const { return Empty() ? 0 : *std::min_element(m_values.begin(), m_values.end()); }
    double Max() const { return Empty() ? 0 : *std::max_element(m_values.begin(), m_values.end()); }
    double Median() const {
        if (Empty())
            return 0;
        std::vector<double> sorted = m_values;
        std::sort(sorted.begin(), sorted.end());
        const size_t middle = sorted.size() / 2;
        return sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
    }

private:
    std::vector<double> m_values;
};

} // namespace bench
