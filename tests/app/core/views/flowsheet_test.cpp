// The flowsheet without a display: layout (columns, rows, interface rows,
// overlaps, size), what presses enable, the zoom steps, the interface
// operations and the details dialogs' copies and composition rows.
#include "app/core/views/flowsheet.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/units.h"
#include "app/core/structure/interfaces.h"
#include "app/core/structure/structure.h"
#include "app/core/structure/tree_model.h"
#include "app/core/views/details.h"
#include "tests/app/core/structure_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <set>

namespace {

using namespace app;
using namespace structuretest;

class SheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        initstuff();
        init_stoffe();
        current_fluid = nullptr;
        project = create_project();
        current_project = project;
        sheet = create_graph();
        sheet->kind = GK_FLOWSHEET;
        project->graphs[0] = sheet;
        ++project->az_graphs;
        add_process();
    }
    void TearDown() override {
        free_project(project);
        current_project = nullptr;
        current_fluid = nullptr;
    }
    Process& add_process(int fluid = FLUID_WATER) {
        std::string refusal;
        Process* p =
            add_new_process(*project, new_process_defaults(*project, fluids[fluid]), refusal);
        EXPECT_NE(p, nullptr) << refusal;
        return *p;
    }
    Process& proc(int p = 0) { return *project->processes[p]; }
    // Inserts after the named part of process p (into the splitter's second
    // outlet when `second`); returns the new part (the splitter of a pair).
    Part& insert(int p, const std::string& after, int type, bool second = false) {
        select(*project, p, after);
        Script s;
        s.splitter_outlet = second ? 1 : 0;
        s.mixer_position = 0;  // a pair: the mixer directly after the splitter
        if (type == SPLITTER)
            insert_splitter(*project, s.choosers());
        else if (type == MIXER)
            insert_splitter_mixer(*project, s.choosers());
        else
            insert_new_part(*project, type, s.choosers());
        return *proc(p).parts[project->current_part];
    }
    int index_of(int p, const Part& part) { return part_index_in(proc(p), part.id); }
    int link(int p, const Part& hot, int q, const Part& cold) {
        std::string refusal;
        const int i =
            create_interface_between(*project, p, index_of(p, hot), q, index_of(q, cold), refusal);
        EXPECT_GE(i, 0) << refusal;
        return i;
    }
    void lay_out() { layout_flowsheet(*project, *sheet); }
    Project* project = nullptr;
    Graph* sheet = nullptr;
};

// No two parts of the sheet in one cell, and none in the cell below a
// splitter (its second outlet's line runs there).
void expect_no_overlap(const Project& project) {
    std::map<std::pair<int, int>, std::string> cells;
    for (int p = 0; p < project.az_processes; ++p) {
        const Process& process = *project.processes[p];
        for (int i = 0; i < process.az_parts; ++i) {
            const Part& part = *process.parts[i];
            const auto [at, fresh] =
                cells.emplace(std::make_pair(part.grid_col, part.grid_row), part.name);
            EXPECT_TRUE(fresh) << part.name << " on " << at->second;
        }
    }
    for (int p = 0; p < project.az_processes; ++p) {
        const Process& process = *project.processes[p];
        for (int i = 0; i < process.az_parts; ++i) {
            const Part& part = *process.parts[i];
            if (part.type != SPLITTER) continue;
            EXPECT_EQ(cells.count({part.grid_col, part.grid_row + 1}), 0u)
                << "a part below " << part.name;
        }
    }
}

using Layout = SheetTest;

TEST_F(Layout, AChainWithTheDefaultToggles) {
    const Part& comp = insert(0, "Inlet", COMPRESSOR);
    lay_out();
    const int cols[] = {0, 1, 2};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(proc().parts[i]->grid_col, cols[i]);
        EXPECT_EQ(proc().parts[i]->grid_row, 0);
    }
    EXPECT_EQ(sheet->n_cols, 2);
    EXPECT_EQ(sheet->n_rows, 0);
    // T,p and the input values shown: columns 4.5 cells apart (the input
    // labels of neighbours would touch at 3).
    EXPECT_DOUBLE_EQ(part_x(*sheet, comp), 160.0);
    EXPECT_NEAR(part_y(*sheet, comp), 86.4, 1e-12);
    const SheetSize size = sheet_size(*sheet, 0, 0);
    EXPECT_DOUBLE_EQ(size.width, 384.0);
    EXPECT_DOUBLE_EQ(size.height, 233.0);
    // The sheet fills the visible area (zoomed pixels).
    sheet->symbol_zoom = 2.0;
    EXPECT_DOUBLE_EQ(sheet_size(*sheet, 1000, 300).width, 500.0);
    EXPECT_DOUBLE_EQ(sheet_size(*sheet, 1000, 300).height, 233.0);
    // "T,p,h,m" without input values: columns 3.5 cells apart, rows of 5
    // pitches.
    sheet->show_inputs = 0;
    sheet->show_tp = 0;
    sheet->show_cross1 = 1;
    sheet->show_names = 0;
    EXPECT_DOUBLE_EQ(part_x(*sheet, comp), 128.0);
    EXPECT_NEAR(part_y(*sheet, comp), 86.4, 1e-12);
    sheet->show_cross1 = 0;
    EXPECT_NEAR(part_y(*sheet, comp), 0.7 * 32, 1e-12);  // short rows without names
    EXPECT_DOUBLE_EQ(part_x(*sheet, comp), 80.0);
}

TEST_F(Layout, BranchesLieBelowAndMixersAfterTheLongerPath) {
    Part& splitter = insert(0, "Inlet", MIXER);  // a splitter-mixer pair
    insert(0, splitter.name, TURBINE);
    insert(0, splitter.name, COMPRESSOR);
    const Part& pump = insert(0, splitter.name, PUMP, true);
    lay_out();
    const Part& mixer = *named(proc(), "Mixer 1");
    EXPECT_EQ(splitter.grid_col, 1);
    EXPECT_EQ(pump.grid_row, 1);
    EXPECT_EQ(pump.grid_col, 2);
    EXPECT_EQ(mixer.grid_row, 0);
    EXPECT_EQ(mixer.grid_col, 4);  // after compressor (2) and turbine (3)
    EXPECT_EQ(named(proc(), "Outlet 1")->grid_col, 5);
    EXPECT_EQ(sheet->n_rows, 1);
    EXPECT_DOUBLE_EQ(sheet->row_pos[1], 1.0);
    expect_no_overlap(*project);
    // A second process starts below the branch, one pitch further down.
    Process& second = add_process();
    lay_out();
    EXPECT_EQ(second.parts[0]->grid_row, 2);
    EXPECT_DOUBLE_EQ(sheet->row_pos[2], 2.0);
}

TEST_F(Layout, NestedBranchesArePushedApart) {
    // The inner splitter's line down crosses the outer branch's first part.
    Part& outer = insert(0, "Inlet", SPLITTER);
    insert(0, outer.name, PUMP, true);
    Part& inner = insert(0, outer.name, SPLITTER);
    insert(0, inner.name, TURBINE, true);
    insert(0, inner.name, COMPRESSOR);
    lay_out();
    expect_no_overlap(*project);
    EXPECT_EQ(named(proc(), "Pump 1")->grid_row, 2);
    EXPECT_EQ(named(proc(), "Turbine 1")->grid_row, 1);
    EXPECT_EQ(sheet->n_rows, 2);
}

TEST_F(Layout, InterfaceRows) {
    Part& a = insert(0, "Inlet", HEAT_EXCHANGER);
    Part& b = insert(0, a.name, HEAT_EXCHANGER);
    Part& c = insert(0, b.name, HEAT_EXCHANGER);
    Part& d = insert(0, c.name, HEAT_EXCHANGER);
    link(0, a, 0, b);
    lay_out();
    EXPECT_EQ(project->interfaces[0]->grid_row, 1);
    EXPECT_DOUBLE_EQ(sheet->row_pos[1], 0.6);
    link(0, c, 0, d);
    lay_out();
    EXPECT_EQ(project->interfaces[1]->grid_row, 2);
    EXPECT_NEAR(sheet->row_pos[2], 0.9, 1e-12);
    EXPECT_EQ(a.grid_row, 0);
    // The symbol lies between its heat exchangers, in its row.
    const Interface& first = *project->interfaces[0];
    EXPECT_EQ(first.icon_x, static_cast<int>((part_x(*sheet, a) + part_x(*sheet, b) + 16) / 2));
    EXPECT_EQ(first.icon_y, static_cast<int>(row_y(*sheet, 1)));
    EXPECT_EQ(hit_interface(*project, *sheet, first.icon_x + 5, first.icon_y + 5), 0);
    // Between processes 1 and 2: a row after process 1; process 2 one full
    // pitch after it.
    Process& second = add_process();
    Part& e = insert(1, "Inlet", HEAT_EXCHANGER);
    Part& f = insert(0, d.name, HEAT_EXCHANGER);
    link(1, e, 0, f);
    lay_out();
    const Interface& across = *project->interfaces[2];
    EXPECT_EQ(across.grid_row, 3);
    EXPECT_NEAR(sheet->row_pos[3], 1.2, 1e-12);  // rows above closer than a pitch: 0.3
    EXPECT_EQ(second.parts[0]->grid_row, 4);
    EXPECT_NEAR(sheet->row_pos[4], 2.2, 1e-12);
    // The hot side is in the later process: the cold one is drawn first.
    EXPECT_EQ(interface_ends(*project, across).first, &f);
}

TEST_F(Layout, PushdownTakesTheFlowDownAndEnds) {
    Part& splitter = insert(0, "Inlet", SPLITTER);
    Part& pump = insert(0, splitter.name, PUMP, true);
    Part& comp = insert(0, "Inlet", COMPRESSOR);
    lay_out();
    pushdown(*project, proc(), comp);
    // Everything after the compressor: the splitter and both its branches.
    EXPECT_EQ(comp.grid_row, 1);
    EXPECT_EQ(splitter.grid_row, 1);
    EXPECT_EQ(pump.grid_row, 2);
    EXPECT_EQ(named(proc(), "Outlet 1")->grid_row, 1);
    // A damaged link that loops ends after as many steps as parts.
    comp.next_id[0] = comp.id;
    comp.next_inlet[0] = 0;
    const int before = comp.grid_row;
    pushdown(*project, proc(), comp);
    EXPECT_LE(comp.grid_row - before, proc().az_parts);
    lay_out();  // and the layout's walks end too
}

// Many processes with branches and interfaces: the rows grow past 100.
TEST_F(Layout, ManyProcessesWithBranchesAndInterfaces) {
    for (int p = 1; p < MAX_PROCESSES; ++p) add_process(FLUID_AIR);
    std::vector<Part*> hx;
    for (int p = 0; p < MAX_PROCESSES; ++p) {
        Part& s = insert(p, "Inlet", MIXER);
        insert(p, s.name, PUMP, true);
        hx.push_back(&insert(p, s.name, HEAT_EXCHANGER));
    }
    for (int k = 0; k < MAX_INTERFACES; ++k) link(2 * k, *hx[2 * k], 2 * k + 1, *hx[2 * k + 1]);
    lay_out();
    EXPECT_GT(sheet->n_rows, 300);
    ASSERT_GT(static_cast<int>(sheet->row_pos.size()), sheet->n_rows);
    for (int r = 1; r <= sheet->n_rows; ++r) EXPECT_GT(sheet->row_pos[r], sheet->row_pos[r - 1]);
    expect_no_overlap(*project);
    const SheetSize size = sheet_size(*sheet, 0, 0);
    EXPECT_GT(size.height, sheet->n_rows * 5 * 32);
}

using Buttons = SheetTest;

TEST_F(Buttons, InterfacesDeleteAndQt) {
    Part& a = insert(0, "Inlet", HEAT_EXCHANGER);
    Part& b = insert(0, a.name, HEAT_EXCHANGER);
    EXPECT_TRUE(context_buttons(*project).create_interface);
    link(0, a, 0, b);
    EXPECT_FALSE(context_buttons(*project).create_interface);
    select(*project, 0, a.name);
    project->current_interface = -1;
    EXPECT_FALSE(context_buttons(*project).delete_part);
    project->current_interface = 0;
    ContextButtons buttons = context_buttons(*project);
    EXPECT_TRUE(buttons.delete_part);
    EXPECT_FALSE(buttons.create_qt);
    project->interfaces[0]->status = IS_CONVERGED;
    EXPECT_TRUE(context_buttons(*project).create_qt);
    project->interfaces[0]->status = IS_FAILED;
    EXPECT_FALSE(context_buttons(*project).create_qt);
}

TEST_F(Buttons, MoveDeleteAndConnect) {
    insert(0, "Inlet", COMPRESSOR);
    insert(0, "Compressor 1", TURBINE);
    Part& splitter = insert(0, "Turbine 1", SPLITTER);
    struct Case {
        const char* part;
        bool left, right, del;
    } cases[] = {
        {"Inlet", false, false, false},    {"Compressor 1", false, true, true},
        {"Turbine 1", true, false, true},  {"Splitter 1", false, false, true},
        {"Outlet 1", false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.part);
        select(*project, 0, c.part);
        const ContextButtons b = context_buttons(*project);
        EXPECT_EQ(b.move_left, c.left);
        EXPECT_EQ(b.move_right, c.right);
        EXPECT_EQ(b.delete_part, c.del);
        EXPECT_FALSE(b.connect_to_outlet);
    }
    // A splitter with a part in its second branch cannot go.
    insert(0, splitter.name, PUMP, true);
    select(*project, 0, splitter.name);
    EXPECT_FALSE(context_buttons(*project).delete_part);
    // A mixer waiting for its branch offers Connect to Outlet.
    Script s;
    select(*project, 0, "Compressor 1");
    insert_mixer(*project, s.choosers());
    const ContextButtons b = context_buttons(*project);
    EXPECT_TRUE(b.connect_to_outlet);
    EXPECT_TRUE(b.delete_part);
    EXPECT_FALSE(b.move_left || b.move_right);
    project->current_process = -1;
    EXPECT_FALSE(context_buttons(*project).delete_part);
}

TEST(FlowsheetZoom, WholeTenthsBetweenTheLimits) {
    double z = 1.0;
    for (int i = 0; i < 5; ++i) z = zoom_step(z, -1);
    EXPECT_EQ(z, 0.5);
    EXPECT_EQ(zoom_step(z, -1), 0.5);
    z = 1.0;
    for (int i = 0; i < 10; ++i) z = zoom_step(z, 1);
    EXPECT_EQ(z, 2.0);
    EXPECT_EQ(zoom_step(z, 1), 2.0);
    EXPECT_EQ(zoom_step(0.7000000001, 1), 0.8);
    EXPECT_EQ(zoom_step(std::nan(""), 1), 1.1);
}

using Interfaces = SheetTest;

TEST_F(Interfaces, CreateSwapDeleteAndCapacity) {
    Part& a = insert(0, "Inlet", HEAT_EXCHANGER);
    Part& b = insert(0, a.name, HEAT_EXCHANGER);
    std::vector<HeatExchangerChoice> offered = free_heat_exchangers(*project);
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[0].text, "Process 1 : Heat Exchanger 1");
    std::string why;
    EXPECT_LT(create_interface_between(*project, 0, 1, 0, 1, why), 0);
    EXPECT_FALSE(why.empty());
    ASSERT_EQ(link(0, a, 0, b), 0);
    EXPECT_TRUE(free_heat_exchangers(*project).empty());
    EXPECT_EQ(project->current_interface, 0);
    EXPECT_EQ(project->current_part, -1);
    EXPECT_EQ(a.icon, "My_heatsource");
    EXPECT_EQ(b.icon, "My_heatsink");
    EXPECT_EQ(a.shown_inputs[0], NO_INPUT);
    EXPECT_FALSE(delete_part_refusal(*project, 0, a.id).empty());
    ASSERT_TRUE(swap_interface_sides(*project, 0));
    EXPECT_EQ(project->interfaces[0]->hot_part_id, b.id);
    EXPECT_EQ(a.icon, "My_heatsink");
    EXPECT_EQ(b.icon, "My_heatsource");
    // Deleting: both free, "Specific Heat Flux", the input row shows it.
    ASSERT_TRUE(remove_interface(*project, 0));
    for (Part* p : {&a, &b}) {
        EXPECT_EQ(p->options[OPT_OUTLET_TEMPERATURE], 1);
        EXPECT_EQ(p->icon, "My_heatexchanger");
        const std::vector<TreeRow> rows = part_input_rows(*p);
        EXPECT_EQ(rows[0].name, "Specific Heat Flux");
        EXPECT_EQ(rows[0].value, format_value(p->inputs[PI_SPECIFIC_HEAT_FLUX],
                                              part_input_values_def[PI_SPECIFIC_HEAT_FLUX],
                                              p->input_units[PI_SPECIFIC_HEAT_FLUX]));
        EXPECT_TRUE(delete_part_refusal(*project, 0, p->id).empty());
    }
    // An 11th interface is refused with a message.
    std::vector<Part*> hx;
    for (int i = 0; i < 2 * MAX_INTERFACES + 2; ++i)
        hx.push_back(&insert(0, "Inlet", HEAT_EXCHANGER));
    for (int k = 0; k < MAX_INTERFACES; ++k) link(0, *hx[2 * k], 0, *hx[2 * k + 1]);
    const int before = interface_name_counter;
    EXPECT_LT(
        create_interface_between(*project, 0, index_of(0, *hx[20]), 0, index_of(0, *hx[21]), why),
        0);
    EXPECT_NE(why.find("10 interfaces"), std::string::npos);
    EXPECT_EQ(project->az_interfaces, MAX_INTERFACES);
    EXPECT_EQ(interface_name_counter, before);
    EXPECT_TRUE(free_heat_exchanger(*hx[20]));
}

using Details = SheetTest;

TEST_F(Details, PartAndInterfaceCopies) {
    Part& comp = insert(0, "Inlet", COMPRESSOR);
    compute_shown_inputs(comp);
    PartDraft copy = copy_of_part(comp);
    EXPECT_FALSE(write_part_copy(comp, copy));
    comp.options[OPT_EFFICIENCY] = 0;  // "Isentropic"
    compute_shown_inputs(comp);
    copy = copy_of_part(comp);
    EXPECT_EQ(copy.shown_inputs[1], PI_ISENTROPIC_EFFICIENCY);
    copy.options[OPT_EFFICIENCY] = 1;  // "Polytropic"
    refresh_shown_inputs(copy, comp);
    EXPECT_EQ(copy.shown_inputs[1], PI_POLYTROPIC_EFFICIENCY);
    EXPECT_EQ(comp.shown_inputs[1], PI_ISENTROPIC_EFFICIENCY);  // the part waits for OK
    EXPECT_TRUE(write_part_copy(comp, copy));
    EXPECT_EQ(comp.shown_inputs[1], PI_POLYTROPIC_EFFICIENCY);
    copy.name = "";
    EXPECT_FALSE(write_part_copy(comp, copy));  // an empty name is no change
    EXPECT_EQ(comp.name, "Compressor 1");

    Interface* itf = create_interface();
    InterfaceCopy ic = copy_of_interface(*itf);
    ic.options[IOPT_CALCULATION_MODE] = 2;
    refresh_shown_inputs(ic);
    EXPECT_EQ(ic.shown_inputs[0], II_OUTLET_TEMPERATURE_COLD);
    EXPECT_TRUE(write_interface_copy(*itf, ic));
    EXPECT_FALSE(write_interface_copy(*itf, ic));
    free_interface(itf);
}

TEST(PartDialog, HeightFromTheScreen) {
    const std::pair<int, int> cases[] = {
        {768, 700}, {1080, 950}, {1000, 950}, {800, 750}, {90, 50}};
    for (const auto& [screen, height] : cases) EXPECT_EQ(part_dialog_height(screen), height);
}

TEST_F(Details, CompositionInVolumeAndMass) {
    Part& comp = insert(0, "Inlet", COMPRESSOR);
    const Fluid& air = *fluids[FLUID_DRY_ISO_AIR];
    ASSERT_GT(air.az_components, 2);
    comp.fluid = fluids[FLUID_DRY_ISO_AIR];
    comp.x_in = air.x;
    comp.x_out = air.x;
    EXPECT_EQ(composition_groups(comp), (std::vector<int>{CG_INLET, CG_OUTLET}));
    const std::vector<CompositionRow> mass = composition_rows(comp, CG_OUTLET, true, true);
    double sum = 0;
    for (const CompositionRow& r : mass) sum += r.value;
    EXPECT_NEAR(sum, 1.0, 1e-12);
    const std::vector<CompositionRow> volume = composition_rows(comp, CG_INLET, false, false);
    ASSERT_EQ(volume.size(), mass.size());
    int c = 0;
    for (const CompositionRow& r : volume) {
        while (!(air.x[c] > 0)) ++c;
        char text[32];
        std::snprintf(text, sizeof text, "%6.3f %%", air.x[c] * 100);
        EXPECT_EQ(r.text, text);
        EXPECT_EQ(r.label, fluids[air.comp_index[c]]->name);
        ++c;
    }
    EXPECT_EQ(composition_rows(comp, CG_FUEL, true, true).size(), 0u);
}

}  // namespace
