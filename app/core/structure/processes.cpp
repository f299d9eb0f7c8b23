// Processes as the tree and its dialogs make and remove them: a new process
// with its inlet values, deleting a process with what refers to it,
// removing interfaces and diagrams, a new working fluid, and the rule that
// keeps mass flow and standard volume flow in step.
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/bounds.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/structure/structure.h"
#include "app/core/structure/structure_steps.h"
#include "app/core/structure/tree_model.h"

#include "app/core/program/text_output.h"

#include <algorithm>

namespace app {

using structure_steps::CurrentProject;

namespace {

// Outlet-temperature choice of a free heat exchanger after its interface goes.
constexpr int SPECIFIC_HEAT_FLUX = 1;
// Diagram type that draws every process whatever its fluid.
constexpr int PT_DIAGRAM = 4;
// The heat-flow-temperature diagram of an interface.
constexpr int QT_DIAGRAM = 5;

// Takes curve `index` out of the diagram; later curves move up.
void remove_curve(Graph& graph, int index) {
    for (int c = index; c + 1 < graph.az_curves; ++c) {
        graph.curves[sz(c)] = graph.curves[sz(c + 1)];
        graph.curve_style[sz(c)] = graph.curve_style[sz(c + 1)];
    }
    graph.curves[sz(graph.az_curves - 1)] = nullptr;
    graph.curve_style[sz(graph.az_curves - 1)] = CurveStyle{};
    --graph.az_curves;
}

}  // namespace

bool interface_uses_process(const Interface& itf, const Process& process) {
    return itf.hot_process_id == process.id || itf.cold_process_id == process.id ||
           part_index_in(process, itf.hot_part_id) >= 0 ||
           part_index_in(process, itf.cold_part_id) >= 0;
}

CurveStyle default_curve_style() {
    CurveStyle st;
    st.line_style = 0;
    st.line_width = 3.0;
    st.dot_style = 1;
    st.dot_size = 4;
    st.small_dot_style = 0;
    st.small_dot_size = 1;
    return st;
}

NewProcessValues new_process_defaults(const Project& project, Fluid* fluid) {
    NewProcessValues v;
    v.name = "Process " + std::to_string(project.az_processes + 1);
    v.fluid = fluid;
    for (int i = 0; i < NUM_PROCESS_INPUTS; ++i) {
        const ValueDef& def = process_input_values_def[sz(i)];
        v.values[sz(i)] = def.default_value;
        v.units[sz(i)] = unitdef[sz(def.quantity)].default_unit;
    }
    if (fluid != nullptr)
        v.values[PRI_STANDARD_VOLUME_FLOW] =
            get_stdv_from_massflow(v.values[PRI_MASSFLOW], fluid, v.values[PRI_TEMPERATURE],
                                   v.values[PRI_PRESSURE], v.values[PRI_HUMIDITY]);
    return v;
}

Process* add_new_process(Project& project, const NewProcessValues& values, std::string& refusal) {
    if (project.az_processes >= MAX_PROCESSES) {
        refusal = "A project holds at most " + std::to_string(MAX_PROCESSES) + " processes.";
        return nullptr;
    }
    CurrentProject as_current(project);
    Process* process = create_process(0);
    process->name = values.name;
    if (values.fluid != nullptr) process->fluid = values.fluid;
    for (int i = 0; i < NUM_PROCESS_INPUTS; ++i) {
        process->inputs[sz(i)] = values.values[sz(i)];
        if (valid_unit(process_input_values_def[sz(i)].quantity, values.units[sz(i)]))
            process->input_units[sz(i)] = values.units[sz(i)];
    }
    for (int i = 0; i < process->az_parts; ++i) process->parts[sz(i)]->fluid = process->fluid;
    const int index = append_process(project, process);
    project.current_process = index;
    project.current_part = 0;
    project.current_interface = -1;
    project.changed = 1;
    for (int g = 1; g < MAX_GRAPHS; ++g) {
        Graph* graph = project.graphs[sz(g)];
        if (graph == nullptr) break;
        if (graph->kind != GK_DIAGRAM || graph->type == QT_DIAGRAM) continue;
        if (graph->fluid == process->fluid || graph->type == PT_DIAGRAM)
            append_curve(*graph, process, default_curve_style());
    }
    return process;
}

void remove_process_curves(Project& project, const Process* process) {
    for (Graph* graph : project.graphs) {
        if (graph == nullptr) continue;
        for (int c = graph->az_curves - 1; c >= 0; --c)
            if (graph->curves[sz(c)] == process) remove_curve(*graph, c);
        if (graph->hover_process >= 0) graph->hover_process = -1;
        graph->cache.clear();
        graph->cache_count = 0;
    }
}

std::optional<std::vector<Part*>> remove_interface(Project& project, int index) {
    if (index < 0 || index >= project.az_interfaces) return std::nullopt;
    Interface* itf = project.interfaces[sz(index)];
    std::vector<Part*> freed;
    for (int id : {itf->hot_part_id, itf->cold_part_id}) {
        if (get_part_num_by_part_id(&project, id) < 1) continue;
        Part* part = part_by_id(&project, id);
        if (part == nullptr) continue;
        part->options[OPT_OUTLET_TEMPERATURE] = SPECIFIC_HEAT_FLUX;
        part->icon = part->part_type != nullptr ? part->part_type->icon : "My_heatexchanger";
        compute_shown_inputs(*part);  // the outlet-temperature row shows its input again
        freed.push_back(part);
    }
    for (Graph* graph : project.graphs)
        if (graph != nullptr && graph->interface == itf) graph->interface = nullptr;
    for (int i = index; i + 1 < project.az_interfaces; ++i)
        project.interfaces[sz(i)] = project.interfaces[sz(i + 1)];
    project.interfaces[sz(project.az_interfaces - 1)] = nullptr;
    --project.az_interfaces;
    free_interface(itf);
    project.current_interface = -1;
    project.changed = 1;
    return freed;
}

bool remove_graph(Project& project, int slot) {
    if (slot < 1 || slot >= MAX_GRAPHS || project.graphs[sz(slot)] == nullptr) return false;
    Graph* graph = project.graphs[sz(slot)];
    if (project.current_graph == graph) project.current_graph = nullptr;
    for (int g = slot; g + 1 < MAX_GRAPHS; ++g) project.graphs[sz(g)] = project.graphs[sz(g + 1)];
    project.graphs[MAX_GRAPHS - 1] = nullptr;
    --project.az_graphs;
    free_graph(graph);
    project.changed = 1;
    return true;
}

bool delete_process(Project& project, int process_id) {
    const int index = get_process_num_by_id(&project, process_id);
    if (index < 0) return false;
    Process* process = project.processes[sz(index)];
    for (int i = project.az_interfaces - 1; i >= 0; --i)
        if (interface_uses_process(*project.interfaces[sz(i)], *process))
            remove_interface(project, i);
    remove_process_curves(project, process);
    for (int p = index; p + 1 < project.az_processes; ++p)
        project.processes[sz(p)] = project.processes[sz(p + 1)];
    project.processes[sz(project.az_processes - 1)] = nullptr;
    --project.az_processes;
    {
        CurrentProject as_current(project);
        free_process(process);
    }
    project.current_process = -1;
    project.current_part = -1;
    project.changed = 1;
    return true;
}

void set_process_fluid(Project& project, Process& process, Fluid* fluid) {
    if (fluid == nullptr) return;
    project.changed = 1;
    process.fluid = fluid;
    process.done = 0;
    for (int i = 0; i < process.az_parts; ++i) {
        Part& part = *process.parts[sz(i)];
        part.fluid = fluid;
        if (i > 0) part.state = PS_PENDING;
    }
    remove_process_curves(project, &process);
}

int change_fluid(Fluid* fluid) {
    if (current_project == nullptr) current_project = project_list[0];
    Project* project = current_project;
    if (project == nullptr || fluid == nullptr || project->az_processes <= 0) return -1;
    int p = project->current_process;
    if (p < 0 || p >= project->az_processes) p = 0;
    set_process_fluid(*project, *project->processes[sz(p)], fluid);
    return p;
}

void apply_inlet_rule(std::array<double, NUM_PROCESS_INPUTS>& v, Fluid* fluid, int edited,
                      bool massflow_fixed) {
    if (fluid == nullptr || fluid->humidity_type != HT_RH_INLET) v[PRI_HUMIDITY] = 0;
    if (fluid == nullptr) return;
    const bool from_massflow =
        edited == PRI_MASSFLOW || (edited != PRI_STANDARD_VOLUME_FLOW && massflow_fixed);
    const double T = v[PRI_TEMPERATURE];
    const double p = v[PRI_PRESSURE];
    const double phi = v[PRI_HUMIDITY];
    if (from_massflow)
        v[PRI_STANDARD_VOLUME_FLOW] = get_stdv_from_massflow(v[PRI_MASSFLOW], fluid, T, p, phi);
    else
        v[PRI_MASSFLOW] = get_massflow_from_stdv(v[PRI_STANDARD_VOLUME_FLOW], fluid, T, p, phi);
}

}  // namespace app

namespace app {

TypedSpinValue read_new_process_value(int row, int unit, std::string_view text, double lo,
                                      double hi) {
    TypedSpinValue r;
    if (row < 0 || row >= NUM_PROCESS_INPUTS) return r;
    const ValueDef& def = process_input_values_def[sz(row)];
    double internal = 0.0;
    int read_unit = unit;
    std::string_view unit_name;
    const int code = parse_value_with_unit(def, text, internal, read_unit, &unit_name);
    const std::string field = std::string(def.name) + ": '" + std::string(text) + "'";
    if (code == RV_NO_NUMBER) {
        r.message = field + " is not a number; the value is kept.";
        return r;
    }
    if (code == RV_UNKNOWN_UNIT) {
        r.message = field + ": '" + std::string(unit_name) + "' is not a unit of " +
                    unitdef[sz(def.quantity)].name + " (" + unit_list(def.quantity) +
                    "); the value is kept.";
        return r;
    }
    if (std::string why = bounds_problem(def, internal); !why.empty()) {
        r.message = field + " is refused: " + why + "; the value is kept.";
        return r;
    }
    const double shown = to_display(def.quantity, unit, internal);
    if (!(shown >= lo) || !(shown <= hi)) {
        const char* symbol = unit_symbol(def.quantity, unit);
        r.message = field + " is refused: the fluid takes " + format_text("%.6g", lo) + " to " +
                    format_text("%.6g", hi) + " " + symbol + "; the value is kept.";
        return r;
    }
    r.ok = true;
    r.shown = shown;
    return r;
}

}  // namespace app
