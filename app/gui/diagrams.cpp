// Property diagrams: the commands of the Graphics menu and the diagram
// pop-up that come with later work (creating diagrams from the menu and
// the tree, zoom, the settings dialogs); until then they say that they are
// not available yet. The pages, drawing, printing and images are in
// diagram_page.cpp and diagram_output.cpp.
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
void start_zooming_callback(GtkAction*, gpointer) { not_available("Zoom in"); }
void toggle_zooming(GtkToggleAction*, gpointer) {}

}  // namespace app::gui
