// Changing data in the tree: a value typed into a cell, a unit, option or
// fluid chosen from the menus. None starts a calculation: the records
// change, the project is marked changed and the diagrams redrawn.
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/structure/tree_rules.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"
#include "app/gui/tree_shared.h"

namespace app::gui {

int fluid_selection_mode = FS_NONE;
void (*part_dialog_fluid_hook)(int mode, Fluid* fluid) = nullptr;

namespace {

// The project the menus act on: the one whose tree was pressed last.
Project* menu_project() {
    if (current_project == nullptr || calculation_running()) return nullptr;
    return current_project;
}

// A value or choice of the row changed: the results it led to go.
void forget_row_results(Project* project, const RowRef& row) {
    if (row.interface >= 0)
        forget_interface_results_in_window(project, row.interface);
    else
        forget_results_in_window(project, row.process);
}

}  // namespace

void value_changed(GtkCellRendererText*, gchar* path, gchar* text, Project* project) {
    if (project == nullptr || calculation_running() || path == nullptr || text == nullptr) return;
    const TreePath at = parse_path(path);
    const RowRef row = resolve_row(*project, at);
    const ValueEdit edit = edit_value(*project, row, text);
    if (!edit.read) return;
    set_tree_value(project, at, edit.text);
    if (edit.inlet_rows) update_inlet_in_tree(project, project->processes[sz(row.process)]);
    if (edit.code == RV_OK) forget_row_results(project, row);
    mark_changed(project);
    if (!edit.message.empty())
        show_message(
            {edit.message_is_error ? MessageKind::Error : MessageKind::Info, edit.message});
    update_graphs(project);
}

void finish_tree_edit() {
    if (ui.mainwindow == nullptr) return;
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(ui.mainwindow));
    if (focus == nullptr || !GTK_IS_CELL_EDITABLE(focus)) return;
    GtkWidget* parent = gtk_widget_get_parent(focus);
    if (parent == nullptr || !GTK_IS_TREE_VIEW(parent)) return;
    // As Enter in the cell: the renderer reads the text ("edited"), the
    // tree takes the field away.
    gtk_cell_editable_editing_done(GTK_CELL_EDITABLE(focus));
    gtk_cell_editable_remove_widget(GTK_CELL_EDITABLE(focus));
}

void select_unit(GtkMenuItem*, gpointer index) {
    Project* project = menu_project();
    if (project == nullptr) return;
    const RowRef row = resolve_row(*project, last_press_path);
    if (!set_row_unit(*project, row, GPOINTER_TO_INT(index))) return;
    const ValueSlot slot = value_slot(*project, row);
    set_tree_value(project, last_press_path, format_value(*slot.value, *slot.def, *slot.unit));
    mark_changed(project);
    update_graphs(project);
}

void select_option(GtkMenuItem*, gpointer index) {
    Project* project = menu_project();
    if (project == nullptr) return;
    const RowRef row = resolve_row(*project, last_press_path);
    if (!set_row_option(*project, row, GPOINTER_TO_INT(index))) return;
    if (row.kind == RowKind::OPTION)
        update_part_in_tree(project, row.process, row.part);
    else
        update_interface_in_tree(project, row.interface);
    forget_row_results(project, row);
    mark_changed(project);
    update_graphs(project);
}

void select_fluid(GtkMenuItem*, gpointer index) {
    Fluid* fluid = fluids[GPOINTER_TO_INT(index)];
    if (fluid == nullptr || fluid->available == 0) return;
    const int mode = fluid_selection_mode;
    if (mode != FS_PROCESS) fluid_selection_mode = FS_NONE;
    switch (mode) {
        case FS_NEW_PROCESS: new_process_fluid_chosen(fluid); break;
        case FS_INLET_DIALOG: inlet_dialog_fluid_chosen(fluid); break;
        case FS_FUEL:
        case FS_OXIDIZER:
            if (part_dialog_fluid_hook != nullptr) part_dialog_fluid_hook(mode, fluid);
            break;
        case FS_PROCESS: change_fluid_in_window(fluid); break;
        default: break;
    }
}

void change_fluid_in_window(Fluid* fluid) {
    if (calculation_running()) return;
    const int p = change_fluid(fluid);
    Project* project = current_project;
    if (p < 0 || project == nullptr) return;
    set_tree_value(project, {1, p, 0, 0}, fluid->name);
    forget_results_in_window(project, p);
    mark_changed(project);
    update_graphs(project);
}

}  // namespace app::gui
