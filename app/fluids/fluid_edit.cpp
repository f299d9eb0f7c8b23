// "Modify Fluid": a user fluid's composition and reference humidity changed
// after it was built.
#include "app/core/fluids/fluid_edit.h"

#include "app/core/fluids/fluid_wizard.h"
#include "app/core/model/tools.h"
#include "app/fluids/fluids_gui.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"
#include "app/gui/tree_shared.h"
#include "app/gui/widgets.h"

namespace app::gui {

namespace {

struct EditState {
    Composition composition;
    ReferenceHumidity reference;
    CompositionTables tables;
    ReferenceTable reference_table;
};

bool uses(const Project& project, const Fluid* fluid) {
    for (int i = 0; i < project.az_processes && i < MAX_PROCESSES; ++i) {
        const Process* process = project.processes[sz(i)];
        if (process == nullptr) continue;
        if (process->fluid == fluid) return true;
        for (int k = 0; k < process->az_parts && k < MAX_PARTS; ++k) {
            const Part* part = process->parts[sz(k)];
            if (part != nullptr &&
                (part->fluid == fluid || part->fuel == fluid || part->oxidizer == fluid))
                return true;
        }
    }
    return false;
}

// The projects that use the fluid now hold an old definition of it: they
// have unsaved changes. Every diagram is drawn anew.
void after_edit(const Fluid* fluid) {
    for (Project* project : project_list) {
        if (project == nullptr) break;
        if (uses(*project, fluid)) mark_changed(project);
        update_graphs(project);
    }
}

GtkWidget* edit_dialog_contents(const Fluid& fluid, EditState& e) {
    GtkWidget* box = gtk_vbox_new(FALSE, 6);
    gtk_box_pack_start(GTK_BOX(box), composition_notebook(e.tables), TRUE, TRUE, 0);
    build_proz_spinner_tables(e.tables);
    if (fluid.humidity_type == HT_RH_STANDARD) {
        GtkWidget* frame = my_frame("<b>Relative Humidity Definition</b>");
        gtk_container_add(GTK_CONTAINER(frame), build_relative_humidity_table(e.reference_table));
        gtk_box_pack_start(GTK_BOX(box), frame, FALSE, FALSE, 0);
    }
    return box;
}

}  // namespace

void edit_fluid_dialog(Fluid* fluid) {
    if (fluid == nullptr || !library_free_for("Modify Fluid")) return;
    EditState e;
    load_fluid_edit(*fluid, e.composition, e.reference);
    e.tables.composition = &e.composition;
    e.reference_table.reference = &e.reference;
    GtkWidget* dialog = gtk_dialog_new_with_buttons("Modify Fluid", nullptr, GTK_DIALOG_MODAL,
                                                    GTK_STOCK_OK, GTK_RESPONSE_OK, GTK_STOCK_CANCEL,
                                                    GTK_RESPONSE_CANCEL, nullptr);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))),
                       edit_dialog_contents(*fluid, e), TRUE, TRUE, 4);
    gtk_widget_show_all(dialog);
    // OK takes the edit over; a refused edit is reported and the dialog
    // stays, with the user's numbers.
    while (run_dialog(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK) {
        if (!library_free_for("Modify Fluid")) continue;
        const std::string problem = apply_fluid_edit(*fluid, e.composition, e.reference);
        if (problem.empty()) {
            after_edit(fluid);
            break;
        }
        show_error(problem);
    }
    gtk_widget_destroy(dialog);
}

void select_fluid_to_edit_dialog(GtkAction*, gpointer) {
    const std::vector<int> list = user_fluids();
    if (list.empty()) return;
    const int chosen = choose_fluid_dialog("Select fluid to modify", list, nullptr);
    if (chosen >= 0) edit_fluid_dialog(fluids[chosen]);
}

}  // namespace app::gui
