// Finding parts and processes, and the walks over a process's links: the
// main outlet, reachability and the check for loops and unreachable parts.
// Every walk is bounded by the number of parts of the process.
#include "app/core/model/create_delete.h"
#include "app/core/model/tools.h"
#include "app/core/structure/structure.h"

#include <algorithm>
#include <vector>

namespace app {

namespace {

// The part that outlet k of `part` feeds, if it is in the process.
const Part* successor(const Project& project, const Process& process, const Part& part, int k) {
    const int id = part.next_id[sz(k)];
    if (id <= 0) return nullptr;
    const Part* next = part_by_id(&project, id);
    return next != nullptr && part_index_in(process, id) >= 0 ? next : nullptr;
}

std::string quoted(const std::string& s) { return "'" + s + "'"; }

}  // namespace

int part_index_in(const Process& process, int id) {
    if (id <= 0) return -1;
    for (int i = 0; i < process.az_parts && i < MAX_PARTS; ++i) {
        const Part* part = process.parts[sz(i)];
        if (part != nullptr && part->id == id) return i;
    }
    return -1;
}

int get_part_num_by_part_id(const Project* project, int id) {
    if (project == nullptr) return -1;
    for (int p = 0; p < project->az_processes; ++p) {
        const Process* process = project->processes[sz(p)];
        if (process == nullptr) continue;
        if (int i = part_index_in(*process, id); i >= 0) return i;
    }
    return -1;
}

int get_process_num_of_part_by_part_id(const Project* project, int id) {
    if (project == nullptr) return -1;
    for (int p = 0; p < project->az_processes; ++p) {
        const Process* process = project->processes[sz(p)];
        if (process != nullptr && part_index_in(*process, id) >= 0) return p;
    }
    return -1;
}

int get_process_num_by_id(const Project* project, int process_id) {
    if (project == nullptr) return -1;
    for (int p = 0; p < project->az_processes; ++p) {
        const Process* process = project->processes[sz(p)];
        if (process != nullptr && process->id == process_id) return p;
    }
    return -1;
}

int main_outlet_id(const Project& project, const Process& process) {
    if (process.az_parts <= 0 || process.parts[0] == nullptr) return 0;
    const Part* part = process.parts[0];
    for (int steps = 0; part != nullptr && steps <= process.az_parts; ++steps) {
        if (part->type == OUTLET) return part->id;
        part = successor(project, process, *part, 0);
    }
    return 0;
}

bool reachable(const Project& project, const Process& process, int from_id, int to_id) {
    const int n = process.az_parts;
    const int start = part_index_in(process, from_id);
    if (start < 0 || part_index_in(process, to_id) < 0) return false;
    std::vector<char> seen(sz(n), 0);
    std::vector<int> todo{start};
    seen[sz(start)] = 1;
    while (!todo.empty()) {
        const Part& part = *process.parts[sz(todo.back())];
        todo.pop_back();
        if (part.id == to_id) return true;
        for (int k = 0; k < 2; ++k) {
            const Part* next = successor(project, process, part, k);
            if (next == nullptr) continue;
            const int j = part_index_in(process, next->id);
            if (seen[sz(j)] == 0) {
                seen[sz(j)] = 1;
                todo.push_back(j);
            }
        }
    }
    return false;
}

LinkProblem find_link_problem(const Project& project, const Process& process) {
    const int n = process.az_parts;
    LinkProblem problem;
    if (n <= 0 || n > MAX_PARTS) return problem;
    // Depth-first from the Inlet without recursion: a loop is an edge back
    // to a part on the current path.
    enum : char { UNSEEN, ON_PATH, DONE };
    std::vector<char> mark(sz(n), UNSEEN);
    struct Frame {
        int part;
        int next_slot;
    };
    std::vector<Frame> path{{0, 0}};
    mark[0] = ON_PATH;
    while (!path.empty() && problem.text.empty()) {
        Frame& top = path.back();
        if (top.next_slot > 1) {
            mark[sz(top.part)] = DONE;
            path.pop_back();
            continue;
        }
        const int k = top.next_slot++;
        const Part& part = *process.parts[sz(top.part)];
        const Part* next = successor(project, process, part, k);
        if (next == nullptr) continue;
        const int j = part_index_in(process, next->id);
        if (mark[sz(j)] == ON_PATH) {
            std::string loop;
            bool on = false;
            for (const Frame& f : path) {
                on = on || f.part == j;
                if (on) loop += quoted(process.parts[sz(f.part)]->name) + " -> ";
            }
            loop += quoted(next->name);
            problem.text =
                "the parts of process " + quoted(process.name) +
                (top.part == j ? " include a part linked to itself: " : " are linked in a loop: ") +
                loop;
            problem.part = top.part;
            problem.slot = k;
        } else if (mark[sz(j)] == UNSEEN) {
            mark[sz(j)] = ON_PATH;
            path.push_back({j, 0});
        }
    }
    if (!problem.text.empty()) return problem;
    for (int i = 0; i < n; ++i) {
        if (mark[sz(i)] != UNSEEN) continue;
        problem.text = "part " + quoted(process.parts[sz(i)]->name) + " of process " +
                       quoted(process.name) + " cannot be reached from its Inlet";
        problem.part = i;
        return problem;
    }
    return problem;
}

void order_by_links(Process& process) {
    const int n = std::clamp(process.az_parts, 0, MAX_PARTS);
    std::vector<Part*> order;
    std::vector<char> placed(sz(n), 0);
    auto ready = [&](const Part& part) {
        if (part.type == INLET) return true;
        const int from = part_index_in(process, part.prev_id[0]);
        return from >= 0 && placed[sz(from)] != 0;
    };
    // The first part in the present order whose feed is placed, each time.
    for (bool found = true; found && static_cast<int>(order.size()) < n;) {
        found = false;
        for (int i = 0; i < n && !found; ++i) {
            Part* part = process.parts[sz(i)];
            if (placed[sz(i)] != 0 || part == nullptr || !ready(*part)) continue;
            placed[sz(i)] = 1;
            order.push_back(part);
            found = true;
        }
    }
    for (int i = 0; i < n; ++i)
        if (placed[sz(i)] == 0) order.push_back(process.parts[sz(i)]);
    std::copy(order.begin(), order.end(), process.parts.begin());
}

Calculability check_calculability_of(const Project* project) {
    Calculability c;
    if (project == nullptr) {
        c.why = "no project is open";
        return c;
    }
    if (project->az_processes <= 0) {
        c.why = "the project holds no process";
        return c;
    }
    c.create_graph = true;
    for (int i = 0; i < project->az_processes; ++i) {
        const Process* process = project->processes[sz(i)];
        if (process == nullptr) continue;
        for (int k = 0; k < process->az_parts; ++k) {
            const Part* part = process->parts[sz(k)];
            if (part != nullptr && part->type == MIXER && part->prev_id[1] <= 0) {
                c.why = "the second inlet of mixer '" + part->name + "' is not connected";
                return c;
            }
        }
    }
    c.calculate = true;
    return c;
}

}  // namespace app
