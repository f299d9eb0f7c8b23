// New diagrams: the property diagram of a fluid and the QT diagram of an
// interface, ready for their first drawing.
#include "app/diagrams/new_graph.h"

#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/units.h"
#include "app/core/structure/structure.h"
#include "app/diagrams/mapping.h"

#include <algorithm>
#include <cmath>

namespace app::diagrams {

namespace {

constexpr double QT_Y_HEADROOM = 1.1;
constexpr double QT_Y_STEP = 100;
constexpr double QT_Y_START_SECOND_UNIT = 0.15;  // °C as the default temperature unit
constexpr double QT_X_STEP = 0.1;
constexpr const char* QT_X_LABEL = "Relative Transferred Heat";
constexpr int SECOND_UNIT = 1;

std::string slots_full_text() {
    return "The project holds " + std::to_string(MAX_GRAPHS - 1) +
           " diagrams, as many as it can. Delete a diagram before creating another.";
}

bool changes_composition(const Process& process) {
    const int n = std::min(process.az_parts, MAX_PARTS);
    for (int i = 0; i < n; ++i) {
        const Part* part = process.parts[static_cast<std::size_t>(i)];
        if (part == nullptr) continue;
        if (part->type == COMBUSTOR || part->type == OXYGEN_INJECTION_COMBUSTOR ||
            part->type == WATER_SEPARATOR)
            return true;
    }
    return false;
}

// Puts a new record into the first free diagram slot; null (nothing kept)
// when every slot is taken.
Graph* new_slot(Project& project, std::string& refusal) {
    Graph* graph = create_graph();
    if (append_graph(project, graph) < 0) {
        free_graph(graph);
        refusal = slots_full_text();
        return nullptr;
    }
    graph->project = &project;
    graph->kind = GK_DIAGRAM;
    return graph;
}

}  // namespace

std::vector<Fluid*> project_fluids(const Project& project) {
    std::vector<Fluid*> out;
    const int n = std::min(project.az_processes, MAX_PROCESSES);
    for (int i = 0; i < n; ++i) {
        const Process* process = project.processes[static_cast<std::size_t>(i)];
        if (process == nullptr || process->fluid == nullptr) continue;
        if (std::find(out.begin(), out.end(), process->fluid) == out.end())
            out.push_back(process->fluid);
    }
    return out;
}

CurveStyle curve_style_for(const Process& process) {
    CurveStyle st = default_curve_style();
    if (changes_composition(process)) st.line_style = COMPOSITION_CHANGE_LINE_STYLE;
    return st;
}

NewGraph new_property_graph(Project& project, Fluid* fluid, int type, IsolineProgress* progress) {
    NewGraph out;
    if (fluid == nullptr || type < 0 || type >= static_cast<int>(GRAPH_TYPE_NAMES.size())) {
        out.refusal = "No diagram was created: choose a fluid and a plot type.";
        return out;
    }
    // The isolines first: they also set the full ranges of the fluid's
    // default axes, which the new axes copy.
    calc_isolines(*fluid, progress);
    Graph* graph = new_slot(project, out.refusal);
    if (graph == nullptr) return out;
    graph->fluid = fluid;
    graph->type = type;
    graph->name = std::string(GRAPH_TYPE_NAMES[static_cast<std::size_t>(type)]) + " " + fluid->name;
    int left_out = 0;
    const int n = std::min(project.az_processes, MAX_PROCESSES);
    for (int i = 0; i < n; ++i) {
        Process* process = project.processes[static_cast<std::size_t>(i)];
        if (process == nullptr || (type != PT_GRAPH_TYPE && process->fluid != fluid)) continue;
        if (append_curve(*graph, process, curve_style_for(*process)) < 0) ++left_out;
    }
    if (left_out > 0)
        out.note = "The diagram \"" + graph->name + "\" shows the first " +
                   std::to_string(MAX_CURVES) + " processes; " + std::to_string(left_out) +
                   (left_out == 1 ? " process is" : " processes are") + " not drawn.";
    init_iso_settings(*graph);
    init_axis(*graph);
    out.graph = graph;
    return out;
}

NewGraph new_qt_graph(Project& project, Interface& interface) {
    NewGraph out;
    if (interface.status.load() != IS_CONVERGED) {
        out.refusal = "The QT diagram of " + interface.name +
                      " can be made once the interface has been calculated and has converged.";
        return out;
    }
    if (project.az_processes < 1 || project.processes[0] == nullptr) {
        out.refusal = "The project has no process to draw.";
        return out;
    }
    Graph* graph = new_slot(project, out.refusal);
    if (graph == nullptr) return out;
    graph->fluid = project.processes[0]->fluid;
    graph->name = "QT-diagram " + interface.name;
    graph->type = QT_GRAPH_TYPE;
    for (IsolineStyle& style : graph->iso_style) style.show = 0;
    graph->interface = &interface;
    init_axis(*graph);
    set_qt_axes(*graph, part_by_id(&project, interface.hot_part_id));
    out.graph = graph;
    return out;
}

void set_qt_axes(Graph& graph, const Part* hot) {
    Axis& x = graph.x_axis;
    x.min_value = x.min_pos = 0;
    x.max_value = x.max_pos = 1;
    x.step = QT_X_STEP;
    x.label = QT_X_LABEL;
    Axis& y = graph.y_axis;
    y.step = QT_Y_STEP;
    if (hot == nullptr) return;
    const double top = std::max(hot->T[0], hot->T[1]);
    if (!std::isfinite(top) || !(top > 0)) return;
    y.max_value = y.max_pos = QT_Y_HEADROOM * top;
    const bool second_unit = unitdef[Q_TEMPERATURE].default_unit == SECOND_UNIT;
    y.min_value = y.min_pos = second_unit ? QT_Y_START_SECOND_UNIT : 0;
}

}  // namespace app::diagrams
