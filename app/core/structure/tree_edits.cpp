// Changes made in the project tree: typed values, units, options, the
// target of Rename and the order of Delete.
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/structure/structure.h"
#include "app/core/structure/tree_rules.h"

namespace app {

namespace {

bool takes_typed_values(RowKind kind) {
    return kind == RowKind::INLET_VALUE || kind == RowKind::INPUT || kind == RowKind::PARAMETER;
}

}  // namespace

std::string read_value_message(const ValueDef& def, int code, const std::string& shown,
                               const std::string& refusal) {
    const std::string name = def.name;
    switch (code) {
        case RV_NO_NUMBER:
            return "Your input is ignored, due to no value has been recognized.\n"
                   "Please, start the input with the number for value '" +
                   name + "'.\nThe value is reset to the old value " + shown + ".";
        case RV_UNKNOWN_UNIT:
            return "The unit for '" + name +
                   "' could not be analyzed correctly.\n"
                   "Possible units are listed in the documentation.\n"
                   "The unit is reset to the old unit " +
                   shown + ".";
        case RV_OUT_OF_BOUNDS:
            return "Your input exceeds the allowed limits for '" +
                   std::string(unitdef[sz(def.quantity)].name) + "'.\n" +
                   (refusal.empty() ? std::string() : name + ": " + refusal + ".\n") +
                   "The value is reset to the old value " + shown + ".";
        default: return "";
    }
}

ValueEdit edit_value(Project& project, const RowRef& row, std::string_view text) {
    ValueEdit edit;
    if (!takes_typed_values(row.kind)) return edit;
    const ValueSlot slot = value_slot(project, row);
    if (slot.def == nullptr) return edit;
    edit.read = true;
    std::string refusal;
    edit.code = read_value_with_unit(*slot.def, text, edit.text, *slot.value, *slot.unit, &refusal);
    if (edit.code == RV_OUT_OF_BOUNDS || edit.code == RV_NO_NUMBER) {
        edit.message = read_value_message(*slot.def, edit.code, edit.text, refusal);
        edit.message_is_error = true;
        return edit;  // nothing changed
    }
    project.changed = 1;
    if (row.kind == RowKind::INLET_VALUE) {
        // The flows follow the edit; a humidity edit keeps the standard volume flow.
        Process& process = *project.processes[sz(row.process)];
        apply_inlet_rule(process.inputs, process.fluid, row.index, row.index != PRI_HUMIDITY);
        edit.inlet_rows = true;
        edit.text = format_value(*slot.value, *slot.def, *slot.unit);
    }
    edit.message = read_value_message(*slot.def, edit.code, edit.text, refusal);
    edit.message_is_error = edit.code != RV_OK;
    return edit;
}

bool set_row_unit(Project& project, const RowRef& row, int unit) {
    const ValueSlot slot = value_slot(project, row);
    if (slot.def == nullptr || !valid_unit(slot.def->quantity, unit)) return false;
    *slot.unit = unit;
    if (row.kind == RowKind::INTERFACE_RESULT) project.current_interface = row.interface;
    project.changed = 1;
    return true;
}

bool set_row_option(Project& project, const RowRef& row, int choice) {
    if (row.kind == RowKind::OPTION) {
        Part* part = part_of(project, row);
        const int o = part != nullptr ? option_of_row(*part, row.index) : -1;
        if (o < 0) return false;
        const OptionDef& option = part_input_options[sz(o)];
        if (choice < 0 || choice >= option.n_choices || option.choices[sz(choice)] == nullptr ||
            *option.choices[sz(choice)] == '\0')
            return false;
        part->options[sz(o)] = choice;
        compute_shown_inputs(*part);
        project.changed = 1;
        return true;
    }
    if (row.kind == RowKind::CALCULATION_MODE || row.kind == RowKind::INITIALIZATION_MODE) {
        Interface& itf = *project.interfaces[sz(row.interface)];
        const int n = row.index;
        const OptionDef& option = interface_options[sz(n)];
        if (choice < 0 || choice >= option.n_choices) return false;
        itf.options[sz(n)] = choice;
        itf.shown_inputs[sz(n)] = option.enables[sz(choice)];
        project.changed = 1;
        return true;
    }
    return false;
}

std::optional<RenameTarget> rename_target(Project& project, const RowRef& row) {
    if (row.kind == RowKind::PROCESS)
        return RenameTarget{"Rename Process", &project.processes[sz(row.process)]->name};
    if (row.process >= 0 && row.part >= 1) {
        if (Part* part = part_of(project, row)) return RenameTarget{"Rename Part", &part->name};
    }
    if (row.interface >= 0)
        return RenameTarget{"Rename Interface", &project.interfaces[sz(row.interface)]->name};
    if (row.kind == RowKind::GRAPH)
        return RenameTarget{"Rename Graph", &project.graphs[sz(row.graph)]->name};
    return std::nullopt;
}

std::vector<DeleteStep> plan_delete(const Project& project, const std::vector<TreePath>& selected) {
    std::vector<DeleteStep> now;
    std::vector<DeleteStep> parts;
    std::vector<DeleteStep> processes;
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        const RowRef row = resolve_row(project, *it);
        switch (row.kind) {
            case RowKind::INTERFACE:
                now.push_back({DeleteStep::INTERFACE, row.interface, -1});
                break;
            case RowKind::GRAPH: now.push_back({DeleteStep::GRAPH, row.graph, -1}); break;
            case RowKind::PART:
                parts.push_back({DeleteStep::PART, row.process, part_of(project, row)->id});
                break;
            case RowKind::PROCESS:
                processes.push_back(
                    {DeleteStep::PROCESS, row.process, project.processes[sz(row.process)]->id});
                break;
            default: break;
        }
    }
    now.insert(now.end(), parts.begin(), parts.end());
    now.insert(now.end(), processes.begin(), processes.end());
    return now;
}

}  // namespace app
