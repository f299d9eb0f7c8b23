// Helpers of the tree tests: presses and keys sent to a project's tree,
// cells read from its store, the menus a press opens, and a comparison of
// the store with the rows the application core builds.
#pragma once

#include "gui_support.h"

#include "app/core/structure/tree_model.h"
#include "app/gui/tree_shared.h"

#include <string>
#include <vector>

namespace guitest {

// Sends a press of `button` (GDK_2BUTTON_PRESS for a double click) to the
// Value cell of the row; the row is scrolled into view first.
inline void press(app::Project* project, const app::TreePath& path, guint button,
                  GdkEventType type = GDK_BUTTON_PRESS) {
    GtkTreeView* view = app::gui::tree_view_of(project);
    GtkTreePath* p = app::gui::gtk_path_of(path);
    gtk_tree_view_expand_to_path(view, p);
    gtk_tree_view_scroll_to_cell(view, p, nullptr, FALSE, 0, 0);
    pump();
    GdkRectangle cell;
    gtk_tree_view_get_cell_area(view, p, gtk_tree_view_get_column(view, 1), &cell);
    gtk_tree_path_free(p);
    send_button(GTK_WIDGET(view), gtk_tree_view_get_bin_window(view), cell.x + 10,
                cell.y + cell.height / 2, button, type);
}

inline void key(app::Project* project, guint keyval) {
    GtkTreeView* view = app::gui::tree_view_of(project);
    GdkEventKey event{};
    event.type = GDK_KEY_PRESS;
    event.window = gtk_widget_get_window(GTK_WIDGET(view));
    event.send_event = TRUE;
    event.time = GDK_CURRENT_TIME;
    event.keyval = keyval;
    gtk_widget_event(GTK_WIDGET(view), reinterpret_cast<GdkEvent*>(&event));
    pump();
}

// Selects exactly these rows.
inline void select_rows(app::Project* project, const std::vector<app::TreePath>& rows) {
    GtkTreeView* view = app::gui::tree_view_of(project);
    GtkTreeSelection* selection = gtk_tree_view_get_selection(view);
    gtk_tree_selection_unselect_all(selection);
    for (const app::TreePath& row : rows) {
        GtkTreePath* p = app::gui::gtk_path_of(row);
        gtk_tree_view_expand_to_path(view, p);
        gtk_tree_selection_select_path(selection, p);
        gtk_tree_path_free(p);
    }
    pump();
}

// A text column of the row.
inline std::string cell(app::Project* project, const app::TreePath& path,
                        int column = app::gui::COL_VALUE) {
    GtkTreeModel* model = GTK_TREE_MODEL(app::gui::tree_store_of(project));
    GtkTreePath* p = app::gui::gtk_path_of(path);
    GtkTreeIter it;
    std::string out = "<no row>";
    if (gtk_tree_model_get_iter(model, &it, p)) {
        gchar* text = nullptr;
        gtk_tree_model_get(model, &it, column, &text, -1);
        out = text != nullptr ? text : "";
        g_free(text);
    }
    gtk_tree_path_free(p);
    return out;
}

// Opens the value cell of the row for typing, as a click into it does, and
// puts the text into its field without Enter; the field (null when none
// opened).
inline GtkWidget* start_typing(app::Project* project, const app::TreePath& path, const char* text) {
    GtkTreeView* view = app::gui::tree_view_of(project);
    GtkTreePath* p = app::gui::gtk_path_of(path);
    gtk_tree_view_expand_to_path(view, p);
    auto* renderer =
        static_cast<GtkCellRenderer*>(g_object_get_data(G_OBJECT(view), "value-renderer"));
    run_until([view] { return GTK_WIDGET_DRAWABLE(GTK_WIDGET(view)) != 0; }, 2);
    pump();  // the rows just expanded are laid out
    gtk_tree_view_set_cursor_on_cell(view, p, gtk_tree_view_get_column(view, 1), renderer, TRUE);
    gtk_tree_path_free(p);
    pump();
    run_until(
        [] {
            GtkWidget* f = gtk_window_get_focus(GTK_WINDOW(app::gui::ui.mainwindow));
            return f != nullptr && GTK_IS_ENTRY(f);
        },
        2);
    GtkWidget* field = gtk_window_get_focus(GTK_WINDOW(app::gui::ui.mainwindow));
    if (field == nullptr || !GTK_IS_ENTRY(field)) return nullptr;
    gtk_entry_set_text(GTK_ENTRY(field), text);
    return field;
}

// Types a value into a value cell and presses Enter.
inline void type_value(app::Project* project, const app::TreePath& path, const char* text) {
    GtkWidget* field = start_typing(project, path, text);
    ASSERT_NE(field, nullptr) << "no cell opened for typing";
    gtk_widget_activate(field);
    pump();
}

// The menus the tree opens, and which of them is shown now.
inline std::vector<std::pair<std::string, GtkWidget*>> tree_menus() {
    using app::gui::ui;
    std::vector<std::pair<std::string, GtkWidget*>> out;
    for (const char* name :
         {"Popup_on_multiple", "Popup_expand_only", "Popup_on_part_short", "Popup_on_part",
          "Popup_on_process", "Popup_on_process_short", "Popup_on_interface_part",
          "Popup_on_interface", "Popup_on_graphs", "Popup_on_graph"})
        out.emplace_back(
            name, gtk_ui_manager_get_widget(ui.ui_manager, (std::string("ui/") + name).c_str()));
    for (int q = 0; q < app::NUM_QUANTITIES; ++q)
        out.emplace_back("unit " + std::to_string(q), ui.unit_popups[static_cast<std::size_t>(q)]);
    for (int o = 0; o < app::NUM_PART_OPTIONS; ++o)
        out.emplace_back("option " + std::to_string(o),
                         ui.popup_options[static_cast<std::size_t>(o)]);
    out.emplace_back("calculation mode", ui.popup_interface_option);
    out.emplace_back("fluids", ui.fluidpopup);
    return out;
}

// The names of the menus shown now; each is closed.
inline std::vector<std::string> shown_menus() {
    std::vector<std::string> out;
    for (const auto& [name, menu] : tree_menus()) {
        if (menu != nullptr && gtk_widget_get_mapped(menu)) {
            out.push_back(name);
            gtk_menu_popdown(GTK_MENU(menu));
        }
    }
    pump();
    return out;
}

// The store holds the rows the core builds: names, icons, editability and
// the values of rows that are not results.
inline void expect_store_matches(app::Project* project) {
    GtkTreeModel* model = GTK_TREE_MODEL(app::gui::tree_store_of(project));
    const std::vector<app::TreeRow> rows = app::project_tree(*project);
    std::function<void(GtkTreeIter*, const std::vector<app::TreeRow>&, const std::string&)> walk =
        [&](GtkTreeIter* parent, const std::vector<app::TreeRow>& want, const std::string& at) {
            EXPECT_EQ(gtk_tree_model_iter_n_children(model, parent), static_cast<int>(want.size()))
                << at;
            GtkTreeIter it;
            if (!gtk_tree_model_iter_children(model, &it, parent)) return;
            for (std::size_t i = 0; i < want.size(); ++i) {
                gchar* name = nullptr;
                gchar* icon = nullptr;
                gchar* value = nullptr;
                gboolean editable = FALSE;
                gtk_tree_model_get(model, &it, app::gui::COL_NAME, &name, app::gui::COL_ICON, &icon,
                                   app::gui::COL_VALUE, &value, app::gui::COL_VALUE_EDITABLE,
                                   &editable, -1);
                const std::string here = at + ":" + std::to_string(i);
                EXPECT_EQ(name != nullptr ? name : "", want[i].name) << here;
                EXPECT_EQ(icon != nullptr ? icon : "", want[i].icon) << here;
                EXPECT_EQ(editable != FALSE, want[i].editable) << here;
                if (want[i].value_colour != "darkcyan") {
                    EXPECT_EQ(value != nullptr ? value : "", want[i].value) << here;
                }
                g_free(name);
                g_free(icon);
                g_free(value);
                walk(&it, want[i].children, here);
                if (!gtk_tree_model_iter_next(model, &it)) break;
            }
        };
    walk(nullptr, rows, "");
}

}  // namespace guitest
