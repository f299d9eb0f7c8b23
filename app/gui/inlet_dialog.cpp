// "Inlet details of process %s": the working fluid and the five inlet values
// of a process, edited in a copy until Apply or OK. The dialog keeps the
// project and the process id, looks the process up again at every answer
// and closes when the process or its project goes.
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/structure/structure.h"
#include "app/core/structure/tree_rules.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"
#include "app/gui/tree_shared.h"
#include "app/gui/widgets.h"

#include <algorithm>

namespace app::gui {

namespace {

constexpr int RESPONSE_RESET = -42;
constexpr int RESPONSE_APPLY = -10;

struct InletDialog {
    Project* project = nullptr;
    int process_id = 0;
    GtkWidget* dialog = nullptr;
    GtkWidget* fluid_button = nullptr;
    GtkWidget* massflow_radio = nullptr;
    GtkWidget* cancel = nullptr;
    GtkWidget* reset = nullptr;
    std::array<GtkWidget*, NUM_PROCESS_INPUTS> entry{};
    Fluid* fluid = nullptr;
    std::array<double, NUM_PROCESS_INPUTS> values{};
    std::array<int, NUM_PROCESS_INPUTS> units{};
    bool refilling = false;
    bool closing = false;
};

// The open inlet dialog (one at a time).
InletDialog* open_dialog = nullptr;

// The dialog's process, if it and its project are still there.
Process* process_of(const InletDialog& d) {
    const bool open =
        std::find(project_list.begin(), project_list.end(), d.project) != project_list.end();
    if (!open) return nullptr;
    const int p = get_process_num_by_id(d.project, d.process_id);
    return p >= 0 ? d.project->processes[sz(p)] : nullptr;
}

void set_inlet_dialog_changed(InletDialog& d, bool changed) {
    gtk_widget_set_sensitive(d.cancel, changed);
    gtk_widget_set_sensitive(d.reset, changed);
}

void set_data_values_from_inlet(InletDialog& d, const Process& process) {
    d.values = process.inputs;
    d.units = process.input_units;
    d.fluid = process.fluid;
}

bool massflow_fixed(const InletDialog& d) {
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(d.massflow_radio)) != 0;
}

void set_inlet_dialog_values_from_data(InletDialog& d) {
    d.refilling = true;
    gtk_button_set_label(GTK_BUTTON(d.fluid_button), d.fluid->name.c_str());
    for (int k = 0; k < NUM_PROCESS_INPUTS; ++k)
        gtk_entry_set_text(
            GTK_ENTRY(d.entry[sz(k)]),
            format_value(d.values[sz(k)], process_input_values_def[sz(k)], d.units[sz(k)]).c_str());
    const bool mass = massflow_fixed(d);
    gtk_widget_set_sensitive(d.entry[PRI_MASSFLOW], mass);
    gtk_widget_set_sensitive(d.entry[PRI_STANDARD_VOLUME_FLOW], !mass);
    gtk_widget_set_sensitive(d.entry[PRI_HUMIDITY], d.fluid->humidity_type == HT_RH_INLET);
    d.refilling = false;
}

void close_dialog(InletDialog* d) {
    if (d == nullptr || d->closing) return;
    d->closing = true;
    if (open_dialog == d) open_dialog = nullptr;
    if (fluid_selection_mode == FS_INLET_DIALOG) fluid_selection_mode = FS_NONE;
    gtk_widget_destroy(d->dialog);
    delete d;
}

void change_inlet_value(GtkWidget* entry, gpointer row) {
    InletDialog* d = open_dialog;
    if (d == nullptr || d->refilling || d->closing) return;
    const int k = GPOINTER_TO_INT(row);
    const ValueDef& def = process_input_values_def[sz(k)];
    const std::string text = gtk_entry_get_text(GTK_ENTRY(entry));
    if (text == format_value(d->values[sz(k)], def, d->units[sz(k)])) return;  // nothing typed
    std::string shown_text, refusal;
    const int code =
        read_value_with_unit(def, text, shown_text, d->values[sz(k)], d->units[sz(k)], &refusal);
    const bool kept = code == RV_NO_NUMBER || code == RV_OUT_OF_BOUNDS;
    if (!kept) apply_inlet_rule(d->values, d->fluid, k, massflow_fixed(*d));
    set_inlet_dialog_values_from_data(*d);
    if (!kept) set_inlet_dialog_changed(*d, true);
    const std::string message = read_value_message(def, code, shown_text, refusal);
    if (!message.empty()) show_message({MessageKind::Error, message});
}

void activate_inlet_entry(GtkEntry* entry, gpointer row) {
    change_inlet_value(GTK_WIDGET(entry), row);
}

gboolean leave_inlet_entry(GtkWidget* entry, GdkEventFocus*, gpointer row) {
    change_inlet_value(entry, row);
    return FALSE;
}

void toggle_massflow(GtkToggleButton*, gpointer) {
    if (open_dialog != nullptr && !open_dialog->closing)
        set_inlet_dialog_values_from_data(*open_dialog);
}

gboolean select_inlet_fluid(GtkWidget*, GdkEventButton* event, gpointer) {
    fluid_selection_mode = FS_INLET_DIALOG;
    gtk_menu_popup(GTK_MENU(ui.fluidpopup), nullptr, nullptr, nullptr, nullptr,
                   event != nullptr ? event->button : 0,
                   event != nullptr ? event->time : gtk_get_current_event_time());
    return TRUE;
}

// Apply and OK: what differs goes to the process.
void set_inlet_values_from_data(InletDialog& d, Process& process) {
    bool changed = false;
    bool inputs_changed = process.fluid != d.fluid;  // a unit alone changes no result
    for (int k = 0; k < NUM_PROCESS_INPUTS; ++k) {
        inputs_changed = inputs_changed || process.inputs[sz(k)] != d.values[sz(k)];
        if (process.inputs[sz(k)] != d.values[sz(k)] ||
            process.input_units[sz(k)] != d.units[sz(k)]) {
            process.inputs[sz(k)] = d.values[sz(k)];
            process.input_units[sz(k)] = d.units[sz(k)];
            changed = true;
        }
    }
    if (process.fluid != d.fluid) {
        // Results and curves of the old fluid no longer hold.
        set_process_fluid(*d.project, process, d.fluid);
        changed = true;
    }
    set_inlet_dialog_changed(d, false);
    if (!changed) return;
    mark_changed(d.project);
    update_inlet_in_tree(d.project, &process);
    if (inputs_changed)
        forget_results_in_window(d.project, get_process_num_by_id(d.project, process.id));
    update_graphs(d.project);
}

void inlet_dialog_response(GtkDialog*, gint response, gpointer) {
    InletDialog* d = open_dialog;
    if (d == nullptr || d->closing) return;
    Process* process = process_of(*d);
    if (process == nullptr || calculation_running()) {
        if (process == nullptr) close_dialog(d);
        return;
    }
    switch (response) {
        case RESPONSE_RESET:
            set_data_values_from_inlet(*d, *process);
            set_inlet_dialog_changed(*d, false);
            set_inlet_dialog_values_from_data(*d);
            return;
        case RESPONSE_APPLY: set_inlet_values_from_data(*d, *process); return;
        case GTK_RESPONSE_OK:
            set_inlet_values_from_data(*d, *process);
            close_dialog(d);
            return;
        default: close_dialog(d); return;
    }
}

gboolean inlet_dialog_delete(GtkWidget*, GdkEvent*, gpointer) { return TRUE; }

GtkWidget* inlet_rows(InletDialog& d) {
    GtkWidget* frame = my_frame(nullptr);
    GtkWidget* table = gtk_table_new(NUM_PROCESS_INPUTS + 1, 3, FALSE);
    gtk_table_attach_defaults(GTK_TABLE(table), my_label("Fluid"), 1, 2, 0, 1);
    d.fluid_button = gtk_button_new_with_label(d.fluid->name.c_str());
    gtk_widget_set_name(d.fluid_button, "fluid");
    on_press_or_keys(d.fluid_button, select_inlet_fluid, nullptr);
    gtk_table_attach_defaults(GTK_TABLE(table), d.fluid_button, 2, 3, 0, 1);
    for (int k = 0; k < NUM_PROCESS_INPUTS; ++k) {
        const auto r = static_cast<guint>(k + 1);
        GtkWidget* first = nullptr;
        if (k == PRI_MASSFLOW) {
            d.massflow_radio = first = gtk_radio_button_new(nullptr);
            gtk_widget_set_name(first, "massflow");
        } else if (k == PRI_STANDARD_VOLUME_FLOW) {
            first = gtk_radio_button_new_from_widget(GTK_RADIO_BUTTON(d.massflow_radio));
            gtk_widget_set_name(first, "stdv");
            g_signal_connect(first, "toggled", G_CALLBACK(toggle_massflow), nullptr);
        } else {
            first = gtk_label_new(" ");
        }
        gtk_table_attach_defaults(GTK_TABLE(table), first, 0, 1, r, r + 1);
        gtk_table_attach_defaults(GTK_TABLE(table), my_label(process_input_values_def[sz(k)].name),
                                  1, 2, r, r + 1);
        GtkWidget* entry = gtk_entry_new();
        gtk_widget_set_name(entry, ("value" + std::to_string(k)).c_str());
        g_signal_connect(entry, "activate", G_CALLBACK(activate_inlet_entry), GINT_TO_POINTER(k));
        g_signal_connect(entry, "focus-out-event", G_CALLBACK(leave_inlet_entry),
                         GINT_TO_POINTER(k));
        gtk_table_attach_defaults(GTK_TABLE(table), entry, 2, 3, r, r + 1);
        d.entry[sz(k)] = entry;
    }
    gtk_container_add(GTK_CONTAINER(frame), table);
    return frame;
}

}  // namespace

void inlet_dialog_fluid_chosen(Fluid* fluid) {
    InletDialog* d = open_dialog;
    if (d == nullptr || d->closing || fluid == nullptr) return;
    d->fluid = fluid;
    apply_inlet_rule(d->values, fluid, PRI_TEMPERATURE, massflow_fixed(*d));
    set_inlet_dialog_values_from_data(*d);
    set_inlet_dialog_changed(*d, true);
}

void inletdialog(Project* project, Process* process) {
    if (project == nullptr || process == nullptr || calculation_running()) return;
    if (open_dialog != nullptr) {
        if (open_dialog->project == project && open_dialog->process_id == process->id) {
            gtk_window_present(GTK_WINDOW(open_dialog->dialog));
            return;
        }
        close_dialog(open_dialog);
    }
    auto* d = new InletDialog;
    d->project = project;
    d->process_id = process->id;
    set_data_values_from_inlet(*d, *process);
    init_stoffwerte(d->fluid);
    const std::string title = "Inlet details of process " + process->name;
    d->dialog = gtk_dialog_new();
    gtk_window_set_title(GTK_WINDOW(d->dialog), title.c_str());
    if (ui.mainwindow != nullptr)
        gtk_window_set_transient_for(GTK_WINDOW(d->dialog), GTK_WINDOW(ui.mainwindow));
    d->cancel = gtk_dialog_add_button(GTK_DIALOG(d->dialog), GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL);
    d->reset = gtk_dialog_add_button(GTK_DIALOG(d->dialog), "Reset", RESPONSE_RESET);
    gtk_dialog_add_button(GTK_DIALOG(d->dialog), GTK_STOCK_OK, GTK_RESPONSE_OK);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(d->dialog))), inlet_rows(*d),
                       FALSE, FALSE, 4);
    open_dialog = d;
    set_inlet_dialog_values_from_data(*d);
    set_inlet_dialog_changed(*d, false);
    g_signal_connect(d->dialog, "response", G_CALLBACK(inlet_dialog_response), nullptr);
    g_signal_connect(d->dialog, "delete-event", G_CALLBACK(inlet_dialog_delete), nullptr);
    gtk_widget_show_all(d->dialog);
}

void inletdialogcallback(GtkAction*, gpointer) {
    Project* project = current_project;
    if (project == nullptr || project->current_part != 0 || project->current_process < 0 ||
        project->current_process >= project->az_processes)
        return;
    inletdialog(project, project->processes[sz(project->current_process)]);
}

void close_project_dialogs(const Project* project, int process_id) {
    if (open_dialog != nullptr && open_dialog->project == project &&
        (process_id == 0 || open_dialog->process_id == process_id))
        close_dialog(open_dialog);
    close_detail_dialogs(project, process_id);
}

}  // namespace app::gui
