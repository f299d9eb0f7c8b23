// The two-phase picture of a pure fluid: wetness lines, the critical
// point (with its screen-point entry) and the dome.
#include "app/core/model/init.h"
#include "app/core/model/units.h"
#include "app/diagrams/isoline_draw.h"
#include "app/diagrams/render.h"
#include "app/diagrams/text.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace app::diagrams {

namespace {

constexpr double CRITICAL_MARK_RADIUS = 4;
constexpr std::size_t HOVER_TEXT_MAX = 500;

bool valid(const SatPoint& p) { return p.valid == 1.0; }

// Pixel position of the critical point; false when it cannot be mapped.
bool critical_pixel(const Graph& g, const Mapping& m, double& x, double& y) {
    const Fluid& f = *g.fluid;
    const int xq = g.x_axis.quantity, yq = g.y_axis.quantity;
    if (xq < 0 || xq > 3 || yq < 0 || yq > 3 || !(f.Tc > 0)) return false;
    x = m.X(f.crit_axis[static_cast<std::size_t>(xq)]);
    y = m.Y(f.crit_axis[static_cast<std::size_t>(yq)]);
    return std::isfinite(x) && std::isfinite(y);
}

bool pixel(const Graph& g, const Mapping& m, const SatPoint& p, double& x, double& y) {
    x = m.X(sat_value(p, g.x_axis.quantity));
    y = m.Y(sat_value(p, g.y_axis.quantity));
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    x = clamp_pixel(x);
    y = clamp_pixel(y);
    return true;
}

bool inside_plot(const Mapping& m, double x, double y) {
    return x >= m.plot_left() && x <= m.plot_right() && y >= m.plot_top() && y <= m.plot_bottom();
}

// Pixels between the end of a wetness line and its label.
constexpr double END_LABEL_GAP = 2;

// The top of the label at the end of a wetness line whose last point lies
// at pixel height y: below the point, or above it where the label would
// reach below the plot (the lines end at the lowest temperature, which is
// where the T axis starts after Zoom Out: R134A's labels 0.9 to 0.1 lay
// over the entropy axis's tick labels).
double end_label_top(const Mapping& m, double y, int height) {
    if (y + END_LABEL_GAP + height <= m.plot_bottom()) return y + END_LABEL_GAP;
    return y - END_LABEL_GAP - height;
}

std::string critical_text(const Fluid& f) {
    const auto sym = [](int q) {
        return unit_symbol(q, selected_unit[static_cast<std::size_t>(q)]);
    };
    char buf[HOVER_TEXT_MAX + 1];
    std::snprintf(buf, sizeof buf,
                  "Critical point:\n T crit = %f %s\nP crit = %f %s\nh= %f %s\ns= %f %s",
                  to_display(Q_TEMPERATURE, selected_unit[Q_TEMPERATURE], f.Tc), sym(Q_TEMPERATURE),
                  to_display(Q_PRESSURE, selected_unit[Q_PRESSURE], f.pc), sym(Q_PRESSURE), f.hc,
                  sym(Q_SPECIFIC_ENERGY), f.sc, sym(Q_ENTROPY));
    return buf;
}

// One wetness line: the runs of valid points, joined to the critical point
// before the first drawn pair, with a label where it leaves the plot on
// the right and at the end of each run.  The plot is clipped to once for
// each run (a segment a stroke of its own, in order).
// Boxes (x0, y0, x1, y1) of the labels at the ends of wetness lines drawn
// so far: a label that would overlap one of them is left out (after Zoom
// Out, helium's dome is a few pixels high and its nine labels ran
// together as "0.90.80.70.6...").
using LabelBoxes = std::vector<std::array<double, 4>>;

// Pixels kept free between two such labels, so that they read apart.
constexpr double END_LABEL_SPACE = 3;

bool box_free(const LabelBoxes& boxes, double x0, double y0, double x1, double y1) {
    for (const auto& b : boxes)
        if (x0 < b[2] + END_LABEL_SPACE && x1 + END_LABEL_SPACE > b[0] && y0 < b[3] && y1 > b[1])
            return false;
    return true;
}

void draw_wetness_line(const Graph& g, cairo_t* cr, const Mapping& m,
                       const std::vector<SatPoint>& pts, double position, double right_column,
                       TakenStretches& right_taken, LabelBoxes& end_labels) {
    const IsolineStyle& st = g.iso_style[ISO_WETNESS];
    Layout label(cr, position_label(g, ISO_WETNESS, position), st.font, g.font_scale);
    bool first = true;
    bool right = false;
    bool clipped = false;
    double right_y = 0;
    const auto unclip = [&] {
        if (clipped) cairo_restore(cr);
        clipped = false;
    };
    for (std::size_t i = 1; i < pts.size(); ++i) {
        double x0, y0, x1, y1;
        if (!valid(pts[i - 1]) || !valid(pts[i]) || !pixel(g, m, pts[i - 1], x0, y0) ||
            !pixel(g, m, pts[i], x1, y1))
            continue;
        if (!clipped) {
            cairo_save(cr);
            clip_to_plot(cr, m);
            clipped = true;
        }
        double cx, cy;
        if (first && critical_pixel(g, m, cx, cy)) {
            cairo_move_to(cr, x0, y0);
            cairo_line_to(cr, clamp_pixel(cx), clamp_pixel(cy));
            cairo_stroke(cr);
        }
        first = false;
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        cairo_stroke(cr);
        if ((x0 < m.plot_right()) != (x1 < m.plot_right()) && y0 > m.plot_top() &&
            y0 < m.plot_bottom()) {
            right = true;
            right_y = y0 + (y1 - y0) * (m.plot_right() - x0) / (x1 - x0);
        }
        const bool run_ends = i + 1 == pts.size() || !valid(pts[i + 1]);
        if (run_ends) unclip();
        if (run_ends && inside_plot(m, x1, y1)) {
            const double left = std::round(x1 - label.width / 2.0);
            const double top = std::round(end_label_top(m, y1, label.height));
            if (box_free(end_labels, left, top, left + label.width, top + label.height)) {
                show_scaled_layout_at(cr, label, left, top);
                end_labels.push_back({left, top, left + label.width, top + label.height});
            }
        }
    }
    unclip();
    const double top = right_y - label.height / 2.0;
    if (right && stretch_free(right_taken, top, top + label.height)) {
        show_scaled_layout_at(cr, label, std::round(right_column), std::round(top));
        right_taken.emplace_back(top, top + label.height);
    }
}

}  // namespace

void draw_wetness_lines(Graph& g, cairo_t* cr, const Mapping& m, double right_column,
                        TakenStretches& right_taken) {
    const IsoFamily& fam = g.fluid->iso[ISO_WETNESS];
    const IsolineStyle& st = g.iso_style[ISO_WETNESS];
    const int n = std::min<int>(iso_count(fam), static_cast<int>(fam.wet.size()));
    LabelBoxes end_labels;
    for (int i = 0; i < n; ++i) {
        const std::vector<SatPoint>& pts = fam.wet[static_cast<std::size_t>(i)];
        if (pts.size() < 2 || !position_selected(g, ISO_WETNESS, i)) continue;
        set_color(cr, st.color);
        set_line_width(cr, g.line_factor * st.width);
        draw_wetness_line(g, cr, m, pts, fam.positions[static_cast<std::size_t>(i)], right_column,
                          right_taken, end_labels);
    }
}

void draw_critical_point(Graph& g, cairo_t* cr, const Mapping& m) {
    double x, y;
    if (!critical_pixel(g, m, x, y)) return;
    const int f = g.line_factor;
    cairo_save(cr);
    clip_to_plot(cr, m);
    set_line_width(cr, f);
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_move_to(cr, clamp_pixel(x), clamp_pixel(y));
    cairo_arc(cr, clamp_pixel(x), clamp_pixel(y), CRITICAL_MARK_RADIUS * f, 0, 2 * M_PI);
    cairo_stroke(cr);
    cairo_restore(cr);
    // Outside the plot area the point is not there to point at.
    if (x < m.plot_left() || x > m.plot_right() || y < m.plot_top() || y > m.plot_bottom()) return;
    if (g.cache_count >= SCREEN_CACHE_SIZE) return;
    ScreenEntry e;
    e.x[0] = static_cast<int>(std::lround(clamp_pixel(x)));
    e.y[0] = static_cast<int>(std::lround(clamp_pixel(y)));
    e.x[1] = -2;
    e.process = -1;
    e.part = -1;
    e.text = critical_text(*g.fluid);
    g.cache.resize(static_cast<std::size_t>(g.cache_count));
    g.cache.push_back(std::move(e));  // the entry counter stays
}

void draw_dome(Graph& g, cairo_t* cr, const Mapping& m) {
    const Fluid& f = *g.fluid;
    const int n = std::min(f.dome_count, DOME_SLOTS);
    if (n <= 0) return;
    cairo_save(cr);
    clip_to_plot(cr, m);
    set_color(cr, g.sat_color);
    set_line_width(cr, g.line_factor * g.sat_width);
    bool started = false;
    const auto add = [&](double x, double y) {
        if (started)
            cairo_line_to(cr, x, y);
        else
            cairo_move_to(cr, x, y);
        started = true;
    };
    double x, y;
    for (int j = 0; j < n; ++j)
        if (valid(f.dome_liquid[static_cast<std::size_t>(j)]) &&
            pixel(g, m, f.dome_liquid[static_cast<std::size_t>(j)], x, y))
            add(x, y);
    if (critical_pixel(g, m, x, y)) add(clamp_pixel(x), clamp_pixel(y));
    for (int j = n - 2; j >= 0; --j)
        if (valid(f.dome_vapour[static_cast<std::size_t>(j)]) &&
            pixel(g, m, f.dome_vapour[static_cast<std::size_t>(j)], x, y))
            add(x, y);
    cairo_stroke(cr);
    cairo_restore(cr);
}

}  // namespace app::diagrams
