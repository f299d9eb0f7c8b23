// The fluid editor in the window: the wizard end to end, copying a mixture
// and a refused mixture, "Modify Fluid", fluid files, and the property
// table with Stop.
#include "gui_support.h"
#include "user_path.h"

#include "app/core/files/filehandling.h"
#include "app/core/fluids/fluid_properties.h"
#include "app/core/fluids/fluid_wizard.h"
#include "app/core/fluids/property_table.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/fluids/fluids_gui.h"
#include "app/gui/handlers.h"
#include "app/gui/tree_shared.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>

using namespace app;
using namespace app::gui;
using namespace guitest;

namespace {

GtkWidget* in(GtkWidget* root, const char* name) {
    GtkWidget* w = find_widget(root, name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

int page_of(GtkWidget* a) { return gtk_assistant_get_current_page(GTK_ASSISTANT(a)); }
void forward(GtkWidget* a) { click(GTK_ASSISTANT(a)->forward); }

// Selects the row showing `name` in a list view.
void select_row(GtkWidget* view, const std::string& name) {
    GtkTreeModel* model = gtk_tree_view_get_model(GTK_TREE_VIEW(view));
    GtkTreeIter it;
    for (bool ok = gtk_tree_model_get_iter_first(model, &it); ok;
         ok = gtk_tree_model_iter_next(model, &it)) {
        gchar* text = nullptr;
        gtk_tree_model_get(model, &it, 0, &text, -1);
        const bool hit = text != nullptr && name == text;
        g_free(text);
        if (hit) {
            gtk_tree_selection_select_iter(gtk_tree_view_get_selection(GTK_TREE_VIEW(view)), &it);
            return;
        }
    }
    ADD_FAILURE() << "no row " << name;
}

std::vector<std::string> rows_of(GtkWidget* view) {
    std::vector<std::string> out;
    GtkTreeModel* model = gtk_tree_view_get_model(GTK_TREE_VIEW(view));
    GtkTreeIter it;
    for (bool ok = gtk_tree_model_get_iter_first(model, &it); ok;
         ok = gtk_tree_model_iter_next(model, &it)) {
        gchar* text = nullptr;
        gtk_tree_model_get(model, &it, 0, &text, -1);
        out.emplace_back(text != nullptr ? text : "");
        g_free(text);
    }
    return out;
}

void choose_components(GtkWidget* a, const std::vector<std::string>& names) {
    for (const std::string& n : names) {
        select_row(in(a, "available"), n);
        click(in(a, "move_right"));
    }
}

void set_spin(GtkWidget* root, const char* name, double value) {
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(in(root, name)), value);
    pump();
}

std::vector<std::string> user_menu_labels() {
    std::vector<std::string> out;
    GList* items = gtk_container_get_children(GTK_CONTAINER(ui.fluidsub[FG_USER]));
    for (GList* l = items; l != nullptr; l = l->next)
        out.emplace_back(gtk_menu_item_get_label(GTK_MENU_ITEM(l->data)));
    g_list_free(items);
    return out;
}

std::string table_text() {
    GtkTextBuffer* b =
        gtk_text_view_get_buffer(GTK_TEXT_VIEW(in(property_table_window(), "table_view")));
    GtkTextIter s, e;
    gtk_text_buffer_get_bounds(b, &s, &e);
    gchar* text = gtk_text_buffer_get_text(b, &s, &e, FALSE);
    std::string out = text;
    g_free(text);
    return out;
}

std::string entry_text(GtkWidget* root, const char* name) {
    return gtk_entry_get_text(GTK_ENTRY(in(root, name)));
}

int select_combo_text(GtkWidget* combo, const std::string& text) {
    GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(combo));
    GtkTreeIter it;
    int i = 0;
    for (bool ok = gtk_tree_model_get_iter_first(model, &it); ok;
         ok = gtk_tree_model_iter_next(model, &it), ++i) {
        gchar* t = nullptr;
        gtk_tree_model_get(model, &it, 0, &t, -1);
        const bool hit = t != nullptr && text == t;
        g_free(t);
        if (hit) {
            gtk_combo_box_set_active(GTK_COMBO_BOX(combo), i);
            return i;
        }
    }
    ADD_FAILURE() << "no entry " << text;
    return -1;
}

// A user fluid made as the wizard makes it.
Fluid* user_fluid(const std::string& name, int humidity_choice,
                  std::vector<std::pair<int, double>> comps) {
    WizardState s;
    start_wizard(s);
    set_wizard_name(s, name);
    s.kind = humidity_choice < 0 ? KIND_DRY : KIND_HUMID;
    s.humidity_choice = humidity_choice < 0 ? HUM_RH_STANDARD : humidity_choice;
    nextpage(s, WP_NAME);
    if (humidity_choice >= 0) nextpage(s, WP_HUMIDITY);
    for (auto [id, x] : comps) {
        s.selected.push_back(id);
        s.composition.mole[sz(id)] = x;
    }
    s.reference = {293.15, 101.325, 0.5, 0.0};
    nextpage(s, WP_COMPONENTS);
    std::string message;
    return register_user_fluid(build_fluid(s, message), false);
}

class FluidEditorWindow : public GuiTest {
protected:
    void TearDown() override {
        if (GtkWidget* a = wizard_window()) gtk_widget_destroy(a);
        if (GtkWidget* t = property_table_window()) gtk_widget_destroy(t);
        GuiTest::TearDown();
        // The user fluids go, with their menu entries.
        GList* items = gtk_container_get_children(GTK_CONTAINER(ui.fluidsub[FG_USER]));
        for (GList* l = items != nullptr ? items->next : nullptr; l != nullptr; l = l->next)
            gtk_widget_destroy(GTK_WIDGET(l->data));
        g_list_free(items);
        current_fluid = nullptr;
        fluids.truncate(NUM_BUILTIN_FLUIDS);
        table_grid = TableGrid{};
        fluid_selection_mode = FS_NONE;
    }
};

}  // namespace

TEST_F(FluidEditorWindow, DryMixtureEndToEndReachesTheWaitingInletDialog) {
    choose("ui/MenuBar/MenuFile/NewAction");
    Project* p = project_list[0];
    ASSERT_NE(p, nullptr);
    open_part(p, 0, 0);
    GtkWidget* inlet = shown_window("Inlet details of process Process 1");
    ASSERT_NE(inlet, nullptr);
    // Its fluid button, then "Create New Fluid" among the user fluids.
    pick_fluid(in(inlet, "fluid"), "Create New Fluid");
    GtkWidget* a = wizard_window();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(std::string(gtk_window_get_title(GTK_WINDOW(a))), "Fluid definition");
    gtk_entry_set_text(GTK_ENTRY(in(a, "name")), "Nitrogen");
    pump();
    EXPECT_EQ(std::string(gtk_label_get_text(GTK_LABEL(in(a, "warning")))), "Name in use already");
    EXPECT_FALSE(gtk_widget_get_sensitive(GTK_ASSISTANT(a)->forward));
    gtk_entry_set_text(GTK_ENTRY(in(a, "name")), "N2 CO2 mix");
    pump();
    screenshot("fluid_wizard_name");
    forward(a);
    ASSERT_EQ(page_of(a), WP_COMPONENTS);
    choose_components(a, {"Nitrogen", "Carbon dioxide"});
    EXPECT_EQ(rows_of(in(a, "selected")), (std::vector<std::string>{"Carbon dioxide", "Nitrogen"}));
    forward(a);
    ASSERT_EQ(page_of(a), WP_COMPOSITION);
    set_spin(a, "mole0", 50);
    EXPECT_FALSE(gtk_widget_get_sensitive(GTK_ASSISTANT(a)->forward));
    click(in(a, "mole_up1"));
    EXPECT_EQ(entry_text(a, "mole_sum"), "100.0000");
    EXPECT_EQ(entry_text(a, "mass_sum"), "100.0000");
    screenshot("fluid_wizard_composition");
    forward(a);
    ASSERT_EQ(page_of(a), WP_CONFIRM);
    screenshot("fluid_wizard_confirm");
    click(GTK_ASSISTANT(a)->apply);
    ASSERT_EQ(page_of(a), WP_FINISHED);

    Fluid* f = fluids.find("N2 CO2 mix");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->components, "co2|nitrogen|");
    EXPECT_EQ(user_menu_labels().back(), "N2 CO2 mix");
    EXPECT_EQ(std::string(gtk_button_get_label(GTK_BUTTON(in(inlet, "fluid")))), "N2 CO2 mix");
    EXPECT_EQ(fluid_selection_mode, FS_NONE);

    // "Save fluid to file." on the last page.
    answer_choosers({scratch_dir() + "/n2co2"});
    click(in(a, "save"));
    EXPECT_EQ(read_file(scratch_dir() + "/n2co2.kvq"), fluid_file_text(*f));
    ASSERT_EQ(chooser_requests.size(), 1u);
    EXPECT_EQ(chooser_requests[0].proposed_name, "N2 CO2 mix.kvq");
    click(GTK_ASSISTANT(a)->close);
    EXPECT_EQ(wizard_window(), nullptr);
    close_project_dialogs(p);
}

TEST_F(FluidEditorWindow, CopyOfDryIsoAirAndARefusedMixture) {
    // No user fluid: neither "Select fluid to modify" nor export opens.
    choose("ui/MenuBar/MenuFluid/EditFluidAction");
    choose("ui/MenuBar/MenuFluid/ExportFluidAction");
    EXPECT_TRUE(dialog_titles.empty());
    EXPECT_TRUE(chooser_requests.empty());

    choose("ui/MenuBar/MenuFluid/CreateFluidAction");
    GtkWidget* a = wizard_window();
    answer_dialogs({[](GtkDialog* d) {
        select_combo_text(find_widget(GTK_WIDGET(d), "fluid_choice"), "Dry ISO Air");
        return static_cast<int>(GTK_RESPONSE_OK);
    }});
    click(in(a, "import"));
    EXPECT_EQ(dialog_titles, std::vector<std::string>{"Select fluid to import"});
    EXPECT_EQ(entry_text(a, "name"), "Dry ISO Air copy");
    EXPECT_EQ(rows_of(in(a, "selected")),
              (std::vector<std::string>{"Oxygen", "Nitrogen", "Argon", "Carbon dioxide"}));
    EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(in(a, "kind0"))));
    forward(a);
    screenshot("fluid_wizard_copy");
    click(GTK_ASSISTANT(a)->cancel);
    EXPECT_EQ(wizard_window(), nullptr);

    // Ammonia, water and nitrogen: the library refuses the mixture.
    choose("ui/MenuBar/MenuFluid/CreateFluidAction");
    a = wizard_window();
    gtk_entry_set_text(GTK_ENTRY(in(a, "name")), "Refused mix");
    click(in(a, "kind2"));
    forward(a);
    choose_components(a, {"Ammonia", "Water", "Nitrogen"});
    forward(a);
    set_spin(a, "mole0", 40);
    set_spin(a, "mole1", 30);
    click(in(a, "mole_up2"));
    forward(a);
    ASSERT_EQ(page_of(a), WP_CONFIRM);
    click(GTK_ASSISTANT(a)->apply);
    EXPECT_EQ(page_of(a), WP_FAILED);
    // The page says why: the library's reason and the components it pairs.
    const std::string reason = gtk_label_get_text(GTK_LABEL(in(a, "reason")));
    EXPECT_NE(reason.find("cannot be set up together: "), std::string::npos) << reason;
    EXPECT_NE(reason.find("Ammonia"), std::string::npos) << reason;
    EXPECT_EQ(fluids.find("Refused mix"), nullptr);
    EXPECT_EQ(current_fluid, nullptr);
    EXPECT_EQ(user_menu_labels().size(), 1u);  // "Create New Fluid" only
    screenshot("fluid_wizard_failed");
    click(GTK_ASSISTANT(a)->close);
}

// Text typed into the number fields of the composition page and the
// property table: a number is taken; letters, which the fields refuse (so
// that typed over the selected value they leave the field empty), and an
// emptied field keep the value shown before, where the toolkit read the
// empty field as 0 (0 % of a component, a temperature step that made the
// table endless).
TEST_F(FluidEditorWindow, TypedTextThatIsNoNumberKeepsTheValue) {
    choose("ui/MenuBar/MenuFluid/CreateFluidAction");
    GtkWidget* a = wizard_window();
    ASSERT_NE(a, nullptr);
    type_into(in(a, "name"), "Typed mix");
    forward(a);
    choose_components(a, {"Nitrogen", "Carbon dioxide"});
    forward(a);
    ASSERT_EQ(page_of(a), WP_COMPOSITION);
    GtkWidget* mole0 = in(a, "mole0");
    const auto typed = [&](GtkWidget* spin, const char* text) {
        type_into(spin, text);
        return gtk_spin_button_get_value(GTK_SPIN_BUTTON(spin));
    };
    EXPECT_DOUBLE_EQ(typed(mole0, "30"), 30);
    EXPECT_EQ(entry_text(a, "mole_sum"), " 30.0000");
    for (const char* text : {"abc", "", "nan", "-"})
        EXPECT_DOUBLE_EQ(typed(mole0, text), 30) << "'" << text << "'";
    EXPECT_EQ(entry_text(a, "mole_sum"), " 30.0000");
    EXPECT_DOUBLE_EQ(typed(in(a, "mole1"), " 70 "), 70);
    EXPECT_EQ(entry_text(a, "mole_sum"), "100.0000");
    EXPECT_TRUE(gtk_widget_is_sensitive(GTK_ASSISTANT(a)->forward));
    screenshot("fluid_wizard_typed", a);
    click(GTK_ASSISTANT(a)->cancel);

    choose("ui/MenuBar/MenuFluid/PropertyTableAction");
    GtkWidget* t = property_table_window();
    ASSERT_NE(t, nullptr);
    GtkWidget* step = in(t, "T_step");
    EXPECT_DOUBLE_EQ(typed(step, "25"), 25);
    EXPECT_DOUBLE_EQ(typed(step, "step"), 25);
    EXPECT_DOUBLE_EQ(typed(step, ""), 25);
    EXPECT_DOUBLE_EQ(table_grid.T_step, 25);
    click(in(t, "close"));
}

TEST_F(FluidEditorWindow, ModifyFluidAndTheNextTable) {
    Fluid* f = user_fluid("Humid test air", HUM_RH_STANDARD, {{12, 0.79}, {11, 0.21}});
    ASSERT_NE(f, nullptr);
    const auto x = f->x;
    // Cancel: the stored reference values shown, nothing changed.
    answer_dialogs({[](GtkDialog*) { return static_cast<int>(GTK_RESPONSE_OK); },
                    [](GtkDialog* d) {
                        GtkWidget* w = GTK_WIDGET(d);
                        EXPECT_EQ(gtk_spin_button_get_value(GTK_SPIN_BUTTON(in(w, "ref0"))),
                                  293.15);
                        EXPECT_EQ(gtk_spin_button_get_value(GTK_SPIN_BUTTON(in(w, "ref2"))), 0.5);
                        gtk_combo_box_set_active(GTK_COMBO_BOX(in(w, "ref_unit2")), 1);
                        EXPECT_EQ(gtk_spin_button_get_value(GTK_SPIN_BUTTON(in(w, "ref2"))), 50.0);
                        set_spin(w, "mole0", 10);
                        screenshot("fluid_modify");
                        return static_cast<int>(GTK_RESPONSE_CANCEL);
                    }});
    choose("ui/MenuBar/MenuFluid/EditFluidAction");
    EXPECT_EQ(dialog_titles, (std::vector<std::string>{"Select fluid to modify", "Modify Fluid"}));
    EXPECT_EQ(f->x, x);

    // The table before and after OK.
    init_stoffwerte(f);
    choose("ui/MenuBar/MenuFluid/PropertyTableAction");
    GtkWidget* t = property_table_window();
    ASSERT_NE(t, nullptr);
    click(in(t, "apply"));
    const std::string before = table_text();
    const std::string mass_before = entry_text(t, "info0");
    answer_dialogs({[](GtkDialog*) { return static_cast<int>(GTK_RESPONSE_OK); },
                    [](GtkDialog* d) {
                        set_spin(GTK_WIDGET(d), "mole0", 60);
                        click(in(GTK_WIDGET(d), "mole_up1"));
                        // 101.325 kPa shows 1.0132 bar: taking the text back is no edit.
                        gtk_spin_button_update(GTK_SPIN_BUTTON(in(GTK_WIDGET(d), "ref1")));
                        return static_cast<int>(GTK_RESPONSE_OK);
                    }});
    choose("ui/MenuBar/MenuFluid/EditFluidAction");
    EXPECT_DOUBLE_EQ(f->x[0], 0.6);
    EXPECT_EQ(f->x[2], 0.0);  // water keeps its stored fraction
    EXPECT_EQ(f->ref_hum_p, 101.325);
    click(in(t, "apply"));
    EXPECT_NE(entry_text(t, "info0"), mass_before);
    EXPECT_NE(table_text(), before);
}

// A "/" in a fluid's name is no folder: the save dialog proposes a name
// that a file can have, and the file keeps the fluid's own name.
TEST_F(FluidEditorWindow, ExportProposesAFileNameWithoutASlash) {
    Fluid* f = user_fluid("Air 79/21", -1, {{12, 0.79}, {11, 0.21}});
    ASSERT_NE(f, nullptr);
    answer_dialogs({[](GtkDialog*) { return static_cast<int>(GTK_RESPONSE_OK); }});
    answer_choosers({scratch_dir() + "/Air 79-21.kvq"});
    choose("ui/MenuBar/MenuFluid/ExportFluidAction");
    ASSERT_EQ(chooser_requests.size(), 1u);
    EXPECT_EQ(chooser_requests[0].proposed_name, "Air 79-21.kvq");
    EXPECT_EQ(read_file(scratch_dir() + "/Air 79-21.kvq"), fluid_file_text(*f));
}

TEST_F(FluidEditorWindow, ExportAndImport) {
    Fluid* f = user_fluid("Saved air", -1, {{12, 0.78}, {11, 0.22}});
    ASSERT_NE(f, nullptr);
    answer_dialogs({[](GtkDialog*) { return static_cast<int>(GTK_RESPONSE_OK); }});
    answer_choosers({scratch_dir() + "/air2", scratch_dir() + "/air2.kvq"});
    choose("ui/MenuBar/MenuFluid/ExportFluidAction");
    EXPECT_EQ(dialog_titles, std::vector<std::string>{"Select fluid to save"});
    const std::string text = read_file(scratch_dir() + "/air2.kvq");
    EXPECT_EQ(text, fluid_file_text(*f));
    choose("ui/MenuBar/MenuFluid/ImportFluidAction");  // the name is in use
    std::vector<MessageRequest> shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].text.find("exists already"), std::string::npos) << shown[0].text;

    std::string renamed = text;
    renamed.replace(renamed.find("Saved air"), 9, "Imported air");
    answer_choosers({write_file("imported.kvq", renamed), "/nonexistent/folder/x"});
    choose("ui/MenuBar/MenuFluid/ImportFluidAction");
    ASSERT_NE(fluids.find("Imported air"), nullptr);
    EXPECT_EQ(user_menu_labels().back(), "Imported air");
    answer_dialogs({[](GtkDialog*) { return static_cast<int>(GTK_RESPONSE_OK); }});
    choose("ui/MenuBar/MenuFluid/ExportFluidAction");  // into a folder that does not exist
    shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].text.find("Could not write file"), std::string::npos) << shown[0].text;
}

// A fluid file the program wrote, imported through the toolkit's own
// chooser (the file chosen, Open clicked), then opened in "Modify Fluid":
// its components and composition are the file's.
TEST_F(FluidEditorWindow, ImportThroughTheChooserThenModify) {
    const std::string file = std::string(KVR2_SOURCE_DIR) + "/tests/app/core/files/fluid_type3.kvq";
    meet_real_dialogs(true);
    bool chosen = false;
    when([] { return shown_window("Import user defined fluid") != nullptr; },
         [&] {
             GtkWidget* chooser = shown_window("Import user defined fluid");
             EXPECT_TRUE(user_sees(chooser, {}, 500, 300));
             gtk_file_chooser_set_filename(GTK_FILE_CHOOSER(chooser), file.c_str());
             run_until(
                 [&] {
                     gchar* now = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser));
                     const bool there = now != nullptr && file == now;
                     g_free(now);
                     return there;
                 },
                 5);
             screenshot("fluid_import_chooser", chooser);
             chosen = true;
             click(gtk_dialog_get_widget_for_response(GTK_DIALOG(chooser), GTK_RESPONSE_ACCEPT));
         });
    choose("ui/MenuBar/MenuFluid/ImportFluidAction");
    meet_real_dialogs(false);
    ASSERT_TRUE(chosen);
    Fluid* f = fluids.find("Test inlet air");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(user_menu_labels().back(), "Test inlet air");
    std::vector<std::string> names;
    std::vector<std::string> moles;
    answer_dialogs({[](GtkDialog*) { return static_cast<int>(GTK_RESPONSE_OK); },
                    [&](GtkDialog* d) {
                        GtkWidget* w = GTK_WIDGET(d);
                        EXPECT_TRUE(user_sees_named(w));
                        for (int i = 0; i < 3; ++i)
                            if (GtkWidget* m = find_widget(w, "mole" + std::to_string(i)))
                                moles.emplace_back(gtk_entry_get_text(GTK_ENTRY(m)));
                        screenshot("fluid_modify_imported", w);
                        return static_cast<int>(GTK_RESPONSE_CANCEL);
                    }});
    choose("ui/MenuBar/MenuFluid/EditFluidAction");
    EXPECT_EQ(dialog_titles, (std::vector<std::string>{"Select fluid to modify", "Modify Fluid"}));
    // Nitrogen 0.999999999, oxygen 1e-09 of the file, in mole percent.
    ASSERT_GE(moles.size(), 2u);
    EXPECT_EQ(moles[0], "99.99999990");
    EXPECT_EQ(moles[1], "0.00000010");
    EXPECT_TRUE(messages().empty());
}

// A mixture's information says what its rows mean: the critical point of
// the composition (where bubble and dew lines meet) above the freezing
// limit of its components, not the first component's triple point below
// the critical-point estimate; a pure fluid's rows stay as they were.
TEST_F(FluidEditorWindow, PropertyTableTellsAMixturesCriticalPointAndFreezingLimit) {
    Fluid* mix = user_fluid("CO2 nitrogen", -1, {{7, 0.5}, {12, 0.5}});
    ASSERT_NE(mix, nullptr);
    init_stoffwerte(mix);
    choose("ui/MenuBar/MenuFluid/PropertyTableAction");
    GtkWidget* t = property_table_window();
    ASSERT_NE(t, nullptr);
    click(in(t, "apply"));
    GtkWidget* note = in(t, "info_note");
    EXPECT_TRUE(gtk_widget_get_visible(note));
    const std::string said = gtk_label_get_text(GTK_LABEL(note));
    EXPECT_NE(said.find("where its bubble and dew lines meet"), std::string::npos) << said;
    EXPECT_NE(said.find("(co2"), std::string::npos) << said;
    // The critical temperature above the freezing limit (the default unit
    // is the kelvin or a degree scale: both keep the order).
    const double tc = std::stod(entry_text(t, "info2"));
    const double tfreeze = std::stod(entry_text(t, "info5"));
    EXPECT_GT(tc, tfreeze);
    EXPECT_EQ(entry_text(t, "info6"), "-");
    EXPECT_EQ(entry_text(t, "info7"), "-");
    const std::string text = table_text();
    EXPECT_GT(std::count(text.begin(), text.end(), '\n'), 5) << text;
    screenshot("property_table_mixture");
    select_combo_text(in(t, "fluid_combo"), "Nitrogen");
    EXPECT_FALSE(gtk_widget_get_visible(note));
    EXPECT_NE(entry_text(t, "info6"), "-");
    click(in(t, "close"));
}

// Rows of a mixture's table that have no values say why, and the columns
// of every line stay under the separator's "+": 50 % carbon dioxide in
// nitrogen from 130 K and 0.1 bar, where carbon dioxide freezes out, to
// 400 K; at 130 K and 1 bar it is above the melting line.
TEST_F(FluidEditorWindow, PropertyTableRowsSayWhyTheyAreUndefined) {
    Fluid* mix = user_fluid("Cold CO2 nitrogen", -1, {{7, 0.5}, {12, 0.5}});
    ASSERT_NE(mix, nullptr);
    init_stoffwerte(mix);
    choose("ui/MenuBar/MenuFluid/PropertyTableAction");
    GtkWidget* t = property_table_window();
    ASSERT_NE(t, nullptr);
    set_spin(t, "T_min", 130);
    set_spin(t, "T_max", 400);
    set_spin(t, "T_step", 135);
    set_spin(t, "p_min", 0.1);
    set_spin(t, "p_step", 33);
    click(in(t, "apply"));
    const std::string text = table_text();
    EXPECT_NE(text.find("| undefined: co2 freezes out"), std::string::npos) << text;
    EXPECT_NE(text.find("| undefined: above the melting line"), std::string::npos) << text;
    EXPECT_EQ(text.find("| undefined   "), std::string::npos) << text;  // never without a reason
    const std::string separator = text.substr(0, text.find('\n'));
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        ASSERT_EQ(line.size(), separator.size()) << line;
        for (std::size_t k = 0; k < line.size(); ++k)
            EXPECT_TRUE(separator[k] != '+' || line[k] == '|' || line[k] == '+') << k << line;
    }
    screenshot("property_table_undefined_rows");
    click(in(t, "close"));
}

// A step of 0 typed by the user: one pressure (or temperature), the first,
// not the same row over and over.
TEST_F(FluidEditorWindow, PropertyTableStepOfZeroGivesOneRow) {
    current_fluid = nullptr;
    choose("ui/MenuBar/MenuFluid/PropertyTableAction");  // the first fluid, 350 and 450 K
    GtkWidget* t = property_table_window();
    ASSERT_NE(t, nullptr);
    type_into(in(t, "p_step"), "0");
    EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(in(t, "p_step"))), "0.00000");
    click(in(t, "apply"));
    std::string text = table_text();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5 + 2 * 2) << text;
    EXPECT_NE(text.find("\n|         1.00   |       350.00   |"), std::string::npos) << text;
    EXPECT_NE(text.find("\n|         1.00   |       450.00   |"), std::string::npos) << text;
    type_into(in(t, "T_step"), "0");
    click(in(t, "apply"));
    text = table_text();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5 + 1 * 2) << text;
    EXPECT_TRUE(user_sees(t, {"p_step", "T_step", "table_view"}));
    screenshot("property_table_step_zero", t);
    click(in(t, "close"));
}

TEST_F(FluidEditorWindow, PropertyTableStopsAndTimesAThousandStates) {
    Fluid* air = user_fluid("Table air", -1, {{12, 0.78}, {11, 0.21}, {16, 0.01}});
    ASSERT_NE(air, nullptr);
    current_fluid = nullptr;
    choose("ui/MenuBar/MenuFluid/PropertyTableAction");  // the first fluid: computed at once
    GtkWidget* t = property_table_window();
    ASSERT_NE(t, nullptr);
    std::string text = table_text();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 207);
    screenshot("property_table");

    // Stop during a long table: the rows so far stay, Apply comes back.
    set_spin(t, "p_step", 0.001);  // bar: 2 x 99,001 rows
    bool checked = false;
    soon(
        [&] {
            EXPECT_FALSE(gtk_widget_is_sensitive(in(t, "apply")));
            EXPECT_FALSE(gtk_widget_is_sensitive(in(t, "fluid_combo")));
            checked = true;
            click(in(t, "stop"));
        },
        200);
    click(in(t, "apply"));
    EXPECT_TRUE(checked);
    EXPECT_TRUE(gtk_widget_is_sensitive(in(t, "apply")));
    text = table_text();
    const long lines = std::count(text.begin(), text.end(), '\n');
    EXPECT_GT(lines, 5);
    EXPECT_LT(lines, 100000);
    EXPECT_EQ(text.substr(text.size() - 2), "|\n");

    // 10 temperatures x 100 pressures, shown row by row.
    set_spin(t, "p_step", 1);
    set_spin(t, "T_min", 300);
    set_spin(t, "T_max", 750);
    set_spin(t, "T_step", 50);
    for (const char* name : {"Nitrogen", "Table air"}) {
        const auto start = std::chrono::steady_clock::now();
        select_combo_text(in(t, "fluid_combo"), name);  // computes the table
        const double s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        text = table_text();
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5 + 10 * 101) << name;
        std::printf("[ table    ] %s: 1000 states shown in %.3f s\n", name, s);
    }
    screenshot("property_table_air");
    // A fluid defined while the window is open is offered at once.
    ASSERT_NE(user_fluid("Late air", -1, {{12, 0.8}, {11, 0.2}}), nullptr);
    select_combo_text(in(t, "fluid_combo"), "Late air");
    text = table_text();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5 + 10 * 101);
    click(in(t, "close"));
    EXPECT_EQ(property_table_window(), nullptr);
}

// A humid fluid's information says which water its values hold: the
// water given at each process's inlet is not in them (the fluid as
// defined), a reference humidity's water is; a dry mixture says nothing
// of humidity. The note is on the screen beside the molar mass it explains.
TEST_F(FluidEditorWindow, PropertyTableSaysWhichWaterAHumidFluidHolds) {
    struct Case {
        const char* fluid;
        const char* said;       // in the note ("" : no humidity sentence)
        bool lighter_than_air;  // the molar mass holds water
    };
    const Case cases[] = {
        {"Humid Air (Relative Humidity)",
         "takes its water from each process's inlet (relative "
         "humidity there)",
         false},
        {"Humid ISO Air", "hold the water of the reference humidity", true},
        {"Dry ISO Air", "", false},
    };
    init_stoffwerte(fluids.find(cases[0].fluid));
    choose("ui/MenuBar/MenuFluid/PropertyTableAction");
    GtkWidget* t = property_table_window();
    ASSERT_NE(t, nullptr);
    set_spin(t, "p_step", 1e9);  // one pressure per temperature
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fluid);
        select_combo_text(in(t, "fluid_combo"), c.fluid);
        pump();
        GtkWidget* note = in(t, "info_note");
        const std::string said = gtk_label_get_text(GTK_LABEL(note));
        const std::size_t humidity = said.find("Humidity:");
        if (*c.said == '\0') {
            EXPECT_EQ(humidity, std::string::npos) << said;
            continue;
        }
        EXPECT_TRUE(gtk_widget_get_visible(note));
        // A note shown for the first time grows the window: the user sees it
        // once the X server has resized the window.
        EXPECT_TRUE(run_until([&] { return note->allocation.height > 2; }, 10));
        EXPECT_TRUE(gtk_widget_get_mapped(note));
        EXPECT_TRUE(user_sees(t, {"info_note", "info0"}));
        EXPECT_NE(said.find(c.said), std::string::npos) << said;
        EXPECT_NE(said.find("% water (mole fraction)"), std::string::npos) << said;
        const double M = std::stod(entry_text(t, "info0"));
        if (c.lighter_than_air) {
            EXPECT_LT(M, 28.9) << said;
        } else {
            EXPECT_NEAR(M, 28.9655, 1e-3) << said;
        }
        screenshot(std::string("property_table_") + (c.lighter_than_air ? "reference" : "inlet") +
                   "_humidity");
    }
    click(in(t, "close"));
}

namespace {

// The texts of the labels the user sees in the widget (shown and mapped).
void shown_labels(GtkWidget* w, std::vector<std::string>& out) {
    if (!gtk_widget_get_visible(w) || !gtk_widget_get_mapped(w)) return;
    if (GTK_IS_LABEL(w)) out.emplace_back(gtk_label_get_text(GTK_LABEL(w)));
    if (!GTK_IS_CONTAINER(w)) return;
    GList* children = gtk_container_get_children(GTK_CONTAINER(w));
    for (GList* l = children; l != nullptr; l = l->next) shown_labels(GTK_WIDGET(l->data), out);
    g_list_free(children);
}

}  // namespace

// The confirmation page names the kind the user chose on the first page: a
// general mixture (hydrogen and water) as a humid fluid of the humidity
// definition "General Fluid", a dry fluid without a humidity definition.
TEST_F(FluidEditorWindow, ConfirmationNamesTheKindChosen) {
    struct Case {
        const char* kind_radio;
        const char* name;
        std::vector<std::string> components;
        std::vector<std::string> shown;    // on the page, in this order
        std::vector<std::string> unshown;  // nowhere on the page
    };
    const Case cases[] = {
        {"kind2",
         "H2 water",
         {"Hydrogen", "Water"},
         {"Fluid type:", "Humid Fluid", "Humidity definition:", "General Fluid"},
         {"Dry Fluid"}},
        {"kind0",
         "H2 N2",
         {"Hydrogen", "Nitrogen"},
         {"Fluid type:", "Dry Fluid"},
         {"Humid Fluid", "Humidity definition:", "General Fluid"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        choose("ui/MenuBar/MenuFluid/CreateFluidAction");
        GtkWidget* a = wizard_window();
        ASSERT_NE(a, nullptr);
        gtk_entry_set_text(GTK_ENTRY(in(a, "name")), c.name);
        click(in(a, c.kind_radio));
        forward(a);
        ASSERT_EQ(page_of(a), WP_COMPONENTS);
        choose_components(a, c.components);
        forward(a);
        ASSERT_EQ(page_of(a), WP_COMPOSITION);
        set_spin(a, "mole0", 50);
        click(in(a, "mole_up1"));
        forward(a);
        ASSERT_EQ(page_of(a), WP_CONFIRM);
        GtkWidget* page = gtk_assistant_get_nth_page(GTK_ASSISTANT(a), WP_CONFIRM);
        std::vector<std::string> seen;
        shown_labels(page, seen);
        auto at = [&](const std::string& text) {
            return std::find(seen.begin(), seen.end(), text) - seen.begin();
        };
        for (std::size_t i = 0; i < c.shown.size(); ++i) {
            EXPECT_LT(at(c.shown[i]), static_cast<long>(seen.size())) << c.shown[i];
            if (i > 0) {
                EXPECT_LT(at(c.shown[i - 1]), at(c.shown[i])) << c.shown[i];
            }
        }
        for (const std::string& text : c.unshown)
            EXPECT_EQ(at(text), static_cast<long>(seen.size())) << text;
        screenshot(std::string("fluid_wizard_confirm_") + c.kind_radio, a);
        click(GTK_ASSISTANT(a)->cancel);
        pump();
        EXPECT_EQ(wizard_window(), nullptr);
    }
}
