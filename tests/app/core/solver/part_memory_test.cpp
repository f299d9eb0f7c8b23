#include "app/core/solver/part_memory.h"

#include "app/core/model/tools.h"

#include "tests/app/core/cycle_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace app;

// A helium expander of isentropic efficiency 0.85 from 1000 K and 2000 kPa
// to a quarter of the pressure: the search for its polytropic efficiency
// runs its stepwise model a few times.
class PartMemory : public cycletest::CycleTest {
protected:
    Part* part = nullptr;
    void SetUp() override {
        CycleTest::SetUp();
        part = create_part(EXPANDER);
        ASSERT_TRUE(cycletest::set_inlet(*part, FLUID_HELIUM, 1000, 2000, 2.0));
        part->options[OPT_EFFICIENCY] = 0;
        part->inputs[PI_ISENTROPIC_EFFICIENCY] = 0.85;
        part->inputs[PI_PRESSURE_RATIO_IN_OUT] = 4;
        keep_inlet();
    }
    void TearDown() override {
        free_part(part);
        CycleTest::TearDown();
    }
    // The inlet state as the part before hands it over; the model finds
    // its own inlet again from pressure and enthalpy, to the last digits.
    std::array<double, 6> inlet{};
    void keep_inlet() {
        inlet = {part->T[0], part->p[0], part->h[0], part->s[0], part->rho[0], part->q[0]};
    }
    void hand_over() {
        part->T[0] = inlet[0];
        part->p[0] = inlet[1];
        part->h[0] = inlet[2];
        part->s[0] = inlet[3];
        part->rho[0] = inlet[4];
        part->q[0] = inlet[5];
    }
    int calculate() {
        hand_over();
        return calc_part(*part);
    }
};

TEST_F(PartMemory, SameInletGivesTheSameResultsWithoutRunningAgain) {
    const PartMemoryScope scope;
    ASSERT_EQ(calculate(), PS_FINISHED) << part->failure_text;
    const std::array<double, NUM_PART_OUTPUTS> first = part->outputs;
    const std::array<double, STEP_POINTS> T_first = part->T;
    part->outputs[PO_OUTLET_TEMPERATURE] = 0;  // what the model writes comes back
    part->T[7] = 0;
    ASSERT_EQ(calculate(), PS_FINISHED);
    EXPECT_EQ(recalled_calculations(), 1);
    EXPECT_EQ(part->outputs, first);
    EXPECT_EQ(part->T, T_first);
    EXPECT_EQ(part->busy, 0);
}

// Anything the model reads that moved, by as little as one step of the last
// digit, makes it run again.
TEST_F(PartMemory, AMovedInletOrSettingRunsTheModelAgain) {
    const PartMemoryScope scope;
    ASSERT_EQ(calculate(), PS_FINISHED);
    inlet[2] = std::nextafter(inlet[2], 0.0);
    ASSERT_EQ(calculate(), PS_FINISHED);
    part->inputs[PI_ISENTROPIC_EFFICIENCY] = 0.8;
    ASSERT_EQ(calculate(), PS_FINISHED);
    const double power = part->outputs[PO_POWER];
    part->outputs[PO_INLET_MASSFLOW] = 3.0;
    ASSERT_EQ(calculate(), PS_FINISHED);
    EXPECT_EQ(recalled_calculations(), 0);
    EXPECT_NEAR(part->outputs[PO_POWER], 1.5 * power, 1e-9 * std::fabs(power));
    EXPECT_DOUBLE_EQ(part->outputs[PO_ISENTROPIC_EFFICIENCY], 0.8);
    EXPECT_DOUBLE_EQ(part->outputs[PO_OUTLET_MASSFLOW], 3.0);
}

// A turbo machine finds its inlet again from pressure and enthalpy: a
// temperature handed over a step of the last digit apart gives the same
// results; one that is not the state's is refused as before.
TEST_F(PartMemory, TurboMachineTakesItsInletByPressureAndEnthalpy) {
    const PartMemoryScope scope;
    ASSERT_EQ(calculate(), PS_FINISHED);
    const double power = part->outputs[PO_POWER];
    inlet[0] = std::nextafter(inlet[0], 2000.0);
    inlet[3] = std::nextafter(inlet[3], 0.0);
    ASSERT_EQ(calculate(), PS_FINISHED);
    EXPECT_EQ(recalled_calculations(), 1);
    EXPECT_EQ(part->outputs[PO_POWER], power);
    inlet[0] = 1001;
    EXPECT_EQ(calculate(), PS_FAILED);
    EXPECT_NE(part->failure_text.find("gave two states"), std::string::npos) << part->failure_text;
    EXPECT_EQ(recalled_calculations(), 1);
}

TEST_F(PartMemory, NothingIsKeptOutsideACalculation) {
    const int before = recalled_calculations();  // of the last calculation
    ASSERT_EQ(calculate(), PS_FINISHED);
    ASSERT_EQ(calculate(), PS_FINISHED);
    EXPECT_EQ(recalled_calculations(), before);
    {
        const PartMemoryScope scope;
        ASSERT_EQ(calculate(), PS_FINISHED);
    }
    const PartMemoryScope next;  // a new calculation forgets the one before
    ASSERT_EQ(calculate(), PS_FINISHED);
    EXPECT_EQ(recalled_calculations(), 0);
}

// A failed calculation is never taken again: the part tells its failure
// each time (a pump fed with vapour).
TEST_F(PartMemory, AFailureIsCalculatedAgain) {
    Part* pump = create_part(PUMP);
    ASSERT_TRUE(cycletest::set_inlet(*pump, FLUID_HELIUM, 300, 100, 1.0));
    const PartMemoryScope scope;
    EXPECT_EQ(calc_part(*pump), PS_FAILED);
    pump->failure_text.clear();
    EXPECT_EQ(calc_part(*pump), PS_FAILED);
    EXPECT_NE(pump->failure_text.find("a pump takes liquid"), std::string::npos);
    EXPECT_EQ(recalled_calculations(), 0);
    free_part(pump);
}

}  // namespace
