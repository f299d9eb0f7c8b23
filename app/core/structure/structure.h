// Room app/core/structure: the project's structure. Processes and their
// parts' links, the structure commands (insert, connect, delete, move), the
// interfaces between heat exchangers, and the project tree as data (tree
// model, rows, paths, rules, typed edits). It includes the model and the
// fluids.
//
// The structure of a process: the links between its parts, the checks that
// every walk over them relies on, and the edits of the Insert, Connect,
// Delete and Move commands. No toolkit here: the window passes in the
// dialogs that ask the user (the choosers) and shows the result.
//
// Link rules kept by every edit: a link is recorded on both sides (if A's
// outlet k feeds B's inlet m, then A.next_id[k] = B.id, A.next_inlet[k] =
// m, B.prev_id[m] = A.id, B.prev_outlet[m] = k); every part is reachable
// from the Inlet; no loop; part 0 is the Inlet and every Outlet sits at the
// end of the part list. A mixer's unconnected second inlet holds -1.
//
// Every walk over links takes at most as many steps as the process has
// parts, so a damaged structure can never make one run for ever.
#pragma once

#include "app/core/model/records.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// A mixer's second inlet that is not connected.
inline constexpr int UNCONNECTED = -1;

// ---------------------------------------------------------------------------
// Finding parts and processes (structure_links.cpp)
// ---------------------------------------------------------------------------

// Index of the part in the first process that holds it, or -1; -1 also for
// no project or a project without processes.
int get_part_num_by_part_id(const Project* project, int id);
// Index of that process, or -1.
int get_process_num_of_part_by_part_id(const Project* project, int id);
// Index of the process with this id, or -1.
int get_process_num_by_id(const Project* project, int process_id);
// Position of the part with this id in the process's list, or -1.
int part_index_in(const Process& process, int id);

// The process's main outlet: the Outlet at the end of the walk from the
// Inlet along every part's first outlet. 0 when that walk ends elsewhere.
int main_outlet_id(const Project& project, const Process& process);
// True when the part `to_id` lies downstream of (or is) `from_id`, following
// both outlets of every part within the process.
bool reachable(const Project& project, const Process& process, int from_id, int to_id);

// What is wrong with a process's links: a loop, or a part that cannot be
// reached from the Inlet. `part` and `slot` name the part (index) and the
// outlet whose link closes the loop, or the unreachable part (slot -1).
struct LinkProblem {
    std::string text;  // "" when nothing is wrong
    int part = -1;
    int slot = -1;
};
LinkProblem find_link_problem(const Project& project, const Process& process);

// Puts the parts of a process in calculation order: each after the part
// that feeds its first inlet, otherwise in the order they have (an order
// that keeps to the links stays as it is). Parts that no walk from the
// Inlet reaches keep their order at the end.
void order_by_links(Process& process);

// ---------------------------------------------------------------------------
// Structure edits (structure_insert.cpp, structure_edit.cpp)
// ---------------------------------------------------------------------------

// The dialogs of the structure commands. Each returns the index the user
// chose, or nothing when the dialog was closed or cancelled. A chooser
// that is not set counts as cancelled.
struct StructureChoosers {
    // "Outlet selector: " with "First" (0) and "Second" (1): the outlet of
    // the current splitter that the new part goes after.
    std::function<std::optional<int>()> splitter_outlet;
    // "Outlet selector: " over the names of the outlets a mixer may take up,
    // the last entry "Leave unconnected".
    std::function<std::optional<int>(const std::vector<std::string>& names)> mixer_outlet;
    // "Mixer position" over "Directly after the splitter", the parts the
    // bypass may rejoin after, and "No mixer, add additional outlet".
    std::function<std::optional<int>(const std::vector<std::string>& names)> mixer_position;
};

// A change of a process's part list, in the order made. The tree shows
// part j+1 in row j and shows no Outlet, so an edit at list index i that
// `shown` touches row i-1.
struct PartListEdit {
    enum Kind { INSERTED, REMOVED, SWAPPED };
    Kind kind = INSERTED;
    int index = 0;         // list index (SWAPPED: the first of the pair)
    bool shown = false;    // the part has a tree row
    Part* part = nullptr;  // INSERTED: the new part
};

struct StructureResult {
    bool changed = false;
    // Why nothing changed, for the user; "" when the refusal is silent (a
    // cancelled dialog, an Outlet as current part).
    std::string refusal;
    int process = -1;  // index of the process changed
    std::vector<PartListEdit> edits;
};

// Insert commands: after the current part of the current process of the
// project (a current process below 0 is process 0, a current part outside
// the list is the Inlet). An Outlet as current part refuses. A full process
// (MAX_PARTS) refuses with a message. The new part (the splitter of a pair)
// becomes the current part and gets the process's fluid.
//
// A part of type 0-15 with the defaults of its insert command: compressors,
// pumps and turbines count for the process and the full project
// ("Efficiency calculation" choice 2), combustors too with an outlet
// temperature of 1273.15 K.
StructureResult insert_new_part(Project& project, int type, const StructureChoosers& choosers);
// A Splitter whose second outlet feeds a new Outlet at the end of the list.
StructureResult insert_splitter(Project& project, const StructureChoosers& choosers);
// A Mixer, then the offer to connect its second inlet.
StructureResult insert_mixer(Project& project, const StructureChoosers& choosers);
// A Splitter with a Mixer: directly after the splitter, rejoining after a
// chosen part of the flow that follows, or no mixer (as insert_splitter).
StructureResult insert_splitter_mixer(Project& project, const StructureChoosers& choosers);

// The Outlets whose branch the mixer may take into its second inlet: those
// of the second branches of the splitters passed walking back from the
// mixer to the Inlet, without the process's main outlet and without any
// Outlet downstream of the mixer (either would close a loop).
std::vector<int> find_outlets_backwards(const Project& project, const Process& process,
                                        const Part& mixer);
// Offers those outlets and connects the chosen one's branch to the mixer's
// second inlet; the Outlet part goes. The current part becomes -1.
StructureResult connect_mixer_to_outlet(Project& project, int process_index, int mixer_id,
                                        const StructureChoosers& choosers);

// Whether delete_part would refuse the part, and why ("" when it would
// not): the Inlet and Outlets, a heat exchanger that belongs to an
// interface, a splitter with parts in its second branch.
std::string delete_part_refusal(const Project& project, int process_index, int part_id);
// Deletes the part and links its predecessor to its successor. A Splitter
// goes only with an empty second branch (its Outlet goes too); a Mixer's
// connected second branch gets an Outlet of its own again.
StructureResult delete_part(Project& project, int process_index, int part_id);

// Moves the current part one place up (-1) or down (+1) in the list and in
// the flow. Only on a simple chain: the neighbour in the list must be the
// neighbour in the flow, the Inlet and the Outlets never move, and a move
// that would close a loop is refused.
StructureResult move_part(Project& project, int direction);
// Whether move_part would move the part (at list index `part`).
bool can_move_part(const Project& project, const Process& process, int part, int direction);

// ---------------------------------------------------------------------------
// Processes, interfaces, diagrams (processes.cpp)
// ---------------------------------------------------------------------------

// What the "Create New Process" dialog gives.
struct NewProcessValues {
    std::string name;
    Fluid* fluid = nullptr;
    std::array<double, NUM_PROCESS_INPUTS> values{};  // internal units
    std::array<int, NUM_PROCESS_INPUTS> units{};
};
// The dialog's starting values: "Process %d" (one more than the processes),
// the fluid, the table defaults in each quantity's default unit, the
// standard volume flow of the default mass flow.
NewProcessValues new_process_defaults(const Project& project, Fluid* fluid);
// Makes the process (an Inlet feeding an Outlet) and appends it; it becomes
// the current process with the Inlet current, and a curve of every diagram
// of its fluid. Null with `refusal` set when the project is full.
Process* add_new_process(Project& project, const NewProcessValues& values, std::string& refusal);

// What a value typed into one of the dialog's spin buttons gives: read
// with the syntax of the project tree (a number, optionally its unit:
// "1e3", "5 kPa"), in the row's `unit` when none is typed. `ok` with the
// value in `unit` (display units) when it is a number within `lo`..`hi`
// (display units, the range the dialog offers) and the row's input
// bounds; else `message` says why it is refused (the dialog keeps the old
// value).
struct TypedSpinValue {
    bool ok = false;
    double shown = 0.0;
    std::string message;
};
TypedSpinValue read_new_process_value(int row, int unit, std::string_view text, double lo,
                                      double hi);

// Deletes the process with this id: first the interfaces on its heat
// exchangers (their other sides become free), its curves in every diagram,
// then the record. False when no process has the id.
bool delete_process(Project& project, int process_id);

// True when a side of the interface is in the process.
bool interface_uses_process(const Interface& itf, const Process& process);
// Deletes interface `index`: the heat exchangers still found become free
// ("Specific Heat Flux", the heat-exchanger icon), a heat-flow diagram of
// the interface forgets it, later interfaces move down. Returns the parts
// freed, or nothing for a bad index.
std::optional<std::vector<Part*>> remove_interface(Project& project, int index);
// Deletes diagram slot `slot` (1 and up); later slots move down.
bool remove_graph(Project& project, int slot);

// The curve style of a process added to a diagram: black, solid, 3.0 wide,
// end points of style 1 and size 4, step points of style 0 and size 1.
CurveStyle default_curve_style();
// Takes the process out of the curves of every diagram of the project.
void remove_process_curves(Project& project, const Process* process);

// A new working fluid for the process: it is pending again (every part
// but the Inlet) and leaves every diagram, whose curves drew the old fluid.
void set_process_fluid(Project& project, Process& process, Fluid* fluid);
// A new working fluid for the current process of the current project (the
// first open project when none is current; a current process outside the
// list means process 0): the process is pending again and leaves every
// diagram. Returns the process index, or -1 (nothing done) without a
// project, a process or a fluid.
int change_fluid(Fluid* fluid);

// The inlet rule: mass flow and standard volume flow are two views of one
// flow. After an edit of inlet value `edited`: a mass flow gives the
// standard volume flow, a standard volume flow the mass flow; temperature,
// pressure and humidity recompute the standard volume flow when the mass
// flow is the fixed one, else the mass flow. A humidity is held at 0 for a
// fluid whose humidity kind is not 3.
void apply_inlet_rule(std::array<double, NUM_PROCESS_INPUTS>& values, Fluid* fluid, int edited,
                      bool massflow_fixed);

// What a project allows (structure_links.cpp; batch mode asks it too):
// Calculate needs at least one process and no mixer waiting for its second
// inlet; Create Graph needs at least one process.
// `why` names what stops Calculate ("" when nothing does).
struct Calculability {
    bool calculate = false;
    bool create_graph = false;
    std::string why;
};
// For no project, nothing is allowed.
Calculability check_calculability_of(const Project* project);

}  // namespace app
