// The diagram commands of the Graphics menu, the diagram pop-up and the
// diagram toolbar that act on the current diagram: the range presets and
// the openers of the settings dialogs. Creating and showing diagrams is in
// diagram_create.cpp, zoom mode in diagram_zoom.cpp, the pages, drawing,
// printing and images in diagram_page.cpp and diagram_output.cpp.
#include "app/diagrams/zoom.h"
#include "app/gui/diagram_actions.h"
#include "app/gui/diagram_page.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"

namespace app::gui {

void maxrange(GtkAction*, gpointer) {
    if (Graph* g = current_diagram()) {
        diagrams::maxrange(*g);
        diagram_changed(g);
    }
}

void zoomdefault(GtkAction*, gpointer) {
    if (Graph* g = current_diagram()) {
        diagrams::zoomdefault(*g);
        diagram_changed(g);
    }
}

void zoomtoplot(GtkAction*, gpointer) {
    if (Graph* g = current_diagram()) {
        g->zoom_to_plot = 1;
        diagrams::fit_axes_to_processes(*g);
        diagram_changed(g);
        g->zoom_to_plot = 0;
    }
}

void auto_axis(GtkAction*, gpointer) {
    if (Graph* g = current_diagram()) {
        diagrams::auto_axis(*g);
        diagram_changed(g);
    }
}

void configureaxis(GtkAction*, gpointer) { configure_axis_x_or_y(0); }
void modify_isolines(GtkAction*, gpointer) { isoline_settings_dialog(); }
void curve_settings_callback(GtkAction*, gpointer) { curve_settings_dialog(0); }

}  // namespace app::gui
