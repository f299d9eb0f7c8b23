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

// The ladder of a logarithmic axis: in every decade its values are these
// multiples of the decade's power of ten (1, 2, 3, 4, 5, 7, 10, 20, ...).
constexpr std::array<double, 8> RUNGS = {1, 2, 3, 4, 5, 7, 10, 20};

// A display value within this share of a ladder value counts as on it: a
// tick of 0.3 bar is 30 kPa in the records and 0.30000000000000004 bar
// back in the display unit.
constexpr double RUNG_TOLERANCE = 1e-9;

// The first ladder value above d (> 0).
double ladder_above(double d) {
    const double decade = std::pow(10.0, std::floor(std::log10(d)));
    const double beyond = d * (1 + RUNG_TOLERANCE);
    for (double decade_used : {decade / 10, decade})
        for (double r : RUNGS)
            if (r * decade_used > beyond) return r * decade_used;
    return 10 * decade;  // not reached: 20 times the decade lies above d
}

// Tolerance of the last linear tick: 3 * 0.1 lands a rounding digit above
// 0.3 and still counts.
constexpr double END_TOLERANCE = 1e-9;

double display_factor(const Axis& axis) {
    const int q = axis.unit_quantity;
    if (!valid_unit(q, axis.unit)) return 1.0;
    return unitdef[static_cast<std::size_t>(q)].units[static_cast<std::size_t>(axis.unit)].factor;
}

// The value to 12 significant digits: a ladder value formed as 3 * 0.01 is
// 0.03, not 0.030000000000000002.
double snap(double d) {
    if (d == 0 || !std::isfinite(d)) return d;
    const double scale = std::pow(10.0, 11 - std::floor(std::log10(std::fabs(d))));
    const double snapped = std::nearbyint(d * scale) / scale;
    return std::isfinite(snapped) ? snapped : d;
}

}  // namespace

double log_tick_next(double v, double factor) {
    const double d = v * factor;
    if (!(d > 0) || !std::isfinite(d)) return v;  // no ladder: the list ends
    return snap(ladder_above(d)) / factor;
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

std::string log_tick_label(double value, int digits) {
    std::string text = tick_label(value, digits);
    const std::size_t point = text.find('.');
    if (point == std::string::npos || text.find('e') != std::string::npos) return text;
    std::size_t end = text.find_last_not_of('0');
    if (end == point) --end;
    text.erase(end + 1);
    return text == "-0" ? "0" : text;
}

std::string range_hint(const Graph& graph) {
    std::string text = axis_problem(graph.x_axis, "x");
    const std::string y = axis_problem(graph.y_axis, "y");
    if (!text.empty() && !y.empty()) text += "\n";
    text += y;
    if (text.empty()) return "";
    return text + "\nSet start and end in Graphics -> Configure Axes, or use Zoom to Default.";
}

}  // namespace app::diagrams
