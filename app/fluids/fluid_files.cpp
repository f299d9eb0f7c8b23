// Fluid-definition files in the window: Save (the wizard's last page),
// Export and Import; the fluid chooser they share with "Modify Fluid".
#include "app/core/files/fluid_files.h"
#include "app/core/files/filehandling.h"
#include "app/core/fluids/fluid_wizard.h"
#include "app/core/program/text_output.h"
#include "app/core/solver/simulator.h"
#include "app/fluids/fluids_gui.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"
#include "app/gui/widgets.h"

#include <vector>

namespace app::gui {

int choose_fluid_dialog(const char* title, const std::vector<int>& indexes, GtkWindow* parent) {
    if (indexes.empty()) return -1;
    GtkWidget* dialog =
        gtk_dialog_new_with_buttons(title, nullptr, GTK_DIALOG_MODAL, GTK_STOCK_OK, GTK_RESPONSE_OK,
                                    GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL, nullptr);
    std::vector<const char*> names;
    for (int i : indexes) names.push_back(fluids[i]->name.c_str());
    names.push_back(nullptr);
    GtkWidget* combo = my_combo(0, names.data(), nullptr, nullptr);
    gtk_widget_set_name(combo, "fluid_choice");
    GtkWidget* box = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
    gtk_box_pack_start(GTK_BOX(box), my_label(title), FALSE, FALSE, 4);
    gtk_box_pack_start(GTK_BOX(box), combo, FALSE, FALSE, 4);
    gtk_widget_show_all(dialog);
    const int response = run_dialog(GTK_DIALOG(dialog), parent);
    const int active = gtk_combo_box_get_active(GTK_COMBO_BOX(combo));
    gtk_widget_destroy(dialog);
    if (response != GTK_RESPONSE_OK || active < 0 || active >= static_cast<int>(indexes.size()))
        return -1;
    return indexes[static_cast<std::size_t>(active)];
}

void save_fluid(Fluid* fluid, GtkWindow* parent) {
    if (fluid == nullptr) return;
    ChooserRequest request;
    request.kind = ChooserKind::Save;
    request.title = "Save Fluid as";
    request.folder = currentdir;
    request.proposed_name = kvq_proposed_name(fluid->name);
    request.filter = "*.kvq";
    request.parent = parent;
    const std::optional<ChooserAnswer> answer = choose_file(request);
    if (!answer) return;
    if (!answer->folder.empty()) currentdir = answer->folder;
    const std::string path = kvq_file_name(answer->path);
    std::string error;
    if (!save_fluid_file(path, *fluid, error)) {
        show_error(error);
        return;
    }
    if (ui.statusbar != nullptr)
        gtk_statusbar_push(
            GTK_STATUSBAR(ui.statusbar), 0,
            format_text("Fluid '%s' saved to %s", fluid->name.c_str(), path.c_str()).c_str());
}

Fluid* register_user_fluid(std::unique_ptr<Fluid> fluid, bool menu_entry_made) {
    if (!fluid) return nullptr;
    const Fluid* record = fluid.get();
    const std::string name = fluid->name;
    Fluid* added = fluids.append(std::move(fluid));
    if (added == nullptr) {
        if (current_fluid == record) current_fluid = nullptr;  // the record is gone
        show_error(
            format_text("At most %d working fluids can be known at a time; the fluid '%s' "
                        "was not added.",
                        MAX_FLUIDS, name.c_str()));
        return nullptr;
    }
    if (!menu_entry_made) add_fluid_to_popup(*added);
    property_table_fluids_changed();
    return added;
}

bool library_free_for(const char* what) {
    if (!calculation_running() && library_busy.load() == 0) return true;
    show_error(
        format_text("%s has to wait: the property library is in use by a calculation or a "
                    "diagram. Try again when it has finished.",
                    what));
    return false;
}

void export_fluid(GtkAction*, gpointer) {
    const std::vector<int> list = user_fluids();
    if (list.empty()) return;
    const int chosen = choose_fluid_dialog("Select fluid to save", list, nullptr);
    if (chosen >= 0) save_fluid(fluids[chosen], nullptr);
}

void import_fluid(GtkAction*, gpointer) {
    ChooserRequest request;
    request.kind = ChooserKind::Open;
    request.title = "Import user defined fluid";
    request.folder = currentdir;
    request.filter = "*.kvq";
    const std::optional<ChooserAnswer> answer = choose_file(request);
    if (!answer) return;
    if (!library_free_for("Import Fluid")) return;
    std::string error, warning;
    std::unique_ptr<Fluid> fluid = import_fluid_file(answer->path, error, &warning);
    if (!fluid) {
        show_error(
            format_text("The file '%s' was not imported. %s", answer->path.c_str(), error.c_str()));
        return;
    }
    const std::string name = fluid->name;
    if (register_user_fluid(std::move(fluid), true) == nullptr) return;
    if (ui.statusbar != nullptr)
        gtk_statusbar_push(GTK_STATUSBAR(ui.statusbar), 0,
                           format_text("Fluid '%s' imported.", name.c_str()).c_str());
    if (!warning.empty()) show_message({MessageKind::Info, warning});
}

}  // namespace app::gui
