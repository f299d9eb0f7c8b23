// The fluid editor and the property table: their entry points. The
// fluid-definition wizard, fluid files and the property-table window come
// with their own work; until then these commands say that they are not
// available yet.
#include "app/gui/gui.h"
#include "app/gui/handlers.h"

namespace app::gui {

void create_fluid(GtkWidget*, gpointer) { not_available("Create Fluid"); }
void export_fluid(GtkAction*, gpointer) { not_available("Export Fluid"); }
void import_fluid(GtkAction*, gpointer) { not_available("Import Fluid"); }
void select_fluid_to_edit_dialog(GtkAction*, gpointer) { not_available("Edit fluid"); }
void on_properties_table(GtkAction*, gpointer) { not_available("Property Table"); }

}  // namespace app::gui
