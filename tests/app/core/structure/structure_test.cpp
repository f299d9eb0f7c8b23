// Editing a process's structure: insert, splitter and mixer, connecting a
// mixer, splitter-mixer pairs, delete and move, with the links checked
// after every command; processes made and deleted with what refers to
// them; the fluid of a process; the inlet rule.
#include "app/core/structure/structure.h"
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "tests/app/core/structure_support.h"

#include <gtest/gtest.h>

namespace {

using namespace app;
using namespace structuretest;

using Names = std::vector<std::string>;

class Structure : public ::testing::Test {
protected:
    void SetUp() override {
        initstuff();
        init_stoffe();
        project = create_project();
        current_project = project;
        add_process();
    }
    void TearDown() override {
        free_project(project);
        current_project = nullptr;
    }
    Process& add_process() {
        std::string refusal;
        Process* p = add_new_process(
            *project, new_process_defaults(*project, fluids[FLUID_DRY_ISO_AIR]), refusal);
        EXPECT_NE(p, nullptr) << refusal;
        return *p;
    }
    Process& proc(int i = 0) { return *project->processes[i]; }
    // Runs a command after making `at` current, then checks the links.
    StructureResult after(const std::string& at,
                          StructureResult (*command)(Project&, const StructureChoosers&),
                          Script& script, int process = 0) {
        select(*project, process, at);
        StructureResult r = command(*project, script.choosers());
        expect_sound(*project);
        return r;
    }
    StructureResult insert(const std::string& at, int type, int process = 0,
                           std::optional<int> splitter_outlet = std::nullopt) {
        select(*project, process, at);
        Script script;
        script.splitter_outlet = splitter_outlet;
        StructureResult r = insert_new_part(*project, type, script.choosers());
        expect_sound(*project);
        return r;
    }
    bool calculable() const { return check_calculability_of(project).calculate; }

    Project* project = nullptr;
};

TEST_F(Structure, InsertGoesAfterTheCurrentPart) {
    EXPECT_EQ(names(proc()), (Names{"Inlet", "Outlet 1"}));
    StructureResult r = insert("Inlet", COMPRESSOR);
    ASSERT_TRUE(r.changed);
    EXPECT_EQ(names(proc()), (Names{"Inlet", "Compressor 1", "Outlet 1"}));
    EXPECT_EQ(project->current_part, 1);
    const Part& c = *proc().parts[1];
    EXPECT_EQ(c.options[OPT_EFFICIENCY_CALCULATION], 2);
    EXPECT_EQ(c.fluid, proc().fluid);

    insert("Inlet", COMBUSTOR);
    insert("Compressor 1", TURBINE);
    EXPECT_EQ(names(proc()),
              (Names{"Inlet", "Combustor 1", "Compressor 1", "Turbine 1", "Outlet 1"}));
    EXPECT_DOUBLE_EQ(named(proc(), "Combustor 1")->inputs[PI_OUTLET_TEMPERATURE], 1273.15);

    // A current part beyond the list means the Inlet; an Outlet refuses.
    project->current_part = 40;
    Script none;
    insert_new_part(*project, PUMP, none.choosers());
    EXPECT_EQ(proc().parts[1]->name, "Pump 1");
    select(*project, 0, "Outlet 1");
    r = insert_new_part(*project, PUMP, none.choosers());
    EXPECT_FALSE(r.changed);
    EXPECT_TRUE(r.refusal.empty());
    EXPECT_EQ(proc().az_parts, 6);
    // Types without an insert command are refused.
    EXPECT_FALSE(insert("Inlet", OUTLET).changed);
    EXPECT_FALSE(insert("Inlet", MIXER).changed);
}

TEST_F(Structure, SplittersEndTheirBranchesInOutletsAtTheEnd) {
    Script s;
    after("Inlet", insert_splitter, s);
    after("Inlet", insert_splitter, s);
    EXPECT_EQ(names(proc()),
              (Names{"Inlet", "Splitter 2", "Splitter 1", "Outlet 1", "Outlet 2", "Outlet 3"}));
    EXPECT_EQ(part_by_id(project, named(proc(), "Splitter 1")->next_id[1])->name, "Outlet 2");
    // After a splitter the user chooses the outlet; closing the dialog
    // changes nothing.
    EXPECT_FALSE(insert("Splitter 1", PUMP).changed);
    insert("Splitter 1", PUMP, 0, 1);
    const Part& pump = *named(proc(), "Pump 1");
    EXPECT_EQ(pump.prev_id[0], named(proc(), "Splitter 1")->id);
    EXPECT_EQ(pump.prev_outlet[0], 1);
    EXPECT_EQ(part_by_id(project, pump.next_id[0])->name, "Outlet 2");
}

TEST_F(Structure, MixersWaitForTheirBranchAndTakeItsOutlet) {
    Script s;
    // No splitter upstream: no dialog, the mixer waits and Calculate is off.
    after("Inlet", insert_mixer, s);
    EXPECT_TRUE(s.offered_outlets.empty());
    EXPECT_EQ(named(proc(), "Mixer 1")->prev_id[1], UNCONNECTED);
    EXPECT_FALSE(calculable());
    EXPECT_NE(check_calculability_of(project).why.find("Mixer 1"), std::string::npos);
    Script none;
    delete_part(*project, 0, named(proc(), "Mixer 1")->id);
    expect_sound(*project);
    EXPECT_TRUE(calculable());

    // Splitter, a compressor in its branch, then a mixer on the main line:
    // the branch's Outlet is offered, connecting takes it away.
    after("Inlet", insert_splitter, s);
    insert("Splitter 1", COMPRESSOR, 0, 1);
    s.splitter_outlet = 0;
    s.mixer_outlet = 0;
    StructureResult r = after("Splitter 1", insert_mixer, s);
    EXPECT_EQ(s.offered_outlets, (Names{"Outlet 2", "Leave unconnected"}));
    EXPECT_EQ(named(proc(), "Outlet 2"), nullptr);
    const Part& mixer = *named(proc(), "Mixer 2");
    EXPECT_EQ(part_by_id(project, mixer.prev_id[1])->name, "Compressor 1");
    EXPECT_EQ(project->current_part, -1);
    EXPECT_TRUE(calculable());
    EXPECT_EQ(r.edits.back().kind, PartListEdit::REMOVED);
    EXPECT_FALSE(r.edits.back().shown);

    // Deleting the connected mixer gives the branch an Outlet again.
    r = delete_part(*project, 0, mixer.id);
    expect_sound(*project);
    ASSERT_TRUE(r.changed);
    const Part* outlet = proc().parts[proc().az_parts - 1];
    EXPECT_EQ(outlet->type, OUTLET);
    EXPECT_EQ(part_by_id(project, outlet->prev_id[0])->name, "Compressor 1");

    // "Leave unconnected" and Cancel leave the mixer waiting.
    for (std::optional<int> answer : {std::optional<int>(1), std::optional<int>()}) {
        s.mixer_outlet = answer;
        after("Splitter 1", insert_mixer, s);
        EXPECT_FALSE(calculable());
        const Part* waiting = proc().parts[project->current_part];
        EXPECT_EQ(waiting->type, MIXER);
        delete_part(*project, 0, waiting->id);
        expect_sound(*project);
    }
}

// The main outlet is found from the links, not by its name, and no Outlet
// downstream of the mixer is offered: either would close a loop.
TEST_F(Structure, MixersAreNeverOfferedALoop) {
    Process& second = add_process();  // its main outlet is "Outlet 2"
    EXPECT_EQ(second.parts[1]->name, "Outlet 2");
    Script s;
    // Inlet -> Splitter 1 => Mixer 1 (both outlets) -> Outlet 2.
    s.mixer_position = 0;
    after("Inlet", insert_splitter_mixer, s, 1);
    // A mixer after Mixer 1: the walk from the splitter's branch passes
    // Mixer 1 and the new mixer and reaches the main outlet downstream.
    s.mixer_outlet = 0;
    after("Mixer 1", insert_mixer, s, 1);
    EXPECT_TRUE(s.offered_outlets.empty());
    Part& mixer = *named(second, "Mixer 2");
    EXPECT_EQ(mixer.prev_id[1], UNCONNECTED);
    // A splitter after it: its branch's Outlet lies downstream too.
    after("Mixer 2", insert_splitter, s, 1);
    EXPECT_TRUE(find_outlets_backwards(*project, second, mixer).empty());
    // Names change nothing.
    named(second, "Outlet 2")->name = "Outlet 9";
    named(second, "Outlet 3")->name = "Outlet 1";
    EXPECT_TRUE(find_outlets_backwards(*project, second, mixer).empty());
    // An upstream splitter's branch is offered and can be taken.
    after("Inlet", insert_splitter, s, 1);
    s.offered_outlets.clear();
    connect_mixer_to_outlet(*project, 1, mixer.id, s.choosers());
    EXPECT_EQ(s.offered_outlets, (Names{"Outlet 4", "Leave unconnected"}));
    expect_sound(*project);
    EXPECT_GT(mixer.prev_id[1], 0);
    EXPECT_TRUE(calculable());
}

TEST_F(Structure, SplitterMixerPairs) {
    insert("Inlet", COMPRESSOR);
    insert("Compressor 1", TURBINE);
    Script s;
    // Cancel changes nothing; the positions are the flow after the place.
    s.mixer_position = std::nullopt;
    EXPECT_FALSE(after("Inlet", insert_splitter_mixer, s).changed);
    EXPECT_EQ(s.offered_positions, (Names{"Directly after the splitter", "Compressor 1",
                                          "Turbine 1", "No mixer, add additional outlet"}));
    // Directly after the splitter: both outlets feed the mixer.
    s.mixer_position = 0;
    after("Inlet", insert_splitter_mixer, s);
    const Part& sp = *named(proc(), "Splitter 1");
    const Part& mx = *named(proc(), "Mixer 1");
    EXPECT_EQ(sp.next_id, (std::array<int, 2>{mx.id, mx.id}));
    EXPECT_EQ(sp.next_inlet, (std::array<int, 2>{0, 1}));
    EXPECT_EQ(part_by_id(project, mx.next_id[0])->name, "Compressor 1");
    EXPECT_EQ(proc().parts[project->current_part], &sp);
    EXPECT_TRUE(calculable());
    // Rejoining after a part: the second stream bypasses the compressor.
    s.mixer_position = 1;
    after("Mixer 1", insert_splitter_mixer, s);
    const Part& sp2 = *named(proc(), "Splitter 2");
    const Part& mx2 = *named(proc(), "Mixer 2");
    const Part& comp = *named(proc(), "Compressor 1");
    EXPECT_EQ(sp2.next_id[0], comp.id);
    EXPECT_EQ(sp2.next_id[1], mx2.id);
    EXPECT_EQ(comp.next_id[0], mx2.id);
    EXPECT_EQ(part_by_id(project, mx2.next_id[0])->name, "Turbine 1");
    // No mixer: a splitter with a new Outlet.
    s.mixer_position = 1;
    after("Turbine 1", insert_splitter_mixer, s);
    EXPECT_EQ(s.offered_positions.size(), 2u);
    EXPECT_EQ(part_by_id(project, named(proc(), "Splitter 3")->next_id[1])->type, OUTLET);
}

TEST_F(Structure, DeleteKeepsTheLinksAndRefusesWhatMustStay) {
    Script s;
    after("Inlet", insert_splitter, s);
    insert("Splitter 1", PUMP, 0, 1);
    const int splitter = named(proc(), "Splitter 1")->id;
    // A splitter with a part in its branch stays.
    StructureResult r = delete_part(*project, 0, splitter);
    EXPECT_FALSE(r.changed);
    EXPECT_NE(r.refusal.find("second branch"), std::string::npos);
    delete_part(*project, 0, named(proc(), "Pump 1")->id);
    expect_sound(*project);
    // With an empty branch it goes with its Outlet.
    r = delete_part(*project, 0, splitter);
    expect_sound(*project);
    EXPECT_EQ(names(proc()), (Names{"Inlet", "Outlet 1"}));
    EXPECT_EQ(project->current_part, -1);
    // Inlet and Outlets never go.
    EXPECT_FALSE(delete_part(*project, 0, proc().parts[0]->id).changed);
    EXPECT_FALSE(delete_part(*project, 0, proc().parts[1]->id).changed);

    // A heat exchanger of an interface stays, and so does the interface.
    insert("Inlet", HEAT_EXCHANGER);
    insert("Heat Exchanger 1", HEAT_EXCHANGER);
    Interface* itf = create_interface();
    itf->hot_process_id = itf->cold_process_id = proc().id;
    itf->hot_part_id = named(proc(), "Heat Exchanger 1")->id;
    itf->cold_part_id = named(proc(), "Heat Exchanger 2")->id;
    append_interface(*project, itf);
    named(proc(), "Heat Exchanger 1")->options[OPT_OUTLET_TEMPERATURE] = 2;
    named(proc(), "Heat Exchanger 2")->options[OPT_OUTLET_TEMPERATURE] = 2;
    r = delete_part(*project, 0, itf->hot_part_id);
    EXPECT_FALSE(r.changed);
    EXPECT_NE(r.refusal.find("Delete the interface first"), std::string::npos);
    EXPECT_EQ(project->az_interfaces, 1);
    EXPECT_EQ(proc().az_parts, 4);
}

TEST_F(Structure, ASplitterFeedingItsMixerGoesAfterTheMixer) {
    Script s;
    s.mixer_position = 0;  // directly after the splitter
    after("Inlet", insert_splitter_mixer, s);
    const int splitter = named(proc(), "Splitter 1")->id;
    // The branch holds no part: the message names the mixer that keeps it.
    StructureResult r = delete_part(*project, 0, splitter);
    EXPECT_FALSE(r.changed);
    EXPECT_NE(r.refusal.find("leads into mixer 'Mixer 1'. Delete the mixer first."),
              std::string::npos)
        << r.refusal;
    // As told: the mixer goes (its branch ends in an Outlet), then the splitter.
    ASSERT_TRUE(delete_part(*project, 0, named(proc(), "Mixer 1")->id).changed);
    expect_sound(*project);
    ASSERT_TRUE(delete_part(*project, 0, splitter).changed);
    expect_sound(*project);
    EXPECT_EQ(names(proc()), (Names{"Inlet", "Outlet 1"}));
}

TEST_F(Structure, MoveSwapsNeighboursOfASimpleChain) {
    insert("Inlet", COMPRESSOR);
    insert("Compressor 1", TURBINE);
    insert("Turbine 1", PUMP);
    select(*project, 0, "Turbine 1");
    StructureResult r = move_part(*project, -1);
    expect_sound(*project);
    EXPECT_EQ(names(proc()), (Names{"Inlet", "Turbine 1", "Compressor 1", "Pump 1", "Outlet 1"}));
    EXPECT_EQ(project->current_part, 1);
    ASSERT_EQ(r.edits.size(), 1u);
    EXPECT_EQ(r.edits[0].kind, PartListEdit::SWAPPED);
    EXPECT_EQ(r.edits[0].index, 1);
    // Not above the first part, not below the last before the Outlet.
    EXPECT_FALSE(move_part(*project, -1).changed);
    select(*project, 0, "Pump 1");
    EXPECT_FALSE(move_part(*project, 1).changed);
    move_part(*project, -1);
    expect_sound(*project);
    EXPECT_EQ(names(proc()), (Names{"Inlet", "Turbine 1", "Pump 1", "Compressor 1", "Outlet 1"}));
    // A splitter directly feeding its mixer on both outlets would loop.
    Script s;
    s.mixer_position = 0;
    after("Pump 1", insert_splitter_mixer, s);
    select(*project, 0, "Splitter 1");
    EXPECT_FALSE(can_move_part(*project, proc(), project->current_part, 1));
    EXPECT_FALSE(move_part(*project, 1).changed);
    EXPECT_TRUE(can_move_part(*project, proc(), project->current_part, -1));
    move_part(*project, -1);
    expect_sound(*project);
}

TEST_F(Structure, CapacitiesAreRefusedWithAMessage) {
    while (proc().az_parts < MAX_PARTS) insert("Inlet", PUMP);
    StructureResult r = insert("Inlet", PUMP);
    EXPECT_FALSE(r.changed);
    EXPECT_NE(r.refusal.find("at most 52 parts"), std::string::npos) << r.refusal;
    delete_part(*project, 0, proc().parts[1]->id);
    Script s;
    r = after("Inlet", insert_splitter, s);  // needs two places
    EXPECT_FALSE(r.changed);
    EXPECT_FALSE(r.refusal.empty());
    while (project->az_processes < MAX_PROCESSES) add_process();
    std::string refusal;
    EXPECT_EQ(
        add_new_process(*project, new_process_defaults(*project, fluids[FLUID_WATER]), refusal),
        nullptr);
    EXPECT_NE(refusal.find("150"), std::string::npos);
}

// Deleting a process removes what refers to it: the interfaces on its heat
// exchangers (the other sides become free), its curves and a heat-flow
// diagram's interface. The sanitizer build sees any dangling pointer.
TEST_F(Structure, DeletingAProcessLeavesNoReferenceToIt) {
    Process& other = add_process();
    insert("Inlet", HEAT_EXCHANGER, 0);
    insert("Inlet", HEAT_EXCHANGER, 1);
    Interface* itf = create_interface();
    itf->hot_process_id = proc(0).id;
    itf->hot_part_id = proc(0).parts[1]->id;
    itf->cold_process_id = other.id;
    itf->cold_part_id = other.parts[1]->id;
    append_interface(*project, itf);
    proc(0).parts[1]->options[OPT_OUTLET_TEMPERATURE] = 2;
    other.parts[1]->options[OPT_OUTLET_TEMPERATURE] = 2;
    other.parts[1]->icon = "My_heatsink";
    Graph* diagram = create_graph();
    diagram->kind = GK_DIAGRAM;
    diagram->fluid = proc(0).fluid;
    append_graph(*project, diagram);
    append_curve(*diagram, &proc(0), default_curve_style());
    append_curve(*diagram, &other, default_curve_style());
    Graph* qt = create_graph();
    qt->kind = GK_DIAGRAM;
    qt->type = 5;
    qt->interface = itf;
    append_graph(*project, qt);

    const int id = proc(0).id;
    ASSERT_TRUE(delete_process(*project, id));
    EXPECT_FALSE(delete_process(*project, id));
    ASSERT_EQ(project->az_processes, 1);
    EXPECT_EQ(&proc(0), &other);
    EXPECT_EQ(project->az_interfaces, 0);
    EXPECT_EQ(other.parts[1]->options[OPT_OUTLET_TEMPERATURE], 1);
    EXPECT_EQ(other.parts[1]->icon, "My_heatexchanger");
    EXPECT_TRUE(delete_part_refusal(*project, 0, other.parts[1]->id).empty());
    ASSERT_EQ(diagram->az_curves, 1);
    EXPECT_EQ(diagram->curves[0], &other);
    EXPECT_EQ(qt->interface, nullptr);
    EXPECT_EQ(project->current_process, -1);
    expect_sound(*project);
    // A new process of the diagram's fluid joins its curves.
    add_process();
    EXPECT_EQ(diagram->az_curves, 2);
    EXPECT_EQ(qt->az_curves, 0);
}

TEST_F(Structure, ChangeFluidNeedsAProjectAndAProcess) {
    Fluid* water = fluids[FLUID_WATER];
    Graph* diagram = create_graph();
    diagram->kind = GK_DIAGRAM;
    append_graph(*project, diagram);
    append_curve(*diagram, &proc(), default_curve_style());
    insert("Inlet", PUMP);
    proc().parts[1]->state = PS_FINISHED;
    project->current_process = 7;  // outside the list: process 0
    EXPECT_EQ(change_fluid(water), 0);
    EXPECT_EQ(proc().fluid, water);
    EXPECT_EQ(proc().parts[1]->state, PS_PENDING);
    EXPECT_EQ(diagram->az_curves, 0);
    EXPECT_EQ(change_fluid(nullptr), -1);
    // Without a current project the first open one is taken; none: nothing.
    current_project = nullptr;
    EXPECT_EQ(change_fluid(water), -1);
    Project* empty = create_project();
    project_list_add(empty);
    EXPECT_EQ(change_fluid(water), -1);
    EXPECT_EQ(current_project, empty);
    free_project(empty);
    current_project = project;
}

// Mass flow and standard volume flow recompute each other; the fixed one
// stays. Humid air by relative humidity at inlet values depends on the
// inlet state, dry air does not hold a humidity.
TEST_F(Structure, InletRuleKeepsTheFixedFlow) {
    Fluid* humid = fluids.find("Humid Air (Relative Humidity)");
    ASSERT_NE(humid, nullptr);
    std::array<double, NUM_PROCESS_INPUTS> v{293.15, 101.325, 10.0, 0.0, 0.6};
    apply_inlet_rule(v, humid, PRI_MASSFLOW, true);
    const double stdv = v[PRI_STANDARD_VOLUME_FLOW];
    EXPECT_NEAR(stdv, get_stdv_from_massflow(10.0, humid, 293.15, 101.325, 0.6), 1e-9);
    EXPECT_GT(stdv, 0.0);
    v[PRI_TEMPERATURE] = 313.15;  // more water at 40 °C: less dry air
    apply_inlet_rule(v, humid, PRI_TEMPERATURE, true);
    EXPECT_DOUBLE_EQ(v[PRI_MASSFLOW], 10.0);
    EXPECT_LT(v[PRI_STANDARD_VOLUME_FLOW], stdv);
    const double stdv40 = v[PRI_STANDARD_VOLUME_FLOW];
    v[PRI_TEMPERATURE] = 293.15;
    apply_inlet_rule(v, humid, PRI_TEMPERATURE, false);
    EXPECT_DOUBLE_EQ(v[PRI_STANDARD_VOLUME_FLOW], stdv40);
    EXPECT_LT(v[PRI_MASSFLOW], 10.0);  // the same dry air carries less water at 20 °C
    // Round trip of the two views.
    apply_inlet_rule(v, humid, PRI_STANDARD_VOLUME_FLOW, true);
    const double m = v[PRI_MASSFLOW];
    apply_inlet_rule(v, humid, PRI_MASSFLOW, false);
    EXPECT_NEAR(v[PRI_STANDARD_VOLUME_FLOW], stdv40, 1e-9 * stdv40);
    EXPECT_DOUBLE_EQ(v[PRI_MASSFLOW], m);

    std::array<double, NUM_PROCESS_INPUTS> dry{288.15, 101.325, 100.0, 0.0, 0.5};
    apply_inlet_rule(dry, fluids[FLUID_DRY_ISO_AIR], PRI_HUMIDITY, true);
    EXPECT_EQ(dry[PRI_HUMIDITY], 0.0);
    EXPECT_GT(dry[PRI_STANDARD_VOLUME_FLOW], 0.0);
}

}  // namespace
