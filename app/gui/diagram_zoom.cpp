// Zoom mode with its rectangle, dragging and the wheel on a diagram's
// drawing area. The ranges are worked out by app/diagrams/zoom.h.
#include "app/diagrams/pointer.h"
#include "app/diagrams/zoom.h"
#include "app/gui/diagram_actions.h"
#include "app/gui/diagram_page.h"
#include "app/gui/gui.h"

#include <cmath>

namespace app::gui {

namespace {

constexpr guint ZOOM_TIMER_MS = 10;
constexpr guint DRAG_TIMER_MS = 100;
constexpr const char* ZOOM_TOGGLE = "ui/GraphDummy/ZoomInAction";

// Zoom mode.
int start_zooming = 0;    // 1 while waiting for the first corner
guint zoom_timer_id = 0;  // the rectangle timer, 0 when none
Graph* zoom_graph = nullptr;
double graph_xs = 0, graph_ys = 0;  // the first corner, whole pixels

// Drag.
guint drag_timer_id = 0;
int start_dragging = 0;
Graph* drag_graph = nullptr;
double old_x = 0, old_y = 0;

// The wheel's time rule.
diagrams::WheelGate wheel_gate;

void set_main_cursor(GdkCursorType type, bool standard) {
    if (ui.mainwindow == nullptr || ui.mainwindow->window == nullptr) return;
    if (standard) {
        gdk_window_set_cursor(ui.mainwindow->window, nullptr);
        return;
    }
    GdkCursor* cursor = gdk_cursor_new(type);
    gdk_window_set_cursor(ui.mainwindow->window, cursor);
    gdk_cursor_unref(cursor);
}

// Sets the zoom toggle without running its handler's mode switch twice.
bool setting_toggle = false;
void set_zoom_toggle(bool active) {
    GtkAction* action = action_at(ZOOM_TOGGLE);
    if (action == nullptr) return;
    setting_toggle = true;
    gtk_toggle_action_set_active(GTK_TOGGLE_ACTION(action), active ? TRUE : FALSE);
    setting_toggle = false;
}

void stop_timer(guint& id) {
    if (id != 0) g_source_remove(id);
    id = 0;
}

// The pointer over the graph's drawing area; false when it has none.
bool pointer_of(const Graph* graph, double& x, double& y) {
    const GraphView* view = view_of(graph);
    if (view == nullptr || view->drawing_area == nullptr || view->drawing_area->window == nullptr)
        return false;
    gint px = 0, py = 0;
    gtk_widget_get_pointer(view->drawing_area, &px, &py);
    x = px;
    y = py;
    return true;
}

// Ends zoom mode: toggle off, arrow cursor, the picture without the
// rectangle, no timer. The ranges stay.
void end_zoom_mode() {
    start_zooming = 0;
    set_zoom_toggle(false);
    set_main_cursor(GDK_LEFT_PTR, true);
    if (zoom_graph != nullptr) restore_backup(zoom_graph);
    stop_timer(zoom_timer_id);
    zoom_graph = nullptr;
}

gboolean zoomflow(gpointer data) {
    auto* graph = static_cast<Graph*>(data);
    restore_backup(graph);
    double x = 0, y = 0;
    cairo_surface_t* picture = graph_picture(graph);
    if (picture == nullptr || !pointer_of(graph, x, y)) return TRUE;
    cairo_t* cr = cairo_create(picture);
    diagrams::draw_zoom_rectangle(cr, graph_xs, graph_ys, x, y);
    cairo_destroy(cr);
    if (const GraphView* view = view_of(graph)) gtk_widget_queue_draw(view->drawing_area);
    return TRUE;
}

gboolean draggraph(gpointer data) {
    auto* graph = static_cast<Graph*>(data);
    double x = 0, y = 0;
    if (!pointer_of(graph, x, y)) return TRUE;
    const diagrams::DragStep d = diagrams::drag_step(old_x, old_y, x, y);
    if (!d.moves) return TRUE;
    old_x = x;
    old_y = y;
    if (diagrams::drag_ranges(*graph, d.dx, d.dy)) diagram_changed(graph);
    return TRUE;
}

}  // namespace

bool zoom_waiting_for_corner() { return start_zooming != 0; }
bool zoom_rectangle_running() { return zoom_timer_id != 0; }
bool drag_running() { return drag_timer_id != 0; }

void begin_zoom_mode() {
    set_zoom_toggle(true);
    start_zooming = 1;
    set_main_cursor(GDK_CROSS, false);
}

void start_zoom_rectangle(Graph* graph, double x, double y) {
    start_zooming = 0;
    stop_timer(zoom_timer_id);
    zoom_graph = graph;
    graph_xs = std::round(x);
    graph_ys = std::round(y);
    zoom_timer_id = g_timeout_add(ZOOM_TIMER_MS, zoomflow, graph);
}

void finished_zooming(Graph* graph, double x, double y) {
    const double x0 = graph_xs, y0 = graph_ys;
    const Graph* first = zoom_graph;
    end_zoom_mode();
    // Both corners must lie on the same picture (another page may have
    // been chosen meanwhile).
    if (graph == nullptr || graph != first) return;
    graph->zoom_to_plot = 0;
    if (diagrams::zoom_rectangle(*graph, x0, y0, x, y)) diagram_changed(graph);
}

void stop_zooming(Graph*) { end_zoom_mode(); }

void start_drag(Graph* graph, double x, double y) {
    stop_drag();
    start_dragging = 1;
    drag_graph = graph;
    old_x = x;
    old_y = y;
    drag_timer_id = g_timeout_add(DRAG_TIMER_MS, draggraph, graph);
}

void stop_drag() {
    stop_timer(drag_timer_id);
    start_dragging = 0;
    drag_graph = nullptr;
}

gboolean scrolling(GtkWidget*, GdkEventScroll* event, Graph* graph) {
    if (graph == nullptr || calculation_running()) return TRUE;
    if (!wheel_gate.accept(event->time)) return TRUE;
    diagrams::WheelDirection direction = diagrams::WheelDirection::Other;
    if (event->direction == GDK_SCROLL_UP) direction = diagrams::WheelDirection::Up;
    if (event->direction == GDK_SCROLL_DOWN) direction = diagrams::WheelDirection::Down;
    // The wheel changes the view only: the project is not marked changed.
    if (diagrams::wheel_zoom(*graph, direction, event->x, event->y)) redraw_graph(graph);
    return TRUE;
}

void forget_pointer_state(const Graph* graph) {
    if (graph == nullptr) return;
    if (zoom_graph == graph) {
        stop_timer(zoom_timer_id);
        zoom_graph = nullptr;
        end_zoom_mode();
    }
    if (drag_graph == graph) stop_drag();
}

// Handlers of the actions.
void start_zooming_callback(GtkAction*, gpointer) {
    if (current_diagram() != nullptr) begin_zoom_mode();
}

void toggle_zooming(GtkToggleAction* action, gpointer) {
    if (setting_toggle) return;
    if (gtk_toggle_action_get_active(action)) {
        if (current_diagram() == nullptr) {
            set_zoom_toggle(false);
            return;
        }
        start_zooming = 1;
        set_main_cursor(GDK_CROSS, false);
    } else {
        end_zoom_mode();
    }
}

}  // namespace app::gui
