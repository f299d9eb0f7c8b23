// TDFLSH at the density of a (T, p) state of a binary gives that state
// back: its pressure and vapour fraction (either label where both phases
// are liquids).  The states are from the whole-region grid of the binary
// pairs, where the density flash ended on another state of the isotherm
// (a split of the two-phase solver of another density or of another
// pressure's stable state; a root of the search on two liquids continued
// below the three-phase line; a single phase that is not the stable root
// at its pressure) or failed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "tests/library/phase/lle_support.h"
#include "tests/support/fluid.h"

namespace {

using State = lletest::GridState;

const State kStates[] = {{"butane|argon", 0.1, 137.5929, 6752.34},
                         {"ethane|co", 0.5, 97.749258, 259.853},
                         {"ethane|oxygen", 0.5, 100.620036, 87.731},
                         {"dme|methane", 0.5, 137.333859, 87.731},
                         {"propane|r125", 0.5, 201.875, 769.667},
                         {"pentane|sf6", 0.5, 228.0261, 87.731},
                         {"nitrogen|co2", 0.5, 220.924, 20000.0},
                         {"isobutane|oxygen", 0.1, 116.0046, 769.667},
                         // A liquid root at a tenth of the dew pressure, where the gas is the
                         // stable root and no stability test is made.
                         {"co|mxylene", 0.1, 524.068, 6752.34},
                         {"r236ea|r32", 0.5, 345.105, 2279.705},
                         // A split of the two-phase solver that is not the (T, p) flash's state
                         // at its pressure.
                         {"mpalmita|propane", 0.1, 451.727, 6752.34}};

// The density of the phases of a flash's answer (D itself for one phase).
double flash_density(double q, double Dl, double Dv, double D) {
    return q > 0.0 && q < 1.0 ? 1.0 / ((1.0 - q) / Dl + q / Dv) : D;
}

class TdRoundTrip : public ::testing::TestWithParam<State> {};

TEST_P(TdRoundTrip, DensityFlashGivesTheStateBack) {
    const State& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    const double z[20] = {c.z1, 1.0 - c.z1};
    double D = 0, Dl = 0, Dv = 0, x[20], y[20], q = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0;
    double w = 0, P2 = 0, q2 = 0;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(c.T, c.P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    lib::TDFLSH(c.T, D, z, P2, Dl, Dv, x, y, q2, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    EXPECT_NEAR(P2 / c.P, 1.0, 1e-7);
    EXPECT_NEAR(flash_density(q2, Dl, Dv, D) / D, 1.0, 1e-9);
    EXPECT_LT(std::min(std::fabs(q2 - q), std::fabs(q2 - (1.0 - q))), 1e-7) << q << " " << q2;
}

INSTANTIATE_TEST_SUITE_P(States, TdRoundTrip, ::testing::ValuesIn(kStates),
                         lletest::state_name<State>);

}  // namespace
