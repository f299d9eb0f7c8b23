// "Create New Process": the dialog of Add Process and File New, with the
// name, the fluid and the five inlet values in units of the user's choice.
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/structure/structure.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"
#include "app/gui/tree_shared.h"
#include "app/gui/widgets.h"

#include <cfloat>
#include <cmath>

namespace app::gui {

namespace {

// Decimals of the five spin buttons.
constexpr int DIGITS[NUM_PROCESS_INPUTS] = {2, 3, 3, 3, 4};
// Width of the spin buttons: a standard volume flow of a few hundred
// thousand Nm^3/h ("278411.952") shows whole.
constexpr int SPIN_WIDTH = 120;

struct NewProcessDialog {
    GtkWidget* dialog = nullptr;
    GtkWidget* name = nullptr;
    GtkWidget* fluid_button = nullptr;
    GtkWidget* massflow_radio = nullptr;
    std::array<GtkWidget*, NUM_PROCESS_INPUTS> spin{};
    std::array<GtkWidget*, NUM_PROCESS_INPUTS> unit{};
    GtkWidget* refusal = nullptr;  // why the last typed value was refused
    int refused = 0;               // typed values refused
    std::string refusal_text;      // the reason of the last one
    NewProcessValues values;
    bool refreshing = false;
};

// The dialog being shown (it is modal: one at a time).
NewProcessDialog* shown = nullptr;

int quantity_of(int k) { return process_input_values_def[sz(k)].quantity; }

bool massflow_fixed(const NewProcessDialog& d) {
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(d.massflow_radio)) != 0;
}

// Lower and upper limit of inlet value k for the fluid, internal units.
std::pair<double, double> limits(const Fluid& f, int k) {
    switch (k) {
        case PRI_TEMPERATURE: return {f.Tmin, f.Tmax};
        case PRI_PRESSURE: return {f.pmin > 0 ? f.pmin : 0.1, f.pmax};
        case PRI_HUMIDITY: return {0.0, 1.0};
        default: return {0.0, DBL_MAX};
    }
}

// Ranges and values of the spin buttons for the fluid (not re-entered).
void update_new_process_dialog(NewProcessDialog& d) {
    if (d.refreshing) return;
    d.refreshing = true;
    Fluid* fluid = d.values.fluid;
    init_stoffwerte(fluid);
    gtk_button_set_label(GTK_BUTTON(d.fluid_button), fluid->name.c_str());
    for (int k = 0; k < NUM_PROCESS_INPUTS; ++k) {
        const int q = quantity_of(k);
        const int unit = d.values.units[sz(k)];
        auto [lo, hi] = limits(*fluid, k);
        double a = to_display(q, unit, lo);
        double b = hi == DBL_MAX ? DBL_MAX : to_display(q, unit, hi);
        if (b < a) std::swap(a, b);
        GtkSpinButton* spin = GTK_SPIN_BUTTON(d.spin[sz(k)]);
        gtk_spin_button_set_range(spin, a, b);
        gtk_spin_button_set_value(spin, to_display(q, unit, d.values.values[sz(k)]));
    }
    const bool mass = massflow_fixed(d);
    gtk_widget_set_sensitive(d.spin[PRI_MASSFLOW], mass);
    gtk_widget_set_sensitive(d.spin[PRI_STANDARD_VOLUME_FLOW], !mass);
    gtk_widget_set_sensitive(d.spin[PRI_HUMIDITY], fluid->humidity_type == HT_RH_INLET);
    d.refreshing = false;
}

void new_process_change_value(GtkSpinButton* spin, gpointer row) {
    if (shown == nullptr || shown->refreshing) return;
    const int k = GPOINTER_TO_INT(row);
    const int q = quantity_of(k);
    const int unit = shown->values.units[sz(k)];
    const double value = gtk_spin_button_get_value(spin);
    // The spin button shows the value rounded to its decimals; that rounded
    // text coming back is no edit and must not replace the exact value.
    const double before = to_display(q, unit, shown->values.values[sz(k)]);
    if (std::fabs(value - before) < 0.5 * std::pow(10.0, -DIGITS[k])) return;
    shown->values.values[sz(k)] = to_internal(q, unit, value);
    apply_inlet_rule(shown->values.values, shown->values.fluid, k, massflow_fixed(*shown));
    update_new_process_dialog(*shown);
}

// A typed value, read with the tree's syntax: refused (the old value
// stays, the dialog says why) or the spin button's new value.
gint new_process_input(GtkSpinButton* spin, gdouble* new_value, gpointer row) {
    if (shown == nullptr || shown->refreshing) return FALSE;
    const int k = GPOINTER_TO_INT(row);
    double lo = 0, hi = 0;
    gtk_spin_button_get_range(spin, &lo, &hi);
    const TypedSpinValue v = read_new_process_value(k, shown->values.units[sz(k)],
                                                    gtk_entry_get_text(GTK_ENTRY(spin)), lo, hi);
    gtk_label_set_text(GTK_LABEL(shown->refusal), v.message.c_str());
    if (!v.ok) {
        ++shown->refused;
        shown->refusal_text = v.message;
        return GTK_INPUT_ERROR;
    }
    *new_value = v.shown;
    return TRUE;
}

void new_process_select_unit(GtkComboBox* combo, gpointer row) {
    if (shown == nullptr || shown->refreshing) return;
    const int k = GPOINTER_TO_INT(row);
    const int unit = gtk_combo_box_get_active(combo);
    if (valid_unit(quantity_of(k), unit)) shown->values.units[sz(k)] = unit;
    update_new_process_dialog(*shown);
}

void toggle_massflow2(GtkToggleButton*, gpointer) {
    if (shown != nullptr) update_new_process_dialog(*shown);
}

gboolean select_new_fluid(GtkWidget*, GdkEventButton* event, gpointer mode) {
    fluid_selection_mode = GPOINTER_TO_INT(mode);
    gtk_menu_popup(GTK_MENU(ui.fluidpopup), nullptr, nullptr, nullptr, nullptr,
                   event != nullptr ? event->button : 0,
                   event != nullptr ? event->time : gtk_get_current_event_time());
    return TRUE;
}

GtkWidget* process_frame(NewProcessDialog& d) {
    GtkWidget* frame = my_frame("<b>Process Information:</b>");
    GtkWidget* table = gtk_table_new(2, 2, FALSE);
    gtk_table_attach_defaults(GTK_TABLE(table), my_label("  Name: "), 0, 1, 0, 1);
    d.name = gtk_entry_new();
    gtk_widget_set_name(d.name, "name");
    gtk_entry_set_text(GTK_ENTRY(d.name), d.values.name.c_str());
    gtk_entry_set_activates_default(GTK_ENTRY(d.name), TRUE);
    gtk_table_attach_defaults(GTK_TABLE(table), d.name, 1, 2, 0, 1);
    gtk_table_attach_defaults(GTK_TABLE(table), my_label("  Fluid:"), 0, 1, 1, 2);
    d.fluid_button = gtk_button_new_with_label(d.values.fluid->name.c_str());
    gtk_widget_set_name(d.fluid_button, "fluid");
    on_press_or_keys(d.fluid_button, select_new_fluid, GINT_TO_POINTER(FS_NEW_PROCESS));
    gtk_table_attach_defaults(GTK_TABLE(table), d.fluid_button, 1, 2, 1, 2);
    gtk_container_add(GTK_CONTAINER(frame), table);
    return frame;
}

GtkWidget* inlet_frame(NewProcessDialog& d) {
    GtkWidget* frame = my_frame("<b>Inlet Conditions:</b>");
    GtkWidget* table = gtk_table_new(NUM_PROCESS_INPUTS, 4, FALSE);
    GtkWidget* stdv_radio = nullptr;
    for (int k = 0; k < NUM_PROCESS_INPUTS; ++k) {
        const auto r = static_cast<guint>(k);
        if (k == PRI_MASSFLOW) {
            d.massflow_radio = gtk_radio_button_new(nullptr);
            gtk_widget_set_name(d.massflow_radio, "massflow");
            gtk_table_attach_defaults(GTK_TABLE(table), d.massflow_radio, 0, 1, r, r + 1);
        } else if (k == PRI_STANDARD_VOLUME_FLOW) {
            stdv_radio = gtk_radio_button_new_from_widget(GTK_RADIO_BUTTON(d.massflow_radio));
            gtk_widget_set_name(stdv_radio, "stdv");
            g_signal_connect(stdv_radio, "toggled", G_CALLBACK(toggle_massflow2), nullptr);
            gtk_table_attach_defaults(GTK_TABLE(table), stdv_radio, 0, 1, r, r + 1);
        }
        gtk_table_attach_defaults(GTK_TABLE(table), my_label(process_input_values_def[sz(k)].name),
                                  1, 2, r, r + 1);
        const std::string id = "value" + std::to_string(k);
        d.spin[sz(k)] = my_spinner(-1e99, 1e99, 1, DIGITS[k], 0,
                                   G_CALLBACK(new_process_change_value), GINT_TO_POINTER(k));
        gtk_widget_set_name(d.spin[sz(k)], id.c_str());
        gtk_widget_set_size_request(d.spin[sz(k)], SPIN_WIDTH, -1);
        // Typed text is read as the tree reads it; a refused text keeps the
        // old value.
        gtk_spin_button_set_numeric(GTK_SPIN_BUTTON(d.spin[sz(k)]), FALSE);
        gtk_spin_button_set_update_policy(GTK_SPIN_BUTTON(d.spin[sz(k)]), GTK_UPDATE_IF_VALID);
        g_signal_connect(d.spin[sz(k)], "input", G_CALLBACK(new_process_input), GINT_TO_POINTER(k));
        gtk_table_attach_defaults(GTK_TABLE(table), d.spin[sz(k)], 2, 3, r, r + 1);
        std::vector<const char*> units;
        for (const std::string& u : unit_lists[sz(quantity_of(k))]) units.push_back(u.c_str());
        units.push_back(nullptr);
        d.unit[sz(k)] = my_combo(d.values.units[sz(k)], units.data(),
                                 G_CALLBACK(new_process_select_unit), GINT_TO_POINTER(k));
        gtk_widget_set_name(d.unit[sz(k)], ("unit" + std::to_string(k)).c_str());
        gtk_table_attach_defaults(GTK_TABLE(table), d.unit[sz(k)], 3, 4, r, r + 1);
    }
    gtk_container_add(GTK_CONTAINER(frame), table);
    return frame;
}

// Adds the process of the dialog to the project and the tree.
void create_new_process(Project* project, const NewProcessValues& values) {
    std::string refusal;
    Process* process = add_new_process(*project, values, refusal);
    if (process == nullptr) {
        show_error(refusal);
        return;
    }
    build_process_in_tree(project, process);
    set_action_sensitive("ui/MenuBar/MenuGraphics/CreateGraphAction", true);
    mark_changed(project);
    check_calculability(project);
    update_buttons(project);
    update_graphs(project);
}

}  // namespace

void new_process_fluid_chosen(Fluid* fluid) {
    if (shown == nullptr || fluid == nullptr) return;
    shown->values.fluid = fluid;
    init_stoffwerte(fluid);
    apply_inlet_rule(shown->values.values, fluid, PRI_TEMPERATURE, massflow_fixed(*shown));
    update_new_process_dialog(*shown);
}

void insert_process(GtkAction*, gpointer) {
    Project* project = current_project;
    if (project == nullptr || calculation_running()) return;
    if (project->az_processes >= MAX_PROCESSES) {
        show_error("A project holds at most " + std::to_string(MAX_PROCESSES) + " processes.");
        return;
    }
    if (current_fluid == nullptr) init_stoffwerte(fluids[FLUID_DRY_ISO_AIR]);
    Fluid* fluid = current_fluid != nullptr ? current_fluid : fluids[FLUID_DRY_ISO_AIR];
    NewProcessDialog d;
    d.values = new_process_defaults(*project, fluid);
    d.dialog = gtk_dialog_new_with_buttons("Create New Process", nullptr, GTK_DIALOG_MODAL,
                                           GTK_STOCK_OK, GTK_RESPONSE_OK, GTK_STOCK_CANCEL,
                                           GTK_RESPONSE_CANCEL, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(d.dialog), GTK_RESPONSE_OK);
    gtk_window_set_default_size(GTK_WINDOW(d.dialog), 350, -1);
    GtkWidget* box = gtk_dialog_get_content_area(GTK_DIALOG(d.dialog));
    gtk_box_pack_start(GTK_BOX(box), process_frame(d), FALSE, FALSE, 4);
    gtk_box_pack_start(GTK_BOX(box), inlet_frame(d), FALSE, FALSE, 4);
    d.refusal = gtk_label_new("");
    gtk_widget_set_name(d.refusal, "refusal");
    gtk_label_set_line_wrap(GTK_LABEL(d.refusal), TRUE);
    gtk_misc_set_alignment(GTK_MISC(d.refusal), 0.0, 0.5);
    gtk_box_pack_start(GTK_BOX(box), d.refusal, FALSE, FALSE, 4);
    shown = &d;
    update_new_process_dialog(d);
    gtk_widget_show_all(d.dialog);
    int response = GTK_RESPONSE_CANCEL;
    std::string refusal;
    for (;;) {
        response = run_dialog(GTK_DIALOG(d.dialog));
        if (response == GTK_RESPONSE_CANCEL) break;
        d.refused = 0;
        for (GtkWidget* spin : d.spin) gtk_spin_button_update(GTK_SPIN_BUTTON(spin));  // typed
        if (d.refused == 0) break;
        // A value typed last and refused: OK waits for the user to see why.
        refusal = d.refusal_text;
        gtk_label_set_text(GTK_LABEL(d.refusal), refusal.c_str());
        if (response == GTK_RESPONSE_OK) continue;
        break;
    }
    shown = nullptr;
    if (fluid_selection_mode == FS_NEW_PROCESS) fluid_selection_mode = FS_NONE;
    // Every answer but Cancel creates the process, closing the window too.
    if (response != GTK_RESPONSE_CANCEL) {
        d.values.name = gtk_entry_get_text(GTK_ENTRY(d.name));
        create_new_process(project, d.values);
        if (d.refused > 0) show_error(refusal);
    }
    gtk_widget_destroy(d.dialog);
}

}  // namespace app::gui
