// Set Theme: the toolkit theme and the font of the whole program, written
// to the theme file and read again at once.
#include "app/gui/theme_dialog.h"

#include "app/core/files/theme_file.h"
#include "app/core/program/kvr.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"
#include "app/gui/widgets.h"

#include <algorithm>
#include <memory>

namespace app::gui {
namespace {

std::unique_ptr<ThemeDialog> open_dialog;

std::string current_theme_name() {
    gchar* name = nullptr;
    g_object_get(gtk_settings_get_default(), "gtk-theme-name", &name, nullptr);
    std::string out = name != nullptr ? name : "";
    g_free(name);
    return out;
}

std::string current_font() {
    GtkStyle* style = gtk_rc_get_style(ui.mainwindow);
    if (style == nullptr || style->font_desc == nullptr) return "";
    gchar* text = pango_font_description_to_string(style->font_desc);
    std::string out = text;
    g_free(text);
    return out;
}

GtkWidget* theme_list(ThemeDialog& d) {
    GtkListStore* store = gtk_list_store_new(1, G_TYPE_STRING);
    GtkTreeIter iter;
    for (const std::string& name : d.themes) {
        gtk_list_store_append(store, &iter);
        gtk_list_store_set(store, &iter, 0, name.c_str(), -1);
    }
    GtkWidget* view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
    g_object_unref(store);
    gtk_tree_view_insert_column_with_attributes(GTK_TREE_VIEW(view), -1, "Theme",
                                                gtk_cell_renderer_text_new(), "text", 0, nullptr);
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(view), FALSE);
    auto it = std::find(d.themes.begin(), d.themes.end(), d.orig_theme);
    const int row = it == d.themes.end() ? 0 : static_cast<int>(it - d.themes.begin());
    GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
    gtk_tree_selection_select_path(gtk_tree_view_get_selection(GTK_TREE_VIEW(view)), path);
    gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(view), path, nullptr, TRUE, 0.5F, 0.0F);
    gtk_tree_path_free(path);
    d.gui_appear_treeview = view;
    gtk_widget_set_name(view, "theme_list");
    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scrolled), GTK_SHADOW_IN);
    gtk_widget_set_size_request(scrolled, 260, 240);
    gtk_container_add(GTK_CONTAINER(scrolled), view);
    return scrolled;
}

GtkWidget* padded_frame(const char* title, GtkWidget* child) {
    GtkWidget* frame = my_frame(title);
    gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_NONE);
    GtkWidget* align = gtk_alignment_new(0.0F, 0.0F, 1.0F, 1.0F);
    gtk_alignment_set_padding(GTK_ALIGNMENT(align), 0, 0, 12, 0);
    gtk_container_add(GTK_CONTAINER(align), child);
    gtk_container_add(GTK_CONTAINER(frame), align);
    return frame;
}

GtkWidget* font_part(ThemeDialog& d) {
    GtkWidget* box = gtk_vbox_new(FALSE, 2);
    d.default_font_radio = gtk_radio_button_new_with_label(nullptr, "Use theme default font");
    d.custom_font_radio = gtk_radio_button_new_with_label_from_widget(
        GTK_RADIO_BUTTON(d.default_font_radio), "Use custom font:");
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(d.custom_font_radio), TRUE);
    d.gui_appear_fontsel = gtk_font_button_new_with_font(d.orig_font.c_str());
    gtk_widget_set_name(d.default_font_radio, "default_font");
    gtk_widget_set_name(d.gui_appear_fontsel, "font");
    GtkWidget* row = gtk_hbox_new(FALSE, 6);
    gtk_box_pack_start(GTK_BOX(row), d.custom_font_radio, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(row), d.gui_appear_fontsel, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(box), d.default_font_radio, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), row, FALSE, FALSE, 0);
    return padded_frame("<b>Font</b>", box);
}

// The theme of the selected row and the chosen font ("" for the theme's).
std::pair<std::string, std::string> chosen_pair(const ThemeDialog& d) {
    std::string theme = d.orig_theme;
    GtkTreeModel* model = nullptr;
    GtkTreeIter iter;
    GtkTreeSelection* sel = gtk_tree_view_get_selection(GTK_TREE_VIEW(d.gui_appear_treeview));
    if (gtk_tree_selection_get_selected(sel, &model, &iter)) {
        gchar* name = nullptr;
        gtk_tree_model_get(model, &iter, 0, &name, -1);
        if (name != nullptr) theme = name;
        g_free(name);
    }
    std::string font;
    if (!gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(d.default_font_radio)))
        font = gtk_font_button_get_font_name(GTK_FONT_BUTTON(d.gui_appear_fontsel));
    return {theme, font};
}

}  // namespace

ThemeDialog* theme_dialog() { return open_dialog.get(); }

bool apply_theme(const std::string& theme, const std::string& font) {
    std::string reason;
    const bool ok = write_theme_file(gtkrc_fn, theme, font, reason);
    if (!ok) show_error("The theme file '" + gtkrc_fn + "' cannot be written: " + reason);
    gtk_rc_reparse_all_for_settings(gtk_settings_get_default(), TRUE);
    while (gtk_events_pending()) gtk_main_iteration();
    return ok;
}

void appearance_response(GtkDialog* dialog, gint response, gpointer) {
    if (open_dialog == nullptr) return;
    ThemeDialog& d = *open_dialog;
    if (response == GTK_RESPONSE_CANCEL) {
        apply_theme(d.orig_theme, d.orig_font);
    } else if (response == GTK_RESPONSE_APPLY || response == GTK_RESPONSE_ACCEPT) {
        auto [theme, font] = chosen_pair(d);
        apply_theme(theme, font);
        if (response == GTK_RESPONSE_ACCEPT) {
            open_dialog.reset();
            gtk_widget_destroy(GTK_WIDGET(dialog));
        }
    } else if (response == GTK_RESPONSE_DELETE_EVENT) {
        open_dialog.reset();
        gtk_widget_destroy(GTK_WIDGET(dialog));
    }
}

void change_guiappearance(GtkAction*, gpointer) {
    if (open_dialog != nullptr) {
        gtk_window_present(GTK_WINDOW(open_dialog->dialog));
        return;
    }
    auto d = std::make_unique<ThemeDialog>();
    d->orig_theme = current_theme_name();
    d->orig_font = current_font();
    const std::vector<std::string> folders = theme_folders(gtk_rc_get_theme_dir());
    d->themes = list_themes(folders);
    if (d->themes.empty()) {
        std::string text = "No themes were found in:";
        for (const std::string& f : folders) text += "\n" + f;
        show_message({MessageKind::Info, text});
        return;
    }
    d->dialog = gtk_dialog_new_with_buttons(
        "Theme Selection", GTK_WINDOW(ui.mainwindow), GTK_DIALOG_DESTROY_WITH_PARENT,
        GTK_STOCK_UNDO, GTK_RESPONSE_CANCEL, GTK_STOCK_APPLY, GTK_RESPONSE_APPLY, GTK_STOCK_OK,
        GTK_RESPONSE_ACCEPT, nullptr);
    gtk_container_set_border_width(GTK_CONTAINER(d->dialog), 8);
    GtkWidget* area = gtk_dialog_get_content_area(GTK_DIALOG(d->dialog));
    gtk_box_pack_start(GTK_BOX(area), padded_frame("<b>Theme</b>", theme_list(*d)), TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(area), font_part(*d), FALSE, FALSE, 9);
    gtk_widget_grab_focus(d->gui_appear_treeview);
    g_signal_connect(d->dialog, "response", G_CALLBACK(appearance_response), nullptr);
    gtk_widget_show_all(d->dialog);
    open_dialog = std::move(d);
}

}  // namespace app::gui
