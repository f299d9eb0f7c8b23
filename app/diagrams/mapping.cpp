// Diagram geometry: plot area, mapping and inverse, a part's step as
// diagram coordinates, zoom-to-plot widening and the axes of new diagrams.
#include "app/diagrams/mapping.h"

#include "app/core/model/init.h"
#include "app/core/model/units.h"

#include <cmath>
#include <limits>

namespace app::diagrams {

int redraw = 0;

namespace {

constexpr double NOT_A_NUMBER = std::numeric_limits<double>::quiet_NaN();
// Coordinates beyond this magnitude are not points of a diagram.
constexpr double HUGE_COORDINATE = 1e99;

bool plottable(double v) { return std::isfinite(v) && std::fabs(v) <= HUGE_COORDINATE; }

// Number of whole steps that carry `bound` past `v` (v beyond the bound).
double steps_to_cover(double distance, double step) { return std::ceil(distance / step); }

// Moves the upper bound of a linear range up to hold v; true when it moved.
bool widen_up(double& end, double step, double v) {
    if (!(v > end) || !(step > 0) || !std::isfinite(step)) return false;
    const double moved = end + steps_to_cover(v - end, step) * step;
    end = moved >= v ? moved : v;  // a step lost in the magnitude of the range
    return true;
}

bool widen_down(double& start, double step, double v) {
    if (!(v < start) || !(step > 0) || !std::isfinite(step)) return false;
    const double moved = start - steps_to_cover(start - v, step) * step;
    start = moved <= v ? moved : v;
    return true;
}

// The lower bound of a logarithmic range goes down by whole decades.
bool widen_down_log(double& start, double v) {
    if (!(v < start) || !(v > 0) || !(start > 0)) return false;
    const double decades = std::ceil(std::log10(start / v));
    double moved = start / std::pow(10.0, decades);
    if (moved > v) moved = v;
    if (!(moved > 0)) return false;
    start = moved;
    return true;
}

// The fluid's default axis for a quantity, in the default unit of its
// unit quantity.
Axis default_axis(const Fluid& fluid, int quantity) {
    Axis a = fluid.axis[static_cast<std::size_t>(quantity)];
    if (a.unit_quantity >= 0 && a.unit_quantity < NUM_QUANTITIES)
        a.unit = unitdef[static_cast<std::size_t>(a.unit_quantity)].default_unit;
    return a;
}

}  // namespace

bool is_log_axis(const Axis& axis) { return axis.unit_quantity == Q_PRESSURE; }

double Mapping::X(double v) const { return left + (width - left - right) * (v - xs) / (xe - xs); }

double Mapping::Y(double v) const {
    const double y0 = height - bottom;
    if (log_y) {
        if (!(v > 0)) return NOT_A_NUMBER;
        return y0 -
               (y0 - top) * (std::log10(v) - std::log10(ys)) / (std::log10(ye) - std::log10(ys));
    }
    return y0 - (y0 - top) * (v - ys) / (ye - ys);
}

double Mapping::value_x(double px) const {
    return xs + (px - left) * (xe - xs) / (width - left - right);
}

double Mapping::value_y(double py) const {
    const double y0 = height - bottom;
    const double t = (y0 - py) / (y0 - top);
    if (log_y) return std::pow(10.0, std::log10(ys) + t * (std::log10(ye) - std::log10(ys)));
    return ys + t * (ye - ys);
}

Mapping mapping_of(const Graph& graph) {
    Mapping m;
    m.width = graph.width;
    m.height = graph.height;
    m.left = graph.left;
    m.right = graph.right;
    m.top = graph.top;
    m.bottom = graph.bottom;
    m.xs = graph.x_axis.min_pos;
    m.xe = graph.x_axis.max_pos;
    m.ys = graph.y_axis.min_pos;
    m.ye = graph.y_axis.max_pos;
    m.log_y = is_log_axis(graph.y_axis);
    const bool finite = std::isfinite(m.xs) && std::isfinite(m.xe) && std::isfinite(m.ys) &&
                        std::isfinite(m.ye) && std::isfinite(m.width) && std::isfinite(m.height);
    const bool ranges = m.xe > m.xs && m.ye > m.ys && (!m.log_y || m.ys > 0);
    const bool room = m.plot_right() > m.plot_left() && m.plot_bottom() > m.plot_top();
    m.usable = finite && ranges && room;
    return m;
}

void getxy(Graph& graph, const Part& part, int i, double& x, double& y) {
    x = 0;
    y = 0;
    if (i < 0 || i >= STEP_POINTS) return;
    const auto k = static_cast<std::size_t>(i);
    switch (graph.type) {
        case 0: x = part.s[k], y = part.h[k]; break;
        case 1: x = part.s[k], y = part.p[k]; break;
        case 2: x = part.s[k], y = part.T[k]; break;
        case 3: x = part.h[k], y = part.p[k]; break;
        case 4: x = part.T[k], y = part.p[k]; break;
        default: break;
    }
    if (graph.zoom_to_plot != 0) widen_to_point(graph, x, y);
}

void widen_to_point(Graph& graph, double x, double y) {
    if (!plottable(x) || !plottable(y)) return;
    Axis& xa = graph.x_axis;
    Axis& ya = graph.y_axis;
    bool moved = widen_up(xa.max_pos, xa.step, x);
    moved = widen_down(xa.min_pos, xa.step, x) || moved;
    moved = widen_up(ya.max_pos, ya.step, y) || moved;
    if (is_log_axis(ya))
        moved = widen_down_log(ya.min_pos, y) || moved;
    else
        moved = widen_down(ya.min_pos, ya.step, y) || moved;
    if (moved) redraw = 1;
}

void init_axis(Graph& graph) {
    if (graph.fluid == nullptr) return;
    const Fluid& f = *graph.fluid;
    struct Pair {
        int x, y;
    };
    static constexpr Pair BY_TYPE[5] = {
        {AX_S, AX_H}, {AX_S, AX_P}, {AX_S, AX_T}, {AX_H, AX_P}, {AX_T, AX_P}};
    if (graph.type >= 0 && graph.type < 5) {
        const Pair& p = BY_TYPE[graph.type];
        graph.x_axis = default_axis(f, p.x);
        graph.y_axis = default_axis(f, p.y);
    } else if (graph.type == 5) {
        set_axis_defaults(graph.x_axis);
        graph.x_axis.quantity = AX_HEAT_FLOW;
        graph.x_axis.unit_quantity = Q_RELATIVE_VALUE;
        graph.x_axis.unit = 0;
        graph.y_axis = default_axis(f, AX_T);
    }
}

}  // namespace app::diagrams
