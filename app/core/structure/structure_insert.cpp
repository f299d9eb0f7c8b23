// The Insert commands: a part, a splitter with its new branch, a mixer and
// its connection, and a splitter with a mixer (a bypass).
#include "app/core/model/create_delete.h"
#include "app/core/model/tools.h"
#include "app/core/structure/structure.h"
#include "app/core/structure/structure_steps.h"

namespace app {

namespace {

using namespace structure_steps;

// What an insert command needs of the current place and the user.
struct Place {
    Process* process = nullptr;
    int index = 0;         // the current part's list index
    Part* part = nullptr;  // the current part
    int outlet = 0;        // its outlet the new part goes after
};

// The current place, with room for `count` more parts; the current
// splitter's outlet is asked for. Nothing (with r.refusal for the user
// when it must be told) when the command cannot go on.
std::optional<Place> resolve_place(Project& project, int count, const StructureChoosers& choosers,
                                   StructureResult& r) {
    if (project.az_processes <= 0) return std::nullopt;
    if (project.current_process < 0 || project.current_process >= project.az_processes)
        project.current_process = 0;
    Place place;
    place.process = project.processes[sz(project.current_process)];
    Process& process = *place.process;
    if (project.current_part < 0 || project.current_part >= process.az_parts)
        project.current_part = 0;
    place.index = project.current_part;
    place.part = process.parts[sz(place.index)];
    r.process = project.current_process;
    if (place.part == nullptr || place.part->type == OUTLET) return std::nullopt;
    if (std::string why = room_for(process, count); !why.empty()) {
        r.refusal = why;
        return std::nullopt;
    }
    if (place.part->type == SPLITTER) {
        std::optional<int> k = choosers.splitter_outlet ? choosers.splitter_outlet() : std::nullopt;
        if (!k || (*k != 0 && *k != 1)) return std::nullopt;
        place.outlet = *k;
    }
    if (part_by_id(&project, place.part->next_id[sz(place.outlet)]) == nullptr) {
        r.refusal = "Part '" + place.part->name + "' has no successor on that outlet.";
        return std::nullopt;
    }
    return place;
}

// Links `part` after the place: the place's outlet feeds it on inlet 0 and
// its outlet 0 feeds what the place fed before.
void link_after(Project& project, const Place& place, Part& part) {
    const int k = place.outlet;
    Part* next = part_by_id(&project, place.part->next_id[sz(k)]);
    const int m = place.part->next_inlet[sz(k)];
    link(*place.part, k, part, 0);
    if (next != nullptr) link(part, 0, *next, m);
}

// Defaults of the parts the insert commands make.
struct InsertDefaults {
    int type;
    bool counts_for_project;    // "Efficiency calculation": "Use for Process and Full Project"
    double outlet_temperature;  // K; 0 keeps the table default
};
constexpr InsertDefaults INSERT_DEFAULTS[] = {
    {COMPRESSOR, true, 0.0},
    {PUMP, true, 0.0},
    {EXPANDER, false, 0.0},
    {TURBINE, true, 0.0},
    {COMBUSTOR, true, 1273.15},
    {OXYGEN_INJECTION_COMBUSTOR, true, 1273.15},
    {INTERCOOLER, false, 0.0},
    {HEAT_EXCHANGER, false, 0.0},
    {CONDENSER, false, 0.0},
    {PIPELINE, false, 0.0},
    {PRESSURE_LOSS_ELEMENT, false, 0.0},
    {WATER_SEPARATOR, false, 0.0},
};
constexpr int USE_FOR_PROCESS_AND_PROJECT = 2;

const InsertDefaults* insert_defaults(int type) {
    for (const InsertDefaults& d : INSERT_DEFAULTS)
        if (d.type == type) return &d;
    return nullptr;
}

// The splitter of insert_splitter after the place, with its Outlet.
void add_splitter_with_outlet(Project& project, const Place& place, StructureResult& r) {
    Part* splitter = create_part(SPLITTER);
    link_after(project, place, *splitter);
    Part* outlet = create_part(OUTLET);
    link(*splitter, 1, *outlet, 0);
    add_after(project, *place.process, place.index, *splitter, r);
    append_outlet(*place.process, *outlet, r);
}

// The parts a bypass may rejoin after: the flow from the place's successor
// along first outlets, up to the part before an Outlet.
std::vector<Part*> rejoin_candidates(const Project& project, const Place& place) {
    std::vector<Part*> out;
    const Process& process = *place.process;
    Part* part = part_by_id(&project, place.part->next_id[sz(place.outlet)]);
    for (int steps = 0; part != nullptr && steps < process.az_parts; ++steps) {
        if (part->type == OUTLET || part_index_in(process, part->id) < 0) break;
        out.push_back(part);
        part = part_by_id(&project, part->next_id[0]);
    }
    return out;
}

}  // namespace

StructureResult insert_new_part(Project& project, int type, const StructureChoosers& choosers) {
    StructureResult r;
    const InsertDefaults* defaults = insert_defaults(type);
    if (defaults == nullptr) return r;
    CurrentProject as_current(project);
    std::optional<Place> place = resolve_place(project, 1, choosers, r);
    if (!place) return r;
    Part* part = create_part(type);
    if (defaults->counts_for_project)
        part->options[OPT_EFFICIENCY_CALCULATION] = USE_FOR_PROCESS_AND_PROJECT;
    if (defaults->outlet_temperature > 0)
        part->inputs[PI_OUTLET_TEMPERATURE] = defaults->outlet_temperature;
    link_after(project, *place, *part);
    add_after(project, *place->process, place->index, *part, r);
    return r;
}

StructureResult insert_splitter(Project& project, const StructureChoosers& choosers) {
    StructureResult r;
    CurrentProject as_current(project);
    std::optional<Place> place = resolve_place(project, 2, choosers, r);
    if (!place) return r;
    add_splitter_with_outlet(project, *place, r);
    return r;
}

StructureResult insert_mixer(Project& project, const StructureChoosers& choosers) {
    StructureResult r;
    CurrentProject as_current(project);
    std::optional<Place> place = resolve_place(project, 1, choosers, r);
    if (!place) return r;
    Part* mixer = create_part(MIXER);
    link_after(project, *place, *mixer);
    mixer->prev_id[1] = UNCONNECTED;
    mixer->prev_outlet[1] = 0;
    add_after(project, *place->process, place->index, *mixer, r);
    StructureResult c = connect_mixer_to_outlet(project, r.process, mixer->id, choosers);
    r.edits.insert(r.edits.end(), c.edits.begin(), c.edits.end());
    return r;
}

StructureResult insert_splitter_mixer(Project& project, const StructureChoosers& choosers) {
    StructureResult r;
    CurrentProject as_current(project);
    std::optional<Place> place = resolve_place(project, 2, choosers, r);
    if (!place) return r;
    const std::vector<Part*> rejoin = rejoin_candidates(project, *place);
    std::vector<std::string> names{"Directly after the splitter"};
    for (const Part* p : rejoin) names.push_back(p->name);
    names.emplace_back("No mixer, add additional outlet");
    std::optional<int> choice =
        choosers.mixer_position ? choosers.mixer_position(names) : std::nullopt;
    if (!choice || *choice < 0 || *choice >= static_cast<int>(names.size())) return r;
    if (*choice == static_cast<int>(names.size()) - 1) {
        add_splitter_with_outlet(project, *place, r);
        return r;
    }
    Process& process = *place->process;
    Part& from = *place->part;
    const int k = place->outlet;
    Part* next = part_by_id(&project, from.next_id[sz(k)]);
    const int m = from.next_inlet[sz(k)];
    Part* splitter = create_part(SPLITTER);
    Part* mixer = create_part(MIXER);
    link(from, k, *splitter, 0);
    if (*choice == 0) {
        // Both outlets of the splitter feed the mixer; the user fills the branches.
        link(*splitter, 0, *mixer, 0);
        link(*splitter, 1, *mixer, 1);
        link(*mixer, 0, *next, m);
        add_after(project, process, place->index, *splitter, r);
        add_after(project, process, place->index + 1, *mixer, r);
    } else {
        // The second stream bypasses the flow from `next` to `last` and
        // rejoins after it; the mixer is calculated after `last`.
        Part& last = *rejoin[sz(*choice - 1)];
        Part* after = part_by_id(&project, last.next_id[0]);
        const int after_inlet = last.next_inlet[0];
        link(*splitter, 0, *next, m);
        link(*splitter, 1, *mixer, 1);
        link(last, 0, *mixer, 0);
        if (after != nullptr) link(*mixer, 0, *after, after_inlet);
        add_after(project, process, place->index, *splitter, r);
        add_after(project, process, part_index_in(process, last.id), *mixer, r);
    }
    project.current_part = part_index_in(process, splitter->id);
    return r;
}

std::vector<int> find_outlets_backwards(const Project& project, const Process& process,
                                        const Part& mixer) {
    std::vector<int> found;
    const int main_outlet = main_outlet_id(project, process);
    std::vector<char> seen(sz(process.az_parts), 0);
    // Collects the Outlets along outlet 0 from `part`, the second branches
    // of splitters first; each part is walked once.
    auto forwards = [&](const Part* start) {
        std::vector<const Part*> todo{start};
        while (!todo.empty()) {
            const Part* part = todo.back();
            todo.pop_back();
            while (part != nullptr) {
                const int i = part_index_in(process, part->id);
                if (i < 0 || seen[sz(i)] != 0) break;
                seen[sz(i)] = 1;
                if (part->id == main_outlet) break;
                if (part->type == OUTLET) {
                    found.push_back(part->id);
                    break;
                }
                if (part->type == SPLITTER) todo.push_back(part_by_id(&project, part->next_id[1]));
                part = part_by_id(&project, part->next_id[0]);
            }
        }
    };
    const Part* part = part_by_id(&project, mixer.prev_id[0]);
    for (int steps = 0; part != nullptr && steps < process.az_parts; ++steps) {
        if (part_index_in(process, part->id) < 0) break;
        if (part->type == SPLITTER) forwards(part_by_id(&project, part->next_id[1]));
        if (part->type == INLET) break;
        part = part_by_id(&project, part->prev_id[0]);
    }
    std::erase_if(found, [&](int id) { return reachable(project, process, mixer.id, id); });
    return found;
}

StructureResult connect_mixer_to_outlet(Project& project, int process_index, int mixer_id,
                                        const StructureChoosers& choosers) {
    StructureResult r;
    if (process_index < 0 || process_index >= project.az_processes) return r;
    Process& process = *project.processes[sz(process_index)];
    const int at = part_index_in(process, mixer_id);
    if (at < 0) return r;
    Part& mixer = *process.parts[sz(at)];
    if (mixer.type != MIXER || mixer.prev_id[1] > 0) return r;
    r.process = process_index;
    const std::vector<int> outlets = find_outlets_backwards(project, process, mixer);
    if (outlets.empty()) return r;
    std::vector<std::string> names;
    for (int id : outlets) names.push_back(part_by_id(&project, id)->name);
    names.emplace_back("Leave unconnected");
    std::optional<int> choice = choosers.mixer_outlet ? choosers.mixer_outlet(names) : std::nullopt;
    if (!choice || *choice < 0 || *choice >= static_cast<int>(outlets.size())) return r;
    CurrentProject as_current(project);
    Part* outlet = part_by_id(&project, outlets[sz(*choice)]);
    Part* feeder = part_by_id(&project, outlet->prev_id[0]);
    link(*feeder, outlet->prev_outlet[0], mixer, 1);
    remove_and_free(process, *outlet, r);
    project.current_part = -1;
    project.changed = 1;
    r.changed = true;
    return r;
}

}  // namespace app
