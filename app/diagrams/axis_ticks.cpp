// Tick positions of linear and logarithmic axes.
#include "app/diagrams/axis_ticks.h"

#include "app/core/model/units.h"

#include "app/diagrams/mapping.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace app::diagrams {

namespace {

// The ladder of a logarithmic axis: below `below` (display value) the next
// tick is `increment` further on.
struct Rung {
    double below, increment;
};
constexpr std::array<Rung, 18> LADDER = {{
    {0.5, 0.1},
    {0.7, 0.2},
    {1, 0.3},
    {5, 1},
    {7, 2},
    {10, 3},
    {50, 10},
    {70, 20},
    {100, 30},
    {500, 100},
    {700, 200},
    {1000, 300},
    {5000, 1000},
    {7000, 2000},
    {10000, 3000},
    {50000, 10000},
    {70000, 20000},
    {100000, 30000},
}};
constexpr std::array<Rung, 3> LADDER_TOP = {
    {{500000, 100000}, {700000, 200000}, {1000000, 300000}}};
constexpr double LADDER_END_INCREMENT = 1000000;

// Tolerance of the last linear tick: 3 * 0.1 lands a rounding digit above
// 0.3 and still counts.
constexpr double END_TOLERANCE = 1e-9;

double ladder_increment(double d) {
    for (const Rung& r : LADDER)
        if (d < r.below) return r.increment;
    for (const Rung& r : LADDER_TOP)
        if (d < r.below) return r.increment;
    return LADDER_END_INCREMENT;
}

double display_factor(const Axis& axis) {
    const int q = axis.unit_quantity;
    if (!valid_unit(q, axis.unit)) return 1.0;
    return unitdef[static_cast<std::size_t>(q)].units[static_cast<std::size_t>(axis.unit)].factor;
}

// The value to 12 significant digits: ticks built by adding 0.1 again and
// again stay on the ladder's values (0.5, not 0.49999999999999994).
double snap(double d) {
    if (d == 0 || !std::isfinite(d)) return d;
    const double scale = std::pow(10.0, 11 - std::floor(std::log10(std::fabs(d))));
    const double snapped = std::nearbyint(d * scale) / scale;
    return std::isfinite(snapped) ? snapped : d;
}

}  // namespace

double log_tick_next(double v, double factor) {
    const double d = v * factor;
    return snap(d + ladder_increment(d)) / factor;
}

std::vector<double> axis_ticks(const Axis& axis, bool logarithmic) {
    std::vector<double> ticks;
    const double start = axis.min_pos;
    const double end = axis.max_pos;
    if (!std::isfinite(start) || !std::isfinite(end) || start > end) return ticks;
    if (logarithmic) {
        const double factor = display_factor(axis);
        if (!(factor > 0) || !std::isfinite(factor)) return ticks;
        for (double v = start; v <= end && static_cast<int>(ticks.size()) < MAX_TICKS;) {
            ticks.push_back(v);
            const double next = log_tick_next(v, factor);
            if (!(next > v)) break;
            v = next;
        }
        return ticks;
    }
    const double step = axis.step;
    ticks.push_back(start);
    if (!(step > 0) || !std::isfinite(step)) return ticks;
    const double last = end + step * END_TOLERANCE;
    for (int k = 1; k < MAX_TICKS; ++k) {
        const double v = start + k * step;
        if (v > last || !(v > ticks.back())) break;
        ticks.push_back(v);
    }
    return ticks;
}

std::string tick_label(double value, int digits) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", std::clamp(digits, 0, 15), value);
    if (std::string(buf).size() <= static_cast<std::size_t>(MAX_FIXED_TICK_LABEL)) return buf;
    std::snprintf(buf, sizeof buf, "%.4g", value);
    return buf;
}

namespace {

// Why one axis cannot be drawn, or "".
std::string axis_problem(const Axis& axis, const char* name) {
    const double start = axis.min_pos;
    const double end = axis.max_pos;
    const std::string unit = unit_symbol(axis.unit_quantity, axis.unit);
    const auto shown = [&](double v) {
        return std::isfinite(v) ? tick_label(to_display(axis.unit_quantity, axis.unit, v), 6) +
                                      (unit.empty() ? "" : " " + unit)
                                : std::string("no number");
    };
    std::string what;
    if (!std::isfinite(start) || !std::isfinite(end))
        what = "has no finite range";
    else if (start == end)
        what = "starts and ends at " + shown(start);
    else if (start > end)
        what = "starts at " + shown(start) + ", above its end " + shown(end);
    else if (is_log_axis(axis) && !(start > 0))
        what = "is logarithmic but starts at " + shown(start);
    if (what.empty()) return "";
    return std::string("The ") + name + " axis " + what + ".";
}

}  // namespace

std::string range_hint(const Graph& graph) {
    std::string text = axis_problem(graph.x_axis, "x");
    const std::string y = axis_problem(graph.y_axis, "y");
    if (!text.empty() && !y.empty()) text += "\n";
    text += y;
    if (text.empty()) return "";
    return text + "\nSet start and end in Graphics -> Configure Axes, or use Zoom to Default.";
}

}  // namespace app::diagrams
