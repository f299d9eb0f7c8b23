// Constructors, ids, the part table and the free functions of the project
// records.
#include "app/core/model/create_delete.h"

#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"

#include <algorithm>

namespace app {

std::array<Project*, MAX_PROJECTS> project_list{};
Project* current_project = nullptr;
Fluid* current_fluid = nullptr;

int new_part_id = 0;
int new_process_id = 100000;
int new_interface_id = 10000;
int interface_name_counter = 1;
void (*on_project_freed)() = nullptr;

namespace {

template <std::size_t N>
void default_units(std::array<int, N>& units, const std::array<ValueDef, N>& table) {
    for (std::size_t i = 0; i < N; ++i) units[i] = unitdef[sz(table[i].quantity)].default_unit;
}

template <std::size_t N>
void default_values(std::array<double, N>& values, const std::array<ValueDef, N>& table) {
    for (std::size_t i = 0; i < N; ++i) values[i] = table[i].default_value;
}

}  // namespace

int default_steps(int type) {
    switch (type) {
        case MIXER:
        case SPLITTER: return 3;
        case COMBUSTOR:
        case OXYGEN_INJECTION_COMBUSTOR: return 1;
        default: return 100;
    }
}

Project* create_project() {
    auto* project = new Project{};
    project->part_table.assign(sz(PART_TABLE_START), nullptr);
    default_units(project->total_units, project_output_values_def);
    project->current_part = -1;
    project->current_process = -1;
    project->current_interface = -1;
    return project;
}

Process* create_process(int empty) {
    auto* process = new Process{};
    process->id = new_process_id++;
    process->fluid = fluids[FLUID_DRY_ISO_AIR];
    default_values(process->inputs, process_input_values_def);
    default_units(process->input_units, process_input_values_def);
    default_units(process->output_units, process_output_values_def);
    if (empty == 0) {
        Part* inlet = create_part(INLET);
        Part* outlet = create_part(OUTLET);
        inlet->next_id[0] = outlet->id;
        outlet->prev_id[0] = inlet->id;
        process->parts[0] = inlet;
        process->parts[1] = outlet;
        process->az_parts = 2;
    }
    return process;
}

Part* create_part(int type) {
    if (type < 0 || type > PLACEHOLDER_PART) return nullptr;
    auto* part = new Part{};
    part->type = type;
    part->fuel = fluids[FLUID_METHANE];
    part->oxidizer = fluids[FLUID_OXYGEN];
    part->options[OPT_EFFICIENCY] = 1;        // Polytropic
    part->options[OPT_CALCULATION_MODE] = 1;  // Fixed Outlet Temperature
    default_values(part->inputs, part_input_values_def);
    default_units(part->input_units, part_input_values_def);
    default_units(part->output_units, part_output_values_def);
    part->steps = default_steps(type);
    part->segmentation = 1;
    part->state = PS_NEW;
    if (type == PLACEHOLDER_PART) return part;

    const PartType& pt = part_types[sz(type)];
    part->part_type = &pt;
    part->icon = pt.icon;
    if (type == INLET || current_project == nullptr) {
        part->name = pt.name;
    } else {
        int n = ++current_project->name_counters[sz(type)];
        part->name = std::string(pt.name) + " " + std::to_string(n);
    }
    if (current_project != nullptr) {
        const std::vector<Part*>& table = current_project->part_table;
        int id = 1;
        while (id < static_cast<int>(table.size()) && table[sz(id)] != nullptr) ++id;
        if (store_part_pointer(part, id) == 0) {
            part->id = id;
            new_part_id = id;
        }
    }
    return part;
}

Interface* create_interface() {
    auto* itf = new Interface{};
    itf->name = "Interface " + std::to_string(interface_name_counter++);
    itf->id = new_interface_id++;
    default_values(itf->inputs, interface_input_values_def);
    default_units(itf->input_units, interface_input_values_def);
    default_units(itf->output_units, interface_output_values_def);
    itf->shown_inputs[0] = II_SPECIFIC_HEAT_FLUX_HOT;
    itf->shown_inputs[1] = II_INITIAL_TEMPERATURE_DIFFERENCE;
    itf->shown_inputs[2] = II_HEAT_TRANSFER_EFFICIENCY;
    itf->shown_inputs[3] = II_MINIMUM_DELTA_TEMPERATURE;
    itf->az_shown_inputs = 4;
    itf->grid_row = -1;
    return itf;
}

void graph_set_default_settings(Graph& graph) {
    struct FamilyDefault {
        Color color;
        int quantity;
    };
    static constexpr FamilyDefault defaults[NUM_ISO_FAMILIES] = {
        {{0, 0, 0, 0xFFFF}, Q_PRESSURE},
        {{0, 0, 0x9999, 0x9999}, Q_TEMPERATURE},
        {{0, 0x9999, 0, 0x9999}, Q_DENSITY},
        {{0, 0xFFFF, 0, 0}, Q_RELATIVE_VALUE},
    };
    for (int f = 0; f < NUM_ISO_FAMILIES; ++f) {
        IsolineStyle& st = graph.iso_style[sz(f)];
        st.color = defaults[f].color;
        st.width = 0.5;
        st.show = 1;
        st.unit = unitdef[sz(defaults[f].quantity)].default_unit;
        st.font = "sans medium 8";
    }
    graph.sat_color = Color{0, 0xFFFF, 0, 0};
    graph.sat_width = 1.5;
}

Graph* create_graph() {
    auto* graph = new Graph{};
    graph_set_default_settings(*graph);
    graph->font_scale = 1.0;
    graph->hover_process = -1;
    graph->hover_part = -1;
    graph->line_factor = 1;
    graph->show_tp = 1;
    graph->show_inputs = 1;
    graph->show_names = 1;
    graph->cell_size = 32;
    graph->symbol_zoom = 1.0;
    return graph;
}

int store_part_pointer(Part* part, int id) {
    if (current_project == nullptr || id < 1 || id > MAX_PART_ID) return -1;
    std::vector<Part*>& table = current_project->part_table;
    if (sz(id) >= table.size()) {
        std::size_t capacity = std::max<std::size_t>(table.size(), sz(PART_TABLE_START));
        while (capacity <= sz(id)) capacity *= 2;
        table.resize(capacity, nullptr);
    }
    table[sz(id)] = part;
    return 0;
}

Part* part_by_id(const Project* project, int id) {
    if (project == nullptr || id < 1 || sz(id) >= project->part_table.size()) return nullptr;
    return project->part_table[sz(id)];
}

int append_process(Project& project, Process* process) {
    if (process == nullptr || project.az_processes < 0 || project.az_processes >= MAX_PROCESSES)
        return -1;
    project.processes[sz(project.az_processes)] = process;
    return project.az_processes++;
}

int append_interface(Project& project, Interface* interface) {
    if (interface == nullptr || project.az_interfaces < 0 ||
        project.az_interfaces >= MAX_INTERFACES)
        return -1;
    project.interfaces[sz(project.az_interfaces)] = interface;
    return project.az_interfaces++;
}

int append_graph(Project& project, Graph* graph) {
    if (graph == nullptr) return -1;
    for (int slot = 1; slot < MAX_GRAPHS; ++slot) {
        if (project.graphs[sz(slot)] == nullptr) {
            project.graphs[sz(slot)] = graph;
            ++project.az_graphs;
            return slot;
        }
    }
    return -1;
}

int append_part(Process& process, Part* part) {
    return insert_part(process, process.az_parts, part);
}

int insert_part(Process& process, int position, Part* part) {
    int n = process.az_parts;
    if (part == nullptr || n < 0 || n >= MAX_PARTS || position < 0 || position > n) return -1;
    for (int i = n; i > position; --i) process.parts[sz(i)] = process.parts[sz(i - 1)];
    process.parts[sz(position)] = part;
    process.az_parts = n + 1;
    return position;
}

Part* remove_part(Process& process, int position) {
    int n = process.az_parts;
    if (position < 0 || position >= n || n > MAX_PARTS) return nullptr;
    Part* part = process.parts[sz(position)];
    for (int i = position; i + 1 < n; ++i) process.parts[sz(i)] = process.parts[sz(i + 1)];
    process.parts[sz(n - 1)] = nullptr;
    process.az_parts = n - 1;
    return part;
}

int append_curve(Graph& graph, Process* process, const CurveStyle& style) {
    if (process == nullptr || graph.az_curves < 0 || graph.az_curves >= MAX_CURVES) return -1;
    graph.curves[sz(graph.az_curves)] = process;
    graph.curve_style[sz(graph.az_curves)] = style;
    return graph.az_curves++;
}

int project_list_add(Project* project) {
    if (project == nullptr) return -1;
    for (int i = 0; i < MAX_PROJECTS - 1; ++i) {
        if (project_list[sz(i)] == project) return -1;
        if (project_list[sz(i)] == nullptr) {
            project_list[sz(i)] = project;
            return i;
        }
    }
    return -1;
}

bool project_list_remove(const Project* project) {
    if (project == nullptr) return false;
    auto it = std::find(project_list.begin(), project_list.end(), project);
    if (it == project_list.end()) return false;
    std::move(it + 1, project_list.end(), it);
    project_list.back() = nullptr;
    return true;
}

void log_append(std::string& log, std::string_view text) { log.append(text); }

void free_part(Part* part) {
    if (part == nullptr) return;
    if (current_project != nullptr && part->id >= 1 &&
        sz(part->id) < current_project->part_table.size() &&
        current_project->part_table[sz(part->id)] == part)
        current_project->part_table[sz(part->id)] = nullptr;
    delete part;
}

void free_process(Process* process) {
    if (process == nullptr) return;
    for (Part*& part : process->parts) {
        free_part(part);
        part = nullptr;
    }
    if (process->exhaust != nullptr && current_fluid == process->exhaust.get())
        current_fluid = nullptr;
    delete process;
}

void free_interface(Interface* interface) { delete interface; }

void free_graph(Graph* graph) { delete graph; }

void free_project(Project* project) {
    if (project == nullptr) return;
    project->part_table.clear();  // the parts are freed through their processes
    for (Process*& process : project->processes) {
        free_process(process);
        process = nullptr;
    }
    for (Interface*& itf : project->interfaces) {
        free_interface(itf);
        itf = nullptr;
    }
    for (Graph*& graph : project->graphs) {
        free_graph(graph);
        graph = nullptr;
    }
    // No global may keep pointing at the freed record.
    project_list_remove(project);
    if (current_project == project) current_project = nullptr;
    delete project;
    if (on_project_freed != nullptr) on_project_freed();
}

}  // namespace app
