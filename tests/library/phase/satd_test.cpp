// Saturation at given density next to the critical point: the saturated
// liquid or vapour of SATT at T comes back from its density as the state
// of the line at that temperature, or as a failure, never as two roots of
// one side joined by equal Gibbs energies.
#include "library/phase/satd.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/library/phase/flash_support.h"

namespace {

using namespace flashtest;

struct NearCritical {
    const char* fluid;
    double T;    // K
    int side;    // kSaturatedLiquid or kSaturatedVapour
    bool found;  // the state is found (else a failure is allowed)
};

class SaturationAtDensity : public ::testing::TestWithParam<NearCritical> {};

TEST_P(SaturationAtDensity, NearTheCriticalPointGivesTheLinesState) {
    const NearCritical& c = GetParam();
    ASSERT_TRUE(setup(c.fluid));
    const double z[20] = {1.0};
    double P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
    int ierr = 0;
    std::string herr;
    lib::SATT(c.T, z, lib::kBubblePoint, P, Dl, Dv, xl, xv, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    const double D = c.side == lib::kSaturatedLiquid ? Dl : Dv;
    int kr = 0;
    double T = 0, P2 = 0, Dl2 = 0, Dv2 = 0;
    lib::SATD(D, z, 0, kr, T, P2, Dl2, Dv2, xl, xv, ierr, herr);
    if (c.found) {
        EXPECT_LE(ierr, 0) << herr;
        EXPECT_NEAR(T, c.T, 1e-7 * c.T);
    }
    if (ierr > 0) return;
    ASSERT_EQ(kr, c.side);
    // The line's densities at the temperature found.
    double P3 = 0, Dl3 = 0, Dv3 = 0;
    lib::SATT(T, z, lib::kBubblePoint, P3, Dl3, Dv3, xl, xv, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    EXPECT_LT(rel(kr == lib::kSaturatedLiquid ? Dl3 : Dv3, D), 1e-6)
        << "T " << T << " Dl " << Dl2 << " Dv " << Dv2;
    EXPECT_LT(rel(kr == lib::kSaturatedLiquid ? Dv3 : Dl3, kr == 1 ? Dv2 : Dl2), 1e-5);
}

// States that came back with ierr 0 at another temperature (carbon
// monoxide's liquid of 11.0468 mol/L at 132.8586 K as the one of 132.8559
// K, beside a "vapour" of 11.0479 mol/L), or failed with 161 (air's
// liquid 1e-4 below its equation's critical temperature).
const NearCritical kNearCritical[] = {
    {"co", 132.85856603491, 1, true},       {"1butene", 419.28958069996, 1, true},
    {"ethanol", 514.70923341031, 1, false}, {"ihexane", 497.69995021995, 2, true},
    {"nf3", 233.99997658998, 1, false},     {"r12", 385.11996125648, 1, true},
    {"r236ea", 412.40857762483, 2, true},   {"re143a", 377.9171965838, 2, true},
    {"methane", 190.56398093358, 1, false}, {"air", 131.8515385512, 1, true},
    {"air", 131.86459315898, 2, true},      {"water", 600.0, 1, true}};

INSTANTIATE_TEST_SUITE_P(States, SaturationAtDensity, ::testing::ValuesIn(kNearCritical),
                         [](const ::testing::TestParamInfo<NearCritical>& p) {
                             return std::string(p.param.fluid) + std::to_string(p.index);
                         });

}  // namespace
