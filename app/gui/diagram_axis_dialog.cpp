// "Axis Properties": range, tick step and unit of the current diagram's
// two axes, and the look of axis line, label, ticks, tick labels and grid.
// OK and Apply refuse (with a message, the dialog left open) a range that
// cannot be drawn; the checks are those of app/diagrams/settings_values.h.
#include "app/core/model/units.h"
#include "app/diagrams/settings_values.h"
#include "app/gui/diagram_actions.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/widgets.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace app::gui {

namespace {

constexpr double RANGE_LIMIT = 1e99;
constexpr double STEP_MIN = 0.001, STEP_MAX = 100000;
constexpr int RANGE_DIGITS = 4;
// Width of the start, end and step spinners: "-12345.6789" shows whole.
constexpr int RANGE_SPIN_WIDTH = 130;

// Start and end values from this size on show in exponent form, which the
// spin button reads back as typed.
constexpr double RANGE_PLAIN_LIMIT = 1e8;

// The spin button's text of a start or end value: plain with four decimals
// up to RANGE_PLAIN_LIMIT, else in exponent form ("1e+99"), so that it
// fits the field.
gboolean range_output(GtkSpinButton* spin, gpointer) {
    const double v = gtk_adjustment_get_value(gtk_spin_button_get_adjustment(spin));
    if (std::fabs(v) < RANGE_PLAIN_LIMIT) return FALSE;
    char text[32];
    std::snprintf(text, sizeof text, "%.8g", v);
    if (std::strcmp(text, gtk_entry_get_text(GTK_ENTRY(spin))) != 0)
        gtk_entry_set_text(GTK_ENTRY(spin), text);
    return TRUE;
}

// A value of the dialog in the axis's base unit; while its spin button
// shows the text the dialog wrote, the exact base value is kept (the spin
// button's rounding to four decimals is not taken for an edit).
struct Field {
    GtkWidget* spin = nullptr;
    double base = 0;
    std::string written;
};

struct AxisPage {
    Axis* axis = nullptr;
    const char* name = "X";
    bool has_range = true;
    int unit = 0;  // selected in the dialog
    GtkWidget* unit_combo = nullptr;
    Field start, end, step;
    GtkWidget* unit_labels[3] = {};
    GtkWidget *line_width = nullptr, *arrow_size = nullptr, *line_color = nullptr;
    GtkWidget *label_font = nullptr, *label_color = nullptr;
    GtkWidget *tick_length = nullptr, *tick_width = nullptr, *tick_color = nullptr;
    GtkWidget *tick_font = nullptr, *digits = nullptr, *tick_label_color = nullptr;
    GtkWidget *grid_width = nullptr, *grid_color = nullptr;
};

GdkColor gdk_of(const Color& c) { return GdkColor{c.pixel, c.red, c.green, c.blue}; }
Color color_of(GtkWidget* button) {
    GdkColor c;
    gtk_color_button_get_color(GTK_COLOR_BUTTON(button), &c);
    return Color{c.pixel, c.red, c.green, c.blue};
}

GtkWidget* color_button(const Color& c) {
    GdkColor g = gdk_of(c);
    return gtk_color_button_new_with_color(&g);
}

GtkWidget* font_button(const std::string& font) {
    return gtk_font_button_new_with_font(font.empty() ? "sans medium 10" : font.c_str());
}

GtkWidget* small_spin(double value, double min = 1, double max = 10) {
    return my_spinner(min, max, 1, 0, value, nullptr, nullptr);
}

double shown_of(const AxisPage& p, const Field& f, bool is_step) {
    return is_step ? diagrams::shown_step(*p.axis, p.unit, f.base)
                   : diagrams::shown_value(*p.axis, p.unit, f.base);
}

void write_field(const AxisPage& p, Field& f, bool is_step) {
    if (f.spin == nullptr) return;
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(f.spin), shown_of(p, f, is_step));
    f.written = gtk_entry_get_text(GTK_ENTRY(f.spin));
}

// The field's value in the base unit: the exact value while untouched.
double read_field(const AxisPage& p, const Field& f, bool is_step) {
    if (f.spin == nullptr) return f.base;
    if (f.written == gtk_entry_get_text(GTK_ENTRY(f.spin))) return f.base;
    gtk_spin_button_update(GTK_SPIN_BUTTON(f.spin));
    const double v = gtk_spin_button_get_value(GTK_SPIN_BUTTON(f.spin));
    return is_step ? diagrams::base_step(*p.axis, p.unit, v)
                   : diagrams::base_value(*p.axis, p.unit, v);
}

void show_unit_symbols(const AxisPage& p) {
    const char* symbol = unit_symbol(p.axis->unit_quantity, p.unit);
    for (GtkWidget* label : p.unit_labels)
        if (label != nullptr) gtk_label_set_text(GTK_LABEL(label), symbol);
}

// Unit change: the values read with the old unit, shown in the new one.
void select_unit(GtkComboBox* combo, gpointer data) {
    auto* p = static_cast<AxisPage*>(data);
    const int unit = gtk_combo_box_get_active(combo);
    if (unit < 0 || unit == p->unit) return;
    p->start.base = read_field(*p, p->start, false);
    p->end.base = read_field(*p, p->end, false);
    p->step.base = read_field(*p, p->step, true);
    p->unit = unit;
    show_unit_symbols(*p);
    write_field(*p, p->start, false);
    write_field(*p, p->end, false);
    write_field(*p, p->step, true);
}

void attach_row(GtkWidget* table, guint row, const char* label, GtkWidget* widget,
                GtkWidget* unit = nullptr) {
    const auto fill = static_cast<GtkAttachOptions>(GTK_FILL);
    gtk_table_attach(GTK_TABLE(table), my_label(label), 0, 1, row, row + 1, fill, fill, 4, 2);
    gtk_table_attach(GTK_TABLE(table), widget, 1, 2, row, row + 1, fill, fill, 4, 2);
    if (unit != nullptr)
        gtk_table_attach(GTK_TABLE(table), unit, 2, 3, row, row + 1, fill, fill, 4, 2);
}

GtkWidget* framed(const char* title, GtkWidget* table) {
    GtkWidget* frame = my_frame(title);
    gtk_container_add(GTK_CONTAINER(frame), table);
    return frame;
}

GtkWidget* unit_label(const AxisPage& p) {
    GtkWidget* l = gtk_label_new(unit_symbol(p.axis->unit_quantity, p.unit));
    return l;
}

void name_widget(GtkWidget* w, const AxisPage& p, const char* what) {
    const std::string n = std::string(p.name[0] == 'X' ? "x_" : "y_") + what;
    gtk_widget_set_name(w, n.c_str());
}

GtkWidget* axis_and_label_page(AxisPage& p) {
    const Axis& a = *p.axis;
    GtkWidget* box = gtk_vbox_new(FALSE, 4);
    GtkWidget* t1 = gtk_table_new(3, 2, FALSE);
    p.line_width = small_spin(a.line_width);
    p.arrow_size = small_spin(a.arrow_size);
    p.line_color = color_button(a.line_color);
    attach_row(t1, 0, "Line width:", p.line_width);
    attach_row(t1, 1, "Arrow size:", p.arrow_size);
    attach_row(t1, 2, "Color:", p.line_color);
    GtkWidget* t2 = gtk_table_new(2, 2, FALSE);
    p.label_font = font_button(a.label_font);
    p.label_color = color_button(a.label_color);
    attach_row(t2, 0, "Font:", p.label_font);
    attach_row(t2, 1, "Color:", p.label_color);
    gtk_box_pack_start(GTK_BOX(box), framed("<b>Axis</b>", t1), FALSE, FALSE, 2);
    gtk_box_pack_start(GTK_BOX(box), framed("<b>Label</b>", t2), FALSE, FALSE, 2);
    return box;
}

GtkWidget* ticks_and_grid_page(AxisPage& p) {
    const Axis& a = *p.axis;
    const bool x = p.name[0] == 'X';
    GtkWidget* box = gtk_vbox_new(FALSE, 4);
    GtkWidget* t1 = gtk_table_new(1, 3, FALSE);
    p.step.spin = my_spinner(STEP_MIN, STEP_MAX, 0.1, RANGE_DIGITS, 0, nullptr, nullptr);
    gtk_widget_set_size_request(p.step.spin, RANGE_SPIN_WIDTH, -1);
    name_widget(p.step.spin, p, "step");
    p.unit_labels[2] = unit_label(p);
    attach_row(t1, 0, x ? "Step width:" : "Step:", p.step.spin, p.unit_labels[2]);
    GtkWidget* t2 = gtk_table_new(3, 2, FALSE);
    p.tick_length = small_spin(a.tick_length);
    p.tick_width = small_spin(a.tick_width);
    p.tick_color = color_button(a.tick_color);
    attach_row(t2, 0, "Length:", p.tick_length);
    attach_row(t2, 1, "Width:", p.tick_width);
    attach_row(t2, 2, "Color:", p.tick_color);
    GtkWidget* t3 = gtk_table_new(3, 2, FALSE);
    p.tick_font = font_button(a.tick_font);
    p.digits = small_spin(a.digits, 0, 10);
    p.tick_label_color = color_button(a.tick_label_color);
    attach_row(t3, 0, x ? "Font:" : "Label Font:", p.tick_font);
    attach_row(t3, 1, "Digits:", p.digits);
    attach_row(t3, 2, "Color:", p.tick_label_color);
    GtkWidget* t4 = gtk_table_new(2, 2, FALSE);
    p.grid_width = small_spin(a.grid_width);
    p.grid_color = color_button(a.grid_color);
    attach_row(t4, 0, "Width:", p.grid_width);
    attach_row(t4, 1, "Color:", p.grid_color);
    gtk_box_pack_start(GTK_BOX(box), framed("<b>Distribution</b>", t1), FALSE, FALSE, 2);
    gtk_box_pack_start(GTK_BOX(box), framed("<b>Tick lines</b>", t2), FALSE, FALSE, 2);
    gtk_box_pack_start(GTK_BOX(box), framed(x ? "<b>Tick label</b>" : "<b>Tick labels</b>", t3),
                       FALSE, FALSE, 2);
    gtk_box_pack_start(GTK_BOX(box), framed(x ? "<b>Grid</b>" : "<b>Grid lines</b>", t4), FALSE,
                       FALSE, 2);
    return box;
}

GtkWidget* axis_page(AxisPage& p) {
    const Axis& a = *p.axis;
    p.unit = valid_unit(a.unit_quantity, a.unit) ? a.unit : 0;
    p.start.base = a.min_pos;
    p.end.base = a.max_pos;
    p.step.base = a.step;
    GtkWidget* box = gtk_vbox_new(FALSE, 4);
    gchar* title = g_markup_printf_escaped("<b>%s</b>", a.label.c_str());
    gtk_box_pack_start(GTK_BOX(box), my_label(title), FALSE, FALSE, 4);
    g_free(title);
    GtkWidget* table = gtk_table_new(3, 3, FALSE);
    p.unit_combo = gtk_combo_box_new_text();
    for (int u = 0; u < unit_count(a.unit_quantity); ++u)
        gtk_combo_box_append_text(GTK_COMBO_BOX(p.unit_combo), unit_symbol(a.unit_quantity, u));
    gtk_combo_box_set_active(GTK_COMBO_BOX(p.unit_combo), p.unit);
    name_widget(p.unit_combo, p, "unit");
    attach_row(table, 0, "Unit:", p.unit_combo);
    if (p.has_range) {
        for (Field* f : {&p.start, &p.end}) {
            f->spin = my_spinner(-RANGE_LIMIT, RANGE_LIMIT, 1, RANGE_DIGITS, 0, nullptr, nullptr);
            gtk_widget_set_size_request(f->spin, RANGE_SPIN_WIDTH, -1);
            gtk_spin_button_set_numeric(GTK_SPIN_BUTTON(f->spin), FALSE);  // "1e+99"
            g_signal_connect(f->spin, "output", G_CALLBACK(range_output), nullptr);
        }
        name_widget(p.start.spin, p, "start");
        name_widget(p.end.spin, p, "end");
        p.unit_labels[0] = unit_label(p);
        p.unit_labels[1] = unit_label(p);
        attach_row(table, 1, "Start:", p.start.spin, p.unit_labels[0]);
        attach_row(table, 2, "End:", p.end.spin, p.unit_labels[1]);
    }
    gtk_box_pack_start(GTK_BOX(box), table, FALSE, FALSE, 2);
    GtkWidget* inner = gtk_notebook_new();
    gtk_notebook_append_page(GTK_NOTEBOOK(inner), axis_and_label_page(p),
                             my_label("<b>Axis &amp; Label</b>"));
    gtk_notebook_append_page(GTK_NOTEBOOK(inner), ticks_and_grid_page(p),
                             my_label("<b>Ticks &amp; Grid</b>"));
    gtk_box_pack_start(GTK_BOX(box), inner, TRUE, TRUE, 2);
    write_field(p, p.start, false);
    write_field(p, p.end, false);
    write_field(p, p.step, true);
    g_signal_connect(p.unit_combo, "changed", G_CALLBACK(select_unit), &p);
    return box;
}

int spin_int(GtkWidget* spin) { return gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(spin)); }
double spin_value(GtkWidget* spin) { return gtk_spin_button_get_value(GTK_SPIN_BUTTON(spin)); }

// Why the page's range cannot be taken, or "".
std::string refusal_of(const AxisPage& p) {
    const double start = read_field(p, p.start, false);
    const double end = read_field(p, p.end, false);
    const double step = read_field(p, p.step, true);
    return diagrams::axis_range_refusal(*p.axis, p.name, p.unit, start, end, step);
}

void readout_axisproperties(const AxisPage& p) {
    Axis& a = *p.axis;
    if (p.has_range) {
        a.min_pos = read_field(p, p.start, false);
        a.max_pos = read_field(p, p.end, false);
    }
    a.step = read_field(p, p.step, true);
    a.tick_length = spin_int(p.tick_length);
    a.tick_width = spin_int(p.tick_width);
    a.arrow_size = spin_int(p.arrow_size);
    a.digits = spin_int(p.digits);
    a.grid_width = spin_value(p.grid_width);
    a.line_width = spin_value(p.line_width);
    a.unit = p.unit;
    a.line_color = color_of(p.line_color);
    a.label_color = color_of(p.label_color);
    a.tick_color = color_of(p.tick_color);
    a.tick_label_color = color_of(p.tick_label_color);
    a.grid_color = color_of(p.grid_color);
    a.label_font = gtk_font_button_get_font_name(GTK_FONT_BUTTON(p.label_font));
    a.tick_font = gtk_font_button_get_font_name(GTK_FONT_BUTTON(p.tick_font));
}

// The page whose values written back after the other one changed them
// show the exact base values again.
void rewrite(AxisPage& p) {
    p.start.base = p.axis->min_pos;
    p.end.base = p.axis->max_pos;
    p.step.base = p.axis->step;
    write_field(p, p.start, false);
    write_field(p, p.end, false);
    write_field(p, p.step, true);
}

}  // namespace

void configure_axis_x_or_y(int page) {
    Graph* graph = current_diagram();
    if (graph == nullptr) return;
    GtkWidget* dialog = gtk_dialog_new_with_buttons(
        "Axis Properties", GTK_WINDOW(ui.mainwindow),
        static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
        GTK_STOCK_OK, GTK_RESPONSE_OK, GTK_STOCK_APPLY, GTK_RESPONSE_APPLY, GTK_STOCK_CANCEL,
        GTK_RESPONSE_CANCEL, nullptr);
    AxisPage pages[2];
    pages[0].axis = &graph->x_axis;
    pages[0].name = "X";
    pages[0].has_range = graph->type != 5;
    pages[1].axis = &graph->y_axis;
    pages[1].name = "Y";
    GtkWidget* book = gtk_notebook_new();
    gtk_notebook_append_page(GTK_NOTEBOOK(book), axis_page(pages[0]), my_label("<b>X Axis</b>"));
    gtk_notebook_append_page(GTK_NOTEBOOK(book), axis_page(pages[1]), my_label("<b>Y Axis</b>"));
    gtk_widget_set_name(book, "axis_pages");
    gtk_box_pack_start(GTK_BOX(GTK_DIALOG(dialog)->vbox), book, TRUE, TRUE, 0);
    gtk_widget_show_all(book);
    gtk_notebook_set_current_page(GTK_NOTEBOOK(book), page == 1 ? 1 : 0);
    for (;;) {
        const int response = run_dialog(GTK_DIALOG(dialog));
        if (response != GTK_RESPONSE_OK && response != GTK_RESPONSE_APPLY) {
            if (response == GTK_RESPONSE_CANCEL || response == GTK_RESPONSE_DELETE_EVENT ||
                response == GTK_RESPONSE_NONE)
                break;
            continue;
        }
        std::string why = refusal_of(pages[0]);
        if (why.empty()) why = refusal_of(pages[1]);
        if (!why.empty()) {
            show_error(why);
            continue;
        }
        for (AxisPage& p : pages) readout_axisproperties(p);
        for (AxisPage& p : pages) rewrite(p);
        diagram_changed(graph);
        if (response == GTK_RESPONSE_OK) break;
    }
    gtk_widget_destroy(dialog);
}

}  // namespace app::gui
