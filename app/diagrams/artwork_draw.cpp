// Drawing helpers of the program's artwork.
#include "app/diagrams/artwork_draw.h"

#include <cmath>

namespace app::art {

void set(cairo_t* cr, Rgb c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

void fill_stroke(cairo_t* cr, Rgb fill, double width) {
    set(cr, fill);
    cairo_fill_preserve(cr);
    stroke(cr, INK, width);
}

void stroke(cairo_t* cr, Rgb c, double width) {
    set(cr, c);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

void line(cairo_t* cr, double x0, double y0, double x1, double y1) {
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
}

void circle(cairo_t* cr, double x, double y, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
}

void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
    cairo_close_path(cr);
}

void arrow(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb c, double width) {
    const double a = std::atan2(y1 - y0, x1 - x0);
    const double head = 3.2 * width;
    const double bx = x1 - head * std::cos(a);
    const double by = y1 - head * std::sin(a);
    line(cr, x0, y0, bx, by);
    stroke(cr, c, width);
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, bx + 0.6 * head * std::sin(a), by - 0.6 * head * std::cos(a));
    cairo_line_to(cr, bx - 0.6 * head * std::sin(a), by + 0.6 * head * std::cos(a));
    cairo_close_path(cr);
    set(cr, c);
    cairo_fill(cr);
}

void text(cairo_t* cr, const char* s, double x, double y, double size, Rgb c, bool bold) {
    cairo_select_font_face(cr, "Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s, &e);
    cairo_move_to(cr, x - e.width / 2 - e.x_bearing, y - e.height / 2 - e.y_bearing);
    set(cr, c);
    cairo_show_text(cr, s);
}

void axes(cairo_t* cr) {
    arrow(cr, 0.14, 0.9, 0.14, 0.08, INK, 0.04);
    arrow(cr, 0.1, 0.86, 0.94, 0.86, INK, 0.04);
}

void magnifier(cairo_t* cr, char sign) {
    circle(cr, 0.42, 0.42, 0.27);
    set(cr, STEEL_LIGHT, 0.8);
    cairo_fill_preserve(cr);
    stroke(cr, INK, 0.07);
    line(cr, 0.62, 0.62, 0.88, 0.88);
    stroke(cr, INK, 0.13);
    if (sign == '+' || sign == '-') {
        line(cr, 0.29, 0.42, 0.55, 0.42);
        if (sign == '+') line(cr, 0.42, 0.29, 0.42, 0.55);
        stroke(cr, INK, 0.07);
    } else if (sign == '=') {
        line(cr, 0.3, 0.36, 0.54, 0.36);
        line(cr, 0.3, 0.48, 0.54, 0.48);
        stroke(cr, INK, 0.06);
    }
}

void gear(cairo_t* cr, double x, double y, double r) {
    const int teeth = 8;
    cairo_new_sub_path(cr);
    for (int i = 0; i < 2 * teeth; ++i) {
        const double a0 = M_PI * i / teeth;
        const double a1 = M_PI * (i + 1) / teeth;
        const double rr = (i % 2 == 0) ? r : r * 0.75;
        cairo_arc(cr, x, y, rr, a0, a1);
    }
    cairo_close_path(cr);
    circle(cr, x, y, r * 0.3);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    fill_stroke(cr, GREY, 0.03);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

void dome(cairo_t* cr, Rgb c, double width) {
    cairo_move_to(cr, 0.2, 0.84);
    cairo_curve_to(cr, 0.3, 0.2, 0.55, 0.16, 0.62, 0.3);
    cairo_curve_to(cr, 0.7, 0.45, 0.8, 0.7, 0.9, 0.84);
    stroke(cr, c, width);
}

}  // namespace app::art
