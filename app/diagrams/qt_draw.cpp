// The heat-flow-temperature picture: the hot stream right to left, the
// cold stream left to right, four boxed end temperatures, and circles
// where the cold stream starts to boil and becomes superheated, with the
// pinch point.
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/units.h"
#include "app/core/solver/simulator.h"
#include "app/diagrams/qt.h"
#include "app/diagrams/render.h"
#include "app/diagrams/text.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace app::diagrams {

namespace {

const char* const QT_FONT = "sans medium 8";
constexpr double MARK_RADIUS = 4;
constexpr double LABEL_GREY = 0.9;

struct Rgb {
    double r, g, b;
};
constexpr Rgb HOT{1, 0, 0};
constexpr Rgb COLD{0, 0, 1};
constexpr Rgb BLACK{0, 0, 0};

bool heat_flows(const Part& part) {
    const double total = part.heat[static_cast<std::size_t>(std::clamp(part.steps, 0, MAX_STEPS))];
    return std::isfinite(total) && total != 0;
}

// The hot stream's temperature where the cold stream has taken up Qm (the
// hot stream runs the other way); false when no step holds it.
bool hot_temperature_at(const Part& hot, double Qm, double efficiency, double& Th) {
    const int n = std::clamp(hot.steps, 0, MAX_STEPS);
    const double Qh = hot.heat[static_cast<std::size_t>(n)];
    for (int j = 1; j <= n; ++j) {
        const double q0 = hot.heat[static_cast<std::size_t>(j - 1)];
        const double q1 = hot.heat[static_cast<std::size_t>(j)];
        if (q1 == q0) continue;  // a step that transfers nothing
        if (!(Qh - q1 < Qm && Qm < Qh - q0)) continue;
        const double T0 = hot.T[static_cast<std::size_t>(j - 1)];
        const double T1 = hot.T[static_cast<std::size_t>(j)];
        Th = T0 + (T1 - T0) / (q1 - q0) * ((Qh - Qm / efficiency) - q0);
        return std::isfinite(Th);
    }
    return false;
}

const Part* part_of(const Project* project, int part_id) { return part_by_id(project, part_id); }

std::string temperature_text(double T) {
    const int u = unitdef[Q_TEMPERATURE].default_unit;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.1f %s", to_display(Q_TEMPERATURE, u, T),
                  unit_symbol(Q_TEMPERATURE, u));
    return buf;
}

// A temperature difference in the temperature unit (its factor, no offset).
std::string difference_text(double dT) {
    const int u = unitdef[Q_TEMPERATURE].default_unit;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.1f %s",
                  dT * to_display(Q_TEMPERATURE, u, 1.0) - to_display(Q_TEMPERATURE, u, 0.0),
                  unit_symbol(Q_TEMPERATURE, u));
    return buf;
}

// A boxed label: light grey box of the text's size plus 4, outlined in
// the colour, text in black at (tx, ty).
void boxed_label(cairo_t* cr, const Layout& text, double bx, double by, double tx, double ty,
                 const Rgb& outline, int f) {
    if (!std::isfinite(bx) || !std::isfinite(by)) return;
    cairo_rectangle(cr, clamp_pixel(bx), clamp_pixel(by), text.width + 4, text.height + 4);
    cairo_set_source_rgb(cr, LABEL_GREY, LABEL_GREY, LABEL_GREY);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, outline.r, outline.g, outline.b);
    set_line_width(cr, f);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    show_scaled_layout_at(cr, text, tx, ty);
}

// One stream over the relative heat (reversed for the hot stream).
void draw_qt_line(const Graph& g, cairo_t* cr, const Mapping& m, const Part& part, bool reverse) {
    const int n = std::clamp(part.steps, 0, MAX_STEPS);
    const double Qn = part.heat[static_cast<std::size_t>(n)];
    bool started = false;
    for (int i = 0; i <= n; ++i) {
        const double Q = part.heat[static_cast<std::size_t>(i)];
        const double x = reverse ? (Qn - Q) / Qn : Q / Qn;
        const double px = m.X(x), py = m.Y(part.T[static_cast<std::size_t>(i)]);
        if (!std::isfinite(px) || !std::isfinite(py)) continue;
        if (started)
            cairo_line_to(cr, clamp_pixel(px), clamp_pixel(py));
        else
            cairo_move_to(cr, clamp_pixel(px), clamp_pixel(py));
        started = true;
    }
    set_line_width(cr, g.line_factor);
    cairo_stroke(cr);
}

void draw_end_labels(const Graph& g, cairo_t* cr, const Mapping& m, const Part& hot,
                     const Part& cold) {
    const int f = g.line_factor;
    const double s = g.font_scale;
    const auto T = [](const Part& p, int i) { return p.T[static_cast<std::size_t>(i)]; };
    const int nh = std::clamp(hot.steps, 0, MAX_STEPS), nc = std::clamp(cold.steps, 0, MAX_STEPS);
    {
        Layout t(cr, "Hot side \n" + hot.name + "\nT in: " + temperature_text(T(hot, 0)), QT_FONT,
                 s);
        const double x = m.X(1), y = m.Y(T(hot, 0));
        boxed_label(cr, t, x - t.width - 4, y - t.height - 6, x - t.width - 2, y - t.height - 4,
                    HOT, f);
    }
    {
        Layout t(cr, "Hot side \n" + hot.name + "\nT out: " + temperature_text(T(hot, nh)), QT_FONT,
                 s);
        const double x = m.X(0), y = m.Y(T(hot, nh));
        boxed_label(cr, t, x + 2, y - t.height - 36, x + 4, y - t.height - 32, HOT, f);
    }
    {
        Layout t(cr, "Cold side \n" + cold.name + "\nT in: " + temperature_text(T(cold, 0)),
                 QT_FONT, s);
        const double x = m.X(0), y = m.Y(T(cold, 0));
        boxed_label(cr, t, x + 2, y + 2, x + 4, y + 4, COLD, f);
    }
    {
        Layout t(cr, "Cold side \n" + cold.name + "\nT out: " + temperature_text(T(cold, nc)),
                 QT_FONT, s);
        const double x = m.X(1), y = m.Y(T(cold, nc));
        boxed_label(cr, t, x - t.width - 6, y + 42, x - t.width - 4, y + 44, COLD, f);
    }
}

void draw_mark(const Graph& g, cairo_t* cr, const Mapping& m, const QtMark& mark) {
    const int f = g.line_factor;
    const double x = m.X(mark.x), y = m.Y(mark.T);
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    cairo_set_source_rgb(cr, 0, 0, 0);
    set_line_width(cr, f);
    cairo_move_to(cr, clamp_pixel(x), clamp_pixel(y));
    cairo_arc(cr, clamp_pixel(x), clamp_pixel(y), MARK_RADIUS * f, 0, 2 * M_PI);
    cairo_stroke(cr);
    if (!mark.pinch) return;
    const double yh = m.Y(mark.T_hot);
    if (std::isfinite(yh)) {
        cairo_move_to(cr, clamp_pixel(x), clamp_pixel(y));
        cairo_line_to(cr, clamp_pixel(x), clamp_pixel(yh));
        cairo_stroke(cr);
    }
    Layout t(cr,
             "Pinch point\nT: " + temperature_text(mark.T) +
                 "\nDelta T: " + difference_text(mark.T_hot - mark.T),
             QT_FONT, g.font_scale);
    boxed_label(cr, t, x - t.width / 2.0 - 2, y + 22, x - t.width / 2.0, y + 24, BLACK, f);
}

// The saturation temperature of the cold process's fluid by the library;
// nothing while the library is busy (the drawing is then deferred).
SaturationFn library_saturation(Fluid* fluid) {
    return [fluid](double p, double q, double& T) {
        if (library_busy.load() > 0) {
            drawing_deferred = 1;
            return false;
        }
        if (fluid == nullptr || init_stoffwerte(fluid) == 0) return false;
        double s = 0, h = 0, rho = 0, qq = q;
        T = 0;
        return get_all_by_p_and_q(fluid->x.data(), T, p, s, h, rho, qq) == 0;
    };
}

Fluid* process_fluid(const Project* project, int process_id) {
    if (project == nullptr) return nullptr;
    for (int i = 0; i < project->az_processes && i < MAX_PROCESSES; ++i) {
        const Process* p = project->processes[static_cast<std::size_t>(i)];
        if (p != nullptr && p->id == process_id) return p->fluid;
    }
    return nullptr;
}

}  // namespace

bool qt_parts(const Graph& graph, const Part*& hot, const Part*& cold) {
    hot = cold = nullptr;
    if (graph.interface == nullptr) return false;
    hot = part_of(graph.project, graph.interface->hot_part_id);
    cold = part_of(graph.project, graph.interface->cold_part_id);
    return hot != nullptr && cold != nullptr && hot->state == PS_FINISHED &&
           cold->state == PS_FINISHED;
}

std::vector<QtMark> qt_marks(const Part& hot, const Part& cold, double efficiency,
                             const SaturationFn& saturation) {
    std::vector<QtMark> marks;
    if (!heat_flows(hot) || !heat_flows(cold)) return marks;
    if (!(efficiency > 0) || !std::isfinite(efficiency)) efficiency = 1;
    const int nc = std::clamp(cold.steps, 0, MAX_STEPS), nh = std::clamp(hot.steps, 0, MAX_STEPS);
    const double Qc = cold.heat[static_cast<std::size_t>(nc)];
    const auto at = [](const auto& a, int i) { return a[static_cast<std::size_t>(i)]; };
    const double end_hot = std::fabs(at(cold.T, 0) - at(hot.T, nh));
    const double end_cold = std::fabs(at(cold.T, nc) - at(hot.T, 0));
    for (int i = 2; i <= nc; ++i) {
        const double q0 = at(cold.q, i - 1), q1 = at(cold.q, i);
        const bool boils = q0 < 0 && q1 > 0;
        const bool superheats = q0 < 1 && q1 > 1;
        if (!boils && !superheats) continue;
        const double pm = (at(cold.p, i - 1) + at(cold.p, i)) / 2;
        const double Qm = (at(cold.heat, i - 1) + at(cold.heat, i)) / 2;
        for (const bool boiling : {true, false}) {
            if (boiling ? !boils : !superheats) continue;
            QtMark mark;
            mark.boiling = boiling;
            mark.x = Qm / Qc;
            if (!saturation(pm, boiling ? 0.0 : 1.0, mark.T) || !std::isfinite(mark.T) ||
                !std::isfinite(mark.x))
                continue;
            double Th = 0;
            if (boiling && hot_temperature_at(hot, Qm, efficiency, Th)) {
                const double dT = std::fabs(mark.T - Th);
                mark.pinch = dT < end_hot && dT < end_cold;
                mark.T_hot = Th;
            }
            marks.push_back(mark);
        }
    }
    return marks;
}

void draw_qt(Graph& graph, cairo_t* cr) {
    const Part* hot = nullptr;
    const Part* cold = nullptr;
    if (!qt_parts(graph, hot, cold)) return;
    const double end = 1.1 * hot->T[0];
    if (std::isfinite(end) && end != graph.y_axis.max_pos) {
        graph.y_axis.max_pos = end;  // follows the hot inlet on every drawing
        redraw = 1;                  // the axes are drawn again with it
        return;
    }
    const Mapping m = mapping_of(graph);
    if (!m.usable || !heat_flows(*hot) || !heat_flows(*cold)) return;
    cairo_set_source_rgb(cr, HOT.r, HOT.g, HOT.b);
    draw_qt_line(graph, cr, m, *hot, true);
    cairo_set_source_rgb(cr, COLD.r, COLD.g, COLD.b);
    draw_qt_line(graph, cr, m, *cold, false);
    draw_end_labels(graph, cr, m, *hot, *cold);
    const double e = graph.interface->inputs[II_HEAT_TRANSFER_EFFICIENCY];
    const SaturationFn sat =
        library_saturation(process_fluid(graph.project, graph.interface->cold_process_id));
    for (const QtMark& mark : qt_marks(*hot, *cold, e, sat)) draw_mark(graph, cr, m, mark);
}

}  // namespace app::diagrams
