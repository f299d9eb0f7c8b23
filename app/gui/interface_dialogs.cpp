// Interfaces in the window: "Select heat exchangers for new Interface",
// making an interface from that dialog or from two heat-exchanger rows of
// the tree, swapping its sides, and "Interface details for interface %s"
// (non-modal; it keeps the project and the interface id, looks the
// interface up again at every answer and closes when it goes).
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/structure/interfaces.h"
#include "app/core/structure/structure.h"
#include "app/core/structure/tree_rules.h"
#include "app/core/views/details.h"
#include "app/gui/detail_dialogs.h"
#include "app/gui/dialog_service.h"
#include "app/gui/handlers.h"
#include "app/gui/tree_shared.h"
#include "app/gui/widgets.h"

#include <algorithm>
#include <vector>

namespace app::gui {

namespace {

// ---------------------------------------------------------------------------
// Making an interface
// ---------------------------------------------------------------------------

struct Side {
    int process = -1;
    int part = -1;
    bool chosen() const { return process >= 0 && part >= 0; }
    bool operator==(const Side&) const = default;
};

enum SideColumn : int { SIDE_TEXT = 0, SIDE_PROCESS, SIDE_PART };

struct Selection {
    std::vector<HeatExchangerChoice> offered;
    GtkListStore* hot = nullptr;
    GtkListStore* cold = nullptr;
    GtkWidget* ok = nullptr;
    GtkTreeView* hot_view = nullptr;
    Side hot_side;
    Side cold_side;
};
Selection* selection = nullptr;

void add_entry(GtkListStore* store, const HeatExchangerChoice& c) {
    GtkTreeIter it;
    gtk_list_store_append(store, &it);
    gtk_list_store_set(store, &it, SIDE_TEXT, c.text.c_str(), SIDE_PROCESS, c.process, SIDE_PART,
                       c.part, -1);
}

void put_back(GtkListStore* store, const Side& side) {
    for (const HeatExchangerChoice& c : selection->offered)
        if (c.process == side.process && c.part == side.part) add_entry(store, c);
}

void take_out(GtkListStore* store, const Side& side) {
    GtkTreeIter it;
    bool more = gtk_tree_model_get_iter_first(GTK_TREE_MODEL(store), &it) != 0;
    while (more) {
        int p = -1;
        int i = -1;
        gtk_tree_model_get(GTK_TREE_MODEL(store), &it, SIDE_PROCESS, &p, SIDE_PART, &i, -1);
        more = p == side.process && i == side.part
                   ? gtk_list_store_remove(store, &it) != 0
                   : gtk_tree_model_iter_next(GTK_TREE_MODEL(store), &it) != 0;
    }
}

Side chosen_in(GtkTreeSelection* sel) {
    GtkTreeModel* model = nullptr;
    GtkTreeIter it;
    Side side;
    if (gtk_tree_selection_get_selected(sel, &model, &it))
        gtk_tree_model_get(model, &it, SIDE_PROCESS, &side.process, SIDE_PART, &side.part, -1);
    return side;
}

// A side chosen in one list leaves the other; its former choice returns.
void side_selected(GtkTreeSelection* sel, bool hot) {
    if (selection == nullptr) return;
    const Side now = chosen_in(sel);
    Side& mine = hot ? selection->hot_side : selection->cold_side;
    if (now == mine) return;
    GtkListStore* other = hot ? selection->cold : selection->hot;
    const Side before = mine;
    mine = now;
    if (before.chosen()) put_back(other, before);
    if (now.chosen()) take_out(other, now);
    gtk_widget_set_sensitive(selection->ok,
                             selection->hot_side.chosen() && selection->cold_side.chosen());
}

void hot_side_selected(GtkTreeSelection* sel, gpointer) { side_selected(sel, true); }
void cold_side_selected(GtkTreeSelection* sel, gpointer) { side_selected(sel, false); }

GtkWidget* side_list(const char* title, const char* name, GtkListStore* store, GCallback changed,
                     GtkTreeView** out) {
    gtk_tree_sortable_set_sort_column_id(GTK_TREE_SORTABLE(store), SIDE_TEXT, GTK_SORT_ASCENDING);
    GtkWidget* view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
    gtk_widget_set_name(view, name);
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(view), FALSE);
    gtk_tree_view_insert_column_with_attributes(
        GTK_TREE_VIEW(view), -1, nullptr, gtk_cell_renderer_text_new(), "text", SIDE_TEXT, nullptr);
    g_signal_connect(gtk_tree_view_get_selection(GTK_TREE_VIEW(view)), "changed", changed, nullptr);
    if (out != nullptr) *out = GTK_TREE_VIEW(view);
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    gtk_container_add(GTK_CONTAINER(scroller), view);
    GtkWidget* frame = my_frame(title);
    gtk_container_add(GTK_CONTAINER(frame), scroller);
    return frame;
}

// Fills both lists with every free heat exchanger.
void populate_trees(const Project& project) {
    selection->offered = free_heat_exchangers(project);
    for (const HeatExchangerChoice& c : selection->offered) {
        add_entry(selection->hot, c);
        add_entry(selection->cold, c);
    }
}

// The current part, when it is a free heat exchanger, as the hot side.
void preselect_current(const Project& project) {
    GtkTreeModel* model = GTK_TREE_MODEL(selection->hot);
    GtkTreeIter it;
    bool more = gtk_tree_model_get_iter_first(model, &it) != 0;
    while (more) {
        int p = -1;
        int i = -1;
        gtk_tree_model_get(model, &it, SIDE_PROCESS, &p, SIDE_PART, &i, -1);
        if (p == project.current_process && i == project.current_part) {
            gtk_tree_selection_select_iter(gtk_tree_view_get_selection(selection->hot_view), &it);
            return;
        }
        more = gtk_tree_model_iter_next(model, &it) != 0;
    }
}

void make_interface(Project* project, const Side& hot, const Side& cold) {
    std::string why;
    const int index =
        create_interface_between(*project, hot.process, hot.part, cold.process, cold.part, why);
    if (index < 0) {
        show_error(why);
        return;
    }
    build_interface_in_tree(project, project->interfaces[sz(index)]);  // redraws
    open_tree_to_new_current_part(project, -1, -1, index);
    mark_changed(project);
    update_buttons(project);
}

// ---------------------------------------------------------------------------
// The details dialog
// ---------------------------------------------------------------------------

struct InterfaceDialog {
    Project* project = nullptr;
    int interface_id = 0;
    GtkWidget* dialog = nullptr;
    GtkWidget* reset = nullptr;
    GtkWidget* cancel = nullptr;
    GtkWidget* name = nullptr;
    std::array<GtkWidget*, NUM_INTERFACE_OPTIONS> combos{};
    std::vector<GtkWidget*> labels;
    std::vector<GtkWidget*> entries;
    GtkWidget* results = nullptr;  // the box of the results frame
    InterfaceCopy copy;
    bool edited = false;  // the copy holds edits not yet written back
    bool filling = false;
    bool closing = false;
};
std::vector<InterfaceDialog*> details;

int index_of(const InterfaceDialog& d) {
    if (!project_open(d.project)) return -1;
    for (int i = 0; i < d.project->az_interfaces; ++i)
        if (d.project->interfaces[sz(i)]->id == d.interface_id) return i;
    return -1;
}

InterfaceDialog* details_of(gpointer widget) {
    auto* d = static_cast<InterfaceDialog*>(g_object_get_data(G_OBJECT(widget), "itf-dialog"));
    return d != nullptr && !d->closing ? d : nullptr;
}

void remember(InterfaceDialog& d, GtkWidget* widget, int row) {
    g_object_set_data(G_OBJECT(widget), "itf-dialog", &d);
    g_object_set_data(G_OBJECT(widget), "row", GINT_TO_POINTER(row));
}

int row_of(gpointer widget) { return GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), "row")); }

void close_details(InterfaceDialog* d) {
    if (d == nullptr || d->closing) return;
    d->closing = true;
    details.erase(std::remove(details.begin(), details.end(), d), details.end());
    gtk_widget_destroy(d->dialog);
    delete d;
}

void set_interface_changed(InterfaceDialog& d, bool changed) {
    d.edited = changed;
    gtk_widget_set_sensitive(d.reset, changed);
    gtk_widget_set_sensitive(d.cancel, changed);
}

void set_interface_dialog_values_from_data(InterfaceDialog& d) {
    d.filling = true;
    refresh_shown_inputs(d.copy);
    gtk_entry_set_text(GTK_ENTRY(d.name), d.copy.name.c_str());
    for (int n = 0; n < NUM_INTERFACE_OPTIONS; ++n)
        gtk_combo_box_set_active(GTK_COMBO_BOX(d.combos[sz(n)]), d.copy.options[sz(n)]);
    for (std::size_t n = 0; n < d.entries.size(); ++n) {
        const int input =
            static_cast<int>(n) < d.copy.az_shown_inputs ? d.copy.shown_inputs[n] : -1;
        if (input < 0 || input >= NUM_INTERFACE_INPUTS) continue;
        const ValueDef& def = interface_input_values_def[sz(input)];
        gtk_label_set_text(GTK_LABEL(d.labels[n]), def.name);
        gtk_entry_set_text(
            GTK_ENTRY(d.entries[n]),
            format_value(d.copy.inputs[sz(input)], def, d.copy.units[sz(input)]).c_str());
    }
    d.filling = false;
}

void select_interface_option(GtkComboBox* combo, gpointer) {
    InterfaceDialog* d = details_of(combo);
    const int choice = gtk_combo_box_get_active(combo);
    if (d == nullptr || d->filling || choice < 0) return;
    d->copy.options[sz(row_of(combo))] = choice;
    set_interface_dialog_values_from_data(*d);
    set_interface_changed(*d, true);
}

void change_interface_value(GtkWidget* entry) {
    InterfaceDialog* d = details_of(entry);
    if (d == nullptr || d->filling) return;
    const int n = row_of(entry);
    if (n < 0 || n >= d->copy.az_shown_inputs) return;
    const int input = d->copy.shown_inputs[sz(n)];
    if (input < 0 || input >= NUM_INTERFACE_INPUTS) return;
    const ValueDef& def = interface_input_values_def[sz(input)];
    double& value = d->copy.inputs[sz(input)];
    int& unit = d->copy.units[sz(input)];
    read_typed_value(entry, def, value, unit, d->filling, [d] { set_interface_changed(*d, true); });
}

void activate_interface_entry(GtkEntry* e, gpointer) { change_interface_value(GTK_WIDGET(e)); }
gboolean leave_interface_entry(GtkWidget* e, GdkEventFocus*, gpointer) {
    change_interface_value(e);
    return FALSE;
}

void change_interface_name(GtkWidget* entry) {
    InterfaceDialog* d = details_of(entry);
    if (d == nullptr || d->filling) return;
    const std::string text = gtk_entry_get_text(GTK_ENTRY(entry));
    if (text == d->copy.name) return;
    d->copy.name = text;
    set_interface_changed(*d, true);
}

void activate_interface_name_widget(GtkEntry* e, gpointer) { change_interface_name(GTK_WIDGET(e)); }
gboolean leave_interface_name_widget(GtkWidget* e, GdkEventFocus*, gpointer) {
    change_interface_name(e);
    return FALSE;
}

void set_interface_values_from_data(InterfaceDialog& d, int index) {
    const Interface& itf = *d.project->interfaces[sz(index)];
    // A new name or unit alone leaves the results as they are.
    const bool inputs_changed = itf.inputs != d.copy.inputs || itf.options != d.copy.options;
    const bool changed = write_interface_copy(*d.project->interfaces[sz(index)], d.copy);
    set_interface_changed(d, false);
    if (!changed) return;
    update_interface_in_tree(d.project, index);
    if (inputs_changed) forget_interface_results_in_window(d.project, index);
    mark_changed(d.project);
    update_graphs(d.project);
}

void interface_dialog_response(GtkDialog*, gint response, gpointer data) {
    auto* d = static_cast<InterfaceDialog*>(data);
    if (d->closing) return;
    const int index = index_of(*d);
    if (index < 0) {  // the interface or its project has gone: nothing is written
        close_details(d);
        return;
    }
    if (calculation_running()) return;
    switch (response) {
        case RESPONSE_RESET:
            d->copy = copy_of_interface(*d->project->interfaces[sz(index)]);
            set_interface_changed(*d, false);
            set_interface_dialog_values_from_data(*d);
            return;
        case RESPONSE_APPLY: set_interface_values_from_data(*d, index); return;
        case GTK_RESPONSE_OK:
            set_interface_values_from_data(*d, index);
            close_details(d);
            return;
        default: close_details(d); return;
    }
}

GtkWidget* labelled_table(const std::vector<std::pair<GtkWidget*, GtkWidget*>>& rows) {
    GtkWidget* table = gtk_table_new(static_cast<guint>(rows.size() + 1), 2, FALSE);
    gtk_table_set_row_spacings(GTK_TABLE(table), 2);
    guint r = 0;
    for (const auto& [left, right] : rows) {
        if (left != nullptr) gtk_table_attach_defaults(GTK_TABLE(table), left, 0, 1, r, r + 1);
        if (right != nullptr) gtk_table_attach_defaults(GTK_TABLE(table), right, 1, 2, r, r + 1);
        ++r;
    }
    return table;
}

std::string details_title(const Interface& itf) {
    return "Interface details for interface " + itf.name;
}

// The results; " - " until the interface has been calculated.
GtkWidget* results_frame(const Interface& itf) {
    std::vector<std::pair<std::string, std::string>> results;
    const int status = itf.status;
    const bool calculated = status == IS_CONVERGED || status == IS_ITERATING;
    for (int k = 0; k < NUM_INTERFACE_OUTPUTS; ++k) {
        const ValueDef& def = interface_output_values_def[sz(k)];
        if (!calculated) {  // no results yet: no numbers
            results.emplace_back(def.name, " - ");
            continue;
        }
        results.emplace_back(def.name,
                             format_value(itf.outputs[sz(k)], def, itf.output_units[sz(k)]));
    }
    GtkWidget* frame = my_frame("<b>Results</b>");
    gtk_container_add(GTK_CONTAINER(frame), result_list(results));
    return frame;
}

void build_details(InterfaceDialog& d, const Interface& itf) {
    d.dialog = gtk_dialog_new();
    gtk_window_set_title(GTK_WINDOW(d.dialog), details_title(itf).c_str());
    if (ui.mainwindow != nullptr)
        gtk_window_set_transient_for(GTK_WINDOW(d.dialog), GTK_WINDOW(ui.mainwindow));
    d.cancel = gtk_dialog_add_button(GTK_DIALOG(d.dialog), GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL);
    d.reset = gtk_dialog_add_button(GTK_DIALOG(d.dialog), "Reset", RESPONSE_RESET);
    gtk_dialog_add_button(GTK_DIALOG(d.dialog), GTK_STOCK_OK, GTK_RESPONSE_OK);
    GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(d.dialog));
    GtkWidget* head = gtk_hbox_new(FALSE, 6);
    d.name = gtk_entry_new();
    gtk_widget_set_name(d.name, "name");
    remember(d, d.name, 0);
    g_signal_connect(d.name, "activate", G_CALLBACK(activate_interface_name_widget), nullptr);
    g_signal_connect(d.name, "focus-out-event", G_CALLBACK(leave_interface_name_widget), nullptr);
    gtk_box_pack_start(GTK_BOX(head), my_label("<b>Interface name : </b>"), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(head), d.name, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(content), head, FALSE, FALSE, 4);
    std::vector<std::pair<GtkWidget*, GtkWidget*>> options;
    for (int n = 0; n < NUM_INTERFACE_OPTIONS; ++n) {
        const OptionDef& option = interface_options[sz(n)];
        GtkWidget* combo = my_combo(-1, option.choices.data(), nullptr, nullptr);
        gtk_widget_set_name(combo, ("option" + std::to_string(n)).c_str());
        remember(d, combo, n);
        g_signal_connect(combo, "changed", G_CALLBACK(select_interface_option), nullptr);
        d.combos[sz(n)] = combo;
        options.emplace_back(my_label(option.title), combo);
    }
    GtkWidget* frame = my_frame("<b>Options</b>");
    gtk_container_add(GTK_CONTAINER(frame), labelled_table(options));
    gtk_box_pack_start(GTK_BOX(content), frame, FALSE, FALSE, 4);
    std::vector<std::pair<GtkWidget*, GtkWidget*>> inputs;
    for (int n = 0; n < itf.az_shown_inputs && n < static_cast<int>(itf.shown_inputs.size()); ++n) {
        GtkWidget* label = my_label("");
        GtkWidget* entry = gtk_entry_new();
        gtk_widget_set_name(label, ("label" + std::to_string(n)).c_str());
        gtk_widget_set_name(entry, ("input" + std::to_string(n)).c_str());
        remember(d, entry, n);
        g_signal_connect(entry, "activate", G_CALLBACK(activate_interface_entry), nullptr);
        g_signal_connect(entry, "focus-out-event", G_CALLBACK(leave_interface_entry), nullptr);
        d.labels.push_back(label);
        d.entries.push_back(entry);
        inputs.emplace_back(label, entry);
        if (n == 1) inputs.emplace_back(gtk_label_new(" "), nullptr);
    }
    frame = my_frame("<b>Input Values</b>");
    gtk_container_add(GTK_CONTAINER(frame), labelled_table(inputs));
    gtk_box_pack_start(GTK_BOX(content), frame, FALSE, FALSE, 4);
    d.results = gtk_vbox_new(FALSE, 0);
    gtk_box_pack_start(GTK_BOX(d.results), results_frame(itf), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(content), d.results, FALSE, FALSE, 4);
}

// The interface as it is now, after a change made elsewhere: title and
// results, and its name, options and inputs unless the user is editing
// them here.
void refresh_details(InterfaceDialog& d) {
    const int index = index_of(d);
    if (index < 0) return;  // closed by close_stale_detail_dialogs
    const Interface& itf = *d.project->interfaces[sz(index)];
    gtk_window_set_title(GTK_WINDOW(d.dialog), details_title(itf).c_str());
    if (!d.edited) {
        d.copy = copy_of_interface(itf);
        set_interface_dialog_values_from_data(d);
    }
    gtk_container_foreach(
        GTK_CONTAINER(d.results), [](GtkWidget* w, gpointer) { gtk_widget_destroy(w); }, nullptr);
    GtkWidget* frame = results_frame(itf);
    gtk_box_pack_start(GTK_BOX(d.results), frame, FALSE, FALSE, 0);
    gtk_widget_show_all(frame);
}

}  // namespace

void create_interface_from_graph(GtkAction*, gpointer) {
    Project* project = current_project;
    if (project == nullptr || calculation_running()) return;
    Selection s;
    selection = &s;
    s.hot = gtk_list_store_new(3, G_TYPE_STRING, G_TYPE_INT, G_TYPE_INT);
    s.cold = gtk_list_store_new(3, G_TYPE_STRING, G_TYPE_INT, G_TYPE_INT);
    GtkWidget* dialog = gtk_dialog_new_with_buttons(
        "Select heat exchangers for new Interface", nullptr, GTK_DIALOG_MODAL, GTK_STOCK_OK,
        GTK_RESPONSE_OK, GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL, nullptr);
    gtk_window_set_default_size(GTK_WINDOW(dialog), 500, 400);
    s.ok = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    gtk_widget_set_sensitive(s.ok, FALSE);
    GtkWidget* row = gtk_hbox_new(TRUE, 6);
    gtk_box_pack_start(
        GTK_BOX(row),
        side_list("<b>Hot Side</b>", "hot", s.hot, G_CALLBACK(hot_side_selected), &s.hot_view),
        TRUE, TRUE, 0);
    gtk_box_pack_start(
        GTK_BOX(row),
        side_list("<b>Cold Side</b>", "cold", s.cold, G_CALLBACK(cold_side_selected), nullptr),
        TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), row, TRUE, TRUE,
                       4);
    populate_trees(*project);
    preselect_current(*project);
    gtk_widget_show_all(dialog);
    for (;;) {
        const int response = run_dialog(GTK_DIALOG(dialog));
        if (response == GTK_RESPONSE_OK && s.hot_side.chosen() && s.cold_side.chosen()) {
            if (project_open(project)) make_interface(project, s.hot_side, s.cold_side);
            break;
        }
        if (response != GTK_RESPONSE_OK) break;
    }
    selection = nullptr;
    gtk_widget_destroy(dialog);
    g_object_unref(s.hot);
    g_object_unref(s.cold);
}

void createinterface_from_tree(GtkAction*, gpointer) {
    Project* project = current_project;
    if (project == nullptr || calculation_running()) return;
    std::vector<Side> sides;
    for (const TreePath& path : selected_paths(tree_view_of(project))) {
        const RowRef row = resolve_row(*project, path);
        if (row.kind == RowKind::PART) sides.push_back({row.process, row.part});
    }
    if (sides.size() != 2) return;
    make_interface(project, sides[0], sides[1]);  // the upper row is the hot side
}

void swapparts(GtkAction*, gpointer) {
    Project* project = current_project;
    if (project == nullptr || calculation_running()) return;
    const int index = project->current_interface;
    if (!swap_interface_sides(*project, index)) return;
    update_interface_in_tree(project, index);
    const Interface& itf = *project->interfaces[sz(index)];
    for (int id : {itf.hot_part_id, itf.cold_part_id})
        update_part_in_tree(project, get_process_num_of_part_by_part_id(project, id),
                            get_part_num_by_part_id(project, id));
    forget_interface_results_in_window(project, index);
    mark_changed(project);
    update_graphs(project);
}

void interfacedialog(Project* project, int index) {
    if (project == nullptr || calculation_running() || index < 0 || index >= project->az_interfaces)
        return;
    const Interface& itf = *project->interfaces[sz(index)];
    for (InterfaceDialog* open : details)
        if (open->project == project && open->interface_id == itf.id) {
            gtk_window_present(GTK_WINDOW(open->dialog));
            return;
        }
    auto* d = new InterfaceDialog;
    d->project = project;
    d->interface_id = itf.id;
    d->copy = copy_of_interface(itf);
    build_details(*d, itf);
    set_interface_changed(*d, false);
    set_interface_dialog_values_from_data(*d);
    g_signal_connect(d->dialog, "response", G_CALLBACK(interface_dialog_response), d);
    gtk_widget_show_all(d->dialog);
    details.push_back(d);
}

void interfacedialogcallback(GtkAction*, gpointer) {
    Project* project = current_project;
    if (project != nullptr) interfacedialog(project, project->current_interface);
}

void refresh_interface_dialogs(const Project* project) {
    for (InterfaceDialog* d : std::vector<InterfaceDialog*>(details))
        if (d->project == project && !d->closing) refresh_details(*d);
}

void close_interface_dialogs(const Project* project, bool all) {
    const std::vector<InterfaceDialog*> open = details;
    for (InterfaceDialog* d : open)
        if (index_of(*d) < 0 || (all && d->project == project)) close_details(d);
}

}  // namespace app::gui
