// The part symbols: the pictures of the flowsheet and of the insert
// commands, drawn into the unit square.
#include "app/diagrams/artwork_draw.h"

#include <cmath>
#include <functional>
#include <map>

namespace app::art {
namespace {

void stub_pipes(cairo_t* cr) {
    line(cr, 0.02, 0.5, 0.16, 0.5);
    line(cr, 0.84, 0.5, 0.98, 0.5);
    stroke(cr, INK, 0.05);
}

void compressor(cairo_t* cr) {
    stub_pipes(cr);
    cairo_move_to(cr, 0.16, 0.12);
    cairo_line_to(cr, 0.84, 0.32);
    cairo_line_to(cr, 0.84, 0.68);
    cairo_line_to(cr, 0.16, 0.88);
    cairo_close_path(cr);
    fill_stroke(cr, STEEL);
}

void turbine(cairo_t* cr) {
    stub_pipes(cr);
    cairo_move_to(cr, 0.16, 0.32);
    cairo_line_to(cr, 0.84, 0.12);
    cairo_line_to(cr, 0.84, 0.88);
    cairo_line_to(cr, 0.16, 0.68);
    cairo_close_path(cr);
    fill_stroke(cr, GREEN);
}

void pump(cairo_t* cr) {
    stub_pipes(cr);
    circle(cr, 0.5, 0.5, 0.34);
    fill_stroke(cr, STEEL_LIGHT);
    cairo_move_to(cr, 0.34, 0.26);
    cairo_line_to(cr, 0.78, 0.5);
    cairo_line_to(cr, 0.34, 0.74);
    cairo_close_path(cr);
    fill_stroke(cr, STEEL, 0.035);
}

void flame(cairo_t* cr, double x, double y, double h) {
    cairo_move_to(cr, x, y - h);
    cairo_curve_to(cr, x + 0.22 * h, y - 0.55 * h, x + 0.45 * h, y - 0.2 * h, x + 0.3 * h, y);
    cairo_curve_to(cr, x + 0.2 * h, y + 0.2 * h, x - 0.2 * h, y + 0.2 * h, x - 0.3 * h, y);
    cairo_curve_to(cr, x - 0.4 * h, y - 0.25 * h, x - 0.1 * h, y - 0.5 * h, x, y - h);
    cairo_close_path(cr);
    fill_stroke(cr, FLAME, 0.03);
}

void combustor(cairo_t* cr) {
    stub_pipes(cr);
    rounded_rect(cr, 0.16, 0.22, 0.68, 0.56, 0.12);
    fill_stroke(cr, PAPER);
    flame(cr, 0.5, 0.66, 0.34);
    line(cr, 0.5, 0.98, 0.5, 0.78);
    stroke(cr, HOT, 0.05);
}

void combustoroxy(cairo_t* cr) {
    combustor(cr);
    circle(cr, 0.78, 0.2, 0.16);
    fill_stroke(cr, STEEL_LIGHT, 0.03);
    text(cr, "O", 0.78, 0.2, 0.2, INK);
}

void waterseparator(cairo_t* cr) {
    stub_pipes(cr);
    rounded_rect(cr, 0.22, 0.1, 0.56, 0.8, 0.2);
    fill_stroke(cr, PAPER);
    cairo_rectangle(cr, 0.25, 0.62, 0.5, 0.24);
    set(cr, COLD, 0.5);
    cairo_fill(cr);
    for (double x : {0.38, 0.5, 0.62}) {
        cairo_move_to(cr, x, 0.28);
        cairo_curve_to(cr, x + 0.06, 0.4, x + 0.06, 0.46, x, 0.46);
        cairo_curve_to(cr, x - 0.06, 0.46, x - 0.06, 0.4, x, 0.28);
        set(cr, COLD);
        cairo_fill(cr);
    }
}

void coil(cairo_t* cr, Rgb c) {
    cairo_move_to(cr, 0.1, 0.5);
    cairo_line_to(cr, 0.26, 0.5);
    for (int i = 0; i < 4; ++i) cairo_line_to(cr, 0.32 + 0.12 * i, i % 2 == 0 ? 0.3 : 0.7);
    cairo_line_to(cr, 0.74, 0.5);
    cairo_line_to(cr, 0.9, 0.5);
    stroke(cr, c, 0.06);
}

void heatexchanger(cairo_t* cr) {
    circle(cr, 0.5, 0.5, 0.36);
    fill_stroke(cr, PAPER);
    coil(cr, HOT);
}

void condenser(cairo_t* cr) {
    circle(cr, 0.5, 0.5, 0.36);
    fill_stroke(cr, STEEL_LIGHT);
    coil(cr, COLD);
    line(cr, 0.5, 0.86, 0.5, 0.98);
    stroke(cr, COLD, 0.05);
}

void pressureloss(cairo_t* cr) {
    cairo_rectangle(cr, 0.04, 0.36, 0.92, 0.28);
    fill_stroke(cr, STEEL_LIGHT);
    cairo_move_to(cr, 0.5, 0.36);
    cairo_line_to(cr, 0.44, 0.2);
    cairo_line_to(cr, 0.56, 0.2);
    cairo_close_path(cr);
    cairo_move_to(cr, 0.5, 0.64);
    cairo_line_to(cr, 0.44, 0.8);
    cairo_line_to(cr, 0.56, 0.8);
    cairo_close_path(cr);
    fill_stroke(cr, INK, 0.03);
    line(cr, 0.5, 0.36, 0.5, 0.64);
    stroke(cr, INK, 0.06);
}

// Mixer and splitter fill their cell as the other parts do: a junction
// body of a third of the cell with the streams meeting at it.
void mixer(cairo_t* cr) {
    arrow(cr, 0.04, 0.08, 0.36, 0.36, STEEL, 0.09);
    arrow(cr, 0.04, 0.92, 0.36, 0.64, GREEN, 0.09);
    circle(cr, 0.52, 0.5, 0.2);
    fill_stroke(cr, PAPER, 0.06);
    arrow(cr, 0.74, 0.5, 0.98, 0.5, INK, 0.09);
}

void splitter(cairo_t* cr) {
    arrow(cr, 0.02, 0.5, 0.28, 0.5, INK, 0.09);
    circle(cr, 0.48, 0.5, 0.2);
    fill_stroke(cr, PAPER, 0.06);
    arrow(cr, 0.64, 0.36, 0.96, 0.08, STEEL, 0.09);
    arrow(cr, 0.64, 0.64, 0.96, 0.92, GREEN, 0.09);
}

void split_mix(cairo_t* cr) {
    cairo_move_to(cr, 0.04, 0.5);
    cairo_line_to(cr, 0.2, 0.5);
    cairo_curve_to(cr, 0.3, 0.5, 0.3, 0.2, 0.45, 0.2);
    cairo_line_to(cr, 0.55, 0.2);
    cairo_curve_to(cr, 0.7, 0.2, 0.7, 0.5, 0.8, 0.5);
    cairo_move_to(cr, 0.2, 0.5);
    cairo_curve_to(cr, 0.3, 0.5, 0.3, 0.8, 0.45, 0.8);
    cairo_line_to(cr, 0.55, 0.8);
    cairo_curve_to(cr, 0.7, 0.8, 0.7, 0.5, 0.8, 0.5);
    stroke(cr, STEEL, 0.07);
    arrow(cr, 0.8, 0.5, 0.98, 0.5, INK, 0.07);
    circle(cr, 0.2, 0.5, 0.07);
    circle(cr, 0.8, 0.5, 0.07);
    fill_stroke(cr, PAPER, 0.035);
}

void inlet(cairo_t* cr) {
    arrow(cr, 0.04, 0.5, 0.62, 0.5, INK, 0.08);
    circle(cr, 0.76, 0.5, 0.18);
    fill_stroke(cr, GREEN_LIGHT);
}

void outlet(cairo_t* cr) {
    circle(cr, 0.24, 0.5, 0.18);
    fill_stroke(cr, STEEL_LIGHT);
    arrow(cr, 0.38, 0.5, 0.96, 0.5, INK, 0.08);
}

void heatsource(cairo_t* cr) {
    circle(cr, 0.5, 0.56, 0.36);
    fill_stroke(cr, {1.0, 0.86, 0.8});
    flame(cr, 0.5, 0.74, 0.44);
}

void heatsink(cairo_t* cr) {
    circle(cr, 0.5, 0.5, 0.36);
    fill_stroke(cr, STEEL_LIGHT);
    for (double x : {0.36, 0.5, 0.64}) arrow(cr, x, 0.26, x, 0.74, COLD, 0.05);
}

void interface(cairo_t* cr) {
    circle(cr, 0.26, 0.3, 0.2);
    fill_stroke(cr, {1.0, 0.86, 0.8}, 0.04);
    circle(cr, 0.74, 0.7, 0.2);
    fill_stroke(cr, STEEL_LIGHT, 0.04);
    text(cr, "H", 0.26, 0.3, 0.2, HOT);
    text(cr, "C", 0.74, 0.7, 0.2, COLD);
    cairo_move_to(cr, 0.42, 0.42);
    cairo_curve_to(cr, 0.5, 0.5, 0.5, 0.5, 0.58, 0.58);
    stroke(cr, INK, 0.05);
    arrow(cr, 0.4, 0.68, 0.56, 0.84, HOT, 0.04);
}

const std::map<std::string, std::function<void(cairo_t*)>>& painters() {
    static const std::map<std::string, std::function<void(cairo_t*)>> table = {
        {"My_compressor", compressor},
        {"My_pump", pump},
        {"My_turbine", turbine},
        {"My_combustor", combustor},
        {"My_combustoroxy", combustoroxy},
        {"My_waterseparator", waterseparator},
        {"My_condenser", condenser},
        {"My_heatexchanger", heatexchanger},
        {"My_pressureloss", pressureloss},
        {"My_split_mix", split_mix},
        {"My_mixer", mixer},
        {"My_splitter", splitter},
        {"My_heatsource", heatsource},
        {"My_heatsink", heatsink},
        {"My_inlet", inlet},
        {"My_outlet", outlet},
        {"My_interface", interface},
    };
    return table;
}

}  // namespace

bool paint_part(cairo_t* cr, const std::string& name) {
    auto it = painters().find(name);
    if (it == painters().end()) return false;
    it->second(cr);
    return true;
}

}  // namespace app::art
