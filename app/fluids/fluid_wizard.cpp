// "Fluid definition": the eight-page assistant that defines a user fluid.
// The page flow and the build are app/core's (fluid_wizard.h); this file
// shows the state and passes the user's choices on.
//
// The assistant's forward function only looks at the state (the toolkit
// calls it also to decide which buttons to show); what leaving a page
// decides is done when the next page is prepared, and the build when the
// confirmation page is applied.
#include "app/core/fluids/fluid_wizard.h"

#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/fluids/fluids_gui.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"
#include "app/gui/widgets.h"

namespace app::gui {

namespace {

constexpr const char* PAGE_TITLES[NUM_WIZARD_PAGES] = {
    "Fluid Name and Type",     "Humidity Definition",           "Fluid Components",
    "Fluid Composition",       "Reference Humidity Definition", "Fluid Creation Confirmation",
    "Fluid Creation Finished", "Fluid definition failed"};
// The failure page ends the run like the finished one (with Close).
constexpr GtkAssistantPageType PAGE_TYPES[NUM_WIZARD_PAGES] = {
    GTK_ASSISTANT_PAGE_INTRO,   GTK_ASSISTANT_PAGE_CONTENT, GTK_ASSISTANT_PAGE_CONTENT,
    GTK_ASSISTANT_PAGE_CONTENT, GTK_ASSISTANT_PAGE_CONTENT, GTK_ASSISTANT_PAGE_CONFIRM,
    GTK_ASSISTANT_PAGE_SUMMARY, GTK_ASSISTANT_PAGE_SUMMARY};

constexpr const char* KIND_LABELS[] = {"Dry Mixture", "Humid Mixture", "General Mixture"};
constexpr const char* HUMIDITY_LABELS[] = {"Relative Humidity at Standard Values",
                                           "Relative Humidity at Inlet Values",
                                           "Total Water Fraction"};

// Columns of the two list stores.
enum ListColumn : int { LIST_NAME = 0, LIST_FLUID = 1 };

struct Wizard {
    WizardState state;
    GtkWidget* assistant = nullptr;
    std::array<GtkWidget*, NUM_WIZARD_PAGES> pages{};
    GtkWidget* name_entry = nullptr;
    GtkWidget* warning = nullptr;
    std::array<GtkWidget*, 3> kind_radio{};
    std::array<GtkWidget*, 3> humidity_radio{};
    GtkListStore* store1 = nullptr;  // "Available Fluids"
    GtkListStore* store2 = nullptr;  // "Selected Fluids"
    GtkWidget* view1 = nullptr;
    GtkWidget* view2 = nullptr;
    CompositionTables tables;
    ReferenceTable reference;
    GtkWidget* summary_vbox = nullptr;
    GtkWidget* summary = nullptr;
    GtkWidget* failure_reason = nullptr;
    int page = WP_NAME;      // the page shown
    Fluid* built = nullptr;  // the fluid made by this run
};

Wizard* wizard = nullptr;

void sync_complete(Wizard& w) {
    for (int p = 0; p < NUM_WIZARD_PAGES; ++p)
        gtk_assistant_set_page_complete(GTK_ASSISTANT(w.assistant), w.pages[sz(p)],
                                        w.state.complete[sz(p)]);
}

void fill_store(GtkListStore* store, const std::vector<int>& list) {
    gtk_list_store_clear(store);
    for (int id : list) {
        const Fluid* f = fluids[id];
        GtkTreeIter iter;
        gtk_list_store_append(store, &iter);
        gtk_list_store_set(store, &iter, LIST_NAME, f != nullptr ? f->name.c_str() : "", LIST_FLUID,
                           id, -1);
    }
}

void fill_stores(Wizard& w) {
    fill_store(w.store1, w.state.available);
    fill_store(w.store2, w.state.selected);
}

// ----- page 0 and 1 --------------------------------------------------------

void entry_changed(GtkEditable* entry, gpointer) {
    if (wizard == nullptr) return;
    const std::string name = gtk_entry_get_text(GTK_ENTRY(entry));
    set_wizard_name(wizard->state, name);
    gtk_label_set_text(GTK_LABEL(wizard->warning), check_name(name).warning.c_str());
    sync_complete(*wizard);
}

void kind_toggled(GtkToggleButton* button, gpointer kind) {
    if (wizard != nullptr && gtk_toggle_button_get_active(button))
        wizard->state.kind = GPOINTER_TO_INT(kind);
}

void humidity_toggled(GtkToggleButton* button, gpointer choice) {
    if (wizard != nullptr && gtk_toggle_button_get_active(button))
        wizard->state.humidity_choice = GPOINTER_TO_INT(choice);
}

template <std::size_t N>
GtkWidget* radio_group(std::array<GtkWidget*, N>& radios, const char* const* labels,
                       GCallback handler, const char* prefix) {
    GtkWidget* box = gtk_vbox_new(FALSE, 2);
    GSList* group = nullptr;
    for (std::size_t i = 0; i < N; ++i) {
        radios[i] = gtk_radio_button_new_with_label(group, labels[i]);
        group = gtk_radio_button_get_group(GTK_RADIO_BUTTON(radios[i]));
        gtk_widget_set_name(radios[i], (prefix + std::to_string(i)).c_str());
        g_signal_connect(radios[i], "toggled", handler, GINT_TO_POINTER(static_cast<int>(i)));
        gtk_box_pack_start(GTK_BOX(box), radios[i], FALSE, FALSE, 0);
    }
    return box;
}

GtkWidget* name_page(Wizard& w) {
    GtkWidget* page = gtk_vbox_new(FALSE, 6);
    GtkWidget* row = gtk_hbox_new(FALSE, 6);
    gtk_box_pack_start(GTK_BOX(row), my_label("Name:"), FALSE, FALSE, 0);
    w.name_entry = gtk_entry_new();
    gtk_widget_set_name(w.name_entry, "name");
    g_signal_connect(w.name_entry, "changed", G_CALLBACK(entry_changed), nullptr);
    gtk_box_pack_start(GTK_BOX(row), w.name_entry, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(page), row, FALSE, FALSE, 0);
    w.warning = gtk_label_new("");
    gtk_widget_set_name(w.warning, "warning");
    gtk_box_pack_start(GTK_BOX(page), w.warning, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(page), my_label("<b>Choose fluid type</b>"), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(page),
                       radio_group(w.kind_radio, KIND_LABELS, G_CALLBACK(kind_toggled), "kind"),
                       FALSE, FALSE, 0);
    GtkWidget* import =
        my_button("Import existing mixture", nullptr, G_CALLBACK(import_fluid_to_dialog), nullptr);
    gtk_widget_set_name(import, "import");
    GtkWidget* align = gtk_alignment_new(0, 0.5, 0, 0);
    gtk_container_add(GTK_CONTAINER(align), import);
    gtk_box_pack_start(GTK_BOX(page), align, FALSE, FALSE, 6);
    return page;
}

GtkWidget* humidity_page(Wizard& w) {
    GtkWidget* page = gtk_vbox_new(FALSE, 6);
    gtk_box_pack_start(GTK_BOX(page),
                       gtk_label_new("Humidity can be defined in three ways:\n - as relative "
                                     "humidity at a reference point T_ref,p_ref t\n - as relative "
                                     "humidity at inlet conditions\n - with a fixed molar/mass "
                                     "fraction"),
                       FALSE, FALSE, 0);
    gtk_box_pack_start(
        GTK_BOX(page),
        radio_group(w.humidity_radio, HUMIDITY_LABELS, G_CALLBACK(humidity_toggled), "humidity"),
        FALSE, FALSE, 0);
    return page;
}

// ----- page 2 --------------------------------------------------------------

// The fluid index of the row selected in a list view, or -1.
int selected_fluid(GtkWidget* view) {
    GtkTreeModel* model = nullptr;
    GtkTreeIter iter;
    if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(GTK_TREE_VIEW(view)), &model,
                                         &iter))
        return -1;
    int id = -1;
    gtk_tree_model_get(model, &iter, LIST_FLUID, &id, -1);
    return id;
}

void fluid_moved(GtkButton*, gpointer direction) {
    if (wizard == nullptr) return;
    const int dir = GPOINTER_TO_INT(direction);
    const int id = selected_fluid(dir == MOVE_TO_SELECTED ? wizard->view1 : wizard->view2);
    if (id < 0 || !move_fluid(wizard->state, dir, id)) return;
    fill_stores(*wizard);
    sync_complete(*wizard);
}

GtkWidget* list_view(GtkListStore* store, const char* title, const char* name) {
    GtkWidget* view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
    gtk_widget_set_name(view, name);
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(view), FALSE);
    gtk_tree_view_append_column(
        GTK_TREE_VIEW(view), gtk_tree_view_column_new_with_attributes(
                                 title, gtk_cell_renderer_text_new(), "text", LIST_NAME, nullptr));
    return view;
}

GtkWidget* scrolled(GtkWidget* child) {
    GtkWidget* sw = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(sw), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(sw), GTK_SHADOW_IN);
    gtk_widget_set_size_request(sw, 160, 200);
    gtk_container_add(GTK_CONTAINER(sw), child);
    return sw;
}

GtkWidget* move_button(const char* stock, int direction, const char* name) {
    GtkWidget* button = gtk_button_new();
    gtk_button_set_image(GTK_BUTTON(button), gtk_image_new_from_stock(stock, GTK_ICON_SIZE_BUTTON));
    gtk_widget_set_name(button, name);
    g_signal_connect(button, "clicked", G_CALLBACK(fluid_moved), GINT_TO_POINTER(direction));
    return button;
}

GtkWidget* components_page(Wizard& w) {
    GtkWidget* page = gtk_vbox_new(FALSE, 6);
    gtk_box_pack_start(GTK_BOX(page), my_label("Select components for the new fluid:"), FALSE,
                       FALSE, 0);
    w.store1 = gtk_list_store_new(2, G_TYPE_STRING, G_TYPE_INT);
    w.store2 = gtk_list_store_new(2, G_TYPE_STRING, G_TYPE_INT);
    w.view1 = list_view(w.store1, "Available Fluids", "available");
    w.view2 = list_view(w.store2, "Selected Fluids", "selected");
    GtkWidget* buttons = gtk_vbox_new(FALSE, 6);
    gtk_box_pack_start(GTK_BOX(buttons),
                       move_button(GTK_STOCK_GO_FORWARD, MOVE_TO_SELECTED, "move_right"), FALSE,
                       FALSE, 0);
    gtk_box_pack_start(GTK_BOX(buttons),
                       move_button(GTK_STOCK_GO_BACK, MOVE_TO_AVAILABLE, "move_left"), FALSE, FALSE,
                       0);
    GtkWidget* center = gtk_alignment_new(0.5, 0.5, 0, 0);
    gtk_container_add(GTK_CONTAINER(center), buttons);
    GtkWidget* row = gtk_hbox_new(FALSE, 6);
    gtk_box_pack_start(GTK_BOX(row), scrolled(w.view1), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(row), center, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(row), scrolled(w.view2), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(page), row, FALSE, FALSE, 0);
    return page;
}

// ----- pages 3 to 7 --------------------------------------------------------

void composition_changed(Wizard& w) {
    w.state.complete[WP_COMPOSITION] = composition_complete(w.state.composition);
    gtk_assistant_set_page_complete(GTK_ASSISTANT(w.assistant), w.pages[WP_COMPOSITION],
                                    w.state.complete[WP_COMPOSITION]);
}

GtkWidget* labelled_pair(GtkSizeGroup* labels, GtkSizeGroup* values, const std::string& label,
                         GtkWidget* value) {
    GtkWidget* row = gtk_hbox_new(FALSE, 6);
    GtkWidget* l = my_label(label.c_str());
    gtk_size_group_add_widget(labels, l);
    gtk_size_group_add_widget(values, value);
    gtk_box_pack_start(GTK_BOX(row), l, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(row), value, FALSE, FALSE, 0);
    return row;
}

GtkWidget* percent_cell(double value) {
    GtkWidget* box = gtk_hbox_new(FALSE, 2);
    gtk_box_pack_start(GTK_BOX(box), my_display_entry(8, "%8.5f", value), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), gtk_label_new("%"), FALSE, FALSE, 0);
    return box;
}

GtkWidget* component_table(const WizardState& s) {
    const std::vector<SummaryRow> rows = summary_components(s);
    const auto n = static_cast<guint>(rows.size());
    GtkWidget* table = gtk_table_new(2 * n + 1, 5, FALSE);
    const char* heads[] = {"<b>Component Name</b>", "<b>Mole fraction</b>", "<b>Mass fraction</b>"};
    for (guint c = 0; c < 3; ++c)
        gtk_table_attach(GTK_TABLE(table), my_label(heads[c]), 2 * c, 2 * c + 1, 0, 1, GTK_FILL,
                         GTK_FILL, 4, 2);
    for (guint r = 0; r < n; ++r) {
        const guint y = 2 * r + 2;
        gtk_table_attach(GTK_TABLE(table), gtk_hseparator_new(), 0, 5, y - 1, y, GTK_FILL, GTK_FILL,
                         0, 1);
        GtkWidget* name = gtk_label_new(rows[r].name.c_str());
        gtk_misc_set_alignment(GTK_MISC(name), 0, 0.5);
        gtk_table_attach(GTK_TABLE(table), name, 0, 1, y, y + 1, GTK_FILL, GTK_FILL, 4, 2);
        gtk_table_attach(GTK_TABLE(table), percent_cell(rows[r].mole_percent), 2, 3, y, y + 1,
                         GTK_FILL, GTK_FILL, 4, 2);
        gtk_table_attach(GTK_TABLE(table), percent_cell(rows[r].mass_percent), 4, 5, y, y + 1,
                         GTK_FILL, GTK_FILL, 4, 2);
    }
    for (guint c : {1u, 3u})
        gtk_table_attach(GTK_TABLE(table), gtk_vseparator_new(), c, c + 1, 0, 2 * n + 1, GTK_FILL,
                         GTK_FILL, 2, 0);
    return table;
}

void build_summary_page(Wizard& w) {
    if (w.summary != nullptr) gtk_widget_destroy(w.summary);
    w.summary = gtk_vbox_new(FALSE, 4);
    GtkSizeGroup* labels = gtk_size_group_new(GTK_SIZE_GROUP_HORIZONTAL);
    GtkSizeGroup* values = gtk_size_group_new(GTK_SIZE_GROUP_HORIZONTAL);
    for (const auto& [label, value] : summary_head(w.state))
        gtk_box_pack_start(GTK_BOX(w.summary),
                           labelled_pair(labels, values, label, my_label(value.c_str())), FALSE,
                           FALSE, 0);
    gtk_box_pack_start(GTK_BOX(w.summary), component_table(w.state), FALSE, FALSE, 6);
    for (const auto& [label, value] : summary_reference(w.state, w.reference.unit))
        gtk_box_pack_start(GTK_BOX(w.summary),
                           labelled_pair(labels, values, label, my_label(value.c_str())), FALSE,
                           FALSE, 0);
    g_object_unref(labels);
    g_object_unref(values);
    gtk_box_pack_start(GTK_BOX(w.summary_vbox), w.summary, FALSE, FALSE, 0);
    gtk_widget_show_all(w.summary);
}

void save_fluid_clicked(GtkButton*, gpointer) {
    if (wizard != nullptr) save_fluid(wizard->built, GTK_WINDOW(wizard->assistant));
}

GtkWidget* finished_page() {
    GtkWidget* page = gtk_vbox_new(FALSE, 6);
    gtk_box_pack_start(GTK_BOX(page), gtk_label_new("Select fluid from inlet dialog to use it."),
                       FALSE, FALSE, 0);
    GtkWidget* save =
        my_button("Save fluid to file.", "Save fluid definition to fluid description file",
                  G_CALLBACK(save_fluid_clicked), nullptr);
    gtk_widget_set_name(save, "save");
    GtkWidget* align = gtk_alignment_new(0.5, 0, 0, 0);
    gtk_container_add(GTK_CONTAINER(align), save);
    gtk_box_pack_start(GTK_BOX(page), align, FALSE, FALSE, 0);
    return page;
}

GtkWidget* failed_page(Wizard& w) {
    GtkWidget* page = gtk_vbox_new(FALSE, 6);
    gtk_box_pack_start(
        GTK_BOX(page),
        gtk_label_new("Fluid creation failed. Some combinations of fluids are not supported"),
        FALSE, FALSE, 0);
    w.failure_reason = gtk_label_new("");
    gtk_widget_set_name(w.failure_reason, "reason");
    gtk_label_set_line_wrap(GTK_LABEL(w.failure_reason), TRUE);
    gtk_box_pack_start(GTK_BOX(page), w.failure_reason, FALSE, FALSE, 0);
    return page;
}

// ----- flow ------------------------------------------------------------------

gint forward_page(gint current, gpointer data) {
    return next_page_of(static_cast<Wizard*>(data)->state, current);
}

// What leaving `from` forward decided, shown.
void left_page(Wizard& w, int from) {
    nextpage(w.state, from);
    if (from == WP_NAME || from == WP_HUMIDITY) fill_stores(w);
    if (from == WP_COMPONENTS) build_proz_spinner_tables(w.tables);
}

void prepare(GtkAssistant* assistant, GtkWidget* page_widget, gpointer data) {
    auto& w = *static_cast<Wizard*>(data);
    const int page = gtk_assistant_get_current_page(assistant);
    if (page > w.page) left_page(w, w.page);
    w.page = page;
    if (page == WP_REFERENCE) show_reference(w.reference);
    if (page == WP_CONFIRM) build_summary_page(w);
    sync_complete(w);
    (void)page_widget;
}

// The pending request (new-process dialog, inlet dialog, part, process)
// receives the new fluid as if it had been chosen from the pop-up.
void hand_over(Fluid* fluid) {
    if (fluid_selection_mode != FS_NONE)
        select_fluid(nullptr, GINT_TO_POINTER(fluids.index_of(fluid)));
    fluid_selection_mode = FS_NONE;
}

void apply(GtkAssistant*, gpointer data) {
    auto& w = *static_cast<Wizard*>(data);
    std::string message;
    if (w.built == nullptr && library_free_for("Creating a fluid")) {
        std::unique_ptr<Fluid> fluid = build_fluid(w.state, message);
        if (fluid) {
            w.built = register_user_fluid(std::move(fluid), false);
            if (w.built == nullptr) message = "No place is left for another working fluid.";
        }
    } else if (w.built == nullptr) {
        message = "The property library is in use by a calculation or a diagram.";
    }
    w.state.built = w.built != nullptr;
    gtk_label_set_text(GTK_LABEL(w.failure_reason), message.c_str());
    if (w.built != nullptr) hand_over(w.built);
}

void assistant_close(GtkAssistant* assistant, gpointer) {
    gtk_widget_destroy(GTK_WIDGET(assistant));
}

void assistant_destroyed(GtkWidget*, gpointer data) {
    if (wizard == static_cast<Wizard*>(data)) wizard = nullptr;
}

// Freed with the assistant, after its pages (whose handlers hold it).
void free_wizard(gpointer data) {
    auto* w = static_cast<Wizard*>(data);
    if (w->store1 != nullptr) g_object_unref(w->store1);
    if (w->store2 != nullptr) g_object_unref(w->store2);
    delete w;
}

void add_page(Wizard& w, int index, GtkWidget* content) {
    gtk_container_set_border_width(GTK_CONTAINER(content), 8);
    w.pages[sz(index)] = content;
    gtk_assistant_append_page(GTK_ASSISTANT(w.assistant), content);
    gtk_assistant_set_page_title(GTK_ASSISTANT(w.assistant), content, PAGE_TITLES[index]);
    gtk_assistant_set_page_type(GTK_ASSISTANT(w.assistant), content, PAGE_TYPES[index]);
}

void build_pages(Wizard& w) {
    add_page(w, WP_NAME, name_page(w));
    add_page(w, WP_HUMIDITY, humidity_page(w));
    add_page(w, WP_COMPONENTS, components_page(w));
    w.tables.composition = &w.state.composition;
    w.tables.changed = [&w] { composition_changed(w); };
    GtkWidget* composition = gtk_vbox_new(FALSE, 0);
    gtk_box_pack_start(GTK_BOX(composition), composition_notebook(w.tables), TRUE, TRUE, 0);
    add_page(w, WP_COMPOSITION, composition);
    w.reference.reference = &w.state.reference;
    GtkWidget* reference = gtk_vbox_new(FALSE, 0);
    gtk_box_pack_start(GTK_BOX(reference), build_relative_humidity_table(w.reference), FALSE, FALSE,
                       0);
    add_page(w, WP_REFERENCE, reference);
    w.summary_vbox = gtk_vbox_new(FALSE, 0);
    add_page(w, WP_CONFIRM, w.summary_vbox);
    add_page(w, WP_FINISHED, finished_page());
    add_page(w, WP_FAILED, failed_page(w));
}

}  // namespace

GtkWidget* wizard_window() { return wizard != nullptr ? wizard->assistant : nullptr; }

void refresh_wizard() {
    if (wizard == nullptr) return;
    Wizard& w = *wizard;
    const WizardState s = w.state;  // the widgets' handlers write into the state
    gtk_entry_set_text(GTK_ENTRY(w.name_entry), s.new_name.c_str());
    if (s.kind >= 0 && s.kind < 3)
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w.kind_radio[sz(s.kind)]), TRUE);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w.humidity_radio[sz(s.humidity_choice)]), TRUE);
    w.state = s;
    fill_stores(w);
    build_proz_spinner_tables(w.tables);
    show_reference(w.reference);
    sync_complete(w);
}

void import_fluid_to_dialog(GtkButton*, gpointer) {
    if (wizard == nullptr) return;
    const std::vector<int> list = copyable_fluids();
    if (list.empty()) return;
    const int chosen =
        choose_fluid_dialog("Select fluid to import", list, GTK_WINDOW(wizard->assistant));
    if (chosen < 0 || wizard == nullptr) return;
    copy_into_wizard(wizard->state, *fluids[chosen]);
    refresh_wizard();
}

void create_fluid(GtkWidget*, gpointer) {
    if (wizard != nullptr) {
        gtk_window_present(GTK_WINDOW(wizard->assistant));
        return;
    }
    wizard = new Wizard;
    Wizard& w = *wizard;
    start_wizard(w.state);
    w.assistant = gtk_assistant_new();
    gtk_window_set_title(GTK_WINDOW(w.assistant), "Fluid definition");
    gtk_window_set_default_size(GTK_WINDOW(w.assistant), 640, 480);
    if (ui.mainwindow != nullptr)
        gtk_window_set_transient_for(GTK_WINDOW(w.assistant), GTK_WINDOW(ui.mainwindow));
    gtk_window_set_modal(GTK_WINDOW(w.assistant), TRUE);
    gtk_window_set_keep_above(GTK_WINDOW(w.assistant), TRUE);
    build_pages(w);
    fill_stores(w);
    gtk_assistant_set_forward_page_func(GTK_ASSISTANT(w.assistant), forward_page, &w, nullptr);
    g_signal_connect(w.assistant, "prepare", G_CALLBACK(prepare), &w);
    g_signal_connect(w.assistant, "apply", G_CALLBACK(apply), &w);
    g_signal_connect(w.assistant, "cancel", G_CALLBACK(assistant_close), nullptr);
    g_signal_connect(w.assistant, "close", G_CALLBACK(assistant_close), nullptr);
    g_signal_connect(w.assistant, "destroy", G_CALLBACK(assistant_destroyed), &w);
    g_object_set_data_full(G_OBJECT(w.assistant), "wizard", &w, free_wizard);
    sync_complete(w);
    gtk_widget_show_all(w.assistant);
}

}  // namespace app::gui
