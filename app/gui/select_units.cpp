// Select Units: the default unit of each quantity, and "Apply to all
// values" to switch every value of a quantity in every open project.
#include "app/gui/select_units.h"

#include "app/core/files/filehandling.h"
#include "app/core/model/units.h"
#include "app/gui/diagram_page.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"
#include "app/gui/widgets.h"

#include <memory>
#include <string>

namespace app::gui {
namespace {

std::unique_ptr<UnitsDialog> open_dialog;

gboolean changed_unit(GtkWidget*, gpointer) {
    if (open_dialog != nullptr) open_dialog->changed = true;
    return TRUE;
}

int chosen_unit(int q) {
    return gtk_combo_box_get_active(GTK_COMBO_BOX(open_dialog->box[static_cast<std::size_t>(q)]));
}

// The tree and the diagrams in the units now chosen, the diagrams'
// read-out labels in the default units.
void refresh_all_projects() {
    for (Project* p : project_list) {
        if (p == nullptr) break;
        refresh_tree_values(p);
        update_graphs(p);
        for (int g = 1; g < p->az_graphs; ++g)
            relabel_readout(p->graphs[static_cast<std::size_t>(g)]);
    }
}

gboolean applytoall(GtkWidget*, gpointer quantity) {
    if (open_dialog == nullptr) return TRUE;
    const int q = GPOINTER_TO_INT(quantity);
    if (apply_unit_to_all(q, chosen_unit(q))) refresh_all_projects();
    return TRUE;
}

void unitresponse(GtkDialog* dialog, gint response, gpointer) {
    if (response == GTK_RESPONSE_OK && open_dialog != nullptr) {
        for (int q = 0; q < NUM_QUANTITIES; ++q) {
            const int u = chosen_unit(q);
            if (u >= 0) set_default_unit(q, u);
        }
        if (open_dialog->changed) {
            if (!save_default_settings())
                show_error("The settings file '" + settings_path() + "' cannot be written.");
            refresh_all_projects();  // the diagrams' read-out labels follow the defaults
        }
    } else if (response != GTK_RESPONSE_CANCEL && response != GTK_RESPONSE_DELETE_EVENT) {
        return;
    }
    for (int q = 0; q < NUM_QUANTITIES; ++q)  // the combo boxes never shown
        if (open_dialog != nullptr &&
            open_dialog->apply_button[static_cast<std::size_t>(q)] == nullptr)
            g_object_unref(open_dialog->box[static_cast<std::size_t>(q)]);
    open_dialog.reset();
    gtk_widget_destroy(GTK_WIDGET(dialog));
}

GtkWidget* units_table(UnitsDialog& d) {
    GtkWidget* table = gtk_table_new(NUM_QUANTITIES + 2, 5, FALSE);
    gtk_table_set_col_spacings(GTK_TABLE(table), 6);
    gtk_table_set_row_spacings(GTK_TABLE(table), 3);
    const auto fill = GTK_FILL;
    gtk_table_attach(GTK_TABLE(table), my_label("Variable type"), 0, 1, 0, 1, fill, fill, 4, 2);
    gtk_table_attach(GTK_TABLE(table), gtk_vseparator_new(), 1, 2, 0, 1, fill, fill, 0, 0);
    gtk_table_attach(GTK_TABLE(table), my_label("Choices"), 2, 3, 0, 1, fill, fill, 4, 2);
    gtk_table_attach(GTK_TABLE(table), gtk_hseparator_new(), 0, 5, 1, 2, fill, fill, 0, 2);
    guint row = 2;
    for (int q = 0; q < NUM_QUANTITIES; ++q) {
        const UnitQuantity& uq = unitdef[static_cast<std::size_t>(q)];
        GtkWidget* combo = gtk_combo_box_new_text();
        for (int u = 0; u < unit_count(q); ++u)
            gtk_combo_box_append_text(GTK_COMBO_BOX(combo), unit_symbol(q, u));
        gtk_combo_box_set_active(GTK_COMBO_BOX(combo), uq.default_unit);
        g_signal_connect(combo, "changed", G_CALLBACK(changed_unit), nullptr);
        d.box[static_cast<std::size_t>(q)] = combo;
        gtk_widget_set_name(combo, (std::string("units_") + uq.name).c_str());
        if (unit_count(q) <= 1) {
            g_object_ref_sink(combo);  // kept for its choice, never shown
            continue;
        }
        GtkWidget* apply = my_button("Apply to all values",
                                     "Set all values in the program to display with this unit",
                                     G_CALLBACK(applytoall), GINT_TO_POINTER(q));
        d.apply_button[static_cast<std::size_t>(q)] = apply;
        gtk_widget_set_name(apply, (std::string("apply_") + uq.name).c_str());
        gtk_table_attach(GTK_TABLE(table), my_label(uq.name), 0, 1, row, row + 1, fill, fill, 4, 0);
        gtk_table_attach(GTK_TABLE(table), gtk_vseparator_new(), 1, 2, row, row + 1, fill, fill, 0,
                         0);
        gtk_table_attach(GTK_TABLE(table), combo, 2, 3, row, row + 1, fill, fill, 4, 0);
        gtk_table_attach(GTK_TABLE(table), gtk_vseparator_new(), 3, 4, row, row + 1, fill, fill, 0,
                         0);
        gtk_table_attach(GTK_TABLE(table), apply, 4, 5, row, row + 1, fill, fill, 4, 0);
        ++row;
    }
    return table;
}

}  // namespace

UnitsDialog* units_dialog() { return open_dialog.get(); }

void select_units(GtkAction*, gpointer) {
    if (open_dialog != nullptr) {
        gtk_window_present(GTK_WINDOW(open_dialog->dialog));
        return;
    }
    open_dialog = std::make_unique<UnitsDialog>();
    GtkWidget* dialog = gtk_dialog_new_with_buttons(
        "Select Units", GTK_WINDOW(ui.mainwindow),
        static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
        GTK_STOCK_OK, GTK_RESPONSE_OK, GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL, nullptr);
    open_dialog->dialog = dialog;
    gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_MOUSE);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))),
                       units_table(*open_dialog), TRUE, TRUE, 4);
    g_signal_connect(dialog, "response", G_CALLBACK(unitresponse), nullptr);
    gtk_widget_show_all(dialog);
}

}  // namespace app::gui
