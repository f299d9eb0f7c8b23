// Closing projects: the tab's close button, Close, Close all, Quit and the
// window's close button. A changed project is saved, discarded or kept as
// the user answers; nothing closes while a calculation runs.
#include "app/core/model/create_delete.h"
#include "app/core/views/window_logic.h"
#include "app/diagrams/isolines.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"

#include <cstdio>

namespace app::gui {
namespace {

bool closing = false;  // one close at a time

// Save, Discard or Cancel for a changed project; true when it may close.
bool settle_changes(Project* project) {
    finish_tree_edit();  // a value being typed is a change
    if (project->changed == 0) return true;
    show_project_page(project);
    MessageRequest question;
    question.kind = MessageKind::SaveDiscardCancel;
    question.text = "The project '" + display_basename(project->filename) +
                    "' has unsaved changes. Save them before closing?";
    switch (show_message(question)) {
        case Reply::Save: return save_project(project);
        case Reply::Discard: return true;
        default: return false;
    }
}

void forget_views(Project* project) {
    for (Graph* g : project->graphs)
        if (g != nullptr) ui.graphs.erase(g);
    ui.projects.erase(project);
}

}  // namespace

bool close_project(Project* project, bool ask) {
    // Nor while a diagram's isolines are computed (its drawing goes on
    // with the project's records when the progress window closes).
    if (project == nullptr || closing || calculation_running() || diagrams::isolines_running())
        return false;
    std::fflush(stdout);
    if (ask && !settle_changes(project)) return false;
    closing = true;
    ProjectView* view = view_of(project);
    if (view != nullptr && view->close_button != nullptr)
        gtk_widget_set_sensitive(view->close_button, FALSE);
    drain_messages();
    close_project_dialogs(project);
    project_list_remove(project);
    GtkWidget* page = view != nullptr ? view->page : nullptr;
    forget_views(project);
    if (page != nullptr) remove_project_tab(page);
    free_project(project);  // switches the diagram actions off
    closing = false;
    Project* now = current_project;
    if (now == nullptr)
        deactivate_file_menu();
    else if (now->current_graph != nullptr && now->current_graph->kind == GK_DIAGRAM)
        activate_graph_menu();
    return true;
}

bool close_all_projects(bool ask) {
    while (project_list[0] != nullptr)
        if (!close_project(project_list[0], ask)) return false;
    return true;
}

gboolean closefile(GtkWidget*, GdkEvent*, Project* project) {
    close_project(project, true);
    return TRUE;
}

void on_close_activate(GtkAction*, gpointer) {
    if (current_project == nullptr) {
        deactivate_file_menu();
        return;
    }
    close_project(current_project, true);
}

void on_close_all_activate(GtkAction*, gpointer) { close_all_projects(true); }

void on_quit_activate(GtkAction*, gpointer) {
    if (calculation_running()) return;
    if (!close_all_projects(true)) return;
    ui.quit_requested = true;
    if (gtk_main_level() > 0) gtk_main_quit();
}

gboolean on_main_window_delete(GtkWidget*, GdkEvent*, gpointer) {
    on_quit_activate(nullptr, nullptr);
    return TRUE;  // the window stays; the program ends when the main loop returns
}

void on_main_window_destroyed(GtkWidget*, gpointer) {
    ui.mainwindow = nullptr;
    for (auto& entry : ui.projects) {
        entry.second.message_view = nullptr;
        entry.second.message_buffer = nullptr;
    }
    ui.quit_requested = true;
    if (gtk_main_level() > 0) gtk_main_quit();
}

}  // namespace app::gui
