// The graph notebook of a project page: the flowsheet and the property
// diagrams, each on a page of its own; the diagram actions follow the
// selected page. Also the isoline toggles of the current diagram.
#include "app/gui/diagram_page.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"
#include "app/gui/widgets.h"

namespace app::gui {
namespace {

gboolean hide_pressed(GtkWidget* button, GdkEvent* event, gpointer graph) {
    remove_graph_tab(button, event, static_cast<Graph*>(graph));
    return TRUE;
}

// The graph whose page container is the notebook's page `page`, or null.
Graph* graph_on_page(Project* project, GtkWidget* page) {
    if (page == nullptr) return nullptr;
    for (Graph* g : project->graphs) {
        if (g == nullptr) break;
        const GraphView* view = view_of(g);
        if (view != nullptr && view->page_box == page) return g;
    }
    return nullptr;
}

Project* project_of_book(GtkNotebook* book) {
    for (Project* p : project_list) {
        if (p == nullptr) break;
        const ProjectView* view = view_of(p);
        if (view != nullptr && view->graph_book == GTK_WIDGET(book)) return p;
    }
    return nullptr;
}

// The isoline family `family` of the current diagram shown or not, unless
// the program itself is setting the toggles.
void toggle_family(GtkToggleAction* action, int family) {
    Project* p = current_project;
    if (p == nullptr || p->graph_menu_guard != 0) return;
    Graph* g = p->current_graph;
    if (g == nullptr || g->kind != GK_DIAGRAM) return;
    g->iso_style[static_cast<std::size_t>(family)].show =
        gtk_toggle_action_get_active(action) ? 1 : 0;
    set_project_changed_true();
    redraw_graph(g);
}

}  // namespace

gboolean add_graph_tab(Project* project, Graph* graph) {
    ProjectView* pview = view_of(project);
    if (pview == nullptr || graph == nullptr) return FALSE;
    GraphView& view = ui.graphs[graph];
    GtkWidget* tab = gtk_hbox_new(FALSE, 1);
    view.tab_label = my_label(graph->name.c_str());
    gtk_label_set_use_markup(GTK_LABEL(view.tab_label), FALSE);
    gtk_label_set_text(GTK_LABEL(view.tab_label), graph->name.c_str());
    gtk_box_pack_start(GTK_BOX(tab), view.tab_label, FALSE, FALSE, 0);
    if (graph != project->graphs[0])
        gtk_box_pack_start(GTK_BOX(tab),
                           my_closebutton(G_CALLBACK(hide_pressed), "Hide graph", graph), FALSE,
                           FALSE, 0);
    gtk_widget_show_all(tab);
    view.page_box = graph->kind == GK_DIAGRAM ? gtk_vbox_new(FALSE, 0) : gtk_hbox_new(FALSE, 0);
    GtkNotebook* book = GTK_NOTEBOOK(pview->graph_book);
    const int n = gtk_notebook_append_page(book, view.page_box, tab);
    gtk_widget_show(view.page_box);
    gtk_widget_show(pview->graph_book);
    gtk_notebook_set_current_page(book, n);
    return gtk_notebook_get_current_page(book) == n;
}

void remove_graph_tab(GtkWidget* button, GdkEvent*, Graph* graph) {
    if (button != nullptr) gtk_widget_set_sensitive(button, FALSE);
    Project* project = graph != nullptr ? graph->project : nullptr;
    GraphView* view = view_of(graph);
    ProjectView* pview = view_of(project);
    if (view == nullptr || pview == nullptr || view->page_box == nullptr) return;
    GtkNotebook* book = GTK_NOTEBOOK(pview->graph_book);
    const int n = gtk_notebook_page_num(book, view->page_box);
    view->page_box = nullptr;
    view->drawing_area = nullptr;
    if (n >= 0) gtk_notebook_remove_page(book, n);
    ui.graphs.erase(graph);
    project->current_graph = nullptr;
    const int now = gtk_notebook_get_current_page(book);
    if (now >= 0)
        project->current_graph = graph_on_page(project, gtk_notebook_get_nth_page(book, now));
}

void switch_graph_page(GtkNotebook* notebook, gpointer, guint page_num, gpointer) {
    Project* project = project_of_book(notebook);
    if (project == nullptr) project = current_project;
    if (project == nullptr) return;
    project->current_graph = nullptr;
    if (project->graphs[0] == nullptr) {
        if (project == current_project) deactivate_graph_menu();
        return;
    }
    GtkWidget* page = gtk_notebook_get_nth_page(notebook, static_cast<int>(page_num));
    project->current_graph = graph_on_page(project, page);
    if (project != current_project) return;
    if (project->current_graph != nullptr && project->current_graph->kind == GK_DIAGRAM)
        activate_graph_menu();
    else
        deactivate_graph_menu();
}

GtkWidget* find_new_current_graph(Project* project) {
    ProjectView* pview = view_of(project);
    if (project == nullptr || pview == nullptr) return nullptr;
    project->current_graph = nullptr;
    GtkNotebook* book = GTK_NOTEBOOK(pview->graph_book);
    const int now = gtk_notebook_get_current_page(book);
    if (now < 0) return nullptr;
    GtkWidget* page = gtk_notebook_get_nth_page(book, now);
    project->current_graph = graph_on_page(project, page);
    return page;
}

void toggle_wetness(GtkToggleAction* action, gpointer) { toggle_family(action, ISO_WETNESS); }
void toggle_temperature(GtkToggleAction* action, gpointer) { toggle_family(action, ISO_ISOTHERM); }
void toggle_pressure(GtkToggleAction* action, gpointer) { toggle_family(action, ISO_ISOBAR); }
void toggle_density(GtkToggleAction* action, gpointer) { toggle_family(action, ISO_ISOCHOR); }

}  // namespace app::gui
