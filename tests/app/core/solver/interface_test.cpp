// Interfaces: the coupled water processes of the examples, the adjusted
// targets and their messages, the runs that never settle and the retries of
// an undefined hot side.
#include "tests/app/core/cycle_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using namespace app;
using cycletest::contains;
using cycletest::CycleTest;

class Coupling : public CycleTest {
protected:
    // The example of two water processes: 1 kg/s at 360 K cools to 310 K
    // against 2 kg/s at 290 K.
    Interface& example() {
        Project& p = read_file("coupled_water.kvr");
        p.status_log_open = 1;
        hot = p.processes[0]->parts[1];
        cold = p.processes[1]->parts[1];
        return *p.interfaces[0];
    }
    Part* hot = nullptr;
    Part* cold = nullptr;
};

TEST_F(Coupling, ExampleBalancesItsHeat) {
    Interface& itf = example();
    ASSERT_EQ(calcProject(*project), CS_FINISHED) << project->calc_log;
    EXPECT_EQ(itf.status, IS_CONVERGED);
    EXPECT_EQ(hot->state, PS_FINISHED);
    EXPECT_EQ(cold->state, PS_FINISHED);
    EXPECT_NEAR(hot->outputs[PO_OUTLET_TEMPERATURE], 310.0, 1e-6);
    // What the hot side gives off, the cold side takes up.
    const double q = hot->outputs[PO_HEAT];
    EXPECT_LT(q, 0.0);
    EXPECT_NEAR(q + cold->outputs[PO_HEAT], 0.0, 1e-9 * std::fabs(q));
    EXPECT_NEAR(cold->outputs[PO_HEAT],
                2.0 * (cold->outputs[PO_OUTLET_ENTHALPY] - cold->outputs[PO_INLET_ENTHALPY]),
                1e-9 * std::fabs(q));
    EXPECT_EQ(itf.outputs[IO_OUTLET_TEMPERATURE_HOT], hot->outputs[PO_OUTLET_TEMPERATURE]);
    EXPECT_NEAR(itf.outputs[IO_EFFECTIVENESS], 50.0 / 70.0, 1e-6);
    // The outlets downstream take the coupled states.
    EXPECT_EQ(project->processes[1]->parts[2]->outputs[PO_INLET_TEMPERATURE],
              cold->outputs[PO_OUTLET_TEMPERATURE]);
}

// Targets the exchanger cannot reach are moved, and said so once the
// interface has converged.
TEST_F(Coupling, AdjustedTargetsAreReported) {
    const struct {
        int mode;
        double value;
        double T_hot_out;
        const char* message;
    } cases[] = {
        {1, 400, 360,
         "WARNING: Interface \"Interface 1\": T out hot side greater than T out hot side. "
         "Temperature has been adjusted.\nThe outlet temperature asked for on the hot side, "
         "400 K, is above its inlet temperature, 360 K: the hot side leaves at its inlet "
         "temperature and exchanges no heat.\n"},
        {1, 400, 360,
         "WARNING: Interface \"Interface 1\": T out cold side less than T out cold side. "
         "Temperature has been adjusted.\nThe cold side then takes no heat"},
        {1, 295, 300, "Interface \"Interface 1\": T out hot side less than T in cold side."},
        {3, 1.0, 300,
         "Interface \"Interface 1\": Effectiveness cannot be reached due to temperature "
         "difference requirement.\n"},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.message);
        Interface& itf = example();
        itf.options[IOPT_CALCULATION_MODE] = t.mode;
        itf.inputs[t.mode == 1 ? II_OUTLET_TEMPERATURE_HOT : II_EFFECTIVENESS] = t.value;
        ASSERT_EQ(calcProject(*project), CS_FINISHED) << project->calc_log;
        EXPECT_NEAR(hot->outputs[PO_OUTLET_TEMPERATURE], t.T_hot_out, 1e-6);
        EXPECT_TRUE(contains(project->status_log, t.message)) << project->status_log;
    }
}

// An interface whose predecessors never finish is taken as converged after
// its 102nd run, with a warning naming it; an undefined hot inlet is tried
// again ten times, as its message says.
TEST_F(Coupling, RunsThatDoNotSettle) {
    Interface& itf = example();
    for (int i = 0; i < project->az_processes; ++i) prepareProcess(*project->processes[i]);
    Part& feed = *project->processes[0]->parts[0];
    feed.state = PS_PROVISIONAL;
    interface_hot_retries = 0;
    itf.status = IS_PENDING;
    for (int run = 1; run <= 102; ++run) {
        feed.outputs[PO_OUTLET_TEMPERATURE] = run % 2 == 0 ? 360.0 : 355.0;
        const int r = calc_interface(*project, itf);
        ASSERT_EQ(r, run < 102 ? IS_ITERATING : IS_CONVERGED) << run;
    }
    EXPECT_TRUE(contains(project->status_log,
                         "WARNING: Interface \"Interface 1\" did not settle within 100 runs"))
        << project->status_log;

    itf.status = IS_PENDING;
    feed.outputs[PO_OUTLET_ENTHALPY] = 1e7;  // no state of water
    for (int run = 1; run <= 10; ++run) EXPECT_EQ(calc_interface(*project, itf), 2) << run;
    EXPECT_EQ(calc_interface(*project, itf), IS_FAILED);
    EXPECT_TRUE(contains(project->status_log, " Iterated 10 times, giving up\n"));
}

}  // namespace
