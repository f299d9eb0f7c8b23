// The project tree in the window: typed values with units, the menu each
// row opens, selections of heat exchangers, Rename, Delete, the insert
// commands with their dialogs, results after a calculation.
#include "tree_support.h"
#include "user_path.h"

#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/units.h"
#include "app/core/solver/simulator.h"
#include "app/core/structure/tree_rules.h"
#include "app/gui/handlers.h"

#include <gdk/gdkkeysyms.h>

using namespace app;
using namespace app::gui;
using namespace guitest;

namespace {

using Menus = std::vector<std::string>;

class Tree : public GuiTest {
protected:
    // The steam Rankine example: Pump 1, Boiler, Turbine 1, Cooler.
    Project* rankine() {
        Project* p = open_project_file(example("steam_rankine.kvr"));
        EXPECT_NE(p, nullptr);
        return p;
    }
    // An interface from the Boiler (hot) to the Cooler (cold), made as a
    // user makes it: both rows chosen, "Create Interface" from their menu
    // (the upper row is the hot side).
    static void couple(Project* p) {
        select_rows(p, {{1, 0, 1, 1}, {1, 0, 1, 3}});
        press(p, {1, 0, 1, 3}, 3);
        choose("ui/Popup_on_multiple/CreateInterfaceFromTreeAction");
        ASSERT_EQ(p->az_interfaces, 1);
        const Process& process = *p->processes[0];
        ASSERT_EQ(p->interfaces[0]->hot_part_id, process.parts[2]->id);
        ASSERT_EQ(p->interfaces[0]->cold_part_id, process.parts[4]->id);
    }
    static bool sensitive(const char* path) { return action_sensitive(path); }
};

// Activates the item with this label in the tree menu shown now.
void choose_in_shown_menu(const std::string& label) {
    for (const auto& [name, menu] : tree_menus()) {
        if (menu == nullptr || !gtk_widget_get_mapped(menu)) continue;
        GList* items = gtk_container_get_children(GTK_CONTAINER(menu));
        for (GList* i = items; i != nullptr; i = i->next) {
            GtkWidget* child = gtk_bin_get_child(GTK_BIN(i->data));
            if (child != nullptr && GTK_IS_LABEL(child) &&
                label == gtk_label_get_text(GTK_LABEL(child)))
                gtk_menu_item_activate(GTK_MENU_ITEM(i->data));
        }
        g_list_free(items);
        gtk_menu_popdown(GTK_MENU(menu));
    }
    pump();
}

int rows_selected(Project* p) {
    return gtk_tree_selection_count_selected_rows(gtk_tree_view_get_selection(tree_view_of(p)));
}

// A left press on the expander arrow of the row (left of its name cell).
void press_expander(Project* p, const TreePath& row) {
    GtkTreeView* view = tree_view_of(p);
    GtkTreePath* path = gtk_path_of(row);
    gtk_tree_view_expand_to_path(view, path);
    gtk_tree_view_collapse_row(view, path);
    pump();
    GdkRectangle cell;
    gtk_tree_view_get_cell_area(view, path, gtk_tree_view_get_column(view, 0), &cell);
    gtk_tree_path_free(path);
    gint arrow = 0;
    gtk_widget_style_get(GTK_WIDGET(view), "expander-size", &arrow, nullptr);
    constexpr int kArrowPadding = 4;  // the tree's padding around its arrows
    const double x = cell.x - (arrow + kArrowPadding) / 2.0;
    const double y = cell.y + cell.height / 2.0;
    // The button released from any earlier press (press() sends none), then
    // the pointer over the arrow: the tree opens a row on the release of a
    // press on its lit arrow.
    GdkEventButton up{};
    up.type = GDK_BUTTON_RELEASE;
    up.window = gtk_tree_view_get_bin_window(view);
    up.send_event = TRUE;
    up.time = GDK_CURRENT_TIME;
    up.x = x;
    up.y = y;
    up.button = 1;
    up.device = gdk_device_get_core_pointer();
    gtk_widget_event(GTK_WIDGET(view), reinterpret_cast<GdkEvent*>(&up));
    GdkEventMotion over{};
    over.type = GDK_MOTION_NOTIFY;
    over.window = gtk_tree_view_get_bin_window(view);
    over.send_event = TRUE;
    over.time = GDK_CURRENT_TIME;
    over.x = x;
    over.y = y;
    over.device = gdk_device_get_core_pointer();
    gtk_widget_event(GTK_WIDGET(view), reinterpret_cast<GdkEvent*>(&over));
    GdkEventButton event{};
    event.type = GDK_BUTTON_PRESS;
    event.window = over.window;
    event.send_event = TRUE;
    event.time = GDK_CURRENT_TIME;
    event.x = x;
    event.y = y;
    event.button = 1;
    event.device = gdk_device_get_core_pointer();
    gtk_widget_event(GTK_WIDGET(view), reinterpret_cast<GdkEvent*>(&event));
    event.type = GDK_BUTTON_RELEASE;
    gtk_widget_event(GTK_WIDGET(view), reinterpret_cast<GdkEvent*>(&event));
    pump();
}

std::function<int(GtkDialog*)> respond(int response) {
    return [response](GtkDialog*) { return response; };
}

}  // namespace

TEST_F(Tree, ValuesAreTypedWithUnits) {
    Project* p = rankine();
    const TreePath temperature{1, 0, 0, 1};
    EXPECT_EQ(cell(p, temperature), "318.15 K");
    // "C" is not a unit name: the number stays in K, with the message.
    type_value(p, temperature, "20 C");
    auto shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_NE(shown[0].text.find("The unit for 'Temperature' could not be analyzed correctly."),
              std::string::npos);
    EXPECT_EQ(cell(p, temperature), "20 K");
    EXPECT_EQ(p->processes[0]->input_units[PRI_TEMPERATURE], 0);
    // "celsius" is: 293.15 K stored, shown in °C.
    type_value(p, temperature, "20 celsius");
    EXPECT_TRUE(messages().empty());
    EXPECT_DOUBLE_EQ(p->processes[0]->inputs[PRI_TEMPERATURE], 293.15);
    EXPECT_EQ(cell(p, temperature), "20 °C");
    // No number: nothing changes, the message names the old value.
    type_value(p, temperature, "abc");
    shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].text.find("The value is reset to the old value 20 °C."), std::string::npos);
    EXPECT_EQ(cell(p, temperature), "20 °C");
    // A unit from the unit menu.
    press(p, {1, 0, 2, 1}, 3);
    pick_in_menu(ui.unit_popups[Q_POWER], "MW");
    EXPECT_EQ(cell(p, {1, 0, 2, 1}), "0 MW");
    EXPECT_EQ(tab_of(p), "steam_rankine *");
    expect_store_matches(p);
}

TEST_F(Tree, EachRowOpensItsMenu) {
    Project* p = rankine();
    couple(p);
    Graph* graph = create_graph();
    graph->kind = GK_DIAGRAM;
    graph->name = "T-s Diagram Water";
    append_graph(*p, graph);
    build_graph_in_tree(p, graph);
    auto unit = [&](const TreePath& path) {
        return "unit " + std::to_string(row_value_def(*p, resolve_row(*p, path))->quantity);
    };
    const struct {
        TreePath path;
        Menus menus;
    } cases[] = {
        {{0}, {}},
        {{0, 2}, {unit({0, 2})}},
        {{1}, {"Popup_on_process_short"}},
        {{1, 0}, {"Popup_on_process"}},
        {{1, 0, 0}, {}},
        {{1, 0, 0, 0}, {"fluids"}},
        {{1, 0, 0, 2}, {unit({1, 0, 0, 2})}},
        {{1, 0, 1}, {"Popup_on_part_short"}},
        {{1, 0, 1, 0}, {"Popup_on_part"}},
        {{1, 0, 1, 0, 0, 0}, {"option 1"}},  // the pump's "Compression "
        {{1, 0, 1, 1, 0, 0}, {}},            // the Boiler's outlet temperature: the interface's
        {{1, 0, 1, 1, 0, 1}, {"option 3"}},
        {{1, 0, 1, 0, 1, 0}, {unit({1, 0, 1, 0, 1, 0})}},
        {{1, 0, 1, 0, 2, 1, 0}, {unit({1, 0, 1, 0, 2, 1, 0})}},
        {{1, 0, 2}, {}},
        {{1, 0, 2, 3}, {unit({1, 0, 2, 3})}},
        {{2}, {"Popup_expand_only"}},
        {{2, 0}, {"Popup_on_interface"}},
        {{2, 0, 1}, {"Popup_on_interface_part"}},
        {{2, 0, 2, 0}, {"calculation mode"}},
        {{2, 0, 2, 1}, {}},
        {{2, 0, 3, 0}, {unit({2, 0, 3, 0})}},
        {{2, 0, 4, 3}, {unit({2, 0, 4, 3})}},
        {{3}, {"Popup_on_graphs"}},
        {{3, 0}, {"Popup_on_graph"}},
    };
    for (const auto& c : cases) {
        press(p, c.path, 3);
        EXPECT_EQ(shown_menus(), c.menus) << path_text(c.path);
        EXPECT_EQ(last_press_path, c.path);
    }
    // Show Graph is offered for a diagram without a page only: the
    // example's diagrams have theirs, the new one has none.
    int last = 0;
    while (p->graphs[static_cast<std::size_t>(last + 1)] != graph) ++last;
    press(p, {3, last}, 3);
    shown_menus();
    EXPECT_TRUE(sensitive("ui/Popup_on_graph/ShowGraphAction"));
    if (last > 0) {
        press(p, {3, 0}, 3);
        shown_menus();
        EXPECT_FALSE(sensitive("ui/Popup_on_graph/ShowGraphAction"));
    }
    // A linked heat exchanger: Delete off; its first option opens nothing
    // on a left click either; another part's option does.
    press(p, {1, 0, 1, 1}, 3);
    EXPECT_EQ(shown_menus(), Menus{"Popup_on_part"});
    EXPECT_FALSE(sensitive("ui/Popup_on_part/DeleteAction"));
    press(p, {1, 0, 1, 1, 0, 0}, 1);
    EXPECT_EQ(shown_menus(), Menus{});
    press(p, {1, 0, 1, 0, 0, 0}, 1);
    EXPECT_EQ(shown_menus(), Menus{"option 1"});
    EXPECT_EQ(p->current_part, 1);
    // Choosing from an option menu: "Compression" of the pump to a fixed
    // outlet (a press elsewhere first: two synthetic presses on one row
    // make a double click).
    press(p, {1, 0, 1, 1, 0, 0}, 1);
    press(p, {1, 0, 1, 0, 0, 0}, 1);
    pick_in_menu(ui.popup_options[1], "Fixed outlet");
    EXPECT_EQ(cell(p, {1, 0, 1, 0, 0, 0}), "Fixed outlet");
    EXPECT_EQ(cell(p, {1, 0, 1, 0, 1, 0}, COL_NAME), "Outlet Pressure");
    expect_store_matches(p);
}

TEST_F(Tree, RightClickOnASecondFreeHeatExchangerSelectsBoth) {
    Project* p = rankine();
    const TreePath boiler{1, 0, 1, 1};
    const TreePath cooler{1, 0, 1, 3};
    select_rows(p, {boiler});
    press(p, cooler, 3);
    EXPECT_EQ(rows_selected(p), 2);
    EXPECT_EQ(shown_menus(), Menus{"Popup_on_multiple"});
    EXPECT_TRUE(sensitive("ui/Popup_on_multiple/CreateInterfaceFromTreeAction"));
    // One of them linked: the interface cannot be made.
    p->processes[0]->parts[4]->options[OPT_OUTLET_TEMPERATURE] = 2;
    select_rows(p, {boiler});
    press(p, cooler, 3);
    EXPECT_EQ(rows_selected(p), 1);
    EXPECT_EQ(shown_menus(), Menus{"Popup_on_part"});
    select_rows(p, {boiler, cooler});
    press(p, cooler, 3);
    EXPECT_EQ(shown_menus(), Menus{"Popup_on_multiple"});
    EXPECT_FALSE(sensitive("ui/Popup_on_multiple/CreateInterfaceFromTreeAction"));
    EXPECT_FALSE(sensitive("ui/MenuBar/MenuEdit/DeleteAction"));
}

TEST_F(Tree, GraphsWithoutProcessesOpensNothing) {
    answer_dialogs({respond(GTK_RESPONSE_CANCEL)});
    choose("ui/MenuBar/MenuFile/NewAction");
    Project* p = project_list[0];
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->az_processes, 0);
    EXPECT_EQ(dialog_titles, std::vector<std::string>{"Create New Process"});
    press(p, {3}, 3);
    EXPECT_EQ(shown_menus(), Menus{});
}

TEST_F(Tree, RenameWithCancelKeepsTheName) {
    Project* p = rankine();
    select_rows(p, {{1, 0}});
    answer_dialogs({respond(GTK_RESPONSE_CANCEL), [](GtkDialog* d) {
                        gtk_entry_set_text(GTK_ENTRY(find_widget(GTK_WIDGET(d), "name")),
                                           "Rankine");
                        return static_cast<int>(GTK_RESPONSE_APPLY);
                    }});
    press(p, {1, 0}, 3);
    choose("ui/Popup_on_process/RenameAction");
    EXPECT_EQ(p->processes[0]->name, "Steam Rankine Cycle");
    key(p, GDK_F2);
    EXPECT_EQ(dialog_titles, (std::vector<std::string>{"Rename Process", "Rename Process"}));
    EXPECT_EQ(p->processes[0]->name, "Rankine");
    EXPECT_EQ(cell(p, {1, 0}, COL_NAME), "Rankine");
    // A part, and the interface side that names it.
    couple(p);
    select_rows(p, {{1, 0, 1, 3, 2}});
    answer_dialogs({[](GtkDialog* d) {
        gtk_entry_set_text(GTK_ENTRY(find_widget(GTK_WIDGET(d), "name")), "Condenser");
        return static_cast<int>(GTK_RESPONSE_APPLY);
    }});
    press(p, {1, 0, 1, 3}, 3);
    choose("ui/Popup_on_part/RenameAction");
    EXPECT_EQ(dialog_titles.back(), "Rename Part");
    EXPECT_EQ(cell(p, {1, 0, 1, 3}, COL_NAME), "Condenser");
    EXPECT_EQ(cell(p, {2, 0, 1}), "Rankine : Condenser");
}

TEST_F(Tree, DeleteTakesPartsFirstAndRefusesLinkedHeatExchangers) {
    Project* p = rankine();
    press(p, {1, 0}, 3);
    choose("ui/Popup_on_process/InsertProcess");  // "Process 2", answered OK
    ASSERT_EQ(p->az_processes, 2);
    couple(p);
    // The keyboard's Delete on a linked heat exchanger is refused.
    select_rows(p, {{1, 0, 1, 1}});
    key(p, GDK_Delete);
    auto shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].text.find("belongs to interface"), std::string::npos);
    EXPECT_EQ(p->az_interfaces, 1);
    EXPECT_EQ(p->processes[0]->az_parts, 6);
    // A part and a process: the part first, then the process.
    select_rows(p, {{1, 0, 1, 0}, {1, 1}});
    press(p, {1, 1}, 3);
    choose("ui/Popup_on_multiple/DeleteAction");
    EXPECT_EQ(p->az_processes, 1);
    EXPECT_EQ(p->processes[0]->parts[1]->name, "Boiler");
    EXPECT_TRUE(messages().empty());
    expect_store_matches(p);
    // The interface and then its heat exchanger.
    select_rows(p, {{1, 0, 1, 0}, {2, 0}});
    choose("ui/MenuBar/MenuEdit/DeleteAction");
    EXPECT_EQ(p->az_interfaces, 0);
    EXPECT_EQ(p->processes[0]->parts[1]->name, "Turbine 1");
    EXPECT_EQ(p->processes[0]->parts[2]->icon, "My_heatexchanger");
    EXPECT_EQ(cell(p, {1, 0, 1, 1, 0, 0}), "Specific Heat Flux");
    expect_store_matches(p);
}

TEST_F(Tree, InsertCommandsAskTheirQuestions) {
    Project* p = rankine();
    press(p, {1, 0, 1, 0}, 1);  // the pump is current
    choose("ui/Popup_on_part/InsertCompressor");
    EXPECT_EQ(cell(p, {1, 0, 1, 1}, COL_NAME), "Compressor 1");
    EXPECT_EQ(p->current_part, 2);
    choose("ui/Popup_on_part/InsertSplitter");
    EXPECT_EQ(cell(p, {1, 0, 1, 2}, COL_NAME), "Splitter 1");
    // After a splitter: which outlet; "Second" puts the pump into the branch.
    answer_dialogs({[](GtkDialog* d) {
        EXPECT_EQ(std::string(gtk_window_get_title(GTK_WINDOW(d))), "Outlet selector: ");
        return 1;
    }});
    choose("ui/Popup_on_part/InsertPump");
    Part& pump2 = *p->processes[0]->parts[4];
    EXPECT_EQ(pump2.name, "Pump 2");
    EXPECT_EQ(pump2.prev_outlet[0], 1);
    // A mixer after the Turbine takes the branch: the outlet is offered.
    press(p, {1, 0, 1, 5}, 1);
    ASSERT_EQ(p->processes[0]->parts[p->current_part]->name, "Turbine 1");
    std::string offered;
    answer_dialogs({[&](GtkDialog* d) {
        gchar* text =
            gtk_combo_box_get_active_text(GTK_COMBO_BOX(find_widget(GTK_WIDGET(d), "choice")));
        offered = text != nullptr ? text : "";
        g_free(text);
        return static_cast<int>(GTK_RESPONSE_OK);
    }});
    choose("ui/Popup_on_part/InsertMixer");
    EXPECT_EQ(offered, "Outlet 2");
    // Connected, no part is current, and the tree shows none: the Turbine row
    // left selected would show the next Insert going after it, not after the
    // Inlet.
    EXPECT_EQ(p->current_part, -1);
    EXPECT_TRUE(selected_paths(tree_view_of(p)).empty());
    EXPECT_TRUE(sensitive("ui/ToolBar/CalculateAction"));
    EXPECT_EQ(p->processes[0]->parts[p->processes[0]->az_parts - 1]->name, "Outlet 1");
    expect_store_matches(p);
    // Move up and down through the menu commands.
    press(p, {1, 0, 1, 1}, 3);
    choose("ui/Popup_on_part/MoveDownAction");
    EXPECT_EQ(cell(p, {1, 0, 1, 2}, COL_NAME), "Compressor 1");
    EXPECT_EQ(cell(p, {1, 0, 1, 1}, COL_NAME), "Splitter 1");
    expect_store_matches(p);
}

TEST_F(Tree, ResultsAfterACalculationAreDarkCyan) {
    Project* p = rankine();
    ASSERT_EQ(calcProject(*p), CS_FINISHED);
    show_results_in_tree(p);
    for (const CellText& c : result_cells(*p)) {
        EXPECT_EQ(cell(p, c.path), c.text) << path_text(c.path);
        EXPECT_EQ(cell(p, c.path, COL_VALUE_FOREGROUND), "darkcyan") << path_text(c.path);
    }
    GtkTreeView* view = tree_view_of(p);
    // The turbine's options, the longest option value chosen, and all its
    // results: the deepest rows are read without scrolling sideways.
    const TreePath counts{1, 0, 1, 2, 0, 3};  // "Efficiency calculation"
    press(p, counts, 1);
    choose_in_shown_menu("Use for Process and Full Project");
    EXPECT_EQ(cell(p, counts), "Use for Process and Full Project");
    for (const TreePath& rows : {TreePath{1, 0, 1, 2, 0}, TreePath{1, 0, 1, 2, 2}}) {
        GtkTreePath* path = gtk_path_of(rows);
        gtk_tree_view_expand_to_path(view, path);
        gtk_tree_view_expand_row(view, path, TRUE);
        gtk_tree_path_free(path);
    }
    pump();
    GtkAdjustment* sideways = gtk_scrolled_window_get_hadjustment(
        GTK_SCROLLED_WINDOW(gtk_widget_get_parent(GTK_WIDGET(view))));
    EXPECT_LE(gtk_adjustment_get_upper(sideways), gtk_adjustment_get_page_size(sideways) + 0.5)
        << "the tree is wider than its pane: values are cut off at the divider";
    screenshot("tree_results");
}

// A press on an interface's expander arrow makes it current; the tree then
// shows its row selected, not the part selected before (the next Insert
// does not go where that part showed).
TEST_F(Tree, TheArrowOfARowSelectsWhatItMakesCurrent) {
    Project* p = rankine();
    couple(p);
    press(p, {1, 0, 1, 1}, 1);  // the Boiler
    ASSERT_EQ(selected_paths(tree_view_of(p)), (std::vector<TreePath>{{1, 0, 1, 1}}));
    press_expander(p, {2, 0});
    GtkTreePath* interface_row = gtk_path_of({2, 0});
    EXPECT_TRUE(gtk_tree_view_row_expanded(tree_view_of(p), interface_row))
        << "the press missed the arrow";
    gtk_tree_path_free(interface_row);
    EXPECT_EQ(p->current_interface, 0);
    EXPECT_EQ(selected_paths(tree_view_of(p)), (std::vector<TreePath>{{2, 0}}));
}
