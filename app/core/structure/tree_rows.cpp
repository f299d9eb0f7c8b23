// The rows of the project tree and the result cells written after a
// calculation.
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/structure/structure.h"
#include "app/core/structure/tree_model.h"

namespace app {

namespace {

// Looks of the row kinds.
struct Look {
    const char* icon;
    const char* colour;
    const char* font;
};
constexpr Look TOP{"gtk-directory", "black", "bold"};
constexpr Look TOTAL{"My_result", "darkcyan", ""};
constexpr Look PROCESS{"gtk-directory", "darkred", "bold"};
constexpr Look INLET_FOLDER{"gtk-directory", "darkgreen", "italic"};
constexpr Look INLET_CHOICE{"My_listselect", "darkgreen", ""};
constexpr Look INLET_VALUE{"My_edit", "darkgreen", ""};
constexpr Look PARTS_FOLDER{"gtk-directory", "darkred", "italic"};
constexpr Look OPTIONS_FOLDER{"gtk-directory", "darkblue", "italic"};
constexpr Look OPTION{"My_listselect", "darkblue", ""};
constexpr Look INPUT_FOLDER{"gtk-directory", "darkmagenta", "italic"};
constexpr Look INPUT{"My_edit", "darkmagenta", ""};
constexpr Look RESULTS_FOLDER{"gtk-directory", "darkcyan", "italic"};
constexpr Look RESULT_GROUP{"gtk-directory", "brown", ""};
constexpr Look RESULT{"My_result", "darkcyan", ""};
constexpr Look INTERFACE{"My_interface", "darkred", "bold"};
constexpr Look INTERFACE_RESULT{"My_edit", "darkcyan", ""};
constexpr const char* RESULT_COLOUR = "darkcyan";
constexpr const char* NOT_SHOWN = " - ";

// Outlet-temperature choice of a heat exchanger that an interface drives.
constexpr int DETERMINED_BY_INTERFACE = 2;

TreeRow folder(const char* name, const Look& look) {
    TreeRow r;
    r.icon = look.icon;
    r.name = name;
    r.name_colour = look.colour;
    r.name_font = look.font;
    return r;
}

TreeRow leaf(const std::string& name, const Look& look, const std::string& value, bool editable) {
    TreeRow r = folder("", look);
    r.name = name;
    r.value = value;
    r.editable = editable;
    r.value_visible = true;
    return r;
}

TreeRow result_leaf(const std::string& name, const Look& look, const std::string& value) {
    TreeRow r = leaf(name, look, value, false);
    r.value_colour = RESULT_COLOUR;
    return r;
}

const char* choice_text(const OptionDef& option, int choice) {
    if (choice < 0 || choice >= option.n_choices) return "";
    const char* text = option.choices[sz(choice)];
    return text != nullptr ? text : "";
}

// Group prefixes of output names, longest first.
struct Prefix {
    std::string_view text;
    int group;
};
constexpr Prefix PREFIXES[] = {
    {"2_Outlet ", RG_THIRD}, {"2_Inlet ", RG_THIRD}, {"Inlet ", RG_INLET}, {"Outlet ", RG_OUTLET}};

const Prefix* prefix_of(std::string_view name) {
    for (const Prefix& p : PREFIXES)
        if (name.substr(0, p.text.size()) == p.text) return &p;
    return nullptr;
}

const char* third_group_name(int type) {
    switch (type) {
        case MIXER: return "Inlet 2";
        case SPLITTER: return "Outlet 2";
        default: return "Overall";
    }
}

std::vector<TreeRow> result_rows(const Part& part) {
    std::vector<TreeRow> groups{folder("Inlet", RESULT_GROUP), folder("Outlet", RESULT_GROUP),
                                folder(third_group_name(part.type), RESULT_GROUP)};
    if (part.part_type == nullptr) return groups;
    for (int o : part.part_type->outputs) {
        const char* name = part_output_values_def[sz(o)].name;
        groups[sz(result_group(name))].children.push_back(
            result_leaf(result_row_name(name), RESULT, ""));
    }
    return groups;
}

}  // namespace

bool linked_heat_exchanger(const Part& part) {
    return (part.type == HEAT_EXCHANGER || part.type == INTERCOOLER) &&
           part.options[OPT_OUTLET_TEMPERATURE] == DETERMINED_BY_INTERFACE;
}

int option_of_row(const Part& part, int n) {
    if (part.part_type == nullptr || n < 0 || n >= static_cast<int>(part.part_type->options.size()))
        return -1;
    const int o = part.part_type->options[sz(n)];
    if (o == OPT_OUTLET_TEMPERATURE && linked_heat_exchanger(part)) return -1;
    return o;
}

void compute_shown_inputs(Part& part) {
    part.az_shown_inputs = 0;
    if (part.part_type == nullptr) return;
    for (int o : part.part_type->options) {
        const OptionDef& option = part_input_options[sz(o)];
        const int choice = part.options[sz(o)];
        int input = choice >= 0 && choice < option.n_choices ? option.enables[sz(choice)] : -1;
        if (o == OPT_OUTLET_TEMPERATURE && linked_heat_exchanger(part))
            input = NO_INPUT;  // the row stays, so that entry n still belongs to option row n
        else if (input < 0)
            continue;
        if (part.az_shown_inputs < NUM_PART_INPUTS)
            part.shown_inputs[sz(part.az_shown_inputs++)] = input;
    }
}

std::vector<TreeRow> part_option_rows(const Part& part) {
    std::vector<TreeRow> rows;
    if (part.part_type == nullptr) return rows;
    for (int o : part.part_type->options) {
        const OptionDef& option = part_input_options[sz(o)];
        const bool fixed = o == OPT_OUTLET_TEMPERATURE && linked_heat_exchanger(part);
        rows.push_back(leaf(
            option.title, OPTION,
            fixed ? "Determined by Interface" : choice_text(option, part.options[sz(o)]), false));
    }
    return rows;
}

std::vector<TreeRow> part_input_rows(const Part& part) {
    std::vector<TreeRow> rows;
    for (int n = 0; n < part.az_shown_inputs && n < NUM_PART_INPUTS; ++n) {
        const int input = part.shown_inputs[sz(n)];
        if (input < 0 || input >= NUM_PART_INPUTS) {
            rows.push_back(leaf(NOT_SHOWN, INPUT, NOT_SHOWN, false));
            continue;
        }
        const ValueDef& def = part_input_values_def[sz(input)];
        rows.push_back(leaf(def.name, INPUT,
                            format_value(part.inputs[sz(input)], def, part.input_units[sz(input)]),
                            true));
    }
    return rows;
}

TreeRow part_tree(Part& part) {
    compute_shown_inputs(part);
    TreeRow row = folder("", PROCESS);
    row.icon = part.icon;
    row.name = part.name;
    TreeRow options = folder("Options", OPTIONS_FOLDER);
    options.children = part_option_rows(part);
    TreeRow inputs = folder("Input", INPUT_FOLDER);
    inputs.children = part_input_rows(part);
    TreeRow results = folder("Results", RESULTS_FOLDER);
    results.children = result_rows(part);
    row.children = {std::move(options), std::move(inputs), std::move(results)};
    return row;
}

// The fluid's name, and why it has no transport values where it has none
// (known once the library has been set up for it).
std::string fluid_value(const Fluid* fluid) {
    if (fluid == nullptr) return "";
    if (fluid->transport_note.empty()) return fluid->name;
    return fluid->name + " - " + fluid->transport_note;
}

std::vector<TreeRow> inlet_rows(const Process& process) {
    std::vector<TreeRow> rows;
    rows.push_back(leaf("Fluid", INLET_CHOICE, fluid_value(process.fluid), false));
    for (int k = 0; k < NUM_PROCESS_INPUTS; ++k) {
        const ValueDef& def = process_input_values_def[sz(k)];
        rows.push_back(leaf(def.name, INLET_VALUE,
                            format_value(process.inputs[sz(k)], def, process.input_units[sz(k)]),
                            true));
    }
    return rows;
}

TreeRow process_tree(Project&, Process& process) {
    TreeRow row = folder("", PROCESS);
    row.name = process.name;
    TreeRow inlet = folder("Inlet Conditions", INLET_FOLDER);
    inlet.children = inlet_rows(process);
    TreeRow parts = folder("Parts", PARTS_FOLDER);
    for (int i = 1; i < process.az_parts; ++i) {
        Part* part = process.parts[sz(i)];
        if (part == nullptr || part->type == OUTLET) break;
        parts.children.push_back(part_tree(*part));
    }
    TreeRow summary = folder("Summary", RESULTS_FOLDER);
    for (const ValueDef& def : process_output_values_def)
        summary.children.push_back(result_leaf(def.name, RESULT, ""));
    row.children = {std::move(inlet), std::move(parts), std::move(summary)};
    return row;
}

std::string interface_side_text(const Project& project, int process_id, int part_id) {
    const int p = get_process_num_by_id(&project, process_id);
    if (p < 0) return NOT_SHOWN;
    const Process& process = *project.processes[sz(p)];
    const int i = part_index_in(process, part_id);
    if (i < 0) return NOT_SHOWN;
    return process.name + " : " + process.parts[sz(i)]->name;
}

std::vector<TreeRow> interface_parameter_rows(const Interface& itf) {
    std::vector<TreeRow> rows;
    for (int n = 0; n < itf.az_shown_inputs && n < static_cast<int>(itf.shown_inputs.size()); ++n) {
        const int input = itf.shown_inputs[sz(n)];
        if (input < 0 || input >= NUM_INTERFACE_INPUTS) continue;
        const ValueDef& def = interface_input_values_def[sz(input)];
        rows.push_back(leaf(def.name, INPUT,
                            format_value(itf.inputs[sz(input)], def, itf.input_units[sz(input)]),
                            true));
    }
    return rows;
}

TreeRow interface_tree(const Project& project, Interface& itf) {
    for (int n = IOPT_CALCULATION_MODE; n <= IOPT_INITIALIZATION_MODE; ++n) {
        const OptionDef& option = interface_options[sz(n)];
        const int choice = itf.options[sz(n)];
        if (choice >= 0 && choice < option.n_choices)
            itf.shown_inputs[sz(n)] = option.enables[sz(choice)];
    }
    TreeRow row = folder("", INTERFACE);
    row.name = itf.name;
    TreeRow hot = leaf("Hot Side", {"My_heatsource", "", ""},
                       interface_side_text(project, itf.hot_process_id, itf.hot_part_id), false);
    TreeRow cold = leaf("Cold Side", {"My_heatsink", "", ""},
                        interface_side_text(project, itf.cold_process_id, itf.cold_part_id), false);
    TreeRow options = folder("Options", OPTIONS_FOLDER);
    for (int n = IOPT_CALCULATION_MODE; n <= IOPT_INITIALIZATION_MODE; ++n) {
        const OptionDef& option = interface_options[sz(n)];
        options.children.push_back(
            leaf(option.title, OPTION, choice_text(option, itf.options[sz(n)]), false));
    }
    TreeRow parameters = folder("Parameters", INPUT_FOLDER);
    parameters.children = interface_parameter_rows(itf);
    TreeRow results = folder("Results", RESULTS_FOLDER);
    for (const ValueDef& def : interface_output_values_def)
        results.children.push_back(result_leaf(def.name, INTERFACE_RESULT, ""));
    row.children = {std::move(hot), std::move(cold), std::move(options), std::move(parameters),
                    std::move(results)};
    return row;
}

TreeRow graph_row(const Graph& graph) {
    constexpr int QT_DIAGRAM = 5;
    TreeRow row;
    row.icon = graph.type == QT_DIAGRAM ? "My_diagramqt" : "My_diagram";
    row.name = graph.name;
    return row;
}

std::vector<TreeRow> project_tree(Project& project) {
    TreeRow totals = folder("Project", TOP);
    for (int k = 0; k < NUM_PROJECT_OUTPUTS; ++k) {
        const ValueDef& def = project_output_values_def[sz(k)];
        totals.children.push_back(result_leaf(
            def.name, TOTAL, format_value(project.totals[sz(k)], def, project.total_units[sz(k)])));
    }
    TreeRow processes = folder("Processes", TOP);
    for (int p = 0; p < project.az_processes; ++p)
        processes.children.push_back(process_tree(project, *project.processes[sz(p)]));
    TreeRow interfaces = folder("Interfaces", TOP);
    for (int i = 0; i < project.az_interfaces; ++i)
        interfaces.children.push_back(interface_tree(project, *project.interfaces[sz(i)]));
    TreeRow graphs = folder("Graphs", TOP);
    for (int g = 1; g < MAX_GRAPHS && project.graphs[sz(g)] != nullptr; ++g)
        graphs.children.push_back(graph_row(*project.graphs[sz(g)]));
    return {std::move(totals), std::move(processes), std::move(interfaces), std::move(graphs)};
}

int result_group(std::string_view name) {
    const Prefix* p = prefix_of(name);
    return p != nullptr ? p->group : RG_THIRD;
}

std::string result_row_name(std::string_view name) {
    const Prefix* p = prefix_of(name);
    if (p == nullptr) return std::string(name);
    std::string_view rest = name.substr(p->text.size());
    return std::string(rest.substr(0, rest.find(' ')));
}

int output_of_result_row(const PartType& type, int group, int n) {
    int count = 0;
    for (int o : type.outputs)
        if (result_group(part_output_values_def[sz(o)].name) == group && count++ == n) return o;
    return -1;
}

std::vector<CellText> result_cells(const Project& project) {
    std::vector<CellText> cells;
    for (int k = 0; k < NUM_PROJECT_OUTPUTS; ++k)
        cells.push_back({{0, k},
                         format_value(project.totals[sz(k)], project_output_values_def[sz(k)],
                                      project.total_units[sz(k)])});
    for (int p = 0; p < project.az_processes; ++p) {
        const Process& process = *project.processes[sz(p)];
        for (int j = 1; j < process.az_parts; ++j) {
            const Part& part = *process.parts[sz(j)];
            if (part.type == OUTLET) break;
            if (part.part_type == nullptr) continue;
            int counter[3] = {0, 0, 0};
            for (int o : part.part_type->outputs) {
                const ValueDef& def = part_output_values_def[sz(o)];
                const int g = result_group(def.name);
                cells.push_back({{1, p, 1, j - 1, 2, g, counter[g]++},
                                 format_value(part.outputs[sz(o)], def, part.output_units[sz(o)])});
            }
        }
        for (int k = 0; k < NUM_PROCESS_OUTPUTS; ++k)
            cells.push_back({{1, p, 2, k},
                             format_value(process.outputs[sz(k)], process_output_values_def[sz(k)],
                                          process.output_units[sz(k)])});
    }
    for (int i = 0; i < project.az_interfaces; ++i) {
        const Interface& itf = *project.interfaces[sz(i)];
        for (int k = 0; k < NUM_INTERFACE_OUTPUTS; ++k)
            cells.push_back({{2, i, 4, k},
                             format_value(itf.outputs[sz(k)], interface_output_values_def[sz(k)],
                                          itf.output_units[sz(k)])});
    }
    return cells;
}

}  // namespace app
