// The process dialogs of the tree: "Create New Process" and "Inlet details
// of process %s".
#include "tree_support.h"
#include "user_path.h"

#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/units.h"
#include "app/core/structure/structure.h"
#include "app/gui/handlers.h"

using namespace app;
using namespace app::gui;
using namespace guitest;

namespace {

class TreeDialogs : public GuiTest {};

std::string entry_text(GtkWidget* dialog, const char* name) {
    return gtk_entry_get_text(GTK_ENTRY(find_widget(dialog, name)));
}

// Types into an entry of the dialog and presses Enter.
void enter(GtkWidget* dialog, const char* name, const char* text) {
    GtkWidget* entry = find_widget(dialog, name);
    gtk_entry_set_text(GTK_ENTRY(entry), text);
    gtk_widget_activate(entry);
    pump();
}

// Clicks the dialog's button of the response.
void respond(GtkWidget* dialog, int response) {
    click(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), response));
    pump();
}

bool response_sensitive(GtkWidget* dialog, int response) {
    return gtk_widget_is_sensitive(
        gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), response));
}

}  // namespace

TEST_F(TreeDialogs, NewProcessNamesCreatesAndJoinsDiagrams) {
    choose("ui/MenuBar/MenuFile/NewAction");  // "Process 1", answered OK
    Project* p = project_list[0];
    ASSERT_NE(p, nullptr);
    Graph* diagram = create_graph();
    diagram->kind = GK_DIAGRAM;
    diagram->fluid = fluids[FLUID_WATER];
    append_graph(*p, diagram);
    build_graph_in_tree(p, diagram);
    std::vector<std::string> names;
    auto take_name = [&](int response) {
        return [&names, response](GtkDialog* d) {
            names.push_back(entry_text(GTK_WIDGET(d), "name"));
            return response;
        };
    };
    // Water at 20 °C, chosen in the dialog.
    answer_dialogs(
        {[&](GtkDialog* d) {
             names.push_back(entry_text(GTK_WIDGET(d), "name"));
             pick_fluid(find_widget(GTK_WIDGET(d), "fluid"), "Water");
             EXPECT_EQ(
                 std::string(gtk_button_get_label(GTK_BUTTON(find_widget(GTK_WIDGET(d), "fluid")))),
                 "Water");
             gtk_combo_box_set_active(GTK_COMBO_BOX(find_widget(GTK_WIDGET(d), "unit0")), 1);
             gtk_spin_button_set_value(GTK_SPIN_BUTTON(find_widget(GTK_WIDGET(d), "value0")), 20);
             return static_cast<int>(GTK_RESPONSE_OK);
         },
         take_name(GTK_RESPONSE_DELETE_EVENT), take_name(GTK_RESPONSE_CANCEL)});
    choose("ui/Popup_on_nothing_in_graph/InsertProcess");
    choose("ui/Popup_on_process_short/InsertProcess");  // closing the window creates too
    choose("ui/Popup_on_process/InsertProcess");        // Cancel does not
    EXPECT_EQ(names, (std::vector<std::string>{"Process 2", "Process 3", "Process 4"}));
    ASSERT_EQ(p->az_processes, 3);
    const Process& water = *p->processes[1];
    EXPECT_EQ(water.fluid, fluids[FLUID_WATER]);
    EXPECT_NEAR(water.inputs[PRI_TEMPERATURE], 293.15, 1e-9);
    EXPECT_EQ(water.input_units[PRI_TEMPERATURE], 1);
    // Exact: the values the spin buttons show rounded are not read back.
    EXPECT_DOUBLE_EQ(water.inputs[PRI_MASSFLOW], 100.0);
    EXPECT_DOUBLE_EQ(water.inputs[PRI_STANDARD_VOLUME_FLOW],
                     get_stdv_from_massflow(100, fluids[FLUID_WATER], 293.15, 101.325, 0));
    EXPECT_EQ(cell(p, {1, 1, 0, 0}), "Water");
    EXPECT_EQ(cell(p, {1, 1, 0, 1}), "20 °C");
    // Each water process joined the water diagram.
    int water_processes = 0;
    for (int i = 0; i < p->az_processes; ++i)
        water_processes += p->processes[i]->fluid == fluids[FLUID_WATER];
    EXPECT_EQ(diagram->az_curves, water_processes);
    EXPECT_EQ(diagram->curves[0], &water);
    expect_store_matches(p);
    EXPECT_TRUE(action_sensitive("ui/MenuBar/MenuGraphics/CreateGraphAction"));
}

TEST_F(TreeDialogs, InletDialogKeepsTheFixedFlowAndResets) {
    choose("ui/MenuBar/MenuFile/NewAction");
    Project* p = project_list[0];
    ASSERT_NE(p, nullptr);
    Process& process = *p->processes[0];
    process.fluid = fluids.find("Humid Air (Relative Humidity)");
    process.inputs[PRI_HUMIDITY] = 0.6;
    apply_inlet_rule(process.inputs, process.fluid, PRI_MASSFLOW, true);
    const double m = process.inputs[PRI_MASSFLOW];
    const double stdv = process.inputs[PRI_STANDARD_VOLUME_FLOW];
    open_part(p, 0, 0);
    GtkWidget* d = shown_window("Inlet details of process Process 1");
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(response_sensitive(d, -42));
    EXPECT_FALSE(response_sensitive(d, GTK_RESPONSE_CANCEL));
    EXPECT_FALSE(gtk_widget_is_sensitive(find_widget(d, "value3")));
    EXPECT_TRUE(gtk_widget_is_sensitive(find_widget(d, "value4")));
    // "Massflow" fixed: a warmer inlet carries more water, less dry air.
    enter(d, "value0", "313.15 K");
    EXPECT_EQ(entry_text(d, "value2"),
              format_value(m, process_input_values_def[2], process.input_units[2]));
    const std::string stdv_40 = entry_text(d, "value3");
    EXPECT_NE(stdv_40, format_value(stdv, process_input_values_def[3], process.input_units[3]));
    EXPECT_TRUE(response_sensitive(d, -42));
    EXPECT_TRUE(response_sensitive(d, GTK_RESPONSE_CANCEL));
    // The standard volume flow fixed: the mass flow follows.
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(find_widget(d, "stdv")), TRUE);
    pump();
    EXPECT_TRUE(gtk_widget_is_sensitive(find_widget(d, "value3")));
    enter(d, "value0", "293.15 K");
    EXPECT_EQ(entry_text(d, "value3"), stdv_40);
    EXPECT_NE(entry_text(d, "value2"),
              format_value(m, process_input_values_def[2], process.input_units[2]));
    // Reset: the process's values again, Reset and Cancel off.
    respond(d, -42);
    EXPECT_EQ(entry_text(d, "value0"), "288.15 K");
    EXPECT_FALSE(response_sensitive(d, -42));
    EXPECT_FALSE(response_sensitive(d, GTK_RESPONSE_CANCEL));
    // A dry fluid holds no humidity; OK writes the process and its rows.
    pick_fluid(find_widget(d, "fluid"), "Dry ISO Air");
    EXPECT_EQ(fluid_selection_mode, FS_NONE);
    enter(d, "value4", "0.5");
    EXPECT_EQ(entry_text(d, "value4"),
              format_value(0, process_input_values_def[4], process.input_units[4]));
    enter(d, "value1", "2 bar");
    respond(d, GTK_RESPONSE_OK);
    EXPECT_EQ(shown_window("Inlet details of process Process 1"), nullptr);
    EXPECT_EQ(process.fluid, fluids[FLUID_DRY_ISO_AIR]);
    EXPECT_DOUBLE_EQ(process.inputs[PRI_PRESSURE], 200.0);
    EXPECT_EQ(process.inputs[PRI_HUMIDITY], 0.0);
    EXPECT_EQ(cell(p, {1, 0, 0, 0}), "Dry ISO Air");
    EXPECT_EQ(cell(p, {1, 0, 0, 2}), "2 bar");
    // The dialog of a deleted process closes with it.
    open_part(p, 0, 0);
    ASSERT_NE(shown_window("Inlet details of process Process 1"), nullptr);
    delete_process_in_window(p, process.id);
    pump();
    EXPECT_EQ(shown_window("Inlet details of process Process 1"), nullptr);
    EXPECT_TRUE(messages().empty());
}

// A file that gives the mass flow of an inlet alone shows its standard
// volume flow in the inlet dialog and the tree, not 0 Nm^3/h beside it:
// 100 kg/s of dry air (1.293 kg/m3 at 0 degC and 1 atm) and 1 kg/s of water
// (998.2 kg/m3 at 20 degC, its standard state).
TEST_F(TreeDialogs, AnOpenedFileShowsTheStandardVolumeFlowOfItsMassFlow) {
    const struct {
        const char* file;
        double nm3_per_h;
    } cases[] = {{"gas_turbine.kvr", 100 * 3600 / 1.293}, {"steam_rankine.kvr", 3600 / 998.2}};
    for (const auto& c : cases) {
        answer_choosers({example(c.file)});
        choose("ui/MenuBar/MenuFile/OpenAction");
        Project* p = project_list[0];
        ASSERT_NE(p, nullptr) << c.file;
        const std::string name = p->processes[0]->name;
        open_part(p, 0, 0);
        GtkWidget* d = shown_window("Inlet details of process " + name);
        ASSERT_NE(d, nullptr) << c.file;
        const std::string shown = entry_text(d, "value3");
        EXPECT_NEAR(std::stod(shown), c.nm3_per_h, 1e-3 * c.nm3_per_h) << c.file << ": " << shown;
        EXPECT_NE(shown.find("Nm^3/h"), std::string::npos) << shown;
        EXPECT_EQ(cell(p, {1, 0, 0, 4}), shown) << c.file;
        close_window(d);
        close_all_projects(false);
        pump();
    }
}

// Opens the fluid menu of the dialog's button by a key, as a user who
// tabbed to it, and picks `fluid`: the button then shows it.
void pick_fluid_by_key(GtkWidget* dialog, const char* button, guint key, const char* fluid) {
    GtkWidget* b = find_widget(dialog, button);
    ASSERT_NE(b, nullptr) << button;
    gtk_widget_grab_focus(b);
    press_key_in(dialog, key);
    ASSERT_TRUE(gtk_widget_get_mapped(ui.fluidpopup))
        << "the key on the " << button << " button opened nothing";
    pick_in_menu(ui.fluidpopup, fluid);
    EXPECT_EQ(std::string(gtk_button_get_label(GTK_BUTTON(b))), fluid);
}

// The fluid buttons open the fluid menu from the keyboard too (Tab to the
// button, then Space or Enter), in "Create New Process" and in the inlet
// dialog, as a click does.
TEST_F(TreeDialogs, FluidButtonsOpenTheirMenuFromTheKeyboard) {
    bool opened = false;
    answer_dialogs({[&](GtkDialog* d) {
        GtkWidget* fluid = find_widget(GTK_WIDGET(d), "fluid");
        gtk_widget_grab_focus(fluid);
        press_key_in(GTK_WIDGET(d), GDK_space);
        opened = gtk_widget_get_mapped(ui.fluidpopup) != 0;
        if (opened) pick_in_menu(ui.fluidpopup, "Water");
        EXPECT_EQ(std::string(gtk_button_get_label(GTK_BUTTON(fluid))), "Water");
        return static_cast<int>(GTK_RESPONSE_OK);
    }});
    choose("ui/MenuBar/MenuFile/NewAction");
    EXPECT_TRUE(opened) << "Space on the fluid button of \"Create New Process\" opened nothing";
    Project* p = project_list[0];
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->processes[0]->fluid, fluids[FLUID_WATER]);
    open_part(p, 0, 0);
    GtkWidget* d = shown_window("Inlet details of process Process 1");
    ASSERT_NE(d, nullptr);
    ASSERT_NO_FATAL_FAILURE(pick_fluid_by_key(d, "fluid", GDK_Return, "Dry ISO Air"));
    close_window(d);
    // A combustor's fuel.
    select_part(p, 0, 0);
    choose("ui/Popup_on_part_in_graph/InsertCombustor");
    open_part(p, 0, 1);
    d = shown_window("Part details for part 1 of process Process 1");
    ASSERT_NE(d, nullptr);
    ASSERT_NO_FATAL_FAILURE(pick_fluid_by_key(d, "fuel", GDK_space, "Hydrogen"));
    close_window(d);
}

// The spin buttons of "Create New Process" read typed text as the tree
// does: "1e3" is 1000, "1,5" bar, "abc" and "-5" bar are refused with the
// reason shown and the old value kept; OK with a refused text waits.
TEST_F(TreeDialogs, NewProcessReadsTypedTextAsTheTree) {
    choose("ui/MenuBar/MenuFile/NewAction");
    Project* p = project_list[0];
    ASSERT_NE(p, nullptr);
    auto type = [](GtkDialog* d, const char* name, const char* text) {
        GtkWidget* spin = find_widget(GTK_WIDGET(d), name);
        gtk_entry_set_text(GTK_ENTRY(spin), text);
        gtk_spin_button_update(GTK_SPIN_BUTTON(spin));
        pump();
        return gtk_spin_button_get_value(GTK_SPIN_BUTTON(spin));
    };
    auto refusal = [](GtkDialog* d) {
        return std::string(gtk_label_get_text(GTK_LABEL(find_widget(GTK_WIDGET(d), "refusal"))));
    };
    std::string waited;
    answer_dialogs(
        {[&](GtkDialog* d) {
             EXPECT_DOUBLE_EQ(type(d, "value2", "1e3"), 1000.0);
             EXPECT_EQ(refusal(d), "");
             const double bar =
                 gtk_spin_button_get_value(GTK_SPIN_BUTTON(find_widget(GTK_WIDGET(d), "value1")));
             EXPECT_DOUBLE_EQ(type(d, "value1", "1,5"), bar);
             EXPECT_NE(refusal(d).find("',5' is not a unit of Pressure"), std::string::npos)
                 << refusal(d);
             EXPECT_DOUBLE_EQ(type(d, "value1", "-5"), bar);
             EXPECT_NE(refusal(d).find("a pressure must be greater than 0"), std::string::npos)
                 << refusal(d);
             screenshot("new_process_refused");
             // Left typed when OK is pressed: refused, and the dialog stays.
             gtk_entry_set_text(GTK_ENTRY(find_widget(GTK_WIDGET(d), "value0")), "abc");
             return static_cast<int>(GTK_RESPONSE_OK);
         },
         [&](GtkDialog* d) {
             waited = refusal(d);
             return static_cast<int>(GTK_RESPONSE_OK);
         }});
    dialog_titles.clear();
    choose("ui/Popup_on_nothing_in_graph/InsertProcess");
    EXPECT_EQ(dialog_titles.size(), 2u);
    EXPECT_NE(waited.find("Temperature: 'abc' is not a number; the value is kept."),
              std::string::npos)
        << waited;
    ASSERT_EQ(p->az_processes, 2);
    const Process& made = *p->processes[1];
    EXPECT_DOUBLE_EQ(made.inputs[PRI_MASSFLOW], 1000.0);
    EXPECT_DOUBLE_EQ(made.inputs[PRI_TEMPERATURE], 288.15);
    EXPECT_DOUBLE_EQ(made.inputs[PRI_PRESSURE], 101.325);
}

// The inlet dialog refuses a typed value outside the bounds the reader
// keeps: the reason is shown, the old value stays in the entry and in the
// process, and nothing counts as changed.
TEST_F(TreeDialogs, InletDialogRefusesValuesOutsideTheBounds) {
    choose("ui/MenuBar/MenuFile/NewAction");
    Project* p = project_list[0];
    ASSERT_NE(p, nullptr);
    Process& process = *p->processes[0];
    const auto before = process.inputs;
    open_part(p, 0, 0);
    GtkWidget* d = shown_window("Inlet details of process Process 1");
    ASSERT_NE(d, nullptr);
    struct Refused {
        const char* entry;
        const char* typed;
        const char* reason;
    };
    const Refused cases[] = {
        {"value0", "-5 K", "a temperature must be above absolute zero"},
        {"value0", "0 K", "a temperature must be above absolute zero"},
        {"value1", "0 bar", "a pressure must be greater than 0"},
        {"value1", "-2 bar", "a pressure must be greater than 0"},
        {"value2", "-1 kg/s", "a mass flow cannot be negative"},
        {"value0", "abc", "no value has been recognized"},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(std::string(c.entry) + " = " + c.typed);
        const std::string old = entry_text(d, c.entry);
        enter(d, c.entry, c.typed);
        const std::vector<MessageRequest> shown = messages();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].kind, MessageKind::Error);
        EXPECT_NE(shown[0].text.find(c.reason), std::string::npos) << shown[0].text;
        EXPECT_EQ(entry_text(d, c.entry), old);
        EXPECT_FALSE(response_sensitive(d, -42));
    }
    screenshot("inlet_refused");
    respond(d, GTK_RESPONSE_OK);
    for (std::size_t k = 0; k < before.size(); ++k) EXPECT_EQ(process.inputs[k], before[k]) << k;
    EXPECT_EQ(cell(p, {1, 0, 0, 1}), "288.15 K");
    EXPECT_TRUE(messages().empty());
}
