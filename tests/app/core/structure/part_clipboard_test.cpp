// Copy and Paste of parts: every part type that can be copied comes back
// with all its settings as a new part after the current one, in the same
// process or another; the structure's own parts are refused.
#include "app/core/structure/part_clipboard.h"

#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/structure/interfaces.h"
#include "tests/app/core/structure_support.h"

#include <gtest/gtest.h>

namespace {

using namespace app;
using namespace structuretest;

using Names = std::vector<std::string>;

class PartClipboard : public ::testing::Test {
protected:
    void SetUp() override {
        initstuff();
        init_stoffe();
        project = create_project();
        current_project = project;
        for (int i = 0; i < 2; ++i) {
            std::string refusal;
            Process* p = add_new_process(
                *project, new_process_defaults(*project, fluids[FLUID_DRY_ISO_AIR]), refusal);
            ASSERT_NE(p, nullptr) << refusal;
        }
    }
    void TearDown() override {
        free_project(project);
        current_project = nullptr;
    }
    Process& proc(int i) { return *project->processes[i]; }
    StructureResult insert_after(int process, const std::string& at, int type) {
        select(*project, process, at);
        Script script;
        return insert_new_part(*project, type, script.choosers());
    }
    Project* project = nullptr;
};

class CopyEveryType : public PartClipboard, public ::testing::WithParamInterface<int> {};

// The types the Insert commands make one by one.
constexpr int COPYABLE[] = {COMPRESSOR,
                            PUMP,
                            EXPANDER,
                            TURBINE,
                            COMBUSTOR,
                            OXYGEN_INJECTION_COMBUSTOR,
                            INTERCOOLER,
                            HEAT_EXCHANGER,
                            CONDENSER,
                            PIPELINE,
                            PRESSURE_LOSS_ELEMENT,
                            WATER_SEPARATOR};

}  // namespace

TEST_P(CopyEveryType, PasteMakesANewPartWithEverySetting) {
    const int type = GetParam();
    ASSERT_TRUE(insert_after(0, "Inlet", type).changed);
    Part& original = *proc(0).parts[1];
    // Settings away from the defaults: every input, option and unit.
    for (int k = 0; k < NUM_PART_INPUTS; ++k) original.inputs[sz(k)] += 0.5 + k;
    for (int k = 0; k < NUM_PART_OPTIONS; ++k) original.options[sz(k)] = k % 2;
    original.input_units[PI_OUTLET_TEMPERATURE] = 1;
    original.output_units[PO_POWER] = 2;
    original.fuel = fluids[FLUID_WATER];
    original.steps = 17;
    original.segmentation = 0;
    original.old_value = 2.5;  // a pipeline's length factor from an old project
    compute_shown_inputs(original);
    std::string refusal;
    const std::optional<PartCopy> copy = copy_part(*project, 0, 1, refusal);
    ASSERT_TRUE(copy.has_value()) << refusal;
    EXPECT_EQ(copy->name, original.name);

    // Into the other process, after its Inlet.
    select(*project, 1, "Inlet");
    Script script;
    const StructureResult r = paste_part(*project, *copy, script.choosers());
    ASSERT_TRUE(r.changed) << r.refusal;
    expect_sound(*project);
    ASSERT_EQ(proc(1).az_parts, 3);
    const Part& pasted = *proc(1).parts[1];
    EXPECT_EQ(project->current_process, 1);
    EXPECT_EQ(project->current_part, 1);
    EXPECT_EQ(pasted.type, type);
    EXPECT_NE(pasted.id, original.id);
    EXPECT_NE(pasted.name, original.name);
    EXPECT_EQ(pasted.fluid, proc(1).fluid);
    EXPECT_EQ(pasted.inputs, original.inputs);
    EXPECT_EQ(pasted.options, original.options);
    EXPECT_EQ(pasted.input_units, original.input_units);
    EXPECT_EQ(pasted.output_units, original.output_units);
    EXPECT_EQ(pasted.fuel, original.fuel);
    EXPECT_EQ(pasted.oxidizer, original.oxidizer);
    EXPECT_EQ(pasted.steps, 17);
    EXPECT_EQ(pasted.segmentation, 0);
    EXPECT_EQ(pasted.old_value, 2.5);
    EXPECT_EQ(pasted.az_shown_inputs, original.az_shown_inputs);
    EXPECT_EQ(pasted.shown_inputs, original.shown_inputs);
    EXPECT_EQ(pasted.state, PS_NEW);

    // Twice into the same process, after the original.
    select(*project, 0, original.name);
    ASSERT_TRUE(paste_part(*project, *copy, script.choosers()).changed);
    ASSERT_TRUE(paste_part(*project, *copy, script.choosers()).changed);
    expect_sound(*project);
    EXPECT_EQ(proc(0).az_parts, 5);
    EXPECT_EQ(proc(0).parts[3]->inputs, original.inputs);
}

INSTANTIATE_TEST_SUITE_P(Parts, CopyEveryType, ::testing::ValuesIn(COPYABLE));

TEST_F(PartClipboard, StructureIsNotCopiedAndInterfaceSidesComeFree) {
    std::string refusal;
    EXPECT_FALSE(copy_part(*project, 0, 0, refusal).has_value());  // the Inlet
    EXPECT_NE(refusal.find("\"Inlet\""), std::string::npos) << refusal;
    EXPECT_FALSE(copy_part(*project, 0, 1, refusal).has_value());  // the Outlet
    EXPECT_FALSE(copy_part(*project, 0, 7, refusal).has_value());  // nothing there
    EXPECT_FALSE(copy_part(*project, 5, 0, refusal).has_value());
    select(*project, 0, "Inlet");
    Script script;
    script.mixer_position = 0;
    ASSERT_TRUE(insert_splitter_mixer(*project, script.choosers()).changed);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_FALSE(copy_part(*project, 0, i, refusal).has_value()) << i;
        EXPECT_FALSE(refusal.empty());
    }

    // Heat exchangers of an interface: the copy is a free heat exchanger.
    ASSERT_TRUE(insert_after(0, "Inlet", HEAT_EXCHANGER).changed);
    ASSERT_TRUE(insert_after(1, "Inlet", HEAT_EXCHANGER).changed);
    ASSERT_GE(create_interface_between(*project, 0, 1, 1, 1, refusal), 0) << refusal;
    const std::optional<PartCopy> copy = copy_part(*project, 0, 1, refusal);
    ASSERT_TRUE(copy.has_value()) << refusal;
    select(*project, 1, "Inlet");
    ASSERT_TRUE(paste_part(*project, *copy, script.choosers()).changed);
    const Part& pasted = *proc(1).parts[1];
    EXPECT_TRUE(free_heat_exchanger(pasted));
    EXPECT_EQ(pasted.icon, "My_heatexchanger");
    EXPECT_EQ(free_heat_exchangers(*project).size(), 1u);

    // A paste after an Outlet is refused as an insert is.
    select(*project, 1, "Outlet 2");
    const StructureResult r = paste_part(*project, *copy, script.choosers());
    EXPECT_FALSE(r.changed);
}
