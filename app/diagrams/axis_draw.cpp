// The frame of a diagram: axis titles, grid, ticks with their labels, and
// the axis lines with open arrow heads.
#include "app/core/model/units.h"
#include "app/diagrams/axis_ticks.h"
#include "app/diagrams/render.h"
#include "app/diagrams/text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace app::diagrams {

namespace {

// Pixels kept free between two tick labels. On a pressure axis the ladder
// puts its ticks ever closer together towards each decade's end: water's
// p-s diagram in bar, 0.01 to 500 bar over 380 pixels, drew 3.01, 4.01 and
// 5.01 on one another (and 0.31, 0.41, 0.51). A label that would reach
// into the one drawn before it is left out; its tick and grid line stay.
constexpr double LABEL_GAP = 1.0;

// Half a text width in whole pixels, as the axis titles are centred.
double half(int width) { return std::floor(width / 2.0); }

std::string title_of(const Axis& axis) {
    return axis.label + " [" + unit_symbol(axis.unit_quantity, axis.unit) + "]";
}

std::string tick_text(const Axis& axis, double v) {
    return tick_label(to_display(axis.unit_quantity, axis.unit, v), axis.digits);
}

void stroke_line(cairo_t* cr, double x0, double y0, double x1, double y1) {
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1))
        return;
    cairo_move_to(cr, clamp_pixel(x0), clamp_pixel(y0));
    cairo_line_to(cr, clamp_pixel(x1), clamp_pixel(y1));
    cairo_stroke(cr);
}

void draw_x_title(const Graph& g, cairo_t* cr) {
    const Axis& a = g.x_axis;
    Layout title(cr, title_of(a), a.label_font, g.font_scale);
    set_color(cr, a.label_color);
    show_scaled_layout_at(cr, title, std::round(g.width * 0.5 - half(title.width)),
                          std::round(g.height - title.height - 1));
}

void draw_y_title(const Graph& g, cairo_t* cr) {
    const Axis& a = g.y_axis;
    Layout title(cr, title_of(a), a.label_font, g.font_scale);
    cairo_save(cr);
    cairo_rotate(cr, -M_PI / 2);
    set_color(cr, a.label_color);
    show_scaled_layout_at(cr, title, std::round(-g.height * 0.5 - half(title.width)), 1);
    cairo_restore(cr);
}

void draw_x_ticks(const Graph& g, const Mapping& m, cairo_t* cr) {
    const Axis& a = g.x_axis;
    const int f = g.line_factor;
    const std::vector<double> ticks = axis_ticks(a, false);
    double free_from = -HUGE_VAL;  // left end of the room after the last label
    for (double v : ticks) {
        const double x = m.X(v);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        if (v != a.min_pos) {
            set_color(cr, a.grid_color);
            set_line_width(cr, f * a.grid_width);
            stroke_line(cr, x, m.Y(m.ys), x, m.Y(m.ye));
        }
        set_color(cr, a.tick_color);
        set_line_width(cr, f * a.tick_width);
        stroke_line(cr, x, m.plot_bottom(), x, m.plot_bottom() + a.tick_length);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
        Layout label(cr, tick_text(a, v), a.tick_font, g.font_scale);
        const double left = std::round(x - label.width / 2.0);
        if (left < free_from) continue;
        free_from = left + label.width + LABEL_GAP;
        set_color(cr, a.tick_label_color);
        show_scaled_layout_at(cr, label, left, std::round(m.plot_bottom() + a.tick_length + 2));
    }
}

void draw_y_ticks(const Graph& g, const Mapping& m, cairo_t* cr) {
    const Axis& a = g.y_axis;
    const int f = g.line_factor;
    const std::vector<double> ticks = axis_ticks(a, m.log_y);
    double free_to = HUGE_VAL;  // lower end of the room above the last label
    for (double v : ticks) {
        const double y = m.Y(v);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        if (v != a.min_pos) {
            set_color(cr, a.grid_color);
            set_line_width(cr, f * a.grid_width);
            stroke_line(cr, m.plot_left(), y, m.plot_right(), y);
        }
        set_color(cr, a.tick_color);
        set_line_width(cr, f * a.tick_width);
        stroke_line(cr, m.plot_left(), y, m.plot_left() - a.tick_length, y);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
        Layout label(cr, tick_text(a, v), a.tick_font, g.font_scale);
        const double top = std::round(y - label.height / 2.0);
        if (top + label.height > free_to) continue;
        free_to = top - LABEL_GAP;
        set_color(cr, a.tick_label_color);
        show_scaled_layout_at(cr, label,
                              std::round(m.plot_left() - label.width - a.tick_length - 2), top);
    }
}

// The two axis lines along the lower and the left edge of the plot area,
// each with an open arrow head beyond the plot.
void draw_axis_lines(const Graph& g, const Mapping& m, cairo_t* cr) {
    const int f = g.line_factor;
    const double bottom = m.plot_bottom();
    const double ax = f * g.x_axis.arrow_size;
    set_color(cr, g.x_axis.line_color);
    set_line_width(cr, f * g.x_axis.line_width);
    stroke_line(cr, m.plot_left(), bottom, m.plot_right() + 2 * ax, bottom);
    cairo_move_to(cr, m.plot_right() + ax, bottom - ax);
    cairo_line_to(cr, m.plot_right() + 2 * ax, bottom);
    cairo_line_to(cr, m.plot_right() + ax, bottom + ax);
    cairo_stroke(cr);

    const double top = m.plot_top();
    const double ay = f * g.y_axis.arrow_size;
    set_color(cr, g.y_axis.line_color);
    set_line_width(cr, f * g.y_axis.line_width);
    stroke_line(cr, m.plot_left(), bottom, m.plot_left(), top - 2 * ay);
    cairo_move_to(cr, m.plot_left() - ay, top - ay);
    cairo_line_to(cr, m.plot_left(), top - 2 * ay);
    cairo_line_to(cr, m.plot_left() + ay, top - ay);
    cairo_stroke(cr);
}

}  // namespace

void draw_axis(Graph& graph, cairo_t* cr) {
    const Mapping m = mapping_of(graph);
    draw_x_title(graph, cr);
    draw_y_title(graph, cr);
    if (m.usable) {
        draw_x_ticks(graph, m, cr);
        draw_y_ticks(graph, m, cr);
    }
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    draw_axis_lines(graph, m, cr);
}

}  // namespace app::diagrams
