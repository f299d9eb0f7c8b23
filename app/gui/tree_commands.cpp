// Row commands of the project tree: Rename, Delete, Expand, Expand all,
// Collapse, Move up and Move down, and deleting interfaces, diagrams,
// parts and processes together with their rows.
#include "app/core/model/tools.h"
#include "app/core/structure/tree_rules.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"
#include "app/gui/tree_shared.h"

#include <algorithm>

namespace app::gui {

namespace {

void remove_row(Project* project, const TreePath& path) {
    GtkTreeStore* store = tree_store_of(project);
    GtkTreePath* p = gtk_path_of(path);
    GtkTreeIter it;
    if (store != nullptr && gtk_tree_model_get_iter(GTK_TREE_MODEL(store), &it, p))
        gtk_tree_store_remove(store, &it);
    gtk_tree_path_free(p);
}

void set_row_name(Project* project, const TreePath& path, const std::string& name) {
    GtkTreeStore* store = tree_store_of(project);
    GtkTreePath* p = gtk_path_of(path);
    GtkTreeIter it;
    if (store != nullptr && gtk_tree_model_get_iter(GTK_TREE_MODEL(store), &it, p))
        gtk_tree_store_set(store, &it, COL_NAME, name.c_str(), -1);
    gtk_tree_path_free(p);
}

// The modal rename dialog: the new name, or nothing for Cancel.
std::optional<std::string> rename_dialog(const std::string& title, const std::string& name) {
    GtkWidget* dialog =
        gtk_dialog_new_with_buttons(title.c_str(), nullptr, GTK_DIALOG_MODAL, GTK_STOCK_CANCEL,
                                    GTK_RESPONSE_CANCEL, "Apply", GTK_RESPONSE_APPLY, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_APPLY);
    GtkWidget* entry = gtk_entry_new();
    gtk_widget_set_name(entry, "name");
    gtk_entry_set_text(GTK_ENTRY(entry), name.c_str());
    gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), entry, FALSE,
                       FALSE, 6);
    gtk_widget_show_all(dialog);
    std::optional<std::string> out;
    if (run_dialog(GTK_DIALOG(dialog)) == GTK_RESPONSE_APPLY)
        out = gtk_entry_get_text(GTK_ENTRY(entry));
    gtk_widget_destroy(dialog);
    return out;
}

// The rows that show the renamed record's name: its own row, and the sides
// of interfaces that name a process or part.
void show_new_name(Project* project, const RowRef& row, const TreePath& path) {
    if (row.kind == RowKind::GRAPH) {
        set_row_name(project, {3, row.graph - 1}, project->graphs[sz(row.graph)]->name);
        if (GraphView* g = view_of(project->graphs[sz(row.graph)]); g != nullptr && g->tab_label)
            gtk_label_set_text(GTK_LABEL(g->tab_label),
                               project->graphs[sz(row.graph)]->name.c_str());
        return;
    }
    if (row.interface >= 0) {
        update_interface_in_tree(project, row.interface);
        return;
    }
    if (row.kind == RowKind::PROCESS)
        set_row_name(project, path, project->processes[sz(row.process)]->name);
    else
        update_part_in_tree(project, row.process, row.part);
    for (int i = 0; i < project->az_interfaces; ++i) update_interface_in_tree(project, i);
}

void expand_last_pressed(bool all, bool collapse) {
    GtkTreeView* view = tree_view_of(current_project);
    if (view == nullptr || last_press_path.empty()) return;
    GtkTreePath* p = gtk_path_of(last_press_path);
    if (collapse)
        gtk_tree_view_collapse_row(view, p);
    else
        gtk_tree_view_expand_row(view, p, all ? TRUE : FALSE);
    gtk_tree_path_free(p);
}

void move(int direction) {
    Project* project = current_project;
    if (project == nullptr || calculation_running()) return;
    const StructureResult r = move_part(*project, direction);
    if (!r.changed) return;
    apply_part_edits(project, r);
    open_tree_to_new_current_part(project, project->current_process, project->current_part, -1);
    mark_changed(project);
    update_graphs(project);
    update_buttons(project);
}

}  // namespace

void on_rename_activate(GtkAction*, gpointer) {
    Project* project = current_project;
    if (project == nullptr || calculation_running()) return;
    const std::vector<TreePath> selected = selected_paths(tree_view_of(project));
    if (selected.empty()) return;
    const RowRef row = resolve_row(*project, selected.front());
    const std::optional<RenameTarget> target = rename_target(*project, row);
    if (!target) return;
    const std::optional<std::string> name = rename_dialog(target->title, *target->name);
    if (!name || name->empty() || *name == *target->name) return;
    *target->name = *name;
    show_new_name(project, row, selected.front());
    mark_changed(project);
    update_graphs(project);
}

void on_delete_activate(GtkAction*, gpointer) {
    Project* project = current_project;
    if (project == nullptr || calculation_running()) return;
    const std::vector<DeleteStep> steps =
        plan_delete(*project, selected_paths(tree_view_of(project)));
    if (steps.empty()) return;
    std::vector<int> processes_going;
    for (const DeleteStep& s : steps)
        if (s.kind == DeleteStep::PROCESS) processes_going.push_back(s.id);
    std::string refusals;
    for (const DeleteStep& step : steps) {
        switch (step.kind) {
            case DeleteStep::INTERFACE: delete_interface(project, step.index); break;
            case DeleteStep::GRAPH: delete_graph(project, step.index); break;
            case DeleteStep::PART: {
                std::string why;
                const int pid = project->processes[sz(step.index)]->id;
                const bool going = std::find(processes_going.begin(), processes_going.end(), pid) !=
                                   processes_going.end();
                if (!delete_part_in_window(project, step.index, step.id, why) && !going)
                    refusals += why + "\n";
                break;
            }
            case DeleteStep::PROCESS: delete_process_in_window(project, step.id); break;
        }
    }
    project->current_part = -1;
    project->current_process = -1;
    mark_changed(project);
    check_calculability(project);
    update_graphs(project);
    update_buttons(project);
    if (!refusals.empty()) show_error(refusals.substr(0, refusals.size() - 1));
}

void expandthis(GtkAction*, gpointer) { expand_last_pressed(false, false); }
void expandall(GtkAction*, gpointer) { expand_last_pressed(true, false); }
void collapsethis(GtkAction*, gpointer) { expand_last_pressed(false, true); }
void on_move_up(GtkAction*, gpointer) { move(-1); }
void on_move_down(GtkAction*, gpointer) { move(1); }

void delete_interface(Project* project, int index) {
    if (project == nullptr || index < 0 || index >= project->az_interfaces) return;
    remove_row(project, {2, index});
    const std::optional<std::vector<Part*>> freed = remove_interface(*project, index);
    if (freed)
        for (const Part* part : *freed) {
            const int process = get_process_num_of_part_by_part_id(project, part->id);
            update_part_in_tree(project, process, get_part_num_by_part_id(project, part->id));
            forget_results_in_window(project, process);  // the side is no longer coupled
        }
    mark_changed(project);
    update_graphs(project);
}

void delete_graph(Project* project, int slot) {
    if (project == nullptr || slot < 1 || slot >= MAX_GRAPHS) return;
    Graph* graph = project->graphs[sz(slot)];
    if (graph == nullptr) return;
    if (const GraphView* view = view_of(graph); view != nullptr && view->page_box != nullptr)
        remove_graph_tab(nullptr, nullptr, graph);
    ui.graphs.erase(graph);
    remove_row(project, {3, slot - 1});
    remove_graph(*project, slot);
    find_new_current_graph(project);
    if (project == current_project) {
        if (project->current_graph != nullptr && project->current_graph->kind == GK_DIAGRAM)
            activate_graph_menu();
        else
            deactivate_graph_menu();
    }
    mark_changed(project);
}

bool delete_part_in_window(Project* project, int process, int part_id, std::string& refusal) {
    refusal = delete_part_refusal(*project, process, part_id);
    if (!refusal.empty()) return false;
    const StructureResult r = delete_part(*project, process, part_id);
    apply_part_edits(project, r);
    check_calculability(project);
    update_buttons(project);
    return r.changed;
}

void delete_process_in_window(Project* project, int process_id) {
    const int index = get_process_num_by_id(project, process_id);
    if (index < 0) return;
    close_project_dialogs(project, process_id);
    forget_results_in_window(project, index);  // and those of processes coupled with it
    const Process& process = *project->processes[sz(index)];
    for (int i = project->az_interfaces - 1; i >= 0; --i)
        if (interface_uses_process(*project->interfaces[sz(i)], process))
            delete_interface(project, i);
    remove_row(project, {1, index});
    delete_process(*project, process_id);
    if (project->az_processes == 0)
        set_action_sensitive("ui/MenuBar/MenuGraphics/CreateGraphAction", false);
    for (int i = 0; i < project->az_interfaces; ++i) update_interface_in_tree(project, i);
    check_calculability(project);
    mark_changed(project);
}

}  // namespace app::gui
