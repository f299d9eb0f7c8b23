// Handlers of the actions (menus, toolbars, pop-ups). Each receives the
// action; the user data is not used. Grouped by the file that holds them.
#pragma once

#include <gtk/gtk.h>

namespace app::gui {

// file_actions.cpp, project_close.cpp
void on_new_activate(GtkAction* action, gpointer data);
void on_open_activate(GtkAction* action, gpointer data);
void on_open_example_activate(GtkAction* action, gpointer data);
void on_close_activate(GtkAction* action, gpointer data);
void on_close_all_activate(GtkAction* action, gpointer data);
void on_save_activate(GtkAction* action, gpointer data);
void on_save_as_activate(GtkAction* action, gpointer data);
void on_quit_activate(GtkAction* action, gpointer data);

// calculate.cpp
void calculate(GtkAction* action, gpointer data);

// select_units.cpp, theme_dialog.cpp, about.cpp, actions.cpp
void select_units(GtkAction* action, gpointer data);
void change_guiappearance(GtkAction* action, gpointer data);
void on_about_activate(GtkAction* action, gpointer data);
void show_manual(GtkAction* action, gpointer data);

// graph_notebook.cpp: the isoline toggles of the current diagram
void toggle_wetness(GtkToggleAction* action, gpointer data);
void toggle_temperature(GtkToggleAction* action, gpointer data);
void toggle_pressure(GtkToggleAction* action, gpointer data);
void toggle_density(GtkToggleAction* action, gpointer data);

// flowsheet.cpp
void overview_tp_toggle(GtkToggleAction* action, gpointer data);
void overview_cross1_toggle(GtkToggleAction* action, gpointer data);
void overview_cross2_toggle(GtkToggleAction* action, gpointer data);
void overview_name_toggle(GtkToggleAction* action, gpointer data);
void overview_input_toggle(GtkToggleAction* action, gpointer data);
void symbol_zoom_in(GtkAction* action, gpointer data);
void symbol_zoom_out(GtkAction* action, gpointer data);
void symbol_zoom_reset(GtkAction* action, gpointer data);

// structure_actions.cpp: Cut, Copy and Paste of parts (of the text while a
// tree cell is being edited)
void on_cut_activate(GtkAction* action, gpointer data);
void on_copy_activate(GtkAction* action, gpointer data);
void on_paste_activate(GtkAction* action, gpointer data);
// True once a part has been copied (Paste has something to insert).
bool part_copied();

// tree.cpp
void on_rename_activate(GtkAction* action, gpointer data);
void on_delete_activate(GtkAction* action, gpointer data);
void on_move_up(GtkAction* action, gpointer data);
void on_move_down(GtkAction* action, gpointer data);
void expandthis(GtkAction* action, gpointer data);
void expandall(GtkAction* action, gpointer data);
void collapsethis(GtkAction* action, gpointer data);
void select_fluid(GtkMenuItem* item, gpointer index);
void select_option(GtkMenuItem* item, gpointer index);
void select_unit(GtkMenuItem* item, gpointer index);

// part_dialogs.cpp
void insert_process(GtkAction* action, gpointer data);
void insert_compressor(GtkAction* action, gpointer data);
void insert_pump(GtkAction* action, gpointer data);
void insert_turbine(GtkAction* action, gpointer data);
void insert_combustor(GtkAction* action, gpointer data);
void insert_combustoroxy(GtkAction* action, gpointer data);
void insert_waterseparator(GtkAction* action, gpointer data);
void insert_condenser(GtkAction* action, gpointer data);
void insert_heatexchanger(GtkAction* action, gpointer data);
void insert_pressureloss(GtkAction* action, gpointer data);
void insert_splitter(GtkAction* action, gpointer data);
void insert_mixer(GtkAction* action, gpointer data);
void insert_splitter_mixer(GtkAction* action, gpointer data);
void connect_mixer_to_outlet_callback(GtkAction* action, gpointer data);
void create_interface_from_graph(GtkAction* action, gpointer data);
void createinterface_from_tree(GtkAction* action, gpointer data);
void interfacedialogcallback(GtkAction* action, gpointer data);
void partdialogcallback(GtkAction* action, gpointer data);
void swapparts(GtkAction* action, gpointer data);

// diagrams.cpp
void create_new_graph(GtkAction* action, gpointer data);
void create_qt_graph(GtkAction* action, gpointer data);
void show_graph(GtkAction* action, gpointer data);
void maxrange(GtkAction* action, gpointer data);
void zoomdefault(GtkAction* action, gpointer data);
void zoomtoplot(GtkAction* action, gpointer data);
void configureaxis(GtkAction* action, gpointer data);
void modify_isolines(GtkAction* action, gpointer data);
void curve_settings_callback(GtkAction* action, gpointer data);
void auto_axis(GtkAction* action, gpointer data);
void do_print(GtkAction* action, gpointer data);
void do_png(GtkAction* action, gpointer data);
void start_zooming_callback(GtkAction* action, gpointer data);
void toggle_zooming(GtkToggleAction* action, gpointer data);

// app/fluids: the fluid editor and the property table
void create_fluid(GtkWidget* widget, gpointer data);
void export_fluid(GtkAction* action, gpointer data);
void import_fluid(GtkAction* action, gpointer data);
void select_fluid_to_edit_dialog(GtkAction* action, gpointer data);
void on_properties_table(GtkAction* action, gpointer data);

}  // namespace app::gui
