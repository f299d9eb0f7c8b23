// Diagram rows: "Create new Graph" for a fluid of the project, the QT
// diagram of the current interface, and showing a hidden diagram again.
// What a new diagram holds comes from app/diagrams/new_graph.h; deleting a
// diagram is done with its row (tree_commands.cpp).
#include "app/core/model/tools.h"
#include "app/diagrams/isolines.h"
#include "app/diagrams/new_graph.h"
#include "app/diagrams/zoom.h"
#include "app/gui/diagram_actions.h"
#include "app/gui/diagram_page.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"
#include "app/gui/widgets.h"

#include <vector>

namespace app::gui {

namespace {

// True while the graph is still a diagram of an open project.
bool still_open(const Graph* graph) {
    for (Project* p : project_list) {
        if (p == nullptr) break;
        for (int g = 1; g < MAX_GRAPHS && p->graphs[sz(g)] != nullptr; ++g)
            if (p->graphs[sz(g)] == graph) return true;
    }
    return false;
}

// Once after a new diagram is made: the axes fitted to its processes, then
// automatic tick steps.
gboolean aftercreategraph(gpointer data) {
    auto* graph = static_cast<Graph*>(data);
    if (!still_open(graph) || calculation_running()) return FALSE;
    graph->zoom_to_plot = 1;
    diagrams::fit_axes_to_processes(*graph);
    graph->zoom_to_plot = 0;
    diagrams::auto_axis(*graph);
    if (view_of(graph) != nullptr) diagram_changed(graph);
    return FALSE;
}

// The page, the row and the follow-up of a diagram just made.
void show_new_graph(Project* project, Graph* graph) {
    set_project_changed_true();
    add_graph_tab(project, graph);
    create_plot_graph(project, graph);
    build_graph_in_tree(project, graph);
    g_idle_add(aftercreategraph, graph);
}

struct GraphChoice {
    Fluid* fluid = nullptr;
    int type = diagrams::DEFAULT_GRAPH_TYPE;
};

// "Create new Graph": a fluid of the project's processes and a plot type;
// nothing when cancelled.
bool choose_graph(const std::vector<Fluid*>& offered, GraphChoice& choice) {
    GtkWidget* dialog = gtk_dialog_new_with_buttons(
        "Create new Graph", GTK_WINDOW(ui.mainwindow),
        static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
        GTK_STOCK_OK, GTK_RESPONSE_OK, GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL, nullptr);
    std::vector<const char*> names;
    for (const Fluid* f : offered) names.push_back(f->name.c_str());
    names.push_back(nullptr);
    std::vector<const char*> types(diagrams::GRAPH_TYPE_NAMES.begin(),
                                   diagrams::GRAPH_TYPE_NAMES.end());
    types.push_back(nullptr);
    GtkWidget* fluid = my_combo(0, names.data(), nullptr, nullptr);
    GtkWidget* type = my_combo(diagrams::DEFAULT_GRAPH_TYPE, types.data(), nullptr, nullptr);
    gtk_widget_set_name(fluid, "graph_fluid");
    gtk_widget_set_name(type, "graph_type");
    GtkWidget* table = gtk_table_new(2, 2, FALSE);
    const auto fill = static_cast<GtkAttachOptions>(GTK_FILL);
    gtk_table_attach(GTK_TABLE(table), my_label("Fluid:"), 0, 1, 0, 1, fill, fill, 4, 4);
    gtk_table_attach(GTK_TABLE(table), fluid, 1, 2, 0, 1, fill, fill, 4, 4);
    gtk_table_attach(GTK_TABLE(table), my_label("Plot typ :"), 0, 1, 1, 2, fill, fill, 4, 4);
    gtk_table_attach(GTK_TABLE(table), type, 1, 2, 1, 2, fill, fill, 4, 4);
    gtk_box_pack_start(GTK_BOX(GTK_DIALOG(dialog)->vbox), table, TRUE, TRUE, 0);
    const int response = run_dialog(GTK_DIALOG(dialog));
    const int f = gtk_combo_box_get_active(GTK_COMBO_BOX(fluid));
    choice.type = gtk_combo_box_get_active(GTK_COMBO_BOX(type));
    gtk_widget_destroy(dialog);
    if (response != GTK_RESPONSE_OK || f < 0 || f >= static_cast<int>(offered.size()) ||
        choice.type < 0)
        return false;
    choice.fluid = offered[sz(f)];
    return true;
}

void status_message(const std::string& text) {
    if (ui.statusbar == nullptr) return;
    const guint context = gtk_statusbar_get_context_id(GTK_STATUSBAR(ui.statusbar), "diagrams");
    gtk_statusbar_pop(GTK_STATUSBAR(ui.statusbar), context);
    gtk_statusbar_push(GTK_STATUSBAR(ui.statusbar), context, text.c_str());
}

}  // namespace

void create_new_graph(GtkAction*, gpointer) {
    Project* project = current_project;
    if (project == nullptr || project->az_processes < 1 || calculation_running()) return;
    const std::vector<Fluid*> offered = diagrams::project_fluids(*project);
    GraphChoice choice;
    if (offered.empty() || !choose_graph(offered, choice)) return;
    const diagrams::NewGraph made = diagrams::new_property_graph(
        *project, choice.fluid, choice.type, diagrams::isoline_progress);
    if (made.graph == nullptr) {
        show_error(made.refusal);
        return;
    }
    show_new_graph(project, made.graph);
    if (!made.note.empty()) show_message({MessageKind::Info, made.note});
}

void create_qt_graph(GtkAction*, gpointer) {
    Project* project = current_project;
    if (project == nullptr || project->az_processes < 1 || calculation_running()) return;
    const int i = project->current_interface;
    if (i < 0 || i >= project->az_interfaces || project->interfaces[sz(i)] == nullptr) {
        status_message("Select an interface to create its QT diagram.");
        return;
    }
    const diagrams::NewGraph made = diagrams::new_qt_graph(*project, *project->interfaces[sz(i)]);
    if (made.graph == nullptr) {
        status_message(made.refusal);
        return;
    }
    set_project_changed_true();
    add_graph_tab(project, made.graph);
    create_plot_graph(project, made.graph);
    build_graph_in_tree(project, made.graph);
}

void show_graph(GtkAction*, gpointer) {
    Project* project = current_project;
    if (project == nullptr || calculation_running()) return;
    if (last_press_path.size() != 2 || last_press_path[0] != 3) return;
    const int slot = last_press_path[1] + 1;
    if (slot < 1 || slot >= MAX_GRAPHS) return;
    Graph* graph = project->graphs[sz(slot)];
    if (graph == nullptr) return;
    const GraphView* view = view_of(graph);
    if (view != nullptr && view->page_box != nullptr) return;
    add_graph_tab(project, graph);
    create_plot_graph(project, graph);
    activate_graph_menu();
}

}  // namespace app::gui
