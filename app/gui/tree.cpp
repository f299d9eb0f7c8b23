// The project tree: its entry points. The tree itself (rows of processes,
// parts, values, units, options and fluids, editing in place, the row
// commands) is built here by the tree's own work; until then the tree is
// an empty view and its commands say that they are not available yet.
#include "app/gui/gui.h"
#include "app/gui/handlers.h"

namespace app::gui {

GtkWidget* build_tree(Project*) {
    GtkTreeStore* store = gtk_tree_store_new(1, G_TYPE_STRING);
    GtkWidget* view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
    g_object_unref(store);
    gtk_tree_view_insert_column_with_attributes(GTK_TREE_VIEW(view), -1, "Project",
                                                gtk_cell_renderer_text_new(), "text", 0, nullptr);
    return view;
}

void show_results_in_tree(Project*) {}

void on_rename_activate(GtkAction*, gpointer) { not_available("Rename"); }
void on_delete_activate(GtkAction*, gpointer) { not_available("Delete"); }
void on_move_up(GtkAction*, gpointer) { not_available("Move up"); }
void on_move_down(GtkAction*, gpointer) { not_available("Move down"); }
void expandthis(GtkAction*, gpointer) { not_available("Expand"); }
void expandall(GtkAction*, gpointer) { not_available("Expand all"); }
void collapsethis(GtkAction*, gpointer) { not_available("Collapse"); }
void select_fluid(GtkMenuItem*, gpointer) { not_available("Choosing a fluid"); }
void select_option(GtkMenuItem*, gpointer) { not_available("Choosing an option"); }
void select_unit(GtkMenuItem*, gpointer) { not_available("Choosing a unit"); }

void not_available(const char* command) {
    if (ui.statusbar == nullptr) return;
    const guint context = gtk_statusbar_get_context_id(GTK_STATUSBAR(ui.statusbar), "later");
    gtk_statusbar_pop(GTK_STATUSBAR(ui.statusbar), context);
    std::string text = std::string(command) + " is not available in this version.";
    gtk_statusbar_push(GTK_STATUSBAR(ui.statusbar), context, text.c_str());
}

}  // namespace app::gui
