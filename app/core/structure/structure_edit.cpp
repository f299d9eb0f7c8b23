// Deleting and moving parts, and the steps every structure edit shares.
#include "app/core/model/create_delete.h"
#include "app/core/model/tools.h"
#include "app/core/structure/structure.h"
#include "app/core/structure/structure_steps.h"
#include "app/core/structure/tree_model.h"

#include <utility>

namespace app {

namespace structure_steps {

void link(Part& from, int k, Part& to, int m) {
    from.next_id[sz(k)] = to.id;
    from.next_inlet[sz(k)] = m;
    to.prev_id[sz(m)] = from.id;
    to.prev_outlet[sz(m)] = k;
}

std::string room_for(const Process& process, int count) {
    if (process.az_parts + count <= MAX_PARTS) return "";
    return "Process '" + process.name + "' holds " + std::to_string(process.az_parts) +
           " parts; a process holds at most " + std::to_string(MAX_PARTS) +
           " parts with its Inlet and Outlets.";
}

void add_after(Project& project, Process& process, int index, Part& part, StructureResult& r) {
    const int at = insert_part(process, index + 1, &part);
    part.fluid = process.fluid;
    compute_shown_inputs(part);
    r.edits.push_back({PartListEdit::INSERTED, at, part.type != OUTLET, &part});
    project.current_part = at;
    project.changed = 1;
    r.changed = true;
}

void append_outlet(Process& process, Part& outlet, StructureResult& r) {
    const int at = append_part(process, &outlet);
    outlet.fluid = process.fluid;
    r.edits.push_back({PartListEdit::INSERTED, at, false, &outlet});
    r.changed = true;
}

void remove_and_free(Process& process, Part& part, StructureResult& r) {
    const int at = part_index_in(process, part.id);
    const bool shown = part.type != OUTLET;
    remove_part(process, at);
    free_part(&part);
    r.edits.push_back({PartListEdit::REMOVED, at, shown, nullptr});
    r.changed = true;
}

}  // namespace structure_steps

using namespace structure_steps;

namespace {

// The interface that uses the part as one of its sides, or null.
const Interface* interface_of(const Project& project, int part_id) {
    for (int i = 0; i < project.az_interfaces; ++i) {
        const Interface* itf = project.interfaces[sz(i)];
        if (itf != nullptr && (itf->hot_part_id == part_id || itf->cold_part_id == part_id))
            return itf;
    }
    return nullptr;
}

// Outlet-temperature choice of a heat exchanger that an interface drives.
constexpr int DETERMINED_BY_INTERFACE = 2;

}  // namespace

std::string delete_part_refusal(const Project& project, int process_index, int part_id) {
    if (process_index < 0 || process_index >= project.az_processes) return "No such process.";
    const Process& process = *project.processes[sz(process_index)];
    const int at = part_index_in(process, part_id);
    if (at < 0) return "No such part.";
    const Part& part = *process.parts[sz(at)];
    if (part.type == INLET || part.type == OUTLET)
        return "The " + std::string(part.type == INLET ? "Inlet" : "Outlets") +
               " of a process cannot be deleted.";
    if (const Interface* itf = interface_of(project, part.id))
        return "Heat exchanger '" + part.name + "' belongs to interface '" + itf->name +
               "'. Delete the interface first.";
    if (part.options[OPT_OUTLET_TEMPERATURE] == DETERMINED_BY_INTERFACE &&
        (part.type == HEAT_EXCHANGER || part.type == INTERCOOLER))
        return "Heat exchanger '" + part.name +
               "' is determined by an interface. Delete the interface first.";
    if (part.type == SPLITTER) {
        const Part* branch = part_by_id(&project, part.next_id[1]);
        // A branch straight into a mixer holds no parts: the mixer is what
        // keeps the splitter (deleting it ends the branch in an Outlet).
        if (branch != nullptr && branch->type == MIXER)
            return "Splitter '" + part.name + "' cannot be deleted while its second branch " +
                   "leads into mixer '" + branch->name + "'. Delete the mixer first.";
        if (branch != nullptr && branch->type != OUTLET)
            return "Splitter '" + part.name +
                   "' cannot be deleted while its second branch holds parts.";
    }
    if (part_by_id(&project, part.prev_id[0]) == nullptr)
        return "Part '" + part.name + "' has no predecessor.";
    return "";
}

StructureResult delete_part(Project& project, int process_index, int part_id) {
    StructureResult r;
    r.refusal = delete_part_refusal(project, process_index, part_id);
    if (!r.refusal.empty()) return r;
    CurrentProject as_current(project);
    r.process = process_index;
    Process& process = *project.processes[sz(process_index)];
    Part& part = *process.parts[sz(part_index_in(process, part_id))];
    Part* pred = part_by_id(&project, part.prev_id[0]);
    const int o = part.prev_outlet[0];
    Part* next = part_by_id(&project, part.next_id[0]);
    const int m = part.next_inlet[0];

    // 1. A splitter's empty branch goes with it.
    if (part.type == SPLITTER)
        if (Part* outlet = part_by_id(&project, part.next_id[1]))
            remove_and_free(process, *outlet, r);
    // 2. A mixer's connected second branch ends in an Outlet of its own.
    Part* branch_outlet = nullptr;
    if (part.type == MIXER && part.prev_id[1] > 0)
        if (Part* feeder = part_by_id(&project, part.prev_id[1])) {
            branch_outlet = create_part(OUTLET);
            link(*feeder, part.prev_outlet[1], *branch_outlet, 0);
        }
    // 3. The predecessor feeds the successor.
    if (next != nullptr)
        link(*pred, o, *next, m);
    else
        pred->next_id[sz(o)] = 0;
    // 4. The part goes; the new Outlet takes its place in the count.
    remove_and_free(process, part, r);
    if (branch_outlet != nullptr) append_outlet(process, *branch_outlet, r);
    project.current_part = -1;
    project.changed = 1;
    return r;
}

bool can_move_part(const Project& project, const Process& process, int part, int direction) {
    if (direction != -1 && direction != 1) return false;
    const int first = direction < 0 ? part - 1 : part;
    const int second = first + 1;
    if (first < 1 || second >= process.az_parts) return false;
    const Part& a = *process.parts[sz(first)];
    const Part& b = *process.parts[sz(second)];
    if (a.type == INLET || a.type == OUTLET || b.type == INLET || b.type == OUTLET) return false;
    // Neighbours in the list and in the flow.
    if (a.next_id[0] != b.id || a.next_inlet[0] != 0 || b.prev_id[0] != a.id) return false;
    if (part_by_id(&project, a.prev_id[0]) == nullptr) return false;
    // After the swap b feeds a: a path from a's second outlet to b would
    // close a loop.
    if (a.type == SPLITTER && reachable(project, process, a.next_id[1], b.id)) return false;
    return true;
}

StructureResult move_part(Project& project, int direction) {
    StructureResult r;
    if (project.current_process < 0 || project.current_process >= project.az_processes) return r;
    Process& process = *project.processes[sz(project.current_process)];
    const int part = project.current_part;
    if (!can_move_part(project, process, part, direction)) return r;
    r.process = project.current_process;
    const int first = direction < 0 ? part - 1 : part;
    Part& a = *process.parts[sz(first)];
    Part& b = *process.parts[sz(first + 1)];
    Part& before = *part_by_id(&project, a.prev_id[0]);
    const int before_outlet = a.prev_outlet[0];
    Part* after = part_by_id(&project, b.next_id[0]);
    const int after_inlet = b.next_inlet[0];
    link(before, before_outlet, b, 0);
    link(b, 0, a, 0);
    if (after != nullptr)
        link(a, 0, *after, after_inlet);
    else
        a.next_id[0] = 0;
    std::swap(process.parts[sz(first)], process.parts[sz(first + 1)]);
    r.edits.push_back({PartListEdit::SWAPPED, first, true, nullptr});
    project.current_part = part + direction;
    project.changed = 1;
    r.changed = true;
    return r;
}

}  // namespace app
