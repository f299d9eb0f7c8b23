// The part and interface dialogs: the working copy and its answers, a
// linked heat exchanger, stale dialogs, fuels; the interface selection
// dialog, swap, delete, the details dialog and the tree's two-row choice.
#include "tree_support.h"
#include "user_path.h"

#include "app/core/model/init.h"
#include "app/core/structure/interfaces.h"
#include "app/core/structure/structure.h"
#include "app/core/views/flowsheet.h"
#include "app/gui/handlers.h"

using namespace app;
using namespace app::gui;
using namespace guitest;

namespace {

constexpr const char* HELIUM_TITLE = "Helium Brayton Cycle";

// The label of input row n.
std::string label_of(GtkWidget* d, const char* input) {
    const std::string name = std::string("label") + (input + 5);
    return gtk_label_get_text(GTK_LABEL(find_widget(d, name)));
}

std::string text_of(GtkWidget* d, const char* name) {
    return gtk_entry_get_text(GTK_ENTRY(find_widget(d, name)));
}

void enter(GtkWidget* d, const char* name, const char* text) {
    GtkWidget* entry = find_widget(d, name);
    gtk_entry_set_text(GTK_ENTRY(entry), text);
    gtk_widget_activate(entry);
    pump();
}

// Clicks the dialog's button of the response.
void respond(GtkWidget* d, int response) {
    SCOPED_TRACE("response " + std::to_string(response));
    click(gtk_dialog_get_widget_for_response(GTK_DIALOG(d), response));
    pump();
}

bool sensitive(GtkWidget* d, const char* name) {
    return gtk_widget_is_sensitive(find_widget(d, name)) != 0;
}

bool response_sensitive_of(GtkWidget* d, int response = GTK_RESPONSE_OK) {
    return gtk_widget_is_sensitive(gtk_dialog_get_widget_for_response(GTK_DIALOG(d), response)) !=
           0;
}

int rows_in(GtkWidget* d, const char* list) {
    GtkTreeModel* model = gtk_tree_view_get_model(GTK_TREE_VIEW(find_widget(d, list)));
    return gtk_tree_model_iter_n_children(model, nullptr);
}

// Selects the row of the list whose text starts with "process : part".
void pick_row(GtkWidget* d, const char* list, const std::string& text) {
    GtkTreeView* view = GTK_TREE_VIEW(find_widget(d, list));
    GtkTreeModel* model = gtk_tree_view_get_model(view);
    GtkTreeIter it;
    bool more = gtk_tree_model_get_iter_first(model, &it) != 0;
    while (more) {
        gchar* t = nullptr;
        gtk_tree_model_get(model, &it, 0, &t, -1);
        const bool hit = t != nullptr && text == t;
        g_free(t);
        if (hit) {
            gtk_tree_selection_select_iter(gtk_tree_view_get_selection(view), &it);
            pump();
            return;
        }
        more = gtk_tree_model_iter_next(model, &it) != 0;
    }
    ADD_FAILURE() << text << " is not offered";
}

class Details : public GuiTest {
protected:
    // The helium example with a second heat exchanger after the heater.
    Project* open_helium(bool second_heat_exchanger) {
        Project* p = open_project_file(example("helium_brayton.kvr"));
        EXPECT_NE(p, nullptr);
        pump();
        if (second_heat_exchanger) {
            select_part(p, 0, 2);  // the heater
            choose("ui/Popup_on_part_in_graph/InsertHeatExchanger");
        }
        pump();
        return p;
    }
    Part& part(Project* p, int i) { return *p->processes[0]->parts[i]; }
};

using PartDialog = Details;
using InterfaceDialogs = Details;

}  // namespace

TEST_F(PartDialog, CopyAnswersAndBounds) {
    Project* p = open_helium(false);
    p->changed = 0;
    update_tab_label(p);
    open_part(p, 0, 1);  // the compressor
    GtkWidget* d = shown_window(std::string("Part details for part 1 of process ") + HELIUM_TITLE);
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(response_sensitive_of(d, -42));
    EXPECT_FALSE(response_sensitive_of(d, GTK_RESPONSE_CANCEL));
    // OK without a change: nothing marked.
    respond(d, GTK_RESPONSE_OK);
    EXPECT_EQ(shown_window(std::string("Part details for part 1 of process ") + HELIUM_TITLE),
              nullptr);
    EXPECT_EQ(tab_of(p), "helium_brayton");
    // Isentropic -> Polytropic: the dialog at once, the tree after OK.
    open_part(p, 0, 1);
    d = shown_window(std::string("Part details for part 1 of process ") + HELIUM_TITLE);
    gtk_combo_box_set_active(GTK_COMBO_BOX(find_widget(d, "option1")), 1);
    pump();
    EXPECT_EQ(label_of(d, "input1"), "Polytropic Efficiency");
    screenshot("part_dialog");
    EXPECT_EQ(cell(p, {1, 0, 1, 0, 1, 1}, COL_NAME), "Isentropic Efficiency");
    // A value beyond its bounds is refused with the reason; the old value stays.
    enter(d, "input1", "0.8");
    enter(d, "input1", "7");
    const std::vector<MessageRequest> shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_NE(shown[0].text.find("an efficiency cannot exceed 1"), std::string::npos)
        << shown[0].text;
    EXPECT_EQ(text_of(d, "input1"), "0.8 -");
    respond(d, GTK_RESPONSE_OK);
    EXPECT_EQ(cell(p, {1, 0, 1, 0, 1, 1}, COL_NAME), "Polytropic Efficiency");
    EXPECT_EQ(part(p, 1).options[OPT_EFFICIENCY], 1);
    EXPECT_EQ(tab_of(p), "helium_brayton *");
    // Reset takes the part's values again.
    open_part(p, 0, 1);
    d = shown_window(std::string("Part details for part 1 of process ") + HELIUM_TITLE);
    enter(d, "name", "Main compressor");
    respond(d, -42);
    EXPECT_EQ(text_of(d, "name"), "Compressor 1");
    close_window(d);  // Cancel is off again after Reset
    EXPECT_EQ(part(p, 1).name, "Compressor 1");
}

TEST_F(PartDialog, StaleDialogsAndFuels) {
    Project* p = open_helium(true);
    // A part deleted under its open dialog: the dialog closes, writing
    // nothing.
    open_part(p, 0, 3);  // the new heat exchanger
    GtkWidget* d = shown_window(std::string("Part details for part 3 of process ") + HELIUM_TITLE);
    ASSERT_NE(d, nullptr);
    enter(d, "name", "Gone");
    select_part(p, 0, 3);  // on the sheet beside the dialog, and deleted
    choose("ui/Popup_on_part_in_graph/DeleteAction");
    EXPECT_EQ(shown_window(std::string("Part details for part 3 of process ") + HELIUM_TITLE),
              nullptr);
    for (int i = 0; i < p->processes[0]->az_parts; ++i) EXPECT_NE(part(p, i).name, "Gone");
    // A fuel chosen while another part is current lands in the dialog's part.
    select_part(p, 0, 1);
    choose("ui/Popup_on_part_in_graph/InsertCombustor");
    const int combustor = p->current_part;
    open_part(p, 0, combustor);
    d = shown_window("Part details for part " + std::to_string(combustor) + " of process " +
                     HELIUM_TITLE);
    ASSERT_NE(d, nullptr);
    select_part(p, 0, 1);  // the compressor, on the sheet beside the dialog
    ASSERT_EQ(p->current_part, 1);
    Fluid* before = part(p, 1).fuel;
    pick_fluid(find_widget(d, "fuel"), fluids[8]->name);  // hydrogen
    EXPECT_EQ(part(p, combustor).fuel, fluids[8]);
    EXPECT_EQ(part(p, 1).fuel, before);
    EXPECT_EQ(std::string(gtk_button_get_label(GTK_BUTTON(find_widget(d, "fuel")))),
              fluids[8]->name);
    // Closing the project closes the dialog; nothing is left behind.
    ASSERT_TRUE(close_project(p, false));
    pump();
    EXPECT_EQ(shown_window("Part details for part " + std::to_string(combustor) + " of process " +
                           HELIUM_TITLE),
              nullptr);
}

TEST_F(InterfaceDialogs, SelectSwapDelete) {
    Project* p = open_helium(true);
    const std::string heater = std::string(HELIUM_TITLE) + " : Heater";
    const std::string other = std::string(HELIUM_TITLE) + " : " + part(p, 3).name;
    answer_dialogs({[&](GtkDialog* dialog) {
        GtkWidget* d = GTK_WIDGET(dialog);
        // The current part, a free heat exchanger, is the hot side already.
        EXPECT_EQ(rows_in(d, "hot"), 2);
        EXPECT_EQ(rows_in(d, "cold"), 1);
        EXPECT_FALSE(response_sensitive_of(d));
        pick_row(d, "hot", heater);  // the other one comes back to the cold side
        EXPECT_EQ(rows_in(d, "cold"), 1);
        pick_row(d, "cold", other);
        EXPECT_EQ(rows_in(d, "hot"), 1);
        pick_row(d, "hot", heater);
        EXPECT_TRUE(response_sensitive_of(d));
        return static_cast<int>(GTK_RESPONSE_OK);
    }});
    choose("ui/Popup_on_part_in_graph/CreateInterfaceAction");
    ASSERT_EQ(p->az_interfaces, 1);
    const app::Interface& itf = *p->interfaces[0];
    EXPECT_EQ(itf.hot_part_id, part(p, 2).id);
    EXPECT_EQ(itf.cold_part_id, part(p, 3).id);
    EXPECT_EQ(p->current_interface, 0);
    // Every heat exchanger linked: no interface to create, from the sheet
    // or the tree.
    select_part(p, 0, 1);
    EXPECT_FALSE(action_sensitive("ui/Popup_on_part_in_graph/CreateInterfaceAction"));
    select_rows(p, {{1, 0, 1, 1}, {1, 0, 1, 2}});
    press(p, {1, 0, 1, 2}, 3);
    EXPECT_FALSE(action_sensitive("ui/Popup_on_multiple/CreateInterfaceFromTreeAction"));
    shown_menus();
    EXPECT_EQ(p->az_interfaces, 1);
    EXPECT_EQ(cell(p, {1, 0, 1, 1}, COL_ICON), "My_heatsource");
    // Swap: the icons change sides in the tree and on the sheet.
    press_interface(p, 0);
    choose("ui/Popup_on_interface_in_graph/SwapPartsAction");
    EXPECT_EQ(cell(p, {1, 0, 1, 1}, COL_ICON), "My_heatsink");
    EXPECT_EQ(cell(p, {1, 0, 1, 2}, COL_ICON), "My_heatsource");
    EXPECT_EQ(part(p, 3).icon, "My_heatsource");
    EXPECT_EQ(p->interfaces[0]->hot_part_id, part(p, 3).id);
    // Delete is off for a linked heat exchanger, on for its interface.
    select_part(p, 0, 2);
    EXPECT_FALSE(action_sensitive("ui/Popup_on_part_in_graph/DeleteAction"));
    press_interface(p, 0);
    EXPECT_TRUE(action_sensitive("ui/Popup_on_part_in_graph/DeleteAction"));
    // After Delete both are free: "Specific Heat Flux" and its value shown.
    choose("ui/Popup_on_interface_in_graph/DeleteAction");
    EXPECT_EQ(p->az_interfaces, 0);
    for (int i : {2, 3}) {
        EXPECT_EQ(part(p, i).options[OPT_OUTLET_TEMPERATURE], 1);
        EXPECT_EQ(cell(p, {1, 0, 1, i - 1, 1, 0}, COL_NAME), "Specific Heat Flux");
        EXPECT_NE(cell(p, {1, 0, 1, i - 1, 1, 0}), " - ");
        select_part(p, 0, i);
        EXPECT_TRUE(action_sensitive("ui/Popup_on_part_in_graph/DeleteAction"));
    }
    EXPECT_TRUE(messages().empty());
}

TEST_F(InterfaceDialogs, TreeChoiceLinkedDialogAndDetails) {
    Project* p = open_helium(true);
    // The upper of two selected rows becomes the hot side.
    select_rows(p, {{1, 0, 1, 1}, {1, 0, 1, 2}});
    press(p, {1, 0, 1, 2}, 3);
    choose("ui/Popup_on_multiple/CreateInterfaceFromTreeAction");
    ASSERT_EQ(p->az_interfaces, 1);
    EXPECT_EQ(p->interfaces[0]->hot_part_id, part(p, 2).id);
    // A linked heat exchanger's "Outlet Temperature" and first input:
    // disabled and empty.
    open_part(p, 0, 2);
    GtkWidget* d = shown_window(std::string("Part details for part 2 of process ") + HELIUM_TITLE);
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(sensitive(d, "option0"));
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(find_widget(d, "option0"))), -1);
    EXPECT_FALSE(sensitive(d, "input0"));
    EXPECT_EQ(text_of(d, "input0"), "");
    EXPECT_EQ(label_of(d, "input0"), "");
    EXPECT_EQ(label_of(d, "input1"), "Relative Pressure Loss");
    close_window(d);  // nothing changed: Cancel is off
    // Details: "Outlet Temperature Cold Side" relabels the first input at once.
    open_interface(p, 0);
    GtkWidget* itf = shown_window("Interface details for interface " + p->interfaces[0]->name);
    ASSERT_NE(itf, nullptr);
    gtk_combo_box_set_active(GTK_COMBO_BOX(find_widget(itf, "option0")), 2);
    pump();
    EXPECT_EQ(label_of(itf, "input0"), "Outlet Temperature Cold Side");
    screenshot("interface_dialog");
    respond(itf, GTK_RESPONSE_OK);
    EXPECT_EQ(p->interfaces[0]->options[IOPT_CALCULATION_MODE], 2);
    EXPECT_EQ(cell(p, {2, 0, 3, 0}, COL_NAME), "Outlet Temperature Cold Side");
    // A deleted interface's open dialog closes and writes nothing.
    const std::string title = "Interface details for interface " + p->interfaces[0]->name;
    open_interface(p, 0);
    ASSERT_NE(shown_window(title), nullptr);
    press_interface(p, 0);  // on the sheet beside the dialog
    choose("ui/Popup_on_interface_in_graph/DeleteAction");
    EXPECT_EQ(shown_window(title), nullptr);
    screenshot("interface_deleted");
}

TEST_F(PartDialog, TheNameInsertGivesShowsWhole) {
    Project* p = open_helium(false);
    select_part(p, 0, 1);
    choose("ui/Popup_on_part_in_graph/InsertCombustoroxy");
    ASSERT_EQ(part(p, 2).name, "Oxygen Injection Combustor 1");
    open_part(p, 0, 2);
    const std::string title = std::string("Part details for part 2 of process ") + HELIUM_TITLE;
    GtkWidget* d = shown_window(title);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(user_sees(d, {"name"}));
    // From its first letter to its last: nothing of it scrolled away.
    GtkEntry* name = GTK_ENTRY(find_widget(d, "name"));
    for (int at : {0, -1}) {
        gtk_editable_set_position(GTK_EDITABLE(name), at);
        pump();
        EXPECT_EQ(name->scroll_offset, 0) << "cursor at " << at;
    }
    screenshot("part_dialog_long_name", d);
    respond(d, GTK_RESPONSE_OK);
    EXPECT_EQ(shown_window(title), nullptr);
}
