// The one table the bench prints: figure, value, baseline, ratio, goal, met.
#pragma once

#include "Samples.h"

#include <string>
#include <vector>

namespace bench {

enum class Goal {
    None,
    RatioAtMost,  // value / baseline <= limit
    RatioAtLeast, // value / baseline >= limit
    ValueAtMost,  // value <= limit, in the figure's unit
    NoGrowth,     // value <= baseline
};

class ResultTable {
public:
    // A figure measured repeatedly: median [min-max] of each.
    void AddTimed(const std::string& figure, const Samples& value, const Samples& baseline,
                  const std::string& unit, int decimals, Goal goal = Goal::None, double limit = 0);
    // A figure read once (a count, a size); baseline < 0 means none.
    void AddCount(const std::string& figure, double value, double baseline, const std::string& unit,
                  Goal goal = Goal::None);
    void Print() const;

private:
    struct Row {
        std::string figure, value, baseline, ratio, goal, met;
    };
    static std::string GoalText(Goal goal, double limit, const std::string& unit);
    static std::string Met(Goal goal, double limit, double value, double baseline);
    std::vector<Row> m_rows;
};

} // namespace bench
