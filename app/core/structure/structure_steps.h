// Steps that the structure edits share (structure_edit.cpp): linking two
// parts, the room left in a process, and adding or removing a part of the
// list while noting the edit for the tree.
#pragma once

#include "app/core/model/records.h"
#include "app/core/structure/structure.h"

#include <string>

namespace app::structure_steps {

// Makes `project` the current project while it lives: new parts take their
// ids from its part table and freed parts leave it.
class CurrentProject {
public:
    explicit CurrentProject(Project& project) : saved_(current_project) {
        current_project = &project;
    }
    ~CurrentProject() { current_project = saved_; }
    CurrentProject(const CurrentProject&) = delete;
    CurrentProject& operator=(const CurrentProject&) = delete;

private:
    Project* saved_;
};

// Outlet k of `from` feeds inlet m of `to`, recorded on both sides.
void link(Part& from, int k, Part& to, int m);

// Why the process cannot take `count` more parts ("" when it can).
std::string room_for(const Process& process, int count);

// Inserts the part after list index `index`: it becomes the current part,
// takes the process's fluid, and the project is marked changed.
void add_after(Project& project, Process& process, int index, Part& part, StructureResult& r);
// Appends an Outlet to the list.
void append_outlet(Process& process, Part& outlet, StructureResult& r);
// Takes the part out of the list and frees it.
void remove_and_free(Process& process, Part& part, StructureResult& r);

}  // namespace app::structure_steps
