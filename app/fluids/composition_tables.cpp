// The composition tables (mole and mass view) and the reference-humidity
// table of the wizard and of "Modify Fluid".
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/fluids/fluids_gui.h"
#include "app/gui/widgets.h"

#include <cmath>
#include <string>

namespace app::gui {

namespace {

// Decimals of the composition spinners (percent) and the reference ones.
constexpr int PERCENT_DIGITS = 8;
constexpr int REFERENCE_DIGITS = 4;

// A spin button shows its value rounded; that rounded value coming back
// (focus out, Enter) is no edit. Half a last digit counts as rounding too
// (101.325 kPa shows 1.0132 bar, and must stay 101.325 kPa).
bool same_as_shown(double spin_value, double exact, int digits) {
    return std::fabs(spin_value - exact) <= 0.5 * std::pow(10.0, -digits) * (1.0 + 1e-9);
}

int position_of(GtkWidget* widget) {
    return GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), "component"));
}

int fluid_at(const CompositionTables& t, int position) {
    const auto& ids = t.composition->fluid_ids;
    return position >= 0 && position < static_cast<int>(ids.size()) ? ids[sz(position)] : -1;
}

void change_proz(GtkSpinButton* spin, CompositionTables* t, bool mole) {
    if (t->busy || t->composition == nullptr) return;
    const int id = fluid_at(*t, position_of(GTK_WIDGET(spin)));
    if (id < 0) return;
    const double value = gtk_spin_button_get_value(spin);
    const double now = 100.0 * (mole ? t->composition->mole[sz(id)] : t->composition->mass[sz(id)]);
    if (same_as_shown(value, now, PERCENT_DIGITS)) return;
    if (mole)
        set_mole_fraction(*t->composition, id, value / 100.0);
    else
        set_mass_fraction(*t->composition, id, value / 100.0);
    show_composition(*t);
}

void change_mole_proz(GtkSpinButton* spin, gpointer data) {
    change_proz(spin, static_cast<CompositionTables*>(data), true);
}
void change_mass_proz(GtkSpinButton* spin, gpointer data) {
    change_proz(spin, static_cast<CompositionTables*>(data), false);
}

void increase_to_100(GtkButton* button, CompositionTables* t, bool mole) {
    if (t->composition == nullptr) return;
    const int id = fluid_at(*t, position_of(GTK_WIDGET(button)));
    if (id < 0) return;
    if (mole)
        increase_mole_to_100(*t->composition, id);
    else
        increase_mass_to_100(*t->composition, id);
    show_composition(*t);
}

void increase_mole_to_100_clicked(GtkButton* b, gpointer data) {
    increase_to_100(b, static_cast<CompositionTables*>(data), true);
}
void increase_mass_to_100_clicked(GtkButton* b, gpointer data) {
    increase_to_100(b, static_cast<CompositionTables*>(data), false);
}

void normalize_mol(GtkButton*, gpointer data) {
    auto* t = static_cast<CompositionTables*>(data);
    if (t->composition == nullptr) return;
    normalize_mole(*t->composition);
    show_composition(*t);
}
void normalize_mass_clicked(GtkButton*, gpointer data) {
    auto* t = static_cast<CompositionTables*>(data);
    if (t->composition == nullptr) return;
    normalize_mass(*t->composition);
    show_composition(*t);
}

void attach(GtkWidget* table, GtkWidget* w, guint col, guint row) {
    gtk_table_attach(GTK_TABLE(table), w, col, col + 1, row, row + 1,
                     static_cast<GtkAttachOptions>(GTK_FILL), GTK_FILL, 4, 2);
}

void named(GtkWidget* w, const std::string& name) { gtk_widget_set_name(w, name.c_str()); }

// One view's table: header, a row per component, the sum row.
GtkWidget* proz_table(CompositionTables& t, bool mole) {
    const char* prefix = mole ? "mole" : "mass";
    const int n = static_cast<int>(t.composition->fluid_ids.size());
    const auto rows = static_cast<guint>(n + 4);
    GtkWidget* table = gtk_table_new(rows, 6, FALSE);
    attach(table, my_label("<b>Fluid Name</b>"), 0, 0);
    attach(table, my_label(mole ? "<b>Mole %</b>" : "<b>Mass %</b>"), 2, 0);
    gtk_table_attach(GTK_TABLE(table), gtk_hseparator_new(), 0, 6, 1, 2, GTK_FILL, GTK_FILL, 0, 2);
    std::vector<GtkWidget*>& spinners = mole ? t.mole_spinners : t.mass_spinners;
    spinners.clear();
    for (int i = 0; i < n; ++i) {
        const int id = t.composition->fluid_ids[sz(i)];
        const Fluid* f = fluids[id];
        const auto r = static_cast<guint>(i + 2);
        GtkWidget* name = gtk_label_new(f != nullptr ? f->name.c_str() : "");
        gtk_misc_set_alignment(GTK_MISC(name), 0, 0.5);
        attach(table, name, 0, r);
        const double value =
            100.0 * (mole ? t.composition->mole[sz(id)] : t.composition->mass[sz(id)]);
        GtkWidget* spin =
            my_spinner(0, 100, 1, PERCENT_DIGITS, value,
                       mole ? G_CALLBACK(change_mole_proz) : G_CALLBACK(change_mass_proz), &t);
        g_object_set_data(G_OBJECT(spin), "component", GINT_TO_POINTER(i));
        named(spin, prefix + std::to_string(i));
        spinners.push_back(spin);
        attach(table, spin, 2, r);
        attach(table, gtk_label_new("%"), 3, r);
        GtkWidget* up = my_button("^", "Increase to 100% total",
                                  mole ? G_CALLBACK(increase_mole_to_100_clicked)
                                       : G_CALLBACK(increase_mass_to_100_clicked),
                                  &t);
        g_object_set_data(G_OBJECT(up), "component", GINT_TO_POINTER(i));
        named(up, std::string(prefix) + "_up" + std::to_string(i));
        attach(table, up, 5, r);
    }
    const auto last = static_cast<guint>(n + 3);
    gtk_table_attach(GTK_TABLE(table), gtk_hseparator_new(), 0, 6, last - 1, last, GTK_FILL,
                     GTK_FILL, 0, 2);
    GtkWidget* sum = my_entry();
    gtk_entry_set_width_chars(GTK_ENTRY(sum), 10);
    named(sum, std::string(prefix) + "_sum");
    (mole ? t.mole_sum : t.mass_sum) = sum;
    attach(table, sum, 2, last);
    attach(table, gtk_label_new("%"), 3, last);
    GtkWidget* eq =
        my_button("=", "Normalize to 100%",
                  mole ? G_CALLBACK(normalize_mol) : G_CALLBACK(normalize_mass_clicked), &t);
    named(eq, std::string(prefix) + "_normalize");
    attach(table, eq, 5, last);
    for (guint col : {1u, 4u})
        gtk_table_attach(GTK_TABLE(table), gtk_vseparator_new(), col, col + 1, 0, rows, GTK_FILL,
                         GTK_FILL, 2, 0);
    return table;
}

// ----- reference table -----------------------------------------------------

int row_of(GtkWidget* w) { return GPOINTER_TO_INT(g_object_get_data(G_OBJECT(w), "row")); }

void change_reference_value(GtkSpinButton* spin, gpointer data) {
    auto* t = static_cast<ReferenceTable*>(data);
    if (t->busy || t->reference == nullptr) return;
    const int row = row_of(GTK_WIDGET(spin));
    const int q = reference_rows[sz(row)].quantity;
    const double value = gtk_spin_button_get_value(spin);
    const double now = to_display(q, t->unit[sz(row)], reference_value(*t->reference, row));
    if (same_as_shown(value, now, REFERENCE_DIGITS)) return;
    set_reference_value(*t->reference, row, to_internal(q, t->unit[sz(row)], value));
    show_reference(*t);  // the liquid water's range follows the humidity
}

// A unit chosen beside a value: the value is shown converted into it.
void new_fluid_select_unit(GtkComboBox* combo, gpointer data) {
    auto* t = static_cast<ReferenceTable*>(data);
    if (t->busy) return;
    const int row = row_of(GTK_WIDGET(combo));
    const int unit = gtk_combo_box_get_active(combo);
    if (!valid_unit(reference_rows[sz(row)].quantity, unit)) return;
    t->unit[sz(row)] = unit;
    show_reference(*t);
}

}  // namespace

GtkWidget* composition_notebook(CompositionTables& t) {
    t.notebook = gtk_notebook_new();
    t.mole_page = gtk_vbox_new(FALSE, 0);
    t.mass_page = gtk_vbox_new(FALSE, 0);
    gtk_notebook_append_page(GTK_NOTEBOOK(t.notebook), t.mole_page,
                             gtk_label_new("Mole percentage"));
    gtk_notebook_append_page(GTK_NOTEBOOK(t.notebook), t.mass_page,
                             gtk_label_new("Mass percentage"));
    return t.notebook;
}

void build_proz_spinner_tables(CompositionTables& t) {
    if (t.table1 != nullptr) gtk_widget_destroy(t.table1);
    if (t.table2 != nullptr) gtk_widget_destroy(t.table2);
    t.table1 = t.table2 = nullptr;
    if (t.composition == nullptr || t.mole_page == nullptr) return;
    t.busy = true;
    t.table1 = proz_table(t, true);
    t.table2 = proz_table(t, false);
    t.busy = false;
    gtk_box_pack_start(GTK_BOX(t.mole_page), t.table1, FALSE, FALSE, 6);
    gtk_box_pack_start(GTK_BOX(t.mass_page), t.table2, FALSE, FALSE, 6);
    gtk_widget_show_all(t.notebook);
    show_composition(t);
}

void show_composition(CompositionTables& t) {
    if (t.composition == nullptr) return;
    const Composition& c = *t.composition;
    t.busy = true;
    for (std::size_t i = 0; i < c.fluid_ids.size(); ++i) {
        const int id = c.fluid_ids[i];
        if (i < t.mole_spinners.size())
            gtk_spin_button_set_value(GTK_SPIN_BUTTON(t.mole_spinners[i]), 100.0 * c.mole[sz(id)]);
        if (i < t.mass_spinners.size())
            gtk_spin_button_set_value(GTK_SPIN_BUTTON(t.mass_spinners[i]), 100.0 * c.mass[sz(id)]);
    }
    if (t.mole_sum != nullptr) setentry(t.mole_sum, "%8.4f", 100.0 * mole_sum(c));
    if (t.mass_sum != nullptr) setentry(t.mass_sum, "%8.4f", 100.0 * mass_sum(c));
    t.busy = false;
    if (t.changed) t.changed();
}

GtkWidget* build_relative_humidity_table(ReferenceTable& t) {
    GtkWidget* table = gtk_table_new(NUM_REF_ROWS, 3, FALSE);
    t.busy = true;
    for (int row = 0; row < NUM_REF_ROWS; ++row) {
        const ReferenceRowDef& def = reference_rows[sz(row)];
        const auto r = static_cast<guint>(row);
        attach(table, my_label(def.label), 0, r);
        t.unit[sz(row)] = unitdef[sz(def.quantity)].default_unit;
        GtkWidget* spin =
            my_spinner(0, 1, 1, REFERENCE_DIGITS, 0, G_CALLBACK(change_reference_value), &t);
        gtk_widget_set_size_request(spin, 110, -1);
        g_object_set_data(G_OBJECT(spin), "row", GINT_TO_POINTER(row));
        named(spin, "ref" + std::to_string(row));
        t.spinners[sz(row)] = spin;
        attach(table, spin, 1, r);
        std::vector<const char*> names;
        for (int u = 0; u < unit_count(def.quantity); ++u)
            names.push_back(unit_symbol(def.quantity, u));
        names.push_back(nullptr);
        GtkWidget* combo =
            my_combo(t.unit[sz(row)], names.data(), G_CALLBACK(new_fluid_select_unit), &t);
        g_object_set_data(G_OBJECT(combo), "row", GINT_TO_POINTER(row));
        named(combo, "ref_unit" + std::to_string(row));
        t.units[sz(row)] = combo;
        attach(table, combo, 2, r);
    }
    t.busy = false;
    show_reference(t);
    return table;
}

void show_reference(ReferenceTable& t) {
    if (t.reference == nullptr || t.spinners[0] == nullptr) return;
    t.busy = true;
    for (int row = 0; row < NUM_REF_ROWS; ++row) {
        const int q = reference_rows[sz(row)].quantity;
        const int unit = t.unit[sz(row)];
        const ValueRange range = reference_range_shown(row, unit, *t.reference);
        GtkSpinButton* spin = GTK_SPIN_BUTTON(t.spinners[sz(row)]);
        gtk_spin_button_set_range(spin, range.lo, range.hi);
        gtk_spin_button_set_value(spin, to_display(q, unit, reference_value(*t.reference, row)));
        if (gtk_combo_box_get_active(GTK_COMBO_BOX(t.units[sz(row)])) != unit)
            gtk_combo_box_set_active(GTK_COMBO_BOX(t.units[sz(row)]), unit);
    }
    gtk_widget_set_sensitive(t.spinners[REF_LIQUID], liquid_water_allowed(t.reference->rh));
    t.busy = false;
}

}  // namespace app::gui
