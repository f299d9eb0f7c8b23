// States of binaries whose vapour fraction PQFLSH reaches only after its
// first roads fail: a dew point that SATP does not converge to (148), a
// two-phase iteration that ends on no equilibrium (225), or a split that
// is not the stable state (219).  From the (T, p)
// flash's state, PQFLSH at its pressure and vapour fraction must give a
// state that the (T, p) flash has at the temperature found, its phases in
// equilibrium.  Two liquids hold nearly one vapour fraction over a wide
// range of temperatures, and the march down the isobar from the upper
// limit crosses a bubble line and a liquid before it reaches them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "tests/library/phase/lle_support.h"
#include "tests/library/phase/mix_support.h"

namespace {

using State = lletest::GridState;

const State kStates[] = {
    // No dew point converged at the pressure (SATP 148).
    {"c12|methanol", 0.8, 296.15397, 6451.425318},
    {"ethanol|r114", 0.5, 208.182347, 5099.04726},
    {"ethanol|r114", 0.5, 351.708547, 5099.04726},
    // The two-phase iteration ended on no equilibrium (225).
    {"mpalmita|propane", 0.5, 339.89896, 3564.706251},
    {"methanol|r21", 0.5, 203.36211, 150.3641788},
    {"ethane|nonane", 0.5, 250.564735, 1277.882629},
    {"r14|toluene", 0.5, 211.732975, 3467.800099},
    // The split first found lies above the (T, p) flash's state in Gibbs
    // energy (219), and the stable one far down the isobar.
    {"pentane|r116", 0.2, 197.71229, 2875.517271},
    {"propane|argon", 0.2, 108.862603, 4035.170102},
    {"ethanol|r21", 0.2, 188.152967, 41.63467335}};

using QualityUnsolved = lletest::BinaryState<State>;

TEST_P(QualityUnsolved, PressureFlashGivesAStateOfTheTpFlash) {
    const State& c = GetParam();
    SCOPED_TRACE(std::string("PQFLSH of ") + c.names + " at T=" + lletest::number(c.T) +
                 " K, p=" + lletest::number(c.P) + " kPa");
    ASSERT_TRUE(q > 0.0 && q < 1.0);
    const auto found = flash_back("PQ");
    ASSERT_LE(found.ierr, 0) << found.herr;
    EXPECT_EQ(found.P, c.P);
    EXPECT_LE(mixtest::fugacity_mismatch(found.T, found.Dl, found.Dv, found.x, found.y, z), 1e-9);
    EXPECT_LE(mixtest::balance_mismatch(q, found.x, found.y, z), 1e-9);
    double D3 = 0, Dl3 = 0, Dv3 = 0, x3[20] = {}, y3[20] = {}, q3 = 0, e3 = 0, h3 = 0, s3 = 0,
           cv3 = 0, cp3 = 0, w3 = 0;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(found.T, c.P, z, D3, Dl3, Dv3, x3, y3, q3, e3, h3, s3, cv3, cp3, w3, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    EXPECT_NEAR(q3, q, 1e-6) << "at T=" << found.T << " K";
    EXPECT_NEAR(h3, found.h, 1e-7 * (std::fabs(h3) + 8.314 * found.T));
}

INSTANTIATE_TEST_SUITE_P(BinaryPairs, QualityUnsolved, ::testing::ValuesIn(kStates),
                         lletest::state_name<State>);

}  // namespace
