// File actions: New, Open, Open Example, Save, Save As, and the place and
// page a project gets when it is opened.
#include "app/core/files/filehandling.h"
#include "app/core/model/create_delete.h"
#include "app/core/program/kvr.h"
#include "app/core/program/text_output.h"
#include "app/core/views/window_logic.h"
#include "app/gui/diagram_page.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"

namespace app::gui {
namespace {

int new_project_counter = 1;

void remember_folder(const std::string& folder) {
    if (folder.empty()) return;
    currentdir = folder;
    if (!save_default_settings())
        show_error("The settings file '" + settings_path() + "' cannot be written.");
}

bool refuse_another_project() {
    if (room_for_project()) return false;
    show_error("At most " + std::to_string(MAX_PROJECTS - 1) +
               " projects can be open at a time. Close a project first.");
    return true;
}

void mark_saved(Project* project) {
    project->changed = 0;
    update_tab_label(project);
    update_save_action();
}

void choose_and_open(const char* title, const std::string& folder, bool remember) {
    if (calculation_running()) return;
    ChooserRequest request;
    request.kind = ChooserKind::Open;
    request.title = title;
    request.folder = folder;
    std::optional<ChooserAnswer> answer = choose_file(request);
    if (!answer) return;
    if (remember) remember_folder(answer->folder);
    open_project_file(answer->path);
}

}  // namespace

void add_project(Project* project) {
    if (project_list_add(project) < 0) return;
    current_project = project;
    Graph* sheet = create_graph();
    sheet->kind = GK_FLOWSHEET;
    sheet->name = "Overview";
    sheet->project = project;
    project->graphs[0] = sheet;
    ++project->az_graphs;
    for (Graph* g : project->graphs)
        if (g != nullptr) g->project = project;
    add_project_tab(project, project->filename);
    add_graph_tab(project, sheet);
    if (GtkAction* a = action_at("ui/MenuBar/MenuPreferences/OverviewTpToggleAction"))
        sheet->show_tp = gtk_toggle_action_get_active(GTK_TOGGLE_ACTION(a)) ? 1 : 0;
    build_symbol_graph(project);
    activate_file_menu();
}

Project* open_project_file(const std::string& path) {
    if (calculation_running()) return nullptr;
    if (Project* open = find_open_project(path)) {
        show_project_page(open);
        return open;
    }
    if (refuse_another_project()) return nullptr;
    Project* project = readinput(path);
    if (project == nullptr) return nullptr;
    add_project(project);
    show_diagram_pages(project);
    update_graphs(project);
    mark_saved(project);
    return project;
}

bool save_project(Project* project) {
    if (project == nullptr || calculation_running()) return false;
    finish_tree_edit();
    const ProjectView* view = view_of(project);
    if (view != nullptr && view->never_saved) return save_project_as(project);
    if (write_input(*project) != 0) return false;  // reported; the mark stays
    mark_saved(project);
    return true;
}

bool save_project_as(Project* project) {
    if (project == nullptr || calculation_running()) return false;
    finish_tree_edit();
    ChooserRequest request;
    request.kind = ChooserKind::Save;
    request.title = "Save File as";
    request.folder = currentdir;
    request.proposed_name = display_basename(project->filename);
    request.include_switches = true;
    request.include_graphs = include_graphs != 0;
    request.include_results = include_results != 0;
    std::optional<ChooserAnswer> answer = choose_file(request);
    if (!answer) return false;
    include_graphs = answer->include_graphs ? 1 : 0;
    include_results = answer->include_results ? 1 : 0;
    remember_folder(answer->folder);
    const std::string old_name = project->filename;
    project->filename = save_as_file_name(answer->path);
    if (write_input(*project) != 0) {
        project->filename = old_name;  // reported; the project keeps its name and mark
        return false;
    }
    if (ProjectView* view = view_of(project)) view->never_saved = false;
    mark_saved(project);
    return true;
}

void on_new_activate(GtkAction*, gpointer) {
    if (calculation_running() || refuse_another_project()) return;
    Project* project = create_project();
    if (project == nullptr) {
        print_message(" calloc project failed \n");
        return;
    }
    project->filename = new_project_file_name(new_project_counter++, currentdir);
    add_project(project);
    if (ProjectView* view = view_of(project)) view->never_saved = true;
    insert_process(nullptr, nullptr);
    set_project_changed_true();
}

void on_open_activate(GtkAction*, gpointer) {
    choose_and_open("Read kvr input file", currentdir, true);
}

void on_open_example_activate(GtkAction*, gpointer) {
    choose_and_open("Open kvr example file", app_example_dir, false);
}

void on_save_activate(GtkAction*, gpointer) { save_project(current_project); }

void on_save_as_activate(GtkAction*, gpointer) { save_project_as(current_project); }

}  // namespace app::gui
