// "Curve Properties": line and point styles of the current diagram's
// process curves, one curve at a time.
#include "app/core/model/tools.h"
#include "app/gui/diagram_actions.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/widgets.h"

#include <glib.h>

#include <string>
#include <vector>

namespace app::gui {

namespace {

constexpr const char* LINE_STYLES[] = {
    "____________", "_ _ _ _ _ _ ", "__  __  __  ", "___   ___   ", "__ __ __ __ ", "___ ___ ___ ",
    "____  ____  ", "_____ _____ ", "___ _ ___ _ ", "______ -----", nullptr};
constexpr const char* POINT_STYLES[] = {
    "None", "Circle",      "Square",        "Diamond",       "Plus",           "X",
    "Star", "Triangle Up", "Triangle Down", "Triangle Left", "Triangle Right", nullptr};

struct CurveDialog {
    Graph* graph = nullptr;
    int current = 0;  // the curve being edited
    bool configuring = false;
    std::vector<GtkWidget*> toggles;
    GtkWidget *line_width = nullptr, *line_style = nullptr, *line_color = nullptr;
    GtkWidget *dot_style = nullptr, *dot_size = nullptr, *dot_color = nullptr;
    GtkWidget *small_style = nullptr, *small_size = nullptr, *small_color = nullptr;
};

void set_color(GtkWidget* button, const Color& c) {
    GdkColor g{c.pixel, c.red, c.green, c.blue};
    gtk_color_button_set_color(GTK_COLOR_BUTTON(button), &g);
}

Color color_of(GtkWidget* button) {
    GdkColor c;
    gtk_color_button_get_color(GTK_COLOR_BUTTON(button), &c);
    return Color{c.pixel, c.red, c.green, c.blue};
}

void spin(GtkWidget* w, double v) { gtk_spin_button_set_value(GTK_SPIN_BUTTON(w), v); }
void combo(GtkWidget* w, int i) { gtk_combo_box_set_active(GTK_COMBO_BOX(w), i); }

void configure_curveproperties(CurveDialog& d) {
    d.configuring = true;
    for (std::size_t i = 0; i < d.toggles.size(); ++i)
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(d.toggles[i]),
                                     static_cast<int>(i) == d.current);
    const CurveStyle& st = d.graph->curve_style[sz(d.current)];
    spin(d.line_width, st.line_width);
    combo(d.line_style, st.line_style);
    set_color(d.line_color, st.line_color);
    combo(d.dot_style, st.dot_style);
    spin(d.dot_size, st.dot_size);
    set_color(d.dot_color, st.dot_color);
    combo(d.small_style, st.small_dot_style);
    spin(d.small_size, st.small_dot_size);
    set_color(d.small_color, st.small_dot_color);
    d.configuring = false;
}

void readout_curveproperties(const CurveDialog& d) {
    CurveStyle& st = d.graph->curve_style[sz(d.current)];
    st.line_width = gtk_spin_button_get_value(GTK_SPIN_BUTTON(d.line_width));
    st.line_style = gtk_combo_box_get_active(GTK_COMBO_BOX(d.line_style));
    st.line_color = color_of(d.line_color);
    st.dot_style = gtk_combo_box_get_active(GTK_COMBO_BOX(d.dot_style));
    st.dot_size = gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(d.dot_size));
    st.dot_color = color_of(d.dot_color);
    st.small_dot_style = gtk_combo_box_get_active(GTK_COMBO_BOX(d.small_style));
    st.small_dot_size = gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(d.small_size));
    st.small_dot_color = color_of(d.small_color);
}

void changecurve(GtkToggleButton* button, gpointer data) {
    auto* d = static_cast<CurveDialog*>(data);
    if (d->configuring) return;
    for (std::size_t i = 0; i < d->toggles.size(); ++i)
        if (d->toggles[i] == GTK_WIDGET(button)) d->current = static_cast<int>(i);
    configure_curveproperties(*d);
}

GtkWidget* row_table(std::initializer_list<std::pair<const char*, GtkWidget*>> rows) {
    GtkWidget* table = gtk_table_new(static_cast<guint>(rows.size()), 2, FALSE);
    const auto fill = static_cast<GtkAttachOptions>(GTK_FILL);
    guint r = 0;
    for (const auto& [label, widget] : rows) {
        gtk_table_attach(GTK_TABLE(table), my_label(label), 0, 1, r, r + 1, fill, fill, 4, 2);
        gtk_table_attach(GTK_TABLE(table), widget, 1, 2, r, r + 1, fill, fill, 4, 2);
        ++r;
    }
    return table;
}

GtkWidget* framed(const char* title, GtkWidget* child) {
    GtkWidget* frame = my_frame(title);
    gtk_container_add(GTK_CONTAINER(frame), child);
    return frame;
}

GtkWidget* curve_list(CurveDialog& d) {
    GtkWidget* list = gtk_vbox_new(FALSE, 0);
    for (int c = 0; c < d.graph->az_curves && c < MAX_CURVES; ++c) {
        const Process* process = d.graph->curves[sz(c)];
        gchar* base = g_path_get_basename(process != nullptr ? process->name.c_str() : "");
        gchar* text = g_strdup_printf("Process %2d:%s", c, base);
        GtkWidget* toggle = gtk_toggle_button_new_with_label(text);
        g_free(text);
        g_free(base);
        d.toggles.push_back(toggle);
        gtk_box_pack_start(GTK_BOX(list), toggle, FALSE, FALSE, 0);
        g_signal_connect(toggle, "toggled", G_CALLBACK(changecurve), &d);
    }
    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER,
                                   GTK_POLICY_AUTOMATIC);
    gtk_scrolled_window_add_with_viewport(GTK_SCROLLED_WINDOW(scrolled), list);
    gtk_widget_set_size_request(scrolled, 280, 300);
    gtk_widget_set_name(list, "curve_list");
    return framed(nullptr, scrolled);
}

GtkWidget* style_widgets(CurveDialog& d) {
    GtkWidget* box = gtk_vbox_new(FALSE, 4);
    d.line_width = my_spinner(1, 10, 1, 0, 1, nullptr, nullptr);
    d.line_style = my_combo(0, LINE_STYLES, nullptr, nullptr);
    d.line_color = gtk_color_button_new();
    d.dot_style = my_combo(0, POINT_STYLES, nullptr, nullptr);
    d.dot_size = my_spinner(1, 10, 1, 0, 1, nullptr, nullptr);
    d.dot_color = gtk_color_button_new();
    d.small_style = my_combo(0, POINT_STYLES, nullptr, nullptr);
    d.small_size = my_spinner(1, 10, 1, 0, 1, nullptr, nullptr);
    d.small_color = gtk_color_button_new();
    gtk_widget_set_name(d.line_width, "line_width");
    gtk_widget_set_name(d.line_style, "line_style");
    gtk_widget_set_name(d.dot_style, "dot_style");
    gtk_box_pack_start(GTK_BOX(box),
                       framed("<b>Line settings</b>", row_table({{"Line width:", d.line_width},
                                                                 {"Line style:", d.line_style},
                                                                 {"Line color:", d.line_color}})),
                       FALSE, FALSE, 2);
    gtk_box_pack_start(
        GTK_BOX(box),
        framed("<b>Point settings start/End</b>", row_table({{"Point style:", d.dot_style},
                                                             {"Point size:", d.dot_size},
                                                             {"Point color:", d.dot_color}})),
        FALSE, FALSE, 2);
    gtk_box_pack_start(
        GTK_BOX(box),
        framed("<b>Point settings steps</b>", row_table({{"Point style:", d.small_style},
                                                         {"Point size:", d.small_size},
                                                         {"Point color:", d.small_color}})),
        FALSE, FALSE, 2);
    return box;
}

}  // namespace

void curve_settings_dialog(int process) {
    Graph* graph = current_diagram();
    if (graph == nullptr) return;
    CurveDialog d;
    d.graph = graph;
    const Project* p = graph->project;
    if (p != nullptr && process >= 0 && process < p->az_processes)
        for (int c = 0; c < graph->az_curves && c < MAX_CURVES; ++c)
            if (graph->curves[sz(c)] == p->processes[sz(process)]) d.current = c;
    GtkWidget* dialog = gtk_dialog_new_with_buttons(
        "Curve Properties", GTK_WINDOW(ui.mainwindow),
        static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
        GTK_STOCK_OK, GTK_RESPONSE_OK, GTK_STOCK_APPLY, GTK_RESPONSE_APPLY, GTK_STOCK_CANCEL,
        GTK_RESPONSE_CANCEL, nullptr);
    GtkWidget* row = gtk_hbox_new(FALSE, 6);
    gtk_box_pack_start(GTK_BOX(row), curve_list(d), TRUE, TRUE, 2);
    gtk_box_pack_start(GTK_BOX(row), style_widgets(d), FALSE, FALSE, 2);
    gtk_box_pack_start(GTK_BOX(GTK_DIALOG(dialog)->vbox), row, TRUE, TRUE, 0);
    configure_curveproperties(d);
    gtk_widget_show_all(row);
    for (;;) {
        const int response = run_dialog(GTK_DIALOG(dialog));
        if (response == GTK_RESPONSE_OK || response == GTK_RESPONSE_APPLY) {
            if (graph->az_curves > 0) readout_curveproperties(d);
            diagram_changed(graph);
            if (response == GTK_RESPONSE_OK) break;
        } else if (response == GTK_RESPONSE_CANCEL || response == GTK_RESPONSE_DELETE_EVENT ||
                   response == GTK_RESPONSE_NONE) {
            break;
        }
    }
    gtk_widget_destroy(dialog);
}

}  // namespace app::gui
