// The fluid editor's windows (GTK 2): the fluid-definition wizard, the
// composition and reference-humidity tables it shares with "Modify Fluid",
// fluid files, and the property-table window. What they compute is in
// app/core (composition.h, fluid_wizard.h, fluid_files.h, fluid_edit.h,
// property_table.h); these files show it and pass the user's input on.
//
// The command handlers themselves are declared in app/gui/handlers.h.
#pragma once

#include "app/core/fluids/composition.h"
#include "app/core/model/records.h"

#include <gtk/gtk.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace app::gui {

// ---------------------------------------------------------------------------
// Composition tables (composition_tables.cpp)
// ---------------------------------------------------------------------------

// The two views of a composition, "Mole percentage" and "Mass percentage",
// one spinner per component and the sum below. Spinners are named "mole<i>"
// and "mass<i>" (component position i), the sums "mole_sum" and "mass_sum",
// the buttons "mole_up<i>", "mass_up<i>", "mole_normalize", "mass_normalize".
struct CompositionTables {
    Composition* composition = nullptr;  // what the tables show and change
    GtkWidget* notebook = nullptr;
    GtkWidget* mole_page = nullptr;  // containers of the two tables
    GtkWidget* mass_page = nullptr;
    GtkWidget* table1 = nullptr;  // mole view (rebuilt with the components)
    GtkWidget* table2 = nullptr;  // mass view
    std::vector<GtkWidget*> mole_spinners;
    std::vector<GtkWidget*> mass_spinners;
    GtkWidget* mole_sum = nullptr;
    GtkWidget* mass_sum = nullptr;
    bool busy = false;              // the program itself moves the spinners
    std::function<void()> changed;  // after every change (completeness)
};

// The notebook of the two views (tables built by build_proz_spinner_tables).
GtkWidget* composition_notebook(CompositionTables& tables);
// Destroys and rebuilds both tables for the composition's components.
void build_proz_spinner_tables(CompositionTables& tables);
// Shows every fraction and both sums of the composition.
void show_composition(CompositionTables& tables);

// The four reference values of the humidity, each with a spinner and a unit
// combo box (named "ref<row>" and "ref_unit<row>").
struct ReferenceTable {
    ReferenceHumidity* reference = nullptr;
    std::array<GtkWidget*, NUM_REF_ROWS> spinners{};
    std::array<GtkWidget*, NUM_REF_ROWS> units{};
    std::array<int, NUM_REF_ROWS> unit{};  // the unit chosen beside each row
    bool busy = false;
};

// Fills a new table with the four rows; the units start at their
// quantities' default units.
GtkWidget* build_relative_humidity_table(ReferenceTable& table);
// Shows the reference values in the units chosen (ranges included).
void show_reference(ReferenceTable& table);

// ---------------------------------------------------------------------------
// Helpers of the fluid dialogs (fluid_files.cpp)
// ---------------------------------------------------------------------------

// A modal dialog with a label and a combo box of the fluids' names (the
// first selected), OK and Cancel, named "fluid_choice" for tests. Returns
// the chosen fluid's index, or -1.
int choose_fluid_dialog(const char* title, const std::vector<int>& fluid_indexes,
                        GtkWindow* parent);

// Save dialog "Save Fluid as" for the fluid, then the file; failures are
// reported. `parent` is the window the dialog belongs to (null: the main
// window).
void save_fluid(Fluid* fluid, GtkWindow* parent);

// A new user fluid takes its place in `fluids` and in the fluid pop-up
// (unless its reader made the pop-up entry already). Null, with a message,
// when no place is left.
Fluid* register_user_fluid(std::unique_ptr<Fluid> fluid, bool menu_entry_made);

// True when the property library can be used by the editor now (no
// calculation, no isoline computation); otherwise the user is told.
bool library_free_for(const char* what);

// ---------------------------------------------------------------------------
// Wizard (fluid_wizard.cpp), editing (fluid_edit.cpp)
// ---------------------------------------------------------------------------

// The wizard's assistant while it is open (null otherwise).
GtkWidget* wizard_window();
// "Import existing mixture": fills the open wizard from a chosen mixture.
void import_fluid_to_dialog(GtkButton* button, gpointer data);
// Re-reads the open wizard's state into its widgets (after a copy).
void refresh_wizard();
// The "Modify Fluid" dialog for one fluid.
void edit_fluid_dialog(Fluid* fluid);

// ---------------------------------------------------------------------------
// Property table (property_table.cpp)
// ---------------------------------------------------------------------------

// The window while it is open (null otherwise), and whether a table runs.
GtkWidget* property_table_window();
bool property_table_running();
// The fluid combo of an open window offers the fluids as they are now.
void property_table_fluids_changed();

}  // namespace app::gui
