// Results after the structure changed: deleting a part or an interface
// leaves no old result shown as if it were current, in the tree or in the
// details dialog; Calculate shows them again, in an open dialog as well.
#include "tree_support.h"
#include "user_path.h"

#include "app/core/files/filehandling.h"
#include "app/gui/calculate.h"
#include "app/gui/handlers.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace app;
using namespace app::gui;
using namespace guitest;

namespace {

// The tree's paths of result cells: totals, a part's first outlet result
// (its parts row, results folder 2, group 1), a process's summary, an
// interface's results.
TreePath total(int k) { return {0, k}; }
TreePath outlet_result(int process, int row) { return {1, process, 1, row, 2, 1, 0}; }
TreePath summary(int process, int k) { return {1, process, 2, k}; }

// The value column of every results list in the dialog.
std::vector<std::string> result_texts(GtkWidget* dialog) {
    std::vector<std::string> out;
    std::vector<GtkWidget*> todo{dialog};
    while (!todo.empty()) {
        GtkWidget* w = todo.back();
        todo.pop_back();
        if (GTK_IS_TREE_VIEW(w)) {
            GtkTreeModel* model = gtk_tree_view_get_model(GTK_TREE_VIEW(w));
            GtkTreeIter it;
            for (bool ok = gtk_tree_model_get_iter_first(model, &it) != 0; ok;
                 ok = gtk_tree_model_iter_next(model, &it) != 0) {
                gchar* text = nullptr;
                gtk_tree_model_get(model, &it, 1, &text, -1);
                out.emplace_back(text != nullptr ? text : "");
                g_free(text);
            }
        } else if (GTK_IS_CONTAINER(w)) {
            GList* children = gtk_container_get_children(GTK_CONTAINER(w));
            for (GList* l = children; l != nullptr; l = l->next)
                todo.push_back(GTK_WIDGET(l->data));
            g_list_free(children);
        }
    }
    return out;
}

// F5 as the user presses it, OK once the calculation offers it.
void calculate_by_key() {
    when(calculation_offers_ok, [] { click(calc_dialog()->ok); });
    press_key(GDK_F5);
    ASSERT_EQ(calc_dialog(), nullptr);
}

class StaleResults : public GuiTest {};

}  // namespace

TEST_F(StaleResults, DeletingAPartForgetsTheResultsOfItsProcess) {
    Project* p = open_project_file(example("steam_rankine.kvr"));
    ASSERT_NE(p, nullptr);
    calculate_by_key();
    ASSERT_EQ(p->calc_status, CS_FINISHED);
    // Pump, Boiler, Turbine, Cooler: the turbine's outlet is 318.96 K.
    EXPECT_EQ(cell(p, outlet_result(0, 2)), "318.96 K");
    EXPECT_NE(cell(p, summary(0, 0)), "");
    EXPECT_NE(cell(p, total(0)), "");

    // The Boiler goes: the turbine now takes the pump's water.
    select_rows(p, {{1, 0, 1, 1}});
    key(p, GDK_Delete);
    ASSERT_EQ(cell(p, {1, 0, 1, 1}, COL_NAME), "Turbine 1");
    for (int row = 0; row < 3; ++row) EXPECT_EQ(cell(p, outlet_result(0, row)), "") << row;
    EXPECT_EQ(cell(p, summary(0, 0)), "");
    EXPECT_EQ(cell(p, total(0)), "");
    EXPECT_NE(p->calc_status, CS_FINISHED);
    // Its details dialog says "not calculated" in every result.
    open_part(p, 0, 2);
    const std::string title = "Part details for part 2 of process Steam Rankine Cycle";
    GtkWidget* d = shown_window(title);
    ASSERT_NE(d, nullptr);
    const std::vector<std::string> before = result_texts(d);
    ASSERT_FALSE(before.empty());
    for (const std::string& text : before) EXPECT_EQ(text, " - ");
    screenshot("part_dialog_after_delete", d);
    click(gtk_dialog_get_widget_for_response(GTK_DIALOG(d), GTK_RESPONSE_OK));
    pump();
    // A file saved now holds no old result either.
    const std::string text = project_text(*p, true, true);
    std::size_t finished = 0;
    for (std::size_t at = text.find("Part State = \"finished\""); at != std::string::npos;
         at = text.find("Part State = \"finished\"", at + 1))
        ++finished;
    EXPECT_EQ(finished, 1u) << "the Inlet alone";
    EXPECT_NE(text.find("Calculation Status = \"not calculated\""), std::string::npos);

    // Calculate shows the new results.
    calculate_by_key();
    EXPECT_EQ(p->calc_status, CS_FINISHED);
    EXPECT_NE(cell(p, outlet_result(0, 1)), "");
    EXPECT_NE(cell(p, outlet_result(0, 1)), "318.96 K");
    EXPECT_NE(cell(p, summary(0, 0)), "");
    EXPECT_NE(cell(p, total(0)), "");
}

TEST_F(StaleResults, DeletingAnInterfaceForgetsTheResultsOfBothSides) {
    Project* p = open_project_file(example("coupled_water.kvr"));
    ASSERT_NE(p, nullptr);
    calculate_by_key();
    ASSERT_EQ(p->calc_status, CS_FINISHED);
    EXPECT_NE(cell(p, outlet_result(0, 0)), "");
    EXPECT_NE(cell(p, outlet_result(1, 0)), "");
    press(p, {2, 0}, 3);
    choose("ui/Popup_on_interface/DeleteAction");
    ASSERT_EQ(p->az_interfaces, 0);
    EXPECT_EQ(cell(p, outlet_result(0, 0)), "");
    EXPECT_EQ(cell(p, outlet_result(1, 0)), "");
    EXPECT_EQ(cell(p, summary(1, 0)), "");
}

TEST_F(StaleResults, ANewValueForgetsTheResultsANewNameKeeps) {
    Project* p = open_project_file(example("steam_rankine.kvr"));
    ASSERT_NE(p, nullptr);
    calculate_by_key();
    ASSERT_EQ(cell(p, outlet_result(0, 2)), "318.96 K");
    // The Boiler renamed in its dialog: the results still hold.
    open_part(p, 0, 2);
    const std::string title = "Part details for part 2 of process Steam Rankine Cycle";
    GtkWidget* d = shown_window(title);
    ASSERT_NE(d, nullptr);
    type_into(find_widget(d, "name"), "Steam generator");
    click(gtk_dialog_get_widget_for_response(GTK_DIALOG(d), GTK_RESPONSE_OK));
    pump();
    EXPECT_EQ(cell(p, {1, 0, 1, 1}, COL_NAME), "Steam generator");
    EXPECT_EQ(cell(p, outlet_result(0, 2)), "318.96 K");
    // Its outlet temperature typed: the results go.
    open_part(p, 0, 2);
    d = shown_window(title);
    ASSERT_NE(d, nullptr);
    type_into(find_widget(d, "input0"), "800 K");
    EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(find_widget(d, "input0"))), "800 K");
    click(gtk_dialog_get_widget_for_response(GTK_DIALOG(d), GTK_RESPONSE_OK));
    pump();
    EXPECT_DOUBLE_EQ(p->processes[0]->parts[2]->inputs[PI_OUTLET_TEMPERATURE], 800.0);
    EXPECT_EQ(cell(p, outlet_result(0, 2)), "");
    EXPECT_EQ(cell(p, summary(0, 0)), "");
    // Calculated again, then a value typed into the tree: the same.
    calculate_by_key();
    EXPECT_NE(cell(p, outlet_result(0, 2)), "");
    type_value(p, {1, 0, 0, 1}, "40 °C");  // the inlet temperature, its unit kept
    EXPECT_EQ(cell(p, {1, 0, 0, 1}), "40 °C");
    EXPECT_DOUBLE_EQ(p->processes[0]->inputs[PRI_TEMPERATURE], 313.15);
    EXPECT_EQ(cell(p, outlet_result(0, 0)), "");
    EXPECT_EQ(cell(p, outlet_result(0, 2)), "");
}

TEST_F(StaleResults, AnOpenPartDialogFollowsCalculationsAndEdits) {
    Project* p = open_project_file(example("steam_rankine.kvr"));
    ASSERT_NE(p, nullptr);
    open_part(p, 0, 2);
    GtkWidget* d = shown_window("Part details for part 2 of process Steam Rankine Cycle");
    ASSERT_NE(d, nullptr);
    const std::vector<std::string> before = result_texts(d);
    ASSERT_FALSE(before.empty());
    for (const std::string& text : before) EXPECT_EQ(text, " - ");

    // Calculated while the dialog stays open: it shows the results the tree shows.
    calculate_by_key();
    ASSERT_EQ(p->calc_status, CS_FINISHED);
    std::vector<std::string> after = result_texts(d);
    ASSERT_EQ(after.size(), before.size());
    for (const std::string& text : after) EXPECT_NE(text, " - ");
    const std::string outlet = cell(p, outlet_result(0, 1));
    EXPECT_NE(std::find(after.begin(), after.end(), outlet), after.end()) << outlet;
    EXPECT_TRUE(user_sees(d, {"input0", "name"}));
    screenshot("part_dialog_after_calculation", d);

    // The boiler's outlet temperature typed into the tree: the dialog, which
    // holds no edits of its own, shows the new value and no old result.
    type_value(p, {1, 0, 1, 1, 1, 0}, "800 K");
    EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(find_widget(d, "input0"))), "800 K");
    for (const std::string& text : result_texts(d)) EXPECT_EQ(text, " - ");

    // A name typed in the dialog but not applied stays while the project
    // is calculated again; the results come back.
    type_into(find_widget(d, "name"), "Steam generator");
    calculate_by_key();
    EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(find_widget(d, "name"))), "Steam generator");
    for (const std::string& text : result_texts(d)) EXPECT_NE(text, " - ");
    click(gtk_dialog_get_widget_for_response(GTK_DIALOG(d), GTK_RESPONSE_OK));
    pump();
    EXPECT_EQ(cell(p, {1, 0, 1, 1}, COL_NAME), "Steam generator");
}

TEST_F(StaleResults, AnOpenInterfaceDialogFollowsTheCalculation) {
    Project* p = open_project_file(example("coupled_water.kvr"));
    ASSERT_NE(p, nullptr);
    open_interface(p, 0);
    GtkWidget* d = shown_window("Interface details for interface " + p->interfaces[0]->name);
    ASSERT_NE(d, nullptr);
    const std::vector<std::string> before = result_texts(d);
    ASSERT_FALSE(before.empty());
    for (const std::string& text : before) EXPECT_EQ(text, " - ");
    calculate_by_key();
    ASSERT_EQ(p->calc_status, CS_FINISHED);
    for (const std::string& text : result_texts(d)) EXPECT_NE(text, " - ");
    screenshot("interface_dialog_after_calculation", d);
    // Its sides' results forgotten: the dialog forgets them too.
    type_value(p, {1, 0, 0, 1}, "30 °C");
    for (const std::string& text : result_texts(d)) EXPECT_EQ(text, " - ");
}
