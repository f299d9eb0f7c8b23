// The action group and UI manager: menu bar, toolbars and pop-ups built
// from the action tables, and the operations that switch groups of
// actions on and off.
#include "app/core/files/filehandling.h"
#include "app/core/structure/structure.h"
#include "app/gui/action_tables.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"

#include <cstdio>
#include <cstdlib>

namespace app::gui {

GtkPageSetup* page_setup = nullptr;
GtkPrintSettings* print_settings = nullptr;

namespace {

constexpr const char* GRAPH_MENU = "ui/MenuBar/MenuGraphics/";

// The nine graph actions that only a property diagram can use.
constexpr const char* GRAPH_ACTIONS[] = {
    "ZoomStartAction",          "ConfigAxisAction",      "ConfigIsolinesAction",
    "ConfigProcessAction",      "ConfigAxisAutoAction",  "ShowIsoWetnessAction",
    "ShowIsoTemperatureAction", "ShowIsoPressureAction", "ShowIsoDensityAction",
};

// The Edit menu's commands, which need a project (Paste also a copied part).
constexpr const char* EDIT_ACTIONS[] = {
    "ui/MenuBar/MenuEdit/CutAction", "ui/MenuBar/MenuEdit/CopyAction",
    "ui/MenuBar/MenuEdit/PasteAction", "ui/MenuBar/MenuEdit/DeleteAction"};

// Graph actions insensitive until a diagram page is selected.
constexpr const char* GRAPH_ACTIONS_OFF_AT_START[] = {
    "ConfigIsolinesAction", "ConfigProcessAction",      "ConfigAxisAutoAction",
    "ShowIsoWetnessAction", "ShowIsoTemperatureAction", "ShowIsoPressureAction",
    "ShowIsoDensityAction",
};

void set_graph_action(const char* name, bool sensitive) {
    std::string path = std::string(GRAPH_MENU) + name;
    set_action_sensitive(path.c_str(), sensitive);
}

void set_toggle(const char* path, bool active) {
    if (GtkAction* action = action_at(path))
        gtk_toggle_action_set_active(GTK_TOGGLE_ACTION(action), active ? TRUE : FALSE);
}

}  // namespace

GtkAction* action_at(const char* path) {
    if (ui.ui_manager == nullptr) return nullptr;
    return gtk_ui_manager_get_action(ui.ui_manager, path);
}

void set_action_sensitive(const char* path, bool sensitive) {
    if (GtkAction* action = action_at(path)) gtk_action_set_sensitive(action, sensitive);
}

void createmenu(GtkWidget* window, GtkWidget** menubar, GtkWidget** toolbar) {
    create_icons();
    ui.action_group = gtk_action_group_new("Actions");
    gtk_action_group_add_actions(ui.action_group, ActionsList, static_cast<guint>(N_ACTIONS),
                                 nullptr);
    gtk_action_group_add_toggle_actions(ui.action_group, toggleActions,
                                        static_cast<guint>(N_TOGGLE_ACTIONS), nullptr);
    ui.ui_manager = gtk_ui_manager_new();
    gtk_ui_manager_insert_action_group(ui.ui_manager, ui.action_group, 0);
    GError* error = nullptr;
    if (gtk_ui_manager_add_ui_from_string(ui.ui_manager, UI_DEFINITION, -1, &error) == 0) {
        std::puts("Error reading ui string, stop ");
        if (error != nullptr) g_error_free(error);
        std::exit(1);
    }
    *menubar = gtk_ui_manager_get_widget(ui.ui_manager, "ui/MenuBar");
    *toolbar = gtk_ui_manager_get_widget(ui.ui_manager, "ui/ToolBar");
    gtk_toolbar_set_style(GTK_TOOLBAR(*toolbar), GTK_TOOLBAR_ICONS);
    gtk_toolbar_set_icon_size(GTK_TOOLBAR(*toolbar), GTK_ICON_SIZE_SMALL_TOOLBAR);
    set_action_sensitive("ui/MenuBar/MenuGraphics/CreateGraphAction", false);
    gtk_window_add_accel_group(GTK_WINDOW(window), gtk_ui_manager_get_accel_group(ui.ui_manager));
    build_fluid_popup();
    build_option_popups();
    build_unit_popups();
    for (const char* name : GRAPH_ACTIONS_OFF_AT_START) set_graph_action(name, false);
}

void deactivate_file_menu() {
    set_action_sensitive("ui/MenuBar/MenuFile/CloseAction", false);
    set_action_sensitive("ui/MenuBar/MenuFile/CalculateAction", false);
    set_action_sensitive("ui/MenuBar/MenuFile/SaveAction", false);
    set_action_sensitive("ui/MenuBar/MenuFile/SaveAsAction", false);
    for (const char* path : EDIT_ACTIONS) set_action_sensitive(path, false);
}

void activate_file_menu() {
    set_action_sensitive("ui/MenuBar/MenuFile/CloseAction", true);
    set_action_sensitive("ui/MenuBar/MenuFile/SaveAsAction", true);
    for (const char* path : EDIT_ACTIONS) set_action_sensitive(path, true);
    set_action_sensitive("ui/MenuBar/MenuEdit/PasteAction", part_copied());
    update_save_action();
    check_calculability(current_project);
}

void update_save_action() {
    Project* p = current_project;
    const ProjectView* view = view_of(p);
    const bool needed = p != nullptr && (p->changed != 0 || (view != nullptr && view->never_saved));
    set_action_sensitive("ui/MenuBar/MenuFile/SaveAction", needed);
}

void deactivate_graph_menu() {
    for (const char* name : GRAPH_ACTIONS) set_graph_action(name, false);
}

void activate_graph_menu() {
    Project* p = current_project;
    if (p == nullptr) return;
    p->graph_menu_guard = 1;
    for (const char* name : GRAPH_ACTIONS) set_graph_action(name, true);
    if (const Graph* g = p->current_graph) {
        set_toggle("ui/MenuBar/MenuGraphics/ShowIsoDensityAction",
                   g->iso_style[ISO_ISOCHOR].show != 0);
        set_toggle("ui/MenuBar/MenuGraphics/ShowIsoPressureAction",
                   g->iso_style[ISO_ISOBAR].show != 0);
        set_toggle("ui/MenuBar/MenuGraphics/ShowIsoTemperatureAction",
                   g->iso_style[ISO_ISOTHERM].show != 0);
        set_toggle("ui/MenuBar/MenuGraphics/ShowIsoWetnessAction",
                   g->iso_style[ISO_WETNESS].show != 0);
    }
    p->graph_menu_guard = 0;
}

void check_calculability(Project* project) {
    const Calculability c = check_calculability_of(project);
    const bool idle = !calculation_running();
    set_action_sensitive("ui/ToolBar/CalculateAction", c.calculate && idle);
    set_action_sensitive("ui/ToolBar/CreateGraphAction", c.create_graph);
    if (project == nullptr) set_action_sensitive("ui/ToolBar/CreateQtGraphAction", false);
}

gboolean changepagesetup(GtkAction*, gpointer) {
    GtkPageSetup* chosen = gtk_print_run_page_setup_dialog(nullptr, page_setup, print_settings);
    if (chosen != nullptr) {
        if (page_setup != nullptr) g_object_unref(page_setup);
        page_setup = chosen;
    }
    return TRUE;
}

}  // namespace app::gui
