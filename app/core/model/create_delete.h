// Life cycle of the project records: constructors with their defaults, ids,
// the part table by id, bounded adding to the records' fixed arrays, and
// the free functions.
//
// Constructors and free functions run on the GUI thread (the main thread in
// batch mode). create_part and store_part_pointer work on current_project.
#pragma once

#include "app/core/model/records.h"

#include <string_view>

namespace app {

// The id drawn last by create_part.
extern int new_part_id;
// The next process id (100000 in a fresh program); raised by the file reader.
extern int new_process_id;
// The next interface id (10000 in a fresh program); raised by the file reader.
extern int new_interface_id;
// Number of the next interface name ("Interface %d"), for all projects of a run.
extern int interface_name_counter;

// Called by free_project after the project is released, e.g. to make the
// diagram menu entries insensitive; null when nobody listens.
extern void (*on_project_freed)();

// A project with an empty part table of PART_TABLE_START slots, 50 empty
// graph slots, no selection and the totals' display units.
Project* create_project();

// A process with a new id, the fluid "Dry ISO Air", the default inlet
// values and units. With empty == 0 it holds an Inlet linked to an Outlet
// (parts of current_project); with empty != 0 (file reader) no parts.
Process* create_process(int empty);

// A part of type 0-15 with the lowest free id of current_project's part
// table, its name ("Compressor 1" ..., the Inlet "Inlet"), defaults,
// options, units, steps and state new. PLACEHOLDER_PART (16) makes a file
// reader's part: no id, no table entry, no name. Without a current project
// a part gets no id and is named by its type alone. Another code gives null.
Part* create_part(int type);
// Steps of a new part of this type (mixers and splitters 3, combustors 1,
// all others 100).
int default_steps(int type);

// An interface named "Interface %d" with a new id and its defaults.
Interface* create_interface();

// A graph with its default isoline styles and flowsheet settings.
Graph* create_graph();

// Resets a graph's isoline styles and saturation-line style.
void graph_set_default_settings(Graph& graph);

// Stores a part in slot `id` of current_project's part table, growing the
// table by doubling when `id` is beyond it. Returns 0, or -1 (nothing
// stored) without a current project or for an id below 1 or above
// MAX_PART_ID.
int store_part_pointer(Part* part, int id);

// The part with this id in the project's table, or null.
Part* part_by_id(const Project* project, int id);

// Bounded adding to the fixed arrays. Each returns the index used, or -1
// (nothing changed) when the array is full, the position is out of range
// or an argument is null.
int append_process(Project& project, Process* process);
int append_interface(Project& project, Interface* interface);
int append_graph(Project& project, Graph* graph);  // first free diagram slot, 1 to 49
                                                   // (slot 0, the flowsheet, is set directly)
int append_part(Process& process, Part* part);
int insert_part(Process& process, int position, Part* part);  // later parts move up
int append_curve(Graph& graph, Process* process, const CurveStyle& style);

// Removes the part at `position` from the process (later parts move down)
// and returns it, or null.
Part* remove_part(Process& process, int position);

// Puts a project into the first empty slot of project_list; at most
// MAX_PROJECTS - 1 are open, so the list always ends with a null. Returns
// the slot, or -1 (nothing changed) when the list is full or the project
// null or already listed.
int project_list_add(Project* project);
// Removes a project from project_list, moving later entries down; false when
// it is not listed.
bool project_list_remove(const Project* project);

// Appends text to a project log; a log grows as needed and keeps all its
// text.
void log_append(std::string& log, std::string_view text);

// Release a record that the caller has already unlinked. free_part also
// empties the part's slot in current_project's table when it holds the part;
// free_process frees its parts; free_project frees its processes, parts,
// interfaces and graphs (never fluids), and clears current_project when it
// was this project. All accept null.
void free_part(Part* part);
void free_process(Process* process);
void free_interface(Interface* interface);
void free_graph(Graph* graph);
void free_project(Project* project);

}  // namespace app
