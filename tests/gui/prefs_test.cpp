// Preferences: Select Units with "Apply to all values", and Set Theme.
#include "gui_support.h"
#include "user_path.h"

#include "app/core/files/filehandling.h"
#include "app/core/files/theme_file.h"
#include "app/core/model/init.h"
#include "app/core/model/units.h"
#include "app/core/program/kvr.h"
#include "app/gui/handlers.h"
#include "app/gui/select_units.h"
#include "app/gui/theme_dialog.h"

#include <filesystem>

using namespace app;
using namespace app::gui;
using namespace guitest;
namespace fs = std::filesystem;

namespace {

class SelectUnits : public GuiTest {};
class SetTheme : public GuiTest {};

// The unit of every power value (part results, process results, totals).
std::vector<int> power_units(const Project& p) {
    std::vector<int> units;
    for (std::size_t r = 0; r < part_output_values_def.size(); ++r)
        if (part_output_values_def[r].quantity == Q_POWER)
            for (int k = 0; k < p.processes[0]->az_parts; ++k)
                units.push_back(
                    p.processes[0]->parts[static_cast<std::size_t>(k)]->output_units[r]);
    for (std::size_t r = 0; r < process_output_values_def.size(); ++r)
        if (process_output_values_def[r].quantity == Q_POWER)
            units.push_back(p.processes[0]->output_units[r]);
    for (std::size_t r = 0; r < project_output_values_def.size(); ++r)
        if (project_output_values_def[r].quantity == Q_POWER) units.push_back(p.total_units[r]);
    return units;
}

std::vector<std::string> theme_rows(const ThemeDialog& d) {
    std::vector<std::string> rows;
    GtkTreeModel* model = gtk_tree_view_get_model(GTK_TREE_VIEW(d.gui_appear_treeview));
    GtkTreeIter iter;
    for (gboolean ok = gtk_tree_model_get_iter_first(model, &iter); ok;
         ok = gtk_tree_model_iter_next(model, &iter)) {
        gchar* name = nullptr;
        gtk_tree_model_get(model, &iter, 0, &name, -1);
        rows.push_back(name);
        g_free(name);
    }
    return rows;
}

void select_row(const ThemeDialog& d, const std::string& theme) {
    const std::vector<std::string> rows = theme_rows(d);
    const auto it = std::find(rows.begin(), rows.end(), theme);
    ASSERT_NE(it, rows.end()) << theme;
    GtkTreePath* path = gtk_tree_path_new_from_indices(static_cast<int>(it - rows.begin()), -1);
    gtk_tree_selection_select_path(
        gtk_tree_view_get_selection(GTK_TREE_VIEW(d.gui_appear_treeview)), path);
    gtk_tree_path_free(path);
}

// Clicks the dialog's button of the response.
void respond(GtkWidget* dialog, int response) {
    click(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), response));
}

}  // namespace

TEST_F(SelectUnits, ApplyToAllThenOkStoresTheDefault) {
    Project* a = open_project_file(example("helium_brayton.kvr"));
    Project* b = open_project_file(example("steam_rankine.kvr"));
    ASSERT_NE(b, nullptr);
    const int mw = find_unit(Q_POWER, "MW");
    ASSERT_GT(mw, 0);
    choose("ui/MenuBar/MenuPreferences/DefaultUnitsAction");
    UnitsDialog* d = units_dialog();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->apply_button[Q_RELATIVE_VALUE] == nullptr, unit_count(Q_RELATIVE_VALUE) <= 1);
    pump();
    screenshot("select_units");
    gtk_combo_box_set_active(GTK_COMBO_BOX(d->box[Q_POWER]), mw);
    click(d->apply_button[Q_POWER]);
    for (const Project* p : {a, b})
        for (int u : power_units(*p)) EXPECT_EQ(u, mw);
    EXPECT_EQ(unitdef[Q_POWER].default_unit, mw);
    respond(d->dialog, GTK_RESPONSE_OK);
    EXPECT_EQ(units_dialog(), nullptr);
    const std::string settings = read_file(settings_path());
    EXPECT_NE(settings.find("Power=" + std::to_string(mw)), std::string::npos) << settings;
    EXPECT_TRUE(messages().empty());
}

TEST_F(SelectUnits, CancelKeepsWhatApplyDid) {
    Project* p = open_project_file(example("helium_brayton.kvr"));
    ASSERT_NE(p, nullptr);
    const int before = unitdef[Q_TEMPERATURE].default_unit;
    const int celsius = find_unit(Q_TEMPERATURE, "°C");
    ASSERT_GE(celsius, 0);
    ASSERT_NE(before, celsius);
    choose("ui/MenuBar/MenuPreferences/DefaultUnitsAction");
    UnitsDialog* d = units_dialog();
    gtk_combo_box_set_active(GTK_COMBO_BOX(d->box[Q_TEMPERATURE]), celsius);
    click(d->apply_button[Q_TEMPERATURE]);
    const int pressure = unitdef[Q_PRESSURE].default_unit;
    gtk_combo_box_set_active(GTK_COMBO_BOX(d->box[Q_PRESSURE]), pressure == 0 ? 1 : 0);
    respond(d->dialog, GTK_RESPONSE_CANCEL);
    EXPECT_EQ(units_dialog(), nullptr);
    EXPECT_EQ(unitdef[Q_TEMPERATURE].default_unit, celsius);
    EXPECT_EQ(unitdef[Q_PRESSURE].default_unit, pressure);
    EXPECT_EQ(p->processes[0]->input_units[PRI_TEMPERATURE], celsius);
    set_default_unit(Q_TEMPERATURE, before);
}

TEST_F(SetTheme, ThemesOnOfferApplyAndUndo) {
    const fs::path themes = fs::path(app_home_dir) / ".." / "share" / "themes";
    fs::create_directories(themes / "Alpha" / "gtk-2.0");
    write_file("share/themes/Alpha/gtk-2.0/gtkrc", "");
    fs::create_directories(themes / "Beta" / "gtk-2.0");
    write_file("share/themes/Gamma/gtk-2.0/readme", "");
    choose("ui/MenuBar/MenuPreferences/SetThemeAction");
    ThemeDialog* d = theme_dialog();
    ASSERT_NE(d, nullptr);
    const std::vector<std::string> rows = theme_rows(*d);
    EXPECT_NE(std::find(rows.begin(), rows.end(), "Alpha"), rows.end());
    EXPECT_EQ(std::find(rows.begin(), rows.end(), "Beta"), rows.end());
    EXPECT_EQ(std::find(rows.begin(), rows.end(), "Gamma"), rows.end());
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
    pump();
    screenshot("theme");
    const std::string opened = theme_file_text(d->orig_theme, d->orig_font);

    // The theme's own font: one line; a font of the user's: six lines.
    select_row(*d, "Alpha");
    click(d->default_font_radio);
    respond(d->dialog, GTK_RESPONSE_APPLY);
    EXPECT_EQ(read_file(gtkrc_fn), "gtk-theme-name = \"Alpha\"\n");
    click(d->custom_font_radio);
    gtk_font_button_set_font_name(GTK_FONT_BUTTON(d->gui_appear_fontsel), "Sans 13");
    respond(d->dialog, GTK_RESPONSE_APPLY);
    EXPECT_EQ(read_file(gtkrc_fn),
              "gtk-theme-name = \"Alpha\"\nstyle \"user-font\"\n{\n\tfont_name=\"Sans 13\"\n}\n"
              "widget_class \"*\" style \"user-font\"\n");
    // Undo after two Applies writes the pair of the moment the dialog opened.
    respond(d->dialog, GTK_RESPONSE_CANCEL);
    EXPECT_EQ(read_file(gtkrc_fn), opened);
    ASSERT_EQ(theme_dialog(), d);
    respond(d->dialog, GTK_RESPONSE_ACCEPT);
    EXPECT_EQ(theme_dialog(), nullptr);
    EXPECT_TRUE(messages().empty());
}

TEST_F(SetTheme, UnwritableThemeFileGivesAMessage) {
    const std::string saved = gtkrc_fn;
    fs::create_directories(scratch_dir() + "/blocked");
    gtkrc_fn = scratch_dir() + "/blocked";  // a folder where the file should be
    EXPECT_FALSE(apply_theme("Raleigh", ""));
    gtkrc_fn = saved;
    const auto shown = messages();
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_NE(shown[0].text.find("cannot be written"), std::string::npos);
}
