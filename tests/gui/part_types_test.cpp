// The details dialog of every part type, opened as a user opens it (a
// double click on the part's symbol) in the project files the program
// ships and reads: every named field shows, no label or value is cut, and
// the values are the file's.
#include "tree_support.h"
#include "user_path.h"

#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/solver/simulator.h"
#include "app/core/structure/tree_model.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace app;
using namespace app::gui;
using namespace guitest;

namespace {

// The values of the two-column result lists in the window, sorted.
void result_values(GtkWidget* w, std::vector<std::string>& out) {
    if (GTK_IS_TREE_VIEW(w)) {
        GtkTreeModel* m = gtk_tree_view_get_model(GTK_TREE_VIEW(w));
        if (m == nullptr || gtk_tree_model_get_n_columns(m) != 2) return;
        GtkTreeIter it;
        for (bool ok = gtk_tree_model_get_iter_first(m, &it); ok;
             ok = gtk_tree_model_iter_next(m, &it)) {
            gchar* value = nullptr;
            gtk_tree_model_get(m, &it, 1, &value, -1);
            out.emplace_back(value != nullptr ? value : "");
            g_free(value);
        }
        return;
    }
    if (!GTK_IS_CONTAINER(w)) return;
    GList* children = gtk_container_get_children(GTK_CONTAINER(w));
    for (GList* l = children; l != nullptr; l = l->next) result_values(GTK_WIDGET(l->data), out);
    g_list_free(children);
}

std::string text_of(GtkWidget* d, const std::string& name) {
    GtkWidget* w = find_widget(d, name);
    if (w == nullptr) return "<none>";
    if (GTK_IS_ENTRY(w)) return gtk_entry_get_text(GTK_ENTRY(w));
    if (GTK_IS_LABEL(w)) return gtk_label_get_text(GTK_LABEL(w));
    if (GTK_IS_BUTTON(w)) return gtk_button_get_label(GTK_BUTTON(w));
    return "<?>";
}

// The dialog a double click on the part opened, checked against the part;
// closed again. Each type's first dialog is saved as a screenshot.
void check_part_dialog(Project* p, int process, int k, std::set<std::string>& seen) {
    const Process& proc = *p->processes[sz(process)];
    Part& part = *proc.parts[sz(k)];
    const std::string type = part.part_type->name;
    SCOPED_TRACE(proc.name + ": " + part.name + " (" + type + ")");
    open_part(p, process, k);
    const std::string title =
        k == 0 ? "Inlet details of process " + proc.name
               : "Part details for part " + std::to_string(k) + " of process " + proc.name;
    GtkWidget* d = shown_window(title);
    ASSERT_NE(d, nullptr) << "no dialog \"" << title << "\"";
    EXPECT_TRUE(user_sees_named(d));
    EXPECT_TRUE(no_text_cut(d));
    if (k > 0 && (part.state == PS_FINISHED || part.state == PS_PROVISIONAL)) {
        // Every result of the part, in its unit.
        std::vector<std::string> want;
        for (int o : part.part_type->outputs)
            want.push_back(format_value(part.outputs[sz(o)], part_output_values_def[sz(o)],
                                        part.output_units[sz(o)]));
        std::vector<std::string> shown;
        result_values(d, shown);
        std::sort(want.begin(), want.end());
        std::sort(shown.begin(), shown.end());
        EXPECT_EQ(shown, want);
    }
    if (k > 0) {
        EXPECT_EQ(text_of(d, "name"), part.name);
        compute_shown_inputs(part);
        for (int n = 0; n < part.az_shown_inputs; ++n) {
            const std::string field = "input" + std::to_string(n);
            const int input = part.shown_inputs[sz(n)];
            if (input == NO_INPUT) {
                EXPECT_EQ(text_of(d, field), "");
                continue;
            }
            const ValueDef& def = part_input_values_def[sz(input)];
            EXPECT_EQ(text_of(d, "label" + std::to_string(n)), def.name) << field;
            EXPECT_EQ(text_of(d, field),
                      format_value(part.inputs[sz(input)], def, part.input_units[sz(input)]))
                << field;
        }
    } else {
        EXPECT_EQ(text_of(d, "fluid"), proc.fluid->name);
        for (int n = 0; n < 3; ++n) {
            const ValueDef& def = process_input_values_def[sz(n)];
            EXPECT_EQ(text_of(d, "value" + std::to_string(n)),
                      format_value(proc.inputs[sz(n)], def, proc.input_units[sz(n)]))
                << def.name;
        }
    }
    if (seen.insert(type).second) screenshot("part_type_" + type, d);
    close_window(d);
    EXPECT_EQ(shown_window(title), nullptr);
}

class PartTypes : public GuiTest {};

}  // namespace

TEST_F(PartTypes, EveryTypesDialogShowsWhatTheFileHolds) {
    std::vector<std::string> files;
    for (const char* name : {"helium_brayton.kvr", "steam_rankine.kvr",
                             "steam_rankine_condenser.kvr", "steam_rankine_reheat.kvr",
                             "gas_turbine.kvr", "exhaust_cooler.kvr", "humid_air_compressor.kvr",
                             "humid_air_dryer.kvr", "split_and_mix.kvr", "coupled_water.kvr"})
        files.push_back(example(name));
    files.push_back(std::string(KVR2_SOURCE_DIR) + "/tests/gui/long_calculation.kvr");
    files.push_back(std::string(KVR2_SOURCE_DIR) + "/tests/app/core/files/old_pipelines.kvr");
    std::set<std::string> seen;
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        Project* p = open_project_file(file);
        ASSERT_NE(p, nullptr);
        pump();
        // The long calculation's file is left as read: its results are
        // those of no calculation.
        if (file.find("long_calculation") == std::string::npos) {
            EXPECT_EQ(calcProject(*p), CS_FINISHED);
            pump();
            update_graphs(p);
        }
        for (int i = 0; i < p->az_processes; ++i)
            for (int k = 0; k < p->processes[sz(i)]->az_parts; ++k)
                check_part_dialog(p, i, k, seen);
        close_all_projects(false);
        pump();
    }
    // The types no shipped file holds, inserted as a user inserts them.
    Project* p = open_project_file(example("helium_brayton.kvr"));
    ASSERT_NE(p, nullptr);
    pump();
    for (const char* insert : {"InsertPressureLoss", "InsertCombustoroxy", "InsertSplitMix"}) {
        select_part(p, 0, 1);
        choose(std::string("ui/Popup_on_part_in_graph/") + insert);
    }
    for (int k = 0; k < p->processes[0]->az_parts; ++k) check_part_dialog(p, 0, k, seen);
    EXPECT_EQ(seen.size(), sz(NUM_PART_TYPES)) << [&] {
        std::string all;
        for (const std::string& s : seen) all += s + "; ";
        return all;
    }();
}
