// The main window: menu bar, toolbar, the project notebook with a start
// page or one page per project, the status bar.
#include "app/core/views/window_logic.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"
#include "app/gui/widgets.h"

namespace app::gui {

Widgets ui;

ProjectView* view_of(const Project* project) {
    auto it = ui.projects.find(project);
    return it == ui.projects.end() ? nullptr : &it->second;
}

GraphView* view_of(const Graph* graph) {
    auto it = ui.graphs.find(graph);
    return it == ui.graphs.end() ? nullptr : &it->second;
}

namespace {

// Where the divider between the project tree and the diagrams starts: wide
// enough for a part's deepest rows (its results) with their values and for
// its longest option ("Use for Process and Full Project") without
// scrolling sideways.
constexpr int TREE_PANE_WIDTH = 600;

void start_new(GtkWidget*, gpointer) { on_new_activate(nullptr, nullptr); }
void start_open(GtkWidget*, gpointer) { on_open_activate(nullptr, nullptr); }
void start_examples(GtkWidget*, gpointer) { on_open_example_activate(nullptr, nullptr); }
void start_manual(GtkWidget*, gpointer) { show_manual(nullptr, nullptr); }

GtkWidget* start_button(const char* which, GCallback handler) {
    GtkWidget* button = gtk_button_new();
    GdkPixbuf* picture = draw_start_button(which, 96);
    gtk_container_add(GTK_CONTAINER(button), gtk_image_new_from_pixbuf(picture));
    if (picture != nullptr) g_object_unref(picture);
    g_signal_connect(button, "pressed", handler, nullptr);
    return button;
}

GtkWidget* start_caption(const char* text) {
    GtkWidget* label = gtk_label_new(text);
    PangoFontDescription* font = pango_font_description_from_string("sans bold 16");
    gtk_widget_modify_font(label, font);
    pango_font_description_free(font);
    return label;
}

gboolean close_button_pressed(GtkWidget* button, GdkEvent* event, gpointer project) {
    return closefile(button, event, static_cast<Project*>(project));
}

// The tab: the file's name without ".kvr" and a close button.
GtkWidget* project_tab(Project* project, ProjectView& view) {
    GtkWidget* box = gtk_hbox_new(FALSE, 1);
    view.tab_label = gtk_label_new(tab_text(project->filename, project->changed != 0).c_str());
    gtk_box_pack_start(GTK_BOX(box), view.tab_label, FALSE, FALSE, 6);
    view.close_button =
        my_closebutton(G_CALLBACK(close_button_pressed), "Close Input file", project);
    gtk_box_pack_start(GTK_BOX(box), view.close_button, FALSE, FALSE, 0);
    gtk_widget_show_all(box);
    return box;
}

// The left pane: the project tree in a scrolled window.
GtkWidget* tree_pane(Project* project, ProjectView& view) {
    GtkWidget* frame = gtk_frame_new(nullptr);
    gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_IN);
    gtk_widget_set_size_request(frame, 135, -1);
    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    // Long values scroll sideways rather than being cut off.
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    view.tree_view = build_tree(project);
    gtk_container_add(GTK_CONTAINER(scrolled), view.tree_view);
    gtk_container_add(GTK_CONTAINER(frame), scrolled);
    return frame;
}

// The page's own toolbar: Calculate, Create Graph, Create QT Diagram.
GtkWidget* page_toolbar() {
    GtkWidget* toolbar = gtk_toolbar_new();
    gtk_toolbar_set_orientation(GTK_TOOLBAR(toolbar), GTK_ORIENTATION_HORIZONTAL);
    gtk_toolbar_set_style(GTK_TOOLBAR(toolbar), GTK_TOOLBAR_BOTH);
    gtk_toolbar_set_icon_size(GTK_TOOLBAR(toolbar), GTK_ICON_SIZE_LARGE_TOOLBAR);
    const char* paths[] = {"ui/ToolBar/CalculateAction", "ui/ToolBar/CreateGraphAction",
                           "ui/ToolBar/CreateQtGraphAction"};
    for (int i = 0; i < 3; ++i) {
        GtkAction* action = action_at(paths[i]);
        if (action == nullptr) continue;
        GtkWidget* item = gtk_action_create_tool_item(action);
        gtk_toolbar_insert(GTK_TOOLBAR(toolbar), GTK_TOOL_ITEM(item), i);
    }
    return toolbar;
}

// The right pane: toolbar and graph notebook above the message view.
GtkWidget* result_pane(ProjectView& view) {
    GtkWidget* frame = gtk_frame_new(nullptr);
    gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_IN);
    GtkWidget* paned = gtk_vpaned_new();
    gtk_container_add(GTK_CONTAINER(frame), paned);

    GtkWidget* upper = gtk_frame_new(nullptr);
    GtkWidget* box = gtk_vbox_new(FALSE, 0);
    view.toolbar = page_toolbar();
    gtk_box_pack_start(GTK_BOX(box), view.toolbar, FALSE, FALSE, 0);
    view.graph_book = gtk_notebook_new();
    gtk_notebook_set_scrollable(GTK_NOTEBOOK(view.graph_book), TRUE);
    g_signal_connect(view.graph_book, "switch-page", G_CALLBACK(switch_graph_page), nullptr);
    gtk_box_pack_start(GTK_BOX(box), view.graph_book, TRUE, TRUE, 0);
    gtk_container_add(GTK_CONTAINER(upper), box);
    gtk_paned_pack1(GTK_PANED(paned), upper, TRUE, FALSE);

    GtkWidget* lower = gtk_frame_new(nullptr);
    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER,
                                   GTK_POLICY_ALWAYS);
    view.message_buffer = gtk_text_buffer_new(nullptr);
    view.message_view = gtk_text_view_new_with_buffer(view.message_buffer);
    g_object_unref(view.message_buffer);  // the view holds it
    gtk_widget_set_size_request(view.message_view, -1, 100);
    gtk_text_view_set_cursor_visible(GTK_TEXT_VIEW(view.message_view), FALSE);
    gtk_text_view_set_editable(GTK_TEXT_VIEW(view.message_view), FALSE);
    gtk_container_add(GTK_CONTAINER(scrolled), view.message_view);
    gtk_container_add(GTK_CONTAINER(lower), scrolled);
    gtk_paned_pack2(GTK_PANED(paned), lower, FALSE, TRUE);
    return frame;
}

}  // namespace

GtkWidget* create_mainwindow() {
    ui.mainwindow = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_position(GTK_WINDOW(ui.mainwindow), GTK_WIN_POS_CENTER);
    gtk_widget_set_size_request(ui.mainwindow, 1450, 900);
    gtk_window_set_title(GTK_WINDOW(ui.mainwindow), "Kavrel ( Holmvik )");
    g_signal_connect(ui.mainwindow, "delete_event", G_CALLBACK(on_main_window_delete), nullptr);
    g_signal_connect(ui.mainwindow, "destroy", G_CALLBACK(on_main_window_destroyed), nullptr);

    GtkWidget* box = gtk_vbox_new(FALSE, 2);
    gtk_container_add(GTK_CONTAINER(ui.mainwindow), box);
    GtkWidget* menubar = nullptr;
    GtkWidget* toolbar = nullptr;
    createmenu(ui.mainwindow, &menubar, &toolbar);
    gtk_box_pack_start(GTK_BOX(box), menubar, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), toolbar, FALSE, FALSE, 0);

    ui.mainbook = gtk_notebook_new();
    gtk_notebook_set_scrollable(GTK_NOTEBOOK(ui.mainbook), TRUE);
    g_object_set(ui.mainbook, "tab-border", 0U, nullptr);
    g_signal_connect(ui.mainbook, "switch-page", G_CALLBACK(switch_mainbook_page), nullptr);
    gtk_box_pack_start(GTK_BOX(box), ui.mainbook, TRUE, TRUE, 0);

    add_logo_to_mainbook();
    ui.statusbar = gtk_statusbar_new();
    gtk_box_pack_end(GTK_BOX(box), ui.statusbar, FALSE, FALSE, 0);
    deactivate_file_menu();
    check_calculability(nullptr);
    gtk_widget_show_all(ui.mainwindow);
    return ui.mainwindow;
}

void add_logo_to_mainbook() {
    if (ui.logo_page != -1 || ui.mainbook == nullptr) return;
    GtkWidget* table = gtk_table_new(3, 4, FALSE);
    const auto fill = static_cast<GtkAttachOptions>(GTK_FILL | GTK_EXPAND);
    gtk_table_attach(GTK_TABLE(table), gtk_image_new_from_pixbuf(ui.logo), 0, 4, 0, 1, fill, fill,
                     10, 50);
    struct Entry {
        const char* picture;
        const char* caption;
        GCallback handler;
    };
    const Entry entries[] = {{"new", "New project", G_CALLBACK(start_new)},
                             {"open", "Open", G_CALLBACK(start_open)},
                             {"examples", "Examples", G_CALLBACK(start_examples)},
                             {"manual", "Manual", G_CALLBACK(start_manual)}};
    for (guint c = 0; c < 4; ++c) {
        gtk_table_attach(GTK_TABLE(table), start_button(entries[c].picture, entries[c].handler), c,
                         c + 1, 1, 2, fill, fill, 10, 0);
        gtk_table_attach(GTK_TABLE(table), start_caption(entries[c].caption), c, c + 1, 2, 3, fill,
                         fill, 10, 0);
    }
    GtkWidget* align = gtk_alignment_new(0.5F, 0.5F, 0.0F, 0.0F);
    gtk_container_add(GTK_CONTAINER(align), table);
    gtk_widget_show_all(align);
    ui.logo_page = gtk_notebook_append_page(GTK_NOTEBOOK(ui.mainbook), align, gtk_label_new("KVR"));
}

void remove_logo_from_mainbook() {
    if (ui.logo_page == -1) return;
    const int page = ui.logo_page;
    ui.logo_page = -1;
    gtk_notebook_remove_page(GTK_NOTEBOOK(ui.mainbook), page);
}

Project* project_on_page(int page_num) {
    if (page_num < 0 || ui.mainbook == nullptr) return nullptr;
    GtkWidget* page = gtk_notebook_get_nth_page(GTK_NOTEBOOK(ui.mainbook), page_num);
    for (Project* p : project_list) {
        if (p == nullptr) break;
        const ProjectView* view = view_of(p);
        if (view != nullptr && view->page == page && page != nullptr) return p;
    }
    return nullptr;
}

void show_project_page(Project* project) {
    const ProjectView* view = view_of(project);
    if (view == nullptr || view->page == nullptr) return;
    const int n = gtk_notebook_page_num(GTK_NOTEBOOK(ui.mainbook), view->page);
    if (n >= 0) gtk_notebook_set_current_page(GTK_NOTEBOOK(ui.mainbook), n);
}

void add_project_tab(Project* project, const std::string& filename) {
    remove_logo_from_mainbook();
    ProjectView& view = ui.projects[project];
    (void)filename;  // the tab shows project->filename, which is this name
    GtkWidget* tab = project_tab(project, view);
    view.page = gtk_hpaned_new();
    gtk_paned_pack1(GTK_PANED(view.page), tree_pane(project, view), FALSE, FALSE);
    gtk_paned_pack2(GTK_PANED(view.page), result_pane(view), TRUE, FALSE);
    gtk_paned_set_position(GTK_PANED(view.page), TREE_PANE_WIDTH);
    const int n = gtk_notebook_append_page(GTK_NOTEBOOK(ui.mainbook), view.page, tab);
    gtk_widget_show_all(view.page);
    gtk_notebook_set_current_page(GTK_NOTEBOOK(ui.mainbook), n);
}

void switch_mainbook_page(GtkNotebook*, gpointer, guint page_num, gpointer) {
    current_project = project_on_page(static_cast<int>(page_num));
    Project* p = current_project;
    if (p != nullptr && p->graphs[0] != nullptr) {
        const Graph* sheet = p->graphs[0];
        // Setting a toggle runs its handler, which stores the same value.
        const std::pair<const char*, int> toggles[] = {
            {"ui/MenuBar/MenuPreferences/OverviewTpToggleAction", sheet->show_tp},
            {"ui/MenuBar/MenuPreferences/OverviewCross1ToggleAction", sheet->show_cross1},
            {"ui/MenuBar/MenuPreferences/OverviewCross2ToggleAction", sheet->show_cross2},
            {"ui/MenuBar/MenuPreferences/OverviewNameToggleAction", sheet->show_names},
            {"ui/MenuBar/MenuPreferences/OverviewInputsToggleAction", sheet->show_inputs}};
        for (const auto& [path, flag] : toggles)
            if (GtkAction* a = action_at(path))
                gtk_toggle_action_set_active(GTK_TOGGLE_ACTION(a), flag != 0);
    }
    if (p != nullptr && p->current_graph != nullptr && p->current_graph->kind == GK_DIAGRAM)
        activate_graph_menu();
    else
        deactivate_graph_menu();
    if (p != nullptr) activate_file_menu();
    check_calculability(p);
    update_save_action();
}

void remove_project_tab(GtkWidget* page) {
    const int n = gtk_notebook_page_num(GTK_NOTEBOOK(ui.mainbook), page);
    if (n >= 0) gtk_notebook_remove_page(GTK_NOTEBOOK(ui.mainbook), n);
    current_project = nullptr;
    const int now = gtk_notebook_get_current_page(GTK_NOTEBOOK(ui.mainbook));
    current_project = project_on_page(now);
    if (current_project == nullptr) {
        deactivate_file_menu();
        deactivate_graph_menu();
        check_calculability(nullptr);
        add_logo_to_mainbook();
    }
}

void update_tab_label(Project* project) {
    ProjectView* view = view_of(project);
    if (view == nullptr || view->tab_label == nullptr) return;
    gtk_label_set_text(GTK_LABEL(view->tab_label),
                       tab_text(project->filename, project->changed != 0).c_str());
}

void set_project_changed_true() {
    Project* p = current_project;
    if (p == nullptr) return;
    p->changed = 1;
    update_tab_label(p);
    update_save_action();
}

}  // namespace app::gui
