// The flowsheet's drawing: connections of interfaces, process captions,
// lines between parts, symbols with their values, names and interface
// symbols, in that order, on the layout of the sheet.
#include "app/diagrams/flowsheet_draw.h"

#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/views/flowsheet.h"
#include "app/diagrams/artwork_draw.h"
#include "app/diagrams/text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <utility>

namespace app::diagrams {

namespace {

constexpr const char* VALUE_FONT = "sans medium 8";
constexpr const char* PROCESS_FONT = "sans bold 10";
constexpr const char* NAME_FONT = "sans medium 9";
constexpr const char* FLUID_FONT = "sans medium 10";
constexpr double NAME_WRAP = 2.7;     // cells
constexpr double NAME_GAP = 5;        // pixels between a symbol and its turned name
constexpr double CROSS_GAP = 3;       // pixels between a result cross's line and its texts
constexpr double FLUID_WRAP = 3.0;    // cells
constexpr double TITLE_X = 4;         // pixels: left edge of a process title
constexpr double TITLE_MIN_WRAP = 2;  // cells: narrowest wrapped title
constexpr double HALO = 3.0;          // white under the lines between parts
constexpr double INTERFACE_HALO = 4.0;
constexpr double INTERFACE_APPROACH = 0.25;   // cells left of the lower side
constexpr double INTERFACE_END = 0.22;        // cells: the line ends on the symbol's rim
constexpr double INTERFACE_COLD_HALF = 0.72;  // cells: centre of the symbol's cold half
constexpr double FRAME = 4.0;                 // selection frame

// Symbols of the part types (a type without a picture of its own shows
// its nearest relative's).
constexpr const char* SYMBOLS[NUM_PART_TYPES] = {
    "My_compressor", "My_pump",         "My_turbine",       "My_turbine",
    "My_combustor",  "My_combustoroxy", "My_heatexchanger", "My_heatexchanger",
    "My_condenser",  "My_pressureloss", "My_pressureloss",  "My_inlet",
    "My_outlet",     "My_mixer",        "My_splitter",      "My_waterseparator"};

using Point = std::pair<double, double>;

double trunc(double v) { return std::trunc(v); }

// A text laid out for the sheet, in sheet pixels.
class Text {
public:
    Text(cairo_t* cr, const std::string& text, const char* font, double wrap = 0) {
        layout_ = pango_cairo_create_layout(cr);
        pango_cairo_context_set_resolution(pango_layout_get_context(layout_), TEXT_DPI);
        pango_layout_context_changed(layout_);
        PangoFontDescription* desc = font_with_size(font);
        pango_layout_set_font_description(layout_, desc);
        pango_font_description_free(desc);
        if (wrap > 0) {
            pango_layout_set_width(layout_, static_cast<int>(wrap * PANGO_SCALE));
            pango_layout_set_wrap(layout_, PANGO_WRAP_WORD_CHAR);
        }
        pango_layout_set_text(layout_, text.c_str(), -1);
        pango_layout_get_pixel_size(layout_, &width, &height);
    }
    ~Text() { g_object_unref(layout_); }
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    void show(cairo_t* cr, double x, double y) const {
        cairo_move_to(cr, clamp_pixel(x), clamp_pixel(y));
        pango_cairo_show_layout(cr, layout_);
    }
    int width = 0;
    int height = 0;

private:
    PangoLayout* layout_ = nullptr;
};

void colour(cairo_t* cr, SheetColour c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }

void path(cairo_t* cr, std::initializer_list<Point> points) {
    bool first = true;
    for (const auto& [x, y] : points) {
        if (first)
            cairo_move_to(cr, clamp_pixel(x), clamp_pixel(y));
        else
            cairo_line_to(cr, clamp_pixel(x), clamp_pixel(y));
        first = false;
    }
}

// A line stroked white first, then black and 1 wide along the same path.
void haloed(cairo_t* cr, std::initializer_list<Point> points, double halo = HALO) {
    path(cr, points);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_width(cr, halo);
    cairo_stroke_preserve(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void arrowhead(cairo_t* cr, std::initializer_list<Point> points) {
    path(cr, points);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void frame(cairo_t* cr, double x, double y, double c) {
    colour(cr, SELECTION_COLOUR);
    cairo_set_line_width(cr, FRAME);
    cairo_rectangle(cr, x, y, c, c);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1);
}

void symbol(cairo_t* cr, const std::string& name, double x, double y, double c) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, c, c);
    art::paint_part(cr, name);
    cairo_restore(cr);
}

// The sheet pixels the clip leaves visible; parts outside are left out.
struct Box {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool meets(double ax0, double ay0, double ax1, double ay1) const {
        return ax0 < x1 && ax1 > x0 && ay0 < y1 && ay1 > y0;
    }
};

struct Sheet {
    cairo_t* cr;
    const Project& project;
    const Graph& graph;
    double c;
    Box visible;
    double x(const Part& p) const { return part_x(graph, p); }
    double y(const Part& p) const { return part_y(graph, p); }
    // Everything drawn for a part lies within a few cells of its symbol.
    bool shows(const Part& p) const {
        return visible.meets(x(p) - 1.5 * c, y(p) - 3.5 * c, x(p) + 4.5 * c, y(p) + 2.5 * c);
    }
};

// From the upper side into the interface symbol's row and along it to the
// symbol; from the symbol's cold half down to the row below it and to the
// lower side's upper left: left of that part's name and results and above
// the line that comes into it.
void to_lower_side(const Sheet& s, const Interface& itf, const Part& f, const Part& g, double m) {
    const double c = s.c;
    haloed(s.cr,
           {{s.x(f) + c / 2, s.y(f) + c},
            {f.grid_col == g.grid_col ? s.x(f) - c / 2 : s.x(f) + c / 2, m},
            {itf.icon_x + c / 2, m}},
           INTERFACE_HALO);
    const double cold = itf.icon_x + INTERFACE_COLD_HALF * c;
    const double below = itf.icon_y + 1.5 * c;
    const double down = s.x(g) - INTERFACE_APPROACH * c;
    haloed(s.cr,
           {{cold, m},
            {cold, below},
            {down, below},
            {down, s.y(g)},
            {s.x(g) + INTERFACE_END * c, s.y(g) + INTERFACE_END * c}},
           INTERFACE_HALO);
}

void interface_connections(const Sheet& s) {
    const double c = s.c;
    for (int n = 0; n < s.project.az_interfaces; ++n) {
        const Interface& itf = *s.project.interfaces[sz(n)];
        const InterfaceEnds ends = interface_ends(s.project, itf);
        if (ends.first == nullptr || itf.grid_row < 0) continue;
        const Part& f = *ends.first;
        const Part& g = *ends.second;
        const double m = itf.icon_y + c / 2;
        if (itf.hot_process_id == itf.cold_process_id && f.grid_row == g.grid_row)
            haloed(s.cr,
                   {{s.x(f) + c / 2, s.y(f) + c},
                    {s.x(f) + c / 2, m},
                    {s.x(g) + c / 2, m},
                    {s.x(g) + c / 2, s.y(g) + c}},
                   INTERFACE_HALO);
        else
            to_lower_side(s, itf, f, g, m);
    }
}

// The top of the part names turned upwards in the first row of the process
// that stand under the process title (from x = 4 over `width` pixels), or
// `top` when none reaches higher.
double top_of_names_under_title(const Sheet& s, const Process& process, double width, double top) {
    if (s.graph.show_names == 0) return top;
    const Part& inlet = *process.parts[0];
    for (int i = 0; i < process.az_parts; ++i) {
        const Part& p = *process.parts[sz(i)];
        if (!s.shows(p) || s.y(p) != s.y(inlet)) continue;
        const Text t(s.cr, p.name, NAME_FONT, NAME_WRAP * s.c);
        const double left = s.x(p) + (s.c - t.height) / 2;
        if (left > TITLE_X + width || left + t.height < TITLE_X) continue;
        top = std::min(top, s.y(p) - NAME_GAP - t.width);
    }
    return top;
}

// The left edge of the first turned part name in the first row of the
// process that reaches above `top`, or a huge value when none does.
double left_of_names_above(const Sheet& s, const Process& process, double top) {
    double left = HUGE_VAL;
    if (s.graph.show_names == 0) return left;
    const Part& inlet = *process.parts[0];
    for (int i = 0; i < process.az_parts; ++i) {
        const Part& p = *process.parts[sz(i)];
        if (!s.shows(p) || s.y(p) != s.y(inlet)) continue;
        const Text t(s.cr, p.name, NAME_FONT, NAME_WRAP * s.c);
        if (s.y(p) - NAME_GAP - t.width < top) left = std::min(left, s.x(p) + (s.c - t.height) / 2);
    }
    return left;
}

// A title too long to stand above the names under it (in the sheet's first
// row) wraps left of the first name it would run into, above the names
// under its lines. False when it does not fit there either.
bool wrapped_title(const Sheet& s, const Process& process, double one_line_height, double bottom) {
    const double room = left_of_names_above(s, process, 1 + one_line_height + 2) - 2 * TITLE_X;
    if (room < TITLE_MIN_WRAP * s.c) return false;
    const Text name(s.cr, process.name, PROCESS_FONT, room);
    const Part& inlet = *process.parts[0];
    const double names =
        top_of_names_under_title(s, process, name.width, s.y(inlet) - NAME_GAP) - 2;
    if (names - name.height < 1) return false;
    name.show(s.cr, TITLE_X, std::max(1.0, std::min(bottom, names) - name.height));
    return true;
}

void process_captions(const Sheet& s, const Process& process) {
    const Part& inlet = *process.parts[0];
    cairo_set_source_rgb(s.cr, 0, 0, 0);
    const Text name(s.cr, process.name, PROCESS_FONT);
    // Above the row (in tall rows two cells above it), and above every
    // turned part name under it.
    const double bottom = s.y(inlet) - (tall_rows(s.graph) ? 2 * s.c : 0);
    const double names = top_of_names_under_title(s, process, name.width, bottom);
    const double y = (names < bottom ? names - 2 : bottom) - name.height;
    if (y >= 1 || !wrapped_title(s, process, name.height, bottom))
        name.show(s.cr, TITLE_X, std::max(y, 1.0));
    const std::string fluid = process.fluid != nullptr ? process.fluid->name : "";
    const Text caption(s.cr, "Fluid:\n" + fluid, FLUID_FONT, FLUID_WRAP * s.c);
    caption.show(s.cr, std::max(2.0, trunc(s.x(inlet) - (caption.width - s.c) / 2)),
                 s.y(inlet) + s.c);
}

// The second outlet of a splitter; `loops` counts the loops drawn under
// splitters of the process.
void second_branch(const Sheet& s, const Process& process, const Part& p, const Part* main,
                   int& loops) {
    const double c = s.c;
    const Part* s2 = part_of_process(s.project, process, p.next_id[1]);
    if (s2 == nullptr) return;  // a splitter without a second successor
    const double xs2 = trunc(s.x(p) + c / 2);
    const double ys2 = trunc(s.y(p) + c);
    if (s2 == main || trunc(s.y(*s2) + c) == ys2) {
        const double xc2 = trunc(s.x(*s2) + c / 2);
        const double yb2 = trunc(s.y(*s2) + c);
        const double low = ys2 + 3 * c - 10 * loops++;
        haloed(s.cr, {{xs2, ys2}, {xs2, low}, {xc2, low}, {xc2, yb2}});
        arrowhead(s.cr, {{xc2 - 6, yb2 + 10}, {xc2, yb2}, {xc2 + 6, yb2 + 10}});
    } else if (s2->type == MIXER) {
        const double xl = trunc(s.x(*s2));
        const double yb = trunc(s.y(*s2) + c + 2);
        const double low = ys2 + 4.5 * c;
        haloed(s.cr, {{xs2, ys2}, {xs2, low}, {xl - c, low}, {xl - c, yb + c}, {xl, yb}});
        arrowhead(s.cr, {{xl - 8, yb}, {xl, yb}, {xl, yb + 8}});
    } else {
        const double ym = trunc(s.y(*s2) + c / 2);
        const double xl = trunc(s.x(*s2));
        haloed(s.cr, {{xs2, ys2}, {xs2, ys2 + c / 2}, {xl - c / 2, ym}, {xl, ym}});
        arrowhead(s.cr, {{xl - 10, ym - 6}, {xl, ym}, {xl - 10, ym + 6}});
    }
}

void part_lines(const Sheet& s, const Process& process) {
    const double c = s.c;
    int loops = 0;
    for (int i = 0; i < process.az_parts; ++i) {
        const Part& p = *process.parts[sz(i)];
        const Part* next = part_of_process(s.project, process, p.next_id[0]);
        if (next != nullptr) {
            const double xs = trunc(s.x(p) + c);
            const double ys = trunc(s.y(p) + c / 2);
            if (next->grid_row == p.grid_row) {
                const double xn = s.x(*next);
                haloed(s.cr, {{xs, ys}, {xn, ys}});
                arrowhead(s.cr, {{xn - 10, ys - 6}, {xn, ys}, {xn - 10, ys + 6}});
            } else {
                const double xc = trunc(s.x(*next) + c / 2);
                const double yb = trunc(s.y(*next) + c);
                haloed(s.cr, {{xs, ys},
                              {xc - 1.3 * c, ys},
                              {xc - 1.3 * c, yb + c},
                              {xc, yb + c / 2},
                              {xc, yb}});
                arrowhead(s.cr, {{xc - 6, yb + 10}, {xc, yb}, {xc + 6, yb + 10}});
            }
        }
        if (p.type == SPLITTER) second_branch(s, process, p, next, loops);
    }
}

std::string result_text(const Part& p, int output, bool cross) {
    const ValueDef& def = part_output_values_def[sz(output)];
    const int unit = unitdef[sz(def.quantity)].default_unit;
    return cross ? format_value_cross(p.outputs[sz(output)], def, unit)
                 : format_value(p.outputs[sz(output)], def, unit);
}

// Values on a cross of thin lines: `rows` text rows of two values each.
void result_cross(const Sheet& s, const Part& p, std::initializer_list<int> outputs, double top) {
    const double c = s.c;
    const double xl = trunc(s.x(p) + 1.05 * c);
    const double yt = trunc(s.y(p) - top * c);
    const int rows = static_cast<int>(outputs.size()) / 2;
    // The vertical line stands right of the widest value or unit of the
    // left column, so that no text runs through it.
    double left_width = 0;
    double right_width = 0;
    int k = 0;
    for (int output : outputs) {
        const Text t(s.cr, result_text(p, output, true), VALUE_FONT);
        double& width = k++ % 2 == 0 ? left_width : right_width;
        width = std::max(width, static_cast<double>(t.width));
    }
    const double xv = trunc(xl + std::max(c, left_width + CROSS_GAP));
    const double xr = xv + CROSS_GAP;
    const double xe = std::max(xl + 2 * c, xr + right_width);
    cairo_save(s.cr);
    cairo_set_antialias(s.cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_line_width(s.cr, 1);
    path(s.cr, {{xv, yt}, {xv, yt + (rows == 2 ? 1.5 : 2.5) * c}});
    cairo_stroke(s.cr);
    for (double at : {0.76, 1.57}) {
        if (at > 1 && rows < 3) break;
        path(s.cr, {{xl, yt + at * c}, {xe, yt + at * c}});
        cairo_stroke(s.cr);
    }
    cairo_restore(s.cr);
    constexpr double ROW_TOPS[] = {0.0, 0.78, 1.61};
    k = 0;
    for (int output : outputs) {
        const Text t(s.cr, result_text(p, output, true), VALUE_FONT);
        t.show(s.cr, k % 2 == 0 ? xl : xr, yt + ROW_TOPS[k / 2] * c);
        ++k;
    }
}

void results(const Sheet& s, const Part& p) {
    const int state = p.state;
    if (p.type == OUTLET ||
        (state != PS_FINISHED && state != PS_PROVISIONAL && state != PS_INTERFACE_ITERATING))
        return;
    const double c = s.c;
    colour(s.cr, RESULT_COLOUR);
    if (s.graph.show_tp != 0) {
        const Text t(s.cr, result_text(p, PO_OUTLET_TEMPERATURE, false), VALUE_FONT);
        t.show(s.cr, s.x(p) + 1.05 * c, s.y(p) + c / 2 - t.height - 5);
        const Text pr(s.cr, result_text(p, PO_OUTLET_PRESSURE, false), VALUE_FONT);
        pr.show(s.cr, s.x(p) + 1.05 * c, s.y(p) + c / 2 + 5);
    } else if (s.graph.show_cross1 != 0) {
        result_cross(
            s, p,
            {PO_OUTLET_PRESSURE, PO_OUTLET_TEMPERATURE, PO_OUTLET_ENTHALPY, PO_OUTLET_MASSFLOW},
            1.3);
    } else if (s.graph.show_cross2 != 0) {
        result_cross(s, p,
                     {PO_OUTLET_PRESSURE, PO_OUTLET_TEMPERATURE, PO_OUTLET_MASSFLOW,
                      PO_OUTLET_DENSITY, PO_OUTLET_ENTHALPY, PO_OUTLET_ENTROPY},
                     2.12);
    }
}

// The input shown under a symbol: part types, option, choice, label, input.
struct InputLabel {
    int type_a, type_b;
    int option;
    int choice;
    const char* label;
    int input;
};
constexpr InputLabel INPUT_LABELS[] = {
    {COMPRESSOR, PUMP, OPT_COMPRESSION, 0, "π: ", PI_PRESSURE_RATIO_OUT_IN},
    {COMPRESSOR, PUMP, OPT_COMPRESSION, 1, "P out: ", PI_OUTLET_PRESSURE},
    {EXPANDER, TURBINE, OPT_EXPANSION, 0, "π ", PI_PRESSURE_RATIO_IN_OUT},
    {EXPANDER, TURBINE, OPT_EXPANSION, 1, "Pout ", PI_OUTLET_PRESSURE},
    {EXPANDER, TURBINE, OPT_EXPANSION, 2, "π: ", PI_PRESSURE_RATIO_OUT_IN_LT1},
    {HEAT_EXCHANGER, HEAT_EXCHANGER, OPT_OUTLET_TEMPERATURE, 0, "T out: ", PI_OUTLET_TEMPERATURE},
    {HEAT_EXCHANGER, HEAT_EXCHANGER, OPT_OUTLET_TEMPERATURE, 1, "q: ", PI_SPECIFIC_HEAT_FLUX},
};

std::string input_text(const Part& p, const char* label, int input) {
    return label + format_value(p.inputs[sz(input)], part_input_values_def[sz(input)],
                                p.input_units[sz(input)]);
}

void inputs(const Sheet& s, const Part& p) {
    if (s.graph.show_inputs == 0) return;
    const double c = s.c;
    const double centre = s.x(p) + c / 2;
    colour(s.cr, INPUT_COLOUR);
    for (const InputLabel& row : INPUT_LABELS) {
        if ((p.type != row.type_a && p.type != row.type_b) ||
            p.options[sz(row.option)] != row.choice)
            continue;
        const Text t(s.cr, input_text(p, row.label, row.input), VALUE_FONT);
        t.show(s.cr, centre - t.width / 2.0, s.y(p) + c + 5);
    }
    if (p.type == COMPRESSOR || p.type == PUMP || p.type == EXPANDER || p.type == TURBINE) {
        const int choice = p.options[OPT_EFFICIENCY];
        if (choice != 0 && choice != 1) return;
        const Text t(
            s.cr,
            input_text(p, "η: ", choice == 0 ? PI_ISENTROPIC_EFFICIENCY : PI_POLYTROPIC_EFFICIENCY),
            VALUE_FONT);
        t.show(s.cr, centre - t.width / 2.0, s.y(p) + c + 8 + t.height);
    }
}

void name_upwards(const Sheet& s, const Part& p) {
    const Text t(s.cr, p.name, NAME_FONT, NAME_WRAP * s.c);
    cairo_save(s.cr);
    cairo_translate(s.cr, s.x(p) + (s.c - t.height) / 2, s.y(p) - NAME_GAP);
    cairo_rotate(s.cr, -M_PI / 2);
    t.show(s.cr, 0, 0);
    cairo_restore(s.cr);
}

void parts(const Sheet& s, const Process& process, int pi) {
    for (int i = 0; i < process.az_parts; ++i) {
        const Part& p = *process.parts[sz(i)];
        if (!s.shows(p)) continue;
        const bool own = p.icon == "My_heatsource" || p.icon == "My_heatsink";
        symbol(s.cr, own ? p.icon : SYMBOLS[sz(std::clamp(p.type, 0, NUM_PART_TYPES - 1))], s.x(p),
               s.y(p), s.c);
        results(s, p);
        inputs(s, p);
        if (s.project.current_process == pi && s.project.current_part == i)
            frame(s.cr, s.x(p), s.y(p), s.c);
    }
    if (s.graph.show_names == 0) return;
    colour(s.cr, NAME_COLOUR);
    for (int i = 0; i < process.az_parts; ++i)
        if (s.shows(*process.parts[sz(i)])) name_upwards(s, *process.parts[sz(i)]);
}

void interface_symbols(const Sheet& s) {
    for (int n = 0; n < s.project.az_interfaces; ++n) {
        const Interface& itf = *s.project.interfaces[sz(n)];
        if (itf.grid_row < 0 || interface_ends(s.project, itf).first == nullptr) continue;
        symbol(s.cr, "My_interface", itf.icon_x, itf.icon_y, s.c);
        if (s.project.current_interface == n) frame(s.cr, itf.icon_x, itf.icon_y, s.c);
        if (s.graph.show_names == 0) continue;
        colour(s.cr, NAME_COLOUR);
        const Text t(s.cr, itf.name, NAME_FONT);
        t.show(s.cr, itf.icon_x - (t.width - s.c) / 2, itf.icon_y - t.height);
    }
}

}  // namespace

void draw_flowsheet(Graph& graph, cairo_t* cr, double scale) {
    if (cr == nullptr || graph.project == nullptr || graph.cell_size <= 0 ||
        !std::isfinite(scale) || !(scale > 0))
        return;
    const Project& project = *graph.project;
    cairo_save(cr);
    cairo_scale(cr, scale, scale);
    Box visible;
    cairo_clip_extents(cr, &visible.x0, &visible.y0, &visible.x1, &visible.y1);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, 0, 0, graph.sheet_width, graph.sheet_height);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    const Sheet s{cr, project, graph, static_cast<double>(graph.cell_size), visible};
    interface_connections(s);
    for (int p = 0; p < project.az_processes; ++p) {
        const Process& process = *project.processes[sz(p)];
        if (process.az_parts < 1) continue;
        process_captions(s, process);
        part_lines(s, process);
        parts(s, process, p);
    }
    interface_symbols(s);
    cairo_restore(cr);
}

void measure_part_name(const std::string& name, double wrap_width, int& width, int& height) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    cairo_t* cr = cairo_create(surface);
    {
        const Text t(cr, name, NAME_FONT, wrap_width);
        width = t.width;
        height = t.height;
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

}  // namespace app::diagrams
