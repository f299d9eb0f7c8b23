// Results an edit of the structure leaves out of date.
#include "app/core/views/results.h"

#include "app/core/model/create_delete.h"
#include "app/core/model/tools.h"
#include "app/core/structure/structure.h"

#include <algorithm>

namespace app {

namespace {

// The tree's top-level folders that hold result cells, and the summary
// folder of a process (beside its inlet conditions and parts).
enum ResultFolder : int { RF_PROJECT = 0, RF_PROCESSES = 1, RF_INTERFACES = 2 };
constexpr int PF_SUMMARY = 2;

bool listed(const std::vector<int>& list, int value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

// Whether interface `itf` touches one of the processes (indices).
bool touches(const Project& project, const Interface& itf, const std::vector<int>& processes) {
    for (int p : processes)
        if (interface_uses_process(itf, *project.processes[sz(p)])) return true;
    return false;
}

}  // namespace

std::vector<int> coupled_processes(const Project& project, int process_index) {
    std::vector<int> found;
    if (process_index < 0 || process_index >= project.az_processes) return found;
    found.push_back(process_index);
    // Grows until no interface adds a process.
    for (bool grew = true; grew;) {
        grew = false;
        for (int i = 0; i < project.az_interfaces; ++i) {
            const Interface& itf = *project.interfaces[sz(i)];
            if (!touches(project, itf, found)) continue;
            for (int p = 0; p < project.az_processes; ++p)
                if (!listed(found, p) && interface_uses_process(itf, *project.processes[sz(p)])) {
                    found.push_back(p);
                    grew = true;
                }
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<int> forget_results(Project& project, int process_index) {
    const std::vector<int> processes = coupled_processes(project, process_index);
    for (int p : processes) {
        Process& process = *project.processes[sz(p)];
        process.done = 0;
        for (int k = 1; k < process.az_parts; ++k) {
            Part& part = *process.parts[sz(k)];
            if (part.state != PS_NEW) part.state = PS_PENDING;
        }
    }
    for (int i = 0; i < project.az_interfaces; ++i) {
        Interface& itf = *project.interfaces[sz(i)];
        if (touches(project, itf, processes)) itf.status = IS_PENDING;
    }
    if (!processes.empty()) project.calc_status = CS_RUNNING;  // read as "not calculated"
    return processes;
}

bool part_calculated(const Part& part) {
    const int state = part.state;
    return state == PS_FINISHED || state == PS_PROVISIONAL || state == PS_INTERFACE_ITERATING;
}

namespace {

// Whether any part of the process after its Inlet holds a result.
bool process_calculated(const Process& process) {
    for (int k = 1; k < process.az_parts; ++k)
        if (part_calculated(*process.parts[sz(k)])) return true;
    return false;
}

bool side_calculated(const Project& project, int part_id) {
    const Part* part = part_by_id(&project, part_id);
    return part != nullptr && part_calculated(*part);
}

// Whether the cell at the path shows a current result.
bool current(const Project& project, const TreePath& at) {
    switch (at.empty() ? -1 : at[0]) {
        case RF_PROJECT:
            // Totals add up every process: one forgotten makes them old.
            if (project.calc_status != CS_FINISHED && project.calc_status != CS_FAILED)
                return false;
            for (int p = 0; p < project.az_processes; ++p)
                if (process_calculated(*project.processes[sz(p)])) return true;
            return false;
        case RF_PROCESSES: {
            if (at.size() < 3 || at[1] >= project.az_processes) return true;
            const Process& process = *project.processes[sz(at[1])];
            if (at[2] == PF_SUMMARY) return process_calculated(process);
            const int part = at.size() > 3 ? at[3] + 1 : -1;  // the Inlet is no row
            return part < 1 || part >= process.az_parts ||
                   part_calculated(*process.parts[sz(part)]);
        }
        case RF_INTERFACES: {
            if (at.size() < 2 || at[1] >= project.az_interfaces) return true;
            const Interface& itf = *project.interfaces[sz(at[1])];
            return side_calculated(project, itf.hot_part_id) ||
                   side_calculated(project, itf.cold_part_id);
        }
        default: return true;
    }
}

}  // namespace

std::vector<CellText> shown_result_cells(const Project& project) {
    std::vector<CellText> cells = result_cells(project);
    for (CellText& cell : cells)
        if (!current(project, cell.path)) cell.text.clear();
    return cells;
}

}  // namespace app
