// The part and interface dialogs: their entry points. Until the dialogs
// are built the commands say that they are not available yet; the Inlet's
// details are its inlet dialog.
#include "app/gui/gui.h"
#include "app/gui/handlers.h"

namespace app::gui {

void create_interface_from_graph(GtkAction*, gpointer) { not_available("Create Interface"); }
void createinterface_from_tree(GtkAction*, gpointer) { not_available("Create Interface"); }
void interfacedialogcallback(GtkAction*, gpointer) { not_available("Show Interface Details"); }
void partdialogcallback(GtkAction*, gpointer) {
    const Project* p = current_project;
    if (p != nullptr && p->current_part == 0) {
        inletdialogcallback(nullptr, nullptr);
        return;
    }
    not_available("Show Part Details");
}
void swapparts(GtkAction*, gpointer) { not_available("Swap Parts"); }

}  // namespace app::gui
