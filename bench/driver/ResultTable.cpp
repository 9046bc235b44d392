#include "ResultTable.h"

#include <cstdio>

namespace bench {

namespace {

const char kNone[] = "-";

std::string Number(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.*f", decimals, value);
    return text;
}

// Digits in groups of three, for byte counts.
std::string Grouped(double value) {
    std::string digits = Number(value, 0);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<size_t>(i), ",");
    return digits;
}

std::string WithUnit(const std::string& number, const std::string& unit) {
    return unit.empty() ? number : number + " " + unit;
}

std::string Spread(const Samples& samples, const std::string& unit, int decimals) {
    if (samples.Empty())
        return "not measured";
    return WithUnit(Number(samples.Median(), decimals), unit) + " [" +
           Number(samples.Min(), decimals) + "-" + Number(samples.Max(), decimals) +
           ", n=" + std::to_string(samples.Count()) + "]";
}

std::string Ratio(double value, double baseline) {
    return baseline > 0 ? Number(value / baseline, 2) + "x" : kNone;
}

} // namespace

std::string ResultTable::GoalText(Goal goal, double limit, const std::string& unit) {
    switch (goal) {
    case Goal::RatioAtMost:
        return "<= " + Number(limit, 2) + "x";
    case Goal::RatioAtLeast:
        return ">= " + Number(limit, 2) + "x";
    case Goal::ValueAtMost:
        return "<= " + WithUnit(Number(limit, 0), unit);
    case Goal::NoGrowth:
        return "no growth";
    case Goal::None:
        break;
    }
    return kNone;
}

std::string ResultTable::Met(Goal goal, double limit, double value, double baseline) {
    switch (goal) {
    case Goal::RatioAtMost:
        return baseline > 0 && value / baseline <= limit ? "yes" : "no";
    case Goal::RatioAtLeast:
        return baseline > 0 && value / baseline >= limit ? "yes" : "no";
    case Goal::ValueAtMost:
        return value <= limit ? "yes" : "no";
    case Goal::NoGrowth:
        return value <= baseline ? "yes" : "no";
    case Goal::None:
        break;
    }
    return kNone;
}

void ResultTable::AddTimed(const std::string& figure, const Samples& value, const Samples& baseline,
                           const std::string& unit, int decimals, Goal goal, double limit) {
    Row row;
    row.figure = figure;
    row.value = Spread(value, unit, decimals);
    row.baseline = baseline.Empty() ? kNone : Spread(baseline, unit, decimals);
    row.ratio = value.Empty() ? kNone : Ratio(value.Median(), baseline.Median());
    row.goal = GoalText(goal, limit, unit);
    row.met = value.Empty() ? (goal == Goal::None ? kNone : "not measured")
                            : Met(goal, limit, value.Median(), baseline.Median());
    // A bound holds for every run, not just the typical one.
    if (goal == Goal::ValueAtMost && row.met == "yes" && value.Max() > limit)
        row.met = "median only";
    m_rows.push_back(row);
}

void ResultTable::AddCount(const std::string& figure, double value, double baseline,
                           const std::string& unit, Goal goal) {
    Row row;
    row.figure = figure;
    const bool bMeasured = value >= 0;
    row.value = bMeasured ? WithUnit(Grouped(value), unit) : "not measured";
    row.baseline = baseline >= 0 ? WithUnit(Grouped(baseline), unit) : kNone;
    row.ratio = bMeasured && baseline > 0 ? Ratio(value, baseline) : kNone;
    row.goal = GoalText(goal, 0, unit);
    row.met =
        !bMeasured ? (goal == Goal::None ? kNone : "not measured") : Met(goal, 0, value, baseline);
    m_rows.push_back(row);
}

void ResultTable::Print() const {
    std::printf("| Figure | Value | Baseline | Ratio | Goal | Met? |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (const Row& row : m_rows)
        std::printf("| %s | %s | %s | %s | %s | %s |\n", row.figure.c_str(), row.value.c_str(),
                    row.baseline.c_str(), row.ratio.c_str(), row.goal.c_str(), row.met.c_str());
    std::fflush(stdout);
}

} // namespace bench
