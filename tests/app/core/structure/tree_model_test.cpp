// The project tree as data: its rows, result groups, shown inputs, the
// result cells after a real calculation, the way from a path to the value,
// and the rules of presses, menus, Rename and Delete.
#include "app/core/files/filehandling.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/units.h"
#include "app/core/solver/simulator.h"
#include "app/core/structure/structure.h"
#include "app/core/structure/tree_rules.h"
#include "tests/app/core/structure_support.h"
#include "tests/support/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace {

using namespace app;
using namespace structuretest;

// The row at a path of the rows built.
const TreeRow& at(const std::vector<TreeRow>& top, const TreePath& path) {
    const TreeRow* row = &top.at(static_cast<std::size_t>(path[0]));
    for (std::size_t i = 1; i < path.size(); ++i)
        row = &row->children.at(static_cast<std::size_t>(path[i]));
    return *row;
}

std::vector<std::string> child_names(const TreeRow& row) {
    std::vector<std::string> out;
    for (const TreeRow& c : row.children) out.push_back(c.name);
    return out;
}

// Every path below `row` whose row shows a result (dark cyan values).
void result_paths(const TreeRow& row, TreePath path, std::set<TreePath>& out) {
    if (row.value_colour == "darkcyan") out.insert(path);
    for (std::size_t i = 0; i < row.children.size(); ++i) {
        path.push_back(static_cast<int>(i));
        result_paths(row.children[i], path, out);
        path.pop_back();
    }
}

class TreeModel : public ::testing::Test {
protected:
    void SetUp() override {
        initstuff();
        init_stoffe();
        current_fluid = nullptr;
        project = create_project();
        current_project = project;
        std::string refusal;
        process =
            add_new_process(*project, new_process_defaults(*project, fluids[FLUID_WATER]), refusal);
    }
    void TearDown() override {
        free_project(project);
        current_project = nullptr;
        current_fluid = nullptr;
    }
    Part& insert(int type, const std::string& after = "Inlet") {
        select(*project, 0, after);
        Script s;
        s.splitter_outlet = 0;
        if (type == SPLITTER)
            insert_splitter(*project, s.choosers());
        else if (type == MIXER)
            insert_mixer(*project, s.choosers());
        else
            insert_new_part(*project, type, s.choosers());
        return *process->parts[project->current_part];
    }
    Project* project = nullptr;
    Process* process = nullptr;
};

TEST_F(TreeModel, RowsOfANewProject) {
    const std::vector<TreeRow> top = project_tree(*project);
    TreeRow root;
    root.children = top;
    EXPECT_EQ(child_names(root),
              (std::vector<std::string>{"Project", "Processes", "Interfaces", "Graphs"}));
    EXPECT_EQ(at(top, {0}).children.size(), 8u);
    EXPECT_EQ(at(top, {0, 7}).name, "Efficiency");
    EXPECT_EQ(at(top, {0, 7}).value_colour, "darkcyan");
    EXPECT_EQ(at(top, {1, 0}).name, "Process 1");
    EXPECT_EQ(at(top, {1, 0}).name_colour, "darkred");
    // Only the Inlet and the Outlet: no row under "Parts".
    EXPECT_EQ(at(top, {1, 0, 1}).name, "Parts");
    EXPECT_TRUE(at(top, {1, 0, 1}).children.empty());
    EXPECT_EQ(child_names(at(top, {1, 0, 0})),
              (std::vector<std::string>{"Fluid", "Temperature", "Pressure", "Massflow",
                                        "Standard Volume Flow (Dry)", "Humidity"}));
    EXPECT_EQ(at(top, {1, 0, 0, 0}).value, "Water");
    EXPECT_FALSE(at(top, {1, 0, 0, 0}).editable);
    EXPECT_EQ(at(top, {1, 0, 0, 1}).value, "288.15 K");
    EXPECT_TRUE(at(top, {1, 0, 0, 1}).editable);
    EXPECT_EQ(at(top, {1, 0, 2}).children.size(), 13u);
    EXPECT_EQ(at(top, {1, 0, 2, 0}).value, "");
}

TEST_F(TreeModel, ResultGroupsAndShownInputs) {
    insert(SPLITTER);
    insert(MIXER, "Splitter 1");
    Part& compressor = insert(COMPRESSOR);
    const struct {
        const char* part;
        std::vector<std::string> groups;
    } cases[] = {
        {"Mixer 1", {"Inlet", "Outlet", "Inlet 2"}},
        {"Splitter 1", {"Inlet", "Outlet", "Outlet 2"}},
        {"Compressor 1", {"Inlet", "Outlet", "Overall"}},
    };
    for (const auto& c : cases) {
        const TreeRow row = part_tree(*named(*process, c.part));
        EXPECT_EQ(child_names(row), (std::vector<std::string>{"Options", "Input", "Results"}));
        EXPECT_EQ(child_names(row.children[2]), c.groups) << c.part;
    }
    const TreeRow row = part_tree(compressor);
    EXPECT_EQ(row.icon, "My_compressor");
    EXPECT_EQ(row.children[2].children[0].children[2].name, "Enthalpy");  // "Inlet Enthalpy h"
    EXPECT_EQ(result_row_name("Inlet Liquid Water Part"), "Liquid");
    EXPECT_EQ(result_row_name("2_Outlet Massflow"), "Massflow");
    EXPECT_EQ(result_row_name("Isentropic Enthalpy Diff."), "Isentropic Enthalpy Diff.");
    EXPECT_EQ(row.children[2].children[2].children[0].name, "Isentropic Efficiency");
    // "Efficiency calculation" enables no input, whatever the choice.
    for (int choice = 0; choice < 3; ++choice) {
        compressor.options[OPT_EFFICIENCY_CALCULATION] = choice;
        const TreeRow r = part_tree(compressor);
        EXPECT_EQ(r.children[0].children.size(), 4u);
        EXPECT_EQ(child_names(r.children[1]),
                  (std::vector<std::string>{"Pressure Ratio Out/In", "Polytropic Efficiency",
                                            "Absolute Leakage"}));
    }
    EXPECT_EQ(part_tree(compressor).children[0].children[3].value,
              "Use for Process and Full Project");
}

TEST_F(TreeModel, InterfacesShowTheirSidesAndLinkedHeatExchangers) {
    Part& hot = insert(HEAT_EXCHANGER);
    Part& cold = insert(HEAT_EXCHANGER, hot.name);
    Interface* itf = create_interface();
    itf->hot_process_id = itf->cold_process_id = process->id;
    itf->hot_part_id = hot.id;
    itf->cold_part_id = cold.id;
    itf->options[IOPT_CALCULATION_MODE] = 2;
    append_interface(*project, itf);
    hot.options[OPT_OUTLET_TEMPERATURE] = 2;
    std::vector<TreeRow> top = project_tree(*project);
    EXPECT_EQ(at(top, {2, 0, 0}).value, "Process 1 : Heat Exchanger 1");
    EXPECT_EQ(at(top, {2, 0, 1}).icon, "My_heatsink");
    EXPECT_EQ(at(top, {2, 0, 2, 0}).value, "Outlet Temperature Cold Side");
    EXPECT_EQ(at(top, {2, 0, 3, 0}).name, "Outlet Temperature Cold Side");
    // The linked heat exchanger: the option fixed, its input row " - ",
    // and the following rows still match their options.
    const TreeRow& part = at(top, {1, 0, 1, 0});
    EXPECT_EQ(part.children[0].children[0].value, "Determined by Interface");
    EXPECT_EQ(part.children[1].children[0].name, " - ");
    EXPECT_FALSE(part.children[1].children[0].editable);
    EXPECT_EQ(part.children[1].children[1].name, "Absolute Pressure Loss");
    EXPECT_EQ(value_slot(*project, resolve_row(*project, {1, 0, 1, 0, 1, 0})).def, nullptr);
    // A side whose part is gone shows " - ".
    itf->hot_part_id = 9999;
    top = project_tree(*project);
    EXPECT_EQ(at(top, {2, 0, 0}).value, " - ");
    itf->cold_process_id = 1;
    EXPECT_EQ(interface_side_text(*project, itf->cold_process_id, itf->cold_part_id), " - ");
}

// After calculating the steam Rankine example every result row has a
// value, written in dark cyan, and every value is a number with its unit.
TEST_F(TreeModel, ResultsOfTheSteamRankineExample) {
    free_project(project);
    project = readinput(testsupport::source_dir() + "/examples/steam_rankine.kvr");
    ASSERT_NE(project, nullptr);
    current_project = project;
    ASSERT_EQ(calcProject(*project), CS_FINISHED);
    const std::vector<TreeRow> top = project_tree(*project);
    std::set<TreePath> rows;
    for (std::size_t i = 0; i < top.size(); ++i) result_paths(top[i], {static_cast<int>(i)}, rows);
    std::set<TreePath> written;
    for (const CellText& cell : result_cells(*project)) {
        SCOPED_TRACE(path_text(cell.path) + " " + cell.text);
        written.insert(cell.path);
        const RowRef row = resolve_row(*project, cell.path);
        const ValueSlot slot = value_slot(*project, row);
        ASSERT_NE(slot.def, nullptr);
        EXPECT_EQ(cell.text, format_value(*slot.value, *slot.def, *slot.unit));
        char* end = nullptr;
        std::strtod(cell.text.c_str(), &end);
        EXPECT_NE(end, cell.text.c_str());
        EXPECT_EQ(cell.text.find("nan"), std::string::npos);
    }
    EXPECT_EQ(written, rows);
    EXPECT_EQ(written.count({1, 0, 2, 12}), 1u);  // "Process Efficiency"
    const TreePath turbine_power{1, 0, 1, 2, 2, 2, 6};
    EXPECT_EQ(at(top, turbine_power).name, "Power");
    EXPECT_EQ(value_slot(*project, resolve_row(*project, turbine_power)).value,
              &project->processes[0]->parts[3]->outputs[PO_POWER]);
}

TEST_F(TreeModel, PathsLeadToTheirRecords) {
    Part& compressor = insert(COMPRESSOR);
    const struct {
        TreePath path;
        RowKind kind;
        int part;
        int index;
    } cases[] = {
        {{0}, RowKind::PROJECT, -1, -1},
        {{0, 3}, RowKind::TOTAL, -1, 3},
        {{0, 8}, RowKind::NONE, -1, -1},
        {{1, 0}, RowKind::PROCESS, -1, -1},
        {{1, 1}, RowKind::NONE, -1, -1},
        {{1, 0, 0, 0}, RowKind::FLUID, 0, -1},
        {{1, 0, 0, 3}, RowKind::INLET_VALUE, 0, 2},
        {{1, 0, 1}, RowKind::PARTS, 0, -1},
        {{1, 0, 1, 0}, RowKind::PART, 1, -1},
        {{1, 0, 1, 1}, RowKind::NONE, -1, -1},  // the Outlet has no row
        {{1, 0, 1, 0, 0, 3}, RowKind::OPTION, 1, 3},
        {{1, 0, 1, 0, 1, 2}, RowKind::INPUT, 1, 2},
        {{1, 0, 1, 0, 1, 3}, RowKind::NONE, -1, -1},
        {{1, 0, 1, 0, 2, 1, 0}, RowKind::RESULT, 1, 0},
        {{1, 0, 2, 12}, RowKind::SUMMARY_VALUE, -1, 12},
        {{2}, RowKind::INTERFACES, -1, -1},
        {{2, 0}, RowKind::NONE, -1, -1},
        {{3}, RowKind::GRAPHS, -1, -1},
        {{3, 0}, RowKind::NONE, -1, -1},
        {{}, RowKind::NONE, -1, -1},
    };
    for (const auto& c : cases) {
        const RowRef r = resolve_row(*project, c.path);
        EXPECT_EQ(r.kind, c.kind) << path_text(c.path);
        if (c.kind == RowKind::NONE) continue;
        EXPECT_EQ(r.part, c.part) << path_text(c.path);
        EXPECT_EQ(r.index, c.index) << path_text(c.path);
    }
    EXPECT_EQ(value_slot(*project, resolve_row(*project, {1, 0, 1, 0, 2, 1, 0})).value,
              &compressor.outputs[PO_OUTLET_TEMPERATURE]);
    EXPECT_EQ(value_slot(*project, resolve_row(*project, {1, 0, 1, 0, 1, 1})).value,
              &compressor.inputs[PI_POLYTROPIC_EFFICIENCY]);
    EXPECT_EQ(parse_path("1:0:12:3"), (TreePath{1, 0, 12, 3}));
    EXPECT_EQ(path_text({1, 0, 12, 3}), "1:0:12:3");
    for (const char* bad : {"", "1:", ":1", "1::2", "a", "1:-2"})
        EXPECT_TRUE(parse_path(bad).empty()) << bad;
}

// Typed values outside their bounds refused with the old value kept,
// humidities of dry fluids, options that move the shown inputs. (Units and
// unknown unit names: the window's tests.)
TEST_F(TreeModel, TypedValuesAndOptions) {
    Part& compressor = insert(COMPRESSOR);
    const double T = process->inputs[PRI_TEMPERATURE];
    project->changed = 0;
    ValueEdit e = edit_value(*project, resolve_row(*project, {1, 0, 0, 1}), "-500 K");
    EXPECT_EQ(e.code, RV_OUT_OF_BOUNDS);
    EXPECT_TRUE(e.message_is_error);
    EXPECT_NE(e.message.find("allowed limits for 'Temperature'"), std::string::npos);
    EXPECT_NE(e.message.find("a temperature must be above absolute zero"), std::string::npos);
    EXPECT_EQ(process->inputs[PRI_TEMPERATURE], T);
    EXPECT_EQ(project->changed, 0);
    EXPECT_FALSE(edit_value(*project, resolve_row(*project, {1, 0, 2, 0}), "5").read);
    e = edit_value(*project, resolve_row(*project, {1, 0, 0, 5}), "0.5");
    EXPECT_EQ(process->inputs[PRI_HUMIDITY], 0.0);  // water is dry
    EXPECT_TRUE(e.inlet_rows);
    const RowRef efficiency = resolve_row(*project, {1, 0, 1, 0, 0, 1});
    EXPECT_TRUE(set_row_option(*project, efficiency, 0));
    EXPECT_EQ(compressor.shown_inputs[1], PI_ISENTROPIC_EFFICIENCY);
    EXPECT_FALSE(set_row_option(*project, efficiency, 5));
    EXPECT_FALSE(set_row_unit(*project, resolve_row(*project, {1, 0, 2, 1}), 99));
}

// The commands a press enables. (The menu of each row: the window's tests.)
TEST_F(TreeModel, PressRules) {
    Part& a = insert(HEAT_EXCHANGER);
    Part& b = insert(HEAT_EXCHANGER, a.name);
    insert(COMPRESSOR, b.name);
    const TreePath hx1{1, 0, 1, 0}, hx2{1, 0, 1, 1}, comp{1, 0, 1, 2};
    SelectionRules r = selection_rules(*project, {hx1}, hx2, true);
    EXPECT_TRUE(r.add_clicked);
    EXPECT_TRUE(r.create_interface);
    EXPECT_FALSE(selection_rules(*project, {hx1}, hx2, false).add_clicked);
    r = selection_rules(*project, {hx1}, comp, true);
    EXPECT_FALSE(r.add_clicked);
    EXPECT_TRUE(r.move_up);
    EXPECT_FALSE(r.move_down);              // the Outlet follows
    b.options[OPT_OUTLET_TEMPERATURE] = 2;  // linked
    r = selection_rules(*project, {hx1}, hx2, true);
    EXPECT_FALSE(r.add_clicked);
    EXPECT_FALSE(r.delete_enabled);
    EXPECT_FALSE(selection_rules(*project, {hx1, hx2}, hx1, true).create_interface);
    EXPECT_TRUE(selection_rules(*project, {hx2}, comp, true).delete_enabled);
    EXPECT_FALSE(selection_rules(*project, {hx2}, {}, true).delete_enabled);
    EXPECT_FALSE(selection_rules(*project, {hx1, comp}, comp, true).move_up);
    // Rows of a process make it current, "Parts" its Inlet; others none.
    make_row_current(*project, resolve_row(*project, {1, 0, 1, 2, 2}));
    EXPECT_EQ(project->current_part, 3);
    make_row_current(*project, resolve_row(*project, {1, 0, 1}));
    EXPECT_EQ(project->current_part, 0);
    make_row_current(*project, resolve_row(*project, {3}));
    EXPECT_EQ(project->current_process, -1);
    // Delete: a part first, then a process.
    std::string refusal;
    Process* second =
        add_new_process(*project, new_process_defaults(*project, fluids[FLUID_WATER]), refusal);
    const std::vector<DeleteStep> steps = plan_delete(*project, {{1, 0, 1, 0}, {1, 1}, {0, 1}});
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].kind, DeleteStep::PART);
    EXPECT_EQ(steps[0].id, a.id);
    EXPECT_EQ(steps[1].kind, DeleteStep::PROCESS);
    EXPECT_EQ(steps[1].id, second->id);
}

}  // namespace
