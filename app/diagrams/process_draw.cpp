// Process curves of a state diagram: each finished part's path in its
// curve's line style with start, end and step markers, the halo of the
// current part, and the screen-point cache of the pointer handlers.
#include "app/core/model/records.h"
#include "app/diagrams/isoline_draw.h"
#include "app/diagrams/mapping.h"
#include "app/diagrams/render.h"
#include "app/diagrams/text.h"

#include <array>
#include <cmath>
#include <vector>

namespace app::diagrams {

namespace {

// Dash lengths of the line styles 0 to 9 (in hundredths of the drawing's
// width) and how many of them a pattern uses.
constexpr std::array<std::array<double, 4>, 10> dash = {{
    {0, 0, 0, 0},
    {1, 2, 0, 0},
    {2, 2, 0, 0},
    {3, 3, 0, 0},
    {2, 1, 0, 0},
    {3, 1, 0, 0},
    {4, 2, 0, 0},
    {5, 1, 0, 0},
    {3, 1, 1, 1},
    {0, 0, 0, 0},
}};
constexpr std::array<int, 10> dashlen = {0, 1, 1, 1, 2, 2, 2, 2, 4, 0};
constexpr int COMPOSITION_CHANGE_STYLE = 9;  // solid, dashed where the composition changed
constexpr int CHANGED_COMPOSITION_PATTERN = 1;
constexpr double STAR_SLANT = 1.4;
constexpr double DIAGONAL = 0.707;
constexpr std::size_t HOVER_TEXT_MAX = 500;

// Sets the dash pattern of a line style on a drawing W pixels wide; no
// pattern (solid) for style 0, an unknown style, or lengths that come out
// zero or not finite (cairo would stop drawing on them).
void set_dash(cairo_t* cr, int style, double width) {
    if (style < 0 || style >= static_cast<int>(dash.size()) || dashlen[style] == 0) return;
    const double unit = width / 100.0;
    std::array<double, 4> lengths{};
    const int n = dashlen[static_cast<std::size_t>(style)];
    bool any = false;
    for (int i = 0; i < n; ++i) {
        lengths[static_cast<std::size_t>(i)] =
            dash[static_cast<std::size_t>(style)][static_cast<std::size_t>(i)] * unit;
        const double l = lengths[static_cast<std::size_t>(i)];
        if (!std::isfinite(l) || l < 0) return;
        if (l > 0) any = true;
    }
    if (any) cairo_set_dash(cr, lengths.data(), n, 0);
}

bool same_composition(const std::array<double, MAX_COMPONENTS>& a,
                      const std::array<double, MAX_COMPONENTS>& b, int n) {
    for (int i = 0; i < n && i < MAX_COMPONENTS; ++i)
        if (a[static_cast<std::size_t>(i)] != b[static_cast<std::size_t>(i)]) return false;
    return true;
}

// The line style a part is drawn with.
int part_line_style(const Process& process, const Part& part, int style) {
    if (style != COMPOSITION_CHANGE_STYLE) return style;
    const Part* inlet = process.parts[0];
    const int n = process.fluid != nullptr ? process.fluid->az_components : 0;
    if (inlet == nullptr) return 0;
    const bool changed = !same_composition(part.x_in, inlet->x_out, n) ||
                         !same_composition(part.x_out, inlet->x_out, n);
    return changed ? CHANGED_COMPOSITION_PATTERN : 0;
}

int process_number(const Project* project, const Process* process) {
    if (project == nullptr) return -1;
    for (int i = 0; i < project->az_processes && i < MAX_PROCESSES; ++i)
        if (project->processes[static_cast<std::size_t>(i)] == process) return i;
    return -1;
}

// Pixel points of a part's steps; a step whose coordinates cannot be
// mapped is left out.
struct PixelPath {
    std::vector<double> x, y;
    std::vector<int> step;
};

PixelPath pixel_path(Graph& graph, const Part& part) {
    PixelPath path;
    const int n = std::min(part.steps, MAX_STEPS);
    for (int i = 0; i <= n; ++i) {
        double vx = 0, vy = 0;
        getxy(graph, part, i, vx, vy);
        const Mapping m = mapping_of(graph);
        const double px = m.X(vx), py = m.Y(vy);
        if (!m.usable || !std::isfinite(px) || !std::isfinite(py)) continue;
        path.x.push_back(clamp_pixel(px));
        path.y.push_back(clamp_pixel(py));
        path.step.push_back(i);
    }
    return path;
}

void draw_markers(const Graph& graph, cairo_t* cr, const CurveStyle& st, const PixelPath& path,
                  int last_step) {
    const int f = graph.line_factor;
    set_line_width(cr, f);
    for (std::size_t k = 0; k < path.x.size(); ++k) {
        if (path.step[k] != 0 && path.step[k] != last_step) continue;
        set_color(cr, st.dot_color);
        draw_dot(cr, st.dot_style, f * st.dot_size, path.x[k], path.y[k]);
    }
    for (std::size_t k = 0; k < path.x.size(); ++k) {
        set_color(cr, st.small_dot_color);
        draw_dot(cr, st.small_dot_style, f * st.small_dot_size, path.x[k], path.y[k]);
    }
}

// The part's entry of the screen-point cache: its steps inside the
// visible window, the end mark, the numbers and the hover text. Nothing
// once the cache is full.
void add_cache_entry(Graph& graph, const Process& process, int part_index, const Part& part) {
    if (graph.cache_count >= SCREEN_CACHE_SIZE) return;
    const Mapping m = mapping_of(graph);
    ScreenEntry e;
    int k = 0;
    const int n = std::min(part.steps, MAX_STEPS);
    for (int i = 0; i <= n && k < SCREEN_CACHE_POINTS - 1 && m.usable; ++i) {
        double vx = 0, vy = 0;
        getxy(graph, part, i, vx, vy);
        if (!m.inside_x(vx) || !m.inside_y(vy)) continue;
        e.x[static_cast<std::size_t>(k)] = static_cast<int>(std::lround(m.X(vx)));
        e.y[static_cast<std::size_t>(k)] = static_cast<int>(std::lround(m.Y(vy)));
        ++k;
    }
    e.x[static_cast<std::size_t>(k)] = -1;
    e.process = process_number(graph.project, &process);
    e.part = part_index;
    e.text = (process.name + "\n" + part.name).substr(0, HOVER_TEXT_MAX);
    graph.cache.resize(static_cast<std::size_t>(graph.cache_count));
    graph.cache.push_back(std::move(e));
    ++graph.cache_count;
}

void stroke_path(cairo_t* cr, const PixelPath& path) {
    if (path.x.empty()) return;
    cairo_move_to(cr, path.x[0], path.y[0]);
    for (std::size_t k = 1; k < path.x.size(); ++k) cairo_line_to(cr, path.x[k], path.y[k]);
}

bool is_current_part(const Graph& graph, const Process& process, int part_index) {
    const Project* p = graph.project;
    return p != nullptr && p->current_part == part_index &&
           p->current_process == process_number(p, &process);
}

void draw_part(Graph& graph, cairo_t* cr, const Process& process, int part_index,
               const CurveStyle& st) {
    const Part& part = *process.parts[static_cast<std::size_t>(part_index)];
    const PixelPath path = pixel_path(graph, part);
    draw_markers(graph, cr, st, path, std::min(part.steps, MAX_STEPS));
    add_cache_entry(graph, process, part_index, part);

    cairo_save(cr);
    set_dash(cr, part_line_style(process, part, st.line_style), graph.width);
    stroke_path(cr, path);
    if (is_current_part(graph, process, part_index)) {
        cairo_set_source_rgb(cr, 0, 0, 0);
        set_line_width(cr, st.line_width + 4);
        cairo_stroke_preserve(cr);
        cairo_set_source_rgb(cr, 1, 1, 1);
        set_line_width(cr, st.line_width + 2);
        cairo_stroke_preserve(cr);
    }
    set_color(cr, st.line_color);
    set_line_width(cr, graph.line_factor * st.line_width);
    cairo_stroke(cr);
    cairo_restore(cr);
}

}  // namespace

bool drawn_part(const Part& part) {
    return part.type != SPLITTER && part.type != OUTLET && part.state == PS_FINISHED;
}

void draw_dot(cairo_t* cr, int style, double s, double x, double y) {
    if (!std::isfinite(s) || !std::isfinite(x) || !std::isfinite(y)) return;
    const double d = s / STAR_SLANT;
    const double o = DIAGONAL * s;
    auto line = [cr](double x0, double y0, double x1, double y1) {
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        cairo_stroke(cr);
    };
    switch (style) {
        case 1:
            cairo_move_to(cr, x - s, y);
            cairo_line_to(cr, x - o, y + o);
            cairo_line_to(cr, x, y + s);
            cairo_line_to(cr, x + o, y + o);
            cairo_line_to(cr, x + s, y);
            cairo_line_to(cr, x + o, y - o);
            cairo_line_to(cr, x, y - s);
            cairo_line_to(cr, x - o, y - o);
            cairo_line_to(cr, x - s, y);
            break;
        case 2: cairo_rectangle(cr, x - s, y - s, 2 * s, 2 * s); break;
        case 3:
            cairo_move_to(cr, x - s, y);
            cairo_line_to(cr, x, y + s);
            cairo_line_to(cr, x + s, y);
            cairo_line_to(cr, x, y - s);
            cairo_line_to(cr, x - s, y);
            break;
        case 4:
            line(x - s, y, x + s, y);
            line(x, y - s, x, y + s);
            return;
        case 5:
            line(x - s, y - s, x + s, y + s);
            line(x + s, y - s, x - s, y + s);
            return;
        case 6:
            line(x - s, y, x + s, y);
            line(x, y - s, x, y + s);
            line(x - s, y - d, x + s, y + d);
            line(x + s, y - d, x - s, y + d);
            return;
        case 7:
            cairo_move_to(cr, x - s, y + s);
            cairo_line_to(cr, x, y - s);
            cairo_line_to(cr, x + s, y + s);
            cairo_line_to(cr, x - s, y + s);
            break;
        case 8:
            cairo_move_to(cr, x - s, y - s);
            cairo_line_to(cr, x, y + s);
            cairo_line_to(cr, x + s, y - s);
            cairo_line_to(cr, x - s, y - s);
            break;
        case 9:
            cairo_move_to(cr, x - s, y);
            cairo_line_to(cr, x + s, y - s);
            cairo_line_to(cr, x + s, y + s);
            cairo_line_to(cr, x - s, y);
            break;
        case 10:
            cairo_move_to(cr, x + s, y);
            cairo_line_to(cr, x - s, y - s);
            cairo_line_to(cr, x - s, y + s);
            cairo_line_to(cr, x + s, y);
            break;
        default: break;
    }
    cairo_stroke(cr);
}

namespace {

// Every process curve of the diagram.
void draw_curves(Graph& graph, cairo_t* cr) {
    const int curves = std::min(graph.az_curves, MAX_CURVES);
    for (int c = 0; c < curves; ++c) {
        const Process* process = graph.curves[static_cast<std::size_t>(c)];
        if (process == nullptr || process->az_parts <= 2) continue;
        const CurveStyle& st = graph.curve_style[static_cast<std::size_t>(c)];
        const int last = std::min(process->az_parts, MAX_PARTS) - 1;
        for (int i = 1; i < last; ++i) {
            const Part* part = process->parts[static_cast<std::size_t>(i)];
            if (part == nullptr || !drawn_part(*part)) continue;
            draw_part(graph, cr, *process, i, st);
        }
    }
}

}  // namespace

void draw_processes(Graph& graph, cairo_t* cr) {
    // A zoomed diagram keeps its curves inside the plot area: never over
    // the margins, the axis labels or the isoline legends.
    const Mapping m = mapping_of(graph);
    cairo_save(cr);
    if (m.usable) clip_to_plot(cr, m);
    draw_curves(graph, cr);
    cairo_restore(cr);
}

}  // namespace app::diagrams
