// The Set Theme dialog (tests look at its widgets).
#pragma once

#include <gtk/gtk.h>

#include <string>
#include <vector>

namespace app::gui {

struct ThemeDialog {
    GtkWidget* dialog = nullptr;
    GtkWidget* gui_appear_treeview = nullptr;  // the theme list
    GtkWidget* default_font_radio = nullptr;   // "Use theme default font"
    GtkWidget* custom_font_radio = nullptr;    // "Use custom font:"
    GtkWidget* gui_appear_fontsel = nullptr;   // the font button
    std::vector<std::string> themes;           // the list's rows
    std::string orig_theme;                    // theme and font when the dialog opened
    std::string orig_font;
};

// The open dialog, or null.
ThemeDialog* theme_dialog();
// The dialog's "response" handler.
void appearance_response(GtkDialog* dialog, gint response, gpointer data);
// Writes the theme file for the pair, makes the toolkit read it again and
// lets the window repaint. False (with a message) when the file cannot be
// written.
bool apply_theme(const std::string& theme, const std::string& font);

}  // namespace app::gui
