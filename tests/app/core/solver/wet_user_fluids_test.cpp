// Everyday wet streams of user fluids as a user calculates them: humid air
// and a flue gas cooled below the dew point of their water and dried, and
// gases carrying much condensate (hydrogen or helium with water or hexane)
// compressed and cooled back.  Each project file of the table
// (tests/app/core/solver/cases) is calculated whole and its parts checked
// against the rules every part keeps.
#include "tests/app/core/cycle_support.h"

#include "app/core/model/tools.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using namespace app;
using cycletest::CycleTest;

constexpr const char* CASES = "tests/app/core/solver/cases";

struct WetCase {
    const char* file;
    double cooled_to;      // K, the set outlet temperature of the coolers
    double inlet_wetness;  // 1 - q of the inlet (molar), from its (T, p) flash
    bool dried;            // a water separator follows the cooler
};

class WetUserFluids : public CycleTest, public ::testing::WithParamInterface<WetCase> {};

// The wetness beside the quality of the same state: 1 - q in the two-phase
// region.
void expect_wetness_of_quality(const Part& part) {
    const double q_out = part.outputs[PO_OUTLET_HUMIDITY];
    if (q_out > 0 && q_out < 1) {
        EXPECT_NEAR(part.outputs[PO_OUTLET_WETNESS], 1.0 - q_out, 1e-9) << part.name;
    }
}

TEST_P(WetUserFluids, CoolersMeetTheirTemperatureAndEntropyRises) {
    const WetCase& c = GetParam();
    Project& p = read_file(c.file, CASES);
    p.status_log_open = 1;
    ASSERT_EQ(calcProject(p), CS_FINISHED) << p.status_log;
    const Process& proc = *p.processes[0];
    EXPECT_NEAR(proc.parts[1]->outputs[PO_INLET_WETNESS], c.inlet_wetness, 1e-4);
    bool separated = false;
    for (int k = 1; k + 1 < proc.az_parts; ++k) {
        const Part& part = *proc.parts[sz(k)];
        SCOPED_TRACE(part.name);
        expect_wetness_of_quality(part);
        const std::array<double, NUM_PART_OUTPUTS>& o = part.outputs;
        if (part.type == COMPRESSOR) {
            EXPECT_GT(o[PO_OUTLET_ENTROPY], o[PO_INLET_ENTROPY]);
            EXPECT_GT(o[PO_POWER], 0.0);
        } else if (part.type == HEAT_EXCHANGER || part.type == INTERCOOLER) {
            EXPECT_NEAR(o[PO_OUTLET_TEMPERATURE], c.cooled_to, 1e-6);
            EXPECT_NEAR(part.T[sz(part.steps)], c.cooled_to, 1e-6);
            EXPECT_LT(o[PO_HEAT], 0.0);
            EXPECT_GT(o[PO_OUTLET_WETNESS], o[PO_INLET_WETNESS]);  // more condenses
        } else if (part.type == WATER_SEPARATOR) {
            separated = true;
            EXPECT_GT(o[PO_LIQUID_WATER_OUT], 0.0);
            EXPECT_EQ(o[PO_OUTLET_MASSFLOW], o[PO_INLET_MASSFLOW] - o[PO_LIQUID_WATER_OUT]);
            EXPECT_NEAR(o[PO_OUTLET_TEMPERATURE], c.cooled_to, 1e-6);
        }
    }
    EXPECT_EQ(separated, c.dried);
}

// Inlet wetness: humid air (3 % water) at 300 K and 600 kPa has q = 0.975877;
// the flue gas (12 % water) at 330 K and 150 kPa q = 0.994549; hydrogen and
// water half and half at 300 K and 10 bar (dew point 425.6 K) keep about
// half their moles liquid, about 0.9 of their mass.
INSTANTIATE_TEST_SUITE_P(
    Cases, WetUserFluids,
    ::testing::Values(WetCase{"wet_humid_air_cooler.kvr", 290.0, 1.0 - 0.9758768, true},
                      WetCase{"wet_flue_gas_cooler.kvr", 290.0, 1.0 - 0.9945489, true},
                      WetCase{"wet_hydrogen_water.kvr", 300.0, 1.0 - 0.5018052, false},
                      WetCase{"wet_helium_hexane.kvr", 300.0, 1.0 - 0.5111543, false}));

}  // namespace
