// The user's ways to the window's commands.
#include "user_path.h"

#include "app/core/model/tools.h"
#include "app/core/views/flowsheet.h"
#include "app/gui/calculate.h"

namespace guitest {

namespace {

// Whether the widget and every one of its ancestors are shown.
bool on_screen(GtkWidget* widget) {
    return widget != nullptr && GTK_WIDGET_DRAWABLE(widget) &&
           gdk_window_is_viewable(widget->window);
}

GtkWidget* sheet_area(app::Project* project) {
    const app::gui::GraphView* view = app::gui::view_of(project->graphs[0]);
    return view != nullptr ? view->drawing_area : nullptr;
}

// The menu item labelled `label` in the menu or its submenus, or null.
GtkWidget* item_labelled(GtkWidget* menu, const std::string& label) {
    GtkWidget* found = nullptr;
    GList* items = gtk_container_get_children(GTK_CONTAINER(menu));
    for (GList* l = items; l != nullptr && found == nullptr; l = l->next) {
        GtkWidget* item = GTK_WIDGET(l->data);
        if (!GTK_IS_MENU_ITEM(item)) continue;
        GtkWidget* child = gtk_bin_get_child(GTK_BIN(item));
        if (child != nullptr && GTK_IS_LABEL(child) &&
            label == gtk_label_get_text(GTK_LABEL(child)))
            found = item;
        else if (GtkWidget* sub = gtk_menu_item_get_submenu(GTK_MENU_ITEM(item)))
            found = item_labelled(sub, label);
    }
    g_list_free(items);
    return found;
}

}  // namespace

void pick_in_menu(GtkWidget* menu, const std::string& label) {
    ASSERT_TRUE(menu != nullptr && gtk_widget_get_mapped(menu)) << "the menu is not shown";
    GtkWidget* item = item_labelled(menu, label);
    ASSERT_NE(item, nullptr) << label << " is not in the menu";
    ASSERT_TRUE(gtk_widget_get_visible(item) && gtk_widget_is_sensitive(item))
        << label << " is hidden or greyed out";
    gtk_menu_shell_deactivate(GTK_MENU_SHELL(menu));
    gtk_menu_item_activate(GTK_MENU_ITEM(item));
    pump();
}

void pick_fluid(GtkWidget* fluid_button, const std::string& fluid) {
    press_widget(fluid_button);
    pick_in_menu(app::gui::ui.fluidpopup, fluid);
}

void choose(const std::string& path) {
    GtkWidget* item = gtk_ui_manager_get_widget(app::gui::ui.ui_manager, path.c_str());
    ASSERT_NE(item, nullptr) << path << ": no such item";
    ASSERT_TRUE(GTK_IS_MENU_ITEM(item) || GTK_IS_TOOL_ITEM(item)) << path;
    GtkAction* action = app::gui::action_at(path.c_str());
    ASSERT_NE(action, nullptr) << path;
    ASSERT_TRUE(gtk_action_is_visible(action) && gtk_widget_get_visible(item))
        << path << " is not shown";
    ASSERT_TRUE(gtk_action_is_sensitive(action)) << path << " is greyed out";
    GtkWidget* menu = gtk_widget_get_parent(item);
    if (GTK_IS_MENU(menu) && gtk_widget_get_mapped(menu))  // a pop-up shown: it closes
        gtk_menu_shell_deactivate(GTK_MENU_SHELL(menu));
    if (GTK_IS_MENU_ITEM(item))
        gtk_menu_item_activate(GTK_MENU_ITEM(item));
    else
        gtk_action_activate(action);  // a tool button's click
    pump();
}

void click(GtkWidget* button) {
    ASSERT_TRUE(button != nullptr && GTK_IS_BUTTON(button));
    ASSERT_TRUE(on_screen(button)) << gtk_widget_get_name(button) << " is not on the screen";
    ASSERT_TRUE(gtk_widget_is_sensitive(button)) << gtk_widget_get_name(button) << " is greyed out";
    gtk_button_clicked(GTK_BUTTON(button));
    pump();
}

void press_widget(GtkWidget* widget) {
    ASSERT_TRUE(on_screen(widget)) << "the widget is not on the screen";
    GtkAllocation a;
    gtk_widget_get_allocation(widget, &a);
    GdkEventButton event{};
    event.type = GDK_BUTTON_PRESS;
    event.window = widget->window;
    event.send_event = TRUE;
    event.time = GDK_CURRENT_TIME;
    event.x = a.x + a.width / 2.0;
    event.y = a.y + a.height / 2.0;
    event.button = 1;
    event.device = gdk_device_get_core_pointer();
    gtk_widget_event(widget, reinterpret_cast<GdkEvent*>(&event));
    pump();
}

DialogAnswer new_process_answer(const std::string& name, const std::string& fluid) {
    return [name, fluid](GtkDialog* d) {
        GtkWidget* entry = find_widget(GTK_WIDGET(d), "name");
        EXPECT_NE(entry, nullptr);
        if (entry != nullptr) gtk_entry_set_text(GTK_ENTRY(entry), name.c_str());
        if (!fluid.empty()) pick_fluid(find_widget(GTK_WIDGET(d), "fluid"), fluid);
        return static_cast<int>(GTK_RESPONSE_OK);
    };
}

void close_window(GtkWidget* window) {
    ASSERT_TRUE(on_screen(window));
    GdkEvent* event = gdk_event_new(GDK_DELETE);
    event->any.window = GDK_WINDOW(g_object_ref(window->window));
    event->any.send_event = TRUE;
    gtk_main_do_event(event);
    gdk_event_free(event);
    pump();
}

bool calculation_offers_ok() {
    const app::gui::CalcDialog* d = app::gui::calc_dialog();
    return app::gui::calc_worker_joined() && d != nullptr && gtk_widget_is_sensitive(d->ok);
}

void press_key(guint keyval, guint modifiers) {
    press_key_in(app::gui::ui.mainwindow, keyval, modifiers);
}

void press_key_in(GtkWidget* window, guint keyval, guint modifiers) {
    ASSERT_TRUE(on_screen(window));
    GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(window->window));
    event->key.send_event = TRUE;
    event->key.time = GDK_CURRENT_TIME;
    event->key.keyval = keyval;
    event->key.state = modifiers;
    GdkKeymapKey* keys = nullptr;
    gint n = 0;
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_default(), keyval, &keys, &n) && n > 0)
        event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
    g_free(keys);
    gtk_main_do_event(event);
    gdk_event_free(event);
    pump();
}

void type_into(GtkWidget* entry, const std::string& text) {
    ASSERT_TRUE(entry != nullptr && GTK_IS_ENTRY(entry));
    ASSERT_TRUE(on_screen(entry)) << gtk_widget_get_name(entry) << " is not on the screen";
    ASSERT_TRUE(gtk_widget_is_sensitive(entry) && gtk_editable_get_editable(GTK_EDITABLE(entry)))
        << gtk_widget_get_name(entry) << " takes no text";
    GtkWidget* window = gtk_widget_get_toplevel(entry);
    gtk_widget_grab_focus(entry);
    press_key_in(window, GDK_a, GDK_CONTROL_MASK);
    for (const char c : text) press_key_in(window, gdk_unicode_to_keyval(static_cast<guchar>(c)));
    press_key_in(window, GDK_Return);
}

void press_sheet(app::Project* project, double x, double y, guint button, GdkEventType type) {
    // As a user waits for the page to come up after opening a file.
    run_until([project] { return on_screen(sheet_area(project)); }, 2);
    GtkWidget* area = sheet_area(project);
    ASSERT_TRUE(on_screen(area)) << "the flowsheet is not on the screen";
    const double zoom = project->graphs[0]->symbol_zoom;
    send_button(area, area->window, x * zoom, y * zoom, button, type);
}

void press_part(app::Project* project, int process, int part, guint button, GdkEventType type) {
    ASSERT_TRUE(process >= 0 && process < project->az_processes);
    const app::Process& p = *project->processes[app::sz(process)];
    ASSERT_TRUE(part >= 0 && part < p.az_parts);
    const app::Graph& sheet = *project->graphs[0];
    const app::Part& symbol = *p.parts[app::sz(part)];
    press_sheet(project, app::part_x(sheet, symbol) + 16, app::part_y(sheet, symbol) + 16, button,
                type);
}

void press_interface(app::Project* project, int index, guint button, GdkEventType type) {
    ASSERT_TRUE(index >= 0 && index < project->az_interfaces);
    const app::Interface& itf = *project->interfaces[app::sz(index)];
    ASSERT_GE(itf.grid_row, 0) << "the interface is not on the sheet";
    const double middle = project->graphs[0]->cell_size / 2;
    press_sheet(project, itf.icon_x + middle, itf.icon_y + middle, button, type);
}

}  // namespace guitest
