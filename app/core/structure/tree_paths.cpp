// From a tree path back to the record and value of the row.
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/structure/tree_model.h"

#include <array>
#include <charconv>

namespace app {

namespace {

bool in(int value, int end) { return value >= 0 && value < end; }

// The row `r` as a row of this kind (and index among its siblings).
RowRef as(RowRef r, RowKind kind, int index = -1) {
    r.kind = kind;
    if (index >= 0) r.index = index;
    return r;
}

// Rows under a part row: 1:p:1:j:...
RowRef part_subrow(const Project& project, RowRef r, const TreePath& path) {
    const Process& process = *project.processes[sz(r.process)];
    const int j = path[3];
    if (!in(j + 1, process.az_parts) || process.parts[sz(j + 1)]->type == OUTLET) return {};
    r.part = j + 1;
    const Part& part = *process.parts[sz(r.part)];
    const std::size_t depth = path.size();
    if (depth == 4) return as(r, RowKind::PART);
    const int folder = path[4];
    if (depth == 5) {
        constexpr RowKind FOLDERS[] = {RowKind::OPTIONS, RowKind::INPUTS, RowKind::RESULTS};
        if (!in(folder, 3)) return {};
        return as(r, FOLDERS[folder]);
    }
    const int n = path[5];
    const int options =
        part.part_type != nullptr ? static_cast<int>(part.part_type->options.size()) : 0;
    if (depth == 6 && folder == 0 && in(n, options)) return as(r, RowKind::OPTION, n);
    if (depth == 6 && folder == 1 && in(n, part.az_shown_inputs)) return as(r, RowKind::INPUT, n);
    if (folder != 2 || !in(n, 3)) return {};
    r.group = n;
    if (depth == 6) return as(r, RowKind::RESULT_GROUP);
    if (depth == 7 && part.part_type != nullptr &&
        output_of_result_row(*part.part_type, n, path[6]) >= 0)
        return as(r, RowKind::RESULT, path[6]);
    return {};
}

RowRef process_row(const Project& project, const TreePath& path) {
    RowRef r;
    if (path.size() == 1) return as(r, RowKind::PROCESSES);
    if (!in(path[1], project.az_processes)) return {};
    r.process = path[1];
    if (path.size() == 2) return as(r, RowKind::PROCESS);
    const int folder = path[2];
    if (folder == 0 || folder == 1) r.part = 0;  // the Inlet: "Parts" makes it current
    if (folder == 0) {
        if (path.size() == 3) return as(r, RowKind::INLET_CONDITIONS);
        if (path.size() != 4 || !in(path[3], NUM_PROCESS_INPUTS + 1)) return {};
        r.index = path[3] - 1;
        r.kind = path[3] == 0 ? RowKind::FLUID : RowKind::INLET_VALUE;
        return r;
    }
    if (folder == 1) {
        if (path.size() == 3) return as(r, RowKind::PARTS);
        return part_subrow(project, r, path);
    }
    if (folder == 2) {
        if (path.size() == 3) return as(r, RowKind::SUMMARY);
        if (path.size() == 4 && in(path[3], NUM_PROCESS_OUTPUTS))
            return as(r, RowKind::SUMMARY_VALUE, path[3]);
    }
    return {};
}

RowRef interface_row(const Project& project, const TreePath& path) {
    RowRef r;
    if (path.size() == 1) return as(r, RowKind::INTERFACES);
    if (!in(path[1], project.az_interfaces)) return {};
    r.interface = path[1];
    const Interface& itf = *project.interfaces[sz(r.interface)];
    if (path.size() == 2) return as(r, RowKind::INTERFACE);
    const int folder = path[2];
    if (path.size() == 3) {
        constexpr RowKind FOLDERS[] = {RowKind::HOT_SIDE, RowKind::COLD_SIDE,
                                       RowKind::INTERFACE_OPTIONS, RowKind::PARAMETERS,
                                       RowKind::INTERFACE_RESULTS};
        if (!in(folder, 5)) return {};
        return as(r, FOLDERS[folder]);
    }
    if (path.size() != 4) return {};
    r.index = path[3];
    if (folder == 2 && in(r.index, 2))
        return as(r, r.index == 0 ? RowKind::CALCULATION_MODE : RowKind::INITIALIZATION_MODE);
    if (folder == 3 && in(r.index, itf.az_shown_inputs)) return as(r, RowKind::PARAMETER);
    if (folder == 4 && in(r.index, NUM_INTERFACE_OUTPUTS)) return as(r, RowKind::INTERFACE_RESULT);
    return {};
}

}  // namespace

std::string path_text(const TreePath& path) {
    std::string out;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (i > 0) out += ':';
        out += std::to_string(path[i]);
    }
    return out;
}

TreePath parse_path(std::string_view text) {
    TreePath path;
    while (!text.empty()) {
        int v = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
        if (ec != std::errc{} || v < 0) return {};
        path.push_back(v);
        text.remove_prefix(static_cast<std::size_t>(end - text.data()));
        if (text.empty()) break;
        if (text.front() != ':' || text.size() == 1) return {};
        text.remove_prefix(1);
    }
    return path;
}

RowRef resolve_row(const Project& project, const TreePath& path) {
    if (path.empty()) return {};
    RowRef r;
    switch (path[0]) {
        case 0:
            if (path.size() == 1) return as(r, RowKind::PROJECT);
            if (path.size() == 2 && in(path[1], NUM_PROJECT_OUTPUTS))
                return as(r, RowKind::TOTAL, path[1]);
            return {};
        case 1: return process_row(project, path);
        case 2: return interface_row(project, path);
        case 3:
            if (path.size() == 1) return as(r, RowKind::GRAPHS);
            if (path.size() == 2 && in(path[1] + 1, MAX_GRAPHS) &&
                project.graphs[sz(path[1] + 1)] != nullptr) {
                r.graph = path[1] + 1;
                return as(r, RowKind::GRAPH);
            }
            return {};
        default: return {};
    }
}

Part* part_of(const Project& project, const RowRef& row) {
    if (!in(row.process, project.az_processes)) return nullptr;
    const Process& process = *project.processes[sz(row.process)];
    return in(row.part, process.az_parts) ? process.parts[sz(row.part)] : nullptr;
}

namespace {

template <std::size_t N, std::size_t M>
ValueSlot slot_of(const std::array<ValueDef, N>& defs, std::array<double, M>& values,
                  std::array<int, M>& units, int k) {
    if (!in(k, static_cast<int>(N)) || !in(k, static_cast<int>(M))) return {};
    return {&defs[sz(k)], &values[sz(k)], &units[sz(k)]};
}

ValueSlot process_slot(Process* process, const RowRef& row) {
    if (process == nullptr) return {};
    if (row.kind == RowKind::INLET_VALUE)
        return slot_of(process_input_values_def, process->inputs, process->input_units, row.index);
    return slot_of(process_output_values_def, process->outputs, process->output_units, row.index);
}

ValueSlot part_slot(Part* part, const RowRef& row) {
    if (part == nullptr) return {};
    if (row.kind == RowKind::INPUT) {
        if (!in(row.index, part->az_shown_inputs)) return {};
        return slot_of(part_input_values_def, part->inputs, part->input_units,
                       part->shown_inputs[sz(row.index)]);
    }
    if (part->part_type == nullptr) return {};
    return slot_of(part_output_values_def, part->outputs, part->output_units,
                   output_of_result_row(*part->part_type, row.group, row.index));
}

ValueSlot interface_slot(Interface* itf, const RowRef& row) {
    if (itf == nullptr) return {};
    if (row.kind == RowKind::PARAMETER) {
        if (!in(row.index, itf->az_shown_inputs)) return {};
        return slot_of(interface_input_values_def, itf->inputs, itf->input_units,
                       itf->shown_inputs[sz(row.index)]);
    }
    return slot_of(interface_output_values_def, itf->outputs, itf->output_units, row.index);
}

}  // namespace

ValueSlot value_slot(Project& project, const RowRef& row) {
    Process* process =
        in(row.process, project.az_processes) ? project.processes[sz(row.process)] : nullptr;
    Interface* itf =
        in(row.interface, project.az_interfaces) ? project.interfaces[sz(row.interface)] : nullptr;
    switch (row.kind) {
        case RowKind::TOTAL:
            return slot_of(project_output_values_def, project.totals, project.total_units,
                           row.index);
        case RowKind::INLET_VALUE:
        case RowKind::SUMMARY_VALUE: return process_slot(process, row);
        case RowKind::INPUT:
        case RowKind::RESULT: return part_slot(part_of(project, row), row);
        case RowKind::PARAMETER:
        case RowKind::INTERFACE_RESULT: return interface_slot(itf, row);
        default: return {};
    }
}

const ValueDef* row_value_def(const Project& project, const RowRef& row) {
    // value_slot writes nothing; it only hands out where the value lives.
    return value_slot(const_cast<Project&>(project), row).def;
}

}  // namespace app
