// Presses and keys in the project tree: what becomes current, which menu
// opens (next to the row or at the pointer), which commands are enabled;
// double clicks; Delete and F2.
#include "app/core/model/tools.h"
#include "app/core/structure/tree_rules.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"
#include "app/gui/tree_shared.h"

#include <gdk/gdkkeysyms.h>

#include <utility>

namespace app::gui {

TreePath last_press_path;

namespace {

constexpr const char* DELETE_ACTION = "ui/MenuBar/MenuEdit/DeleteAction";
constexpr const char* MOVE_UP_ACTION = "ui/Popup_on_part/MoveUpAction";
constexpr const char* MOVE_DOWN_ACTION = "ui/Popup_on_part/MoveDownAction";
constexpr const char* CREATE_INTERFACE_ACTION =
    "ui/Popup_on_multiple/CreateInterfaceFromTreeAction";
constexpr const char* SHOW_GRAPH_ACTION = "ui/Popup_on_graph/ShowGraphAction";

// The tree of the last press (menus are placed next to its row).
GtkTreeView* pressed_view = nullptr;

// Places a menu's top left corner on the Value cell of the row of the last
// press, in screen coordinates.
void position_menu(GtkMenu*, gint* x, gint* y, gboolean* push_in, gpointer) {
    *push_in = TRUE;
    if (pressed_view == nullptr || last_press_path.empty()) return;
    GtkTreePath* path = gtk_path_of(last_press_path);
    GdkRectangle cell;
    gtk_tree_view_get_cell_area(pressed_view, path, gtk_tree_view_get_column(pressed_view, 1),
                                &cell);
    gtk_tree_path_free(path);
    gint ox = 0;
    gint oy = 0;
    gdk_window_get_origin(gtk_tree_view_get_bin_window(pressed_view), &ox, &oy);
    *x = ox + cell.x;
    *y = oy + cell.y;
}

GtkWidget* menu_of(const TreeMenu& menu) {
    switch (menu.kind) {
        case TreeMenu::UI_POPUP:
            return gtk_ui_manager_get_widget(ui.ui_manager, menu.ui_path.c_str());
        case TreeMenu::UNIT_MENU:
            return menu.index >= 0 && menu.index < NUM_QUANTITIES ? ui.unit_popups[sz(menu.index)]
                                                                  : nullptr;
        case TreeMenu::OPTION_MENU:
            return menu.index >= 0 && menu.index < NUM_PART_OPTIONS
                       ? ui.popup_options[sz(menu.index)]
                       : nullptr;
        case TreeMenu::CALCULATION_MODE_MENU: return ui.popup_interface_option;
        case TreeMenu::FLUID_MENU: return ui.fluidpopup;
        case TreeMenu::NONE: return nullptr;
    }
    return nullptr;
}

void open_menu(const TreeMenu& menu, const GdkEventButton* event) {
    GtkWidget* widget = menu_of(menu);
    if (widget == nullptr) return;
    if (menu.kind == TreeMenu::FLUID_MENU) fluid_selection_mode = FS_PROCESS;
    gtk_menu_popup(GTK_MENU(widget), nullptr, nullptr, menu.beside_row ? position_menu : nullptr,
                   nullptr, event->button, event->time);
}

// The flowsheet and the tool buttons follow a new current element.
void refresh_current(Project* project) {
    update_graphs(project);
    update_buttons(project);
}

// The row's element becomes current; the flowsheet's selection frame
// follows, scrolled into view. False when nothing changed.
bool make_current(Project* project, const RowRef& row) {
    if (!make_row_current(*project, row)) return false;
    draw_symbol_graph(project);
    show_current_part_on_sheet(project);
    return true;
}

// The row a left press made current, to be shown selected once the tree
// has handled the press itself.
struct PressedRow {
    Project* project = nullptr;
    TreePath row;
};
PressedRow pressed_row;

// A press on a row's expander arrow makes the row's element current, but
// the tree leaves its selection where it was (Interface 1's arrow pressed
// with Mixer 2 selected: the next Insert went after the Inlet while Mixer 2
// showed selected). Runs as an idle, after the tree's own handling.
gboolean select_pressed_row(gpointer) {
    const PressedRow pressed = std::exchange(pressed_row, PressedRow{});
    GtkTreeView* view =
        pressed.project == current_project ? tree_view_of(pressed.project) : nullptr;
    if (view == nullptr || pressed.row.empty()) return FALSE;
    GtkTreeSelection* selection = gtk_tree_view_get_selection(view);
    GtkTreePath* path = gtk_path_of(pressed.row);
    if (!gtk_tree_selection_path_is_selected(selection, path)) {
        gtk_tree_selection_unselect_all(selection);
        gtk_tree_selection_select_path(selection, path);
    }
    gtk_tree_path_free(path);
    return FALSE;
}

void show_graph_page(Project* project, const RowRef& row) {
    const GraphView* graph = view_of(project->graphs[sz(row.graph)]);
    const ProjectView* page = view_of(project);
    if (graph == nullptr || graph->page_box == nullptr || page == nullptr) return;
    GtkNotebook* book = GTK_NOTEBOOK(page->graph_book);
    const int n = gtk_notebook_page_num(book, graph->page_box);
    if (n >= 0) gtk_notebook_set_current_page(book, n);
}

void left_press(Project* project, const RowRef& row, const TreePath& clicked,
                const GdkEventButton* event) {
    const bool made_current = make_current(project, row);
    // Not with Ctrl or Shift: those choose several rows, the tree's way.
    if (made_current && (event->state & (GDK_CONTROL_MASK | GDK_SHIFT_MASK)) == 0) {
        if (pressed_row.project == nullptr) g_idle_add(select_pressed_row, nullptr);
        pressed_row = {project, clicked};
    }
    if (row.interface >= 0 || row.part >= 1) refresh_current(project);
    if (row.kind == RowKind::GRAPH) show_graph_page(project, row);
    open_menu(left_click_menu(*project, row), event);
}

void right_press(Project* project, GtkTreeView* view, const RowRef& row, const TreePath& clicked,
                 const SelectionRules& rules, const GdkEventButton* event) {
    if (rules.selected >= 2) {
        set_action_sensitive(CREATE_INTERFACE_ACTION, rules.create_interface);
        open_menu({TreeMenu::UI_POPUP, "ui/Popup_on_multiple", -1, false}, event);
        return;
    }
    if (clicked.empty()) return;
    GtkTreeSelection* selection = gtk_tree_view_get_selection(view);
    gtk_tree_selection_unselect_all(selection);
    GtkTreePath* path = gtk_path_of(clicked);
    gtk_tree_selection_select_path(selection, path);
    gtk_tree_path_free(path);
    make_current(project, row);
    if (row.interface >= 0) refresh_current(project);
    if (row.kind == RowKind::GRAPH) {
        const GraphView* graph = view_of(project->graphs[sz(row.graph)]);
        set_action_sensitive(SHOW_GRAPH_ACTION, graph == nullptr || graph->page_box == nullptr);
    }
    open_menu(right_click_menu(*project, row), event);
}

void double_press(Project* project, GtkTreeView* view, const RowRef& row, const TreePath& clicked) {
    if (row.kind == RowKind::GRAPH) {
        show_graph(nullptr, nullptr);
    } else if (row.process >= 0 && row.part >= 1) {
        make_current(project, row);
        partdialogcallback(nullptr, nullptr);
    } else {
        GtkTreePath* path = gtk_path_of(clicked);
        gtk_tree_view_expand_row(view, path, FALSE);
        gtk_tree_path_free(path);
    }
}

}  // namespace

gboolean treeview_onButtonPressed(GtkWidget* widget, GdkEventButton* event, Project* project) {
    if (project == nullptr || calculation_running()) return TRUE;
    GtkTreeView* view = GTK_TREE_VIEW(widget);
    pressed_view = view;
    const std::vector<TreePath> selected = selected_paths(view);
    TreePath clicked;
    GtkTreePath* hit = nullptr;
    if (gtk_tree_view_get_path_at_pos(view, static_cast<gint>(event->x),
                                      static_cast<gint>(event->y), &hit, nullptr, nullptr,
                                      nullptr)) {
        clicked = tree_path_of(hit);
        gtk_tree_path_free(hit);
    }
    last_press_path = clicked;
    const bool single = event->type == GDK_BUTTON_PRESS;
    const SelectionRules rules =
        selection_rules(*project, selected, clicked, single && event->button == 3);
    if (rules.add_clicked) {
        GtkTreePath* path = gtk_path_of(clicked);
        gtk_tree_selection_select_path(gtk_tree_view_get_selection(view), path);
        gtk_tree_path_free(path);
    }
    set_action_sensitive(DELETE_ACTION, rules.delete_enabled);
    set_action_sensitive(MOVE_UP_ACTION, rules.move_up);
    set_action_sensitive(MOVE_DOWN_ACTION, rules.move_down);
    const RowRef row = resolve_row(*project, clicked);
    if (event->type == GDK_2BUTTON_PRESS && event->button == 1) {
        if (!clicked.empty()) double_press(project, view, row, clicked);
        return FALSE;
    }
    if (!single) return FALSE;
    if (event->button == 1) {
        if (!clicked.empty()) left_press(project, row, clicked, event);
        return FALSE;
    }
    if (event->button == 3) {
        right_press(project, view, row, clicked, rules, event);
        return TRUE;
    }
    return FALSE;
}

gboolean treeview_onKeyPressed(GtkWidget*, GdkEventKey* event, Project* project) {
    if (project == nullptr || calculation_running()) return FALSE;
    switch (event->keyval) {
        case GDK_Delete:
        case GDK_KP_Delete: on_delete_activate(nullptr, nullptr); return TRUE;
        case GDK_F2: on_rename_activate(nullptr, nullptr); return TRUE;
        default: return FALSE;
    }
}

}  // namespace app::gui
