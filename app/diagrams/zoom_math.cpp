// Presets, zoom rectangle, drag and wheel on the visible ranges.
#include "app/diagrams/zoom.h"

#include "app/diagrams/mapping.h"
#include "app/diagrams/render.h"

#include <cmath>

namespace app::diagrams {

namespace {

// Iterations of the automatic step loops: more than enough for any
// finite ratio (a double spans about 2100 binary orders).
constexpr int AUTO_STEP_LIMIT = 4200;
constexpr double AUTO_RATIO_MAX = 10.0;
constexpr double AUTO_RATIO_MIN = 5.0;

// A range that the drawing can map.
bool drawable(const Axis& axis, double start, double end) {
    if (!std::isfinite(start) || !std::isfinite(end) || !(start < end)) return false;
    return !is_log_axis(axis) || start > 0;
}

// Sets a range when it is drawable; true when the axis changed.
bool set_range(Axis& axis, double start, double end) {
    if (!drawable(axis, start, end)) return false;
    const bool changed = axis.min_pos != start || axis.max_pos != end;
    axis.min_pos = start;
    axis.max_pos = end;
    return changed;
}

// The pixel edges of the plot area.
struct Edges {
    double left, right, top, bottom;
};

Edges plot_edges(const Mapping& m) {
    return {m.plot_left(), m.plot_right(), m.plot_top(), m.plot_bottom()};
}

// The ranges at the pixel edges `e` of the present picture; nothing when
// a range would not be drawable.
bool ranges_from_edges(Graph& graph, const Edges& e) {
    const Mapping m = mapping_of(graph);
    if (!m.usable) return false;
    const double xs = m.value_x(e.left), xe = m.value_x(e.right);
    const double ys = m.value_y(e.bottom), ye = m.value_y(e.top);
    if (!drawable(graph.x_axis, xs, xe) || !drawable(graph.y_axis, ys, ye)) return false;
    bool changed = set_range(graph.x_axis, xs, xe);
    changed = set_range(graph.y_axis, ys, ye) || changed;
    return changed;
}

double whole(double v) { return std::round(v); }

bool axis_has_pressure(const Axis& axis) { return axis.quantity == AX_P || is_log_axis(axis); }

}  // namespace

void maxrange(Graph& graph) {
    set_range(graph.x_axis, graph.x_axis.min_value, graph.x_axis.max_value);
    set_range(graph.y_axis, graph.y_axis.min_value, graph.y_axis.max_value);
}

void zoomdefault(Graph& graph) {
    if (graph.type == 5 || graph.fluid == nullptr) {
        if (graph.type == 5) maxrange(graph);
        return;
    }
    for (Axis* axis : {&graph.x_axis, &graph.y_axis}) {
        if (axis->quantity < 0 || axis->quantity >= static_cast<int>(graph.fluid->axis.size()))
            continue;
        const Axis& d = graph.fluid->axis[static_cast<std::size_t>(axis->quantity)];
        set_range(*axis, d.min_pos, d.max_pos);
    }
}

bool fit_axes_to_processes(Graph& graph) {
    if (graph.type < 0 || graph.type > 4) return false;
    const int keep_flag = graph.zoom_to_plot;
    const int keep_redraw = redraw;
    graph.zoom_to_plot = 1;
    redraw = 0;
    const int curves = std::min(graph.az_curves, MAX_CURVES);
    for (int c = 0; c < curves; ++c) {
        const Process* process = graph.curves[static_cast<std::size_t>(c)];
        if (process == nullptr) continue;
        const int last = std::min(process->az_parts, MAX_PARTS) - 1;
        for (int i = 1; i < last; ++i) {
            const Part* part = process->parts[static_cast<std::size_t>(i)];
            if (part == nullptr || !drawn_part(*part)) continue;
            for (int k = 0; k <= std::min(part->steps, MAX_STEPS); ++k) {
                double x = 0, y = 0;
                getxy(graph, *part, k, x, y);  // widens in zoom-to-plot mode
            }
        }
    }
    const bool moved = redraw != 0;
    graph.zoom_to_plot = keep_flag;
    redraw = keep_redraw;
    return moved;
}

bool auto_step(double range, double& step) {
    if (!std::isfinite(range) || !std::isfinite(step) || !(range > 0) || !(step > 0)) return false;
    if (!std::isfinite(range / step)) return false;
    double s = step;
    for (int i = 0; i < AUTO_STEP_LIMIT && range / s > AUTO_RATIO_MAX; ++i) s *= 2;
    for (int i = 0; i < AUTO_STEP_LIMIT && range / s < AUTO_RATIO_MIN; ++i) s /= 2;
    const double ratio = range / s;
    if (!std::isfinite(s) || !(s > 0) || ratio < AUTO_RATIO_MIN || ratio > AUTO_RATIO_MAX)
        return false;
    const bool changed = s != step;
    step = s;
    return changed;
}

bool auto_axis(Graph& graph) {
    bool changed = false;
    for (Axis* axis : {&graph.x_axis, &graph.y_axis}) {
        if (axis_has_pressure(*axis)) continue;
        changed = auto_step(axis->max_pos - axis->min_pos, axis->step) || changed;
    }
    return changed;
}

bool zoom_rectangle(Graph& graph, double x1, double y1, double x2, double y2) {
    const double X1 = whole(std::fmin(x1, x2)), X2 = whole(std::fmax(x1, x2));
    const double Y1 = whole(std::fmin(y1, y2)), Y2 = whole(std::fmax(y1, y2));
    if (!(X1 < X2) || !(Y1 < Y2)) return false;  // no width or no height (or not a number)
    return ranges_from_edges(graph, {X1, X2, Y1, Y2});
}

DragStep drag_step(double old_x, double old_y, double x, double y) {
    DragStep d;
    const double dx = std::trunc(old_x - x), dy = std::trunc(old_y - y);
    if (!std::isfinite(dx) || !std::isfinite(dy)) return d;
    d.dx = static_cast<int>(std::fmax(-1e6, std::fmin(1e6, dx)));
    d.dy = static_cast<int>(std::fmax(-1e6, std::fmin(1e6, dy)));
    d.moves = std::abs(d.dx) >= DRAG_THRESHOLD || std::abs(d.dy) >= DRAG_THRESHOLD;
    return d;
}

bool drag_ranges(Graph& graph, int dx, int dy) {
    if (dx == 0 && dy == 0) return false;
    const Mapping m = mapping_of(graph);
    if (!m.usable) return false;
    const Edges e = plot_edges(m);
    return ranges_from_edges(graph, {e.left + dx, e.right + dx, e.top + dy, e.bottom + dy});
}

bool WheelGate::accept(std::uint32_t time_ms) {
    if (any_ && static_cast<std::uint32_t>(time_ms - last_) <= WHEEL_INTERVAL_MS) return false;
    any_ = true;
    last_ = time_ms;
    return true;
}

bool wheel_zoom(Graph& graph, WheelDirection direction, double px, double py) {
    const Mapping m = mapping_of(graph);
    if (!m.usable || direction == WheelDirection::Other) return false;
    Edges e = plot_edges(m);
    if (direction == WheelDirection::Up) {
        const Axis& x = graph.x_axis;
        if ((x.max_value - x.min_value) * WHEEL_SMALLEST_RANGE > x.max_pos - x.min_pos)
            return false;
        const double Px = whole(px), Py = whole(py);
        auto towards = [](double P, double E) { return whole(P + WHEEL_IN_FACTOR * (E - P)); };
        e = {towards(Px, e.left), towards(Px, e.right), towards(Py, e.top), towards(Py, e.bottom)};
    } else {
        const double dw = whole(whole(e.right - e.left) / WHEEL_OUT_DIVISOR);
        const double dh = whole(whole(e.bottom - e.top) / WHEEL_OUT_DIVISOR);
        e = {e.left - dw, e.right + dw, e.top - dh, e.bottom + dh};
    }
    return ranges_from_edges(graph, e);
}

}  // namespace app::diagrams
