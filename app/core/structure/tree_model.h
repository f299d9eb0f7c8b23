// The project tree as data: the rows the window shows for a project (icon,
// name, value text, colours, whether the value is typed in place), the
// result cells written after a calculation, and the way back from a row's
// path to the record and value it shows. The window (app/gui) puts these
// rows into its tree store; tests read them without a display.
//
// Paths: 0 the project totals; 1 the processes (1:p:0 inlet conditions,
// 1:p:1 parts with row j for part j+1, 1:p:2 summary); 2 the interfaces;
// 3 the diagrams (row g for diagram slot g+1). Outlets have no row, and
// every Outlet sits at the end of its process's part list, so part row j
// is part j+1 for every row.
#pragma once

#include "app/core/model/records.h"

#include <string>
#include <string_view>
#include <vector>

namespace app {

using TreePath = std::vector<int>;
// "1:0:1:3" for {1, 0, 1, 3}.
std::string path_text(const TreePath& path);
// The path of such a text; empty when it is not one.
TreePath parse_path(std::string_view text);

// One row and the rows below it. Empty texts for colours and fonts leave
// the theme's.
struct TreeRow {
    std::string icon;  // stock icon name
    std::string name;
    std::string value;
    bool editable = false;  // the value is typed in place
    bool value_visible = false;
    std::string value_colour;
    std::string name_colour;
    std::string name_font;  // "bold", "italic"
    std::vector<TreeRow> children;
};

// ---------------------------------------------------------------------------
// Rows (tree_rows.cpp)
// ---------------------------------------------------------------------------

// The four top rows "Project", "Processes", "Interfaces", "Graphs" with
// everything below them. Recomputes every part's shown-input list and the
// interfaces' first two shown inputs.
std::vector<TreeRow> project_tree(Project& project);
// The subtree of one process (the process row).
TreeRow process_tree(Project& project, Process& process);
// The six rows of "Inlet Conditions": "Fluid" and the five inlet values.
std::vector<TreeRow> inlet_rows(const Process& process);
// The subtree of one part (the part row); recomputes its shown inputs.
TreeRow part_tree(Part& part);
// The "Options" and "Input" rows of a part, as its choices stand.
std::vector<TreeRow> part_option_rows(const Part& part);
std::vector<TreeRow> part_input_rows(const Part& part);
// The subtree of one interface; sets its first two shown inputs.
TreeRow interface_tree(const Project& project, Interface& interface);
// The "Parameters" rows of an interface.
std::vector<TreeRow> interface_parameter_rows(const Interface& interface);
// "process : part" of an interface side, or " - " when either is gone.
std::string interface_side_text(const Project& project, int process_id, int part_id);
// The row of a diagram under "Graphs".
TreeRow graph_row(const Graph& graph);

// A shown-input entry without an input: the outlet temperature of a heat
// exchanger that an interface drives, shown as " - ".
inline constexpr int NO_INPUT = -1;
// The inputs a part's options enable, one entry per option that enables
// one (options enabling none come last in every type's list), so entry n
// belongs to option row n.
void compute_shown_inputs(Part& part);
// Whether an interface drives the heat exchanger's outlet temperature.
bool linked_heat_exchanger(const Part& part);
// The option (row of part_input_options) of the part's option row n; -1
// for none and for the fixed "Outlet Temperature" of a linked heat
// exchanger.
int option_of_row(const Part& part, int n);

// ---------------------------------------------------------------------------
// Results (tree_rows.cpp)
// ---------------------------------------------------------------------------

// Result groups of a part: "Inlet", "Outlet", and a third: "Inlet 2" for a
// Mixer, "Outlet 2" for a Splitter, "Overall" for the others.
enum ResultGroup : int { RG_INLET = 0, RG_OUTLET = 1, RG_THIRD = 2 };
// The group of a part output by its name ("2_Inlet ..." and "2_Outlet ..."
// the third, "Inlet ..." and "Outlet ..." the first two, others the third).
int result_group(std::string_view output_name);
// The row name of an output: the first word after the group's prefix
// ("Inlet Enthalpy h" shows "Enthalpy"), or the full name in "Overall".
std::string result_row_name(std::string_view output_name);
// The output row shown as result n of group `group` of the part type, or -1.
int output_of_result_row(const PartType& type, int group, int n);

// A value cell to rewrite: its path and text (shown dark cyan).
struct CellText {
    TreePath path;
    std::string text;
};
// Every result cell of the project: totals, part results, summaries and
// interface results, formatted in their display units.
std::vector<CellText> result_cells(const Project& project);

// ---------------------------------------------------------------------------
// From a path to the record (tree_paths.cpp)
// ---------------------------------------------------------------------------

enum class RowKind {
    NONE,
    PROJECT,
    TOTAL,
    PROCESSES,
    PROCESS,
    INLET_CONDITIONS,
    FLUID,
    INLET_VALUE,
    PARTS,
    PART,
    OPTIONS,
    OPTION,
    INPUTS,
    INPUT,
    RESULTS,
    RESULT_GROUP,
    RESULT,
    SUMMARY,
    SUMMARY_VALUE,
    INTERFACES,
    INTERFACE,
    HOT_SIDE,
    COLD_SIDE,
    INTERFACE_OPTIONS,
    CALCULATION_MODE,
    INITIALIZATION_MODE,
    PARAMETERS,
    PARAMETER,
    INTERFACE_RESULTS,
    INTERFACE_RESULT,
    GRAPHS,
    GRAPH,
};

// What a row shows. Indices are -1 where they do not apply.
struct RowRef {
    RowKind kind = RowKind::NONE;
    int process = -1;    // process index
    int part = -1;       // list index of the part (row j is part j+1; "Parts" the Inlet)
    int interface = -1;  // interface index
    int graph = -1;      // diagram slot (row g is slot g+1)
    int group = -1;      // result group
    int index = -1;      // k or n of the row among its siblings
};
// The row at the path; kind NONE when the path leads to no row of the
// project's records.
RowRef resolve_row(const Project& project, const TreePath& path);

// The value of a row that has one with a unit: its definition, the value
// and its display unit. All null for other rows (and for a shown input
// without an input).
struct ValueSlot {
    const ValueDef* def = nullptr;
    double* value = nullptr;
    int* unit = nullptr;
};
ValueSlot value_slot(Project& project, const RowRef& row);
// The definition of that value (null for rows without one).
const ValueDef* row_value_def(const Project& project, const RowRef& row);

// The part of a row in a process (or null).
Part* part_of(const Project& project, const RowRef& row);

}  // namespace app
