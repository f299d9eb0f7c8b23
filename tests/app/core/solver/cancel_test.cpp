// Cancel inside a part: each long-running model looks at the cancel flag
// between its steps or passes, stops, counts as not calculated, and the
// calculation ends "cancelled", not "failed".
#include "tests/app/core/cycle_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using namespace app;
using cycletest::contains;
using cycletest::CycleTest;

Project* cancelling = nullptr;

// Presses Cancel just before the part's model starts.
void cancel_before(const Part&) { cancelling->calc_status = CS_CANCEL; }

class Cancel : public CycleTest {
protected:
    void TearDown() override {
        before_part_hook = nullptr;
        cancelling = nullptr;
        CycleTest::TearDown();
    }
};

TEST_F(Cancel, EachLongPartStopsAtItsNextStep) {
    const struct Case {
        const char* what;
        int fluid;
        double T, p;
        int type;
        std::function<void(Part&)> set;
    } cases[] = {
        {"polytropic compressor", FLUID_HELIUM, 300, 1000, COMPRESSOR,
         [](Part& c) { c.options[OPT_EFFICIENCY] = 1; }},
        {"isentropic compressor", FLUID_HELIUM, 300, 1000, COMPRESSOR,
         [](Part& c) { c.options[OPT_EFFICIENCY] = 0; }},
        {"turbine", FLUID_HELIUM, 900, 3000, TURBINE, nullptr},
        {"heat exchanger", FLUID_HELIUM, 300, 1000, HEAT_EXCHANGER,
         [](Part& c) { c.inputs[PI_OUTLET_TEMPERATURE] = 500; }},
        {"condenser", FLUID_WATER, 400, 100, CONDENSER, nullptr},
        {"water separator", FLUID_HUMID_ISO_AIR, 300, 500, WATER_SEPARATOR, nullptr},
        {"combustor, fixed outlet temperature", FLUID_DRY_ISO_AIR, 600, 1000, COMBUSTOR,
         [](Part& c) {
             c.fuel = fluids[FLUID_METHANE];
             c.options[OPT_CALCULATION_MODE] = 1;
             c.inputs[PI_OUTLET_TEMPERATURE] = 1200;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        free_project(project);
        project = current_project = create_project();
        Process& proc = add_process("P", c.fluid, c.T, c.p, 1, {c.type});
        Part& part = *proc.parts[1];
        if (c.set) c.set(part);
        project->status_log_open = 1;
        cancelling = project;
        before_part_hook = cancel_before;
        EXPECT_EQ(calcProject(*project), CS_FAILED);
        before_part_hook = nullptr;
        // The model stopped at once: nothing of the part was calculated.
        EXPECT_EQ(part.state, PS_PENDING);
        EXPECT_LE(part.segment, 1);
        EXPECT_TRUE(part.failure_text.empty()) << part.failure_text;
        EXPECT_EQ(proc.parts[2]->state, PS_PENDING);
        EXPECT_TRUE(contains(project->calc_log, "  -  cancelled.\n")) << project->calc_log;
        EXPECT_EQ(project->status_log, "WARNING: Calculation cancelled.\n");
    }
}

// An interface cancelled while it couples its heat exchangers: the run
// ends without a verdict, nothing is reported as failed.
TEST_F(Cancel, InterfaceRunStopsWithoutAVerdict) {
    Project& p = read_file("coupled_water.kvr");
    p.status_log_open = 1;
    interface_calculation = [](Project& pr, Interface& itf) {
        pr.calc_status = CS_CANCEL;
        return calc_interface(pr, itf);
    };
    EXPECT_EQ(calcProject(p), CS_FAILED);
    EXPECT_NE(p.interfaces[0]->status, IS_CONVERGED);
    EXPECT_NE(p.interfaces[0]->status, IS_FAILED);
    EXPECT_TRUE(contains(p.calc_log, "Calculating interface \"Interface 1\"  cancelled.\n"))
        << p.calc_log;
    EXPECT_EQ(p.status_log, "WARNING: Calculation cancelled.\n");
}

}  // namespace
