// Every dialog the menus offer, opened the way a user opens it, shows its
// fields: the named widgets are visible and mapped and the dialog has the
// size they need. Each dialog is saved as a screenshot.
#include "gui_support.h"
#include "tree_support.h"
#include "user_path.h"

#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/solver/simulator.h"
#include "app/diagrams/new_graph.h"
#include "app/fluids/fluids_gui.h"
#include "app/gui/diagram_actions.h"
#include "app/gui/handlers.h"
#include "app/gui/select_units.h"
#include "app/gui/theme_dialog.h"

#include <string>
#include <vector>

using namespace app;
using namespace app::gui;
using namespace guitest;

namespace {

// A dialog answered after the check and a screenshot.
std::function<int(GtkDialog*)> check(const std::string& shot, std::vector<std::string> names,
                                     int min_width, int min_height, int response) {
    return [=](GtkDialog* d) {
        EXPECT_TRUE(user_sees(GTK_WIDGET(d), names, min_width, min_height)) << shot;
        screenshot("dialog_" + shot);
        return response;
    };
}

class Dialogs : public GuiTest {
protected:
    // The steam example, calculated, with a second process of air.
    Project* open_steam_and_air() {
        Project* p = open_project_file(example("steam_rankine.kvr"));
        EXPECT_NE(p, nullptr);
        if (p == nullptr) return nullptr;
        pump();
        answer_dialogs({new_process_answer("Air loop", "Air")});
        choose("ui/Popup_on_nothing_in_graph/InsertProcess");
        EXPECT_EQ(p->az_processes, 2);
        dialog_titles.clear();
        EXPECT_EQ(calcProject(*p), CS_FINISHED);
        pump();
        update_graphs(p);
        return p;
    }
};

}  // namespace

// "Create new Graph" shows the fluid and the plot type; each of the five
// diagram types of the second fluid is made through it.
TEST_F(Dialogs, CreateNewGraphMakesEveryTypeOfASecondFluid) {
    Project* p = open_steam_and_air();
    ASSERT_NE(p, nullptr);
    Fluid* air = p->processes[1]->fluid;
    ASSERT_NE(air, p->processes[0]->fluid);
    for (int type = 0; type < 5; ++type) {
        answer_dialogs({[&, type](GtkDialog* d) {
            EXPECT_TRUE(user_sees(GTK_WIDGET(d), {"graph_fluid", "graph_type"}, 200, 100));
            if (type == 0) screenshot("dialog_create_graph");
            // As the user does: the second fluid, then the type.
            gtk_combo_box_set_active(GTK_COMBO_BOX(find_widget(GTK_WIDGET(d), "graph_fluid")), 1);
            gtk_combo_box_set_active(GTK_COMBO_BOX(find_widget(GTK_WIDGET(d), "graph_type")), type);
            return static_cast<int>(GTK_RESPONSE_OK);
        }});
        choose("ui/MenuBar/MenuGraphics/CreateGraphAction");
        Graph* made = p->graphs[sz(4 + type)];
        ASSERT_NE(made, nullptr) << type;
        EXPECT_EQ(made->type, type);
        EXPECT_EQ(made->fluid, air);
        EXPECT_EQ(made->name, std::string(diagrams::GRAPH_TYPE_NAMES[sz(type)]) + " " + air->name);
    }
    pump();
    screenshot("dialog_create_graph_pT_air");
}

TEST_F(Dialogs, DiagramSettingsDialogs) {
    Project* p = open_steam_and_air();
    ASSERT_NE(p, nullptr);
    show_graph_page(p->graphs[1]);
    answer_dialogs({check("axis", {"axis_pages", "x_unit", "x_start", "x_end"}, 250, 300,
                          GTK_RESPONSE_CANCEL)});
    choose("ui/MenuBar/MenuGraphics/ConfigAxisAction");
    // OK keeps every line width as stored (the default 0.5).
    Graph* ts = p->graphs[1];
    ts->iso_style[1].width = 0.25;
    std::vector<double> widths;
    for (const IsolineStyle& st : ts->iso_style) widths.push_back(st.width);
    EXPECT_EQ(widths[0], 0.5);
    answer_dialogs({check("isolines", {"iso_list_0", "iso_unit_0", "iso_width_0", "iso_add_0"}, 250,
                          300, GTK_RESPONSE_OK)});
    choose("ui/MenuBar/MenuGraphics/ConfigIsolinesAction");
    for (std::size_t f = 0; f < widths.size(); ++f)
        EXPECT_EQ(ts->iso_style[f].width, widths[f]) << f;
    answer_dialogs({check("curves", {"curve_list", "line_width", "line_style", "dot_style"}, 400,
                          300, GTK_RESPONSE_CANCEL)});
    choose("ui/MenuBar/MenuGraphics/ConfigProcessAction");
    EXPECT_EQ(dialog_titles, (std::vector<std::string>{"Axis Properties", "Configure Iso Lines",
                                                       "Curve Properties"}));
}

TEST_F(Dialogs, NewProcessRenameAndInsertQuestions) {
    answer_dialogs({check("new_process", {"name", "fluid", "massflow", "stdv", "value0", "unit0"},
                          300, 200, GTK_RESPONSE_OK)});
    choose("ui/MenuBar/MenuFile/NewAction");
    Project* p = current_project;
    ASSERT_NE(p, nullptr);
    // Rename of the process row.
    GtkTreeView* view = tree_view_of(p);
    GtkTreePath* row = gtk_tree_path_new_from_indices(1, 0, -1);
    gtk_tree_view_expand_to_path(view, row);
    gtk_tree_selection_select_path(gtk_tree_view_get_selection(view), row);
    gtk_tree_path_free(row);
    answer_dialogs({check("rename", {"name"}, 200, 80, GTK_RESPONSE_CANCEL)});
    choose("ui/Popup_on_process/RenameAction");
    // A splitter after the Inlet (chosen on the flowsheet), then a
    // compressor after it: which outlet.
    select_part(p, 0, 0);
    choose("ui/Popup_on_part_in_graph/InsertSplitter");
    answer_dialogs({check("outlet_selector", {"question"}, 200, 60, GTK_RESPONSE_DELETE_EVENT)});
    choose("ui/Popup_on_part/InsertCompressor");
    // Splitter and mixer: where the mixer goes.
    select_part(p, 0, 0);
    answer_dialogs(
        {check("mixer_position", {"question", "choice"}, 250, 100, GTK_RESPONSE_CANCEL)});
    choose("ui/Popup_on_part_in_graph/InsertSplitMix");
    EXPECT_EQ(dialog_titles, (std::vector<std::string>{"Create New Process", "Rename Process",
                                                       "Outlet selector: ", "Mixer position"}));
}

TEST_F(Dialogs, DetailsDialogsOfPartsInletsAndInterfaces) {
    Project* p = open_project_file(example("coupled_water.kvr"));
    ASSERT_NE(p, nullptr);
    pump();
    open_part(p, 0, 1);
    GtkWidget* part = shown_window("Part details for part 1 of process " + p->processes[0]->name);
    EXPECT_TRUE(user_sees(part, {"name", "input1", "option1", "volume_mass"}, 400, 300));
    screenshot("dialog_part");
    if (part != nullptr) close_window(part);
    pump();

    open_part(p, 0, 0);
    GList* all = gtk_window_list_toplevels();
    GtkWidget* inlet = nullptr;
    for (GList* l = all; l != nullptr; l = l->next)
        if (find_widget(GTK_WIDGET(l->data), "massflow") != nullptr &&
            gtk_widget_get_visible(GTK_WIDGET(l->data)))
            inlet = GTK_WIDGET(l->data);
    g_list_free(all);
    EXPECT_TRUE(user_sees(inlet, {"fluid", "massflow", "stdv", "value0"}, 300, 200));
    screenshot("dialog_inlet");
    if (inlet != nullptr) close_window(inlet);
    pump();

    ASSERT_GT(p->az_interfaces, 0);
    open_interface(p, 0);
    GtkWidget* itf = shown_window("Interface details for interface " + p->interfaces[0]->name);
    EXPECT_TRUE(user_sees(itf, {"name", "option0", "input0"}, 400, 300));
    screenshot("dialog_interface");
    if (itf != nullptr) close_window(itf);
    pump();

    // Two heat exchangers free of interfaces, one in each process: a new
    // interface can couple them.
    select_part(p, 0, 1);
    choose("ui/Popup_on_part_in_graph/InsertHeatExchanger");
    select_part(p, 1, 1);
    choose("ui/Popup_on_part_in_graph/InsertHeatExchanger");
    answer_dialogs({check("create_interface", {"hot", "cold"}, 400, 300, GTK_RESPONSE_CANCEL)});
    choose("ui/Popup_on_part_in_graph/CreateInterfaceAction");
    EXPECT_EQ(dialog_titles,
              (std::vector<std::string>{"Select heat exchangers for new Interface"}));
}

TEST_F(Dialogs, PreferencesAndHelp) {
    Project* p = open_project_file(example("helium_brayton.kvr"));
    ASSERT_NE(p, nullptr);
    choose("ui/MenuBar/MenuPreferences/DefaultUnitsAction");
    UnitsDialog* units = units_dialog();
    ASSERT_NE(units, nullptr);
    EXPECT_TRUE(user_sees(units->dialog, {"units_Temperature", "apply_Temperature"}, 300, 400));
    screenshot("dialog_units");
    click(gtk_dialog_get_widget_for_response(GTK_DIALOG(units->dialog), GTK_RESPONSE_CANCEL));

    choose("ui/MenuBar/MenuPreferences/SetThemeAction");
    if (ThemeDialog* theme = theme_dialog()) {
        EXPECT_TRUE(user_sees(theme->dialog, {"theme_list", "default_font", "font"}, 250, 300));
        screenshot("dialog_theme");
        close_window(theme->dialog);
    }
    choose("ui/MenuBar/HelpMenu/AboutAction");
    GtkWidget* about = shown_window("About KVR");
    EXPECT_TRUE(user_sees(about, {}, 200, 150));
    screenshot("dialog_about");
    if (about != nullptr) close_window(about);
}

// The choosers and message boxes of the toolkit, on the path a user meets:
// no answerer stands in for them.
TEST_F(Dialogs, SaveAsChooserAndQuestionOnTheRealPath) {
    Project* p = open_project_file(example("helium_brayton.kvr"));
    ASSERT_NE(p, nullptr);
    set_dialog_answerer({});
    bool seen = false;
    soon([&] {
        GtkWidget* chooser = shown_window("Save File as");
        seen = chooser != nullptr;
        EXPECT_TRUE(user_sees(chooser, {}, 500, 400));
        bool switches = false;
        if (chooser != nullptr) {
            GtkWidget* extra = gtk_file_chooser_get_extra_widget(GTK_FILE_CHOOSER(chooser));
            switches = extra != nullptr && gtk_widget_get_mapped(extra);
        }
        EXPECT_TRUE(switches);
        screenshot("dialog_save_as");
        if (chooser != nullptr)
            click(gtk_dialog_get_widget_for_response(GTK_DIALOG(chooser), GTK_RESPONSE_CANCEL));
    });
    choose("ui/MenuBar/MenuFile/SaveAsAction");
    EXPECT_TRUE(seen);
}

TEST_F(Dialogs, FluidEditorDialogs) {
    choose("ui/MenuBar/MenuFluid/CreateFluidAction");
    GtkWidget* wizard = shown_window("Fluid definition");
    EXPECT_TRUE(user_sees(wizard, {"name"}, 500, 400));
    screenshot("dialog_fluid_wizard");
    if (wizard != nullptr) click(GTK_ASSISTANT(wizard)->cancel);
    choose("ui/MenuBar/MenuFluid/PropertyTableAction");
    GtkWidget* table = property_table_window();
    EXPECT_TRUE(user_sees(table, {"fluid_combo", "table_view", "apply"}, 600, 300));
    screenshot("dialog_property_table");
    if (table != nullptr) click(find_widget(table, "close"));
}

// Cut, Copy and Paste of a part, from the Edit menu, within a project and
// into another one.
TEST_F(Dialogs, CutCopyAndPasteOfAPart) {
    Project* steam = open_project_file(example("steam_rankine.kvr"));
    Project* helium = open_project_file(example("helium_brayton.kvr"));
    ASSERT_TRUE(steam != nullptr && helium != nullptr);
    Process& cycle = *helium->processes[0];
    const int parts = cycle.az_parts;
    Part& compressor = *cycle.parts[1];
    compressor.inputs[PI_ISENTROPIC_EFFICIENCY] = 0.77;
    // Copy the compressor (selected on the flowsheet), paste it after itself.
    update_current_process_and_part_and_interface(helium, 0, 1, -1);
    choose("ui/MenuBar/MenuEdit/CopyAction");
    EXPECT_TRUE(widget_sensitive("ui/MenuBar/MenuEdit/PasteAction"));
    choose("ui/MenuBar/MenuEdit/PasteAction");
    ASSERT_EQ(cycle.az_parts, parts + 1);
    const Part& pasted = *cycle.parts[2];
    EXPECT_EQ(pasted.type, COMPRESSOR);
    EXPECT_EQ(pasted.inputs[PI_ISENTROPIC_EFFICIENCY], 0.77);
    EXPECT_EQ(cell(helium, {1, 0, 1, 1}, COL_NAME), pasted.name);
    EXPECT_EQ(helium->current_part, 2);
    EXPECT_EQ(tab_of(helium), "helium_brayton *");
    pump();
    screenshot("edit_pasted");
    // Cut it again: gone from the process and the tree, still to paste.
    const std::string name = pasted.name;
    choose("ui/MenuBar/MenuEdit/CutAction");
    ASSERT_EQ(cycle.az_parts, parts);
    EXPECT_NE(cell(helium, {1, 0, 1, 1}, COL_NAME), name);
    // Into the steam cycle, after its Inlet.
    show_project_page(steam);
    pump();
    update_current_process_and_part_and_interface(steam, 0, 0, -1);
    const int steam_parts = steam->processes[0]->az_parts;
    choose("ui/MenuBar/MenuEdit/PasteAction");
    ASSERT_EQ(steam->processes[0]->az_parts, steam_parts + 1);
    EXPECT_EQ(steam->processes[0]->parts[1]->inputs[PI_ISENTROPIC_EFFICIENCY], 0.77);
    EXPECT_EQ(steam->processes[0]->parts[1]->fluid, steam->processes[0]->fluid);
    // The Inlet is no part to copy: said so, nothing changes.
    update_current_process_and_part_and_interface(steam, 0, 0, -1);
    messages();
    choose("ui/MenuBar/MenuEdit/CopyAction");
    const std::vector<MessageRequest> shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].text.find("cannot be copied"), std::string::npos) << shown[0].text;
}
