// The window's shell: actions and where they are shown, project pages and
// their tabs, the graph notebook, the start page, the manual.
#include "gui_support.h"
#include "user_path.h"

#include "app/core/model/create_delete.h"
#include "app/core/program/kvr.h"
#include "app/gui/action_tables.h"
#include "app/gui/handlers.h"
#include "app/gui/widgets.h"

#include <filesystem>
#include <set>

using namespace app;
using namespace app::gui;
using namespace guitest;

namespace {

// Every element path of the UI definition: "ui/MenuBar/MenuFile/NewAction" ...
std::vector<std::string> ui_paths() {
    std::vector<std::string> paths;
    std::vector<std::string> stack = {"ui"};
    std::string text = UI_DEFINITION;
    for (std::size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
        const std::size_t end = text.find('>', at);
        const std::string tag = text.substr(at + 1, end - at - 1);
        if (tag == "ui" || tag == "/ui" || tag.rfind("separator", 0) == 0) continue;
        if (tag[0] == '/') {
            stack.pop_back();
            continue;
        }
        const std::size_t q = tag.find('\'');
        const std::string name = tag.substr(q + 1, tag.find('\'', q + 1) - q - 1);
        std::string path;
        for (const std::string& s : stack) path += s + "/";
        paths.push_back(path + name);
        if (tag.back() != '/') stack.push_back(name);
    }
    return paths;
}

struct Expected {
    const char* path;
    const char* label;    // null: the stock label
    const char* tooltip;  // null: none
    const char* stock;    // null: none
};

const Expected EXPECTED[] = {
    {"ui/MenuBar/MenuFile/QuitAction", nullptr, "Quit the program", "gtk-quit"},
    {"ui/MenuBar/MenuFile/CalculateAction", "Calculate", "Calculate project", "My_Calculate"},
    {"ui/MenuBar/MenuFile/OpenExampleAction", "Open Example", "Open example project", nullptr},
    {"ui/MenuBar/MenuFluid/CreateFluidAction", "Create Fluid ", "Create new fluid mixture",
     nullptr},
    {"ui/MenuBar/MenuFluid/PropertyTableAction", "Property Table",
     "Caculate and export fluid properties", nullptr},
    {"ui/Popup_on_part/InsertCondenser", "Insert Condenser",
     "Insert a new condenser  after the current part", "My_condenser"},
    {"ui/MenuBar/MenuGraphics/ShowIsoWetnessAction", "Show Wetness ",
     "Toggle wetness display in current graph", "My_showisowetness"},
    {"ui/MenuBar/MenuPreferences/OverviewTpToggleAction", "Show Results in Overview: T,p ", nullptr,
     nullptr},
    {"ui/MenuBar/MenuGraphics/SavePngAction", "Create Screenshot",
     "Create screenshot of currentent graph", nullptr},
    {"ui/MenuBar/HelpMenu/ManualAction", "Open User Manual", nullptr, "My_manual_book"},
    {"ui/GraphDummy/ZoomInAction", "Zoom in",
     "Zoom in by left-clicking in the graph. Draw a rectangle over the requested area and "
     "left-click again.",
     "My_zoom"},
};

std::string text_property(GtkAction* action, const char* name) {
    gchar* value = nullptr;
    g_object_get(action, name, &value, nullptr);
    std::string out = value != nullptr ? value : "<none>";
    g_free(value);
    return out;
}

const char* const FILE_ACTIONS[] = {"CloseAction", "CalculateAction", "SaveAction", "SaveAsAction"};

// The Edit menu and the main toolbar's Delete, which need a project.
const char* const EDIT_PATHS[] = {"ui/MenuBar/MenuEdit/CutAction", "ui/MenuBar/MenuEdit/CopyAction",
                                  "ui/MenuBar/MenuEdit/PasteAction",
                                  "ui/MenuBar/MenuEdit/DeleteAction", "ui/ToolBar/DeleteAction"};

// Close, Calculate, Save and Save As in the File menu and (where shown) the
// main toolbar.
void expect_file_actions(bool sensitive) {
    for (const char* name : FILE_ACTIONS) {
        const std::string menu = std::string("ui/MenuBar/MenuFile/") + name;
        EXPECT_EQ(widget_sensitive(menu.c_str()), sensitive) << menu;
        if (std::string(name) == "CloseAction") continue;
        const std::string tool = std::string("ui/ToolBar/") + name;
        EXPECT_EQ(widget_sensitive(tool.c_str()), sensitive) << tool;
    }
}

class Shell : public GuiTest {};

}  // namespace

TEST_F(Shell, EveryPathResolvesAndActionsMatchTheirTables) {
    const std::vector<std::string> paths = ui_paths();
    EXPECT_GT(paths.size(), 150U);
    for (const std::string& path : paths)
        EXPECT_NE(gtk_ui_manager_get_widget(ui.ui_manager, path.c_str()), nullptr) << path;
    for (const Expected& e : EXPECTED) {
        GtkAction* a = action_at(e.path);
        ASSERT_NE(a, nullptr) << e.path;
        EXPECT_EQ(text_property(a, "stock-id"), e.stock ? e.stock : "<none>") << e.path;
        if (e.label != nullptr) {
            EXPECT_EQ(text_property(a, "label"), e.label) << e.path;
        }
        EXPECT_EQ(text_property(a, "tooltip"), e.tooltip ? e.tooltip : "<none>") << e.path;
    }
    // Every stock icon of the program is registered and every part picture drawn.
    for (int i = 0; i < N_STOCK_ICONS; ++i)
        EXPECT_NE(gtk_icon_factory_lookup_default(stock_icons[i].name), nullptr)
            << stock_icons[i].name;
    std::set<int> empty_slots = {2, 6, 9};
    for (int s = 0; s < NUM_PART_ICONS; ++s)
        EXPECT_EQ(ui.part_icons[static_cast<std::size_t>(s)] == nullptr, empty_slots.count(s) == 1)
            << s;
    // Calculate has F5; no action has a plain key.
    GtkAccelKey key{};
    ASSERT_TRUE(gtk_accel_map_lookup_entry("<Actions>/Actions/CalculateAction", &key));
    EXPECT_EQ(key.accel_key, gdk_keyval_from_name("F5"));
    gtk_accel_map_foreach(
        nullptr, [](gpointer, const gchar* path, guint accel_key, GdkModifierType mods, gboolean) {
            if (accel_key != 0 && mods == 0) {
                EXPECT_EQ(std::string(path), "<Actions>/Actions/CalculateAction")
                    << gdk_keyval_name(accel_key);
            }
        });
}

TEST_F(Shell, StartingStateOfTogglesAndSensitivity) {
    for (int i = 0; i < N_TOGGLE_ACTIONS; ++i) {
        GtkAction* a = gtk_action_group_get_action(ui.action_group, toggleActions[i].name);
        EXPECT_EQ(gtk_toggle_action_get_active(GTK_TOGGLE_ACTION(a)),
                  std::string(toggleActions[i].name) != "ZoomInAction")
            << toggleActions[i].name;
    }
    expect_file_actions(false);
    for (const char* path : EDIT_PATHS) EXPECT_FALSE(widget_sensitive(path)) << path;
    EXPECT_FALSE(action_sensitive("ui/MenuBar/MenuGraphics/CreateGraphAction"));
    for (const char* name : {"ConfigIsolinesAction", "ConfigProcessAction", "ConfigAxisAutoAction",
                             "ShowIsoWetnessAction", "ShowIsoDensityAction", "ZoomStartAction"}) {
        const std::string path = std::string("ui/MenuBar/MenuGraphics/") + name;
        EXPECT_FALSE(action_sensitive(path.c_str())) << name;
    }
    EXPECT_EQ(ui.logo_page, 0);
    EXPECT_EQ(
        std::string(gtk_notebook_get_tab_label_text(
            GTK_NOTEBOOK(ui.mainbook), gtk_notebook_get_nth_page(GTK_NOTEBOOK(ui.mainbook), 0))),
        "KVR");
    // A fluid that is not available is greyed in its group.
    GList* groups = gtk_container_get_children(GTK_CONTAINER(ui.fluidsub[FG_PURE]));
    int items = 0;
    for (GList* l = groups; l != nullptr; l = l->next) ++items;
    g_list_free(groups);
    EXPECT_GT(items, 5);
    screenshot("start_page");
}

TEST_F(Shell, ProjectPagesTabsAndToggles) {
    const std::string text = read_file(example("helium_brayton.kvr"));
    const std::string cycle = write_file("pages/cycle.kvr", text);
    const std::string upper = write_file("pages/a.KVR", read_file(example("steam_rankine.kvr")));
    Project* a = open_project_file(cycle);
    Project* b = open_project_file(upper);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    pump();
    EXPECT_EQ(ui.logo_page, -1);
    EXPECT_EQ(tab_of(a), "cycle");
    EXPECT_EQ(tab_of(b), "a.KVR");
    EXPECT_EQ(current_project, b);
    EXPECT_FALSE(widget_sensitive("ui/ToolBar/SaveAction"));  // nothing to save yet
    EXPECT_TRUE(widget_sensitive("ui/MenuBar/MenuFile/CloseAction"));
    EXPECT_TRUE(widget_sensitive("ui/ToolBar/CalculateAction"));
    EXPECT_TRUE(widget_sensitive("ui/ToolBar/DeleteAction"));
    EXPECT_TRUE(widget_sensitive("ui/MenuBar/MenuEdit/CopyAction"));
    EXPECT_FALSE(widget_sensitive("ui/MenuBar/MenuEdit/PasteAction"));  // nothing copied

    show_project_page(a);
    pump();
    EXPECT_EQ(current_project, a);
    set_project_changed_true();
    EXPECT_EQ(tab_of(a), "cycle *");
    EXPECT_TRUE(widget_sensitive("ui/ToolBar/SaveAction"));

    // The Overview toggles follow the page's flowsheet.
    const char* cross1 = "ui/MenuBar/MenuPreferences/OverviewCross1ToggleAction";
    ASSERT_FALSE(gtk_toggle_action_get_active(GTK_TOGGLE_ACTION(action_at(cross1))));
    choose(cross1);
    EXPECT_EQ(a->graphs[0]->show_cross1, 1);
    show_project_page(b);
    pump();
    EXPECT_FALSE(gtk_toggle_action_get_active(GTK_TOGGLE_ACTION(action_at(cross1))));
    show_project_page(a);
    pump();
    EXPECT_TRUE(gtk_toggle_action_get_active(GTK_TOGGLE_ACTION(action_at(cross1))));
    EXPECT_EQ(b->graphs[0]->show_cross1, 0);
    screenshot("two_projects");

    // Reopening an open file shows its page; closing both brings the start page back.
    EXPECT_EQ(open_project_file(upper), b);
    EXPECT_EQ(current_project, b);
    answer_messages({Reply::Discard});
    choose("ui/MenuBar/MenuFile/CloseAction");
    choose("ui/MenuBar/MenuFile/CloseAction");
    pump();
    EXPECT_EQ(project_list[0], nullptr);
    EXPECT_EQ(current_project, nullptr);
    EXPECT_EQ(ui.logo_page, 0);
    expect_file_actions(false);
    for (const char* path : EDIT_PATHS) EXPECT_FALSE(widget_sensitive(path)) << path;
}

TEST_F(Shell, GraphNotebookAndDiagramMenu) {
    Project* p = open_project_file(
        write_file("notebook/cycle.kvr", read_file(example("helium_brayton.kvr"))));
    ASSERT_NE(p, nullptr);
    pump();
    answer_dialogs({[](GtkDialog*) { return static_cast<int>(GTK_RESPONSE_OK); }});
    choose("ui/MenuBar/MenuGraphics/CreateGraphAction");
    Graph* diagram = p->graphs[1];
    ASSERT_NE(diagram, nullptr);
    EXPECT_EQ(p->current_graph, diagram);
    EXPECT_TRUE(action_sensitive("ui/MenuBar/MenuGraphics/ConfigAxisAction"));
    // A user toggle changes the diagram and marks the project.
    const char* wet_path = "ui/MenuBar/MenuGraphics/ShowIsoWetnessAction";
    GtkAction* wet = action_at(wet_path);
    const int shown = diagram->iso_style[ISO_WETNESS].show;
    EXPECT_EQ(gtk_toggle_action_get_active(GTK_TOGGLE_ACTION(wet)) != 0, shown != 0);
    choose(wet_path);
    EXPECT_EQ(diagram->iso_style[ISO_WETNESS].show, 1 - shown);
    press_key(GDK_s, GDK_CONTROL_MASK);  // saved under its name
    EXPECT_EQ(tab_of(p), "cycle");
    // Back from the flowsheet's page the toggles show the diagram's flags
    // without counting as user toggles.
    GtkNotebook* book = GTK_NOTEBOOK(view_of(p)->graph_book);
    gtk_notebook_set_current_page(book, 0);
    pump();
    EXPECT_FALSE(action_sensitive("ui/MenuBar/MenuGraphics/ConfigAxisAction"));
    gtk_notebook_set_current_page(book, 1);
    pump();
    EXPECT_EQ(gtk_toggle_action_get_active(GTK_TOGGLE_ACTION(wet)) != 0, shown == 0);
    EXPECT_EQ(tab_of(p), "cycle");
    choose(wet_path);
    EXPECT_EQ(diagram->iso_style[ISO_WETNESS].show, shown);
    EXPECT_EQ(tab_of(p), "cycle *");

    // Tabs: the flowsheet has no close button, a diagram has one.
    auto children = [&](int page) {
        GtkWidget* tab = gtk_notebook_get_tab_label(book, gtk_notebook_get_nth_page(book, page));
        std::vector<GtkWidget*> out;
        GList* list = gtk_container_get_children(GTK_CONTAINER(tab));
        for (GList* l = list; l != nullptr; l = l->next) out.push_back(GTK_WIDGET(l->data));
        g_list_free(list);
        return out;
    };
    EXPECT_EQ(children(0).size(), 1U);
    ASSERT_EQ(children(1).size(), 2U);

    // Another project's flowsheet switches the diagram actions off; closing
    // it brings this diagram back with its actions.
    Project* other = open_project_file(example("steam_rankine.kvr"));
    ASSERT_NE(other, nullptr);
    pump();
    EXPECT_FALSE(action_sensitive("ui/MenuBar/MenuGraphics/ConfigAxisAction"));
    choose("ui/MenuBar/MenuFile/CloseAction");
    EXPECT_EQ(current_project, p);
    EXPECT_TRUE(action_sensitive("ui/MenuBar/MenuGraphics/ConfigAxisAction"));

    // The tab's close button hides the diagram.
    press_widget(children(1)[1]);
    EXPECT_EQ(gtk_notebook_get_n_pages(book), 1);
    EXPECT_EQ(p->current_graph, p->graphs[0]);
    EXPECT_FALSE(action_sensitive("ui/MenuBar/MenuGraphics/ConfigAxisAction"));
    EXPECT_EQ(p->graphs[1], diagram);  // hidden, not deleted
}

TEST_F(Shell, MissingManualAndProjectLimit) {
    choose("ui/MenuBar/HelpMenu/ManualAction");
    std::vector<MessageRequest> shown = messages();
    ASSERT_EQ(shown.size(), 1U);
    const std::string path = std::filesystem::path(app_home_dir).string() + "/../kvr2-manual.pdf";
    EXPECT_EQ(shown[0].text, "The file '" + path + "' cannot be opened!");
    EXPECT_EQ(shown[0].kind, MessageKind::Error);

    for (int i = 0; i < MAX_PROJECTS - 1; ++i) choose("ui/ToolBar/NewAction");
    EXPECT_NE(project_list[MAX_PROJECTS - 2], nullptr);
    EXPECT_TRUE(messages().empty());
    choose("ui/ToolBar/NewAction");
    EXPECT_EQ(project_list[MAX_PROJECTS - 1], nullptr);
    shown = messages();
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_NE(shown[0].text.find("At most 19 projects"), std::string::npos);
}

// A spin button of a dialog (the new process's temperature) ignores the
// wheel that scrolls the dialog.
TEST_F(Shell, SpinButtonsIgnoreTheWheelAndAboutNamesTheProgram) {
    double value = 0;
    double after = -1;
    answer_dialogs({[&](GtkDialog* d) {
        GtkWidget* spin = find_widget(GTK_WIDGET(d), "value0");
        EXPECT_TRUE(user_sees(GTK_WIDGET(d), {"value0"}));
        if (spin == nullptr || !GTK_IS_SPIN_BUTTON(spin))
            return static_cast<int>(GTK_RESPONSE_CANCEL);
        value = gtk_spin_button_get_value(GTK_SPIN_BUTTON(spin));
        GdkEvent* scroll = gdk_event_new(GDK_SCROLL);
        scroll->scroll.window = GDK_WINDOW(g_object_ref(spin->window));
        scroll->scroll.direction = GDK_SCROLL_UP;
        gtk_widget_event(spin, scroll);
        gdk_event_free(scroll);
        pump();
        after = gtk_spin_button_get_value(GTK_SPIN_BUTTON(spin));
        return static_cast<int>(GTK_RESPONSE_CANCEL);
    }});
    choose("ui/MenuBar/MenuFile/NewAction");
    EXPECT_EQ(after, value);
    // The builder's spin buttons ask for room for a value with its unit.
    GtkWidget* spin = my_spinner(0, 100, 1, 2, 42, nullptr, nullptr);
    g_object_ref_sink(spin);
    gint width = 0;
    gtk_widget_get_size_request(spin, &width, nullptr);
    EXPECT_EQ(width, 85);
    gtk_widget_destroy(spin);
    g_object_unref(spin);

    choose("ui/MenuBar/HelpMenu/AboutAction");
    GtkWidget* about = nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* l = windows; l != nullptr; l = l->next)
        if (GTK_IS_ABOUT_DIALOG(l->data)) about = GTK_WIDGET(l->data);
    g_list_free(windows);
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(user_sees(about, {}, 200, 150));
    EXPECT_STREQ(gtk_about_dialog_get_program_name(GTK_ABOUT_DIALOG(about)), "KVR");
    EXPECT_STREQ(gtk_about_dialog_get_version(GTK_ABOUT_DIALOG(about)), "2.14");
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(about)), "About KVR");
    screenshot("about", about);
    close_window(about);
    EXPECT_EQ(shown_window("About KVR"), nullptr);
}
