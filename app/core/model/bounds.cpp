// The one table of input bounds.
#include "app/core/model/bounds.h"

#include <limits>
#include <string_view>

namespace app {

namespace {

constexpr double DMAX = std::numeric_limits<double>::max();

bool has_word(const ValueDef& row, std::string_view word) {
    return row.name != nullptr && std::string_view(row.name).find(word) != std::string_view::npos;
}

constexpr InputBounds closed(double lower, double upper, const char* below = "",
                             const char* above = "") {
    return {lower, upper, false, false, below, above};
}

constexpr InputBounds above_zero(const char* below, double upper = DMAX, const char* above = "") {
    return {0.0, upper, true, false, below, above};
}

InputBounds relative_value(const ValueDef& row) {
    if (has_word(row, "Efficiency") || has_word(row, "Effectiveness"))
        return above_zero("an efficiency must be greater than 0", 1.0,
                          "an efficiency cannot exceed 1 (100 %)");
    if (has_word(row, "Pressure Loss"))
        return {0.0,
                1.0,
                false,
                true,
                "a pressure loss cannot be negative",
                "a relative pressure loss of 1 or more leaves no pressure"};
    return closed(0.0, 1.0, "a fraction cannot be negative", "a fraction cannot exceed 1 (100 %)");
}

const char* negative_flow(const ValueDef& row) {
    return has_word(row, "Leakage") ? "a negative leakage would create mass"
                                    : "a mass flow cannot be negative";
}

}  // namespace

InputBounds input_bounds(const ValueDef& row) {
    switch (row.quantity) {
        case Q_TEMPERATURE: return above_zero("a temperature must be above absolute zero");
        case Q_PRESSURE:
            if (has_word(row, "Loss"))
                return closed(0.0, DMAX, "a pressure loss cannot be negative");
            return above_zero("a pressure must be greater than 0");
        case Q_MASSFLOW: return closed(0.0, DMAX, "a mass flow cannot be negative");
        case Q_DENSITY: return closed(0.0, DMAX, "a density cannot be negative");
        case Q_RELATIVE_VALUE: return relative_value(row);
        case Q_RATIO_GT1: return closed(1.0, DMAX, "this pressure ratio must be 1 or more");
        case Q_RATIO_LT1:
            return above_zero("a pressure ratio must be greater than 0", 1.0,
                              "this pressure ratio cannot exceed 1");
        case Q_LEAKAGE: return closed(0.0, DMAX, negative_flow(row));
        case Q_RELATIVE_CHANGE:
            return closed(0.0, 1.0, negative_flow(row), "a share cannot exceed 1 (100 %)");
        case Q_TEMPERATURE_DIFFERENCE:
            return closed(0.0, DMAX, "a temperature difference cannot be negative");
        case Q_SPECIFIC_HEAT_FLUX_COOLING:
            return closed(-DMAX, 0.0, "", "a heat flux given off cannot be positive");
        case Q_VOLUME_FLOW: return closed(0.0, DMAX, "a volume flow cannot be negative");
        case Q_SPECIFIC_VOLUME: return closed(0.0, DMAX, "a specific volume cannot be negative");
        default: return closed(-DMAX, DMAX);  // power, specific energy, entropy
    }
}

std::string bounds_problem(const ValueDef& row, double value) {
    const InputBounds b = input_bounds(row);
    const bool low = b.lower_open ? !(value > b.lower) : !(value >= b.lower);
    if (low) return *b.below != '\0' ? b.below : "the value is too low";
    const bool high = b.upper_open ? !(value < b.upper) : !(value <= b.upper);
    if (high) return *b.above != '\0' ? b.above : "the value is too high";
    return "";
}

}  // namespace app
