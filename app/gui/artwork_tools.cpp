// The tool icons: calculation, diagrams, zoom, configuration, isolines,
// the manual and the small close picture, drawn into the unit square.
#include "app/gui/artwork_tools.h"

#include "app/diagrams/artwork_draw.h"

#include <functional>
#include <map>

namespace app::art {
namespace {

void calculate(cairo_t* cr) {
    rounded_rect(cr, 0.18, 0.06, 0.64, 0.88, 0.08);
    fill_stroke(cr, GREY);
    cairo_rectangle(cr, 0.27, 0.15, 0.46, 0.18);
    fill_stroke(cr, GREEN_LIGHT, 0.03);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            cairo_rectangle(cr, 0.27 + c * 0.16, 0.42 + r * 0.16, 0.12, 0.12);
            fill_stroke(cr, r == 2 && c == 2 ? FLAME : PAPER, 0.02);
        }
    text(cr, "=", 0.33 + 2 * 0.16 - 0.06 + 0.0, 0.42 + 2 * 0.16 + 0.06, 0.14, INK);
}

void diagram(cairo_t* cr) {
    axes(cr);
    dome(cr, INK, 0.05);
    cairo_move_to(cr, 0.3, 0.7);
    cairo_line_to(cr, 0.36, 0.3);
    cairo_line_to(cr, 0.8, 0.22);
    cairo_line_to(cr, 0.82, 0.7);
    cairo_close_path(cr);
    stroke(cr, HOT, 0.05);
}

void diagramqt(cairo_t* cr) {
    axes(cr);
    line(cr, 0.22, 0.3, 0.88, 0.52);
    stroke(cr, HOT, 0.06);
    line(cr, 0.22, 0.74, 0.88, 0.62);
    stroke(cr, COLD, 0.06);
    text(cr, "Q", 0.8, 0.95, 0.14, INK);
}

void result(cairo_t* cr) {
    cairo_move_to(cr, 0.2, 0.06);
    cairo_line_to(cr, 0.64, 0.06);
    cairo_line_to(cr, 0.8, 0.22);
    cairo_line_to(cr, 0.8, 0.94);
    cairo_line_to(cr, 0.2, 0.94);
    cairo_close_path(cr);
    fill_stroke(cr, PAPER);
    for (int i = 0; i < 3; ++i) {
        cairo_rectangle(cr, 0.3 + 0.14 * i, 0.8 - 0.12 * (i + 1) * 1.4, 0.1, 0.12 * (i + 1) * 1.4);
        fill_stroke(cr, i == 2 ? GREEN : STEEL, 0.025);
    }
}

void listselect(cairo_t* cr) {
    for (int i = 0; i < 4; ++i) {
        cairo_rectangle(cr, 0.12, 0.12 + 0.2 * i, 0.12, 0.12);
        fill_stroke(cr, PAPER, 0.03);
        line(cr, 0.32, 0.18 + 0.2 * i, 0.88, 0.18 + 0.2 * i);
        stroke(cr, GREY, 0.05);
    }
    cairo_move_to(cr, 0.1, 0.36);
    cairo_line_to(cr, 0.18, 0.46);
    cairo_line_to(cr, 0.3, 0.26);
    stroke(cr, GREEN, 0.06);
}

void edit(cairo_t* cr) {
    cairo_move_to(cr, 0.16, 0.84);
    cairo_line_to(cr, 0.2, 0.66);
    cairo_line_to(cr, 0.7, 0.16);
    cairo_line_to(cr, 0.84, 0.3);
    cairo_line_to(cr, 0.34, 0.8);
    cairo_close_path(cr);
    fill_stroke(cr, FLAME);
    line(cr, 0.6, 0.26, 0.74, 0.4);
    stroke(cr, INK, 0.04);
}

void zoom(cairo_t* cr) { magnifier(cr, '+'); }
void zoomreset(cairo_t* cr) { magnifier(cr, '-'); }
void zoomdefault(cairo_t* cr) { magnifier(cr, '='); }

void zoom2process(cairo_t* cr) {
    cairo_move_to(cr, 0.06, 0.8);
    cairo_curve_to(cr, 0.3, 0.2, 0.6, 0.9, 0.94, 0.2);
    stroke(cr, HOT, 0.05);
    magnifier(cr, 0);
}

void configaxes(cairo_t* cr) {
    axes(cr);
    gear(cr, 0.66, 0.4, 0.24);
}

void configaxesauto(cairo_t* cr) {
    axes(cr);
    for (int i = 1; i < 5; ++i) {
        line(cr, 0.14 + 0.17 * i, 0.82, 0.14 + 0.17 * i, 0.9);
        line(cr, 0.1, 0.86 - 0.17 * i, 0.18, 0.86 - 0.17 * i);
    }
    stroke(cr, INK, 0.035);
    text(cr, "A", 0.58, 0.44, 0.42, STEEL);
}

void configiso(cairo_t* cr) {
    for (int i = 0; i < 3; ++i) {
        cairo_move_to(cr, 0.06, 0.9 - 0.2 * i);
        cairo_curve_to(cr, 0.3, 0.6 - 0.2 * i, 0.5, 0.5 - 0.2 * i, 0.94, 0.44 - 0.2 * i);
    }
    stroke(cr, STEEL, 0.05);
    gear(cr, 0.7, 0.7, 0.22);
}

void configprocess(cairo_t* cr) {
    cairo_move_to(cr, 0.1, 0.76);
    cairo_line_to(cr, 0.26, 0.24);
    cairo_line_to(cr, 0.7, 0.16);
    stroke(cr, HOT, 0.06);
    for (auto [x, y] : {std::pair{0.1, 0.76}, {0.26, 0.24}, {0.7, 0.16}}) {
        circle(cr, x, y, 0.06);
        fill_stroke(cr, PAPER, 0.03);
    }
    gear(cr, 0.66, 0.66, 0.24);
}

void iso_lines(cairo_t* cr, Rgb c, const char* symbol) {
    axes(cr);
    for (int i = 0; i < 3; ++i) {
        cairo_move_to(cr, 0.22 + 0.16 * i, 0.8);
        cairo_curve_to(cr, 0.3 + 0.16 * i, 0.5, 0.4 + 0.16 * i, 0.3, 0.62 + 0.16 * i, 0.1);
    }
    stroke(cr, c, 0.05);
    text(cr, symbol, 0.76, 0.66, 0.3, c);
}

void showisopressure(cairo_t* cr) { iso_lines(cr, COLD, "p"); }
void showisotemperature(cairo_t* cr) { iso_lines(cr, TEAL, "T"); }
void showisodensity(cairo_t* cr) { iso_lines(cr, PURPLE, "v"); }

void showisowetness(cairo_t* cr) {
    axes(cr);
    dome(cr, INK, 0.04);
    cairo_move_to(cr, 0.38, 0.84);
    cairo_curve_to(cr, 0.45, 0.5, 0.52, 0.36, 0.58, 0.28);
    cairo_move_to(cr, 0.6, 0.84);
    cairo_curve_to(cr, 0.6, 0.6, 0.6, 0.4, 0.6, 0.3);
    stroke(cr, HOT, 0.045);
    text(cr, "x", 0.8, 0.46, 0.26, HOT);
}

void manual_book(cairo_t* cr) {
    cairo_move_to(cr, 0.5, 0.2);
    cairo_curve_to(cr, 0.36, 0.1, 0.2, 0.1, 0.08, 0.16);
    cairo_line_to(cr, 0.08, 0.86);
    cairo_curve_to(cr, 0.2, 0.8, 0.36, 0.8, 0.5, 0.9);
    cairo_curve_to(cr, 0.64, 0.8, 0.8, 0.8, 0.92, 0.86);
    cairo_line_to(cr, 0.92, 0.16);
    cairo_curve_to(cr, 0.8, 0.1, 0.64, 0.1, 0.5, 0.2);
    cairo_close_path(cr);
    fill_stroke(cr, PAPER, 0.035);
    line(cr, 0.5, 0.2, 0.5, 0.9);
    stroke(cr, INK, 0.03);
    for (int i = 0; i < 4; ++i) {
        line(cr, 0.16, 0.3 + 0.12 * i, 0.42, 0.3 + 0.12 * i);
        line(cr, 0.58, 0.3 + 0.12 * i, 0.84, 0.3 + 0.12 * i);
    }
    stroke(cr, GREY, 0.03);
    text(cr, "?", 0.71, 0.2, 0.2, STEEL);
}

void close_picture(cairo_t* cr) {
    line(cr, 0.25, 0.25, 0.75, 0.75);
    line(cr, 0.75, 0.25, 0.25, 0.75);
    stroke(cr, {0.45, 0.45, 0.48}, 0.14);
}

const std::map<std::string, std::function<void(cairo_t*)>>& painters() {
    static const std::map<std::string, std::function<void(cairo_t*)>> table = {
        {"My_Calculate", calculate},
        {"My_result", result},
        {"My_listselect", listselect},
        {"My_edit", edit},
        {"My_zoomreset", zoomreset},
        {"My_zoom", zoom},
        {"My_zoom2process", zoom2process},
        {"My_configiso", configiso},
        {"My_configaxes", configaxes},
        {"My_configprocess", configprocess},
        {"My_diagram", diagram},
        {"My_diagramqt", diagramqt},
        {"My_zoomdefault", zoomdefault},
        {"My_showisodensity", showisodensity},
        {"My_showisopressure", showisopressure},
        {"My_showisotemperature", showisotemperature},
        {"My_showisowetness", showisowetness},
        {"My_configaxesauto", configaxesauto},
        {"My_manual_book", manual_book},
        {"kvr-close", close_picture},
    };
    return table;
}

}  // namespace

bool paint_tool(cairo_t* cr, const std::string& name) {
    auto it = painters().find(name);
    if (it == painters().end()) return false;
    it->second(cr);
    return true;
}

}  // namespace app::art
