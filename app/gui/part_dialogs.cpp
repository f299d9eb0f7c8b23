// "Part details for part %d of process %s": name, fluids, options and
// inputs of a part edited in a working copy until Apply or OK, its results
// and the composition of its streams. Several may be open; each keeps the
// project and the part id, looks the part up again at every answer and
// closes when the part or its project goes.
#include "app/core/files/filehandling.h"
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/structure/interfaces.h"
#include "app/core/structure/structure.h"
#include "app/core/structure/tree_rules.h"
#include "app/core/views/details.h"
#include "app/core/views/results.h"
#include "app/gui/detail_dialogs.h"
#include "app/gui/dialog_service.h"
#include "app/gui/handlers.h"
#include "app/gui/tree_shared.h"
#include "app/gui/widgets.h"

#include <algorithm>
#include <vector>

namespace app::gui {

namespace {

constexpr int NAME_ENTRY_WIDTH = 200;
// Frame, inner border and cursor of an entry around its text, in pixels.
constexpr int NAME_ENTRY_BORDERS = 14;
constexpr int COMPOSITION_CHARS = 9;
constexpr int DIALOG_WIDTH = 620;
// A result of a part or interface that has none yet.
constexpr const char* NOT_CALCULATED = " - ";

struct PartDialog {
    Project* project = nullptr;
    int part_id = 0;
    GtkWidget* dialog = nullptr;
    GtkWidget* reset = nullptr;
    GtkWidget* cancel = nullptr;
    GtkWidget* name = nullptr;
    GtkWidget* fuel = nullptr;
    GtkWidget* oxidizer = nullptr;
    std::vector<GtkWidget*> combos;  // per option row of the type; null for a single choice
    std::vector<GtkWidget*> labels;  // per input row
    std::vector<GtkWidget*> entries;
    GtkWidget* volume_mass = nullptr;
    GtkWidget* percent_fraction = nullptr;
    GtkWidget* composition = nullptr;  // the box of the composition entries
    GtkWidget* results = nullptr;      // the box of the results frame
    PartDraft copy;
    bool edited = false;  // the copy holds edits not yet written back
    bool filling = false;
    bool closing = false;
};

std::vector<PartDialog*> dialogs;
// The dialog whose fuel or oxidizer button was pressed last.
PartDialog* fluid_requester = nullptr;

// Where a dialog's part is now.
struct Place {
    int process = -1;
    int part = -1;
    Part* record = nullptr;
};

Place place_of(const PartDialog& d) {
    if (!project_open(d.project)) return {};
    const int p = get_process_num_of_part_by_part_id(d.project, d.part_id);
    const int i = get_part_num_by_part_id(d.project, d.part_id);
    if (p < 0 || i < 1) return {};
    return {p, i, d.project->processes[sz(p)]->parts[sz(i)]};
}

PartDialog* dialog_of(gpointer widget) {
    auto* d = static_cast<PartDialog*>(g_object_get_data(G_OBJECT(widget), "part-dialog"));
    return d != nullptr && !d->closing ? d : nullptr;
}

void remember(PartDialog& d, GtkWidget* widget, int row = 0) {
    g_object_set_data(G_OBJECT(widget), "part-dialog", &d);
    g_object_set_data(G_OBJECT(widget), "row", GINT_TO_POINTER(row));
}

int row_of(gpointer widget) { return GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), "row")); }

void close_dialog(PartDialog* d) {
    if (d == nullptr || d->closing) return;
    d->closing = true;
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), d), dialogs.end());
    if (fluid_requester == d) {
        fluid_requester = nullptr;
        if (fluid_selection_mode == FS_FUEL || fluid_selection_mode == FS_OXIDIZER)
            fluid_selection_mode = FS_NONE;
    }
    gtk_widget_destroy(d->dialog);
    delete d;
}

void set_changed(PartDialog& d, bool changed) {
    d.edited = changed;
    gtk_widget_set_sensitive(d.reset, changed);
    gtk_widget_set_sensitive(d.cancel, changed);
}

// The name entry as wide as the name it holds, at least NAME_ENTRY_WIDTH:
// "Oxygen Injection Combustor 1", the name Insert gives, is wider than that
// in the default font and showed cut at its start.
void fit_name_entry(GtkWidget* entry) {
    int w = 0;
    int h = 0;
    pango_layout_get_pixel_size(gtk_entry_get_layout(GTK_ENTRY(entry)), &w, &h);
    gtk_widget_set_size_request(entry, std::max(NAME_ENTRY_WIDTH, w + NAME_ENTRY_BORDERS), -1);
}

// The widgets from the working copy.
void set_dialog_values_from_data(PartDialog& d, const Part& part) {
    d.filling = true;
    refresh_shown_inputs(d.copy, part);
    gtk_entry_set_text(GTK_ENTRY(d.name), d.copy.name.c_str());
    fit_name_entry(d.name);
    const auto options =
        part.part_type != nullptr ? part.part_type->options : std::span<const int>{};
    for (std::size_t k = 0; k < options.size() && k < d.combos.size(); ++k) {
        if (d.combos[k] == nullptr) continue;
        const int o = options[k];
        const bool fixed =
            o == OPT_OUTLET_TEMPERATURE && d.copy.options[sz(o)] == DETERMINED_BY_INTERFACE;
        gtk_combo_box_set_active(GTK_COMBO_BOX(d.combos[k]), fixed ? -1 : d.copy.options[sz(o)]);
        gtk_widget_set_sensitive(d.combos[k], !fixed);
    }
    for (std::size_t n = 0; n < d.entries.size(); ++n) {
        const bool used = static_cast<int>(n) < d.copy.az_shown_inputs;
        gtk_widget_set_visible(d.labels[n], used);
        gtk_widget_set_visible(d.entries[n], used);
        if (!used) continue;
        const int input = d.copy.shown_inputs[n];
        const bool none = input < 0 || input >= NUM_PART_INPUTS;
        gtk_widget_set_sensitive(d.entries[n], !none);
        if (none) {  // the interface determines this input
            gtk_label_set_text(GTK_LABEL(d.labels[n]), "");
            gtk_entry_set_text(GTK_ENTRY(d.entries[n]), "");
            continue;
        }
        const ValueDef& def = part_input_values_def[sz(input)];
        gtk_label_set_text(GTK_LABEL(d.labels[n]), def.name);
        gtk_entry_set_text(
            GTK_ENTRY(d.entries[n]),
            format_value(d.copy.inputs[sz(input)], def, d.copy.units[sz(input)]).c_str());
    }
    d.filling = false;
}

void select_part_option(GtkComboBox* combo, gpointer) {
    PartDialog* d = dialog_of(combo);
    if (d == nullptr || d->filling) return;
    const Place at = place_of(*d);
    const int choice = gtk_combo_box_get_active(combo);
    if (at.record == nullptr || at.record->part_type == nullptr || choice < 0) return;
    const auto options = at.record->part_type->options;
    const int k = row_of(combo);
    if (k < 0 || k >= static_cast<int>(options.size())) return;
    d->copy.options[sz(options[sz(k)])] = choice;
    set_dialog_values_from_data(*d, *at.record);
    set_changed(*d, true);
}

void change_value(GtkWidget* entry) {
    PartDialog* d = dialog_of(entry);
    if (d == nullptr || d->filling) return;
    const int n = row_of(entry);
    if (n < 0 || n >= d->copy.az_shown_inputs) return;
    const int input = d->copy.shown_inputs[sz(n)];
    if (input < 0 || input >= NUM_PART_INPUTS) return;
    const ValueDef& def = part_input_values_def[sz(input)];
    double& value = d->copy.inputs[sz(input)];
    int& unit = d->copy.units[sz(input)];
    read_typed_value(entry, def, value, unit, d->filling, [d] { set_changed(*d, true); });
}

void activate_entry(GtkEntry* entry, gpointer) { change_value(GTK_WIDGET(entry)); }
gboolean leave_entry(GtkWidget* entry, GdkEventFocus*, gpointer) {
    change_value(entry);
    return FALSE;
}

void change_name(GtkWidget* entry) {
    PartDialog* d = dialog_of(entry);
    if (d == nullptr || d->filling) return;
    const std::string text = gtk_entry_get_text(GTK_ENTRY(entry));
    if (text == d->copy.name) return;
    d->copy.name = text;
    set_changed(*d, true);
}

void activate_name_widget(GtkEntry* entry, gpointer) { change_name(GTK_WIDGET(entry)); }
gboolean leave_name_widget(GtkWidget* entry, GdkEventFocus*, gpointer) {
    change_name(entry);
    return FALSE;
}

gboolean select_fuel(GtkWidget* button, GdkEventButton* event, gpointer mode) {
    PartDialog* d = dialog_of(button);
    if (d == nullptr) return TRUE;
    fluid_requester = d;
    fluid_selection_mode = GPOINTER_TO_INT(mode);
    gtk_menu_popup(GTK_MENU(ui.fluidpopup), nullptr, nullptr, nullptr, nullptr,
                   event != nullptr ? event->button : 0,
                   event != nullptr ? event->time : gtk_get_current_event_time());
    return TRUE;
}

// A fuel or oxidizer from the fluid menu: to the part of the dialog whose
// button asked for it.
void part_dialog_fluid_chosen(int mode, Fluid* fluid) {
    PartDialog* d = fluid_requester;
    fluid_selection_mode = FS_NONE;
    if (d == nullptr || d->closing || fluid == nullptr || calculation_running()) return;
    const Place at = place_of(*d);
    if (at.record == nullptr) {
        close_dialog(d);
        return;
    }
    Fluid*& slot = mode == FS_OXIDIZER ? at.record->oxidizer : at.record->fuel;
    GtkWidget* button = mode == FS_OXIDIZER ? d->oxidizer : d->fuel;
    if (slot == fluid) return;
    slot = fluid;
    if (button != nullptr) gtk_button_set_label(GTK_BUTTON(button), fluid->name.c_str());
    forget_results_in_window(d->project, at.process);
    mark_changed(d->project);
}

// The composition of the part's streams as the two choices show it.
void fill_molproz_entries(PartDialog& d) {
    const int mass = gtk_combo_box_get_active(GTK_COMBO_BOX(d.volume_mass));
    const int fraction = gtk_combo_box_get_active(GTK_COMBO_BOX(d.percent_fraction));
    gtk_container_foreach(
        GTK_CONTAINER(d.composition), [](GtkWidget* w, gpointer) { gtk_widget_destroy(w); },
        nullptr);
    const Place at = place_of(d);
    if (at.record == nullptr) return;
    for (int group : composition_groups(*at.record)) {
        const std::vector<CompositionRow> rows =
            composition_rows(*at.record, group, mass > 0, fraction > 0);
        GtkWidget* table = gtk_table_new(static_cast<guint>(rows.size() + 1), 2, FALSE);
        const std::string title = std::string("<b>") + composition_group_title(group) + "</b>";
        gtk_table_attach(GTK_TABLE(table), my_label(title.c_str()), 0, 2, 0, 1, GTK_FILL, GTK_FILL,
                         0, 0);
        guint r = 1;
        for (const CompositionRow& row : rows) {
            GtkWidget* label = gtk_label_new(row.label.c_str());
            gtk_misc_set_alignment(GTK_MISC(label), 0.0F, 0.5F);
            GtkWidget* entry = my_entry();
            gtk_widget_set_name(entry, "composition");
            gtk_entry_set_width_chars(GTK_ENTRY(entry), COMPOSITION_CHARS);
            gtk_entry_set_text(GTK_ENTRY(entry), row.text.c_str());
            gtk_table_attach(GTK_TABLE(table), label, 0, 1, r, r + 1, GTK_FILL, GTK_FILL, 4, 0);
            gtk_table_attach(GTK_TABLE(table), entry, 1, 2, r, r + 1, GTK_FILL, GTK_FILL, 4, 0);
            ++r;
        }
        // Every group starts at the top, whatever its number of rows.
        GtkWidget* top = gtk_alignment_new(0.0F, 0.0F, 0.0F, 0.0F);
        gtk_container_add(GTK_CONTAINER(top), table);
        gtk_box_pack_start(GTK_BOX(d.composition), top, FALSE, FALSE, 6);
    }
    gtk_widget_show_all(d.composition);
}

// The two choices become the settings (kept in the settings file unless
// they are the first ones) and the composition is shown again.
void take_composition_choices(PartDialog& d) {
    const int mass = gtk_combo_box_get_active(GTK_COMBO_BOX(d.volume_mass));
    const int fraction = gtk_combo_box_get_active(GTK_COMBO_BOX(d.percent_fraction));
    part_dialog_mole_or_mass = std::max(mass, 0);
    part_dialog_percent_or_fraction = std::max(fraction, 0);
    if (mass > 0 || fraction > 0) save_default_settings();
    fill_molproz_entries(d);
}

void composition_changed(GtkComboBox* combo, gpointer) {
    if (PartDialog* d = dialog_of(combo)) take_composition_choices(*d);
}

// Apply and OK: the copy goes to the part; the tree, the diagrams and the
// tab follow when anything differed.
void set_part_values_from_data(PartDialog& d, const Place& at) {
    // A new name or unit alone leaves the results as they are.
    const bool inputs_changed =
        at.record->inputs != d.copy.inputs || at.record->options != d.copy.options;
    const bool changed = write_part_copy(*at.record, d.copy);
    set_changed(d, false);
    if (!changed) return;
    update_part_in_tree(d.project, at.process, at.part);
    if (inputs_changed) forget_results_in_window(d.project, at.process);
    mark_changed(d.project);
    update_graphs(d.project);
}

void dialog_response(GtkDialog*, gint response, gpointer data) {
    auto* d = static_cast<PartDialog*>(data);
    if (d->closing) return;
    const Place at = place_of(*d);
    if (at.record == nullptr) {  // the part or its project has gone: nothing is written
        close_dialog(d);
        return;
    }
    if (calculation_running()) return;
    switch (response) {
        case RESPONSE_RESET:
            d->copy = copy_of_part(*at.record);
            set_changed(*d, false);
            set_dialog_values_from_data(*d, *at.record);
            return;
        case RESPONSE_APPLY: set_part_values_from_data(*d, at); return;
        case GTK_RESPONSE_OK:
            set_part_values_from_data(*d, at);
            close_dialog(d);
            return;
        default: close_dialog(d); return;
    }
}

GtkWidget* head_row(PartDialog& d, const Part& part) {
    GtkWidget* row = gtk_hbox_new(FALSE, 8);
    gtk_box_pack_start(GTK_BOX(row), gtk_image_new_from_stock(part.icon.c_str(), GTK_ICON_SIZE_DND),
                       FALSE, FALSE, 0);
    if (part.part_type != nullptr)
        gtk_box_pack_start(GTK_BOX(row), my_label(part.part_type->name), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(row), my_label("<b>Part name: </b>"), FALSE, FALSE, 0);
    d.name = gtk_entry_new();
    gtk_widget_set_name(d.name, "name");
    gtk_widget_set_size_request(d.name, NAME_ENTRY_WIDTH, -1);
    remember(d, d.name);
    g_signal_connect(d.name, "activate", G_CALLBACK(activate_name_widget), nullptr);
    g_signal_connect(d.name, "focus-out-event", G_CALLBACK(leave_name_widget), nullptr);
    gtk_box_pack_start(GTK_BOX(row), d.name, FALSE, FALSE, 0);
    if (part.fluid != nullptr) {
        gtk_box_pack_start(GTK_BOX(row), my_label("<b>Fluid: </b>"), FALSE, FALSE, 0);
        GtkWidget* fluid = gtk_label_new(part.fluid->name.c_str());
        gtk_box_pack_start(GTK_BOX(row), fluid, FALSE, FALSE, 0);
    }
    return row;
}

GtkWidget* fluid_button(PartDialog& d, const Fluid* fluid, int mode, const char* name) {
    GtkWidget* button = gtk_button_new_with_label(fluid != nullptr ? fluid->name.c_str() : " - ");
    gtk_widget_set_name(button, name);
    remember(d, button);
    on_press_or_keys(button, select_fuel, GINT_TO_POINTER(mode));
    return button;
}

// "Input Values" and "Options" side by side, row by row.
GtkWidget* input_and_option_frames(PartDialog& d, const Part& part) {
    GtkWidget* row = gtk_hbox_new(FALSE, 8);
    const bool combustor = part.type == COMBUSTOR || part.type == OXYGEN_INJECTION_COMBUSTOR;
    const int fluid_rows = combustor ? (part.type == OXYGEN_INJECTION_COMBUSTOR ? 2 : 1) : 0;
    if (d.copy.az_shown_inputs > 0) {
        const auto n = static_cast<guint>(fluid_rows + d.copy.az_shown_inputs);
        GtkWidget* table = gtk_table_new(n, 2, FALSE);
        gtk_table_set_row_spacings(GTK_TABLE(table), 2);
        if (combustor) {
            d.fuel = fluid_button(d, part.fuel, FS_FUEL, "fuel");
            gtk_table_attach_defaults(GTK_TABLE(table), my_label("Fuel Fluid"), 0, 1, 0, 1);
            gtk_table_attach_defaults(GTK_TABLE(table), d.fuel, 1, 2, 0, 1);
        }
        if (part.type == OXYGEN_INJECTION_COMBUSTOR) {
            d.oxidizer = fluid_button(d, part.oxidizer, FS_OXIDIZER, "oxidizer");
            gtk_table_attach_defaults(GTK_TABLE(table), my_label("Oxidizing Fluid"), 0, 1, 1, 2);
            gtk_table_attach_defaults(GTK_TABLE(table), d.oxidizer, 1, 2, 1, 2);
        }
        for (int k = 0; k < d.copy.az_shown_inputs; ++k) {
            const auto r = static_cast<guint>(fluid_rows + k);
            GtkWidget* label = my_label("");
            GtkWidget* entry = gtk_entry_new();
            gtk_widget_set_name(label, ("label" + std::to_string(k)).c_str());
            gtk_widget_set_name(entry, ("input" + std::to_string(k)).c_str());
            remember(d, entry, k);
            g_signal_connect(entry, "activate", G_CALLBACK(activate_entry), nullptr);
            g_signal_connect(entry, "focus-out-event", G_CALLBACK(leave_entry), nullptr);
            gtk_table_attach_defaults(GTK_TABLE(table), label, 0, 1, r, r + 1);
            gtk_table_attach_defaults(GTK_TABLE(table), entry, 1, 2, r, r + 1);
            d.labels.push_back(label);
            d.entries.push_back(entry);
        }
        GtkWidget* frame = my_frame("<b>Input Values</b>");
        gtk_container_add(GTK_CONTAINER(frame), table);
        gtk_box_pack_start(GTK_BOX(row), frame, TRUE, TRUE, 0);
    }
    const auto options =
        part.part_type != nullptr ? part.part_type->options : std::span<const int>{};
    if (!options.empty()) {
        GtkWidget* table = gtk_table_new(
            static_cast<guint>(fluid_rows + static_cast<int>(options.size())), 2, FALSE);
        gtk_table_set_row_spacings(GTK_TABLE(table), 2);
        for (int r = 0; r < fluid_rows; ++r)
            gtk_table_attach_defaults(GTK_TABLE(table), gtk_label_new(" "), 0, 2,
                                      static_cast<guint>(r), static_cast<guint>(r + 1));
        for (std::size_t k = 0; k < options.size(); ++k) {
            const OptionDef& option = part_input_options[sz(options[k])];
            const auto r = static_cast<guint>(fluid_rows + static_cast<int>(k));
            GtkWidget* combo = nullptr;
            if (option.n_choices >= 2) {
                combo = my_combo(-1, option.choices.data(), nullptr, nullptr);
                gtk_widget_set_name(combo, ("option" + std::to_string(k)).c_str());
                remember(d, combo, static_cast<int>(k));
                g_signal_connect(combo, "changed", G_CALLBACK(select_part_option), nullptr);
                gtk_table_attach_defaults(GTK_TABLE(table), my_label(option.title), 0, 1, r, r + 1);
                gtk_table_attach_defaults(GTK_TABLE(table), combo, 1, 2, r, r + 1);
            } else {
                gtk_table_attach_defaults(GTK_TABLE(table), gtk_label_new(" "), 0, 2, r, r + 1);
            }
            d.combos.push_back(combo);
        }
        GtkWidget* frame = my_frame("<b>Options</b>");
        gtk_container_add(GTK_CONTAINER(frame), table);
        gtk_box_pack_start(GTK_BOX(row), frame, TRUE, TRUE, 0);
    }
    return row;
}

// The results, each in the list its name chooses; " - " until the part
// has been calculated (its outputs are not results then).
GtkWidget* results_frame(const Part& part) {
    struct Group {
        const char* title;
        const char* prefix;
        std::vector<std::pair<std::string, std::string>> rows;
    };
    std::vector<Group> groups = {{"<b>Inlet</b>", "Inlet ", {}},
                                 {"<b>Inlet 2</b>", "2_Inlet ", {}},
                                 {"<b>Outlet</b>", "Outlet ", {}},
                                 {"<b>Outlet 2 </b>", "2_Outlet ", {}},
                                 {"<b>Overall</b>", nullptr, {}}};
    const bool calculated = part_calculated(part);
    if (part.part_type != nullptr)
        for (int o : part.part_type->outputs) {
            const ValueDef& def = part_output_values_def[sz(o)];
            const std::string name = def.name;
            const std::string value =
                calculated ? format_value(part.outputs[sz(o)], def, part.output_units[sz(o)])
                           : NOT_CALCULATED;
            Group* g = &groups.back();
            for (Group& candidate : groups)
                if (candidate.prefix != nullptr && name.rfind(candidate.prefix, 0) == 0) {
                    g = &candidate;
                    break;
                }
            g->rows.emplace_back(g->prefix != nullptr ? result_row_name(name) : name, value);
        }
    GtkWidget* box = gtk_hbox_new(FALSE, 6);
    for (const Group& g : groups) {
        if (g.rows.empty()) continue;
        GtkWidget* column = gtk_vbox_new(FALSE, 2);
        gtk_box_pack_start(GTK_BOX(column), my_label(g.title), FALSE, FALSE, 0);
        gtk_box_pack_start(GTK_BOX(column), result_list(g.rows), FALSE, FALSE, 0);
        gtk_box_pack_start(GTK_BOX(box), column, FALSE, FALSE, 0);
    }
    GtkWidget* frame = my_frame("<b>Results</b>");
    gtk_container_add(GTK_CONTAINER(frame), box);
    return frame;
}

GtkWidget* composition_frame(PartDialog& d) {
    static const char* const VOLUME_MASS[] = {"Volume", "Mass", nullptr};
    static const char* const PERCENT_FRACTION[] = {"Percent", "Fraction", nullptr};
    GtkWidget* row = gtk_hbox_new(FALSE, 6);
    GtkWidget* choices = gtk_vbox_new(FALSE, 2);
    d.volume_mass = my_combo(part_dialog_mole_or_mass, VOLUME_MASS, nullptr, nullptr);
    d.percent_fraction =
        my_combo(part_dialog_percent_or_fraction, PERCENT_FRACTION, nullptr, nullptr);
    gtk_widget_set_name(d.volume_mass, "volume_mass");
    gtk_widget_set_name(d.percent_fraction, "percent_fraction");
    for (GtkWidget* combo : {d.volume_mass, d.percent_fraction}) {
        remember(d, combo);
        g_signal_connect(combo, "changed", G_CALLBACK(composition_changed), nullptr);
        gtk_box_pack_start(GTK_BOX(choices), combo, FALSE, FALSE, 0);
    }
    gtk_box_pack_start(GTK_BOX(row), choices, FALSE, FALSE, 0);
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_NEVER);
    d.composition = gtk_hbox_new(FALSE, 6);
    gtk_scrolled_window_add_with_viewport(GTK_SCROLLED_WINDOW(scroller), d.composition);
    gtk_box_pack_start(GTK_BOX(row), scroller, TRUE, TRUE, 0);
    GtkWidget* frame = my_frame("<b>Fluid composition</b>");
    gtk_container_add(GTK_CONTAINER(frame), row);
    return frame;
}

// Height of the screen that shows the main window.
int screen_height() {
    GdkScreen* screen = gdk_screen_get_default();
    if (screen == nullptr) return 0;
    int monitor = 0;
    if (ui.mainwindow != nullptr && ui.mainwindow->window != nullptr)
        monitor = gdk_screen_get_monitor_at_window(screen, ui.mainwindow->window);
    GdkRectangle r;
    gdk_screen_get_monitor_geometry(screen, monitor, &r);
    return r.height;
}

std::string dialog_title(const Process& process, int index) {
    return "Part details for part " + std::to_string(index) + " of process " + process.name;
}

void build(PartDialog& d, const Process& process, int index, const Part& part) {
    d.dialog = gtk_dialog_new();
    gtk_window_set_title(GTK_WINDOW(d.dialog), dialog_title(process, index).c_str());
    gtk_window_set_default_size(GTK_WINDOW(d.dialog), DIALOG_WIDTH,
                                part_dialog_height(screen_height()));
    if (ui.mainwindow != nullptr)
        gtk_window_set_transient_for(GTK_WINDOW(d.dialog), GTK_WINDOW(ui.mainwindow));
    d.cancel = gtk_dialog_add_button(GTK_DIALOG(d.dialog), GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL);
    d.reset = gtk_dialog_add_button(GTK_DIALOG(d.dialog), "Reset", RESPONSE_RESET);
    gtk_dialog_add_button(GTK_DIALOG(d.dialog), GTK_STOCK_OK, GTK_RESPONSE_OK);
    GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(d.dialog));
    gtk_box_pack_start(GTK_BOX(content), head_row(d, part), FALSE, FALSE, 4);
    GtkWidget* inner = gtk_vbox_new(FALSE, 6);
    gtk_box_pack_start(GTK_BOX(inner), input_and_option_frames(d, part), FALSE, FALSE, 0);
    d.results = gtk_vbox_new(FALSE, 0);
    gtk_box_pack_start(GTK_BOX(d.results), results_frame(part), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(inner), d.results, FALSE, FALSE, 0);
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_NEVER,
                                   GTK_POLICY_AUTOMATIC);
    gtk_scrolled_window_add_with_viewport(GTK_SCROLLED_WINDOW(scroller), inner);
    gtk_box_pack_start(GTK_BOX(content), scroller, TRUE, TRUE, 0);
    set_dialog_values_from_data(d, part);
    gtk_box_pack_start(GTK_BOX(content), composition_frame(d), FALSE, FALSE, 4);
}

// The part as it is now, after a change made elsewhere (a calculation,
// the tree, another dialog): title, fluids, results and compositions, and
// its name, options and inputs unless the user is editing them here.
void refresh_dialog(PartDialog& d) {
    const Place at = place_of(d);
    if (at.record == nullptr) return;  // closed by close_stale_detail_dialogs
    const Part& part = *at.record;
    gtk_window_set_title(GTK_WINDOW(d.dialog),
                         dialog_title(*d.project->processes[sz(at.process)], at.part).c_str());
    if (!d.edited) {
        d.copy = copy_of_part(part);
        set_dialog_values_from_data(d, part);
    }
    if (d.fuel != nullptr && part.fuel != nullptr)
        gtk_button_set_label(GTK_BUTTON(d.fuel), part.fuel->name.c_str());
    if (d.oxidizer != nullptr && part.oxidizer != nullptr)
        gtk_button_set_label(GTK_BUTTON(d.oxidizer), part.oxidizer->name.c_str());
    gtk_container_foreach(
        GTK_CONTAINER(d.results), [](GtkWidget* w, gpointer) { gtk_widget_destroy(w); }, nullptr);
    GtkWidget* frame = results_frame(part);
    gtk_box_pack_start(GTK_BOX(d.results), frame, FALSE, FALSE, 0);
    gtk_widget_show_all(frame);
    fill_molproz_entries(d);
}

}  // namespace

void refresh_detail_dialogs(const Project* project) {
    for (PartDialog* d : std::vector<PartDialog*>(dialogs))
        if (d->project == project && !d->closing) refresh_dialog(*d);
    refresh_interface_dialogs(project);
}

void partsdialog(Project* project, int process, int part) {
    if (project == nullptr || calculation_running() || process < 0 ||
        process >= project->az_processes)
        return;
    Process& proc = *project->processes[sz(process)];
    if (part < 0 || part >= proc.az_parts) return;
    if (part == 0) {
        inletdialog(project, &proc);
        return;
    }
    Part& record = *proc.parts[sz(part)];
    for (PartDialog* open : dialogs)
        if (open->project == project && open->part_id == record.id) {
            gtk_window_present(GTK_WINDOW(open->dialog));
            return;
        }
    part_dialog_fluid_hook = part_dialog_fluid_chosen;
    init_stoffwerte(proc.fluid);
    auto* d = new PartDialog;
    d->project = project;
    d->part_id = record.id;
    d->copy = copy_of_part(record);
    build(*d, proc, part, record);
    set_changed(*d, false);
    take_composition_choices(*d);
    g_signal_connect(d->dialog, "response", G_CALLBACK(dialog_response), d);
    gtk_widget_show_all(d->dialog);
    set_dialog_values_from_data(*d, record);  // hides the rows without an input
    dialogs.push_back(d);
}

void partdialogcallback(GtkAction*, gpointer) {
    Project* p = current_project;
    if (p == nullptr || p->current_process < 0 || p->current_process >= p->az_processes) return;
    partsdialog(p, p->current_process, p->current_part);
}

void close_detail_dialogs(const Project* project, int process_id) {
    const std::vector<PartDialog*> open = dialogs;
    for (PartDialog* d : open) {
        const Place at = place_of(*d);
        const bool gone = at.record == nullptr;
        const bool mine =
            d->project == project &&
            (process_id == 0 ||
             (at.process >= 0 && project->processes[sz(at.process)]->id == process_id));
        if (gone || mine) close_dialog(d);
    }
    close_interface_dialogs(project, process_id == 0);
}

void read_typed_value(GtkWidget* entry, const ValueDef& def, double& value, int& unit,
                      bool& filling, const std::function<void()>& changed) {
    const std::string text = gtk_entry_get_text(GTK_ENTRY(entry));
    if (text == format_value(value, def, unit)) return;  // nothing typed
    std::string shown, refusal;
    const int code = read_value_with_unit(def, text, shown, value, unit, &refusal);
    filling = true;
    gtk_entry_set_text(GTK_ENTRY(entry), shown.c_str());
    filling = false;
    if (code != RV_NO_NUMBER && code != RV_OUT_OF_BOUNDS) changed();
    const std::string message = read_value_message(def, code, shown, refusal);
    if (!message.empty()) show_message({MessageKind::Error, message});
}

bool project_open(const Project* project) {
    return project != nullptr &&
           std::find(project_list.begin(), project_list.end(), project) != project_list.end();
}

GtkWidget* result_list(const std::vector<std::pair<std::string, std::string>>& rows) {
    GtkListStore* store = gtk_list_store_new(2, G_TYPE_STRING, G_TYPE_STRING);
    for (const auto& [name, value] : rows) {
        GtkTreeIter it;
        gtk_list_store_append(store, &it);
        gtk_list_store_set(store, &it, 0, name.c_str(), 1, value.c_str(), -1);
    }
    GtkWidget* view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
    g_object_unref(store);
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(view), FALSE);
    gtk_tree_view_set_rules_hint(GTK_TREE_VIEW(view), TRUE);
    for (int c = 0; c < 2; ++c) {
        GtkCellRenderer* cell = gtk_cell_renderer_text_new();
        g_object_set(cell, "xpad", 10, "ypad", 4, nullptr);
        gtk_tree_view_insert_column_with_attributes(GTK_TREE_VIEW(view), -1, nullptr, cell, "text",
                                                    c, nullptr);
    }
    g_signal_connect(view, "button-press-event",
                     G_CALLBACK(+[](GtkWidget*, GdkEventButton*, gpointer) -> gboolean {
                         return TRUE;  // donothing
                     }),
                     nullptr);
    return view;
}

}  // namespace app::gui
