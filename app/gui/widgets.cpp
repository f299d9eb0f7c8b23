// Widget builders.
#include "app/gui/widgets.h"

#include "app/core/program/text_output.h"
#include "app/gui/gui.h"

#include <cmath>
#include <cstring>

namespace app::gui {
namespace {

// Consumes scroll events of spin buttons and combo boxes: the mouse wheel
// over a value must not change it.
gboolean swallow_scroll(GtkWidget*, GdkEventScroll*) { return TRUE; }

void override_scroll_handlers() {
    static bool done = false;
    if (done) return;
    done = true;
    auto* spin = static_cast<GtkWidgetClass*>(g_type_class_ref(GTK_TYPE_SPIN_BUTTON));
    spin->scroll_event = swallow_scroll;
    auto* combo = static_cast<GtkWidgetClass*>(g_type_class_ref(GTK_TYPE_COMBO_BOX));
    combo->scroll_event = swallow_scroll;
}

// Text in a spin button that is not one finite number as a whole (a field
// emptied, or letters typed over its selected value, which a numeric field
// refuses; "12,5" where the field takes any text) keeps the value the
// button had: GTK would read the number the text begins with, or 0.
gint keep_value_unless_number(GtkSpinButton* spin, gdouble* value, gpointer) {
    const gchar* text = gtk_entry_get_text(GTK_ENTRY(spin));
    gchar* end = nullptr;
    const double typed = g_strtod(text, &end);
    bool whole = end != nullptr && end != text && std::isfinite(typed);
    for (; whole && *end != '\0'; ++end) whole = g_ascii_isspace(*end) != 0;
    *value = whole ? typed : gtk_spin_button_get_value(spin);
    return TRUE;
}

std::string formatted(const char* format, double value) {
    if (format == nullptr) return "100.000 %";
    if (std::strchr(format, '%') == nullptr) return format;
        // The formats are the program's own (its value tables), never user text.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    return format_text(format, value);
#pragma GCC diagnostic pop
}

}  // namespace

GtkWidget* my_label(const char* text) {
    GtkWidget* label = gtk_label_new(nullptr);
    gtk_label_set_markup(GTK_LABEL(label), text != nullptr ? text : "");
    gtk_misc_set_alignment(GTK_MISC(label), 0.0F, 0.5F);
    return label;
}

GtkWidget* my_frame(const char* title) {
    GtkWidget* frame = gtk_frame_new(nullptr);
    if (title != nullptr) gtk_frame_set_label_widget(GTK_FRAME(frame), my_label(title));
    return frame;
}

void my_tooltip(GtkWidget* widget, const char* text) {
    if (text != nullptr) gtk_widget_set_tooltip_text(widget, text);
}

GtkWidget* my_button(const char* label, const char* tooltip, GCallback handler, gpointer data) {
    GtkWidget* button = gtk_button_new_with_label(label);
    if (handler != nullptr) g_signal_connect(button, "clicked", handler, data);
    my_tooltip(button, tooltip);
    return button;
}

GtkWidget* my_check_button(const char* label, const char* tooltip, GCallback handler,
                           gpointer data) {
    GtkWidget* button = gtk_check_button_new_with_label(label);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(button), TRUE);
    if (handler != nullptr) g_signal_connect(button, "toggled", handler, data);
    my_tooltip(button, tooltip);
    return button;
}

GtkWidget* my_closebutton(GCallback handler, const char* tooltip, gpointer data) {
    GtkWidget* button = gtk_button_new();
    gtk_button_set_relief(GTK_BUTTON(button), GTK_RELIEF_NONE);
    gtk_button_set_focus_on_click(GTK_BUTTON(button), FALSE);
    gtk_widget_set_size_request(button, 20, 20);
    GdkPixbuf* picture = draw_icon("kvr-close", 16);
    GtkWidget* image = gtk_image_new_from_pixbuf(picture);
    if (picture != nullptr) g_object_unref(picture);
    gtk_container_add(GTK_CONTAINER(button), image);
    if (handler != nullptr) g_signal_connect(button, "button_press_event", handler, data);
    my_tooltip(button, tooltip);
    gtk_widget_show_all(button);
    return button;
}

namespace {

struct PressBinding {
    PressHandler handler;
    gpointer data;
};

void key_activated(GtkButton* button, gpointer binding) {
    const auto* b = static_cast<const PressBinding*>(binding);
    b->handler(GTK_WIDGET(button), nullptr, b->data);
}

}  // namespace

void on_press_or_keys(GtkWidget* button, PressHandler handler, gpointer data) {
    g_signal_connect(button, "button-press-event", G_CALLBACK(handler), data);
    g_signal_connect_data(
        button, "activate", G_CALLBACK(key_activated), new PressBinding{handler, data},
        [](gpointer binding, GClosure*) { delete static_cast<PressBinding*>(binding); },
        static_cast<GConnectFlags>(0));
}

GtkWidget* my_littlebutton(GCallback handler, const char* tooltip, gpointer data,
                           GdkPixbuf* picture) {
    GtkWidget* box = gtk_event_box_new();
    gtk_container_add(GTK_CONTAINER(box), gtk_image_new_from_pixbuf(picture));
    if (handler != nullptr) g_signal_connect(box, "button_press_event", handler, data);
    my_tooltip(box, tooltip);
    return box;
}

GtkWidget* my_entry() {
    GtkWidget* entry = gtk_entry_new();
    gtk_editable_set_editable(GTK_EDITABLE(entry), FALSE);
    return entry;
}

GtkWidget* my_display_entry(int width, const char* format, double value) {
    GtkWidget* entry = my_entry();
    gtk_entry_set_width_chars(GTK_ENTRY(entry), width + 2);
    gtk_entry_set_text(GTK_ENTRY(entry), formatted(format, value).c_str());
    return entry;
}

void setentry(GtkWidget* entry, const char* format, double value) {
    gtk_entry_set_text(GTK_ENTRY(entry), formatted(format, value).c_str());
}

GtkWidget* numlabel(const char*, const char* format, double value) {
    GtkWidget* label = gtk_label_new(formatted(format, value).c_str());
    gtk_widget_set_size_request(label, 100, -1);
    return label;
}

GtkWidget* my_spinner(double minimum, double maximum, double step, int digits, double value,
                      GCallback handler, gpointer data) {
    override_scroll_handlers();
    GtkWidget* spin = gtk_spin_button_new_with_range(minimum, maximum, step);
    if (digits >= 1) gtk_spin_button_set_digits(GTK_SPIN_BUTTON(spin), static_cast<guint>(digits));
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(spin), value);
    if (digits >= 1 && digits <= 5) gtk_widget_set_size_request(spin, 85, -1);
    g_signal_connect(spin, "input", G_CALLBACK(keep_value_unless_number), nullptr);
    if (handler != nullptr) g_signal_connect(spin, "value-changed", handler, data);
    return spin;
}

GtkWidget* my_combo(int active, const char* const* texts, GCallback handler, gpointer data) {
    override_scroll_handlers();
    GtkWidget* combo = gtk_combo_box_new_text();
    for (int i = 0; texts != nullptr && texts[i] != nullptr; ++i)
        gtk_combo_box_append_text(GTK_COMBO_BOX(combo), texts[i]);
    gtk_combo_box_set_active(GTK_COMBO_BOX(combo), active);
    if (handler != nullptr) g_signal_connect(combo, "changed", handler, data);
    return combo;
}

GtkWidget* my_combo2(int count, int active, const char* const* texts, GCallback handler,
                     gpointer data, GtkTreeViewRowSeparatorFunc separator) {
    override_scroll_handlers();
    GtkListStore* store = gtk_list_store_new(2, G_TYPE_STRING, G_TYPE_INT);
    GtkTreeIter iter;
    for (int i = 0; i < count; ++i) {
        gtk_list_store_append(store, &iter);
        gtk_list_store_set(store, &iter, 0, texts[i], 1, i, -1);
        if (i == 7 || i == 12) {
            gtk_list_store_append(store, &iter);
            gtk_list_store_set(store, &iter, 0, "", 1, -1, -1);
        }
    }
    GtkWidget* combo = gtk_combo_box_new_with_model(GTK_TREE_MODEL(store));
    g_object_unref(store);
    GtkCellRenderer* cell = gtk_cell_renderer_text_new();
    gtk_cell_layout_pack_start(GTK_CELL_LAYOUT(combo), cell, TRUE);
    gtk_cell_layout_set_attributes(GTK_CELL_LAYOUT(combo), cell, "text", 0, nullptr);
    if (separator != nullptr)
        gtk_combo_box_set_row_separator_func(GTK_COMBO_BOX(combo), separator, nullptr, nullptr);
    gtk_combo_box_set_active(GTK_COMBO_BOX(combo), active);
    if (handler != nullptr) g_signal_connect(combo, "changed", handler, data);
    return combo;
}

PangoLayout* create_layout_with_font(GtkWidget* widget, const char* text,
                                     const PangoFontDescription* font, double scale, int* width,
                                     int* height) {
    PangoLayout* layout = gtk_widget_create_pango_layout(widget, text);
    if (font != nullptr) pango_layout_set_font_description(layout, font);
    int w = 0;
    int h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    if (width != nullptr) *width = static_cast<int>(std::lround(w * scale));
    if (height != nullptr) *height = static_cast<int>(std::lround(h * scale));
    return layout;
}

void show_scaled_layout_at(cairo_t* cr, PangoLayout* layout, double scale, double x, double y) {
    cairo_save(cr);
    cairo_move_to(cr, x, y);
    cairo_scale(cr, scale, scale);
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
}

}  // namespace app::gui
