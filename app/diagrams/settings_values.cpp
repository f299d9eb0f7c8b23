// Axis ranges and isoline lists of the settings dialogs.
#include "app/diagrams/settings_values.h"

#include "app/core/model/init.h"
#include "app/core/model/units.h"
#include "app/diagrams/mapping.h"

#include <cmath>
#include <cstdio>

namespace app::diagrams {

namespace {

double factor_of(int quantity, int unit) {
    if (!valid_unit(quantity, unit)) unit = 0;
    const double f =
        unitdef[static_cast<std::size_t>(quantity)].units[static_cast<std::size_t>(unit)].factor;
    return f != 0 && std::isfinite(f) ? f : 1.0;
}

bool known_quantity(int quantity) { return quantity >= 0 && quantity < NUM_QUANTITIES; }

std::string number(double v, int quantity, int unit) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    std::string out = buf;
    if (known_quantity(quantity)) {
        const std::string symbol = unit_symbol(quantity, unit);
        if (!symbol.empty() && symbol != "-") out += " " + symbol;
    }
    return out;
}

std::vector<int>& grown(std::vector<int>& marks, int n) {
    if (static_cast<int>(marks.size()) < n) marks.resize(static_cast<std::size_t>(n), 0);
    return marks;
}

}  // namespace

double shown_value(const Axis& axis, int unit, double base) {
    if (!known_quantity(axis.unit_quantity)) return base;
    return to_display(axis.unit_quantity, unit, base);
}

double base_value(const Axis& axis, int unit, double shown) {
    if (!known_quantity(axis.unit_quantity)) return shown;
    return to_internal(axis.unit_quantity, unit, shown);
}

double shown_step(const Axis& axis, int unit, double step) {
    if (!known_quantity(axis.unit_quantity)) return step;
    return step * factor_of(axis.unit_quantity, unit);
}

double base_step(const Axis& axis, int unit, double shown) {
    if (!known_quantity(axis.unit_quantity)) return shown;
    return shown / factor_of(axis.unit_quantity, unit);
}

std::string axis_range_refusal(const Axis& axis, const char* name, int unit, double start,
                               double end, double step) {
    const std::string axis_name = std::string("The ") + name + " axis";
    const int q = axis.unit_quantity;
    auto shown = [&](double v) { return number(shown_value(axis, unit, v), q, unit); };
    if (!std::isfinite(start) || !std::isfinite(end) || !std::isfinite(step))
        return axis_name + " needs numbers for its start, end and step.";
    if (!(start < end))
        return axis_name + " must start below its end: it starts at " + shown(start) +
               " and ends at " + shown(end) + ".";
    if (!(step > 0)) return axis_name + " needs a tick step above zero.";
    if (is_log_axis(axis)) {
        if (!(start > 0))
            return axis_name + " is logarithmic: its start must lie above zero, not at " +
                   shown(start) + ".";
        return "";
    }
    const double ticks = (end - start) / step;
    if (!(ticks <= MAX_DIALOG_TICKS)) {
        char count[64];
        std::snprintf(count, sizeof count, "%.3g", ticks);
        return axis_name + " from " + shown(start) + " to " + shown(end) + " at a step of " +
               number(shown_step(axis, unit, step), q, unit) + " would need " + count +
               " ticks; at most " + std::to_string(static_cast<int>(MAX_DIALOG_TICKS)) +
               " are possible. Choose a larger step or a smaller range.";
    }
    return "";
}

std::vector<double> shown_positions(const Graph& graph, int family) {
    std::vector<double> out;
    if (graph.fluid == nullptr || family < 0 || family >= NUM_ISO_FAMILIES) return out;
    const IsoFamily& fam = graph.fluid->iso[static_cast<std::size_t>(family)];
    const std::vector<int>& marks = graph.iso_style[static_cast<std::size_t>(family)].selected;
    const int n = iso_count(fam);
    for (int i = 0; i < n && i < static_cast<int>(marks.size()); ++i)
        if (marks[static_cast<std::size_t>(i)] != 0)
            out.push_back(fam.positions[static_cast<std::size_t>(i)]);
    return out;
}

std::string iso_value_refusal(int family, int unit, double base) {
    if (family < 0 || family >= NUM_ISO_FAMILIES) return "There is no such isoline family.";
    const int q = ISO_QUANTITY[static_cast<std::size_t>(family)];
    const std::string page = ISO_PAGE_NAMES[static_cast<std::size_t>(family)];
    if (!std::isfinite(base)) return page + ": a line needs a number as its value.";
    const std::string shown = number(to_display(q, unit, base), q, unit);
    if (!(base > 0)) return page + ": " + shown + " is not a possible line; values lie above zero.";
    if (family == ISO_WETNESS && !(base < 1))
        return page + ": " + shown + " is not a possible line; a wetness lies between " +
               number(to_display(q, unit, 0), q, unit) + " and " +
               number(to_display(q, unit, 1), q, unit) + ".";
    return "";
}

int find_position(const IsoFamily& family, double base) {
    const int n = iso_count(family);
    for (int i = 0; i < n; ++i) {
        const double p = family.positions[static_cast<std::size_t>(i)];
        if (p == base || std::fabs(p - base) <= SAME_POSITION * std::fabs(base)) return i;
    }
    return -1;
}

int apply_iso_positions(Graph& graph, int family, const std::vector<double>& bases,
                        std::span<Graph* const> others) {
    if (graph.fluid == nullptr || family < 0 || family >= NUM_ISO_FAMILIES) return 0;
    IsoFamily& fam = graph.fluid->iso[static_cast<std::size_t>(family)];
    std::vector<int>& marks = graph.iso_style[static_cast<std::size_t>(family)].selected;
    marks.assign(static_cast<std::size_t>(iso_count(fam)), 0);
    int added = 0;
    for (double b : bases) {
        int i = find_position(fam, b);
        if (i < 0) {
            i = iso_add_position(fam, b);
            ++added;
        }
        grown(marks, iso_count(fam))[static_cast<std::size_t>(i)] = 1;
    }
    for (Graph* other : others) {
        if (other == nullptr || other == &graph || other->fluid != graph.fluid) continue;
        grown(other->iso_style[static_cast<std::size_t>(family)].selected, iso_count(fam));
    }
    return added;
}

}  // namespace app::diagrams
