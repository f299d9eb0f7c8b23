// What the project tree does with a press, a menu choice, a typed value or
// a row command, decided without a display: which commands a selection
// enables, which menu a row opens, what becomes current, how a typed value
// or a chosen unit or option changes the records, what Rename renames and
// in which order Delete deletes. The window (app/gui) carries it out.
#pragma once

#include "app/core/model/records.h"
#include "app/core/structure/tree_model.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// ---------------------------------------------------------------------------
// Presses (tree_rules.cpp)
// ---------------------------------------------------------------------------

// Commands a press enables. `add_clicked`: a right click on a second free
// heat exchanger joins the first in the selection.
struct SelectionRules {
    bool add_clicked = false;
    bool delete_enabled = true;
    bool move_up = false;
    bool move_down = false;
    bool create_interface = false;  // of the multiple-selection menu
    int selected = 0;               // rows selected after the press
};
// `selected` the rows selected before the press, `clicked` the row under
// the pointer (none when empty), `single_right` a single press of button 3.
SelectionRules selection_rules(const Project& project, const std::vector<TreePath>& selected,
                               const TreePath& clicked, bool single_right);

// A menu a press opens.
struct TreeMenu {
    enum Kind { NONE, UI_POPUP, UNIT_MENU, OPTION_MENU, CALCULATION_MODE_MENU, FLUID_MENU };
    Kind kind = NONE;
    std::string ui_path;      // UI_POPUP: "ui/Popup_on_part" ...
    int index = -1;           // UNIT_MENU: the quantity; OPTION_MENU: the option row
    bool beside_row = false;  // placed next to the row, else at the pointer
};
// The menu of a right click on a row (one row selected).
TreeMenu right_click_menu(const Project& project, const RowRef& row);
// The menu a left click opens at once: an option row's choices (none on
// the "Outlet Temperature" of a heat exchanger an interface drives), the
// interface's calculation modes, the fluids.
TreeMenu left_click_menu(const Project& project, const RowRef& row);
// What becomes current with a press on the row: rows of a process make it
// current (part rows their part, "Parts" the Inlet) and no interface; rows
// of an interface make it current and no process or part. Returns true when
// the flowsheet shows another current element.
bool make_row_current(Project& project, const RowRef& row);

// ---------------------------------------------------------------------------
// Editing (tree_edits.cpp)
// ---------------------------------------------------------------------------

// A value typed into a row: the reader's result code, the text the cell
// shows afterwards, the message for a non-zero code, and whether the inlet
// rows must be rewritten (a flow or humidity changed another value).
struct ValueEdit {
    bool read = false;  // the row takes typed values
    int code = 0;       // RV_OK ... RV_OUT_OF_BOUNDS
    std::string text;
    std::string message;
    bool message_is_error = false;
    bool inlet_rows = false;
};
ValueEdit edit_value(Project& project, const RowRef& row, std::string_view text);
// The message of read_value_with_unit's code for the value, with the
// reason of a refusal; "" for 0.
std::string read_value_message(const ValueDef& def, int code, const std::string& shown,
                               const std::string& refusal = "");

// The unit menu's choice: the row's display unit (the value is kept). An
// interface result also makes its interface current. False when the row
// has no unit or the unit is not one of its quantity.
bool set_row_unit(Project& project, const RowRef& row, int unit);
// The option menu's choice for an option row of a part, or for an
// interface's calculation or initialization mode. The shown inputs follow.
// False when the choice is not one of the option's (or the row is fixed).
bool set_row_option(Project& project, const RowRef& row, int choice);

// Rename: the dialog's title and the name it changes; none for rows that
// rename nothing.
struct RenameTarget {
    std::string title;  // "Rename Process", "Rename Part", "Rename Interface", "Rename Graph"
    std::string* name = nullptr;
};
std::optional<RenameTarget> rename_target(Project& project, const RowRef& row);

// Delete: the steps for the selected rows, taken from the last to the
// first. Interface and diagram rows go at once (their indices stay valid
// that way); parts (by id) and then processes (by id) after them, because
// deleting shifts indices.
struct DeleteStep {
    enum Kind { INTERFACE, GRAPH, PART, PROCESS };
    Kind kind = PART;
    int index = -1;  // INTERFACE: interface index; GRAPH: slot; PART: process index
    int id = -1;     // PART: part id; PROCESS: process id
};
std::vector<DeleteStep> plan_delete(const Project& project, const std::vector<TreePath>& selected);

}  // namespace app
