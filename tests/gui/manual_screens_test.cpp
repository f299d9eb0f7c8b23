// The pictures of the user manual: the window as a user meets it, each
// window saved alone under build/screens/manual/. The manual's build runs
// this suite (in one process) before it makes the PDF, so its pictures
// always show the program as it is.
#include "gui_support.h"
#include "tree_support.h"
#include "user_path.h"

#include "app/core/solver/simulator.h"
#include "app/fluids/fluids_gui.h"
#include "app/gui/calculate.h"
#include "app/gui/diagram_actions.h"
#include "app/gui/handlers.h"
#include "app/gui/select_units.h"

#include <functional>
#include <string>

using namespace app;
using namespace app::gui;
using namespace guitest;

namespace {

void shot(const std::string& name, GtkWidget* window) {
    EXPECT_TRUE(user_sees(window, {}, 100, 60)) << name;
    screenshot("manual/" + name, window);
}

// A dialog answered after its picture.
std::function<int(GtkDialog*)> picture(const std::string& name, int response) {
    return [name, response](GtkDialog* d) {
        shot(name, GTK_WIDGET(d));
        return response;
    };
}

// Calculates the current project through File -> Calculate, with a
// picture of the dialog when `name` is given.
void calculate_now(const std::string& name) {
    when(calculation_offers_ok, [name] {
        const CalcDialog* d = calc_dialog();
        if (!name.empty()) shot(name, d->dialog);
        click(d->ok);
    });
    choose("ui/MenuBar/MenuFile/CalculateAction");
    pump();
}

class ManualScreens : public GuiTest {};

}  // namespace

TEST_F(ManualScreens, GettingStarted) {
    shot("start_page", ui.mainwindow);
    Project* p = open_project_file(example("steam_rankine.kvr"));
    ASSERT_NE(p, nullptr);
    pump();
    shot("example_open", ui.mainwindow);
    calculate_now("calculating");
    EXPECT_EQ(p->calc_status, CS_FINISHED);
    // The tree opened at the turbine's results.
    GtkTreeView* view = tree_view_of(p);
    GtkTreePath* row = gtk_tree_path_new_from_indices(1, 0, 1, 2, -1);
    gtk_tree_view_expand_to_path(view, row);
    gtk_tree_view_expand_row(view, row, TRUE);
    gtk_tree_selection_select_path(gtk_tree_view_get_selection(view), row);
    gtk_tree_path_free(row);
    pump();
    shot("tree_results", ui.mainwindow);
}

TEST_F(ManualScreens, BuildingACycle) {
    answer_dialogs({picture("new_process", GTK_RESPONSE_OK)});
    choose("ui/MenuBar/MenuFile/NewAction");
    ASSERT_NE(current_project, nullptr);
    close_all_projects(false);

    Project* p = open_project_file(example("coupled_water.kvr"));
    ASSERT_NE(p, nullptr);
    calculate_now("");
    const char* cross = "ui/MenuBar/MenuPreferences/OverviewCross1ToggleAction";
    choose(cross);
    shot("flowsheet", ui.mainwindow);
    choose(cross);
    open_part(p, 0, 1);
    GtkWidget* part = shown_window("Part details for part 1 of process " + p->processes[0]->name);
    shot("part_dialog", part);
    if (part != nullptr) close_window(part);
    open_interface(p, 0);
    GtkWidget* itf = shown_window("Interface details for interface " + p->interfaces[0]->name);
    shot("interface_dialog", itf);
    if (itf != nullptr) close_window(itf);
}

TEST_F(ManualScreens, Diagrams) {
    Project* p = open_project_file(example("steam_rankine.kvr"));
    ASSERT_NE(p, nullptr);
    calculate_now("");
    show_graph_page(p->graphs[1]);
    answer_dialogs({picture("create_graph", GTK_RESPONSE_CANCEL)});
    choose("ui/MenuBar/MenuGraphics/CreateGraphAction");
    shot("ts_diagram", ui.mainwindow);
    answer_dialogs({picture("axis_dialog", GTK_RESPONSE_CANCEL)});
    choose("ui/MenuBar/MenuGraphics/ConfigAxisAction");
    answer_dialogs({picture("isoline_dialog", GTK_RESPONSE_CANCEL)});
    choose("ui/MenuBar/MenuGraphics/ConfigIsolinesAction");
    answer_dialogs({picture("curve_dialog", GTK_RESPONSE_CANCEL)});
    choose("ui/MenuBar/MenuGraphics/ConfigProcessAction");
    close_all_projects(false);

    Project* q = open_project_file(example("coupled_water.kvr"));
    ASSERT_NE(q, nullptr);
    calculate_now("");
    press_interface(q, 0);
    choose("ui/Popup_on_interface_in_graph/CreateQtGraphAction");
    shot("qt_diagram", ui.mainwindow);
}

TEST_F(ManualScreens, FluidsUnitsAndMessages) {
    choose("ui/MenuBar/MenuFluid/CreateFluidAction");
    GtkWidget* wizard = shown_window("Fluid definition");
    shot("fluid_wizard", wizard);
    if (wizard != nullptr) click(GTK_ASSISTANT(wizard)->cancel);
    choose("ui/MenuBar/MenuFluid/PropertyTableAction");
    GtkWidget* table = property_table_window();
    if (table != nullptr) click(find_widget(table, "apply"));
    shot("property_table", table);
    if (table != nullptr) click(find_widget(table, "close"));

    Project* p = open_project_file(example("helium_brayton.kvr"));
    ASSERT_NE(p, nullptr);
    choose("ui/MenuBar/MenuPreferences/DefaultUnitsAction");
    UnitsDialog* units = units_dialog();
    ASSERT_NE(units, nullptr);
    shot("select_units", units->dialog);
    click(gtk_dialog_get_widget_for_response(GTK_DIALOG(units->dialog), GTK_RESPONSE_CANCEL));

    // A message box as the user meets it: the Inlet cannot be copied.
    set_dialog_answerer({});
    select_part(p, 0, 0);
    soon([] {
        GtkWidget* box = shown_window("Error");
        shot("error_message", box);
        if (box != nullptr)
            click(gtk_dialog_get_widget_for_response(GTK_DIALOG(box), GTK_RESPONSE_CLOSE));
    });
    choose("ui/MenuBar/MenuEdit/CopyAction");
}
