// Isobars, isotherms and density lines of a state diagram with their
// legends and edge labels; then the wetness lines, critical point and dome
// (isoline_saturation.cpp).
#include "app/diagrams/isoline_draw.h"

#include "app/core/model/init.h"
#include "app/core/model/units.h"
#include "app/core/solver/simulator.h"
#include "app/diagrams/isolines.h"
#include "app/diagrams/render.h"
#include "app/diagrams/text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace app::diagrams {

namespace {

constexpr double NOT_A_NUMBER = std::numeric_limits<double>::quiet_NaN();

// The unit quantity of each family's positions and labels.
constexpr int FAMILY_QUANTITY[NUM_ISO_FAMILIES] = {Q_PRESSURE, Q_TEMPERATURE, Q_DENSITY,
                                                   Q_RELATIVE_VALUE};
constexpr const char* LEGEND[NUM_ISO_FAMILIES] = {"Isobar [%s]", "Isotherm [%s]",
                                                  "Density Line [%s]", "Wetness [%s]"};

const IsolineStyle& style_of(const Graph& g, int family) {
    return g.iso_style[static_cast<std::size_t>(family)];
}

double cross(double a0, double a1, double b0, double b1, double at) {
    return a0 + (a1 - a0) * (at - b0) / (b1 - b0);
}

// A y value as the axis plots it (its logarithm on a pressure axis), and
// back: crossings are found on the segment as it is drawn.
double plotted_y(const Mapping& m, double y) { return m.log_y ? std::log10(y) : y; }
double value_of_plotted_y(const Mapping& m, double v) { return m.log_y ? std::pow(10.0, v) : v; }

}  // namespace

// A crossing counts when the segment's first point lies inside the
// visible range along the edge and the crossing itself lies on the edge
// (not on its extension beyond a corner). On a logarithmic y axis the
// crossing lies where the drawn segment meets the edge: taken linearly in
// p, ammonia's 300 K isotherm (18 kPa to 0.1 kPa) got a right label at
// 0.4 bar, among the labels of 450 and 400 K, where the line is not.
void note_crossings(const Mapping& m, double x0, double y0, double x1, double y1,
                    EdgeCrossings& c) {
    const auto on_x = [&](double x) { return x >= m.xs && x <= m.xe; };
    const auto on_y = [&](double y) { return y >= m.ys && y <= m.ye; };
    const double v0 = plotted_y(m, y0), v1 = plotted_y(m, y1);
    if ((y0 < m.ye) != (y1 < m.ye) && m.inside_x(x0)) {
        const double x = cross(x0, x1, v0, v1, plotted_y(m, m.ye));
        if (on_x(x)) c.top = true, c.top_x = x;
    }
    if ((x0 < m.xe) != (x1 < m.xe) && m.inside_y(y0)) {
        const double y = value_of_plotted_y(m, cross(v0, v1, x0, x1, m.xe));
        if (on_y(y)) c.right = true, c.right_y = y;
    }
    if ((y0 < m.ys) != (y1 < m.ys) && m.inside_x(x0)) {
        const double x = cross(x0, x1, v0, v1, plotted_y(m, m.ys));
        if (on_x(x)) c.bottom = true, c.bottom_x = x;
    }
}

namespace {

// Strokes one line (clipped to the plot area) and returns its crossings.
EdgeCrossings stroke_line(const Graph& g, cairo_t* cr, const Mapping& m,
                          const std::vector<IsoPoint>& points) {
    EdgeCrossings c;
    const int xq = g.x_axis.quantity, yq = g.y_axis.quantity;
    cairo_save(cr);
    clip_to_plot(cr, m);
    bool started = false;
    double px = 0, py = 0;
    for (const IsoPoint& p : points) {
        const double x = iso_value(p, xq), y = iso_value(p, yq);
        const double sx = m.X(x), sy = m.Y(y);
        if (!std::isfinite(sx) || !std::isfinite(sy)) {
            started = false;
            continue;
        }
        if (started) {
            note_crossings(m, px, py, x, y, c);
            cairo_line_to(cr, clamp_pixel(sx), clamp_pixel(sy));
        } else {
            cairo_move_to(cr, clamp_pixel(sx), clamp_pixel(sy));
        }
        started = true;
        px = x;
        py = y;
    }
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_stroke(cr);
    cairo_restore(cr);
    return c;
}

// Placement of one family's labels: the label row above the plot, the x
// of the right column, whether the right label needs its top above the
// lower edge, and whether lower-edge labels are drawn.
struct LabelPlan {
    int row = 1;
    double right_x = 0;
    bool right_needs_room = false;
    bool bottom = false;
};

// Pixels kept free between two labels of a row, and between the right
// columns of two families (a label and its neighbour must not read as one
// number, as "0.05" and "700" did as "0.05700").
constexpr double LABEL_GAP = 2;
constexpr double COLUMN_GAP = 8;

// Draws one family; returns the width of its widest right label.
// `right_taken` holds the stretches of the family's right column.
int draw_family(const Graph& g, cairo_t* cr, const Mapping& m, int family, const LabelPlan& plan,
                TakenStretches& bottom_taken, TakenStretches& right_taken) {
    const IsolineStyle& st = style_of(g, family);
    const Fluid& fluid = *g.fluid;
    const IsoFamily& fam = fluid.iso[static_cast<std::size_t>(family)];
    const int n = std::min<int>(iso_count(fam), static_cast<int>(fam.lines.size()));
    int widest = 0;
    TakenStretches top_taken;  // stretches of the family's row above the plot
    for (int i = 0; i < n; ++i) {
        const double position = fam.positions[static_cast<std::size_t>(i)];
        const std::vector<IsoPoint>& line = fam.lines[static_cast<std::size_t>(i)];
        if (line.size() < 2 || !position_selected(g, family, i)) continue;
        if (family == ISO_ISOBAR && !(position < fluid.pmax)) continue;
        set_color(cr, st.color);
        set_line_width(cr, g.line_factor * st.width);
        const EdgeCrossings c = stroke_line(g, cr, m, line);
        if (!c.top && !c.right && !(plan.bottom && c.bottom)) continue;  // no label
        Layout label(cr, position_label(g, family, position), st.font, g.font_scale);
        set_color(cr, st.color);
        if (c.top) {
            const double x = m.X(c.top_x) - label.width / 2.0;
            const double x1 = x + label.width;
            if (stretch_free(top_taken, x - LABEL_GAP, x1 + LABEL_GAP)) {
                show_scaled_layout_at(cr, label, std::round(x),
                                      std::round(m.plot_top() - (label.height + 1) * plan.row));
                top_taken.emplace_back(x - LABEL_GAP, x1 + LABEL_GAP);
            }
        }
        if (c.right) {
            const double y = m.Y(c.right_y) - label.height / 2.0;
            if ((!plan.right_needs_room || y < m.plot_bottom()) &&
                stretch_free(right_taken, y, y + label.height)) {
                show_scaled_layout_at(cr, label, std::round(plan.right_x), std::round(y));
                right_taken.emplace_back(y, y + label.height);
                widest = std::max(widest, label.width);
            }
        }
        if (plan.bottom && c.bottom) {
            const double x = m.X(c.bottom_x) - label.width / 2.0;
            const double x1 = x + label.width;
            if (x1 < m.plot_right() && stretch_free(bottom_taken, x - LABEL_GAP, x1 + LABEL_GAP)) {
                show_scaled_layout_at(cr, label, std::round(x),
                                      std::round(m.plot_bottom() - label.height - 2));
                bottom_taken.emplace_back(x - LABEL_GAP, x1 + LABEL_GAP);
            }
        }
    }
    return widest;
}

// The legends at the top right, right to left: isobars, isotherms, density
// lines, wetness lines.
void draw_legends(const Graph& g, cairo_t* cr) {
    double widths[NUM_ISO_FAMILIES] = {0, 0, 0, 0};
    for (int f = 0; f < NUM_ISO_FAMILIES; ++f) {
        if (!family_drawn(g, f)) continue;
        const IsolineStyle& st = style_of(g, f);
        char text[128];
        std::snprintf(text, sizeof text, LEGEND[f], unit_symbol(FAMILY_QUANTITY[f], st.unit));
        Layout legend(cr, text, st.font, g.font_scale);
        widths[f] = legend.width;
        double x = 0;
        switch (f) {
            case ISO_ISOBAR: x = g.width - widths[0] - 2; break;
            case ISO_ISOTHERM: x = g.width - 1.2 * widths[0] - 1.2 * widths[1] - 2; break;
            case ISO_ISOCHOR: x = g.width - 1.2 * (widths[0] + widths[1] + widths[2]) - 4; break;
            default: x = g.width - 1.2 * (widths[0] + widths[1] + widths[2] + widths[3]) - 4; break;
        }
        set_color(cr, st.color);
        show_scaled_layout_at(cr, legend, std::round(x), 2);
    }
}

}  // namespace

bool stretch_free(const TakenStretches& taken, double from, double to) {
    for (const auto& [a, b] : taken)
        if (from < b && to > a) return false;
    return true;
}

double iso_value(const IsoPoint& p, int quantity) {
    switch (quantity) {
        case AX_S: return p.s;
        case AX_H: return p.h;
        case AX_P: return p.p;
        case AX_T: return p.T;
        default: return NOT_A_NUMBER;
    }
}

double sat_value(const SatPoint& p, int quantity) {
    return iso_value(IsoPoint{p.s, p.h, p.p, p.T, p.rho}, quantity);
}

bool has_two_phase_picture(const Fluid& fluid) {
    return fluid.group == FG_PURE || fluid.group == FG_INERT || fluid.group == FG_ALKANES ||
           fluid.group == FG_REFRIGERANTS;
}

bool family_drawn(const Graph& g, int family) {
    if (g.fluid == nullptr || style_of(g, family).show == 0) return false;
    const int xq = g.x_axis.quantity, yq = g.y_axis.quantity;
    switch (family) {
        case ISO_ISOBAR: return xq != AX_P && yq != AX_P;
        case ISO_ISOTHERM: return xq != AX_T && yq != AX_T;
        case ISO_ISOCHOR: return true;
        default: return g.type != 4 && has_two_phase_picture(*g.fluid);
    }
}

bool position_selected(const Graph& g, int family, int i) {
    const std::vector<int>& marks = style_of(g, family).selected;
    return i >= 0 && static_cast<std::size_t>(i) < marks.size() &&
           marks[static_cast<std::size_t>(i)] != 0;
}

std::string position_label(const Graph& g, int family, double position) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g",
                  to_display(FAMILY_QUANTITY[family], style_of(g, family).unit, position));
    return buf;
}

void clip_to_plot(cairo_t* cr, const Mapping& m) {
    cairo_rectangle(cr, m.plot_left(), m.plot_top(), m.plot_right() - m.plot_left(),
                    m.plot_bottom() - m.plot_top());
    cairo_clip(cr);
}

void draw_isolines(Graph& graph, cairo_t* cr) {
    if (graph.fluid == nullptr) return;
    calc_isolines(*graph.fluid, isoline_progress);
    // Lines the library could not compute now (another page's computation
    // runs, whose progress window let this page be drawn): drawn again
    // once it is free, not left out of the page for good.
    if (library_busy.load() > 0 && pending_isolines(*graph.fluid) > 0) drawing_deferred = 1;
    const Mapping m = mapping_of(graph);
    draw_legends(graph, cr);
    if (!m.usable) return;

    const bool isobars = family_drawn(graph, ISO_ISOBAR);
    const bool isotherms = family_drawn(graph, ISO_ISOTHERM);
    const double column = graph.width - graph.right;
    int wide_p = 0, wide_t = 0;
    TakenStretches bottom, right_p, right_t;
    if (isobars)
        wide_p =
            draw_family(graph, cr, m, ISO_ISOBAR, {1, column + 1, false, false}, bottom, right_p);
    const double isotherm_column = column + wide_p + (wide_p > 0 ? COLUMN_GAP : 2);
    if (isotherms)
        wide_t = draw_family(graph, cr, m, ISO_ISOTHERM,
                             {isobars ? 2 : 1, isotherm_column, true, true}, bottom, right_t);
    // The columns of the density and wetness labels follow a gap after the
    // widest right label of the families before them (after the isotherms'
    // own column: R1234YF's isotherm labels 220 and 200 ran into the
    // density labels 10 and 2 as "22010" and "2002"); the two families
    // share that column (the wetness labels 0.9, 0.8 and 0.7 were drawn
    // over one another and over the density label 10).
    const double further = wide_t > 0 ? isotherm_column + wide_t + COLUMN_GAP
                                      : column + wide_p + (wide_p > 0 ? COLUMN_GAP : 5);
    TakenStretches right_further;
    if (family_drawn(graph, ISO_ISOCHOR))
        draw_family(graph, cr, m, ISO_ISOCHOR,
                    {1 + (isobars ? 1 : 0) + (isotherms ? 1 : 0), further, false, true}, bottom,
                    right_further);
    if (!has_two_phase_picture(*graph.fluid)) return;
    if (family_drawn(graph, ISO_WETNESS)) draw_wetness_lines(graph, cr, m, further, right_further);
    draw_critical_point(graph, cr, m);
    draw_dome(graph, cr, m);
}

}  // namespace app::diagrams
