// Working with a property diagram in the window: the pointer handlers of
// its drawing area (read-out, hover label, clicks, zoom rectangle, drag,
// wheel), the current part chosen on a diagram, and the settings dialogs.
// The range arithmetic behind them is in app/diagrams (zoom.h, pointer.h,
// settings_values.h); these files only connect it to the toolkit.
#pragma once

#include "app/core/model/records.h"

#include <gtk/gtk.h>

namespace app::gui {

// ---------------------------------------------------------------------------
// Pointer (diagram_pointer.cpp, diagram_zoom.cpp)
// ---------------------------------------------------------------------------

// Connects the motion, button and wheel handlers of a diagram's area.
void connect_pointer_handlers(GtkWidget* area, Graph* graph);
// The diagram's page goes: its zoom and drag timers stop, its hover ends.
void forget_pointer_state(const Graph* graph);
// A new picture of the diagram was drawn: the hover label is gone with the
// old one.
void pointer_picture_redrawn(const Graph* graph);

// Zoom mode (diagram_zoom.cpp): waiting for the first corner, then the
// rectangle drawn every 10 ms until the second click.
bool zoom_waiting_for_corner();
bool zoom_rectangle_running();
void begin_zoom_mode();
void start_zoom_rectangle(Graph* graph, double x, double y);
void finished_zooming(Graph* graph, double x, double y);
void stop_zooming(Graph* graph);
// Dragging with the first button (100 ms timer) until the release.
void start_drag(Graph* graph, double x, double y);
void stop_drag();
bool drag_running();
// The wheel over a diagram; the time rule reads the event's time stamp.
gboolean scrolling(GtkWidget* widget, GdkEventScroll* event, Graph* graph);

// Makes the process, part and interface current (nothing when they are
// already): the tree row, the diagrams that show the old or new current
// process, the tool buttons and the flowsheet follow.
void update_current_process_and_part_and_interface(Project* project, int process, int part,
                                                   int interface);
// Stores the new current process, part and interface and redraws the
// diagrams among whose curves is the old or the new current process.
void update_plot_graphs_to_new_current_part(Project* project, int process, int part, int interface);

// The current diagram of the current project, or null (none, the
// flowsheet, or a calculation working on the records).
Graph* current_diagram();
// Redraws a diagram after a change of its settings and marks its project
// changed.
void diagram_changed(Graph* graph);

// ---------------------------------------------------------------------------
// Settings dialogs of the current diagram
// ---------------------------------------------------------------------------

// "Axis Properties" on the page of the x axis (0) or the y axis (1).
void configure_axis_x_or_y(int page);
// "Curve Properties" with the curve of the project's process `process`
// selected first (curve 0 when the diagram does not show it).
void curve_settings_dialog(int process);
// "Configure Iso Lines".
void isoline_settings_dialog();

}  // namespace app::gui
