// Helpers of the structure and tree tests: a checker that walks every link
// of a project on its own (not through the program's walks), scripted
// choosers, and projects built through the program's own commands.
#pragma once

#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/structure/structure.h"
#include "app/core/structure/tree_model.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace structuretest {

using namespace app;

// Every link of every process: both sides agree, every part is reachable
// from the Inlet and lies on no loop (Kahn's order takes every part), the
// Inlet is first and the Outlets last, and the tree's part rows are parts
// 1, 2, ... in list order.
inline void expect_sound(Project& project) {
    for (int pi = 0; pi < project.az_processes; ++pi) {
        Process& process = *project.processes[pi];
        const int n = process.az_parts;
        SCOPED_TRACE("process " + process.name);
        ASSERT_GE(n, 2);
        ASSERT_EQ(process.parts[0]->type, INLET);
        std::map<int, int> at;  // id -> index
        for (int i = 0; i < n; ++i) at[process.parts[i]->id] = i;
        std::vector<int> incoming(n, 0);
        bool outlets = false;
        for (int i = 0; i < n; ++i) {
            const Part& part = *process.parts[i];
            SCOPED_TRACE("part " + part.name);
            if (part.type == OUTLET) outlets = true;
            EXPECT_TRUE(part.type == OUTLET || !outlets) << "an Outlet before other parts";
            const int outs = part.type == SPLITTER ? 2 : part.type == OUTLET ? 0 : 1;
            const int ins = part.type == MIXER ? 2 : part.type == INLET ? 0 : 1;
            for (int k = 0; k < 2; ++k) {
                const int nid = part.next_id[k];
                if (k < outs) {
                    ASSERT_TRUE(at.count(nid)) << "outlet " << k << " feeds no part";
                    const Part& next = *process.parts[at[nid]];
                    const int m = part.next_inlet[k];
                    EXPECT_EQ(next.prev_id[m], part.id);
                    EXPECT_EQ(next.prev_outlet[m], k);
                    ++incoming[at[nid]];
                } else {
                    EXPECT_EQ(nid, 0) << "a link on outlet " << k;
                }
                const int pid = part.prev_id[k];
                if (k < ins) {
                    if (pid == -1 && k == 1) continue;  // a mixer waiting for its branch
                    ASSERT_TRUE(at.count(pid)) << "inlet " << k << " fed by no part";
                    const Part& prev = *process.parts[at[pid]];
                    const int o = part.prev_outlet[k];
                    EXPECT_EQ(prev.next_id[o], part.id);
                    EXPECT_EQ(prev.next_inlet[o], k);
                } else {
                    EXPECT_EQ(pid, 0) << "a link on inlet " << k;
                }
            }
        }
        // Kahn: only the Inlet has no predecessor; the order must take all.
        std::vector<int> ready{0};
        int taken = 0;
        while (!ready.empty()) {
            const Part& part = *process.parts[ready.back()];
            ready.pop_back();
            ++taken;
            for (int k = 0; k < 2; ++k)
                if (at.count(part.next_id[k]) && --incoming[at[part.next_id[k]]] == 0)
                    ready.push_back(at[part.next_id[k]]);
        }
        EXPECT_EQ(taken, n) << "a loop, or a part not reachable from the Inlet";
        const TreeRow row = process_tree(project, process);
        const std::vector<TreeRow>& rows = row.children[1].children;
        int shown = 0;
        for (int i = 1; i < n && process.parts[i]->type != OUTLET; ++i) {
            ASSERT_LT(shown, static_cast<int>(rows.size()));
            EXPECT_EQ(rows[shown++].name, process.parts[i]->name);
        }
        EXPECT_EQ(shown, static_cast<int>(rows.size()));
    }
}

// Choosers that answer from a script and keep what they were offered.
struct Script {
    std::optional<int> splitter_outlet;
    std::optional<int> mixer_outlet;
    std::optional<int> mixer_position;
    std::vector<std::string> offered_outlets;
    std::vector<std::string> offered_positions;

    StructureChoosers choosers() {
        StructureChoosers c;
        c.splitter_outlet = [this] { return splitter_outlet; };
        c.mixer_outlet = [this](const std::vector<std::string>& names) {
            offered_outlets = names;
            return mixer_outlet;
        };
        c.mixer_position = [this](const std::vector<std::string>& names) {
            offered_positions = names;
            return mixer_position;
        };
        return c;
    }
};

// The names of a process's parts in list order.
inline std::vector<std::string> names(const Process& process) {
    std::vector<std::string> out;
    for (int i = 0; i < process.az_parts; ++i) out.push_back(process.parts[i]->name);
    return out;
}

// The part of the process with this name (null when none).
inline Part* named(const Process& process, const std::string& name) {
    for (int i = 0; i < process.az_parts; ++i)
        if (process.parts[i]->name == name) return process.parts[i];
    return nullptr;
}

// Makes the named part the current part of its process.
inline void select(Project& project, int process, const std::string& name) {
    project.current_process = process;
    const Process& p = *project.processes[process];
    for (int i = 0; i < p.az_parts; ++i)
        if (p.parts[i]->name == name) project.current_part = i;
}

}  // namespace structuretest
