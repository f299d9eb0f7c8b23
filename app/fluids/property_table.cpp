// The property-table window: a fluid's properties over a grid of pressures
// and temperatures. The text comes from app/core (property_table.h) one row
// at a time; after each row the window shows it and handles pending events,
// so that Stop and Close work while a table runs.
#include "app/core/fluids/property_table.h"

#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/program/text_output.h"
#include "app/core/solver/simulator.h"
#include "app/fluids/fluids_gui.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"
#include "app/gui/widgets.h"

#include <cmath>

namespace app::gui {

namespace {

// The grid spinners, in table_grid's order.
enum GridSpinner : int { G_P_MIN = 0, G_P_MAX, G_P_STEP, G_T_MIN, G_T_MAX, G_T_STEP, NUM_GRID };

struct SpinnerDef {
    const char* name;
    int quantity;
    double step;
    int digits;
};
constexpr SpinnerDef SPINNERS[NUM_GRID] = {
    {"p_min", Q_PRESSURE, 10, 4},    {"p_max", Q_PRESSURE, 10, 4},
    {"p_step", Q_PRESSURE, 100, 5},  {"T_min", Q_TEMPERATURE, 10, 3},
    {"T_max", Q_TEMPERATURE, 10, 3}, {"T_step", Q_TEMPERATURE, 10, 4},
};

struct TableWindow {
    GtkWidget* window = nullptr;
    GtkWidget* combo = nullptr;
    GtkWidget* view = nullptr;
    GtkTextBuffer* buffer = nullptr;
    GtkWidget* progress = nullptr;
    GtkWidget* apply = nullptr;
    std::array<GtkWidget*, NUM_INFO_FIELDS> info{};
    GtkWidget* critical_title = nullptr;  // the titles of two information rows,
    GtkWidget* triple_title = nullptr;    // and what they mean for a mixture
    GtkWidget* note = nullptr;
    std::array<GtkWidget*, NUM_GRID> spin{};
    std::vector<int> combofluids;  // index in `fluids` of each combo row
    Fluid* fluid = nullptr;
    std::atomic<bool> stop{false};
    bool running = false;
    bool closing = false;  // Close while a table ran: destroyed when it ends
    bool busy = false;     // the program itself sets the spinners or the combo
};

TableWindow* table = nullptr;

int default_unit(int quantity) { return unitdef[sz(quantity)].default_unit; }

double grid_value(const TableGrid& g, int k) {
    const double v[NUM_GRID] = {g.p_min, g.p_max, g.p_step, g.T_min, g.T_max, g.T_step};
    return v[k];
}
double& grid_slot(TableGrid& g, int k) {
    double* v[NUM_GRID] = {&g.p_min, &g.p_max, &g.p_step, &g.T_min, &g.T_max, &g.T_step};
    return *v[k];
}

// Shown value of a grid setting; the temperature step is a difference
// (the unit's factor without its offset).
double shown(int k, double value) {
    const int q = SPINNERS[k].quantity;
    if (k == G_T_STEP) return value * unitdef[sz(q)].units[sz(default_unit(q))].factor;
    return to_display(q, default_unit(q), value);
}
double internal(int k, double value) {
    const int q = SPINNERS[k].quantity;
    if (k == G_T_STEP) return value / unitdef[sz(q)].units[sz(default_unit(q))].factor;
    return to_internal(q, default_unit(q), value);
}

// Ranges of the spinners for the fluid, internal units.
ValueRange grid_range(const Fluid& f, int k) {
    switch (k) {
        case G_P_MIN:
        case G_P_MAX: return {f.pmin, f.pmax};
        case G_P_STEP: return {0, 100000};  // 0: one pressure, the first
        case G_T_MIN:
        case G_T_MAX: return {f.Tmin, f.Tmax};
        default: return {0, 1000};  // 0: one temperature
    }
}

void show_grid(TableWindow& t) {
    if (t.fluid == nullptr) return;
    t.busy = true;
    for (int k = 0; k < NUM_GRID; ++k) {
        const ValueRange r = grid_range(*t.fluid, k);
        double a = shown(k, r.lo);
        double b = shown(k, r.hi);
        if (b < a) std::swap(a, b);
        GtkSpinButton* spin = GTK_SPIN_BUTTON(t.spin[sz(k)]);
        gtk_spin_button_set_range(spin, a, b);
        gtk_spin_button_set_value(spin, shown(k, grid_value(table_grid, k)));
        // The setting is what the spinner holds (a range may have moved it).
        const double held = internal(k, gtk_spin_button_get_value(spin));
        if (std::fabs(shown(k, grid_value(table_grid, k)) - gtk_spin_button_get_value(spin)) >
            0.5 * std::pow(10.0, -SPINNERS[k].digits))
            grid_slot(table_grid, k) = held;
    }
    t.busy = false;
}

void grid_changed(GtkSpinButton* spin, gpointer which) {
    if (table == nullptr || table->busy) return;
    const int k = GPOINTER_TO_INT(which);
    const double value = gtk_spin_button_get_value(spin);
    // The rounded text of the spinner coming back is no edit.
    if (std::fabs(value - shown(k, grid_value(table_grid, k))) <=
        0.5 * std::pow(10.0, -SPINNERS[k].digits) * (1.0 + 1e-9))
        return;
    grid_slot(table_grid, k) = internal(k, value);
}

void show_info(TableWindow& t, const FluidInfo& info) {
    for (int i = 0; i < NUM_INFO_FIELDS; ++i)
        gtk_entry_set_text(GTK_ENTRY(t.info[sz(i)]), info.texts[sz(i)].c_str());
    gtk_label_set_text(GTK_LABEL(t.critical_title), info.critical_title.c_str());
    gtk_label_set_text(GTK_LABEL(t.triple_title), info.triple_title.c_str());
    gtk_label_set_text(GTK_LABEL(t.note), info.note.c_str());
    if (info.note.empty())
        gtk_widget_hide(t.note);
    else
        gtk_widget_show(t.note);
}

// Fills the information frame; false (with a message) when no table can
// be made for the fluid.
bool prepare(TableWindow& t) {
    FluidInfo info;
    const std::string problem = prepare_table(*t.fluid, info);
    show_info(t, info);
    show_grid(t);
    if (problem.empty()) return true;
    show_error(problem);
    return false;
}

void set_running(TableWindow& t, bool running) {
    t.running = running;
    gtk_widget_set_sensitive(t.apply, !running);
    gtk_widget_set_sensitive(t.combo, !running);
}

// Counts the table in library_busy while it runs.
struct LibraryUse {
    LibraryUse() { ++library_busy; }
    ~LibraryUse() { --library_busy; }
    LibraryUse(const LibraryUse&) = delete;
    LibraryUse& operator=(const LibraryUse&) = delete;
};

void append_text(TableWindow& t, const std::string& text) {
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(t.buffer, &end);
    gtk_text_buffer_insert(t.buffer, &end, text.c_str(), static_cast<gint>(text.size()));
}

void show_progress(TableWindow& t, std::int64_t done, std::int64_t total) {
    const double fraction = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1;
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(t.progress), std::min(fraction, 1.0));
    gtk_text_view_scroll_mark_onscreen(GTK_TEXT_VIEW(t.view), gtk_text_buffer_get_insert(t.buffer));
    gdk_flush();
    while (gtk_events_pending()) gtk_main_iteration();
    if (ui.quit_requested) t.stop = true;  // the program ends: so does the table
}

void make_property_table(GtkButton*, gpointer) {
    TableWindow* t = table;
    if (t == nullptr || t->running || t->fluid == nullptr) return;
    if (!library_free_for("The property table")) return;
    gtk_text_buffer_set_text(t->buffer, "", 0);
    if (!prepare(*t)) return;
    t->stop = false;
    set_running(*t, true);
    TableResult result;
    {
        LibraryUse use;
        const TableGrid grid = table_grid;  // the spinners may change while it runs
        result = write_property_table(
            *t->fluid, grid, [t](const std::string& text) { append_text(*t, text); }, t->stop,
            [t](std::int64_t done, std::int64_t total) { show_progress(*t, done, total); });
    }
    set_running(*t, false);
    if (t->closing) {
        gtk_widget_destroy(t->window);
        return;
    }
    if (!result.error.empty()) {
        show_error(result.error);
    } else if (!result.stopped) {
        // A finished table is shown from its head; a stopped one where it
        // stopped.
        GtkTextIter start;
        gtk_text_buffer_get_start_iter(t->buffer, &start);
        gtk_text_buffer_place_cursor(t->buffer, &start);
        gtk_text_view_scroll_to_iter(GTK_TEXT_VIEW(t->view), &start, 0, FALSE, 0, 0);
    }
}

void select_fluid_property_table(GtkComboBox* combo, gpointer) {
    TableWindow* t = table;
    if (t == nullptr || t->running || t->busy) return;
    const int row = gtk_combo_box_get_active(combo);
    if (row < 0 || row >= static_cast<int>(t->combofluids.size())) return;
    t->fluid = fluids[t->combofluids[sz(row)]];
    make_property_table(nullptr, nullptr);
}

void stopcallback(GtkButton*, gpointer) {
    if (table != nullptr) table->stop = true;
}

void closecallback(GtkButton*, gpointer) {
    TableWindow* t = table;
    if (t == nullptr) return;
    t->stop = true;
    if (t->running) {
        t->closing = true;  // the table ends after its row; then the window goes
        gtk_widget_hide(t->window);
        return;
    }
    gtk_widget_destroy(t->window);
}

gboolean window_deleted(GtkWidget*, GdkEvent*, gpointer) {
    closecallback(nullptr, nullptr);
    return TRUE;
}

void window_destroyed(GtkWidget*, gpointer data) {
    if (table == static_cast<TableWindow*>(data)) table = nullptr;
}

void free_table(gpointer data) { delete static_cast<TableWindow*>(data); }

// ----- building ------------------------------------------------------------

GtkWidget* info_entry(TableWindow& t, int field) {
    GtkWidget* e = my_entry();
    gtk_entry_set_width_chars(GTK_ENTRY(e), 18);
    gtk_widget_set_name(e, ("info" + std::to_string(field)).c_str());
    t.info[sz(field)] = e;
    return e;
}

GtkWidget* info_frame(TableWindow& t) {
    GtkWidget* frame = my_frame("<b>Fluid Information</b>");
    GtkWidget* grid = gtk_table_new(5, 9, FALSE);
    auto put = [&](GtkWidget* w, guint col, guint row) {
        gtk_table_attach(GTK_TABLE(grid), w, col, col + 1, row, row + 1, GTK_FILL, GTK_FILL, 3, 2);
    };
    put(my_label("Molecular Weight:"), 0, 0);
    put(info_entry(t, INFO_MOLAR_MASS), 2, 0);
    put(my_label("Specific Gas Constant:"), 0, 1);
    put(info_entry(t, INFO_GAS_CONSTANT), 2, 1);
    const struct {
        const char* title;
        const char* labels[4];
        int first;
        int count;
    } rows[] = {
        {"Critical Point:", {"T = ", " p = ", " rho = ", nullptr}, INFO_TC, 3},
        {"Tripple Point:", {"T = ", " p = ", " rho = ", nullptr}, INFO_TTRP, 3},
        {"Limits:", {"T min = ", " T max  = ", " p min = ", " p max = "}, INFO_TMIN, 4},
    };
    guint r = 2;
    for (const auto& row : rows) {
        GtkWidget* title = my_label(row.title);
        if (row.first == INFO_TC) t.critical_title = title;
        if (row.first == INFO_TTRP) t.triple_title = title;
        put(title, 0, r);
        for (int i = 0; i < row.count; ++i) {
            const auto col = static_cast<guint>(1 + 2 * i);
            put(my_label(row.labels[i]), col, r);
            put(info_entry(t, row.first + i), col + 1, r);
        }
        ++r;
    }
    // What the rows mean for a mixture, below them.
    t.note = gtk_label_new("");
    gtk_widget_set_name(t.note, "info_note");
    gtk_label_set_line_wrap(GTK_LABEL(t.note), TRUE);
    gtk_misc_set_alignment(GTK_MISC(t.note), 0.0f, 0.5f);
    gtk_widget_set_size_request(t.note, 700, -1);
    gtk_widget_set_no_show_all(t.note, TRUE);
    GtkWidget* box = gtk_vbox_new(FALSE, 2);
    gtk_box_pack_start(GTK_BOX(box), grid, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), t.note, FALSE, FALSE, 3);
    gtk_container_add(GTK_CONTAINER(frame), box);
    return frame;
}

GtkWidget* settings_frame(TableWindow& t) {
    GtkWidget* frame = my_frame("<b>Table Settings</b>");
    GtkWidget* grid = gtk_table_new(2, 10, FALSE);
    const char* titles[] = {"Pressure:", "Temperature:"};
    const char* names[] = {"Min", "Max", "Step"};
    for (int r = 0; r < 2; ++r) {
        const auto row = static_cast<guint>(r);
        gtk_table_attach(GTK_TABLE(grid), my_label(titles[r]), 0, 1, row, row + 1, GTK_FILL,
                         GTK_FILL, 3, 2);
        for (int i = 0; i < 3; ++i) {
            const int k = 3 * r + i;
            const SpinnerDef& d = SPINNERS[k];
            GtkWidget* spin = my_spinner(0, 1e99, d.step, d.digits, 0, G_CALLBACK(grid_changed),
                                         GINT_TO_POINTER(k));
            gtk_widget_set_size_request(spin, 110, -1);
            gtk_widget_set_name(spin, d.name);
            t.spin[sz(k)] = spin;
            const auto col = static_cast<guint>(1 + 3 * i);
            const char* symbol = unit_symbol(d.quantity, default_unit(d.quantity));
            gtk_table_attach(GTK_TABLE(grid), my_label(names[i]), col, col + 1, row, row + 1,
                             GTK_FILL, GTK_FILL, 3, 2);
            gtk_table_attach(GTK_TABLE(grid), spin, col + 1, col + 2, row, row + 1, GTK_FILL,
                             GTK_FILL, 3, 2);
            gtk_table_attach(GTK_TABLE(grid), gtk_label_new(symbol), col + 2, col + 3, row, row + 1,
                             GTK_FILL, GTK_FILL, 3, 2);
        }
    }
    gtk_container_add(GTK_CONTAINER(frame), grid);
    return frame;
}

// The fluids the combo offers: every available one, in list order.
std::vector<int> offered_fluids() {
    std::vector<int> out;
    for (int i = 0; i < az_fluids(); ++i)
        if (const Fluid* f = fluids[i]; f != nullptr && f->available != 0) out.push_back(i);
    return out;
}

// Fills the combo anew when the fluids offered changed (a user fluid was
// defined or imported), keeping the fluid shown; no table is computed.
void fill_fluid_combo(TableWindow& t) {
    std::vector<int> offered = offered_fluids();
    if (offered == t.combofluids) return;
    t.busy = true;
    GtkComboBox* combo = GTK_COMBO_BOX(t.combo);
    for (std::size_t i = t.combofluids.size(); i > 0; --i)
        gtk_combo_box_remove_text(combo, static_cast<gint>(i - 1));
    t.combofluids = std::move(offered);
    int active = 0;
    for (std::size_t i = 0; i < t.combofluids.size(); ++i) {
        const Fluid* f = fluids[t.combofluids[i]];
        if (f == t.fluid) active = static_cast<int>(i);
        gtk_combo_box_append_text(combo, f->name.c_str());
    }
    gtk_combo_box_set_active(combo, active);
    t.busy = false;
}

gboolean window_focused(GtkWidget*, GdkEventFocus*, gpointer) {
    if (table != nullptr) fill_fluid_combo(*table);
    return FALSE;
}

GtkWidget* fluid_row(TableWindow& t) {
    GtkWidget* row = gtk_hbox_new(FALSE, 6);
    gtk_box_pack_start(GTK_BOX(row), my_label("<b>Fluid: </b>"), FALSE, FALSE, 0);
    t.combo = gtk_combo_box_new_text();
    gtk_widget_set_name(t.combo, "fluid_combo");
    fill_fluid_combo(t);
    g_signal_connect(t.combo, "changed", G_CALLBACK(select_fluid_property_table), nullptr);
    gtk_box_pack_start(GTK_BOX(row), t.combo, FALSE, FALSE, 0);
    return row;
}

GtkWidget* text_area(TableWindow& t) {
    t.view = gtk_text_view_new();
    gtk_widget_set_name(t.view, "table_view");
    t.buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(t.view));
    gtk_text_view_set_editable(GTK_TEXT_VIEW(t.view), FALSE);
    gtk_text_view_set_cursor_visible(GTK_TEXT_VIEW(t.view), FALSE);
    PangoFontDescription* font = pango_font_description_from_string("Monospace 10");
    gtk_widget_modify_font(t.view, font);
    pango_font_description_free(font);
    GtkWidget* sw = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(sw), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    gtk_widget_set_size_request(sw, -1, 400);
    gtk_container_add(GTK_CONTAINER(sw), t.view);
    return sw;
}

GtkWidget* button_row(TableWindow& t) {
    GtkWidget* row = gtk_hbox_new(FALSE, 6);
    t.apply = my_button("Apply", nullptr, G_CALLBACK(make_property_table), nullptr);
    gtk_widget_set_name(t.apply, "apply");
    gtk_box_pack_start(GTK_BOX(row), t.apply, FALSE, FALSE, 0);
    t.progress = gtk_progress_bar_new();
    gtk_box_pack_start(GTK_BOX(row), t.progress, TRUE, TRUE, 0);
    GtkWidget* save = my_button("Save to file", nullptr, nullptr, nullptr);
    gtk_widget_set_sensitive(save, FALSE);
    gtk_box_pack_start(GTK_BOX(row), save, FALSE, FALSE, 0);
    GtkWidget* stop = my_button("Stop", nullptr, G_CALLBACK(stopcallback), nullptr);
    gtk_widget_set_name(stop, "stop");
    gtk_box_pack_end(GTK_BOX(row), stop, FALSE, FALSE, 0);
    GtkWidget* close = my_button("Close", nullptr, G_CALLBACK(closecallback), nullptr);
    gtk_widget_set_name(close, "close");
    gtk_box_pack_end(GTK_BOX(row), close, FALSE, FALSE, 0);
    return row;
}

}  // namespace

GtkWidget* property_table_window() { return table != nullptr ? table->window : nullptr; }
bool property_table_running() { return table != nullptr && table->running; }
void property_table_fluids_changed() {
    if (table != nullptr) fill_fluid_combo(*table);
}

void on_properties_table(GtkAction*, gpointer) {
    if (table != nullptr) {
        gtk_window_present(GTK_WINDOW(table->window));
        return;
    }
    if (!library_free_for("The property table")) return;
    // The fluid the library holds, when it is one of the list.
    if (current_fluid == nullptr || fluids.index_of(current_fluid) < 0) init_stoffwerte(fluids[0]);
    Fluid* fluid =
        current_fluid != nullptr && fluids.index_of(current_fluid) >= 0 ? current_fluid : fluids[0];
    table = new TableWindow;
    TableWindow& t = *table;
    t.fluid = fluid;
    t.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(t.window), "Kavrel ( Holmvik ) - Fluid properties table");
    gtk_window_set_default_size(GTK_WINDOW(t.window), 1200, -1);
    GtkWidget* box = gtk_vbox_new(FALSE, 6);
    gtk_container_set_border_width(GTK_CONTAINER(box), 6);
    gtk_box_pack_start(GTK_BOX(box), fluid_row(t), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), info_frame(t), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), settings_frame(t), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), text_area(t), TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(box), button_row(t), FALSE, FALSE, 0);
    gtk_container_add(GTK_CONTAINER(t.window), box);
    g_signal_connect(t.window, "delete-event", G_CALLBACK(window_deleted), nullptr);
    g_signal_connect(t.window, "focus-in-event", G_CALLBACK(window_focused), nullptr);
    g_signal_connect(t.window, "destroy", G_CALLBACK(window_destroyed), &t);
    g_object_set_data_full(G_OBJECT(t.window), "table", &t, free_table);
    gtk_widget_show_all(t.window);
    if (fluid == fluids[0])
        make_property_table(nullptr, nullptr);
    else
        prepare(t);
}

}  // namespace app::gui
