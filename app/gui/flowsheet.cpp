// The flowsheet (the "Overview" page): its entry points. The layout and
// drawing of the part symbols come with the flowsheet's own work; until
// then the page is an empty sheet. The result-display toggles already keep
// their flags in the flowsheet's Graph.
#include "app/gui/diagram_page.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"

namespace app::gui {
namespace {

gboolean expose_sheet(GtkWidget* widget, GdkEventExpose*, gpointer) {
    cairo_t* cr = gdk_cairo_create(widget->window);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_destroy(cr);
    return TRUE;
}

// The flowsheet's flag that a toggle switches, in the current project.
void set_sheet_flag(GtkToggleAction* action, int Graph::*flag) {
    Project* p = current_project;
    if (p == nullptr || p->graphs[0] == nullptr) return;
    p->graphs[0]->*flag = gtk_toggle_action_get_active(action) ? 1 : 0;
    update_graphs(p);
}

}  // namespace

void build_symbol_graph(Project* project) {
    Graph* sheet = project != nullptr ? project->graphs[0] : nullptr;
    GraphView* view = view_of(sheet);
    if (view == nullptr || view->page_box == nullptr) return;
    GtkWidget* area = gtk_drawing_area_new();
    g_signal_connect(area, "expose-event", G_CALLBACK(expose_sheet), nullptr);
    gtk_box_pack_start(GTK_BOX(view->page_box), area, TRUE, TRUE, 0);
    gtk_widget_show(area);
    view->drawing_area = area;
}

void update_buttons(Project*) {}

void update_graphs(Project* project) {
    if (project == nullptr) return;
    for (Graph* g : project->graphs) {
        if (g == nullptr) break;
        const GraphView* view = view_of(g);
        if (view == nullptr || view->drawing_area == nullptr) continue;
        if (g->kind == GK_DIAGRAM)
            redraw_graph(g);
        else
            gtk_widget_queue_draw(view->drawing_area);
    }
}

void overview_tp_toggle(GtkToggleAction* a, gpointer) { set_sheet_flag(a, &Graph::show_tp); }
void overview_cross1_toggle(GtkToggleAction* a, gpointer) {
    set_sheet_flag(a, &Graph::show_cross1);
}
void overview_cross2_toggle(GtkToggleAction* a, gpointer) {
    set_sheet_flag(a, &Graph::show_cross2);
}
void overview_name_toggle(GtkToggleAction* a, gpointer) { set_sheet_flag(a, &Graph::show_names); }
void overview_input_toggle(GtkToggleAction* a, gpointer) { set_sheet_flag(a, &Graph::show_inputs); }

void symbol_zoom_in(GtkAction*, gpointer) { not_available("Zoom in"); }
void symbol_zoom_out(GtkAction*, gpointer) { not_available("Zoom out"); }
void symbol_zoom_reset(GtkAction*, gpointer) { not_available("Zoom reset"); }

}  // namespace app::gui
