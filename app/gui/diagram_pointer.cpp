// The pointer on a diagram's drawing area: the read-out of the state under
// it, the hover label of the curve under it, clicks (select a part, start
// a drag or a zoom rectangle, the pop-up) and double clicks (the settings
// dialogs); and the diagrams that follow a new current part.
#include "app/core/model/tools.h"
#include "app/core/solver/simulator.h"
#include "app/diagrams/pointer.h"
#include "app/diagrams/zoom.h"
#include "app/gui/diagram_actions.h"
#include "app/gui/diagram_page.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace app::gui {

namespace {

constexpr int NO_POLYLINE = -2;
constexpr const char* GRAPH_POPUP = "ui/GraphPopupMenu";

// The hovered cache entry of each diagram whose label is on screen.
std::map<const Graph*, int> hovered;
// Set while one motion event is handled.
bool readout_busy = false;

// True when the diagram's curves include process `process` of its project.
bool shows_process(const Graph& graph, int process) {
    const Project* p = graph.project;
    if (p == nullptr || process < 0 || process >= p->az_processes || process >= MAX_PROCESSES)
        return false;
    const Process* proc = p->processes[sz(process)];
    const int n = std::min(graph.az_curves, MAX_CURVES);
    return std::find(graph.curves.begin(), graph.curves.begin() + n, proc) !=
           graph.curves.begin() + n;
}

// A cache entry's process and part when they are a drawn part of the
// project now; false for the critical point or an entry left from a
// project that changed since the drawing.
bool part_of_entry(const Graph& graph, const ScreenEntry& entry, int& process, int& part) {
    const Project* p = graph.project;
    if (p == nullptr || entry.process < 0 || entry.process >= p->az_processes ||
        entry.process >= MAX_PROCESSES)
        return false;
    const Process* proc = p->processes[sz(entry.process)];
    if (proc == nullptr || entry.part < 0 || entry.part >= proc->az_parts ||
        entry.part >= MAX_PARTS || proc->parts[sz(entry.part)] == nullptr)
        return false;
    if (!shows_process(graph, entry.process)) return false;
    process = entry.process;
    part = entry.part;
    return true;
}

// The part under the pointer, looked up in the present drawing.
bool part_under(const Graph& graph, double px, double py, int& process, int& part) {
    const int hit = diagrams::hover_hit(graph, static_cast<int>(std::lround(px)),
                                        static_cast<int>(std::lround(py)));
    if (hit < 0) return false;
    return part_of_entry(graph, graph.cache[sz(hit)], process, part);
}

void draw_label(Graph* graph, const std::string& text, int px, int py) {
    cairo_surface_t* picture = graph_picture(graph);
    const GraphView* view = view_of(graph);
    if (picture == nullptr || view == nullptr) return;
    cairo_t* cr = cairo_create(picture);
    diagrams::draw_hover_label(cr, text, px, py, graph->font_scale);
    cairo_destroy(cr);
    gtk_widget_queue_draw(view->drawing_area);
}

// The hover test: the label of the curve under the pointer, or none.
void hover_test(Graph* graph, int px, int py) {
    int& now = hovered.try_emplace(graph, NO_POLYLINE).first->second;
    const int hit = diagrams::hover_hit(*graph, px, py);
    if (hit >= 0 && hit == now) return;
    if (now != NO_POLYLINE) restore_backup(graph);
    if (hit < 0) {
        graph->hover_process = -1;
        graph->hover_part = -1;
        now = NO_POLYLINE;
        return;
    }
    const ScreenEntry& entry = graph->cache[sz(hit)];
    graph->hover_process = entry.process;
    graph->hover_part = entry.part;
    now = hit;
    draw_label(graph, entry.text, px, py);
}

void show_texts(const Graph* graph, const diagrams::ReadoutTexts& t) {
    set_readout(graph, t.T, t.p, t.h, t.s, t.rho, t.phase, t.transport);
}

gboolean graph_mouse_moved(GtkWidget*, GdkEventMotion* event, gpointer data) {
    auto* graph = static_cast<Graph*>(data);
    gint px = static_cast<gint>(event->x), py = static_cast<gint>(event->y);
    // Asking for the pointer also asks for the next motion event.
    if (event->is_hint != 0) gdk_window_get_pointer(event->window, &px, &py, nullptr);
    if (graph->type == 5 || library_busy.load() > 0 || readout_busy || calculation_running())
        return TRUE;
    readout_busy = true;
    if (auto texts = diagrams::readout_at_pixel(*graph, px, py)) show_texts(graph, *texts);
    readout_busy = false;
    hover_test(graph, px, py);
    return FALSE;
}

void double_click(Graph* graph, double px, double py) {
    stop_drag();
    switch (diagrams::click_region(*graph, px, py)) {
        case diagrams::ClickRegion::NearYAxis: configure_axis_x_or_y(1); break;
        case diagrams::ClickRegion::NearXAxis: configure_axis_x_or_y(0); break;
        case diagrams::ClickRegion::Plot: {
            int process = -1, part = -1;
            if (part_under(*graph, px, py, process, part)) curve_settings_dialog(process);
            break;
        }
        case diagrams::ClickRegion::BeyondEnd:
            if (graph->type != 5) isoline_settings_dialog();
            break;
    }
}

void left_click(Graph* graph, const GdkEventButton* event) {
    if (zoom_rectangle_running()) {
        finished_zooming(graph, event->x, event->y);
        return;
    }
    if (zoom_waiting_for_corner()) {
        start_zoom_rectangle(graph, event->x, event->y);
        return;
    }
    int process = -1, part = -1;
    if (part_under(*graph, event->x, event->y, process, part)) {
        update_current_process_and_part_and_interface(graph->project, process, part, -1);
        return;
    }
    start_drag(graph, event->x, event->y);
}

gboolean buttonpressed(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto* graph = static_cast<Graph*>(data);
    if (calculation_running() || graph->project != current_project) return TRUE;
    if (event->type == GDK_2BUTTON_PRESS && event->button == 1) {
        double_click(graph, event->x, event->y);
        return FALSE;
    }
    if (event->type != GDK_BUTTON_PRESS) return TRUE;
    if (event->button == 1) left_click(graph, event);
    if (event->button == 3) {
        if (zoom_rectangle_running() || zoom_waiting_for_corner()) {
            stop_zooming(graph);
        } else if (GtkWidget* menu = gtk_ui_manager_get_widget(ui.ui_manager, GRAPH_POPUP)) {
            gtk_menu_popup(GTK_MENU(menu), nullptr, nullptr, nullptr, nullptr, event->button,
                           event->time);
        }
    }
    return TRUE;
}

gboolean buttonreleased(GtkWidget*, GdkEventButton*, gpointer) {
    stop_drag();
    return TRUE;
}

}  // namespace

void connect_pointer_handlers(GtkWidget* area, Graph* graph) {
    g_signal_connect(area, "motion_notify_event", G_CALLBACK(graph_mouse_moved), graph);
    g_signal_connect(area, "button_press_event", G_CALLBACK(buttonpressed), graph);
    g_signal_connect(area, "button_release_event", G_CALLBACK(buttonreleased), graph);
    g_signal_connect(area, "scroll_event", G_CALLBACK(scrolling), graph);
}

void pointer_picture_redrawn(const Graph* graph) { hovered.erase(graph); }

Graph* current_diagram() {
    Project* p = current_project;
    if (p == nullptr || calculation_running()) return nullptr;
    Graph* g = p->current_graph;
    if (g == nullptr || g->kind != GK_DIAGRAM || view_of(g) == nullptr) return nullptr;
    return g;
}

void diagram_changed(Graph* graph) {
    if (graph == nullptr) return;
    redraw_graph(graph);
    Project* p = graph->project;
    if (p == current_project) {
        set_project_changed_true();
    } else if (p != nullptr) {
        p->changed = 1;
        update_tab_label(p);
    }
}

void update_plot_graphs_to_new_current_part(Project* project, int process, int part,
                                            int interface) {
    if (project == nullptr) return;
    const int old = project->current_process;
    std::vector<Graph*> noted;
    for (int g = 1; g < MAX_GRAPHS; ++g) {
        Graph* graph = project->graphs[sz(g)];
        if (graph == nullptr) break;
        if (graph->kind == GK_DIAGRAM &&
            (shows_process(*graph, old) || shows_process(*graph, process)))
            noted.push_back(graph);
    }
    project->current_process = process;
    project->current_part = part;
    project->current_interface = interface;
    for (Graph* graph : noted) redraw_graph(graph);
}

void update_current_process_and_part_and_interface(Project* project, int process, int part,
                                                   int interface) {
    if (project == nullptr) return;
    if (project->current_process == process && project->current_part == part &&
        project->current_interface == interface)
        return;
    open_tree_to_new_current_part(project, process, part, interface);
    update_plot_graphs_to_new_current_part(project, process, part, interface);
    update_buttons(project);
    draw_symbol_graph(project);
}

}  // namespace app::gui
