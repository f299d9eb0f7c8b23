// Interfaces between heat exchangers: the free heat exchangers, making an
// interface and swapping its sides.
#include "app/core/structure/interfaces.h"

#include "app/core/model/create_delete.h"
#include "app/core/model/tools.h"
#include "app/core/structure/structure.h"
#include "app/core/structure/tree_model.h"

namespace app {

namespace {

// The part at (process, part index) when it lies between the Inlet and the
// last part, else null.
Part* inner_part(const Project& project, int process, int part) {
    if (process < 0 || process >= project.az_processes) return nullptr;
    const Process& p = *project.processes[sz(process)];
    if (part < 1 || part >= p.az_parts - 1) return nullptr;
    return p.parts[sz(part)];
}

void link_side(Project& project, int part_id, const char* icon) {
    if (get_part_num_by_part_id(&project, part_id) < 1) return;
    Part* part = part_by_id(&project, part_id);
    if (part == nullptr) return;
    part->options[OPT_OUTLET_TEMPERATURE] = DETERMINED_BY_INTERFACE;
    part->icon = icon;
    compute_shown_inputs(*part);
}

}  // namespace

bool free_heat_exchanger(const Part& part) {
    return part.type == HEAT_EXCHANGER && !linked_heat_exchanger(part);
}

std::vector<HeatExchangerChoice> free_heat_exchangers(const Project& project) {
    std::vector<HeatExchangerChoice> out;
    for (int p = 0; p < project.az_processes; ++p) {
        const Process& process = *project.processes[sz(p)];
        for (int i = 1; i < process.az_parts - 1; ++i) {
            const Part& part = *process.parts[sz(i)];
            if (free_heat_exchanger(part)) out.push_back({p, i, process.name + " : " + part.name});
        }
    }
    return out;
}

void link_heat_exchangers(Project& project, const Interface& itf) {
    link_side(project, itf.hot_part_id, HEAT_SOURCE_ICON);
    link_side(project, itf.cold_part_id, HEAT_SINK_ICON);
}

int create_interface_between(Project& project, int hot_process, int hot_part, int cold_process,
                             int cold_part, std::string& refusal) {
    refusal.clear();
    if (project.az_interfaces >= MAX_INTERFACES) {
        refusal = "The project holds " + std::to_string(MAX_INTERFACES) +
                  " interfaces, as many as a project can hold. Delete an interface first.";
        return -1;
    }
    const Part* hot = inner_part(project, hot_process, hot_part);
    const Part* cold = inner_part(project, cold_process, cold_part);
    if (hot == nullptr || cold == nullptr || !free_heat_exchanger(*hot) ||
        !free_heat_exchanger(*cold)) {
        refusal = "An interface needs two heat exchangers that no interface uses yet.";
        return -1;
    }
    if (hot == cold) {
        refusal = "The hot side and the cold side must be two different heat exchangers.";
        return -1;
    }
    Interface* itf = create_interface();
    itf->hot_part_id = hot->id;
    itf->hot_process_id = project.processes[sz(hot_process)]->id;
    itf->cold_part_id = cold->id;
    itf->cold_process_id = project.processes[sz(cold_process)]->id;
    const int index = append_interface(project, itf);
    if (index < 0) {  // cannot happen after the check above; nothing is left behind
        free_interface(itf);
        refusal = "The interface cannot be added to the project.";
        return -1;
    }
    link_heat_exchangers(project, *itf);
    project.current_interface = index;
    project.current_process = -1;
    project.current_part = -1;
    project.changed = 1;
    return index;
}

bool swap_interface_sides(Project& project, int index) {
    if (index < 0 || index >= project.az_interfaces) return false;
    Interface& itf = *project.interfaces[sz(index)];
    std::swap(itf.hot_part_id, itf.cold_part_id);
    std::swap(itf.hot_process_id, itf.cold_process_id);
    link_heat_exchangers(project, itf);
    project.changed = 1;
    return true;
}

}  // namespace app
