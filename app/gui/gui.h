// The main window of kvr2 (GTK 2): its widgets in one place, and the
// operations that the window's files call of one another.
//
// Everything here runs on the GUI thread. The records (app/core) hold no
// widgets: a project's page and a graph's page are kept here, in views
// found by the record they show.
//
// While a calculation runs (calculation_running()), the worker writes the
// project's records: drawing and other GUI code must not read them then
// (only the atomic progress fields), and must not call the property
// library. Code that uses the library outside the worker (isolines, the
// property table) counts itself in library_busy while it works.
//
// One area per file: main window and project pages (mainwindow.cpp), the
// actions, menus and toolbars (actions.cpp, action_tables.cpp, popups.cpp),
// artwork (artwork*.cpp), the graph notebook (graph_notebook.cpp), the
// calculation (calculate.cpp), message output (messages.cpp), widget
// builders (widgets.cpp), file actions (file_actions.cpp, project_close.cpp),
// Select Units (select_units.cpp), Set Theme (theme_dialog.cpp), About and
// the manual (about.cpp), the message and chooser service
// (dialog_service.cpp), the project tree (tree*.cpp) with the structure
// commands, Cut, Copy and Paste and the process dialogs
// (structure_actions.cpp, new_process.cpp, inlet_dialog.cpp), the flowsheet
// (flowsheet.cpp), the part and interface dialogs (part_dialogs.cpp,
// interface_dialogs.cpp), and the diagrams: their commands (diagrams.cpp,
// diagram_create.cpp), pages (diagram_page.cpp), pointer and zoom
// (diagram_pointer.cpp, diagram_zoom.cpp), settings dialogs
// (diagram_*_dialog.cpp), printing and images (diagram_output.cpp). The
// fluid editor and the property table are in app/fluids.
#pragma once

#include "app/core/model/records.h"
#include "app/core/structure/structure.h"
#include "app/core/structure/tree_model.h"

#include <gtk/gtk.h>

#include <array>
#include <map>
#include <string>
#include <vector>

namespace app::gui {

// Widgets of one project's notebook page.
struct ProjectView {
    GtkWidget* page = nullptr;       // the horizontal paned container: the page itself
    GtkWidget* tab_label = nullptr;  // label of the tab
    GtkWidget* close_button = nullptr;
    GtkWidget* tree_view = nullptr;   // the project tree
    GtkWidget* toolbar = nullptr;     // small toolbar over the graph notebook
    GtkWidget* graph_book = nullptr;  // the diagram notebook
    GtkWidget* message_view = nullptr;
    GtkTextBuffer* message_buffer = nullptr;
    bool never_saved = false;  // made by New and not yet saved under a name of the user's
};

// Widgets of one graph's page in its project's graph notebook.
struct GraphView {
    GtkWidget* page_box = nullptr;  // the page container (null while hidden)
    GtkWidget* tab_label = nullptr;
    GtkWidget* drawing_area = nullptr;
};

// Number of part pictures: part types 0-15, interface 16, heat source 17,
// heat sink 18.
inline constexpr int NUM_PART_ICONS = 19;

// The window's widgets and GUI-wide state.
struct Widgets {
    GtkWidget* mainwindow = nullptr;
    GtkWidget* mainbook = nullptr;  // the project notebook
    GtkWidget* statusbar = nullptr;
    int logo_page = -1;  // page number of the start page, -1 when not shown
    GtkUIManager* ui_manager = nullptr;
    GtkActionGroup* action_group = nullptr;
    std::array<GdkPixbuf*, NUM_PART_ICONS> part_icons{};
    GdkPixbuf* logo = nullptr;  // the program's logo (start page, About)
    GtkWidget* fluidpopup = nullptr;
    std::array<GtkWidget*, 6> fluidsub{};
    std::array<GtkWidget*, NUM_PART_OPTIONS> popup_options{};
    GtkWidget* popup_interface_option = nullptr;
    std::array<GtkWidget*, NUM_QUANTITIES> unit_popups{};
    std::map<const Project*, ProjectView> projects;
    std::map<const Graph*, GraphView> graphs;
    bool quit_requested = false;  // Quit has ended the main loop (or would have)
};
extern Widgets ui;

// The view of a project or graph; null when it has none.
ProjectView* view_of(const Project* project);
GraphView* view_of(const Graph* graph);

// ---------------------------------------------------------------------------
// Start-up (start.cpp)
// ---------------------------------------------------------------------------

// The toolkit with the theme file, the numbers kept in the "C" format, the
// message hooks of the application core, the page setup. Returns false
// when no display can be opened.
bool init_toolkit(int* argc, char*** argv);
// The window branch of the program: toolkit, main window, the files of the
// command line, the main loop. Returns the exit status.
int run_window(int argc, char** argv, const std::vector<std::string>& files);

// ---------------------------------------------------------------------------
// Main window and project pages (mainwindow.cpp)
// ---------------------------------------------------------------------------

GtkWidget* create_mainwindow();
void add_project_tab(Project* project, const std::string& filename);
void remove_project_tab(GtkWidget* page);
void switch_mainbook_page(GtkNotebook* notebook, gpointer page, guint page_num, gpointer data);
// Marks current_project changed: the record and its tab (" *").
void set_project_changed_true();
// The tab text of a project from its file name and changed flag.
void update_tab_label(Project* project);
void add_logo_to_mainbook();
void remove_logo_from_mainbook();
// The project whose page is page number `page_num` of the notebook, or null.
Project* project_on_page(int page_num);
// Makes the project's page the current page.
void show_project_page(Project* project);

// ---------------------------------------------------------------------------
// Actions (actions.cpp)
// ---------------------------------------------------------------------------

// Builds the actions, the UI manager, the menu bar and the main toolbar,
// the stock icons and the pop-up menus.
void createmenu(GtkWidget* window, GtkWidget** menubar, GtkWidget** toolbar);
// The action at a UI path ("ui/MenuBar/MenuFile/SaveAction"), or null.
GtkAction* action_at(const char* path);
// Sensitivity of the action at a UI path, for every place that shows it.
void set_action_sensitive(const char* path, bool sensitive);
void deactivate_file_menu();
void activate_file_menu();
void activate_graph_menu();
void deactivate_graph_menu();
// Calculate, Create Graph and Create QT Diagram as the project allows.
void check_calculability(Project* project);
// Save as the current project needs it (changed or never saved).
void update_save_action();
gboolean changepagesetup(GtkAction* action, gpointer data);
// Page setup and print settings of the settings file (null when none).
extern GtkPageSetup* page_setup;
extern GtkPrintSettings* print_settings;

// ---------------------------------------------------------------------------
// Pop-up menus of fluids, options and units (popups.cpp)
// ---------------------------------------------------------------------------

void build_fluid_popup();
void build_option_popups();
void build_unit_popups();
// Adds a user fluid to the last group of the fluid pop-up.
void add_fluid_to_popup(Fluid& fluid);

// ---------------------------------------------------------------------------
// Artwork (artwork.cpp)
// ---------------------------------------------------------------------------

// Registers the stock icons and fills ui.part_icons and ui.logo.
void create_icons();
// A picture of the given stock icon name at the size, or null.
GdkPixbuf* draw_icon(const std::string& stock_name, int size);
// The start page's logo and its four button pictures ("new", "open",
// "examples", "manual").
GdkPixbuf* draw_logo(int width, int height);
GdkPixbuf* draw_start_button(const std::string& which, int size);

// ---------------------------------------------------------------------------
// Graph notebook (graph_notebook.cpp)
// ---------------------------------------------------------------------------

gboolean add_graph_tab(Project* project, Graph* graph);
void remove_graph_tab(GtkWidget* button, GdkEvent* event, Graph* graph);
void switch_graph_page(GtkNotebook* notebook, gpointer page, guint page_num, gpointer data);
GtkWidget* find_new_current_graph(Project* project);

// ---------------------------------------------------------------------------
// Message output on the GUI thread (messages.cpp)
// ---------------------------------------------------------------------------

// Replaces the core's message posters with ones that queue the texts for
// the GUI thread.
void install_message_posters();
// Delivers every queued text now (GUI thread).
void drain_messages();
// The project the worker's texts belong to while a calculation runs.
void set_message_target(Project* project);
// The status buffer of the calculation dialog (null when none is open).
void set_status_buffer(Project* project, GtkTextBuffer* buffer, GtkWidget* view);

// ---------------------------------------------------------------------------
// Calculation (calculate.cpp)
// ---------------------------------------------------------------------------

// True while a calculation's worker runs or its dialog is open.
bool calculation_running();
// True while the worker may write the records (until it has been joined):
// drawing reads them only when this is false.
bool calculation_writing();

// ---------------------------------------------------------------------------
// File actions (file_actions.cpp, project_close.cpp)
// ---------------------------------------------------------------------------

// Gives a project read or made elsewhere its place and page.
void add_project(Project* project);
// Opens a project file as a new page (or shows its page when it is open).
// Returns the project, or null.
Project* open_project_file(const std::string& path);
// Saves a project to its file name; on failure reports it and keeps the
// changed mark. True when saved.
bool save_project(Project* project);
// Save As with a chooser; true when saved.
bool save_project_as(Project* project);
// Closes a project after asking about unsaved changes. False when the user
// cancelled or a save failed (the project stays open).
bool close_project(Project* project, bool ask);
// Closes every project, asking about each changed one; false when stopped.
bool close_all_projects(bool ask);
gboolean closefile(GtkWidget* widget, GdkEvent* event, Project* project);
gboolean on_main_window_delete(GtkWidget* widget, GdkEvent* event, gpointer data);
// The main window destroyed (by the window manager, a session end): its
// widgets are forgotten and the main loop ends; a calculation running
// then is cancelled by its dialog, destroyed with the window.
void on_main_window_destroyed(GtkWidget* widget, gpointer data);

// ---------------------------------------------------------------------------
// The project tree (tree.cpp, tree_press.cpp, tree_edit.cpp,
// tree_commands.cpp) and the process dialogs (new_process.cpp,
// inlet_dialog.cpp, structure_actions.cpp)
// ---------------------------------------------------------------------------

// Columns of a project's tree store.
enum TreeColumn : int {
    COL_ICON = 0,
    COL_NAME,
    COL_NAME_EDITABLE,
    COL_VALUE,
    COL_VALUE_EDITABLE,
    COL_VALUE_VISIBLE,
    COL_VALUE_BACKGROUND,
    COL_VALUE_FONT,
    COL_VALUE_FOREGROUND,
    COL_NAME_BACKGROUND,
    COL_NAME_FONT,
    COL_NAME_FOREGROUND,
    N_TREE_COLUMNS
};

// The project tree (a tree view) of a new project page; makes the project
// current.
GtkWidget* build_tree(Project* project);
// Rewrites every result cell (after a calculation).
void show_results_in_tree(Project* project);
// After an edit of process `process`'s parts or couplings: its results and
// those of the processes coupled with it are no longer current; the tree
// blanks them (the flowsheet and diagrams leave them out when redrawn).
void forget_results_in_window(Project* project, int process);
// The same for an edit of interface `index` (both its sides).
void forget_interface_results_in_window(Project* project, int index);
// Rewrites every value cell, inputs and results (after units changed).
void refresh_tree_values(Project* project);
// Appends the subtree of a process under "Processes".
void build_process_in_tree(Project* project, Process* process);
// Rewrites the six inlet rows of a process.
void update_inlet_in_tree(Project* project, const Process* process);
// Rewrites a part's row, options and inputs (after its choices changed).
void update_part_in_tree(Project* project, int process, int part);
// Appends an interface's subtree under "Interfaces".
void build_interface_in_tree(Project* project, Interface* interface);
// Rewrites an interface's name, sides, option rows and parameter rows.
void update_interface_in_tree(Project* project, int index);
// Appends a diagram's row under "Graphs".
void build_graph_in_tree(Project* project, Graph* graph);
// Rewrites the rows of the parts list of a process after a structure edit;
// the results of the process (and of those coupled with it) are forgotten.
void apply_part_edits(Project* project, const StructureResult& result);
// Selects the row of what was chosen elsewhere (the flowsheet).
void open_tree_to_new_current_part(Project* project, int process, int part, int interface);
// The tree store and view of a project (null when it has none).
GtkTreeStore* tree_store_of(const Project* project);
GtkTreeView* tree_view_of(const Project* project);

gboolean treeview_onButtonPressed(GtkWidget* view, GdkEventButton* event, Project* project);
gboolean treeview_onKeyPressed(GtkWidget* view, GdkEventKey* event, Project* project);
void value_changed(GtkCellRendererText* renderer, gchar* path, gchar* text, Project* project);
// Reads a value being typed into a cell of the tree as leaving the cell
// does. Calculate, Save and Close call it first: a toolbar button or a key
// takes no focus, so the cell would still hold the value unread.
void finish_tree_edit();
// The path of the row under the pointer at the last press in a tree (the
// unit, option and expand commands act on it).
extern TreePath last_press_path;

// Who receives the next choice of the fluid menu.
enum FluidSelection : int {
    FS_NONE = 0,
    FS_NEW_PROCESS = 1,
    FS_INLET_DIALOG = 2,
    FS_FUEL = 3,
    FS_OXIDIZER = 4,
    FS_PROCESS = 5,
};
extern int fluid_selection_mode;
// Receives fuel and oxidizer choices for the part dialog (null: nobody).
extern void (*part_dialog_fluid_hook)(int mode, Fluid* fluid);
// A new working fluid for the current process, shown in the tree.
void change_fluid_in_window(Fluid* fluid);

// Deleting with the rows: an interface (its heat exchangers free again), a
// diagram, a part, a process with its interfaces and curves.
void delete_interface(Project* project, int index);
void delete_graph(Project* project, int slot);
bool delete_part_in_window(Project* project, int process, int part_id, std::string& refusal);
void delete_process_in_window(Project* project, int process_id);

// The inlet dialog of a process (non-modal), and its command.
void inletdialog(Project* project, Process* process);
void inletdialogcallback(GtkAction* action, gpointer data);
// Closes the non-modal dialogs that belong to a project or a process
// (process id 0: all of the project's).
void close_project_dialogs(const Project* project, int process_id = 0);

// ---------------------------------------------------------------------------
// The flowsheet (flowsheet.cpp)
// ---------------------------------------------------------------------------

// The flowsheet's page contents: toolbar and drawing area.
void build_symbol_graph(Project* project);
// Lays the flowsheet out anew, sizes and redraws it.
void update_part_positions(Project* project);
// Sizes the sheet (at least the visible area) and redraws it.
void adjust_graph_size(Project* project);
// Scrolls the flowsheet, once its new layout is sized, so that the
// current part shows (a part inserted beyond the visible area).
void show_current_part_on_sheet(Project* project);
// Redraws the flowsheet.
void draw_symbol_graph(Project* project);
// A press on the flowsheet: selection, dialogs, menus.
gboolean symbol_graph_button_press(GtkWidget* widget, GdkEventButton* event, Graph* sheet);
// Recomputes the context actions.
void update_buttons(Project* project);
// Lays out the flowsheet and redraws every diagram of the project.
void update_graphs(Project* project);

// ---------------------------------------------------------------------------
// Part and interface dialogs (part_dialogs.cpp, interface_dialogs.cpp)
// ---------------------------------------------------------------------------

// "Part details for part %d of process %s" (non-modal) of part `part`
// (list index, not the Inlet) of process `process`.
void partsdialog(Project* project, int process, int part);
// "Interface details for interface %s" (non-modal) of interface `index`.
void interfacedialog(Project* project, int index);
// Closes the part dialogs of a project's process (process id 0: all of the
// project's, with its interface dialogs) and every details dialog whose
// record has gone.
void close_detail_dialogs(const Project* project, int process_id = 0);
// Shows the project's parts and interfaces again in their open details
// dialogs: results (or " - " once forgotten), compositions, and the
// values of a dialog that holds no edits of its own.
void refresh_detail_dialogs(const Project* project);

}  // namespace app::gui
