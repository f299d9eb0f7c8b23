// Property diagrams: the commands of the Graphics menu and the diagram
// pop-up. The diagram pages, their drawing, zoom, settings dialogs,
// printing and PNG images come with the diagrams' own work; until then
// these commands say that they are not available yet.
#include "app/gui/gui.h"
#include "app/gui/handlers.h"

namespace app::gui {

void create_new_graph(GtkAction*, gpointer) { not_available("Create Graph"); }
void create_qt_graph(GtkAction*, gpointer) { not_available("Create QT Diagram"); }
void show_graph(GtkAction*, gpointer) { not_available("Show Graph"); }
void maxrange(GtkAction*, gpointer) { not_available("Zoom Out"); }
void zoomdefault(GtkAction*, gpointer) { not_available("Zoom to Default"); }
void zoomtoplot(GtkAction*, gpointer) { not_available("Zoom to Plots"); }
void configureaxis(GtkAction*, gpointer) { not_available("Configure Axes"); }
void modify_isolines(GtkAction*, gpointer) { not_available("Configure Isolines"); }
void curve_settings_callback(GtkAction*, gpointer) { not_available("Configure Process"); }
void auto_axis(GtkAction*, gpointer) { not_available("Configure Axis Ticks Automatically"); }
void do_print(GtkAction*, gpointer) { not_available("Print"); }
void do_png(GtkAction*, gpointer) { not_available("Create Screenshot"); }
void start_zooming_callback(GtkAction*, gpointer) { not_available("Zoom in"); }
void toggle_zooming(GtkToggleAction*, gpointer) {}

}  // namespace app::gui
