// Builders of the widgets that dialogs, the tree and the diagrams make in
// the same way everywhere.
#pragma once

#include <gtk/gtk.h>

namespace app::gui {

// A label with the text as markup, aligned left and vertically centred.
GtkWidget* my_label(const char* text);
// A frame; a title is shown as markup.
GtkWidget* my_frame(const char* title);
// A button with the label; handler on "clicked"; tooltip when given.
GtkWidget* my_button(const char* label, const char* tooltip, GCallback handler, gpointer data);
// A check button with the label, switched on; handler on "toggled".
GtkWidget* my_check_button(const char* label, const char* tooltip, GCallback handler,
                           gpointer data);
// A 20 x 20 button showing a 16 x 16 close picture; handler on
// "button_press_event"; tooltip when given.
GtkWidget* my_closebutton(GCallback handler, const char* tooltip, gpointer data);
// An event box showing the picture; handler on "button_press_event".
GtkWidget* my_littlebutton(GCallback handler, const char* tooltip, gpointer data,
                           GdkPixbuf* picture);
// A button that opens a menu on the mouse press itself: `handler` gets
// the press, and the keyboard's Space or Enter on the focused button as
// well (with a null event), so that the menu opens without a mouse.
using PressHandler = gboolean (*)(GtkWidget* button, GdkEventButton* event, gpointer data);
void on_press_or_keys(GtkWidget* button, PressHandler handler, gpointer data);
// Sets the tooltip when a text is given.
void my_tooltip(GtkWidget* widget, const char* text);
// A text entry that cannot be edited.
GtkWidget* my_entry();
// A non-editable entry, width + 2 characters, showing the value formatted
// (or "100.000 %" without a format).
GtkWidget* my_display_entry(int width, const char* format, double value);
// Sets the entry's text to the formatted value (a format without a
// conversion is shown as it is).
void setentry(GtkWidget* entry, const char* format, double value);
// A label with the formatted value, width request 100.
GtkWidget* numlabel(const char* unused, const char* format, double value);
// A spin button that the mouse wheel does not change; width request 85
// with 1 to 5 digits; handler on "value-changed". Typed text that is not a
// number keeps the old value (an "input" handler connected later decides
// instead).
GtkWidget* my_spinner(double minimum, double maximum, double step, int digits, double value,
                      GCallback handler, gpointer data);
// A combo box over a null-ended list of texts; handler on "changed".
GtkWidget* my_combo(int active, const char* const* texts, GCallback handler, gpointer data);
// A combo box over `count` texts with separator rows after entries 7 and
// 12; `separator` decides which rows are separators.
GtkWidget* my_combo2(int count, int active, const char* const* texts, GCallback handler,
                     gpointer data, GtkTreeViewRowSeparatorFunc separator);
// A text layout for the widget, in the font when given; width and height
// are its pixel size times the scale, rounded.
PangoLayout* create_layout_with_font(GtkWidget* widget, const char* text,
                                     const PangoFontDescription* font, double scale, int* width,
                                     int* height);
// Draws the layout at (x, y) scaled by the factor.
void show_scaled_layout_at(cairo_t* cr, PangoLayout* layout, double scale, double x, double y);

}  // namespace app::gui
