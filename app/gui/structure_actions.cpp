// The Insert commands of the tree and the flowsheet, Connect to Outlet, Cut,
// Copy and Paste of parts, and the dialogs they ask the user with: "Outlet
// selector: " (which outlet of a splitter, which branch a mixer takes) and
// "Mixer position".
#include "app/core/model/tools.h"
#include "app/core/structure/part_clipboard.h"
#include "app/core/structure/structure.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"
#include "app/gui/tree_shared.h"

namespace app::gui {

namespace {

constexpr int FIRST_OUTLET = 0;
constexpr int SECOND_OUTLET = 1;
constexpr const char* PASTE_ACTION = "ui/MenuBar/MenuEdit/PasteAction";

// The part copied last (Copy or Cut), for Paste in any open project.
std::optional<PartCopy> clipboard;

GtkWidget* new_dialog(const char* title) {
    GtkWidget* dialog = gtk_dialog_new();
    gtk_window_set_title(GTK_WINDOW(dialog), title);
    return dialog;
}

void add_label(GtkWidget* dialog, const char* text) {
    GtkWidget* label = gtk_label_new(text);
    gtk_widget_set_name(label, "question");
    gtk_misc_set_padding(GTK_MISC(label), 10, 10);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), label, FALSE,
                       FALSE, 0);
}

// "First" or "Second" outlet of the current splitter.
std::optional<int> ask_connection() {
    GtkWidget* dialog = new_dialog("Outlet selector: ");
    add_label(dialog, "Select outlet to connect new part to");
    gtk_dialog_add_buttons(GTK_DIALOG(dialog), "First", FIRST_OUTLET, "Second", SECOND_OUTLET,
                           nullptr);
    gtk_widget_show_all(dialog);
    const int response = run_dialog(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    if (response == FIRST_OUTLET || response == SECOND_OUTLET) return response;
    return std::nullopt;
}

// A dialog with a label and a combo box over the names (the first active):
// the index chosen on OK.
std::optional<int> choose_from(const char* title, const char* text,
                               const std::vector<std::string>& names) {
    GtkWidget* dialog = new_dialog(title);
    gtk_dialog_add_buttons(GTK_DIALOG(dialog), GTK_STOCK_OK, GTK_RESPONSE_OK, GTK_STOCK_CANCEL,
                           GTK_RESPONSE_CANCEL, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    add_label(dialog, text);
    GtkWidget* combo = gtk_combo_box_new_text();
    gtk_widget_set_name(combo, "choice");
    for (const std::string& name : names)
        gtk_combo_box_append_text(GTK_COMBO_BOX(combo), name.c_str());
    gtk_combo_box_set_active(GTK_COMBO_BOX(combo), 0);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), combo, FALSE,
                       FALSE, 4);
    gtk_widget_show_all(dialog);
    std::optional<int> chosen;
    if (run_dialog(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK) {
        const int i = gtk_combo_box_get_active(GTK_COMBO_BOX(combo));
        if (i >= 0) chosen = i;
    }
    gtk_widget_destroy(dialog);
    return chosen;
}

StructureChoosers window_choosers() {
    StructureChoosers c;
    c.splitter_outlet = ask_connection;
    c.mixer_outlet = [](const std::vector<std::string>& names) {
        return choose_from("Outlet selector: ", "Select outlet to connect new part to", names);
    };
    c.mixer_position = [](const std::vector<std::string>& names) {
        return choose_from(
            "Mixer position",
            "A splitter can be combined with a mixer.\nSelect a position for the mixer.", names);
    };
    return c;
}

// Shows what a structure command did: the rows, the new current part, the
// commands the project now allows.
void finish(Project* project, const StructureResult& r) {
    if (!r.refusal.empty()) show_error(r.refusal);
    if (!r.changed) return;
    apply_part_edits(project, r);
    // The tree shows the new current part, or none: after Connect to Outlet
    // there is none, and a row left selected (the Turbine a mixer was
    // inserted after) would show the place of the next Insert wrongly; that
    // goes after the Inlet.
    open_tree_to_new_current_part(project, project->current_process, project->current_part, -1);
    mark_changed(project);
    check_calculability(project);
    update_buttons(project);
    update_graphs(project);
    show_current_part_on_sheet(project);
}

Project* editable_project() {
    Project* project = current_project;
    return project != nullptr && !calculation_running() ? project : nullptr;
}

void insert_type(int type) {
    if (Project* project = editable_project())
        finish(project, insert_new_part(*project, type, window_choosers()));
}

void run(StructureResult (*command)(Project&, const StructureChoosers&)) {
    if (Project* project = editable_project())
        finish(project, command(*project, window_choosers()));
}

// The text field being typed into in the main window (a cell of the tree):
// Cut, Copy and Paste then work on its text, as in every text field.
GtkEditable* editing_field() {
    if (ui.mainwindow == nullptr) return nullptr;
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(ui.mainwindow));
    return focus != nullptr && GTK_IS_EDITABLE(focus) ? GTK_EDITABLE(focus) : nullptr;
}

// The current part copied; false (with the reason shown) when it cannot be.
bool copy_current_part(const Project& project) {
    std::string refusal;
    std::optional<PartCopy> copy =
        copy_part(project, project.current_process, project.current_part, refusal);
    if (!copy) {
        show_error(refusal);
        return false;
    }
    clipboard = std::move(copy);
    set_action_sensitive(PASTE_ACTION, true);
    return true;
}

}  // namespace

bool part_copied() { return clipboard.has_value(); }

void on_copy_activate(GtkAction*, gpointer) {
    if (GtkEditable* field = editing_field()) {
        gtk_editable_copy_clipboard(field);
        return;
    }
    if (Project* project = editable_project()) copy_current_part(*project);
}

void on_cut_activate(GtkAction*, gpointer) {
    if (GtkEditable* field = editing_field()) {
        gtk_editable_cut_clipboard(field);
        return;
    }
    Project* project = editable_project();
    if (project == nullptr) return;
    const int process = project->current_process;
    const std::string refusal = copy_refusal(*project, process, project->current_part);
    const Part* part = refusal.empty()
                           ? project->processes[sz(process)]->parts[sz(project->current_part)]
                           : nullptr;
    std::string why = part != nullptr ? delete_part_refusal(*project, process, part->id) : refusal;
    if (!why.empty()) {
        show_error(why);
        return;
    }
    if (!copy_current_part(*project)) return;
    if (!delete_part_in_window(project, process, part->id, why)) {
        if (!why.empty()) show_error(why);
        return;
    }
    project->current_part = -1;
    mark_changed(project);
    update_graphs(project);
}

void on_paste_activate(GtkAction*, gpointer) {
    if (GtkEditable* field = editing_field()) {
        gtk_editable_paste_clipboard(field);
        return;
    }
    Project* project = editable_project();
    if (project == nullptr || !clipboard) return;
    finish(project, paste_part(*project, *clipboard, window_choosers()));
}

void insert_compressor(GtkAction*, gpointer) { insert_type(COMPRESSOR); }
void insert_pump(GtkAction*, gpointer) { insert_type(PUMP); }
void insert_turbine(GtkAction*, gpointer) { insert_type(TURBINE); }
void insert_combustor(GtkAction*, gpointer) { insert_type(COMBUSTOR); }
void insert_combustoroxy(GtkAction*, gpointer) { insert_type(OXYGEN_INJECTION_COMBUSTOR); }
void insert_waterseparator(GtkAction*, gpointer) { insert_type(WATER_SEPARATOR); }
void insert_condenser(GtkAction*, gpointer) { insert_type(CONDENSER); }
void insert_heatexchanger(GtkAction*, gpointer) { insert_type(HEAT_EXCHANGER); }
void insert_pressureloss(GtkAction*, gpointer) { insert_type(PRESSURE_LOSS_ELEMENT); }
void insert_splitter(GtkAction*, gpointer) { run(app::insert_splitter); }
void insert_mixer(GtkAction*, gpointer) { run(app::insert_mixer); }
void insert_splitter_mixer(GtkAction*, gpointer) { run(app::insert_splitter_mixer); }

void connect_mixer_to_outlet_callback(GtkAction*, gpointer) {
    Project* project = editable_project();
    if (project == nullptr || project->current_process < 0 ||
        project->current_process >= project->az_processes)
        return;
    const Process& process = *project->processes[sz(project->current_process)];
    if (project->current_part < 0 || project->current_part >= process.az_parts) return;
    const Part& mixer = *process.parts[sz(project->current_part)];
    finish(project, connect_mixer_to_outlet(*project, project->current_process, mixer.id,
                                            window_choosers()));
}

}  // namespace app::gui
