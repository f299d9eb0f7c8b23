// One full drawing of a diagram: background, title, margins and corner
// mark, axes, then curves and isolines or the heat-flow-temperature
// picture.
#include "app/core/model/records.h"
#include "app/core/model/units.h"
#include "app/diagrams/axis_ticks.h"
#include "app/diagrams/mapping.h"
#include "app/diagrams/render.h"
#include "app/diagrams/text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace app::diagrams {

int screenshot = 0;
int drawing_deferred = 0;

namespace {

// Drawings of one draw_graph call at most: the widening of zoom-to-plot
// moves each bound in one pass, so a second drawing normally settles it.
constexpr int MAX_DRAWINGS = 4;
// A page wider than this many units gets thicker lines.
constexpr double WIDE_PAGE = 2000;
constexpr double MIN_TOP_MARGIN = 32;

const char* const TITLE_FONT = "sans medium 10";
const char* const LABEL_ROW_FONT = "sans medium";
const char* const MARK_FONT = "sans medium 8";
const char* const HINT_FONT = "sans medium 10";
const char* const MARGIN_SAMPLE_LABEL = "Entropy [kJ/(kg K)]";
const char* const MARGIN_SAMPLE_TICK = "8888.8";

// The corner mark, kept reversed.
std::string corner_mark() {
    std::string m = "2rvk - levaK";
    std::reverse(m.begin(), m.end());
    return m;
}

const Process* process_by_id(const Project* project, int id) {
    if (project == nullptr) return nullptr;
    for (int i = 0; i < project->az_processes && i < MAX_PROCESSES; ++i) {
        const Process* p = project->processes[static_cast<std::size_t>(i)];
        if (p != nullptr && p->id == id) return p;
    }
    return nullptr;
}

void draw_title(const Graph& graph, cairo_t* cr) {
    const double scale = graph.font_scale;
    if (graph.type != 5) {
        if (graph.fluid == nullptr) return;
        Layout title(cr, graph.fluid->name, TITLE_FONT, scale);
        cairo_set_source_rgb(cr, 0, 0, 0);
        show_scaled_layout_at(cr, title, 2, 2);
        return;
    }
    if (graph.interface == nullptr) return;
    const Process* hot = process_by_id(graph.project, graph.interface->hot_process_id);
    const Process* cold = process_by_id(graph.project, graph.interface->cold_process_id);
    double x = 2;
    if (hot != nullptr && hot->fluid != nullptr) {
        Layout name(cr, hot->fluid->name, TITLE_FONT, scale);
        cairo_set_source_rgb(cr, 1, 0, 0);
        show_scaled_layout_at(cr, name, x, 2);
        x = name.width + 12;
    }
    if (cold != nullptr && cold->fluid != nullptr) {
        Layout name(cr, cold->fluid->name, TITLE_FONT, scale);
        cairo_set_source_rgb(cr, 0, 0, 1);
        show_scaled_layout_at(cr, name, x, 2);
    }
}

// Label rows above the plot (and columns right of it) that the isoline
// families need: those whose lines can end at the top edge.
int label_rows(const Graph& graph) {
    const auto shown = [&](int family) {
        return graph.iso_style[static_cast<std::size_t>(family)].show != 0;
    };
    int rows = 0;
    if (shown(ISO_ISOCHOR)) ++rows;
    if (shown(ISO_ISOBAR) && (graph.type == 0 || graph.type == 2)) ++rows;
    if (shown(ISO_ISOTHERM) && (graph.type == 0 || graph.type == 1 || graph.type == 3)) ++rows;
    return rows;
}

// Most y tick labels measured for the left margin; beyond them the labels
// are too close to be drawn all anyway.
constexpr std::size_t MAX_MEASURED_LABELS = 100;

// The width of the widest y tick label as drawn (in the axis's unit). The
// margin has room for the label of the end value at least; a wider one
// (a negative value: carbon dioxide's h-s diagram, "-100.00" below
// "100.00") ran into the axis title.
int widest_y_tick_label(const Graph& graph, cairo_t* cr) {
    const Axis& ya = graph.y_axis;
    const std::vector<double> ticks = axis_ticks(ya, is_log_axis(ya));
    int widest = 0;
    for (std::size_t i = 0; i < ticks.size() && i < MAX_MEASURED_LABELS; ++i) {
        Layout label(cr, tick_label(to_display(ya.unit_quantity, ya.unit, ticks[i]), ya.digits),
                     ya.tick_font, graph.font_scale);
        widest = std::max(widest, label.width);
    }
    return widest;
}

void draw_corner_mark(const Graph& graph, cairo_t* cr) {
    Layout mark(cr, corner_mark(), MARK_FONT, graph.font_scale);
    cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
    show_scaled_layout_at(cr, mark, graph.width - mark.width - 2, graph.height - mark.height - 2);
}

// The reason a diagram's ranges cannot be drawn, in the middle of its plot
// area, so that an empty frame never stands there unexplained.
void draw_range_hint(const Graph& graph, cairo_t* cr, const std::string& hint) {
    Layout text(cr, hint, HINT_FONT, graph.font_scale);
    const double left = graph.left;
    const double width = graph.width - graph.left - graph.right;
    const double top = graph.top;
    const double height = graph.height - graph.top - graph.bottom;
    cairo_set_source_rgb(cr, 0.6, 0, 0);
    show_scaled_layout_at(cr, text, std::round(left + std::max(0.0, (width - text.width) / 2)),
                          std::round(top + std::max(0.0, (height - text.height) / 2)));
}

// Steps 1 to 5 of one drawing.
void draw_once(Graph& graph, cairo_t* cr) {
    cairo_save(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, 0, 0, graph.width, graph.height);
    cairo_fill(cr);
    cairo_restore(cr);
    draw_title(graph, cr);
    calc_graph_border_size(graph, cr);
    graph.cache_count = 0;
    graph.cache.clear();
    draw_axis(graph, cr);
    const std::string hint = range_hint(graph);
    if (!hint.empty()) {
        draw_range_hint(graph, cr, hint);
        return;
    }
    if (graph.type >= 0 && graph.type <= 4) {
        draw_processes(graph, cr);
        draw_isolines(graph, cr);
    } else if (graph.type == 5) {
        draw_qt(graph, cr);
    }
}

}  // namespace

int line_factor_for(const Graph& graph) {
    if (screenshot != 0) return 2;
    if (graph.printing != 0 && graph.width > WIDE_PAGE)
        return std::max(1, static_cast<int>(std::lround(graph.width / 1000)));
    return 1;
}

void calc_graph_border_size(Graph& graph, cairo_t* cr) {
    const double scale = graph.font_scale;
    const int f = line_factor_for(graph);
    graph.line_factor = f;
    const Axis& xa = graph.x_axis;
    const Axis& ya = graph.y_axis;

    Layout x_label(cr, MARGIN_SAMPLE_LABEL, xa.label_font, scale);
    Layout x_tick(cr, MARGIN_SAMPLE_TICK, xa.tick_font, scale);
    graph.bottom = x_label.height + 6 + f * xa.tick_length + x_tick.height;

    Layout y_label(cr, MARGIN_SAMPLE_LABEL, ya.label_font, scale);
    Layout y_end(cr, tick_label(ya.max_pos, ya.digits), ya.tick_font, scale);
    graph.left = y_label.height + 5 + f * ya.tick_length +
                 std::max(y_end.width, widest_y_tick_label(graph, cr));

    Layout sample(cr, "1000", LABEL_ROW_FONT, scale);
    const int rows = label_rows(graph);
    graph.top = std::max<double>(sample.height + rows * (sample.height + 2), MIN_TOP_MARGIN);
    graph.right = 2 + rows * (sample.width + 2);
    const double arrow = 2.0 * f * xa.arrow_size;
    if (graph.right < arrow) graph.right = arrow + 2;

    draw_corner_mark(graph, cr);
}

void draw_graph(Graph& graph, cairo_t* cr) {
    if (cr == nullptr) return;
    for (int n = 0; n < MAX_DRAWINGS; ++n) {
        redraw = 0;
        cairo_save(cr);
        draw_once(graph, cr);
        cairo_restore(cr);
        if (redraw == 0) break;
    }
    redraw = 0;
}

}  // namespace app::diagrams
